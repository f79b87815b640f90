#include "controls/MiscControls.h"

#include <QEvent>
#include <QPainter>

namespace q9::controls {

CWndUI::CWndUI(QWidget* parent) : ui::Control(parent) {}

ui::Control* CWndUI::getInterface(const QString& className)
{
    return className == QLatin1String("WndUI") ? this : ui::Control::getInterface(className);
}

void CWndUI::attach(QWidget* hosted)
{
    hosted_ = hosted;
    if (!hosted_)
        return;
    hosted_->setParent(this);
    hosted_->setGeometry(rect());
    hosted_->show();
}

void CWndUI::resizeEvent(QResizeEvent*)
{
    if (hosted_)
        hosted_->setGeometry(rect());
}

CAudioRecordUI::CAudioRecordUI(QWidget* parent) : ui::Label(parent), samples_(kSamples, 0) {}

ui::Control* CAudioRecordUI::getInterface(const QString& className)
{
    return className == QLatin1String("AudioRecord") ? this : ui::Label::getInterface(className);
}

void CAudioRecordUI::setSamples(const QVector<int>& samples)
{
    samples_ = samples;
    samples_.resize(kSamples);
    update();
}

QRect CAudioRecordUI::barRect(int k) const
{
    if (k < 0 || k >= kSamples || 2 * k >= width())
        return {};
    const int top = height() - samples_[k] * height() / 8192;
    const int bottom = height() - 1;
    if (top >= bottom)
        return {};
    return QRect(QPoint(2 * k, top), QPoint(2 * k, bottom - 1));
}

void CAudioRecordUI::doPaint(QPainter& p)
{
    paintBkColor(p);
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor bar = QColor::fromRgba(textColor() == 0xFFE6E8EE ? 0xFF000000 : textColor());
    for (int k = 0; k < kSamples && 2 * k < width(); ++k) {
        const QRect r = barRect(k);
        if (!r.isEmpty())
            p.fillRect(r, bar);
    }
}

CChartViewUI::CChartViewUI(QWidget* parent) : ui::Control(parent) {}

ui::Control* CChartViewUI::getInterface(const QString& className)
{
    return className == QLatin1String("ChartView") ? this : ui::Control::getInterface(className);
}

bool CChartViewUI::setAttribute(const QString& name, const QString& value)
{
    const QString n = name.toLower();
    if (n == QLatin1String("view")) histogram_ = value != QLatin1String("pie");
    else if (n == QLatin1String("histpgram")) histogram_ = value.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0;
    else if (n == QLatin1String("shadowimage")) shadowImage_ = value;
    else if (n == QLatin1String("shadowimageheight")) shadowImageHeight_ = value.toInt();
    else if (n == QLatin1String("pillarimage")) pillarImage_ = value;
    else if (n == QLatin1String("pillarimagewidth")) pillarImageWidth_ = value.toInt();
    else if (n == QLatin1String("showhtml")) showHtml_ = value.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
    else return ui::Control::setAttribute(name, value);
    update();
    return true;
}

void CChartViewUI::add(const QString& label, double value)
{
    data_.push_back({label, value});
    update();
}

void CChartViewUI::clear()
{
    data_.clear();
    update();
}

void CChartViewUI::doPaint(QPainter& p)
{
    paintBkColor(p);
    if (data_.isEmpty())
        return;
    double max = 0;
    for (const auto& d : data_)
        max = std::max(max, d.second);
    if (max <= 0)
        return;
    const double s = scale();
    if (histogram_) {
        const int slot = width() / int(data_.size());
        const int barW = std::min(slot - 4, qRound(pillarImageWidth_ * s));
        const int base = height() - qRound(18 * s);
        p.setFont(makeFont(fontId()));
        for (int i = 0; i < data_.size(); ++i) {
            const int h = int(base * data_[i].second / max);
            const QRect bar(i * slot + (slot - barW) / 2, base - h, barW, h);
            if (!pillarImage_.isEmpty())
                drawImageString(p, pillarImage_, bar);
            else
                p.fillRect(bar, QColor(0x00, 0xC2, 0xFF));
            p.setPen(QColor::fromRgba(textColor()));
            p.drawText(QRect(i * slot, base, slot, height() - base), Qt::AlignCenter, data_[i].first);
        }
        if (!shadowImage_.isEmpty())
            drawImageString(p, shadowImage_, QRect(0, base, width(), qRound(shadowImageHeight_ * s)));
    } else {
        double total = 0;
        for (const auto& d : data_)
            total += d.second;
        double start = 90;
        const QRectF pie = QRectF(rect()).adjusted(4, 4, -4, -4);
        for (int i = 0; i < data_.size(); ++i) {
            const double sweep = data_[i].second / total * 360;
            p.setPen(Qt::NoPen);
            p.setBrush(QColor::fromHsv((i * 67) % 360, 200, 230));
            p.drawPie(pie, qRound(start * 16), qRound(sweep * 16));
            start += sweep;
        }
    }
}

} // namespace q9::controls
