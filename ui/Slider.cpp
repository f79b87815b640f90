#include "ui/Slider.h"

#include <QPainter>
#include <QPainterPath>

namespace q9::ui {

Progress::Progress(QWidget* parent) : Control(parent) { setBkColor(0xFF2A2E37); }

Control* Progress::getInterface(const QString& className)
{
    return className.compare(QLatin1String("Progress"), Qt::CaseInsensitive) == 0 ? this : Control::getInterface(className);
}

bool Progress::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    QRgb c = 0;
    if (n == QLatin1String("min")) setMinValue(value.toInt());
    else if (n == QLatin1String("max")) setMaxValue(value.toInt());
    else if (n == QLatin1String("value")) setValue(value.toInt());
    else if (n == QLatin1String("hor")) horizontal_ = value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
    else if (n == QLatin1String("forecolor") && parseColor(value, c)) foreColor_ = c;
    else if (n == QLatin1String("foreimage")) foreImage_ = value;
    else return Control::setAttribute(name, value);
    update();
    return true;
}

void Progress::setMinValue(int v)
{
    min_ = v;
    update();
}

void Progress::setMaxValue(int v)
{
    max_ = v;
    update();
}

void Progress::setValue(int v)
{
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (v == value_)
        return;
    value_ = v;
    update();
}

QRect Progress::barRect() const
{
    const int thickness = std::min(horizontal_ ? height() : width(), qRound(6 * scale()));
    return horizontal_ ? QRect(0, (height() - thickness) / 2, width(), thickness)
                       : QRect((width() - thickness) / 2, 0, thickness, height());
}

void Progress::paintBkColor(QPainter& p)
{
    if (!bkColor())
        return;
    const QRect r = barRect();
    const double radius = std::min(r.width(), r.height()) / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgba(bkColor()));
    p.drawRoundedRect(QRectF(r), radius, radius);
}

void Progress::paintForeColor(QPainter& p)
{
    const int span = max_ - min_;
    if (span <= 0)
        return;
    const QRect bar = barRect();
    QRect r = bar;
    if (horizontal_)
        r.setWidth(bar.width() * (value_ - min_) / span);
    else
        r.setTop(bar.bottom() - bar.height() * (value_ - min_) / span);
    if (r.isEmpty())
        return;
    if (!foreImage_.isEmpty()) {
        drawImageString(p, foreImage_, r);
        return;
    }
    const double radius = std::min(bar.width(), bar.height()) / 2.0;
    QLinearGradient g(r.topLeft(), horizontal_ ? r.topRight() : r.bottomLeft());
    g.setColorAt(0, QColor::fromRgba(foreColor_).darker(135));
    g.setColorAt(1, QColor::fromRgba(foreColor_));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(QRectF(r), radius, radius);
}

Slider::Slider(QWidget* parent) : Progress(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::ClickFocus);
}

Control* Slider::getInterface(const QString& className)
{
    return className.compare(QLatin1String("Slider"), Qt::CaseInsensitive) == 0 ? this : Progress::getInterface(className);
}

bool Slider::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("thumbimage")) thumbImage_ = value;
    else if (n == QLatin1String("thumbhotimage")) thumbHotImage_ = value;
    else if (n == QLatin1String("thumbpushedimage")) thumbPushedImage_ = value;
    else if (n == QLatin1String("thumbsize")) {
        const QStringList v = value.split(',');
        if (v.size() == 2)
            thumbSize_ = QSize(v[0].toInt(), v[1].toInt());
    } else if (n == QLatin1String("step")) setChangeStep(value.toInt());
    else return Progress::setAttribute(name, value);
    update();
    return true;
}

QRect Slider::thumbRect() const
{
    const int tw = qRound(thumbSize_.width() * scale()), th = qRound(thumbSize_.height() * scale());
    const int span = std::max(1, max_ - min_);
    if (horizontal_) {
        const int x = (width() - tw) * (value_ - min_) / span;
        return QRect(x, (height() - th) / 2, tw, th);
    }
    const int y = (height() - th) - (height() - th) * (value_ - min_) / span;
    return QRect((width() - tw) / 2, y, tw, th);
}

int Slider::valueAt(const QPoint& pt) const
{
    const int tw = qRound(thumbSize_.width() * scale()), th = qRound(thumbSize_.height() * scale());
    const double f = horizontal_ ? double(pt.x() - tw / 2) / std::max(1, width() - tw)
                                 : 1.0 - double(pt.y() - th / 2) / std::max(1, height() - th);
    return min_ + qRound(std::clamp(f, 0.0, 1.0) * (max_ - min_));
}

void Slider::doEvent(UiEvent& e)
{
    Progress::doEvent(e);
    if (!isEnabled())
        return;
    switch (e.type) {
    case EventType::ButtonDown:
    case EventType::DoubleClick:
        dragging_ = true;
        setValue(valueAt(e.pt));
        sendNotify(notify::MoveValueChanged);
        break;
    case EventType::MouseMove:
        if (dragging_) {
            const int before = value_;
            setValue(valueAt(e.pt));
            if (value_ != before)
                sendNotify(notify::MoveValueChanged);
        }
        break;
    case EventType::ButtonUp:
        if (dragging_) {
            dragging_ = false;
            sendNotify(notify::ValueChanged);
        }
        break;
    case EventType::KeyDown: {
        const int dir = (e.key == Qt::Key_Right || e.key == Qt::Key_Up) ? 1
                      : (e.key == Qt::Key_Left || e.key == Qt::Key_Down) ? -1 : 0;
        if (dir) {
            const int before = value_;
            setValue(value_ + dir * step_);
            if (value_ != before)
                sendNotify(notify::ValueChanged);
        }
        break;
    }
    default:
        break;
    }
}

void Slider::paintBkColor(QPainter& p) { Progress::paintBkColor(p); }

void Slider::paintForeColor(QPainter& p) { Progress::paintForeColor(p); }

void Slider::paintStatusImage(QPainter& p)
{
    const QRect t = thumbRect();
    const QString& img = dragging_ && !thumbPushedImage_.isEmpty() ? thumbPushedImage_
                       : hot_ && !thumbHotImage_.isEmpty() ? thumbHotImage_ : thumbImage_;
    if (!img.isEmpty()) {
        drawImageString(p, img, t);
        return;
    }
    p.setPen(QPen(QColor::fromRgba(foreColor_), 2 * scale()));
    p.setBrush(QColor(0xF2, 0xF4, 0xF8));
    const double opacity = p.opacity();
    if (!isEnabled())
        p.setOpacity(opacity * 0.5);
    p.drawEllipse(QRectF(t).adjusted(1, 1, -1, -1));
    p.setOpacity(opacity);
}

} // namespace q9::ui
