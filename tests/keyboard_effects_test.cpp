// The keyboard's own effects step by step: ripples and flashes from key presses, the sweep, the
// fixed colours and the waves over the picture's columns.
#include "device/KeyboardEffects.h"
#include "device/KeyboardLayout.h"

#include <gtest/gtest.h>

namespace q9::keyboard {
namespace {

LightInfoRecord state(uint8_t effect, uint8_t fx = 0, uint8_t multi = 0)
{
    LightInfoRecord s;
    s.selectItem = effect;
    s.light = 4;
    s.speed = 2;
    s.fx = fx;
    s.multiColor = multi;
    s.red = 10, s.green = 20, s.blue = 30;
    return s;
}

uint8_t brightness(const light::LightPreview& p, int key) { return uint8_t(p.zone(key)); }

TEST(KeyboardEffects, ARippleSpreadsFromThePressedKeyAndFades)
{
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(8);
    const int o = 51;
    const int c = columnOf()[o], r = rowOf()[o];
    e.keyPressed(8, false, o, 1);
    for (int p = 0; p < 4; ++p)
        EXPECT_EQ(e.plane(p, c), 1 << r) << "plane " << p;
    ASSERT_TRUE(e.step(state(8), out));
    EXPECT_EQ(e.reactive(o), decayStep(255));
    EXPECT_EQ(brightness(out, o), decayStep(255) * 255 / 256);
    // Planes 1 and 4 came from the column towards 22, planes 2 and 3 from the one towards 0; the
    // own bits moved up (planes 1, 2) or down (planes 3, 4).
    EXPECT_EQ(e.plane(0, c - 1) & (1 << r), 1 << r);
    EXPECT_EQ(e.plane(1, c + 1) & (1 << r), 1 << r);
    EXPECT_EQ(e.plane(0, c), 1 << (r - 1));
    EXPECT_EQ(e.plane(2, c), 1 << (r + 1));
    // Without further presses it dies out and the effect goes idle.
    for (int i = 0; i < 200 && !e.idle(); ++i)
        e.step(state(8), out);
    EXPECT_TRUE(e.idle());
    EXPECT_EQ(brightness(out, o), 0);
}

TEST(KeyboardEffects, AFlashRisesWhileHeldAndFallsWhenLetGo)
{
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(7);
    const int a = 64, s = 65;
    e.keyPressed(7, false, a, 1);
    for (int i = 0; i < 3; ++i)
        e.step(state(7), out);
    EXPECT_EQ(e.reactive(a), 45);
    EXPECT_EQ(e.reactive(s), 0) << "only the key pressed";
    for (int i = 0; i < 20; ++i)
        e.step(state(7), out);
    EXPECT_EQ(e.reactive(a), 255) << "held at full";
    e.keyPressed(7, false, a, 2);
    e.step(state(7), out);
    EXPECT_EQ(e.reactive(a), 250);
    EXPECT_EQ(out.zone(a), light::pack(10, 20, 30, uint8_t(250 * 255 / 256)));
    // Effect 25 lights the keys around it as well.
    KeyboardEffects n;
    n.reset(25);
    n.keyPressed(25, false, a, 1);
    n.step(state(25), out);
    EXPECT_EQ(n.reactive(s), 15);
    EXPECT_EQ(n.reactive(0), 0) << "Esc is far away";
}

TEST(KeyboardEffects, TheSweepLightsOneKeyAStepThenPausesOneStep)
{
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(21);
    e.step(state(21, 1), out);
    EXPECT_EQ(e.reactive(sweepTable()[0]), decayStep(254));
    e.step(state(21, 1), out);
    EXPECT_EQ(e.reactive(sweepTable()[1]), decayStep(254));
    EXPECT_EQ(e.reactive(sweepTable()[0]), decayStep(decayStep(254)));
    KeyboardEffects back;
    back.reset(21);
    back.step(state(21, 0), out);
    EXPECT_EQ(back.reactive(sweepTable()[169]), decayStep(254)) << "without the direction flag from the last";
    // 170 keys, then one step without a key, then the first again.
    KeyboardEffects round;
    round.reset(21);
    for (int i = 0; i < 171; ++i)
        round.step(state(21, 1), out);
    const uint8_t before = round.reactive(sweepTable()[0]);
    round.step(state(21, 1), out);
    EXPECT_EQ(round.reactive(sweepTable()[0]), decayStep(254));
    EXPECT_LT(before, decayStep(254));
}

TEST(KeyboardEffects, TheFixedColourFollowsTheSecondMode)
{
    const std::pair<uint8_t, int> cases[] = {{1, 25}, {2, 70}, {3, 95}, {0, 174}, {9, 174}};
    for (auto [mode, entry] : cases) {
        KeyboardEffects e;
        light::LightPreview out(170);
        LightInfoRecord s = state(17);
        s.zzccLedMode = mode;
        e.reset(17);
        ASSERT_TRUE(e.step(s, out));
        const light::Rgb c = light::wheel()[size_t(entry)];
        for (int k : {0, 64, 108})
            EXPECT_EQ(out.zone(k), light::pack(c.r, c.g, c.b, 255)) << int(mode);
    }
}

TEST(KeyboardEffects, TheColumnWaveGivesEveryKeyOfAColumnOneColour)
{
    KeyboardEffects e;
    light::LightPreview out(170);
    e.reset(1);
    ASSERT_TRUE(e.step(state(1, 1, 1), out));
    EXPECT_EQ(e.phase(), 1);
    // Keys 22 (1) and 43 (Q) share a column; the next column is 7 wheel entries further.
    ASSERT_EQ(columnOf()[22], columnOf()[43]);
    EXPECT_EQ(out.zone(22), out.zone(43));
    const int c = columnOf()[22];
    const light::Rgb expected = light::wheel()[size_t((1 + 1 + 7 * c) % 192)];
    EXPECT_EQ(out.zone(22), light::pack(expected.r, expected.g, expected.b, 255));
    // Effects the class does not have are left to the shared steps.
    EXPECT_FALSE(e.step(state(4), out));
    EXPECT_FALSE(e.step(state(28), out));
}

} // namespace
} // namespace q9::keyboard

namespace q9::keyboard {
namespace {

// The patterns that start by themselves keep moving, and never leave the picture dark for good.
TEST(KeyboardEffects, ThePatternEffectsKeepLightingKeys)
{
    for (uint8_t effect : {9, 13, 14, 15, 16, 22, 24}) {
        SCOPED_TRACE(int(effect));
        KeyboardEffects e;
        light::LightPreview out(170);
        e.reset(effect);
        if (effect == 9)
            e.keyPressed(9, false, 51, 1); // effect 9 runs on key presses
        int litSteps = 0;
        for (int i = 0; i < 400; ++i) {
            ASSERT_TRUE(e.step(state(effect), out));
            bool lit = false;
            for (int k = 0; k < 170 && !lit; ++k)
                lit = (out.zone(k) & 0xFF) != 0;
            litSteps += lit ? 1 : 0;
        }
        EXPECT_GT(litSteps, effect == 9 ? 3 : 200);
    }
}

} // namespace
} // namespace q9::keyboard
