#include "device/LightPreview.h"

#include <algorithm>

namespace q9::light {

namespace {

constexpr std::array<uint8_t, 64> kHalfA = {0,   1,   2,   3,   4,   5,   6,   7,   8,   9,   10,  12,  14,  16,  18,  20,
                                            22,  24,  27,  30,  33,  36,  39,  42,  45,  49,  53,  57,  61,  65,  69,  73,
                                            77,  81,  85,  89,  94,  99,  104, 109, 114, 119, 124, 129, 134, 140, 146, 152,
                                            158, 164, 170, 176, 182, 188, 194, 200, 206, 213, 220, 227, 234, 241, 248, 255};
constexpr std::array<uint8_t, 32> kUp = {1,   3,   5,   7,   10,  14,  18,  22,  26,  32,  38,  44,  50,  57,  65,  73,
                                         81,  89,  99,  109, 119, 129, 140, 152, 164, 176, 188, 200, 213, 227, 241, 255};
constexpr std::array<uint8_t, 32> kDown = {248, 234, 220, 206, 194, 182, 170, 158, 146, 134, 124, 114, 104, 94, 85, 77,
                                           69,  61,  53,  47,  41,  35,  29,  24,  20,  16,  12,  8,   6,   4,  2,  0};

uint8_t scaled(uint8_t value, uint8_t level) { return uint8_t(value * level / 256); }

} // namespace

const std::array<uint8_t, 128>& curveA()
{
    static const auto table = [] {
        std::array<uint8_t, 128> a{};
        for (int i = 0; i < 64; ++i)
            a[i] = a[127 - i] = kHalfA[i];
        return a;
    }();
    return table;
}

const std::array<uint8_t, 96>& curveB()
{
    static const auto table = [] {
        std::array<uint8_t, 96> b{};
        for (int i = 0; i < 48; ++i)
            b[i] = b[95 - i] = kHalfA[16 + i];
        return b;
    }();
    return table;
}

const std::array<Rgb, 192>& wheel()
{
    static const auto table = [] {
        std::array<Rgb, 192> w{};
        for (int k = 0; k < 32; ++k) {
            w[k] = {255, kUp[k], 0};
            w[32 + k] = {kDown[k], 255, 0};
            w[64 + k] = {0, 255, kUp[k]};
            w[96 + k] = {0, kDown[k], 255};
            w[128 + k] = {kUp[k], 0, 255};
            w[160 + k] = {255, 0, kDown[k]};
        }
        return w;
    }();
    return table;
}

const std::array<Rgb, 4>& fixedColours()
{
    static const std::array<Rgb, 4> c = {Rgb{0, 255, 180}, Rgb{0, 255, 0}, Rgb{255, 255, 255}, Rgb{255, 0, 0}};
    return c;
}

const std::array<std::array<int, 3>, 7>& mouseWaveColumns()
{
    static const std::array<std::array<int, 3>, 7> columns = {{
        {0, -1, 13}, {1, -1, 12}, {2, -1, 11}, {3, -1, 10}, {4, -1, 9}, {5, -1, 8}, {6, 14, 7},
    }};
    return columns;
}

uint8_t advance(bool forward, int n, uint8_t c)
{
    if (forward)
        return c + 1 >= n ? 0 : uint8_t(c + 1);
    return c == 0 ? uint8_t(n - 1) : uint8_t(c - 1);
}

uint8_t advance(bool forward, int n, uint8_t c, uint8_t s)
{
    if (forward) {
        const uint8_t v = uint8_t(c + s);
        return v < n ? v : 0;
    }
    const uint8_t v = uint8_t(c - s);
    return v < n ? v : uint8_t(n - s);
}

uint8_t levelOf(uint8_t light) { return kLevels[std::min<size_t>(light, kLevels.size() - 1)]; }
uint8_t thresholdOf(uint8_t speed) { return kThresholds[std::min<size_t>(speed, kThresholds.size() - 1)]; }

LightPreview::LightPreview(int zoneCount)
    : zoneCount_(std::max(0, zoneCount)), zones_(new std::atomic<uint32_t>[size_t(std::max(1, zoneCount))]),
      flash_(size_t(std::max(0, zoneCount)))
{
    for (int i = 0; i < std::max(1, zoneCount); ++i)
        zones_[i] = 0;
    ring_[0] = 1; // the running light's pulse
}

void LightPreview::setZone(int index, uint32_t rgba)
{
    if (index >= 0 && index < zoneCount_ && zones_[index].exchange(rgba, std::memory_order_relaxed) != rgba)
        changed_.store(true, std::memory_order_relaxed);
}

uint32_t LightPreview::zone(int index) const
{
    return index >= 0 && index < zoneCount_ ? zones_[index].load(std::memory_order_relaxed) : 0;
}

void LightPreview::fill(Rgb c, uint8_t brightness)
{
    for (int i = 0; i < zoneCount_; ++i)
        setZone(i, pack(c.r, c.g, c.b, brightness));
}

void LightPreview::stepStatic(const LightInfoRecord& s) { fill({s.red, s.green, s.blue}, levelOf(s.light)); }

void LightPreview::stepOff() { fill({0, 0, 0}, 0); }

void LightPreview::breathe(const LightInfoRecord& s, bool four)
{
    phase_ = advance(s.fx != 0, 128, phase_);
    if (phase_ == 0) {
        if (four)
            colorIndex_ = uint8_t((colorIndex_ + 1) % 4);
        else
            colorIndex_ = colorIndex_ + 16 >= 192 ? 0 : uint8_t(colorIndex_ + 16);
    }
    Rgb c{s.red, s.green, s.blue};
    if (four)
        c = fixedColours()[colorIndex_ % 4];
    else if (s.multiColor)
        c = wheel()[colorIndex_ % 192];
    fill(c, scaled(curveA()[phase_], levelOf(s.light)));
}

void LightPreview::stepBreathing(const LightInfoRecord& s) { breathe(s, false); }
void LightPreview::stepBreathingFour(const LightInfoRecord& s) { breathe(s, true); }

void LightPreview::stepSpectrum(const LightInfoRecord& s)
{
    phase_ = advance(s.fx != 0, 192, phase_);
    fill(wheel()[phase_], levelOf(s.light));
}

void LightPreview::blink(const LightInfoRecord& s, int64_t now, bool four)
{
    const int64_t half = int64_t(thresholdOf(s.speed)) * 200;
    if (now - lastToggle_ >= half) {
        lastToggle_ = now;
        blinkOn_ = !blinkOn_;
        if (four)
            colorIndex_ = uint8_t((colorIndex_ + 1) % 4);
        else
            colorIndex_ = colorIndex_ + 16 >= 192 ? 0 : uint8_t(colorIndex_ + 16);
    }
    if (!blinkOn_) {
        stepOff();
        return;
    }
    Rgb c{s.red, s.green, s.blue};
    if (four)
        c = fixedColours()[colorIndex_ % 4];
    else if (s.multiColor)
        c = wheel()[colorIndex_ % 192];
    fill(c, levelOf(s.light));
}

void LightPreview::stepBlink(const LightInfoRecord& s, int64_t now) { blink(s, now, false); }
void LightPreview::stepBlinkFour(const LightInfoRecord& s, int64_t now) { blink(s, now, true); }

void LightPreview::stepMouseWave(const LightInfoRecord& s)
{
    const uint8_t level = levelOf(s.light);
    const auto& columns = mouseWaveColumns();
    if (s.multiColor) {
        phase_ = advance(s.fx != 0, 192, phase_);
        for (int col = 0; col < 7; ++col) {
            const Rgb c = wheel()[(phase_ + 1 + 7 * col) % 192];
            for (int z : columns[col])
                setZone(z, pack(c.r, c.g, c.b, level));
        }
        return;
    }
    phase_ = advance(s.fx != 0, 96, phase_);
    for (int col = 0; col < 7; ++col) {
        const uint8_t b = scaled(curveB()[(phase_ + 1 + 7 * col) % 96], level);
        for (int z : columns[col])
            setZone(z, pack(s.red, s.green, s.blue, b));
    }
}

void LightPreview::stepRunningLight(const LightInfoRecord& s)
{
    const bool forward = s.fx != 0;
    const uint8_t level = levelOf(s.light);
    phase_ = advance(forward, 192, phase_);
    for (int pos = 0; pos < 7; ++pos) // ring positions 7 and 8 have no column on the mouse
        if (ring_[pos])
            reactive_[pos] = 255;
    if (forward)
        std::rotate(ring_.rbegin(), ring_.rbegin() + 1, ring_.rend());
    else
        std::rotate(ring_.begin(), ring_.begin() + 1, ring_.end());
    const auto& columns = mouseWaveColumns();
    const int lead = forward ? 0 : 6;
    // While the leading column is lit every column keeps its colour; the next pulse recolours.
    const bool keepColours = reactive_[lead] > 0;
    for (int col = 0; col < 7; ++col) {
        uint8_t& v = reactive_[col];
        if (v >= 128) v -= 40;
        else if (v >= 64) v -= 30;
        else if (v >= 32) v -= 10;
        else if (v > 16) v -= 8;
        else if (v >= 1) v -= 1;
        Rgb c{s.red, s.green, s.blue};
        if (s.multiColor) {
            if (keepColours) {
                const uint32_t first = zone(columns[col][0]);
                c = {uint8_t(first >> 24), uint8_t(first >> 16), uint8_t(first >> 8)};
            } else {
                phase_ = advance(forward, 192, phase_, 12);
                c = wheel()[phase_];
            }
        }
        const uint8_t b = scaled(v, level);
        for (int z : columns[col])
            setZone(z, pack(c.r, c.g, c.b, b));
    }
}

uint32_t LightPreview::random()
{
    randomSeed ^= randomSeed << 13;
    randomSeed ^= randomSeed >> 17;
    randomSeed ^= randomSeed << 5;
    return randomSeed;
}

void LightPreview::triggerFlash() { flashPending_ = true; }

bool LightPreview::flashing() const
{
    if (flashPending_)
        return true;
    for (const Flash& f : flash_)
        if (f.state != 0)
            return true;
    return false;
}

void LightPreview::stepRandomFlash(const LightInfoRecord& s)
{
    if (flashPending_.exchange(false))
        for (Flash& f : flash_)
            f = {1, 255, uint8_t(random() % 192)};
    const uint8_t level = levelOf(s.light);
    for (int i = 0; i < zoneCount_; ++i) {
        Flash& f = flash_[size_t(i)];
        if (f.state == 1) {
            f.level = uint8_t(std::min(255, f.level + 15));
            if (f.level == 255)
                f.state = 2;
        } else if (f.state == 2) {
            f.level = uint8_t(std::max(0, f.level - 15));
            if (f.level == 0)
                f.state = 0;
        }
        const Rgb c = s.multiColor ? wheel()[f.colour] : Rgb{s.red, s.green, s.blue};
        setZone(i, pack(c.r, c.g, c.b, scaled(f.level, level)));
    }
}

void LightPreview::passCustom(const std::vector<CustomEffectRecord>& frames, uint8_t lightSpeed, int64_t now)
{
    if (frames.empty()) {
        stepOff();
        return;
    }
    if (frame_ >= frames.size())
        frame_ = 0;
    if (frameStart_ < 0)
        frameStart_ = now;
    if (now - frameStart_ > frames[frame_].time) {
        frame_ = (frame_ + 1) % frames.size();
        frameStart_ = now;
    }
    const CustomEffectRecord& f = frames[frame_];
    const uint8_t t = thresholdOf(f.speed);
    const uint8_t level = levelOf(f.brightness);
    const Rgb colour{f.red, f.green, f.blue};
    n_ = n_ + 1 >= 255 ? 0 : uint8_t(n_ + 1);
    auto nextColourCounter = [&](int period) {
        if (p_ == 0 && period > 0)
            c_ = uint8_t((c_ + 1) % 3);
    };
    switch (f.mode) {
    case 0: // breathing, in one wheel colour with multi-colour
        if (n_ >= t) {
            n_ = 0;
            p_ = uint8_t((p_ + 1) % 128);
            nextColourCounter(128);
        }
        fill(f.multiColor ? wheel()[0] : colour, scaled(curveA()[p_], level));
        break;
    case 1: // static
        if (n_ >= t) {
            n_ = 0;
            p_ = uint8_t((p_ + 1) % 9);
            nextColourCounter(9);
        }
        fill(colour, level);
        break;
    case 2: { // blink at the light state's own speed
        p_ = uint8_t((p_ + 1) % 128);
        nextColourCounter(128);
        if (n_ >= t)
            n_ = 0;
        const int64_t half = int64_t(thresholdOf(lightSpeed)) * 200;
        if (now - customToggle_ >= half) {
            customToggle_ = now;
            customOn_ = !customOn_;
            customColour_ = uint8_t((p_ + 14) % 192);
        }
        if (customOn_)
            fill(f.multiColor ? wheel()[customColour_] : colour, level);
        else
            stepOff();
        break;
    }
    case 3:
        break;
    case 4: { // wave
        if (n_ >= t) {
            n_ = 0;
            p_ = uint8_t((p_ + 1) % 192);
        }
        const int d = f.direction == 0 ? (p_ + 1) % 192 : std::min(191, 192 - p_);
        for (int j = 0; j < zoneCount_; ++j) {
            if (f.multiColor) {
                const Rgb c = wheel()[(d + 12 * j) % 192];
                setZone(j, pack(c.r, c.g, c.b, level));
            } else {
                setZone(j, pack(colour.r, colour.g, colour.b, scaled(curveB()[(d + 12 * (j + 1)) % 96], level)));
            }
        }
        break;
    }
    case 5: { // colour cycle
        static constexpr uint8_t kCycle[5] = {5, 4, 3, 2, 1};
        if (n_ >= kCycle[std::min<size_t>(f.speed, 4)]) {
            n_ = 0;
            p_ = uint8_t((p_ + 1) % 192);
        }
        fill(wheel()[p_], level);
        break;
    }
    default:
        break;
    }
}

void LightPreview::applyZoneList(const std::vector<LedZoneRecord>& list) { zoneList_ = list; }

} // namespace q9::light
