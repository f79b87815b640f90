#include "device/LightPreview.h"

#include <gtest/gtest.h>

namespace q9::light {
namespace {

uint8_t brightnessOf(uint32_t rgba) { return uint8_t(rgba); }
Rgb colourOf(uint32_t rgba) { return {uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8)}; }

LightInfoRecord state(uint8_t effect, uint8_t light = 4, uint8_t speed = 2, uint8_t fx = 1, uint8_t multi = 0)
{
    LightInfoRecord s;
    s.selectItem = effect;
    s.light = light;
    s.speed = speed;
    s.fx = fx;
    s.multiColor = multi;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    return s;
}

TEST(LightTables, CurvesWheelAndCounters)
{
    EXPECT_EQ(curveA()[0], 0);
    EXPECT_EQ(curveA()[63], 255);
    EXPECT_EQ(curveA()[64], 255);
    EXPECT_EQ(curveA()[127], 0);
    EXPECT_EQ(curveB()[0], 22);
    EXPECT_EQ(curveB()[47], 255);
    EXPECT_EQ(curveB()[95], 22);
    EXPECT_EQ(wheel()[0], (Rgb{255, 1, 0}));
    EXPECT_EQ(wheel()[31], (Rgb{255, 255, 0}));
    EXPECT_EQ(wheel()[32], (Rgb{248, 255, 0}));
    EXPECT_EQ(wheel()[191], (Rgb{255, 0, 0}));
    struct Case { bool forward; int n; uint8_t c; uint8_t s; uint8_t expected; };
    const Case cases[] = {
        {true, 128, 126, 1, 127}, {true, 128, 127, 1, 0}, {false, 128, 0, 1, 127}, {false, 192, 5, 1, 4},
        {true, 192, 185, 12, 0},   // 197 ≥ 192 → 0
        {true, 192, 10, 12, 22},
        {false, 192, 5, 12, 180},  // 5 − 12 wraps to 249 ≥ 192 → n − s
        {false, 192, 30, 12, 18},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.s == 1 ? advance(c.forward, c.n, c.c) : advance(c.forward, c.n, c.c, c.s), c.expected)
            << c.forward << " " << c.n << " " << int(c.c) << " " << int(c.s);
}

TEST(LightEffects, BreathingPeaksAtTheLevelFractionDropped)
{
    LightPreview p(15);
    const LightInfoRecord s = state(1, 2);
    int peak = 0;
    for (int i = 0; i < 128; ++i) {
        p.stepBreathing(s);
        peak = std::max<int>(peak, brightnessOf(p.zone(0)));
        EXPECT_EQ(colourOf(p.zone(14)), (Rgb{10, 20, 30}));
    }
    EXPECT_EQ(peak, 99); // 255 × 100 ÷ 256
    EXPECT_EQ(p.phase(), 0);
    EXPECT_EQ(p.colorIndex(), 16); // a full breath moves the wheel colour on
}

TEST(LightEffects, BreathingFourStepsThroughTheFixedColours)
{
    LightPreview p(3);
    const LightInfoRecord s = state(5, 4);
    for (int breath = 1; breath <= 5; ++breath) {
        for (int i = 0; i < 128; ++i)
            p.stepBreathingFour(s);
        EXPECT_EQ(p.colorIndex(), breath % 4);
    }
    p.stepBreathingFour(s);
    EXPECT_EQ(colourOf(p.zone(0)), fixedColours()[1]);
}

TEST(LightEffects, SpectrumRunsBackwardsFrom191)
{
    LightPreview p(2);
    const LightInfoRecord s = state(3, 4, 2, 0);
    p.stepSpectrum(s);
    EXPECT_EQ(p.phase(), 191);
    EXPECT_EQ(colourOf(p.zone(0)), wheel()[191]);
    p.stepSpectrum(s);
    EXPECT_EQ(colourOf(p.zone(1)), wheel()[190]);
    EXPECT_EQ(brightnessOf(p.zone(1)), 255);
}

TEST(LightEffects, BlinkHalfPeriodFollowsTheSpeed)
{
    LightPreview p(2);
    const LightInfoRecord s = state(10, 3, 2); // speed 2: 18 × 200 ms
    p.stepBlink(s, 3600);
    EXPECT_TRUE(p.blinkOn());
    EXPECT_EQ(brightnessOf(p.zone(0)), 175);
    p.stepBlink(s, 3600 + 3599);
    EXPECT_TRUE(p.blinkOn());
    p.stepBlink(s, 3600 + 3600);
    EXPECT_FALSE(p.blinkOn());
    EXPECT_EQ(p.zone(0), 0u);
    EXPECT_EQ(p.colorIndex(), 32);
}

TEST(LightEffects, OffAndStatic)
{
    LightPreview p(3);
    p.stepStatic(state(0, 1));
    EXPECT_EQ(p.zone(2), pack(10, 20, 30, 50));
    p.stepOff();
    EXPECT_EQ(p.zone(2), 0u);
    p.setZone(-1, 5);
    p.setZone(3, 5);
    EXPECT_EQ(p.zone(-1), 0u);
    EXPECT_EQ(p.zone(3), 0u);
}

TEST(LightEffects, MouseWaveColumnsAreSevenApart)
{
    LightPreview p(15);
    p.stepMouseWave(state(2, 4, 2, 1, 1));
    // Column 0 (zones 0 and 13) at phase + 1, column 6 (zones 6, 14, 7) 42 further.
    EXPECT_EQ(colourOf(p.zone(0)), wheel()[2]);
    EXPECT_EQ(colourOf(p.zone(13)), wheel()[2]);
    EXPECT_EQ(colourOf(p.zone(14)), wheel()[2 + 42]);
    LightPreview single(15);
    single.stepMouseWave(state(2, 4, 2, 1, 0));
    EXPECT_EQ(brightnessOf(single.zone(0)), curveB()[2] * 255 / 256);
    EXPECT_EQ(brightnessOf(single.zone(7)), curveB()[2 + 42] * 255 / 256);
    EXPECT_EQ(colourOf(single.zone(7)), (Rgb{10, 20, 30}));
}

TEST(LightEffects, RandomFlashFallsFromFullInStepsOf15)
{
    LightPreview p(15);
    const LightInfoRecord s = state(7, 4);
    p.stepRandomFlash(s);
    EXPECT_EQ(p.zone(3), pack(10, 20, 30, 0)); // idle until the mouse reports a click
    p.triggerFlash();
    std::vector<int> levels;
    for (int i = 0; i < 19; ++i) {
        p.stepRandomFlash(s);
        levels.push_back(brightnessOf(p.zone(3)));
    }
    EXPECT_EQ(levels.front(), 254); // 255 at full level: 255 × 255 ÷ 256
    EXPECT_EQ(levels[1], 240 * 255 / 256);
    EXPECT_EQ(levels[16], 15 * 255 / 256);
    EXPECT_EQ(levels[17], 0);
    EXPECT_EQ(levels[18], 0);
}

TEST(LightEffects, RunningLightPulsesThroughTheColumns)
{
    LightPreview p(15);
    const LightInfoRecord s = state(4, 4, 2, 1);
    p.stepRunningLight(s);
    EXPECT_EQ(p.reactive(0), 215); // set to 255 by the pulse, then one decay of 40
    EXPECT_EQ(brightnessOf(p.zone(0)), 215 * 255 / 256);
    p.stepRunningLight(s);
    EXPECT_EQ(p.reactive(1), 215); // the pulse moved one column on
    EXPECT_EQ(p.reactive(0), 175);
}

TEST(LightEffects, CustomSequenceAdvancesFramesAndShowsOffWhenEmpty)
{
    LightPreview p(4);
    p.setZone(0, 123);
    p.passCustom({}, 2, 0);
    EXPECT_EQ(p.zone(0), 0u);
    CustomEffectRecord a;
    a.mode = 1;
    a.brightness = 4;
    a.red = 200;
    a.time = 100;
    CustomEffectRecord b = a;
    b.red = 0;
    b.green = 200;
    p.passCustom({a, b}, 2, 1000);
    EXPECT_EQ(colourOf(p.zone(3)), (Rgb{200, 0, 0}));
    p.passCustom({a, b}, 2, 1101);
    EXPECT_EQ(colourOf(p.zone(3)), (Rgb{0, 200, 0}));
}

} // namespace
} // namespace q9::light
