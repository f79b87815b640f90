#include "ui/List.h"

#include <QPainter>
#include <QPainterPath>

namespace q9::ui {

namespace {

ListItem* asRow(Control* c) { return dynamic_cast<ListItem*>(c); }

} // namespace

int ListItem::rowIndex() const
{
    return owner_ ? owner_->getItemIndex(dynamic_cast<Control*>(const_cast<ListItem*>(this))) : -1;
}

List::List(QWidget* parent) : VerticalLayout(parent) { vscroll_ = true; }

Control* List::getInterface(const QString& className)
{
    return className.compare(QLatin1String("List"), Qt::CaseInsensitive) == 0 ? this : VerticalLayout::getInterface(className);
}

bool List::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    QRgb c = 0;
    if (n == QLatin1String("itembkcolor") && parseColor(value, c)) look_.itemBkColor = c;
    else if (n == QLatin1String("itemhotbkcolor") && parseColor(value, c)) look_.itemHotBkColor = c;
    else if (n == QLatin1String("itemselectedbkcolor") && parseColor(value, c)) look_.itemSelectedBkColor = c;
    else if (n == QLatin1String("itemtextcolor") && parseColor(value, c)) look_.itemTextColor = c;
    else if (n == QLatin1String("itemselectedtextcolor") && parseColor(value, c)) look_.itemSelectedTextColor = c;
    else if (n == QLatin1String("itemlinecolor") && parseColor(value, c)) look_.itemLineColor = c;
    else if (n == QLatin1String("itemhotimage")) look_.itemHotImage = value;
    else if (n == QLatin1String("itemselectedimage")) look_.itemSelectedImage = value;
    else if (n == QLatin1String("itemfont")) look_.itemFont = value.toInt();
    else return VerticalLayout::setAttribute(name, value);
    return true;
}

bool List::addAt(Control* child, int index)
{
    if (!VerticalLayout::addAt(child, index))
        return false;
    if (ListItem* row = asRow(child))
        row->setOwner(this);
    // Keep the selection on the same row when rows are inserted before it.
    if (curSel_ >= 0 && getItemIndex(child) <= curSel_)
        ++curSel_;
    return true;
}

void List::removeAll()
{
    curSel_ = -1;
    VerticalLayout::removeAll();
}

bool List::selectItem(int index, bool notify)
{
    if (index < -1 || index >= count())
        return false;
    if (index == curSel_)
        return true;
    if (ListItem* old = asRow(getItemAt(curSel_)))
        old->setSelectedRow(false);
    curSel_ = index;
    if (ListItem* row = asRow(getItemAt(index))) {
        row->setSelectedRow(true);
        // Keep the selected row in view.
        Control* c = getItemAt(index);
        if (c->geometry().bottom() > height())
            setScrollOffset(scrollOffset() + c->geometry().bottom() - height() + 1);
        else if (c->geometry().top() < 0)
            setScrollOffset(scrollOffset() + c->geometry().top());
    }
    if (notify)
        sendNotify(notify::ItemSelect, uint64_t(index), 0);
    return true;
}

void List::rowPressed(ListItem* row, Qt::KeyboardModifiers)
{
    selectItem(row->rowIndex());
}

ListLabelElement::ListLabelElement(QWidget* parent) : Control(parent)
{
    setMouseTracking(true);
    Control::setAttribute(QStringLiteral("textpadding"), QStringLiteral("10,0,10,0"));
}

Control* ListLabelElement::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("ListLabelElement"), Qt::CaseInsensitive) == 0
        || className.compare(QLatin1String("ListItem"), Qt::CaseInsensitive) == 0)
        return this;
    return Control::getInterface(className);
}

void ListLabelElement::setSelectedRow(bool on)
{
    selected_ = on;
    update();
}

void ListItem::rowEvent(Control& self, UiEvent& e)
{
    if (!self.isEnabled())
        return;
    if (e.type == EventType::ButtonDown && owner_)
        owner_->rowPressed(this, e.modifiers);
    else if (e.type == EventType::ButtonUp)
        self.sendNotify(notify::ItemClick);
    else if (e.type == EventType::DoubleClick) {
        if (owner_)
            owner_->rowPressed(this, e.modifiers); // the row double-clicked is the one selected
        self.sendNotify(notify::ItemActivate);
    }
}

void ListItem::paintRow(Control& self, QPainter& p, const QPainterPath& shape, bool hot)
{
    const ListLook look = owner_ ? owner_->look() : ListLook{};
    const QRgb own = self.bkColor();
    const QRgb c = selected_ ? look.itemSelectedBkColor : hot ? look.itemHotBkColor : (own ? own : look.itemBkColor);
    if (c)
        p.fillPath(shape, QColor::fromRgba(c));
    if (look.itemLineColor)
        p.fillRect(QRect(0, self.height() - 1, self.width(), 1), QColor::fromRgba(look.itemLineColor));
}

void ListLabelElement::doEvent(UiEvent& e)
{
    Control::doEvent(e);
    rowEvent(*this, e);
}

void ListLabelElement::paintBkColor(QPainter& p)
{
    paintRow(*this, p, clipPath(), hot_);
    const ListLook look = owner_ ? owner_->look() : ListLook{};
    if (selected_)
        drawImageString(p, look.itemSelectedImage, rect());
    else if (hot_)
        drawImageString(p, look.itemHotImage, rect());
}

void ListLabelElement::paintText(QPainter& p)
{
    const ListLook look = owner_ ? owner_->look() : ListLook{};
    p.setFont(makeFont(fontId() >= 0 ? fontId() : look.itemFont));
    p.setPen(QColor::fromRgba(selected_ ? look.itemSelectedTextColor : look.itemTextColor));
    p.drawText(textRect(), textFlags(), text());
}

ListContainerElement::ListContainerElement(QWidget* parent) : HorizontalLayout(parent) { setMouseTracking(true); }

Control* ListContainerElement::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("ListContainerElement"), Qt::CaseInsensitive) == 0
        || className.compare(QLatin1String("ListItem"), Qt::CaseInsensitive) == 0)
        return this;
    return HorizontalLayout::getInterface(className);
}

void ListContainerElement::setSelectedRow(bool on)
{
    selected_ = on;
    update();
}

void ListContainerElement::doEvent(UiEvent& e)
{
    HorizontalLayout::doEvent(e);
    rowEvent(*this, e);
}

void ListContainerElement::paintBkColor(QPainter& p) { paintRow(*this, p, clipPath(), hot_); }

} // namespace q9::ui
