#pragma once
// The device picture's controls: a key (or light) button drawn over the picture, and the panel in
// which key buttons are selected by dragging a rectangle.
#include "ui/Containers.h"
#include "ui/Label.h"

#include <QImage>
#include <QPixmap>

#include <vector>

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
    // The zone colour shown by the light layer: red, green, blue and brightness (0-255). True when
    // the button must be painted again; with repaint false the caller repaints it (LightFrame).
    bool setLightColor(uint8_t r, uint8_t g, uint8_t b, uint8_t brightness, bool repaint = true);
    QRgb lightColor() const { return lightColor_; }
    uint8_t lightBrightness() const { return brightness_; }
    void showLightLayer(bool on);
    bool lightLayerShown() const { return lightLayer_; }
    void showKeySetLayer(bool on);
    bool keySetLayerHidden() const { return keySetHidden_; }
    // Whether the picture (the select panel it lies on) draws this button: a light zone with
    // nothing of its own to show besides its light and selection.
    bool drawnByPicture() const { return drawnByPicture_; }
    void paintLightLayer(QPainter& p);
    void paintSelection(QPainter& p);
    // Its background, border and label, for a picture that draws it.
    void paintStaticLook(QPainter& p);
    bool hasOwnLook() const;
    void setText(const QString& text) override;
    void textIdsChanged() override;

protected:
    bool paintsAnything() const override;
    void doPaint(QPainter& p) override;

private:
    QString lightImage_, keySetImage_;
    QImage mask_;           // the light image's coverage at the device size
    QImage tinted_;         // the same filled with tintedColor_
    QRgb tintedColor_ = 0;
    QRgb lightColor_ = 0xFFFFFFFF;
    uint8_t brightness_ = 255;
    bool lightLayer_ = false;
    bool keySetHidden_ = true;
    bool selected_ = false;
    bool drawnByPicture_ = false;

    void updatePictureDrawing();
    void lookChanged();
    void repaintSelf(); // itself, or its part of the picture when the picture draws it
};

// One frame of zone colours: the buttons that changed are repainted together. Neighbouring areas
// are merged while that adds little empty space, so a frame that changes many zones leaves the
// window a few simple areas to paint instead of a ragged region of many small pieces (each piece
// costs every widget under it a pass), nor one large box (whose pixels all get blended again).
class LightFrame {
public:
    LightFrame() = default;
    LightFrame(const LightFrame&) = delete;
    LightFrame& operator=(const LightFrame&) = delete;
    ~LightFrame();
    void set(CDeviceKeyButtonUI* button, uint32_t rgba); // packed red, green, blue, brightness

private:
    std::vector<std::pair<QWidget*, std::vector<QRect>>> areas_;
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
    // What lies under the picture (the layouts it sits in and its own background), rendered once:
    // the picture paints it itself as an opaque widget, so a frame of its lights repaints this one
    // widget and none of the layers under it. Rebuilt when anything under it may have changed.
    std::vector<int> backdropKey(qreal dpr) const;
    void paintStaticLooks(QPainter& p, const QRect& area);
    bool backdropPossible() const;
    void renderBackdrop(qreal dpr);

    bool dragging_ = false;
    bool pressed_ = false;
    QPoint anchor_;
    QPoint current_;
    QRect selection_;
    QPixmap backdrop_;
    std::vector<int> backdropKey_;
    bool renderingBackdrop_ = false;
    bool backdropPending_ = false;
};

} // namespace q9::controls
