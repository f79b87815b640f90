#pragma once
// A scrolling list of rows. Rows are ListLabelElement (a text) or ListContainerElement (a row of
// child controls). Clicking a row selects it: the list raises "itemselect", the row "itemclick";
// a double click raises "itemactivate" from the row.
#include "ui/Containers.h"

namespace q9::ui {

class List;

// The row behaviour shared by both row kinds.
class ListItem {
public:
    virtual ~ListItem() = default;
    List* owner() const { return owner_; }
    void setOwner(List* owner) { owner_ = owner; }
    bool isSelectedRow() const { return selected_; }
    virtual void setSelectedRow(bool on) = 0;
    int rowIndex() const;

protected:
    // What both row kinds do with an event, and their background: the list's colours by state.
    void rowEvent(Control& self, UiEvent& e);
    void paintRow(Control& self, QPainter& p, const QPainterPath& shape, bool hot);
    List* owner_ = nullptr;
    bool selected_ = false;
};

struct ListLook {
    QRgb itemBkColor = 0;
    QRgb itemHotBkColor = 0xFF262A33;
    QRgb itemSelectedBkColor = 0xFF1D3442;
    QRgb itemTextColor = 0xFFE6E8EE;
    QRgb itemSelectedTextColor = 0xFFFFFFFF;
    QRgb itemLineColor = 0;
    QString itemHotImage;
    QString itemSelectedImage;
    int itemFont = -1;
};

class List : public VerticalLayout {
    Q_OBJECT
public:
    explicit List(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("List"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    bool addAt(Control* child, int index) override;

    int curSel() const { return curSel_; }
    // Selects a row (-1: none); with notify "itemselect" follows when the selection changed.
    bool selectItem(int index, bool notify = true);
    void removeAll() override;
    const ListLook& look() const { return look_; }

    // Called by rows.
    void rowPressed(ListItem* row, Qt::KeyboardModifiers modifiers);

private:
    ListLook look_;
    int curSel_ = -1;
};

class ListLabelElement : public Control, public ListItem {
    Q_OBJECT
public:
    explicit ListLabelElement(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("ListLabelElement"); }
    Control* getInterface(const QString& className) override;
    void setSelectedRow(bool on) override;
    void doEvent(UiEvent& event) override;

protected:
    bool wantsMouse() const override { return true; }
    bool paintsAnything() const override { return true; }
    void paintBkColor(QPainter& p) override;
    void paintText(QPainter& p) override;
};

class ListContainerElement : public HorizontalLayout, public ListItem {
    Q_OBJECT
public:
    explicit ListContainerElement(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("ListContainerElement"); }
    Control* getInterface(const QString& className) override;
    void setSelectedRow(bool on) override;
    void doEvent(UiEvent& event) override;

protected:
    bool wantsMouse() const override { return true; }
    bool paintsAnything() const override { return true; }
    void paintBkColor(QPainter& p) override;
};

} // namespace q9::ui
