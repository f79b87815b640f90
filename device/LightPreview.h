#pragma once
// The lighting a device shows, computed zone by zone: the effect tables and steps that the
// preview thread of a device object runs. No threads and no UI here: the caller decides when a
// step happens; zone colours are atomics so the UI thread can paint them while a step runs.
#include "profile/ProfileRecords.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace q9::light {

constexpr std::array<uint8_t, 5> kLevels = {0, 50, 100, 175, 255};
// Counted ticks per step by speed 0-4, also the blink half-period in units of 200 ms.
constexpr std::array<uint8_t, 5> kThresholds = {28, 23, 18, 13, 7};
// One counted tick of the preview thread.
constexpr int kTickMs = 2;
// The preview shows at most one frame in this many milliseconds (8 a second). The effect still
// steps at its own period (the steps that fell due are run together), so its timing is the
// device's; only the picture is sampled less often. A frame of the window costs a fixed share of
// a core however little changes, and the preview must not keep a core busy while the window is
// merely open.
constexpr int kPreviewFrameMs = 125;

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

const std::array<uint8_t, 128>& curveA();
const std::array<uint8_t, 96>& curveB();
const std::array<Rgb, 192>& wheel();
const std::array<Rgb, 4>& fixedColours();
// The mouse's zones by wave column (−1: none).
const std::array<std::array<int, 3>, 7>& mouseWaveColumns();

// forward: c + 1, or 0 at n; backward: c − 1, or n − 1 below 0.
uint8_t advance(bool forward, int n, uint8_t c);
// The 8-bit variant with a step s.
uint8_t advance(bool forward, int n, uint8_t c, uint8_t s);

uint8_t levelOf(uint8_t light);
uint8_t thresholdOf(uint8_t speed);

// Packed zone colour: red, green, blue, brightness (0-255).
inline uint32_t pack(uint8_t r, uint8_t g, uint8_t b, uint8_t a) { return uint32_t(r) << 24 | uint32_t(g) << 16 | uint32_t(b) << 8 | a; }

class LightPreview {
public:
    explicit LightPreview(int zoneCount);

    int zoneCount() const { return zoneCount_; }
    // Out-of-range indexes are ignored / read as 0.
    void setZone(int index, uint32_t rgba);
    uint32_t zone(int index) const;
    // Whether a zone colour changed since the last call: only a changed picture is painted again.
    bool takeChanged() { return changed_.exchange(false, std::memory_order_relaxed); }

    // The effects. `now` is a monotonic time in milliseconds (blinks and custom frames use it).
    void stepStatic(const LightInfoRecord& s);
    void stepBreathing(const LightInfoRecord& s);
    void stepBreathingFour(const LightInfoRecord& s);
    void stepSpectrum(const LightInfoRecord& s);
    void stepOff();
    void stepBlink(const LightInfoRecord& s, int64_t now);
    void stepBlinkFour(const LightInfoRecord& s, int64_t now);
    // The mouse's own effects.
    void stepMouseWave(const LightInfoRecord& s);
    void stepRunningLight(const LightInfoRecord& s);
    void triggerFlash(); // every zone starts a random flash
    bool flashing() const; // a flash is due or still lit
    void stepRandomFlash(const LightInfoRecord& s);
    // One pass of the custom sequence (effect 9 and numbers beyond the table).
    void passCustom(const std::vector<CustomEffectRecord>& frames, uint8_t lightSpeed, int64_t now);

    // A zone light list from the profile: zones with a behaviour of their own.
    void applyZoneList(const std::vector<LedZoneRecord>& list);
    const std::vector<LedZoneRecord>& zoneList() const { return zoneList_; }

    // Animation state, for tests.
    uint8_t phase() const { return phase_; }
    uint8_t colorIndex() const { return colorIndex_; }
    bool blinkOn() const { return blinkOn_; }
    uint8_t reactive(int column) const { return column >= 0 && column < 170 ? reactive_[column] : 0; }
    void setPhase(uint8_t p) { phase_ = p; }
    uint32_t randomSeed = 0x9E3779B9u;

private:
    void fill(Rgb c, uint8_t brightness);
    void breathe(const LightInfoRecord& s, bool four);
    void blink(const LightInfoRecord& s, int64_t now, bool four);
    uint32_t random();

    int zoneCount_;
    std::unique_ptr<std::atomic<uint32_t>[]> zones_;
    std::atomic<bool> changed_{false};
    uint8_t phase_ = 0;
    uint8_t colorIndex_ = 0;
    bool blinkOn_ = false;
    int64_t lastToggle_ = 0;
    std::array<uint8_t, 170> reactive_{};
    std::array<uint8_t, 23> ring_{};
    struct Flash {
        uint8_t state = 0; // 0 idle, 1 rising, 2 falling
        uint8_t level = 0;
        uint8_t colour = 0;
    };
    std::vector<Flash> flash_;
    std::atomic<bool> flashPending_{false};
    // Custom sequence.
    size_t frame_ = 0;
    int64_t frameStart_ = -1;
    uint8_t n_ = 0, p_ = 0, c_ = 0;
    bool customOn_ = false;
    int64_t customToggle_ = 0;
    uint8_t customColour_ = 0;
    std::vector<LedZoneRecord> zoneList_;
};

} // namespace q9::light
