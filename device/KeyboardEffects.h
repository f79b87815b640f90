#pragma once
// The keyboard's own light effects on its 170 picture keys: column, path, row and radial waves,
// key flashes and ripples from key presses, ripple patterns, stars, twinkles, per-key rainbow,
// sweep, a running bar and a scripted show. No threads and no UI:
// the keyboard's preview thread calls step() when an effect falls due, the event reader
// keyPressed(); both under the keyboard's effects lock.
#include "device/LightPreview.h"
#include "profile/ProfileRecords.h"

#include <array>
#include <cstdint>
#include <random>

namespace q9::keyboard {

class KeyboardEffects {
public:
    static constexpr int kKeys = 170;
    static constexpr int kPlanes = 4;
    static constexpr int kColumns = 23;

    // The effect changed: counters, per-key state and ripple planes start again.
    void reset(uint8_t effect);
    // One step of the light state's effect into the zones; false for an effect this class does not
    // have (the shared steps of the preview show those).
    bool step(const LightInfoRecord& s, light::LightPreview& out);
    // A key of the picture pressed (1) or let go (2) on the keyboard.
    void keyPressed(uint8_t effect, bool multiColour, int key, int state);
    void seedRipple(int key);

    // Nothing lit and nothing coming: a reactive effect waits for the next key.
    bool idle() const;
    uint8_t phase() const { return phase_; }
    uint8_t reactive(int key) const { return key >= 0 && key < kKeys ? reactive_[size_t(key)] : 0; }
    uint8_t plane(int p, int column) const { return planes_[size_t(p)][size_t(column)]; }

private:
    void rippleStep(bool multiColour);
    bool planeBit(int key) const;
    void stepShow(const LightInfoRecord& s, light::LightPreview& out);
    void decayAndShow(const LightInfoRecord& s, light::LightPreview& out, int colourStep = 0);
    void show(light::LightPreview& out, int key, light::Rgb c, uint8_t brightness);

    uint8_t phase_ = 0;
    int position_ = 0;
    int stage_ = 0;
    std::array<uint8_t, kKeys> counter_{};
    std::array<uint8_t, kKeys> colourIndex_{};
    std::array<uint8_t, kKeys> reactive_{};
    std::array<uint8_t, kKeys> flash_{}; // 0 idle, 1 rising, 2 falling
    std::array<std::array<uint8_t, kColumns>, kPlanes> planes_{};
    std::minstd_rand random_{7};
};

// The ladder by which a lit key fades: fast from full, slower towards dark.
uint8_t decayStep(uint8_t v);

} // namespace q9::keyboard
