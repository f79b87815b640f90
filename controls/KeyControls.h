#pragma once
// The device picture's controls: a key (or light) button drawn over the picture, and the panel in
// which key buttons are selected by dragging a rectangle.
#include "ui/Containers.h"
#include "ui/Label.h"

#include <QImage>

namespace q9::controls {

using ui::EventType;
using ui::UiEvent;

class CDeviceKeyButtonUI : public ui::Button {
    Q_OBJECT
public:
    explicit CDeviceKeyButtonUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("DeviceKeyButton"); }
    ui::Control* getInterface(const QString& className) override;
    bool setAttribute(const QString& name, const QString& value) override;
    void doEvent(UiEvent& event) override;

    bool isSelected() const { return selected_; }
    void setSelected(bool on);
    // The zone colour shown by the light layer: red, green, blue and brightness (0-255).
    void setLightColor(uint8_t r, uint8_t g, uint8_t b, uint8_t brightness);
    QRgb lightColor() const { return lightColor_; }
    uint8_t lightBrightness() const { return brightness_; }
    void showLightLayer(bool on);
    bool lightLayerShown() const { return lightLayer_; }
    void showKeySetLayer(bool on);
    bool keySetLayerHidden() const { return keySetHidden_; }

protected:
    void doPaint(QPainter& p) override;

private:
    QString lightImage_, keySetImage_;
    QImage tinted_;         // the light image filled with tintedColor_, at the device size
    QRgb tintedColor_ = 0;
    QRgb lightColor_ = 0xFFFFFFFF;
    uint8_t brightness_ = 255;
    bool lightLayer_ = false;
    bool keySetHidden_ = true;
    bool selected_ = false;
};

class CSelectPanelUI : public ui::VerticalLayout {
    Q_OBJECT
public:
    explicit CSelectPanelUI(QWidget* parent = nullptr);
    QString getClass() const override { return QStringLiteral("SelectPanel"); }
    ui::Control* getInterface(const QString& className) override;
    void doEvent(UiEvent& event) override;

    bool dragging() const { return dragging_; }
    QRect selection() const { return selection_; }

protected:
    bool wantsMouse() const override { return true; }
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    bool dragging_ = false;
    bool pressed_ = false;
    QPoint anchor_;
    QPoint current_;
    QRect selection_;
};

} // namespace q9::controls
