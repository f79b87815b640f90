#include "device/MouseRecords.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

struct DpiCase {
    uint16_t sensor;
    int step, base;
    int s;
    int dpi;      // what step s shows
    int typed;    // a DPI typed in
    int backTo;   // the step it gives
};

struct SensorRange {
    uint16_t sensor;
    int step, base, maxStep;
};

// The sensors' ranges as their device information gives them (0x8925: 149 steps whatever it says).
constexpr SensorRange kSensors[] = {
    {0x3325, 100, 100, 73}, {0x8925, 0, 0, 149}, {0x3395, 50, 0, 520}, {0x3395, 100, 0, 260},
    {0x3104, 0, 0, 103},    {0x1234, 25, 50, 100},
};

TEST(MouseDpi, FormulasOfEverySensor)
{
    const DpiCase cases[] = {
        {0x3104, 0, 0, 0, 230, 300, 0},
        {0x3104, 0, 0, 1, 420, 500, 1},
        {0x3104, 0, 0, 7, 800, 800, 7},
        {0x3104, 0, 0, 28, 1600, 1600, 28},
        {0x3104, 0, 0, 49, 2400, 2400, 49},
        {0x3104, 0, 0, 20, 1292, 1292, 20},
        {0x3104, 0, 0, 60, 3200, 3200, 60},
        {0x3104, 0, 0, 70, 3952, 3952, 70},
        {0x3104, 0, 0, 103, 8000, 8000, 103},
        {0x3104, 0, 0, 83, 4960, 4960, 83},
        {0x8925, 0, 0, 0, 50, 30, 0},           // typed 30: the nearest is 50
        {0x8925, 0, 0, 99, 5000, 5000, 99},
        {0x8925, 0, 0, 149, 10000, 10000, 149},
        {0x8925, 0, 0, 149, 10000, 26000, 149}, // beyond the range: its end, not a wrapped step
        {0x3325, 100, 100, 10, 1100, 1100, 10},
        {0x3325, 100, 100, 48, 4900, 4900, 48},
        {0x3325, 100, 100, 49, 5100, 5100, 49},
        {0x3325, 100, 100, 48, 4900, 5000, 48}, // between two: the lower on a tie
        {0x3325, 100, 100, 73, 9900, 9900, 73},
        {0x3325, 100, 100, 73, 9900, 26000, 73},
        {0x3395, 50, 0, 2, 100, 80, 0},         // steps 0-2 all show 100
        {0x3395, 50, 0, 40, 2000, 2000, 40},
        {0x3395, 100, 0, 10, 1000, 1000, 10},
        {0x1234, 25, 50, 10, 300, 300, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.sensor << std::dec << " step " << c.s << " typed " << c.typed);
        int maxStep = 0;
        for (const SensorRange& r : kSensors)
            if (r.sensor == c.sensor && r.step == c.step)
                maxStep = r.maxStep;
        EXPECT_EQ(dpiFromStep(c.sensor, c.s, c.step, c.base), c.dpi);
        EXPECT_EQ(stepFromDpi(c.sensor, c.typed, c.step, c.base, maxStep), c.backTo);
    }
    // No step in the device information: no division, and still the nearest DPI.
    EXPECT_EQ(stepFromDpi(0x1234, 400, 0, 0, 100), 0);
    EXPECT_EQ(dpiFromStep(0x3325, stepFromDpi(0x3325, 400, 0, 0, 73), 0, 0), 400);
}

// Typing the DPI a step shows gives that DPI back, for every step of every sensor, and the step
// itself wherever no other step shows the same DPI.
TEST(MouseDpi, ShownDpiTypedBackIsTheSameForEveryStep)
{
    for (const SensorRange& r : kSensors) {
        for (int s = 0; s <= r.maxStep; ++s) {
            SCOPED_TRACE(testing::Message() << std::hex << r.sensor << std::dec << " step " << s);
            const int shown = dpiFromStep(r.sensor, s, r.step, r.base);
            const int back = stepFromDpi(r.sensor, shown, r.step, r.base, r.maxStep);
            EXPECT_EQ(dpiFromStep(r.sensor, back, r.step, r.base), shown);
            int sameDpi = 0;
            for (int t = 0; t <= r.maxStep; ++t)
                sameDpi += dpiFromStep(r.sensor, t, r.step, r.base) == shown ? 1 : 0;
            if (sameDpi == 1) {
                EXPECT_EQ(back, s);
            }
        }
    }
}

TEST(MouseRecord, EveryFieldInItsPlace)
{
    std::vector<DpiStage> stages(3);
    stages[0] = {1, 0, 0x0102, 0x0304, 10, 20, 30};
    stages[2] = {1, 1, 0x00AB, 0x00CD, 40, 50, 60};
    MouseSystemRecord sys;
    sys.reportRate = 4;
    sys.bleSleep1 = 1; sys.bleSleep2 = 2; sys.deviceSleep1 = 3; sys.deviceSleep2 = 4;
    sys.keyDebounceTime = 5; sys.silentAltitude = 1; sys.linearCalibration = 1; sys.ripple = 1;
    LightInfoRecord l;
    l.selectItem = 3; l.light = 2; l.speed = 1; l.fx = 1; l.multiColor = 1; l.red = 7; l.green = 8; l.blue = 9;
    const auto r = buildMouseRecord(stages, sys, 2, l, 0);
    const std::vector<std::pair<int, int>> expected = {
        {0, 0}, {1, 3}, {2, 2}, {3, 3}, {4, 1}, {5, 1}, {6, 7}, {7, 8}, {8, 9}, {9, 0}, {10, 0}, {11, 4}, {12, 2}, {13, 0},
        {14, 1}, {15, 0}, {16, 0x02}, {17, 0x01}, {18, 0x04}, {19, 0x03}, {20, 10}, {21, 20}, {22, 30},
        {23, 0}, {31, 0},                                    // stage 1 left at zero
        {32, 1}, {33, 1}, {34, 0xAB}, {35, 0}, {36, 0xCD}, {37, 0}, {38, 40}, {39, 50}, {40, 60},
        {41, 0}, {76, 0},                                    // stages beyond the list are zero
        {77, 1}, {78, 2}, {79, 3}, {80, 4}, {81, 5}, {82, 1}, {83, 1}, {84, 1}, {85, 0},
    };
    for (auto [at, v] : expected)
        EXPECT_EQ(r[size_t(at)], v) << "byte " << at;
    l.selectItem = 12; // effects from 12 on are sent as 0
    l.speed = 0;
    const auto r2 = buildMouseRecord(stages, sys, 0, l, 5);
    EXPECT_EQ(r2[1], 0);
    EXPECT_EQ(r2[3], 4);
    EXPECT_EQ(r2[0], 5);
}

// Values a hand-edited profile may hold, held to what the mouse accepts; unknown limits leave
// values alone.
TEST(MouseLimitsTest, ProfileValuesAreHeldToWhatTheMouseAccepts)
{
    struct Case {
        const char* name;
        MouseLimits limits;
        uint16_t dpiX, dpiY;
        uint16_t heldX, heldY;
    };
    MouseLimits steps73;
    steps73.step = {0, 73};
    MouseLimits paired;
    paired.pairedStepBytes = true;
    paired.step = {0, 149};
    const Case cases[] = {
        {"AboveTheSensor", steps73, 65535, 74, 73, 73},
        {"InRange", steps73, 40, 0, 40, 0},
        {"StepsNotYetKnown", MouseLimits{}, 65535, 999, 65535, 999},
        {"PairedBytesFromTheLowByte", paired, 0x42FA, 0x0505, 0x9595, 0x0505},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<DpiStage> stages(1);
        stages[0] = {1, 0, c.dpiX, c.dpiY, 1, 2, 3};
        int current = 0;
        MouseSystemRecord sys;
        LightInfoRecord light;
        const bool changed = clampMouseSettings(stages, current, sys, light, c.limits);
        EXPECT_EQ(stages[0].dpiX, c.heldX);
        EXPECT_EQ(stages[0].dpiY, c.heldY);
        EXPECT_EQ(changed, c.heldX != c.dpiX || c.heldY != c.dpiY);
    }

    MouseLimits l = steps73;
    l.debounce = {0, 7};
    l.bleSleep1 = l.bleSleep2 = l.deviceSleep1 = l.deviceSleep2 = {1, 6};
    std::vector<DpiStage> stages(3, DpiStage{9, 200, 5, 5, 0, 0, 0});
    int current = 12;
    MouseSystemRecord sys;
    sys.reportRate = 300;
    sys.silentAltitude = 2;
    sys.linearCalibration = 65535;
    sys.ripple = 1;
    sys.keyDebounceTime = 99;
    sys.bleSleep1 = 0;
    sys.deviceSleep2 = 77;
    sys.bleSleep2 = 3;
    LightInfoRecord light;
    light.speed = 9;
    EXPECT_TRUE(clampMouseSettings(stages, current, sys, light, l));
    EXPECT_EQ(stages[2].active, 1);
    EXPECT_EQ(stages[2].xy, 1);
    EXPECT_EQ(current, 2); // the last stage there is
    EXPECT_EQ(sys.reportRate, 4);
    EXPECT_EQ(sys.silentAltitude, 1);
    EXPECT_EQ(sys.linearCalibration, 1);
    EXPECT_EQ(sys.ripple, 1);
    EXPECT_EQ(sys.keyDebounceTime, 7);
    EXPECT_EQ(sys.bleSleep1, 1);
    EXPECT_EQ(sys.bleSleep2, 3);
    EXPECT_EQ(sys.deviceSleep2, 6);
    EXPECT_EQ(light.speed, 4);
    EXPECT_FALSE(clampMouseSettings(stages, current, sys, light, l)); // held values stay
}

// Without limits a u16 field is still never wrapped into its byte.
TEST(MouseRecord, WideValuesAreHeldAtTheByteNotWrapped)
{
    MouseSystemRecord sys;
    sys.reportRate = 260;
    sys.keyDebounceTime = 65535;
    LightInfoRecord l;
    l.speed = 200;
    const auto r = buildMouseRecord({}, sys, 300, l, 0);
    EXPECT_EQ(r[11], 255);
    EXPECT_EQ(r[81], 255);
    EXPECT_EQ(r[12], 255);
    EXPECT_EQ(r[3], 0);
}

TEST(SequenceImage, LayoutAndEventForm)
{
    Json::Value e;
    e["Delay"] = "300";
    e["Type"] = 10;
    e["Action"] = "down";
    e["Button"] = 4;
    EXPECT_EQ(encodeMacroEvent(e), (std::array<uint8_t, 4>{0x2C, 0x01, 0x8A, 4}));
    e["Delay"] = 70000; // an integer reads as its text; more than 16 bits is held at the top
    e["Action"] = "up";
    EXPECT_EQ(encodeMacroEvent(e), (std::array<uint8_t, 4>{0xFF, 0xFF, 10, 4}));
    e["Delay"] = "12ms";
    EXPECT_EQ(encodeMacroEvent(e)[0], 12);

    const std::vector<std::vector<std::array<uint8_t, 4>>> seqs = {{{1, 2, 3, 4}}, {}, {{5, 6, 7, 8}, {9, 10, 11, 12}}};
    const auto img = buildSequenceImage(seqs);
    const size_t total = 16 + 2 * 3 + (4 + 4) + 4 + (4 + 8);
    ASSERT_EQ(img.size(), total);
    EXPECT_EQ(img[0], 0xAA);
    EXPECT_EQ(img[1], 0x55);
    EXPECT_EQ(img[2], total);
    EXPECT_EQ(img[4], 3);
    const size_t first = 22;
    EXPECT_EQ(img[16], first);
    EXPECT_EQ(img[18], first + 8);
    EXPECT_EQ(img[20], first + 12);
    EXPECT_EQ(img[first], 1);          // event count
    EXPECT_EQ(img[first + 4], 1);      // the event
    EXPECT_EQ(img[first + 12 + 4 + 4], 9);
}

} // namespace
} // namespace q9
