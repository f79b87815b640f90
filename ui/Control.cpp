#include "ui/Control.h"

#include "ui/Image.h"
#include "ui/Resources.h"
#include "ui/Window.h"

#include <QDateTime>

#include <cmath>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPath>
#include <QTimerEvent>

namespace q9::ui {

namespace {

bool isTrue(const QString& v) { return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || v == QLatin1String("1"); }

QList<int> numbers(const QString& v)
{
    QList<int> out;
    for (const QString& part : v.split(',', Qt::SkipEmptyParts))
        out.push_back(part.trimmed().toInt());
    return out;
}

Qt::CursorShape cursorNamed(const QString& name)
{
    static const QHash<QString, Qt::CursorShape> shapes = {
        {"arrow", Qt::ArrowCursor}, {"ibeam", Qt::IBeamCursor}, {"wait", Qt::WaitCursor},
        {"cross", Qt::CrossCursor}, {"uparrow", Qt::UpArrowCursor}, {"size", Qt::SizeAllCursor},
        {"icon", Qt::ArrowCursor}, {"sizenwse", Qt::SizeFDiagCursor}, {"sizenesw", Qt::SizeBDiagCursor},
        {"sizewe", Qt::SizeHorCursor}, {"sizens", Qt::SizeVerCursor}, {"sizeall", Qt::SizeAllCursor},
        {"no", Qt::ForbiddenCursor}, {"hand", Qt::PointingHandCursor},
    };
    return shapes.value(name.toLower(), Qt::ArrowCursor);
}

} // namespace

bool parseColor(const QString& text, QRgb& out)
{
    QString t = text.trimmed();
    if (t.startsWith('#'))
        t = t.mid(1);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        t = t.mid(2);
    bool ok = false;
    const uint v = t.toUInt(&ok, 16);
    if (!ok || (t.size() != 6 && t.size() != 8))
        return false;
    out = t.size() == 6 ? (0xFF000000u | v) : v;
    return true;
}

namespace {
unsigned lookGeneration = 0;
}

unsigned Control::layoutLookGeneration() { return lookGeneration; }
void Control::noteLookChanged() { ++lookGeneration; }

Control::Control(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_Hover, false);
}

Control::~Control() = default;

Control* Control::getInterface(const QString& className)
{
    return className.compare(QLatin1String("Control"), Qt::CaseInsensitive) == 0 ? this : nullptr;
}

QString Control::text() const { return textIsId_ ? Resources::instance().text(text_) : text_; }

void Control::setText(const QString& text)
{
    if (text_ == text)
        return;
    text_ = text;
    update();
}

void Control::setTextIsId(bool isId)
{
    if (textIsId_ == isId)
        return;
    textIsId_ = isId;
    textIdsChanged();
}

void Control::setToolTipText(const QString& text)
{
    toolTip_ = text;
    setToolTip((textIsId_ || toolTipIsId_) && !text.isEmpty() ? Resources::instance().text(text) : text);
}

void Control::textIdsChanged()
{
    if (!toolTip_.isEmpty())
        setToolTip(textIsId_ || toolTipIsId_ ? Resources::instance().text(toolTip_) : toolTip_);
    update();
}

void Control::setBkColor(QRgb argb)
{
    if (bkColor_ == argb)
        return;
    bkColor_ = argb;
    if (!children().isEmpty())
        ++lookGeneration;
    update();
}

void Control::setBkImage(const QString& image)
{
    if (bkImage_ == image)
        return;
    bkImage_ = image;
    if (!children().isEmpty())
        ++lookGeneration;
    update();
}

void Control::setTextColor(QRgb argb)
{
    if (textColor_ == argb)
        return;
    textColor_ = argb;
    update();
}

void Control::setFontId(int id)
{
    if (fontId_ == id)
        return;
    fontId_ = id;
    update();
}

void Control::setFixedSizeUnits(int width, int height)
{
    fixedWidth_ = width;
    fixedHeight_ = height;
    needParentUpdate();
}

void Control::setFloatPos(const QRect& pos)
{
    float_ = true;
    pos_ = pos;
    needParentUpdate();
}

void Control::needParentUpdate()
{
    if (auto* parent = qobject_cast<Control*>(parentWidget()))
        QMetaObject::invokeMethod(parent, "relayout", Qt::DirectConnection);
}

bool Control::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (!children().isEmpty())
        ++lookGeneration;
    QRgb c = 0;
    if (n == QLatin1String("name")) setName(value);
    else if (n == QLatin1String("text")) setText(value);
    else if (n == QLatin1String("textid")) {
        if (isTrue(value) || value.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            setTextIsId(isTrue(value));
        else {
            setText(value);
            setTextIsId(true);
        }
    } else if (n == QLatin1String("tooltip")) setToolTipText(value);
    else if (n == QLatin1String("tooltipid")) {
        toolTipIsId_ = true;
        setToolTipText(value);
    }
    else if (n == QLatin1String("visible")) {
        if (parentWidget())
            setVisible(isTrue(value));
        else
            hideWhenAttached_ = !isTrue(value);
    } else if (n == QLatin1String("enabled")) setEnabled(isTrue(value));
    else if (n == QLatin1String("bkcolor") && parseColor(value, c)) setBkColor(c);
    else if (n == QLatin1String("bkcolor2") && parseColor(value, c)) bkColor2_ = c;
    else if (n == QLatin1String("bordercolor") && parseColor(value, c)) borderColor_ = c;
    else if (n == QLatin1String("bordersize")) borderSize_ = value.toInt();
    else if (n == QLatin1String("borderround")) borderRound_ = numbers(value).value(0);
    else if (n == QLatin1String("bkimage")) setBkImage(value);
    else if (n == QLatin1String("textcolor") && parseColor(value, c)) setTextColor(c);
    else if (n == QLatin1String("disabledtextcolor") && parseColor(value, c)) disabledTextColor_ = c;
    else if (n == QLatin1String("disabledopacity")) disabledOpacity_ = std::clamp(value.toDouble(), 0.0, 1.0);
    else if (n == QLatin1String("userdata")) setUserData(value);
    else if (n == QLatin1String("tag")) setTag(value.toULongLong());
    else if (n == QLatin1String("font")) setFontId(value.toInt());
    else if (n == QLatin1String("width")) setFixedSizeUnits(value.toInt(), fixedHeight_);
    else if (n == QLatin1String("height")) setFixedSizeUnits(fixedWidth_, value.toInt());
    else if (n == QLatin1String("size")) {
        const auto v = numbers(value);
        setFixedSizeUnits(v.value(0, -1), v.value(1, -1));
    } else if (n == QLatin1String("minwidth")) minSize_.setWidth(value.toInt());
    else if (n == QLatin1String("minheight")) minSize_.setHeight(value.toInt());
    else if (n == QLatin1String("maxwidth")) maxSize_.setWidth(value.toInt());
    else if (n == QLatin1String("maxheight")) maxSize_.setHeight(value.toInt());
    else if (n == QLatin1String("float")) float_ = isTrue(value);
    else if (n == QLatin1String("pos")) {
        const auto v = numbers(value);
        if (v.size() == 4)
            pos_ = QRect(QPoint(v[0], v[1]), QPoint(v[2] - 1, v[3] - 1));
        if (fixedWidth_ < 0 && pos_.width() > 0)
            fixedWidth_ = pos_.width();
        if (fixedHeight_ < 0 && pos_.height() > 0)
            fixedHeight_ = pos_.height();
        needParentUpdate();
    } else if (n == QLatin1String("padding")) {
        const auto v = numbers(value);
        if (v.size() == 4)
            padding_ = QMargins(v[0], v[1], v[2], v[3]);
    } else if (n == QLatin1String("textpadding")) {
        const auto v = numbers(value);
        if (v.size() == 4)
            textPadding_ = QMargins(v[0], v[1], v[2], v[3]);
    } else if (n == QLatin1String("align")) {
        textFlags_ &= ~Qt::AlignHorizontal_Mask;
        textFlags_ |= value == QLatin1String("center") ? Qt::AlignHCenter
                    : value == QLatin1String("right") ? Qt::AlignRight : Qt::AlignLeft;
    } else if (n == QLatin1String("valign")) {
        textFlags_ &= ~Qt::AlignVertical_Mask;
        textFlags_ |= value == QLatin1String("top") ? Qt::AlignTop
                    : value == QLatin1String("bottom") ? Qt::AlignBottom : Qt::AlignVCenter;
    } else if (n == QLatin1String("wordbreak")) {
        if (isTrue(value))
            textFlags_ |= Qt::TextWordWrap;
        else
            textFlags_ &= ~Qt::TextWordWrap;
    } else if (n == QLatin1String("cursor")) setCursor(cursorNamed(value));
    else if (n == QLatin1String("mouse")) wantsMouse_ = isTrue(value);
    else if (n == QLatin1String("style") || n == QLatin1String("class")) {
        // applied by the builder
    } else return false;
    return true;
}

void Control::setUiTimer(int id, int milliseconds)
{
    killUiTimer(id);
    const int qtId = startTimer(std::max(1, milliseconds));
    if (qtId)
        timers_.insert(id, qtId);
}

void Control::killUiTimer(int id)
{
    auto it = timers_.find(id);
    if (it == timers_.end())
        return;
    killTimer(it.value());
    timers_.erase(it);
}

void Control::timerEvent(QTimerEvent* e)
{
    for (auto it = timers_.cbegin(); it != timers_.cend(); ++it)
        if (it.value() == e->timerId()) {
            UiEvent ev;
            ev.type = EventType::Timer;
            ev.timerId = it.key();
            doEvent(ev);
            return;
        }
    QWidget::timerEvent(e);
}

void Control::sendNotify(const QString& type, uint64_t wParam, int64_t lParam)
{
    if (Window* w = manager())
        w->sendNotify(this, type, wParam, lParam);
}

Window* Control::manager() const { return qobject_cast<Window*>(window()); }

double Control::scale() const
{
    const Window* w = manager();
    return w ? w->scale() : 1.0;
}

QFont Control::makeFont(int id) const
{
    const FontSpec style = id >= 0 ? Resources::instance().font(id) : Resources::instance().defaultFont();
    QFont f;
    if (!style.family.isEmpty())
        // Chinese text falls back to the program's Chinese font (a plain TrueType font: the large
        // CJK collections cost several megabytes of memory once a few glyphs are drawn).
        f.setFamilies({style.family, QStringLiteral("Droid Sans Fallback")});
    f.setPixelSize(std::max(1, qRound(style.pixelSize * scale())));
    f.setBold(style.bold);
    f.setItalic(style.italic);
    f.setUnderline(style.underline);
    return f;
}

void Control::doEvent(UiEvent& e)
{
    switch (e.type) {
    case EventType::MouseEnter:
        hot_ = true;
        update();
        break;
    case EventType::MouseLeave:
        hot_ = false;
        update();
        break;
    case EventType::ButtonDown:
        pushed_ = true;
        update();
        break;
    case EventType::ButtonUp:
        pushed_ = false;
        update();
        break;
    default:
        break;
    }
}

QRect Control::textRect() const
{
    const double s = scale();
    const QMargins m(qRound(textPadding_.left() * s), qRound(textPadding_.top() * s), qRound(textPadding_.right() * s),
                     qRound(textPadding_.bottom() * s));
    return rect().marginsRemoved(m);
}

QPainterPath Control::clipPath() const
{
    QPainterPath path;
    const double r = borderRound_ * scale();
    if (r > 0)
        path.addRoundedRect(QRectF(rect()), r, r);
    else
        path.addRect(QRectF(rect()));
    return path;
}

void Control::drawImageString(QPainter& p, const QString& image, const QRect& target)
{
    if (!image.isEmpty())
        drawImage(p, image, target, scale());
}

void Control::paintEvent(QPaintEvent* e)
{
    if (!paintsAnything())
        return;
    QPainter p(this);
    // Pictures are cut to the exposed rectangles before they are blended.
    const ExposedRegion exposed(&e->region());
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!isEnabled() && disabledOpacity_ < 1.0)
        p.setOpacity(disabledOpacity_);
    doPaint(p);
}

void Control::doPaint(QPainter& p)
{
    paintBkColor(p);
    paintBkImage(p);
    paintStatusImage(p);
    paintForeColor(p);
    paintText(p);
    paintBorder(p);
}

QRect Control::exposedRect() const
{
    const QRegion* exposed = ExposedRegion::current();
    return exposed ? exposed->boundingRect() & rect() : rect();
}

void Control::paintBkColor(QPainter& p)
{
    if (!bkColor_)
        return;
    QBrush brush{QColor::fromRgba(bkColor_)};
    if (bkColor2_) {
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, QColor::fromRgba(bkColor_));
        g.setColorAt(1, QColor::fromRgba(bkColor2_));
        brush = QBrush(g);
    }
    // Away from the rounded corners the fill is a plain rectangle: a small exposed area inside a
    // large rounded background is filled without rasterising the whole shape.
    const QRect exposed = exposedRect();
    const int r = int(std::ceil(borderRound_ * scale()));
    if (r <= 0 || rect().adjusted(r, 0, -r, 0).contains(exposed) || rect().adjusted(0, r, 0, -r).contains(exposed)) {
        p.fillRect(r <= 0 ? rect() : exposed, brush);
        return;
    }
    p.fillPath(clipPath(), brush);
}

void Control::paintBkImage(QPainter& p) { drawImageString(p, bkImage_, rect()); }

void Control::paintText(QPainter& p)
{
    const QString t = text();
    if (t.isEmpty())
        return;
    p.setFont(makeFont(fontId_));
    p.setPen(QColor::fromRgba(isEnabled() ? textColor_ : disabledTextColor_));
    p.drawText(textRect(), textFlags_, t);
}

void Control::paintBorder(QPainter& p)
{
    if (!borderColor_ || borderSize_ <= 0)
        return;
    const double w = borderSize_ * scale();
    // An exposed area clear of the border band (and of the rounded corners) has no border in it.
    const int band = int(std::ceil(std::max(w, borderRound_ * scale()))) + 1;
    if (rect().adjusted(band, band, -band, -band).contains(exposedRect()))
        return;
    QPen pen{QColor::fromRgba(borderColor_)};
    pen.setWidthF(w);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const QRectF r = QRectF(rect()).adjusted(w / 2, w / 2, -w / 2, -w / 2);
    const double round = borderRound_ * scale();
    if (round > 0)
        p.drawRoundedRect(r, round, round);
    else
        p.drawRect(r);
}

void Control::mousePressEvent(QMouseEvent* e)
{
    if (!wantsMouse() || !isEnabled()) {
        e->ignore();
        return;
    }
    if (e->button() != Qt::LeftButton)
        return;
    captured_ = true;
    UiEvent ev{EventType::ButtonDown, e->position().toPoint(), 0, e->modifiers(), 0};
    doEvent(ev);
}

void Control::mouseReleaseEvent(QMouseEvent* e)
{
    if (!captured_) {
        e->ignore();
        return;
    }
    captured_ = false;
    UiEvent ev{EventType::ButtonUp, e->position().toPoint(), 0, e->modifiers(), 0};
    doEvent(ev);
}

void Control::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (!wantsMouse() || !isEnabled()) {
        e->ignore();
        return;
    }
    captured_ = true;
    UiEvent ev{EventType::DoubleClick, e->position().toPoint(), 0, e->modifiers(), 0};
    doEvent(ev);
}

void Control::mouseMoveEvent(QMouseEvent* e)
{
    UiEvent ev{EventType::MouseMove, e->position().toPoint(), 0, e->modifiers(), 0};
    doEvent(ev);
    if (!wantsMouse())
        e->ignore();
}

void Control::enterEvent(QEnterEvent*)
{
    UiEvent ev{EventType::MouseEnter, {}, 0, {}, 0};
    doEvent(ev);
}

void Control::leaveEvent(QEvent*)
{
    UiEvent ev{EventType::MouseLeave, {}, 0, {}, 0};
    doEvent(ev);
}

void Control::contextMenuEvent(QContextMenuEvent* e)
{
    UiEvent ev{EventType::ContextMenu, e->pos(), 0, e->modifiers(), 0};
    doEvent(ev);
}

void Control::keyPressEvent(QKeyEvent* e)
{
    UiEvent ev{EventType::KeyDown, {}, e->key(), e->modifiers(), 0};
    doEvent(ev);
    QWidget::keyPressEvent(e);
}

} // namespace q9::ui
