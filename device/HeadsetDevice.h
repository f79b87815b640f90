#pragma once
// The USB headset (kind 7): 13 light zones, no keys, on its cable only. Its lighting and profile
// work as the mouse pad's; its lights are driven by the host, frame by frame, with colour output
// reports while host light control is on. Its sound settings are not sent over HID.
#include "device/HeadsetEffects.h"
#include "device/MousePadDevice.h"

#include <mutex>

namespace q9 {

class CTarvenixHX4120Device : public CTarvenixMousePadDevice {
    Q_OBJECT
public:
    explicit CTarvenixHX4120Device(QWidget* parent = nullptr);
    ~CTarvenixHX4120Device() override;
    ui::Control* getInterface(const QString& className) override;

    void bindPageControls() override;
    // The headset has no settings memory to read: the profile and the page are all there is.
    void syncFromDevice() override;
    void paintLights() override;

protected:
    int stepPreview(int64_t now) override;

private:
    std::mutex effectsMutex_;
    headset::HeadsetEffects effects_;
    uint8_t effectShown_ = 255;
};

} // namespace q9
