#pragma once
// Buttons with behaviour of their own: the blinking record button, the image buttons of the macro
// and picture lists (one with a delete hot-spot in its lower right corner), and the ring progress.
#include "ui/Label.h"
#include "ui/Slider.h"

namespace q9::controls {

using ui::EventType;
using ui::UiEvent;

class CRedioMacroButtonUI : public ui::Button {
    Q_OBJECT
public:
    static constexpr int kBlinkTimer = 100;
    static constexpr int kBlinkPeriodMs = 50;

    explicit CRedioMacroButtonUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("RedioMacroButton"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

    void startBlink();
    void stopBlink(); // the running timer stops at its next tick
    bool blinking() const { return blinking_; }
    int fade() const { return fade_; }

private:
    QString redioImage_;
    int fade_ = 255;
    bool fadingUp_ = false;
    bool blinking_ = false;
};

class CCircleProgressUI : public ui::Progress {
    Q_OBJECT
public:
    explicit CCircleProgressUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("CircleProgress"); }
    ui::Control* getInterface(const QString& className) override;
    // Start and sweep of the pie in degrees, clockwise from three o'clock on screen.
    double startAngle() const { return 90.0; }
    double sweepAngle() const;

protected:
    void paintBkColor(QPainter& p) override;
    void paintForeColor(QPainter& p) override;
};

class CHandImgButtonUI : public ui::Button {
    Q_OBJECT
public:
    explicit CHandImgButtonUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("HandImgButton"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

    void setLocked(bool on) { locked_ = on; update(); }
    bool locked() const { return locked_; }
    QRect deleteHotSpot() const;
    bool deleteHot() const { return deleteHot_; }

protected:
    void paintStatusImage(QPainter& p) override;

private:
    QString handImage_, deleteNormalImage_, deleteHotImage_;
    bool deleteHot_ = false;
    bool locked_ = false;
};

class CHandImgSelectButtonUI : public ui::Button {
    Q_OBJECT
public:
    explicit CHandImgSelectButtonUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("HandImgSelectButton"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

    void setImageSource(const QRect& source);
    QString composedImage() const;

protected:
    void paintStatusImage(QPainter& p) override;

private:
    QString handImage_;
    QRect source_;
};

} // namespace q9::controls
