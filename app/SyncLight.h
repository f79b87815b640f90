#pragma once
// The common light effect that "apply to all devices" starts: one animation shared by every
// device joined to it (their syncDriven flag), painted into their pictures in step. It runs on
// the UI thread's timer, only while a joined device is open and its picture can be seen.
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

namespace q9 {
class CTarvenixUSBDevice;
}

namespace q9::app {

class SyncLighting : public QObject {
    Q_OBJECT
public:
    // Written by "apply to all devices" from the current device's light record.
    struct Params {
        uint8_t effect = 0; // shared effect 0-4: breathing, steady, flash, colour cycle, off
        uint8_t light = 0, speed = 0, fx = 0, multiColor = 0, red = 0, green = 0, blue = 0;
    };
    // The devices in painting order: mice, mouse pads, headsets, keyboards.
    explicit SyncLighting(std::function<std::vector<CTarvenixUSBDevice*>()> devices, QObject* parent = nullptr);

    void setParams(const Params& p);
    const Params& params() const { return params_; }
    // Something changed that may start the animation (a device joined, the window shown).
    void wake();
    bool running() const { return timer_.isActive(); }
    // One step of the effect at `now` (ms), painted into every joined device.
    void step(uint32_t now);
    // One system tick: the step period is the speed's tick count times this.
    static constexpr int kTickMs = 16;

private:
    bool anyJoined() const;
    void paint(uint8_t r, uint8_t g, uint8_t b, uint8_t alpha);
    void onTimer();

    std::function<std::vector<CTarvenixUSBDevice*>()> devices_;
    Params params_;
    QTimer timer_;
    uint8_t phase_ = 0, breathHue_ = 0, cycleHue_ = 0, flashPos_ = 0;
    bool flashOn_ = false;
    uint32_t lastFlash_ = 0;
};

} // namespace q9::app
