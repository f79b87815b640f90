// The keyboard's audio-reactive lighting (effect 29): the band levels handed over from the sound
// turned into key colours by the renderer of the profile's audio light mode.
#include "device/KeyboardEffects.h"
#include "device/KeyboardLayout.h"

#include <algorithm>
#include <atomic>
#include <numeric>

namespace q9::keyboard {

namespace {

enum AudioMode : uint8_t { kSpectrumColumns = 0, kPulse = 1, kRipple = 2, kRainbow = 3, kWave = 4, kFlash = 5, kMeter = 6 };

// Loud stretches summed over the hand-overs of every keyboard; a ripple starts at 71.
std::atomic<int> gLoudness{0};

// The key of column c, row r counted from the bottom row up; kNoKey where there is none.
uint8_t gridKey(int c, int r) { return columnTable()[size_t(c)][size_t(5 - r)]; }

uint8_t scaled(uint8_t v, uint8_t level) { return uint8_t(v * level / 256); }

int loudnessOf(const std::array<int32_t, 25>& x)
{
    const int64_t sum = std::accumulate(x.begin(), x.end(), int64_t(0), [](int64_t a, int32_t v) { return a + std::max(v, 0); });
    return int(std::min<int64_t>(255, sum / 25 * 255 / 2000));
}

} // namespace

void KeyboardEffects::resetAudioLoudness() { gLoudness = 0; }

void KeyboardEffects::storeAudioLevels(const std::array<int32_t, 25>& levels, bool ripple)
{
    audioLevels_ = levels;
    audioFresh_ = true;
    if (!ripple)
        return;
    const std::array<int32_t, 25> x = takeAudioLevels();
    int sum = 0;
    for (int32_t level : x) {
        const int p = int(std::min<int64_t>(std::max(level, 0), INT32_MAX / 600) * 600 / 2000);
        sum += p > 600 ? 500 : 600 - p;
    }
    const int m = sum / 25;
    const int b = 25 - m * 25 / 600;
    if (gLoudness.fetch_add(b) + b >= 71) {
        gLoudness = 0;
        seedRipple(kAudioRippleKey);
    }
}

std::array<int32_t, 25> KeyboardEffects::takeAudioLevels()
{
    std::array<int32_t, 25> x = audioLevels_;
    audioLevels_.fill(0);
    return x;
}

void KeyboardEffects::stepAudio(const LightInfoRecord& s, light::LightPreview& out)
{
    const uint8_t level = light::levelOf(s.light);
    const bool fresh = audioFresh_;
    audioFresh_ = false;
    if (audio_.audioMode == kRipple) {
        audioRipple(level, out);
        return;
    }
    const std::array<int32_t, 25> x = takeAudioLevels();
    loudness_ = fresh ? loudnessOf(x) : loudness_ * 3 / 4;
    switch (audio_.audioMode) {
    case kSpectrumColumns: audioSpectrum(level, x, out); break;
    case kPulse: audioPulse(level, loudness_, out); break;
    case kRainbow: audioRainbow(level, x, out); break;
    case kWave: audioWave(level, loudness_, out); break;
    case kFlash: audioFlash(level, loudness_, out); break;
    default: audioMeter(level, loudness_, out); break;
    }
}

void KeyboardEffects::audioSpectrum(uint8_t level, const std::array<int32_t, 25>& x, light::LightPreview& out)
{
    const auto& wheel = light::wheel();
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    const light::Rgb fore{audio_.fgColorR, audio_.fgColorG, audio_.fgColorB};
    audioPhase_ = light::advance(true, 192, audioPhase_);
    if (++audioFrames_ >= 31) {
        audioFrames_ = 0;
        columnOffset_ = light::advance(true, 25, columnOffset_);
    }
    for (int c = 0; c < kColumns; ++c) {
        const int64_t v = std::clamp<int64_t>(x[size_t(c)], 0, 2000);
        const int h = int(((600 - v * 600 / 2000) + 100) * 6 / 600);
        // A lit key takes its column's colour: the wheel moving across the columns, or the
        // foreground colour.
        const light::Rgb lit = audio_.sevenColor ? wheel[size_t((audioPhase_ + 8 * ((c + columnOffset_) % 25)) % 192)] : fore;
        for (int r = 0; r < 6; ++r) {
            const uint8_t e = gridKey(c, r);
            if (e >= kKeys)
                continue;
            const uint8_t below = r > 0 ? gridKey(c, r - 1) : kNoKey;
            if (r == 0 || below >= kKeys || reactive_[below] < 10)
                reactive_[e] = decayStep(reactive_[e]);
            if (r >= h)
                reactive_[e] = 255;
            if (reactive_[e] <= 9)
                show(out, e, back, level);
            else
                show(out, e, lit, scaled(reactive_[e], level));
        }
    }
}

void KeyboardEffects::audioRipple(uint8_t level, light::LightPreview& out)
{
    const auto& wheel = light::wheel();
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    const light::Rgb fore{audio_.fgColorR, audio_.fgColorG, audio_.fgColorB};
    rippleStep(false);
    for (int i = 0; i < kKeys; ++i) {
        reactive_[size_t(i)] = decayStep(reactive_[size_t(i)]);
        colourIndex_[size_t(i)] = light::advance(true, 192, colourIndex_[size_t(i)], 9);
        const light::Rgb c = audio_.sevenColor ? wheel[colourIndex_[size_t(i)]] : fore;
        if (reactive_[size_t(i)] > 9)
            show(out, i, c, scaled(reactive_[size_t(i)], level));
        else
            show(out, i, back, level);
    }
}

void KeyboardEffects::audioPulse(uint8_t level, int loudness, light::LightPreview& out)
{
    // Every key breathes with the loudness: the foreground over the background.
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    audioPhase_ = light::advance(true, 192, audioPhase_);
    const light::Rgb fore = audio_.sevenColor ? light::wheel()[audioPhase_] : light::Rgb{audio_.fgColorR, audio_.fgColorG, audio_.fgColorB};
    for (int k = 0; k < kKeys; ++k) {
        if (loudness > 9)
            show(out, k, fore, scaled(uint8_t(loudness), level));
        else
            show(out, k, back, level);
    }
}

void KeyboardEffects::audioRainbow(uint8_t level, const std::array<int32_t, 25>& x, light::LightPreview& out)
{
    // Each column in its own colour of a moving rainbow, as bright as its band is loud; the
    // brightness falls off between hand-overs.
    audioPhase_ = light::advance(true, 192, audioPhase_);
    const auto& wheel = light::wheel();
    for (int c = 0; c < kColumns; ++c) {
        const uint8_t loud = uint8_t(std::clamp<int64_t>(int64_t(x[size_t(c)]) * 255 / 2000, 0, 255));
        history_[size_t(c)] = std::max(loud, decayStep(history_[size_t(c)]));
        const light::Rgb colour = wheel[size_t((audioPhase_ + 8 * c) % 192)];
        for (int r = 0; r < 6; ++r)
            if (const uint8_t e = gridKey(c, r); e < kKeys)
                show(out, e, colour, scaled(std::max<uint8_t>(history_[size_t(c)], 24), level));
    }
}

void KeyboardEffects::audioWave(uint8_t level, int loudness, light::LightPreview& out)
{
    // The loudness enters at the left and travels to the right, a column a frame.
    for (int c = kColumns - 1; c > 0; --c)
        history_[size_t(c)] = history_[size_t(c - 1)];
    history_[0] = uint8_t(loudness);
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    const auto& wheel = light::wheel();
    for (int c = 0; c < kColumns; ++c) {
        const light::Rgb fore = audio_.sevenColor ? wheel[size_t(8 * c % 192)] : light::Rgb{audio_.fgColorR, audio_.fgColorG, audio_.fgColorB};
        for (int r = 0; r < 6; ++r)
            if (const uint8_t e = gridKey(c, r); e < kKeys) {
                if (history_[size_t(c)] > 9)
                    show(out, e, fore, scaled(history_[size_t(c)], level));
                else
                    show(out, e, back, level);
            }
    }
}

void KeyboardEffects::audioFlash(uint8_t level, int loudness, light::LightPreview& out)
{
    // Random keys flash, the more the louder; each fades on its own.
    const auto& stars = starKeys();
    const int count = loudness / 32;
    for (int i = 0; i < count; ++i) {
        const uint8_t k = stars[random_() % stars.size()];
        reactive_[k] = 255;
        colourIndex_[k] = uint8_t(random_() % 192);
    }
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    const light::Rgb fore{audio_.fgColorR, audio_.fgColorG, audio_.fgColorB};
    for (int k = 0; k < kKeys; ++k) {
        reactive_[size_t(k)] = decayStep(reactive_[size_t(k)]);
        if (reactive_[size_t(k)] > 9)
            show(out, k, audio_.sevenColor ? light::wheel()[colourIndex_[size_t(k)]] : fore, scaled(reactive_[size_t(k)], level));
        else
            show(out, k, back, level);
    }
}

void KeyboardEffects::audioMeter(uint8_t level, int loudness, light::LightPreview& out)
{
    // A level meter over the columns: green, then yellow, then red towards the right; the peak
    // falls back slowly.
    const int lit = loudness * kColumns / 255;
    const light::Rgb back{audio_.bkColorR, audio_.bkColorG, audio_.bkColorB};
    for (int c = 0; c < kColumns; ++c) {
        const bool on = c < lit;
        history_[size_t(c)] = on ? 255 : decayStep(history_[size_t(c)]);
        const light::Rgb colour = c < 14 ? light::Rgb{0, 255, 0} : c < 19 ? light::Rgb{255, 200, 0} : light::Rgb{255, 0, 0};
        for (int r = 0; r < 6; ++r)
            if (const uint8_t e = gridKey(c, r); e < kKeys) {
                if (history_[size_t(c)] > 9)
                    show(out, e, colour, scaled(history_[size_t(c)], level));
                else
                    show(out, e, back, level);
            }
    }
}

} // namespace q9::keyboard
