#pragma once
// Containers and layouts. A Container stacks its children over its whole area; a VerticalLayout or
// HorizontalLayout lines them up: children with a fixed size keep it, the others share what is left
// equally. A "float" child sits at its "pos" inside the parent. "inset" is the container's inner
// margin, "childpadding" the gap between children, "padding" a child's own outer margin.
#include "ui/Control.h"

#include <QList>

namespace q9::ui {

class ScrollBar;

class Container : public Control {
    Q_OBJECT
public:
    explicit Container(QWidget* parent = nullptr);
    ~Container() override;
    QString getClass() const override { return QStringLiteral("Container"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;

    virtual bool add(Control* child);
    virtual bool addAt(Control* child, int index);
    virtual bool remove(Control* child); // deletes it
    virtual void removeAll();
    int count() const { return int(items_.size()); }
    Control* getItemAt(int index) const;
    int getItemIndex(Control* child) const;
    const QList<Control*>& items() const { return items_; }

    Q_INVOKABLE void relayout();
    int scrollOffset() const { return scrollOffset_; }
    void setScrollOffset(int pixels);
    int contentExtent() const { return contentExtent_; }

protected:
    bool paintsAnything() const override { return basePaintsAnything(); }
    // Lays out the visible non-float children inside `inner` (pixels); returns the content extent
    // along the scrolling axis.
    virtual int layoutItems(const QRect& inner);
    QRect childRectIn(Control* child, const QRect& inner) const;
    int layoutAlong(const QRect& inner, bool vertical);
    int px(int units) const { return qRound(units * scale()); }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent*) override;
    void wheelEvent(QWheelEvent*) override;

    QList<Control*> items_;
    QMargins inset_;
    int childPadding_ = 0;
    bool vscroll_ = false;
    int scrollOffset_ = 0;
    int contentExtent_ = 0;
    int childAlign_ = 0; // 0 start, 1 centre, 2 end (across the layout's axis)

private:
    void attach(Control* child);
    ScrollBar* scrollBar_ = nullptr;
    bool inLayout_ = false;
};

class VerticalLayout : public Container {
    Q_OBJECT
public:
    using Container::Container;
    QString getClass() const override { return QStringLiteral("VerticalLayout"); }
    Control* getInterface(const QString& className) override;

protected:
    int layoutItems(const QRect& inner) override;
};

class HorizontalLayout : public Container {
    Q_OBJECT
public:
    using Container::Container;
    QString getClass() const override { return QStringLiteral("HorizontalLayout"); }
    Control* getInterface(const QString& className) override;

protected:
    int layoutItems(const QRect& inner) override;
};

// Shows one child at a time.
class TabLayout : public Container {
    Q_OBJECT
public:
    using Container::Container;
    QString getClass() const override { return QStringLiteral("TabLayout"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    bool add(Control* child) override;
    bool addAt(Control* child, int index) override;

    bool selectItem(int index);
    bool selectItem(Control* child) { return selectItem(getItemIndex(child)); }
    int currentSel() const { return current_; }

private:
    int current_ = 0;
};

} // namespace q9::ui
