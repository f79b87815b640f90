#pragma once
// List rows of their own: the macro action row (two texts and a delay edit) and the share list row.
#include "ui/Edit.h"
#include "ui/List.h"

namespace q9::controls {

using ui::EventType;
using ui::UiEvent;

class CComboEditContainerElementUI : public ui::ListContainerElement {
    Q_OBJECT
public:
    static constexpr const char* kLayout = "XML\\CustomControlXML\\ComboEditElementItem.xml";

    explicit CComboEditContainerElementUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("ComboEditContainerElement"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doInit() override;
    void doEvent(UiEvent& event) override;
    void childNotify(ui::TNotify& msg) override;

    ui::Control* text1() const { return text1_; }
    ui::Control* text2() const { return text2_; }
    ui::Edit* delayEdit() const { return delay_; }
    bool changed() const { return changed_; }
    void setChanged(bool on) { changed_ = on; }
    bool hasContextMenu() const { return menu_; }

protected:
    void paintBkColor(QPainter& p) override;

private:
    void activateRow();
    QString normalImage_, hotImage_, selectedImage_;
    ui::Control* text1_ = nullptr;
    ui::Control* text2_ = nullptr;
    ui::Edit* delay_ = nullptr;
    bool changed_ = false;
    bool menu_ = false;
    bool built_ = false;
};

class CCloudShareListItemUI : public ui::ListContainerElement {
    Q_OBJECT
public:
    explicit CCloudShareListItemUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("CloudShareListItemUI"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

protected:
    void paintBkColor(QPainter& p) override;

private:
    bool menu_ = false;
};

} // namespace q9::controls
