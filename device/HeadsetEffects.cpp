#include "device/HeadsetEffects.h"

#include "device/MousePadEffects.h"

#include <algorithm>

namespace q9::headset {

using light::Rgb;

namespace {

uint8_t scaled(uint8_t value, uint8_t level) { return uint8_t(value * level / 256); }

void show(light::LightPreview& out, int zone, Rgb c, uint8_t brightness)
{
    if (zone < HeadsetEffects::kZones)
        out.setZone(zone, light::pack(c.r, c.g, c.b, brightness));
}

} // namespace

void HeadsetEffects::reset()
{
    phase_ = 0;
    secondStep_ = false;
    ring_.fill(0);
    ring_[0] = 1; // the pulse
    reactive_.fill(0);
}

void HeadsetEffects::stepWave(const LightInfoRecord& s, light::LightPreview& out)
{
    const uint8_t level = light::levelOf(s.light);
    if (s.multiColor) {
        phase_ = light::advance(s.fx != 0, 192, phase_);
        for (int z = 0; z < kZones; ++z)
            show(out, z, light::wheel()[(phase_ + 1 + 16 * z) % 192], level);
        return;
    }
    // The single-colour wave is the pad's, over the headset's zones.
    phase_ = light::advance(s.fx != 0, 96, phase_);
    for (int z = 0; z < kZones; ++z)
        show(out, z, {s.red, s.green, s.blue}, scaled(light::curveB()[(phase_ + 1 + 7 * z) % 96], level));
}

void HeadsetEffects::stepRunningColumns(const LightInfoRecord& s, light::LightPreview& out)
{
    const bool forward = s.fx != 0;
    const uint8_t level = light::levelOf(s.light);
    phase_ = light::advance(forward, 192, phase_);
    secondStep_ = !secondStep_;
    if (!secondStep_) {
        for (int i = 0; i < kColumns; ++i)
            if (ring_[size_t(i)])
                reactive_[size_t(i)] = 255;
        if (forward)
            std::rotate(ring_.begin(), ring_.begin() + 1, ring_.end());
        else
            std::rotate(ring_.begin(), ring_.end() - 1, ring_.end());
    }
    const bool keep = s.multiColor && reactive_[0] > 0;
    for (int col = 0; col < kColumns; ++col) {
        uint8_t& v = reactive_[size_t(col)];
        v = pad::runningDecay(v);
        const auto& zones = pad::columns()[size_t(col)];
        Rgb c{s.red, s.green, s.blue};
        if (s.multiColor) {
            if (keep) {
                const uint32_t shown = out.zone(zones[0]);
                c = {uint8_t(shown >> 24), uint8_t(shown >> 16), uint8_t(shown >> 8)};
            } else {
                phase_ = light::advance(forward, 192, phase_, 12);
                c = light::wheel()[phase_ % 192];
            }
        }
        for (int z : zones)
            show(out, z, c, scaled(v, level)); // zones 13 and 14 are not on the headset
    }
    show(out, 0, {}, 0); // in no column: dark
}

} // namespace q9::headset
