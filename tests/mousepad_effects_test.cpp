// The mouse pad's light record in both directions, and its own effects step by step: the wave
// along the zones, the running lights along the zones and across the columns, the zone list.
#include "device/MousePadEffects.h"
#include "device/MousePadRecords.h"

#include <gtest/gtest.h>

#include <numeric>

namespace q9 {
namespace {

using light::Rgb;

uint8_t brightnessOf(uint32_t rgba) { return uint8_t(rgba); }
Rgb colourOf(uint32_t rgba) { return {uint8_t(rgba >> 24), uint8_t(rgba >> 16), uint8_t(rgba >> 8)}; }

LightInfoRecord state(uint8_t effect, uint8_t fx, uint8_t multi = 0, uint8_t light = 4)
{
    LightInfoRecord s;
    s.selectItem = effect;
    s.light = light;
    s.speed = 2;
    s.fx = fx;
    s.multiColor = multi;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    return s;
}

// A settings area as the pad keeps it: byte 4 and bytes 9-20 hold its own values.
std::array<uint8_t, kPadAreaSize> area(uint8_t code, uint8_t speedByte)
{
    std::array<uint8_t, kPadAreaSize> a{};
    std::iota(a.begin(), a.end(), uint8_t(100));
    a[0] = 0;
    a[1] = code;
    a[2] = 3;
    a[3] = speedByte;
    a[5] = 1;
    a[6] = 0x11, a[7] = 0x22, a[8] = 0x33;
    return a;
}

TEST(PadRecord, ReadBackTakesTheFirstRowOfACodeAndInvertsTheSpeed)
{
    // Codes as a light file may give them: 9 occurs twice, 2 is no row's code.
    const std::vector<int> codes = {4, 9, 7, 9, 0};
    struct Case {
        uint8_t code, speedByte;
        uint8_t row, speed;
    };
    const Case cases[] = {
        {9, 0, 1, 4},    // twice in the list: the first row; speed byte 0 is speed 4
        {7, 4, 2, 0},
        {0, 2, 4, 2},
        {2, 1, 2, 3},    // not in the list: left as it is
        {4, 9, 0, 0},    // a speed byte beyond 4 is held to 4 first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << int(c.code) << " speed byte " << int(c.speedByte));
        const auto a = area(c.code, c.speedByte);
        const PadRecord r = takePadRecord(a.data(), 2, codes);
        EXPECT_EQ(r[0], 2) << "the profile the pad is on";
        EXPECT_EQ(r[1], c.row);
        EXPECT_EQ(r[3], c.speed);
        EXPECT_EQ(r[2], 3);
        EXPECT_EQ(r[4], a[4]);
        for (size_t i = 5; i < kPadRecordSize; ++i)
            EXPECT_EQ(r[i], a[i]) << "byte " << i;
    }
}

TEST(PadRecord, TheBytesSentCarryTheCodeAndTheInvertedSpeedAndKeepThePadsOwnBytes)
{
    const std::vector<int> codes = {4, 9, 7, 9, 0};
    const auto a = area(7, 1);
    PadRecord held = takePadRecord(a.data(), 0, codes);
    LightInfoRecord light = state(3, 0, 0, 2);
    light.speed = 0;
    light.red = 0xA1, light.green = 0xB2, light.blue = 0xC3;
    putPadLight(held, light);
    const PadRecord out = buildPadRecord(held, codes);
    PadRecord expected{};
    std::copy(a.begin(), a.begin() + kPadRecordSize, expected.begin());
    expected[1] = 9;  // row 3's code
    expected[2] = 2;
    expected[3] = 4;  // speed 0 goes as 4
    expected[5] = 0;
    expected[6] = 0xA1, expected[7] = 0xB2, expected[8] = 0xC3;
    EXPECT_EQ(out, expected);
    // The held record keeps the row and the speed: a second write sends the same code.
    EXPECT_EQ(held[1], 3);
    EXPECT_EQ(held[3], 0);
    EXPECT_EQ(buildPadRecord(held, codes), expected);

    struct Edge {
        uint8_t row, light, speed;
        uint8_t code, lightByte, speedByte;
    };
    const Edge edges[] = {
        {12, 4, 4, 12, 4, 0},  // a row beyond the list goes as it is
        {0, 9, 7, 4, 4, 0},    // brightness and speed beyond 4 are held to 4
    };
    for (const Edge& e : edges) {
        PadRecord r = held;
        r[1] = e.row, r[2] = e.light, r[3] = e.speed;
        const PadRecord sent = buildPadRecord(r, codes);
        EXPECT_EQ(sent[1], e.code) << int(e.row);
        EXPECT_EQ(sent[2], e.lightByte) << int(e.row);
        EXPECT_EQ(sent[3], e.speedByte) << int(e.row);
    }
}

TEST(PadEffects, TheWaveRunsAlongTheZonesSevenStepsApart)
{
    light::LightPreview out(pad::kZones);
    pad::PadEffects fx;
    fx.stepWave(state(0, 1, 1), out); // multi-colour: the wheel, phase 1
    for (int z : {0, 1, 14})
        EXPECT_EQ(colourOf(out.zone(z)), light::wheel()[(2 + 7 * z) % 192]) << z;
    EXPECT_EQ(brightnessOf(out.zone(5)), 255);

    pad::PadEffects single;
    single.stepWave(state(0, 0), out); // one colour, backwards: the curve from position 95 + 1
    for (int z : {0, 1, 14}) {
        EXPECT_EQ(colourOf(out.zone(z)), (Rgb{10, 20, 30})) << z;
        EXPECT_EQ(brightnessOf(out.zone(z)), light::curveB()[(96 + 7 * z) % 96] * 255 / 256) << z;
    }
}

// The brightness of each zone, level 4 (255), after every step of a running light.
std::vector<std::vector<int>> runSteps(int steps, bool columns, uint8_t fx)
{
    light::LightPreview out(pad::kZones);
    pad::PadEffects e;
    const LightInfoRecord s = state(columns ? 7 : 6, fx);
    std::vector<std::vector<int>> frames;
    for (int i = 0; i < steps; ++i) {
        columns ? e.stepRunningColumns(s, out) : e.stepRunningZones(s, out);
        std::vector<int> f;
        for (int z = 0; z < pad::kZones; ++z)
            f.push_back(brightnessOf(out.zone(z)));
        frames.push_back(f);
    }
    return frames;
}

int lit(uint8_t reactive) { return reactive * 255 / 256; }

TEST(PadEffects, TheRunningLightLightsAZoneEverySecondStepAndItFadesByTheLadder)
{
    const auto f = runSteps(6, false, 1);
    struct Expect {
        int step;
        std::vector<std::pair<int, int>> zones; // zone, brightness; every other zone is dark
    };
    const Expect expected[] = {
        {0, {}},                                    // the first step moves nothing
        {1, {{0, lit(215)}}},                       // zone 0 lit, fading at once by 40
        {2, {{0, lit(175)}}},
        {3, {{0, lit(135)}, {1, lit(215)}}},        // the pulse moved to zone 1
        {4, {{0, lit(95)}, {1, lit(175)}}},
        {5, {{0, lit(65)}, {1, lit(135)}, {2, lit(215)}}}, // 95 - 30
    };
    for (const Expect& e : expected)
        for (int z = 0; z < pad::kZones; ++z) {
            int want = 0;
            for (auto [zone, b] : e.zones)
                if (zone == z)
                    want = b;
            EXPECT_EQ(f[size_t(e.step)][size_t(z)], want) << "step " << e.step + 1 << " zone " << z;
        }
    // Fading from full: 255 215 175 135 95 65 35 25 17 9 8 … by 40, 30, 10, 8, then 1.
    const uint8_t ladder[] = {255, 215, 175, 135, 95, 65, 35, 25, 17, 9, 8, 7};
    for (size_t i = 0; i + 1 < std::size(ladder); ++i)
        EXPECT_EQ(pad::runningDecay(ladder[i]), ladder[i + 1]) << int(ladder[i]);
    EXPECT_EQ(pad::runningDecay(0), 0);
}

TEST(PadEffects, BackwardsThePulseCrossesTheEightDarkPositionsAndComesBackAtTheLastZone)
{
    const auto f = runSteps(20, false, 0);
    // Step 2 lights zone 0, then the pulse runs down through ring positions 22 … 15, which light
    // nothing, and reaches zone 14 at the tenth firing (step 20).
    for (int step = 3; step < 19; ++step)
        for (int z = 1; z < pad::kZones; ++z)
            EXPECT_EQ(f[size_t(step)][size_t(z)], 0) << "step " << step + 1 << " zone " << z;
    EXPECT_EQ(f[19][14], lit(215));
    EXPECT_EQ(f[19][13], 0);
}

TEST(PadEffects, TheColumnRunningLightLightsBothZonesOfAColumnAndLeavesZone0Dark)
{
    struct Case {
        uint8_t fx;
        std::array<int, 2> second; // the column the second firing lights
    };
    // Direction cleared: towards the higher columns; set: down, through position 7 (no column)
    // to column 6.
    const Case cases[] = {{0, {2, 13}}, {1, {7, 8}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.fx));
        const int step = c.fx ? 5 : 3; // backwards the firing at position 7 lights nothing
        const auto f = runSteps(step + 1, true, c.fx);
        EXPECT_EQ(f[1][1], lit(215));
        EXPECT_EQ(f[1][14], lit(215)) << "column 0 is zones 1 and 14";
        EXPECT_EQ(f[size_t(step)][size_t(c.second[0])], lit(215));
        EXPECT_EQ(f[size_t(step)][size_t(c.second[1])], lit(215));
        for (const auto& frame : f)
            EXPECT_EQ(frame[0], 0) << "zone 0 is in no column";
    }
    // Forwards the pulse comes round to column 0 after eight firings.
    const auto round = runSteps(18, true, 0);
    EXPECT_EQ(round[17][1], lit(215));
    EXPECT_EQ(round[15][7], lit(135)) << "column 6 was lit at the seventh firing";
}

std::vector<Rgb> coloursOf(const light::LightPreview& out)
{
    std::vector<Rgb> c;
    for (int z = 1; z < pad::kZones; ++z)
        c.push_back(colourOf(out.zone(z)));
    return c;
}

TEST(PadEffects, MultiColouredTheZonesKeepTheirColoursWhileTheEnteringZoneIsLit)
{
    light::LightPreview out(pad::kZones);
    pad::PadEffects e;
    const LightInfoRecord s = state(6, 1, 1);
    e.stepRunningZones(s, out); // zone 0 not lit yet: the zones take new colours
    const auto first = coloursOf(out);
    int held = 0;
    for (;;) {
        e.stepRunningZones(s, out);
        if (e.reactive(0) == 0)
            break;
        EXPECT_EQ(coloursOf(out), first) << "while zone 0 is lit";
        ++held;
    }
    EXPECT_GT(held, 5);
    e.stepRunningZones(s, out);
    EXPECT_NE(coloursOf(out), first) << "dark again, the next colours come";
}

TEST(PadEffects, MultiColouredTheColumnsKeepTheColoursOfTheirFirstStep)
{
    // Column 0 holds the colours while it is lit, and the pulse comes round to it again (every
    // sixteen steps) before it has faded: the columns keep the colours they took at the first step.
    for (uint8_t dir : {0, 1}) {
        SCOPED_TRACE(int(dir));
        light::LightPreview out(pad::kZones);
        pad::PadEffects e;
        const LightInfoRecord s = state(7, dir, 1);
        e.stepRunningColumns(s, out);
        const auto first = coloursOf(out);
        EXPECT_NE(first[0], first[1]) << "each column its own colour";
        for (int i = 0; i < 40; ++i) {
            e.stepRunningColumns(s, out);
            ASSERT_GT(e.reactive(0), 0) << "step " << i + 2;
            EXPECT_EQ(coloursOf(out), first) << "step " << i + 2;
        }
    }
}

TEST(PadEffects, ZonesOfTheListBreatheBlinkOrCycleOverTheEffect)
{
    auto zone = [](uint8_t mode, uint8_t multi = 0) {
        LedZoneRecord r;
        r.mode = mode;
        r.brightness = 4;
        r.speed = 4; // threshold 7: blink every 1.4 s, a colour step every 7 passes
        r.multiColor = multi;
        r.red = 200;
        r.present = 1;
        return r;
    };
    std::vector<LedZoneRecord> list(pad::kZones);
    list[1] = zone(0);
    list[2] = zone(2);
    list[3] = zone(3);
    list[4] = zone(1); // mode 1: the effect's colour stays
    pad::PadEffects e;
    light::LightPreview out(pad::kZones);
    EXPECT_FALSE(e.zonesAnimated());
    e.setZoneList(list);
    EXPECT_TRUE(e.zonesAnimated());
    for (int z = 0; z < pad::kZones; ++z)
        out.setZone(z, light::pack(1, 2, 3, 99));

    e.applyZoneList(out, 10'000);
    EXPECT_EQ(brightnessOf(out.zone(1)), light::curveA()[8] * 255 / 256) << "breathing: speed 4 + 4 a pass";
    EXPECT_EQ(colourOf(out.zone(1)), (Rgb{200, 0, 0}));
    EXPECT_EQ(brightnessOf(out.zone(2)), 255) << "blink: on at the first pass";
    EXPECT_EQ(colourOf(out.zone(3)), light::wheel()[0]);
    EXPECT_EQ(out.zone(4), light::pack(1, 2, 3, 99));
    EXPECT_EQ(out.zone(0), light::pack(1, 2, 3, 99)) << "not present";

    for (int i = 0; i < 6; ++i)
        e.applyZoneList(out, 10'000 + i);
    EXPECT_EQ(colourOf(out.zone(3)), light::wheel()[1]) << "the seventh pass steps the colour";
    e.applyZoneList(out, 11'399);
    EXPECT_EQ(brightnessOf(out.zone(2)), 255);
    e.applyZoneList(out, 11'400);
    EXPECT_EQ(brightnessOf(out.zone(2)), 0) << "off after the half period";
    // A new list restarts the zones.
    e.setZoneList({});
    EXPECT_FALSE(e.zonesAnimated());
}

} // namespace
} // namespace q9
