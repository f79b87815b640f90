#include "ui/Containers.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

namespace q9::ui {

// A thin scroll bar drawn over the right edge of a scrolling container.
class ScrollBar final : public Control {
public:
    explicit ScrollBar(Container* owner) : Control(owner), owner_(owner) {}
    QString getClass() const override { return QStringLiteral("ScrollBar"); }

protected:
    bool wantsMouse() const override { return true; }
    void doPaint(QPainter& p) override
    {
        const QRect t = thumb();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, hot_ || dragging_ ? 90 : 45));
        p.drawRoundedRect(QRectF(t).adjusted(1, 0, -1, 0), width() / 2.0, width() / 2.0);
    }
    void doEvent(UiEvent& e) override
    {
        Control::doEvent(e);
        if (e.type == EventType::ButtonDown) {
            dragging_ = true;
            grabY_ = e.pt.y() - thumb().top();
        } else if (e.type == EventType::ButtonUp) {
            dragging_ = false;
        } else if (e.type == EventType::MouseMove && dragging_) {
            const int track = height() - thumb().height();
            const int range = owner_->contentExtent() - owner_->height();
            if (track > 0)
                owner_->setScrollOffset((e.pt.y() - grabY_) * range / track);
        }
    }

private:
    QRect thumb() const
    {
        const int view = owner_->height();
        const int content = std::max(owner_->contentExtent(), view + 1);
        const int h = std::max(24, height() * view / content);
        const int y = (height() - h) * owner_->scrollOffset() / std::max(1, content - view);
        return QRect(0, y, width(), h);
    }
    Container* owner_;
    bool dragging_ = false;
    int grabY_ = 0;
};

namespace {

QMargins marginsFrom(const QString& v)
{
    const QStringList p = v.split(',');
    if (p.size() != 4)
        return {};
    return QMargins(p[0].toInt(), p[1].toInt(), p[2].toInt(), p[3].toInt());
}

bool isTrue(const QString& v) { return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; }

} // namespace

Container::Container(QWidget* parent) : Control(parent) {}

Container::~Container()
{
    // The children go in QWidget's destructor, after this object's members: they must not call back.
    for (Control* c : std::as_const(items_)) {
        disconnect(c, nullptr, this, nullptr);
        c->removeEventFilter(this);
    }
    items_.clear();
}

Control* Container::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("Container"), Qt::CaseInsensitive) == 0)
        return this;
    return Control::getInterface(className);
}

bool Container::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("inset"))
        inset_ = marginsFrom(value);
    else if (n == QLatin1String("childpadding"))
        childPadding_ = value.toInt();
    else if (n == QLatin1String("vscrollbar"))
        vscroll_ = isTrue(value);
    else if (n == QLatin1String("childalign") || n == QLatin1String("childvalign"))
        childAlign_ = (value == QLatin1String("center") || value == QLatin1String("vcenter")) ? 1
                    : (value == QLatin1String("right") || value == QLatin1String("bottom")) ? 2 : 0;
    else
        return Control::setAttribute(name, value);
    relayout();
    return true;
}

void Container::attach(Control* child)
{
    if (child->parentWidget() != this)
        child->setParent(this);
    if (child->hideWhenAttached())
        child->hide();
    else if (!child->isHidden() || !child->testAttribute(Qt::WA_WState_ExplicitShowHide))
        child->show();
    child->installEventFilter(this);
    connect(child, &QObject::destroyed, this, [this](QObject* gone) {
        // By now only the QObject part of `gone` is left: compare addresses, never cast it down.
        const qsizetype before = items_.size();
        items_.removeIf([gone](const Control* c) { return static_cast<const QObject*>(c) == gone; });
        if (items_.size() != before)
            relayout();
    });
    if (scrollBar_)
        scrollBar_->raise();
}

bool Container::add(Control* child) { return addAt(child, count()); }

bool Container::addAt(Control* child, int index)
{
    if (!child || items_.contains(child))
        return false;
    index = std::clamp(index, 0, count());
    items_.insert(index, child);
    attach(child);
    // Paint order follows item order, so later items are drawn over earlier ones.
    for (int i = index + 1; i < count(); ++i)
        items_[i]->raise();
    relayout();
    return true;
}

bool Container::remove(Control* child)
{
    const int i = getItemIndex(child);
    if (i < 0)
        return false;
    items_.removeAt(i);
    child->removeEventFilter(this);
    delete child;
    relayout();
    return true;
}

void Container::removeAll()
{
    const QList<Control*> gone = items_;
    items_.clear();
    for (Control* c : gone) {
        c->removeEventFilter(this);
        delete c;
    }
    scrollOffset_ = 0;
    relayout();
}

Control* Container::getItemAt(int index) const { return index >= 0 && index < count() ? items_[index] : nullptr; }

int Container::getItemIndex(Control* child) const { return int(items_.indexOf(child)); }

bool Container::eventFilter(QObject* watched, QEvent* event)
{
    if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && !inLayout_)
        relayout();
    return Control::eventFilter(watched, event);
}

void Container::resizeEvent(QResizeEvent*) { relayout(); }

void Container::setScrollOffset(int pixels)
{
    const int max = std::max(0, contentExtent_ - height());
    pixels = std::clamp(pixels, 0, max);
    if (pixels == scrollOffset_)
        return;
    scrollOffset_ = pixels;
    relayout();
}

void Container::wheelEvent(QWheelEvent* e)
{
    if (!vscroll_ || contentExtent_ <= height()) {
        e->ignore();
        return;
    }
    setScrollOffset(scrollOffset_ - e->angleDelta().y() / 2);
}

QRect Container::childRectIn(Control* child, const QRect& inner) const
{
    const QMargins p = child->padding();
    QRect r = inner.adjusted(px(p.left()), px(p.top()), -px(p.right()), -px(p.bottom()));
    if (child->fixedWidth() >= 0)
        r.setWidth(px(child->fixedWidth()));
    if (child->fixedHeight() >= 0)
        r.setHeight(px(child->fixedHeight()));
    return r;
}

int Container::layoutItems(const QRect& inner)
{
    for (Control* c : items_)
        if (!c->isHidden() && !c->isFloat())
            c->setGeometry(childRectIn(c, inner));
    return inner.height();
}

// Lines the visible non-float children up along one axis: fixed sizes are kept, the rest shares
// what is left; across the axis a child takes the whole extent unless it has a fixed size.
int Container::layoutAlong(const QRect& inner, bool vertical)
{
    auto along = [vertical](const QSize& sz) { return vertical ? sz.height() : sz.width(); };
    auto fixedAlong = [vertical](Control* c) { return vertical ? c->fixedHeight() : c->fixedWidth(); };
    auto fixedAcross = [vertical](Control* c) { return vertical ? c->fixedWidth() : c->fixedHeight(); };
    auto before = [vertical](const QMargins& m) { return vertical ? m.top() : m.left(); };
    auto after = [vertical](const QMargins& m) { return vertical ? m.bottom() : m.right(); };
    auto sideBefore = [vertical](const QMargins& m) { return vertical ? m.left() : m.top(); };
    auto sideAfter = [vertical](const QMargins& m) { return vertical ? m.right() : m.bottom(); };

    QList<Control*> visible;
    for (Control* c : items_)
        if (!c->isHidden() && !c->isFloat())
            visible.push_back(c);
    int fixed = 0, stretch = 0;
    for (Control* c : visible) {
        fixed += px(before(c->padding())) + px(after(c->padding()));
        if (fixedAlong(c) >= 0)
            fixed += px(fixedAlong(c));
        else
            ++stretch;
    }
    if (visible.size() > 1)
        fixed += px(childPadding_) * int(visible.size() - 1);
    const int length = vertical ? inner.height() : inner.width();
    const int share = stretch ? std::max(0, length - fixed) / stretch : 0;
    const int offset = vertical ? scrollOffset_ : 0;
    int pos = (vertical ? inner.top() : inner.left()) - offset;
    for (Control* c : visible) {
        const QMargins p = c->padding();
        int size = fixedAlong(c) >= 0 ? px(fixedAlong(c)) : std::max(share, px(along(c->minUnits())));
        if (fixedAlong(c) < 0 && along(c->maxUnits()) >= 0)
            size = std::min(size, px(along(c->maxUnits())));
        const int avail = (vertical ? inner.width() : inner.height()) - px(sideBefore(p)) - px(sideAfter(p));
        const int thickness = fixedAcross(c) >= 0 ? px(fixedAcross(c)) : avail;
        int side = (vertical ? inner.left() : inner.top()) + px(sideBefore(p));
        if (childAlign_ == 1)
            side += (avail - thickness) / 2;
        else if (childAlign_ == 2)
            side += avail - thickness;
        pos += px(before(p));
        c->setGeometry(vertical ? QRect(side, pos, thickness, size) : QRect(pos, side, size, thickness));
        pos += size + px(after(p)) + px(childPadding_);
    }
    if (!vertical)
        return inner.height();
    if (!visible.isEmpty())
        pos -= px(childPadding_);
    return pos + offset - inner.top() + px(inset_.top()) + px(inset_.bottom());
}

void Container::relayout()
{
    if (inLayout_)
        return;
    inLayout_ = true;
    const QRect inner = rect().adjusted(px(inset_.left()), px(inset_.top()), -px(inset_.right()), -px(inset_.bottom()));
    for (Control* c : items_) {
        if (c->isHidden() || !c->isFloat())
            continue;
        const QRect pos = c->floatPos();
        c->setGeometry(px(pos.left()), px(pos.top()), px(c->fixedWidth() >= 0 ? c->fixedWidth() : pos.width()),
                       px(c->fixedHeight() >= 0 ? c->fixedHeight() : pos.height()));
    }
    contentExtent_ = layoutItems(inner);
    if (vscroll_) {
        const bool needed = contentExtent_ > height();
        if (needed && !scrollBar_)
            scrollBar_ = new ScrollBar(this);
        if (scrollBar_) {
            scrollBar_->setVisible(needed);
            scrollBar_->setGeometry(width() - px(6), 0, px(6), height());
            scrollBar_->raise();
        }
        if (!needed && scrollOffset_ != 0) {
            scrollOffset_ = 0;
            inLayout_ = false;
            relayout();
            return;
        }
    }
    inLayout_ = false;
}

Control* VerticalLayout::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("VerticalLayout"), Qt::CaseInsensitive) == 0)
        return this;
    return Container::getInterface(className);
}

int VerticalLayout::layoutItems(const QRect& inner) { return layoutAlong(inner, true); }

Control* HorizontalLayout::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("HorizontalLayout"), Qt::CaseInsensitive) == 0)
        return this;
    return Container::getInterface(className);
}

int HorizontalLayout::layoutItems(const QRect& inner) { return layoutAlong(inner, false); }

Control* TabLayout::getInterface(const QString& className)
{
    if (className.compare(QLatin1String("TabLayout"), Qt::CaseInsensitive) == 0)
        return this;
    return Container::getInterface(className);
}

bool TabLayout::setAttribute(const QString& name, const QString& value)
{
    if (name.compare(QLatin1String("selectedid"), Qt::CaseInsensitive) == 0) {
        current_ = value.toInt();
        selectItem(current_);
        return true;
    }
    return Container::setAttribute(name, value);
}

bool TabLayout::add(Control* child) { return addAt(child, count()); }

bool TabLayout::addAt(Control* child, int index)
{
    if (!Container::addAt(child, index))
        return false;
    child->setVisible(getItemIndex(child) == current_);
    return true;
}

bool TabLayout::selectItem(int index)
{
    if (index < 0 || index >= count())
        return false;
    current_ = index;
    for (int i = 0; i < count(); ++i)
        items_[i]->setVisible(i == index);
    relayout();
    return true;
}

} // namespace q9::ui
