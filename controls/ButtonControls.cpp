#include "controls/ButtonControls.h"

#include <QPainter>
#include <QPainterPath>

namespace q9::controls {

CRedioMacroButtonUI::CRedioMacroButtonUI(QWidget* parent) : ui::Button(parent) {}

ui::Control* CRedioMacroButtonUI::getInterface(const QString& className)
{
    return className == QLatin1String("RedioMacroButton") ? this : ui::Button::getInterface(className);
}

bool CRedioMacroButtonUI::setAttribute(const QString& name, const QString& value)
{
    if (name.compare(QLatin1String("redioimage"), Qt::CaseInsensitive) == 0) {
        redioImage_ = value;
        return true;
    }
    return ui::Button::setAttribute(name, value);
}

void CRedioMacroButtonUI::startBlink()
{
    blinking_ = true;
    setUiTimer(kBlinkTimer, kBlinkPeriodMs);
}

void CRedioMacroButtonUI::stopBlink() { blinking_ = false; }

void CRedioMacroButtonUI::doEvent(UiEvent& e)
{
    if (e.type != EventType::Timer || e.timerId != kBlinkTimer) {
        ui::Button::doEvent(e);
        return;
    }
    if (!redioImage_.isEmpty()) {
        if (fadingUp_) {
            fade_ += 20;
            if (fade_ > 254) {
                fade_ = 255;
                fadingUp_ = false;
            }
        } else {
            fade_ -= 20;
            if (fade_ <= 80) {
                fade_ = 80;
                fadingUp_ = true;
            }
        }
        setBkImage(QStringLiteral("res='%1' ").arg(redioImage_) + QStringLiteral("fade='%1'").arg(fade_));
    }
    killUiTimer(kBlinkTimer);
    if (blinking_)
        setUiTimer(kBlinkTimer, kBlinkPeriodMs);
}

CCircleProgressUI::CCircleProgressUI(QWidget* parent) : ui::Progress(parent)
{
    setBkColor(0xFF2A2E37);
    setForeColor(0xFF00C2FF);
}

ui::Control* CCircleProgressUI::getInterface(const QString& className)
{
    return className == QLatin1String("CircleProgress") ? this : ui::Progress::getInterface(className);
}

double CCircleProgressUI::sweepAngle() const
{
    const int span = maxValue() - minValue();
    return span == 0 ? 0.0 : double(value()) / span * 360.0; // the value itself, not value − minimum
}

void CCircleProgressUI::paintBkColor(QPainter& p)
{
    if (!bkColor())
        return;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(bkColor()));
    p.drawEllipse(QRectF(rect()));
}

void CCircleProgressUI::paintForeColor(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(foreColor()));
    // Qt counts angles counter-clockwise in sixteenths of a degree: negate to turn clockwise.
    p.drawPie(QRectF(rect()), qRound(-startAngle() * 16), qRound(-sweepAngle() * 16));
    const double inset = 10 * scale();
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawEllipse(QRectF(rect()).adjusted(inset, inset, -inset, -inset));
}

CHandImgButtonUI::CHandImgButtonUI(QWidget* parent) : ui::Button(parent) { setMouseTracking(true); }

ui::Control* CHandImgButtonUI::getInterface(const QString& className)
{
    return className == QLatin1String("HandImgButton") ? this : ui::Button::getInterface(className);
}

bool CHandImgButtonUI::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("handimage")) handImage_ = value;
    else if (n == QLatin1String("deletenormalimage")) deleteNormalImage_ = value;
    else if (n == QLatin1String("deletehotimage")) deleteHotImage_ = value;
    else return ui::Button::setAttribute(name, value);
    update();
    return true;
}

QRect CHandImgButtonUI::deleteHotSpot() const
{
    const double s = scale();
    const int size = qRound(20 * s);
    return QRect(width() - qRound(30 * s), height() - qRound(29 * s), size, size);
}

void CHandImgButtonUI::doEvent(UiEvent& e)
{
    switch (e.type) {
    case EventType::MouseMove: {
        const bool inside = deleteHotSpot().contains(e.pt);
        if (inside != deleteHot_) {
            deleteHot_ = inside;
            update();
        }
        break;
    }
    case EventType::ButtonDown:
    case EventType::DoubleClick:
        if (isEnabled() && rect().contains(e.pt)) {
            pushed_ = true;
            update();
        }
        break;
    case EventType::ButtonUp:
        if (pushed_) {
            pushed_ = false;
            update();
            if (deleteHotSpot().contains(e.pt)) {
                if (!locked_)
                    sendNotify(ui::notify::ClickHandDelete);
            } else if (rect().contains(e.pt)) {
                activate();
            }
        }
        break;
    case EventType::MouseEnter:
        hot_ = true;
        update();
        sendNotify(ui::notify::MsEnter);
        break;
    case EventType::MouseLeave:
        hot_ = false;
        deleteHot_ = false;
        update();
        sendNotify(ui::notify::MsLeave);
        break;
    default:
        ui::Button::doEvent(e);
        break;
    }
}

void CHandImgButtonUI::paintStatusImage(QPainter& p)
{
    ui::Button::paintStatusImage(p);
    drawImageString(p, handImage_, rect());
    if (hot_ && !locked_)
        drawImageString(p, deleteHot_ ? deleteHotImage_ : deleteNormalImage_, deleteHotSpot());
}

CHandImgSelectButtonUI::CHandImgSelectButtonUI(QWidget* parent) : ui::Button(parent) {}

ui::Control* CHandImgSelectButtonUI::getInterface(const QString& className)
{
    return className == QLatin1String("HandImgSelectButton") ? this : ui::Button::getInterface(className);
}

bool CHandImgSelectButtonUI::setAttribute(const QString& name, const QString& value)
{
    if (name.compare(QLatin1String("handimage"), Qt::CaseInsensitive) == 0) {
        handImage_ = value;
        update();
        return true;
    }
    return ui::Button::setAttribute(name, value); // "cursor" maps the system cursor names
}

void CHandImgSelectButtonUI::setImageSource(const QRect& source)
{
    source_ = source;
    update();
}

QString CHandImgSelectButtonUI::composedImage() const
{
    QString s = QStringLiteral("file='%1'").arg(handImage_);
    if (!source_.isNull())
        s += QStringLiteral(" source='%1,%2,%3,%4'").arg(source_.left()).arg(source_.top()).arg(source_.right() + 1).arg(source_.bottom() + 1);
    return s;
}

void CHandImgSelectButtonUI::doEvent(UiEvent& e)
{
    ui::Button::doEvent(e);
    if (e.type == EventType::MouseEnter)
        sendNotify(ui::notify::MsEnter);
    else if (e.type == EventType::MouseLeave)
        sendNotify(ui::notify::MsLeave);
}

void CHandImgSelectButtonUI::paintStatusImage(QPainter& p)
{
    ui::Button::paintStatusImage(p);
    if (!handImage_.isEmpty())
        drawImageString(p, composedImage(), rect());
}

} // namespace q9::controls
