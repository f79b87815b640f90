#include "ui/Label.h"

#include "ui/Window.h"

#include <QPainter>
#include <QPainterPath>

namespace q9::ui {

namespace {

bool isTrue(const QString& v) { return v.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0; }

bool matches(const QString& className, const char* name) { return className.compare(QLatin1String(name), Qt::CaseInsensitive) == 0; }

} // namespace

Control* Label::getInterface(const QString& className)
{
    return matches(className, "Label") ? this : Control::getInterface(className);
}

Text::Text(QWidget* parent) : Label(parent) { Control::setAttribute(QStringLiteral("wordbreak"), QStringLiteral("true")); }

Button::Button(QWidget* parent) : Label(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    Control::setAttribute(QStringLiteral("align"), QStringLiteral("center"));
}

Control* Button::getInterface(const QString& className)
{
    return matches(className, "Button") ? this : Label::getInterface(className);
}

bool Button::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    QRgb c = 0;
    if (n == QLatin1String("normalimage")) setNormalImage(value);
    else if (n == QLatin1String("hotimage")) hotImage_ = value;
    else if (n == QLatin1String("pushedimage")) pushedImage_ = value;
    else if (n == QLatin1String("disabledimage")) disabledImage_ = value;
    else if (n == QLatin1String("foreimage")) foreImage_ = value;
    else if (n == QLatin1String("hotforeimage")) hotForeImage_ = value;
    else if (n == QLatin1String("focusedimage")) {}
    else if (n == QLatin1String("hotbkcolor") && parseColor(value, c)) hotBkColor_ = c;
    else if (n == QLatin1String("pushedbkcolor") && parseColor(value, c)) pushedBkColor_ = c;
    else if (n == QLatin1String("disabledbkcolor") && parseColor(value, c)) disabledBkColor_ = c;
    else if (n == QLatin1String("hottextcolor") && parseColor(value, c)) hotTextColor_ = c;
    else if (n == QLatin1String("pushedtextcolor") && parseColor(value, c)) pushedTextColor_ = c;
    else return Label::setAttribute(name, value);
    update();
    return true;
}

void Button::setNormalImage(const QString& image)
{
    normalImage_ = image;
    update();
}

void Button::doEvent(UiEvent& e)
{
    const bool wasPushed = pushed_;
    Label::doEvent(e);
    if (e.type == EventType::ButtonUp && wasPushed && rect().contains(e.pt) && isEnabled())
        activate();
}

void Button::activate() { sendNotify(notify::Click); }

QRgb Button::currentBkColor() const
{
    if (!isEnabled() && disabledBkColor_)
        return disabledBkColor_;
    if (pushed_ && pushedBkColor_)
        return pushedBkColor_;
    if (hot_ && hotBkColor_)
        return hotBkColor_;
    return bkColor();
}

QRgb Button::currentTextColor() const
{
    if (!isEnabled())
        return disabledTextColor_;
    if (pushed_ && pushedTextColor_)
        return pushedTextColor_;
    if (hot_ && hotTextColor_)
        return hotTextColor_;
    return textColor();
}

void Button::paintBkColor(QPainter& p)
{
    const QRgb c = currentBkColor();
    if (c)
        p.fillPath(clipPath(), QColor::fromRgba(c));
}

void Button::paintStatusImage(QPainter& p)
{
    const QString* image = &normalImage_;
    if (!isEnabled() && !disabledImage_.isEmpty())
        image = &disabledImage_;
    else if (pushed_ && !pushedImage_.isEmpty())
        image = &pushedImage_;
    else if (hot_ && !hotImage_.isEmpty())
        image = &hotImage_;
    drawImageString(p, *image, rect());
    drawImageString(p, hot_ && !hotForeImage_.isEmpty() ? hotForeImage_ : foreImage_, rect());
}

void Button::paintText(QPainter& p)
{
    const QString t = text();
    if (t.isEmpty())
        return;
    p.setFont(makeFont(fontId()));
    p.setPen(QColor::fromRgba(currentTextColor()));
    p.drawText(textRect(), textFlags(), t);
}

Option::Option(QWidget* parent) : Button(parent) {}

Control* Option::getInterface(const QString& className)
{
    return matches(className, "Option") ? this : Button::getInterface(className);
}

bool Option::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    QRgb c = 0;
    if (n == QLatin1String("group")) group_ = value;
    else if (n == QLatin1String("selected")) selected(isTrue(value), false);
    else if (n == QLatin1String("selectedimage")) selectedImage_ = value;
    else if (n == QLatin1String("selectedhotimage")) selectedHotImage_ = value;
    else if (n == QLatin1String("selectedforeimage")) selectedForeImage_ = value;
    else if (n == QLatin1String("selectedbkcolor") && parseColor(value, c)) selectedBkColor_ = c;
    else if (n == QLatin1String("selectedtextcolor") && parseColor(value, c)) selectedTextColor_ = c;
    else return Button::setAttribute(name, value);
    update();
    return true;
}

void Option::activate()
{
    Button::activate(); // an option is clicked first, then its selection changes
    if (!group_.isEmpty())
        selected(true);
    else
        selected(!selected_);
}

void Option::selected(bool on, bool notify)
{
    if (selected_ == on)
        return;
    selected_ = on;
    if (on && !group_.isEmpty()) {
        QWidget* scope = manager() ? static_cast<QWidget*>(manager()) : window();
        for (Option* other : scope->findChildren<Option*>())
            if (other != this && other->group_ == group_ && other->selected_) {
                other->selected_ = false;
                other->update();
            }
    }
    update();
    if (notify)
        sendNotify(notify::SelectChanged);
}

QRgb Option::currentTextColor() const
{
    if (selected_ && selectedTextColor_ && isEnabled())
        return selectedTextColor_;
    return Button::currentTextColor();
}

void Option::paintBkColor(QPainter& p)
{
    if (selected_ && selectedBkColor_) {
        // A disabled choice still shows which one it holds, dimmed.
        const double opacity = p.opacity();
        if (!isEnabled())
            p.setOpacity(opacity * 0.3);
        p.fillPath(clipPath(), QColor::fromRgba(selectedBkColor_));
        p.setOpacity(opacity);
        return;
    }
    Button::paintBkColor(p);
}

void Option::paintStatusImage(QPainter& p)
{
    if (selected_ && !selectedImage_.isEmpty()) {
        drawImageString(p, hot_ && !selectedHotImage_.isEmpty() ? selectedHotImage_ : selectedImage_, rect());
        drawImageString(p, selectedForeImage_.isEmpty() ? foreImage_ : selectedForeImage_, rect());
        return;
    }
    Button::paintStatusImage(p);
    if (selected_ && !selectedForeImage_.isEmpty())
        drawImageString(p, selectedForeImage_, rect());
}

CheckBox::CheckBox(QWidget* parent) : Option(parent)
{
    Control::setAttribute(QStringLiteral("align"), QStringLiteral("left"));
}

Control* CheckBox::getInterface(const QString& className)
{
    return matches(className, "CheckBox") ? this : Option::getInterface(className);
}

void CheckBox::paintStatusImage(QPainter& p)
{
    if (!normalImage_.isEmpty() || !selectedImage_.isEmpty()) {
        Option::paintStatusImage(p);
        return;
    }
    const double s = scale();
    const double box = 16 * s;
    const QRectF r(1 * s, (height() - box) / 2, box, box);
    p.setPen(QPen(QColor::fromRgba(selected_ ? accent_ : (hot_ ? 0xFF8A90A0 : 0xFF5A606C)), 1.5 * s));
    p.setBrush(selected_ ? QColor::fromRgba(accent_) : QColor(0, 0, 0, 0));
    const double opacity = p.opacity();
    if (!isEnabled())
        p.setOpacity(opacity * 0.4);
    p.drawRoundedRect(r, 3 * s, 3 * s);
    if (selected_) {
        QPainterPath tick;
        tick.moveTo(r.left() + box * 0.22, r.top() + box * 0.52);
        tick.lineTo(r.left() + box * 0.42, r.top() + box * 0.72);
        tick.lineTo(r.left() + box * 0.78, r.top() + box * 0.30);
        p.setPen(QPen(QColor(0x10, 0x12, 0x16), 2.0 * s, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    }
    p.setOpacity(opacity);
}

void CheckBox::paintText(QPainter& p)
{
    const QString t = text();
    if (t.isEmpty())
        return;
    const bool ownBox = normalImage_.isEmpty() && selectedImage_.isEmpty();
    QRect r = textRect();
    if (ownBox && textPadding().left() == 0)
        r.setLeft(r.left() + qRound(24 * scale()));
    p.setFont(makeFont(fontId()));
    p.setPen(QColor::fromRgba(currentTextColor()));
    p.drawText(r, textFlags(), t);
}

} // namespace q9::ui
