#include "controls/KeyControls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace q9::controls {

CDeviceKeyButtonUI::CDeviceKeyButtonUI(QWidget* parent) : ui::Button(parent) { setMouseTracking(true); }

ui::Control* CDeviceKeyButtonUI::getInterface(const QString& className)
{
    return className == QLatin1String("DeviceKeyButton") ? this : ui::Button::getInterface(className);
}

bool CDeviceKeyButtonUI::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("lightimage")) {
        lightImage_ = value;
        tinted_ = QImage();
    }
    else if (n == QLatin1String("keysetimage"))
        keySetImage_ = value;
    else
        return ui::Button::setAttribute(name, value);
    update();
    return true;
}

void CDeviceKeyButtonUI::setSelected(bool on)
{
    if (selected_ == on)
        return;
    selected_ = on;
    update();
}

void CDeviceKeyButtonUI::setLightColor(uint8_t r, uint8_t g, uint8_t b, uint8_t brightness)
{
    const QRgb c = qRgb(r, g, b);
    if (c == lightColor_ && brightness == brightness_)
        return; // an unchanged frame is not painted again
    lightColor_ = c;
    brightness_ = brightness;
    if (lightLayer_)
        update();
}

void CDeviceKeyButtonUI::showLightLayer(bool on)
{
    lightLayer_ = on;
    update();
}

void CDeviceKeyButtonUI::showKeySetLayer(bool on)
{
    keySetHidden_ = !on;
    update();
}

void CDeviceKeyButtonUI::doEvent(UiEvent& e)
{
    if (e.type == EventType::DoubleClick && isEnabled() && rect().contains(e.pt)) {
        pushed_ = true;
        sendNotify(ui::notify::DbClick);
        return;
    }
    ui::Button::doEvent(e);
}

void CDeviceKeyButtonUI::doPaint(QPainter& p)
{
    ui::Button::doPaint(p);
    if (lightLayer_) {
        const QColor glow = QColor::fromRgb(lightColor_);
        p.save();
        p.setOpacity(brightness_ / 255.0);
        if (!lightImage_.isEmpty()) {
            // The light image is a shape; the zone colour fills it. The filled shape is kept until
            // the colour or the size changes.
            const qreal dpr = p.deviceTransform().m11() > 0 ? p.deviceTransform().m11() : 1.0;
            const QSize pixels(qRound(width() * dpr), qRound(height() * dpr));
            if (tinted_.size() != pixels || tintedColor_ != lightColor_) {
                tinted_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
                tinted_.fill(Qt::transparent);
                QPainter lp(&tinted_);
                lp.setRenderHint(QPainter::Antialiasing);
                lp.scale(dpr, dpr);
                drawImageString(lp, lightImage_, rect());
                lp.setCompositionMode(QPainter::CompositionMode_SourceIn);
                lp.fillRect(rect(), glow);
                tintedColor_ = lightColor_;
            }
            p.drawImage(QRectF(rect()), tinted_, QRectF(tinted_.rect()));
        } else {
            QRadialGradient g(QRectF(rect()).center(), std::max(width(), height()) / 2.0);
            g.setColorAt(0, glow);
            g.setColorAt(1, QColor(glow.red(), glow.green(), glow.blue(), 0));
            p.setPen(Qt::NoPen);
            p.setBrush(g);
            p.drawEllipse(QRectF(rect()));
        }
        p.restore();
    }
    if (!keySetHidden_)
        drawImageString(p, keySetImage_, rect());
    if (selected_) {
        const double s = scale();
        p.setPen(QPen(QColor(0x00, 0xC2, 0xFF), 2 * s));
        p.setBrush(QColor(0x00, 0xC2, 0xFF, 40));
        p.drawRoundedRect(QRectF(rect()).adjusted(s, s, -s, -s), 4 * s, 4 * s);
    }
}

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : ui::VerticalLayout(parent) { setMouseTracking(true); }

ui::Control* CSelectPanelUI::getInterface(const QString& className)
{
    return className == QLatin1String("SelectPanel") ? this : ui::VerticalLayout::getInterface(className);
}

void CSelectPanelUI::mousePressEvent(QMouseEvent* e)
{
    if (!isEnabled() || e->button() != Qt::LeftButton) {
        e->ignore();
        return;
    }
    ui::VerticalLayout::mousePressEvent(e);
}

void CSelectPanelUI::doEvent(UiEvent& e)
{
    switch (e.type) {
    case EventType::ButtonDown:
        if (!isEnabled())
            break;
        anchor_ = current_ = e.pt;
        pressed_ = true;
        captured_ = true;
        break;
    case EventType::MouseMove:
        if (captured_) {
            current_ = e.pt;
            update();
        }
        if (pressed_)
            dragging_ = true;
        if (dragging_) {
            selection_ = QRect(QPoint(std::min(anchor_.x(), current_.x()), std::min(anchor_.y(), current_.y())),
                               QPoint(std::max(anchor_.x(), current_.x()), std::max(anchor_.y(), current_.y())));
            update();
        }
        break;
    case EventType::ButtonUp: {
        pressed_ = false;
        captured_ = false;
        if (!dragging_)
            break; // a click without a drag selects nothing
        dragging_ = false;
        current_ = anchor_;
        for (QObject* child : children()) {
            auto* key = qobject_cast<CDeviceKeyButtonUI*>(child);
            if (!key || key->getClass() != QLatin1String("DeviceKeyButton"))
                continue;
            // Closed rectangles: touching at a corner is an intersection.
            const QRect k = key->geometry();
            const bool hit = k.left() <= selection_.right() && selection_.left() <= k.right()
                          && k.top() <= selection_.bottom() && selection_.top() <= k.bottom();
            key->setSelected(hit);
        }
        update();
        sendNotify(QStringLiteral("click_select_end"));
        break;
    }
    default:
        ui::VerticalLayout::doEvent(e);
        break;
    }
}

void CSelectPanelUI::paintEvent(QPaintEvent* e)
{
    ui::VerticalLayout::paintEvent(e);
    if (!dragging_)
        return;
    QPainter p(this);
    p.setPen(QPen(QColor(0x00, 0xC2, 0xFF), 1, Qt::DashLine));
    p.setBrush(QColor(0x00, 0xC2, 0xFF, 36));
    p.drawRect(selection_);
}

} // namespace q9::controls
