#pragma once
// A colour field: hue across and saturation down in the upper part, brightness in the bar below.
// Picking a colour raises "colorchanged".
#include "ui/Control.h"

#include <QColor>

namespace q9::ui {

class ColorPalette : public Control {
    Q_OBJECT
public:
    explicit ColorPalette(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("ColorPalette"); }
    Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

    QRgb getSelectColor() const;
    void setSelectColor(QRgb argb);

protected:
    bool wantsMouse() const override { return true; }
    void doPaint(QPainter& p) override;
    void resizeEvent(QResizeEvent*) override;

private:
    QRect fieldRect() const;
    QRect barRect() const;
    void pick(const QPoint& pt, bool notify);

    int hue_ = 200;      // 0..359
    int saturation_ = 255;
    int value_ = 255;
    // The colour exactly as set or picked: the hue, saturation and value above place the marks,
    // but as integers they cannot carry every colour back.
    QRgb colour_ = QColor::fromHsv(200, 255, 255).rgba();
    int barHeight_ = 14;
    enum class Drag { None, Field, Bar } drag_ = Drag::None;
    QImage field_;
};

} // namespace q9::ui
