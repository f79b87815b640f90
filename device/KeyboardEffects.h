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

    // Audio-reactive lighting (effect 29). The 25 band levels handed over from the sound; with the
    // ripple mode they are taken at once, and loud stretches start a ripple at the key 51.
    void storeAudioLevels(const std::array<int32_t, 25>& levels, bool ripple);
    void setAudioLight(const AudioLightRecord& a) { audio_ = a; }
    const AudioLightRecord& audioLight() const { return audio_; }
    // One frame of the renderer of the audio light mode.
    void stepAudio(const LightInfoRecord& s, light::LightPreview& out);
    static constexpr int kAudioRippleKey = 51;
    // The loudness summed for the ripple is shared by every keyboard; zero when the program starts.
    static void resetAudioLoudness();

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
    std::array<int32_t, 25> takeAudioLevels();
    void audioSpectrum(uint8_t level, const std::array<int32_t, 25>& x, light::LightPreview& out);
    void audioRipple(uint8_t level, light::LightPreview& out);
    void audioPulse(uint8_t level, int loudness, light::LightPreview& out);
    void audioRainbow(uint8_t level, const std::array<int32_t, 25>& x, light::LightPreview& out);
    void audioWave(uint8_t level, int loudness, light::LightPreview& out);
    void audioFlash(uint8_t level, int loudness, light::LightPreview& out);
    void audioMeter(uint8_t level, int loudness, light::LightPreview& out);

    uint8_t phase_ = 0;
    int position_ = 0;
    int stage_ = 0;
    std::array<uint8_t, kKeys> counter_{};
    std::array<uint8_t, kKeys> colourIndex_{};
    std::array<uint8_t, kKeys> reactive_{};
    std::array<uint8_t, kKeys> flash_{}; // 0 idle, 1 rising, 2 falling
    std::array<std::array<uint8_t, kColumns>, kPlanes> planes_{};
    std::minstd_rand random_{7};
    std::array<int32_t, 25> audioLevels_{};
    bool audioFresh_ = false; // levels handed over since the last frame
    int loudness_ = 0;        // 0-255, the own renderers' measure, fading between hand-overs
    AudioLightRecord audio_{};
    uint8_t audioPhase_ = 0;
    uint8_t columnOffset_ = 0;
    int audioFrames_ = 0;
    std::array<uint8_t, kColumns> history_{}; // the wave's brightness per column
};

// The ladder by which a lit key fades: fast from full, slower towards dark.
uint8_t decayStep(uint8_t v);

} // namespace q9::keyboard
