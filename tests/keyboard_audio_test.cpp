// The keyboard's audio lighting frame by frame: the ripple that loud sound starts at key 51, the
// spectrum columns, and the own renderers reacting to loudness and falling back in silence.
#include "device/KeyboardEffects.h"
#include "device/KeyboardLayout.h"

#include <gtest/gtest.h>

namespace q9::keyboard {
namespace {

using Levels = std::array<int32_t, 25>;

LightInfoRecord audioState()
{
    LightInfoRecord s;
    s.selectItem = 29;
    s.light = 4;
    return s;
}

AudioLightRecord record(uint8_t mode)
{
    AudioLightRecord a;
    a.audioMode = mode;
    a.bkColorR = 0, a.bkColorG = 0, a.bkColorB = 40;
    a.fgColorR = 200, a.fgColorG = 10, a.fgColorB = 0;
    return a;
}

Levels all(int32_t v)
{
    Levels l;
    l.fill(v);
    return l;
}

bool anyPlane(const KeyboardEffects& e)
{
    for (int p = 0; p < 4; ++p)
        for (int c = 0; c < kColumns; ++c)
            if (e.plane(p, c))
                return true;
    return false;
}

TEST(KeyboardAudio, LoudnessStartsARippleAtKey51EveryThirdLoudHandOverAndSilenceNever)
{
    const struct {
        const char* what;
        int32_t level;
        int handOversToRipple; // 0: never within 50
    } cases[] = {
        {"silence", 0, 0},
        {"levels of 2000: b = 25", 2000, 3},
        {"levels beyond 2000: v = 500, b = 5", 5000, 15},
        {"half loud: p = 300, v = 300, b = 13", 1000, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        KeyboardEffects::resetAudioLoudness();
        KeyboardEffects e;
        e.reset(29);
        e.setAudioLight(record(2));
        int rippled = 0;
        for (int i = 1; i <= 50 && !rippled; ++i) {
            e.storeAudioLevels(all(c.level), true);
            if (anyPlane(e))
                rippled = i;
        }
        EXPECT_EQ(rippled, c.handOversToRipple);
        if (rippled) {
            const int o = KeyboardEffects::kAudioRippleKey;
            for (int p = 0; p < 4; ++p)
                EXPECT_EQ(e.plane(p, columnOf()[o]), 1 << rowOf()[o]) << "all four layers";
        }
    }
}

TEST(KeyboardAudio, TheRippleLightsInTheForegroundOverTheBackground)
{
    KeyboardEffects::resetAudioLoudness();
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(29);
    e.setAudioLight(record(2));
    for (int i = 0; i < 3; ++i)
        e.storeAudioLevels(all(2000), true);
    e.stepAudio(audioState(), out);
    const int o = KeyboardEffects::kAudioRippleKey;
    EXPECT_EQ(out.zone(o), light::pack(200, 10, 0, uint8_t(decayStep(255) * 255 / 256)));
    EXPECT_EQ(out.zone(0), light::pack(0, 0, 40, 255)) << "far from the ripple: the background";
}

TEST(KeyboardAudio, SpectrumColumnsHangFromTheTopAsLoudAsTheirBand)
{
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(29);
    e.setAudioLight(record(0));
    Levels x{};
    x[0] = 2000; // h = 1: every row but the bottom one lit
    x[1] = 1000; // h = 4: the top two rows
    e.storeAudioLevels(x, false);
    e.stepAudio(audioState(), out);
    const auto& grid = columnTable(); // row 0 is the top row
    const uint32_t fore = light::pack(200, 10, 0, 255 * 255 / 256), back = light::pack(0, 0, 40, 255);
    auto at = [&](int c, int topRow) { return grid[size_t(c)][size_t(topRow)]; };
    ASSERT_LT(at(0, 0), 170);
    EXPECT_EQ(out.zone(at(0, 0)), fore);
    EXPECT_EQ(out.zone(at(1, 0)), fore);
    if (at(1, 3) < 170)
        EXPECT_EQ(out.zone(at(1, 3)), back) << "below the lit rows";
    if (at(5, 0) < 170)
        EXPECT_EQ(out.zone(at(5, 0)), back) << "a silent band";
    // Without new levels the lit keys fade back to the background, each row once the row below it
    // has gone dark.
    for (int i = 0; i < 60; ++i)
        e.stepAudio(audioState(), out);
    EXPECT_EQ(out.zone(at(0, 0)), back);
}

TEST(KeyboardAudio, TheOwnRenderersFollowLoudnessAndRestInSilence)
{
    for (uint8_t mode : {1, 3, 4, 5, 6}) {
        SCOPED_TRACE(int(mode));
        KeyboardEffects e;
        light::LightPreview quiet(170), loud(170);
        e.reset(29);
        e.setAudioLight(record(mode));
        for (int i = 0; i < 3; ++i) {
            e.storeAudioLevels(all(0), false);
            e.stepAudio(audioState(), quiet);
        }
        for (int i = 0; i < 3; ++i) {
            e.storeAudioLevels(all(1800), false);
            e.stepAudio(audioState(), loud);
        }
        int changed = 0;
        for (int k = 0; k < 170; ++k)
            changed += quiet.zone(k) != loud.zone(k);
        EXPECT_GT(changed, 10) << "loud sound shows";
        // Silence again: everything falls back to what silence showed (colours of the rainbow
        // move on, so it is compared by brightness).
        for (int i = 0; i < 40; ++i) {
            e.storeAudioLevels(all(0), false);
            e.stepAudio(audioState(), loud);
        }
        int stillLit = 0;
        for (int k = 0; k < 170; ++k)
            stillLit += uint8_t(loud.zone(k)) != uint8_t(quiet.zone(k));
        EXPECT_EQ(stillLit, 0);
    }
}

} // namespace
} // namespace q9::keyboard
