#pragma once
// A drop-down list of text items, each with user data; raises "itemselect" when the user picks one.
#include "ui/Control.h"

#include <QVector>

class QComboBox;

namespace q9::ui {

class Combo : public Control {
    Q_OBJECT
public:
    explicit Combo(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Combo"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void textIdsChanged() override;

    int addItem(const QString& text, const QString& userData = QString(), bool textIsId = false);
    void removeAll();
    int count() const { return int(items_.size()); }
    int curSel() const;
    // Selects an item; with notify the "itemselect" notification follows. False for a bad index.
    bool selectItem(int index, bool notify = true);
    // No item selected (the box shows nothing); no notification.
    void selectNone();
    QString itemText(int index) const;
    QString itemUserData(int index) const;
    int findUserData(const QString& wanted) const;
    void setItemVisible(int index, bool visible);
    QComboBox* comboBox() const { return combo_; }

protected:
    void resizeEvent(QResizeEvent*) override;
    void paintText(QPainter&) override {}
    void applyStyle();

private:
    struct Item {
        QString text;
        QString userData;
        bool isId;
        bool visible;
    };
    QVector<Item> items_;
    QComboBox* combo_;
};

} // namespace q9::ui
