#pragma once
// Progress (a value between a minimum and a maximum, drawn as a filled bar) and Slider (a progress
// the user drags: "movevaluechanged" while dragging, "valuechanged" when let go or stepped by keys).
#include "ui/Control.h"

namespace q9::ui {

class Progress : public Control {
    Q_OBJECT
public:
    explicit Progress(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Progress"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;

    int minValue() const { return min_; }
    int maxValue() const { return max_; }
    int value() const { return value_; }
    void setMinValue(int v);
    void setMaxValue(int v);
    virtual void setValue(int v);
    QRgb foreColor() const { return foreColor_; }
    void setForeColor(QRgb c) { foreColor_ = c; update(); }
    bool horizontal() const { return horizontal_; }

protected:
    void paintBkColor(QPainter& p) override;
    void paintForeColor(QPainter& p) override;
    void paintText(QPainter&) override {}
    QRect barRect() const;

    int min_ = 0;
    int max_ = 100;
    int value_ = 0;
    bool horizontal_ = true;
    QRgb foreColor_ = 0xFF00C2FF;
    QString foreImage_;
};

class Slider : public Progress {
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("Slider"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;
    void setThumbImage(const QString& image) { thumbImage_ = image; update(); }
    QString thumbImage() const { return thumbImage_; }
    void setChangeStep(int step) { step_ = std::max(1, step); }
    bool dragging() const { return dragging_; }

protected:
    bool wantsMouse() const override { return true; }
    void paintBkColor(QPainter& p) override;
    void paintForeColor(QPainter& p) override;
    void paintStatusImage(QPainter& p) override;
    QRect thumbRect() const;
    int valueAt(const QPoint& pt) const;

private:
    QString thumbImage_, thumbHotImage_, thumbPushedImage_;
    QSize thumbSize_{16, 16};
    int step_ = 1;
    bool dragging_ = false;
};

} // namespace q9::ui
