#include "app/SyncLight.h"

#include "device/LightPreview.h"
#include "device/UsbDevice.h"

#include <QElapsedTimer>

#include <algorithm>

namespace q9::app {

namespace {
uint32_t nowMs()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return uint32_t(clock.elapsed());
}
} // namespace

SyncLighting::SyncLighting(std::function<std::vector<CTarvenixUSBDevice*>()> devices, QObject* parent)
    : QObject(parent), devices_(std::move(devices))
{
    connect(&timer_, &QTimer::timeout, this, &SyncLighting::onTimer);
}

void SyncLighting::setParams(const Params& p)
{
    params_ = p;
    // Faster levels than the control offers step once a tick, never in a busy loop.
    timer_.setInterval(std::max<int>(1, light::thresholdOf(p.speed)) * kTickMs);
}

void SyncLighting::wake()
{
    if (!timer_.isActive() && anyJoined()) {
        timer_.setInterval(std::max<int>(1, light::thresholdOf(params_.speed)) * kTickMs);
        timer_.start();
    }
}

bool SyncLighting::anyJoined() const
{
    for (CTarvenixUSBDevice* d : devices_())
        if (d->syncDriven() && d->commandChannel().isOpen() && d->pictureShown())
            return true;
    return false;
}

void SyncLighting::onTimer()
{
    if (!anyJoined()) {
        timer_.stop(); // woken again when a device joins or the window shows
        return;
    }
    step(nowMs());
}

void SyncLighting::paint(uint8_t r, uint8_t g, uint8_t b, uint8_t alpha)
{
    for (CTarvenixUSBDevice* d : devices_())
        if (d->syncDriven())
            for (int z = 0; z < d->lightCount(); ++z)
                d->setZoneColor(z, light::pack(r, g, b, alpha));
}

void SyncLighting::step(uint32_t now)
{
    const Params& p = params_;
    const uint8_t level = light::levelOf(p.light);
    const auto& wheel = light::wheel();
    switch (p.effect) {
    case 0: { // breathing
        phase_ = light::advance(p.fx != 0, 128, phase_, 1);
        light::Rgb c{p.red, p.green, p.blue};
        if (p.multiColor) {
            if (phase_ < 2)
                breathHue_ = light::advance(true, 192, breathHue_, 16);
            c = wheel[breathHue_];
        }
        paint(c.r, c.g, c.b, uint8_t(level * light::curveA()[phase_] / 256));
        break;
    }
    case 1: // steady
        paint(p.red, p.green, p.blue, level);
        break;
    case 2: // flash
        if (now - lastFlash_ >= uint32_t(light::thresholdOf(p.speed)) * 200) {
            flashOn_ = !flashOn_;
            lastFlash_ = now;
            flashPos_ = flashPos_ + 14 >= 192 ? 0 : uint8_t(flashPos_ + 14);
        }
        if (flashOn_) {
            const light::Rgb c = p.multiColor ? wheel[flashPos_] : light::Rgb{p.red, p.green, p.blue};
            paint(c.r, c.g, c.b, level);
        } else {
            paint(0, 0, 0, 0);
        }
        break;
    case 3: { // colour cycle
        cycleHue_ = light::advance(true, 192, cycleHue_, 1);
        const light::Rgb c = wheel[cycleHue_];
        paint(c.r, c.g, c.b, level);
        break;
    }
    case 4: // off
        paint(0, 0, 0, 0);
        break;
    default:
        break;
    }
}

} // namespace q9::app
