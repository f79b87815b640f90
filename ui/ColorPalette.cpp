#include "ui/ColorPalette.h"

#include <QPainter>
#include <QPainterPath>

namespace q9::ui {

ColorPalette::ColorPalette(QWidget* parent) : Control(parent) { setCursor(Qt::CrossCursor); }

Control* ColorPalette::getInterface(const QString& className)
{
    return className.compare(QLatin1String("ColorPalette"), Qt::CaseInsensitive) == 0 ? this : Control::getInterface(className);
}

bool ColorPalette::setAttribute(const QString& name, const QString& value)
{
    if (name.compare(QLatin1String("barheight"), Qt::CaseInsensitive) == 0) {
        barHeight_ = std::max(4, value.toInt());
        update();
        return true;
    }
    if (name.compare(QLatin1String("selectcolor"), Qt::CaseInsensitive) == 0) {
        QRgb c = 0;
        if (parseColor(value, c))
            setSelectColor(c);
        return true;
    }
    return Control::setAttribute(name, value);
}

QRect ColorPalette::fieldRect() const
{
    const int bar = qRound(barHeight_ * scale());
    return QRect(0, 0, width(), std::max(1, height() - bar - qRound(8 * scale())));
}

QRect ColorPalette::barRect() const
{
    const int bar = qRound(barHeight_ * scale());
    return QRect(0, height() - bar, width(), bar);
}

QRgb ColorPalette::getSelectColor() const { return colour_; }

void ColorPalette::setSelectColor(QRgb argb)
{
    const QColor c = QColor::fromRgba(argb).toHsv();
    if (c.hsvHue() >= 0)
        hue_ = c.hsvHue();
    saturation_ = c.hsvSaturation();
    value_ = c.value();
    colour_ = 0xFF000000u | argb;
    update();
}

void ColorPalette::pick(const QPoint& pt, bool notify)
{
    if (drag_ == Drag::Field) {
        const QRect f = fieldRect();
        hue_ = std::clamp(pt.x() * 359 / std::max(1, f.width() - 1), 0, 359);
        saturation_ = std::clamp(255 - pt.y() * 255 / std::max(1, f.height() - 1), 0, 255);
    } else if (drag_ == Drag::Bar) {
        value_ = std::clamp(pt.x() * 255 / std::max(1, width() - 1), 0, 255);
    }
    colour_ = QColor::fromHsv(hue_, saturation_, value_).rgba();
    update();
    if (notify)
        sendNotify(notify::ColorChanged, getSelectColor(), 0);
}

void ColorPalette::doEvent(UiEvent& e)
{
    Control::doEvent(e);
    if (!isEnabled())
        return;
    if (e.type == EventType::ButtonDown) {
        drag_ = fieldRect().contains(e.pt) ? Drag::Field : barRect().contains(e.pt) ? Drag::Bar : Drag::None;
        pick(e.pt, drag_ != Drag::None);
    } else if (e.type == EventType::MouseMove && drag_ != Drag::None) {
        pick(e.pt, true);
    } else if (e.type == EventType::ButtonUp) {
        drag_ = Drag::None;
    }
}

void ColorPalette::resizeEvent(QResizeEvent*) { field_ = QImage(); }

void ColorPalette::doPaint(QPainter& p)
{
    const QRect f = fieldRect();
    if (field_.size() != f.size()) {
        field_ = QImage(f.size(), QImage::Format_RGB32);
        for (int y = 0; y < f.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(field_.scanLine(y));
            const int s = 255 - y * 255 / std::max(1, f.height() - 1);
            for (int x = 0; x < f.width(); ++x)
                line[x] = QColor::fromHsv(x * 359 / std::max(1, f.width() - 1), s, 255).rgb();
        }
    }
    const double r = 4 * scale();
    QPainterPath clip;
    clip.addRoundedRect(QRectF(f), r, r);
    p.save();
    p.setClipPath(clip);
    p.drawImage(f.topLeft(), field_);
    p.restore();

    const QRect b = barRect();
    QLinearGradient g(b.topLeft(), b.topRight());
    g.setColorAt(0, Qt::black);
    g.setColorAt(1, QColor::fromHsv(hue_, saturation_, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(b), b.height() / 2.0, b.height() / 2.0);

    // Markers: a ring on the field, a knob on the bar.
    const QPointF at(f.left() + hue_ * (f.width() - 1) / 359.0, f.top() + (255 - saturation_) * (f.height() - 1) / 255.0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2 * scale()));
    p.drawEllipse(at, 6 * scale(), 6 * scale());
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.drawEllipse(at, 7.5 * scale(), 7.5 * scale());
    const double kx = b.left() + value_ * (b.width() - 1) / 255.0;
    p.setPen(QPen(QColor(0, 0, 0, 120), 1));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(kx, b.center().y() + 0.5), b.height() / 2.0 + 1, b.height() / 2.0 + 1);
}

} // namespace q9::ui
