#include "controls/KeyControls.h"

#include "ui/Image.h"

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
        mask_ = tinted_ = QImage();
    }
    else if (n == QLatin1String("keysetimage"))
        keySetImage_ = value;
    else if (!ui::Button::setAttribute(name, value))
        return false;
    updatePictureDrawing();
    repaintSelf();
    return true;
}

void CDeviceKeyButtonUI::updatePictureDrawing()
{
    // A light zone that shows nothing of its own besides its light is drawn by the picture it
    // lies on, in the picture's own paint: a frame of the preview then repaints one widget per
    // picture instead of every zone and the layers under each. The zone keeps its place and
    // geometry (rubber-band selection) but takes no paint and no pointer of its own: a mask
    // outside itself passes both to the picture.
    // A key with a look of its own that never changes (background, border, label; no hover or
    // pushed look) is drawn by the picture too: its look lies in the picture's kept backdrop, so a
    // frame paints only the lights. The picture passes it its clicks.
    const bool byPicture = lightLayer_ && qobject_cast<CSelectPanelUI*>(parentWidget())
                        && (keySetHidden_ || keySetImage_.isEmpty()) && normalImage_.isEmpty()
                        && hotImage_.isEmpty() && pushedImage_.isEmpty() && disabledImage_.isEmpty()
                        && foreImage_.isEmpty() && hotForeImage_.isEmpty() && !hotBkColor_ && !pushedBkColor_
                        && !hotTextColor_ && !pushedTextColor_;
    if (byPicture == drawnByPicture_)
        return;
    drawnByPicture_ = byPicture;
    if (byPicture)
        setMask(QRegion(-1, -1, 1, 1));
    else
        clearMask();
}

void CDeviceKeyButtonUI::repaintSelf()
{
    if (drawnByPicture_ && parentWidget())
        parentWidget()->update(geometry());
    else
        update();
}

void CDeviceKeyButtonUI::setSelected(bool on)
{
    if (selected_ == on)
        return;
    selected_ = on;
    repaintSelf();
}

bool CDeviceKeyButtonUI::setLightColor(uint8_t r, uint8_t g, uint8_t b, uint8_t brightness, bool repaint)
{
    const QRgb c = qRgb(r, g, b);
    if (c == lightColor_ && brightness == brightness_)
        return false; // an unchanged frame is not painted again
    lightColor_ = c;
    brightness_ = brightness;
    if (!lightLayer_ || !isVisible())
        return false;
    if (repaint)
        repaintSelf();
    return true;
}

namespace {

qint64 areaOf(const QRect& r) { return qint64(r.width()) * r.height(); }

// Merges two rectangles while their bounding box is at most half as large again as the two.
void mergeNeighbours(std::vector<QRect>& rects)
{
    for (bool merged = true; merged;) {
        merged = false;
        for (size_t i = 0; i < rects.size() && !merged; ++i)
            for (size_t j = i + 1; j < rects.size() && !merged; ++j) {
                const QRect u = rects[i] | rects[j];
                if (areaOf(u) * 2 <= (areaOf(rects[i]) + areaOf(rects[j])) * 3) {
                    rects[i] = u;
                    rects.erase(rects.begin() + std::ptrdiff_t(j));
                    merged = true;
                }
            }
    }
}

} // namespace

LightFrame::~LightFrame()
{
    for (auto& [parent, rects] : areas_) {
        mergeNeighbours(rects);
        for (const QRect& r : rects)
            parent->update(r);
    }
}

void LightFrame::set(CDeviceKeyButtonUI* button, uint32_t rgba)
{
    if (!button->setLightColor(uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8), uint8_t(rgba), false))
        return;
    QWidget* parent = button->parentWidget();
    if (!parent) {
        button->update();
        return;
    }
    for (auto& [p, rects] : areas_)
        if (p == parent) {
            rects.push_back(button->geometry());
            return;
        }
    areas_.push_back({parent, {button->geometry()}});
}

void CDeviceKeyButtonUI::showLightLayer(bool on)
{
    lightLayer_ = on;
    repaintSelf();
    updatePictureDrawing();
    repaintSelf();
}

void CDeviceKeyButtonUI::showKeySetLayer(bool on)
{
    keySetHidden_ = !on;
    repaintSelf();
    updatePictureDrawing();
    repaintSelf();
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

bool CDeviceKeyButtonUI::hasOwnLook() const { return basePaintsAnything(); }

// A label drawn into the picture's kept backdrop: the backdrop is made again.
void CDeviceKeyButtonUI::setText(const QString& text)
{
    ui::Button::setText(text);
    if (drawnByPicture_)
        lookChanged();
}

void CDeviceKeyButtonUI::textIdsChanged()
{
    ui::Button::textIdsChanged();
    if (drawnByPicture_)
        lookChanged();
}

void CDeviceKeyButtonUI::lookChanged()
{
    ui::Control::noteLookChanged();
    if (parentWidget())
        parentWidget()->update();
}

void CDeviceKeyButtonUI::paintStaticLook(QPainter& p)
{
    if (basePaintsAnything())
        ui::Button::doPaint(p);
}

bool CDeviceKeyButtonUI::paintsAnything() const
{
    // A key at rest over the device picture draws nothing; a frame of the light preview
    // repaints the area under many of them.
    if (drawnByPicture_)
        return false; // its picture draws it
    if (lightLayer_ || selected_ || (!keySetHidden_ && !keySetImage_.isEmpty()) || basePaintsAnything())
        return true;
    if (currentBkColor() || !normalImage_.isEmpty() || !foreImage_.isEmpty())
        return true;
    if (!isEnabled())
        return !disabledImage_.isEmpty();
    return (pushed_ && !pushedImage_.isEmpty()) || (hot_ && (!hotImage_.isEmpty() || !hotForeImage_.isEmpty()));
}

void CDeviceKeyButtonUI::doPaint(QPainter& p)
{
    ui::Button::doPaint(p);
    paintLightLayer(p);
    if (!keySetHidden_)
        drawImageString(p, keySetImage_, rect());
    paintSelection(p);
}

void CDeviceKeyButtonUI::paintSelection(QPainter& p)
{
    if (!selected_)
        return;
    const double s = scale();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x00, 0xC2, 0xFF), 2 * s));
    p.setBrush(QColor(0x00, 0xC2, 0xFF, 40));
    p.drawRoundedRect(QRectF(rect()).adjusted(s, s, -s, -s), 4 * s, 4 * s);
    p.restore();
}

void CDeviceKeyButtonUI::paintLightLayer(QPainter& p)
{
    if (!lightLayer_)
        return;
    if (lightImage_.isEmpty()) {
        const QColor glow = QColor::fromRgb(lightColor_);
        QRadialGradient g(QRectF(rect()).center(), std::max(width(), height()) / 2.0);
        g.setColorAt(0, glow);
        g.setColorAt(1, QColor(glow.red(), glow.green(), glow.blue(), 0));
        p.save();
        p.setOpacity(brightness_ / 255.0);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawEllipse(QRectF(rect()));
        p.restore();
        return;
    }
    // The light image is a shape; the zone colour at its brightness fills it. The shape's coverage
    // is kept per size and filled by hand when the colour changes: no painter per frame and zone.
    const qreal dpr = p.deviceTransform().m11() > 0 ? p.deviceTransform().m11() : 1.0;
    const QSize pixels(qRound(width() * dpr), qRound(height() * dpr));
    if (mask_.size() != pixels) {
        QImage shape(pixels, QImage::Format_ARGB32_Premultiplied);
        shape.fill(Qt::transparent);
        {
            QPainter lp(&shape);
            const ui::ExposedRegion whole(nullptr); // the shape is kept: draw all of it
            lp.setRenderHint(QPainter::Antialiasing);
            lp.scale(dpr, dpr);
            drawImageString(lp, lightImage_, rect());
        }
        mask_ = shape.convertToFormat(QImage::Format_Alpha8);
        tinted_ = QImage();
    }
    const QRgb tint = qRgba(qRed(lightColor_), qGreen(lightColor_), qBlue(lightColor_), brightness_);
    if (tinted_.size() != pixels || tintedColor_ != tint) {
        if (tinted_.size() != pixels)
            tinted_ = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        // Premultiplied colour for each coverage value, the brightness taken as opacity.
        QRgb table[256];
        const uint r = qRed(tint), g = qGreen(tint), b = qBlue(tint), k = qAlpha(tint);
        for (uint a = 0; a < 256; ++a) {
            const uint alpha = a * k / 255;
            table[a] = qRgba(int(r * alpha / 255), int(g * alpha / 255), int(b * alpha / 255), int(alpha));
        }
        for (int y = 0; y < pixels.height(); ++y) {
            const uchar* m = mask_.constScanLine(y);
            auto* out = reinterpret_cast<QRgb*>(tinted_.scanLine(y));
            for (int x = 0; x < pixels.width(); ++x)
                out[x] = table[m[x]];
        }
        tintedColor_ = tint;
    }
    if (tinted_.size() == size() && !p.deviceTransform().isScaling())
        p.drawImage(QPoint(0, 0), tinted_); // one pixel per pixel: the blend without scaling
    else
        p.drawImage(QRectF(rect()), tinted_, QRectF(tinted_.rect()));
}

CSelectPanelUI::CSelectPanelUI(QWidget* parent) : ui::VerticalLayout(parent)
{
    setMouseTracking(true);
}

void CSelectPanelUI::paintStaticLooks(QPainter& p, const QRect& area)
{
    for (QObject* child : children()) {
        auto* zone = qobject_cast<CDeviceKeyButtonUI*>(child);
        if (!zone || !zone->drawnByPicture() || zone->isHidden() || !zone->geometry().intersects(area))
            continue;
        p.save();
        p.translate(zone->pos());
        zone->paintStaticLook(p);
        p.restore();
    }
}

std::vector<int> CSelectPanelUI::backdropKey(qreal dpr) const
{
    // Everything the backdrop depends on: the look of the layouts (a generation counter that a
    // background change of any layout moves on), the sizes of the layouts it lies in, its place
    // in the window, its size and the device pixel ratio.
    std::vector<int> key{int(ui::Control::layoutLookGeneration()), int(dpr * 100), width(), height()};
    const QPoint at = mapTo(window(), QPoint(0, 0));
    key.push_back(at.x());
    key.push_back(at.y());
    for (const QWidget* w = parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget()) {
        key.push_back(w->width());
        key.push_back(w->height());
    }
    return key;
}

bool CSelectPanelUI::backdropPossible() const
{
    // Only the chain of layouts lies under the picture: a visible sibling below it (of it or of a
    // layout it sits in) that overlaps it would be left out of the backdrop.
    const QRect mine(mapTo(window(), QPoint(0, 0)), size());
    const QWidget* branch = this;
    for (const QWidget* parent = parentWidget(); parent; branch = parent, parent = parent->isWindow() ? nullptr : parent->parentWidget()) {
        for (const QObject* o : parent->children()) {
            if (o == branch)
                break; // siblings after the branch are painted over the picture by the window
            const auto* w = qobject_cast<const QWidget*>(o);
            if (w && !w->isHidden() && !w->isWindow() && QRect(w->mapTo(window(), QPoint(0, 0)), w->size()).intersects(mine))
                return false;
        }
    }
    return true;
}

void CSelectPanelUI::renderBackdrop(qreal dpr)
{
    QImage image(QSize(qRound(width() * dpr), qRound(height() * dpr)), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::transparent);
    std::vector<QWidget*> chain;
    for (QWidget* w = parentWidget(); w; w = w->isWindow() ? nullptr : w->parentWidget())
        chain.push_back(w);
    renderingBackdrop_ = true;
    // From the window down to the picture itself, each one alone (no children).
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        const QRect area(mapTo(*it, QPoint(0, 0)), size());
        (*it)->render(&image, QPoint(0, 0), QRegion(area), QWidget::RenderFlags());
    }
    render(&image, QPoint(0, 0), QRegion(rect()), QWidget::RenderFlags());
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const ui::ExposedRegion whole(nullptr);
        paintStaticLooks(p, rect());
    }
    renderingBackdrop_ = false;
    backdrop_ = QPixmap::fromImage(std::move(image));
}

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
        if (!dragging_) {
            // A click without a drag selects nothing; a key drawn by the picture (which gets no
            // pointer of its own) with a look of its own is clicked.
            for (QObject* child : children())
                if (auto* key = qobject_cast<CDeviceKeyButtonUI*>(child);
                    key && key->drawnByPicture() && key->hasOwnLook() && !key->isHidden() && key->geometry().contains(e.pt)) {
                    key->activate();
                    break;
                }
            break;
        }
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
    if (renderingBackdrop_) {
        ui::VerticalLayout::paintEvent(e); // its own background, into the backdrop
        return;
    }
    QPainter p(this);
    const qreal dpr = p.deviceTransform().m11() > 0 ? p.deviceTransform().m11() : 1.0;
    std::vector<int> key = backdropKey(dpr);
    const bool opaque = testAttribute(Qt::WA_OpaquePaintEvent);
    if (opaque) {
        // The window painted nothing under the picture: the backdrop stands in for it. Should
        // anything under it have changed, this one frame shows the old backdrop and the picture
        // is painted again the ordinary way at once, then kept anew.
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (const QRect& r : e->region())
            for (int y = r.top(); y <= r.bottom(); y += 64) { // bands: see ui::drawImage
                const QRectF band(r.left(), y, r.width(), std::min(64, r.bottom() + 1 - y));
                p.drawPixmap(band, backdrop_, QRectF(band.topLeft() * dpr, band.size() * dpr));
            }
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
        if (key != backdropKey_) {
            QWidget::setAttribute(Qt::WA_OpaquePaintEvent, false);
            backdropKey_.clear();
            QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
        }
    } else {
        p.end();
        ui::VerticalLayout::paintEvent(e);
        p.begin(this);
        if (key != backdropKey_ && !backdropPending_) {
            // Kept after this paint, outside it: a widget cannot render others while it paints.
            backdropPending_ = true;
            QMetaObject::invokeMethod(this, [this] {
                backdropPending_ = false;
                if (!isVisible() || !backdropPossible())
                    return;
                const qreal ratio = devicePixelRatioF();
                renderBackdrop(ratio);
                backdropKey_ = backdropKey(ratio);
                QWidget::setAttribute(Qt::WA_OpaquePaintEvent, true);
            }, Qt::QueuedConnection);
        }
    }
    const QRect exposed = e->rect();
    if (!opaque)
        paintStaticLooks(p, exposed); // not in a backdrop yet
    // The light zones that leave their drawing to the picture, in their order (under the keys,
    // which are painted after the picture as its children).
    for (QObject* child : children()) {
        auto* zone = qobject_cast<CDeviceKeyButtonUI*>(child);
        if (!zone || !zone->drawnByPicture() || zone->isHidden() || !zone->geometry().intersects(exposed))
            continue;
        p.translate(zone->pos());
        zone->paintLightLayer(p);
        zone->paintSelection(p);
        p.translate(-zone->pos());
    }
    if (!dragging_)
        return;
    p.setPen(QPen(QColor(0x00, 0xC2, 0xFF), 1, Qt::DashLine));
    p.setBrush(QColor(0x00, 0xC2, 0xFF, 36));
    p.drawRect(selection_);
}

} // namespace q9::controls
