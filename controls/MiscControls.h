#pragma once
// A control hosting a native widget, the recorded-audio waveform and the chart.
#include "ui/Label.h"

#include <QPointer>
#include <QVector>

namespace q9::controls {

class CWndUI : public ui::Control {
    Q_OBJECT
public:
    explicit CWndUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("WndUI"); }
    ui::Control* getInterface(const QString& className) override;
    // The hosted widget follows the control's position and visibility.
    void attach(QWidget* hosted);
    QWidget* hosted() const { return hosted_; }

protected:
    void resizeEvent(QResizeEvent*) override;

private:
    QPointer<QWidget> hosted_;
};

class CAudioRecordUI : public ui::Label {
    Q_OBJECT
public:
    static constexpr int kSamples = 500;

    explicit CAudioRecordUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("AudioRecord"); }
    ui::Control* getInterface(const QString& className) override;
    void setSamples(const QVector<int>& samples);
    const QVector<int>& samples() const { return samples_; }
    // The bar of sample k: x = left + 2k, from top + (height − sample × height ÷ 8192) to the bottom
    // edge less one pixel; empty when k is past the control's width.
    QRect barRect(int k) const;

protected:
    void doPaint(QPainter& p) override;

private:
    QVector<int> samples_;
};

class CChartViewUI : public ui::Control {
    Q_OBJECT
public:
    explicit CChartViewUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("ChartView"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void add(const QString& label, double value);
    void clear();

protected:
    void doPaint(QPainter& p) override;

private:
    bool histogram_ = true;
    QString shadowImage_, pillarImage_;
    int shadowImageHeight_ = 0;
    int pillarImageWidth_ = 16;
    bool showHtml_ = false;
    QVector<std::pair<QString, double>> data_;
};

} // namespace q9::controls
