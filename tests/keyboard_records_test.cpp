// The keyboard's settings record byte for byte, what a record read back gives, and the key maps
// built from its key and LED blocks.
#include "device/KeyboardLayout.h"
#include "device/KeyboardRecords.h"

#include <gtest/gtest.h>

#include <numeric>

namespace q9 {
namespace {

// The keyboard's effect codes: the row number, as in the default light names.
std::vector<int> codes()
{
    std::vector<int> c(31);
    std::iota(c.begin(), c.end(), 0);
    return c;
}

TEST(KeyboardRecord, EveryFieldLandsOnItsByte)
{
    LightInfoRecord light;
    light.selectItem = 12;
    light.light = 3;
    light.speed = 1;
    light.fx = 1;
    light.multiColor = 1;
    light.red = 0x11, light.green = 0x22, light.blue = 0x33;
    light.zzccLedMode = 2;
    light.customGroup = 4;
    KeyboardSystemRecord system;
    system.wFlag = 1;
    system.key6Flag = 1;
    system.winFlag = 0;
    system.pollingRate = 2;
    system.repeat = 30; // the desktop's, never sent
    const auto r = buildKeyboardRecord(light, system, codes(), 3);
    std::array<uint8_t, kKeyboardRecordSize> expected{};
    expected[0] = 3;
    expected[1] = 12;
    expected[2] = 3;
    expected[3] = 3; // 4 - speed
    expected[4] = 1;
    expected[5] = 1;
    expected[6] = 0x11, expected[7] = 0x22, expected[8] = 0x33;
    expected[18] = 2;
    expected[19] = 1;
    expected[20] = 1;
    expected[21] = 0;
    expected[22] = 2;
    expected[25] = 4;
    EXPECT_EQ(r, expected);
}

TEST(KeyboardRecord, EffectsAreSentAsTheirCodesAndHostDrivenOnesAs0xFE)
{
    std::vector<int> c = codes();
    c[7] = 0x40; // a list whose codes are not its rows
    const std::pair<uint8_t, uint8_t> cases[] = {{0, 0}, {6, 6}, {7, 0x40}, {28, 28}, {29, 0xFE}, {30, 0xFE}};
    for (auto [row, byte] : cases) {
        LightInfoRecord light;
        light.selectItem = row;
        EXPECT_EQ(buildKeyboardRecord(light, {}, c, 0)[1], byte) << int(row);
    }
    LightInfoRecord fast;
    fast.speed = 9; // held: never a wrapped byte
    fast.light = 7;
    const auto r = buildKeyboardRecord(fast, {}, c, 0);
    EXPECT_EQ(r[3], 0);
    EXPECT_EQ(r[2], 4);
}

TEST(KeyboardRecord, AReadRecordFindsTheRowOfItsCode)
{
    struct Case {
        uint8_t code;
        uint8_t before; // the row chosen before the read
        uint8_t row;
    };
    const Case cases[] = {
        {6, 1, 6},
        {0xFE, 30, 30}, // host colour stays host colour
        {0xFE, 5, 29},  // otherwise the first host-driven row
        {0x77, 5, 5},   // a code no row has changes nothing
    };
    for (const Case& c : cases) {
        std::array<uint8_t, kKeyboardRecordSize> r{};
        r[1] = c.code;
        r[2] = 9;
        r[3] = 1;
        r[19] = 1, r[20] = 0, r[21] = 1, r[22] = 3, r[25] = 2, r[18] = 1;
        LightInfoRecord light;
        light.selectItem = c.before;
        KeyboardSystemRecord system;
        system.pollingRate = 1;
        takeKeyboardRecord(r.data(), codes(), light, system);
        EXPECT_EQ(light.selectItem, c.row) << int(c.code);
        EXPECT_EQ(light.light, 4);
        EXPECT_EQ(light.speed, 3);
        EXPECT_EQ(light.customGroup, 2);
        EXPECT_EQ(light.zzccLedMode, 1);
        EXPECT_EQ(system.wFlag, 1);
        EXPECT_EQ(system.winFlag, 1);
        EXPECT_EQ(system.pollingRate, 1) << "the report rate is not taken back";
    }
}

TEST(KeyboardKeyMaps, KeysAreFoundByTheirFactoryCodeAndMissingOnesHave255)
{
    const auto& factory = keyboard::factoryCodes();
    // A board with three keys, in its own order, and LEDs numbered its own way: Esc, A, and a key
    // the picture does not know.
    const uint8_t block[] = {0x20, 0x00, 0x04, 0x20, 0x00, 0x29, 0x20, 0x00, 0x99};
    const uint8_t leds[] = {40, 7, 3};
    const KeyboardKeyMaps maps = buildKeyboardKeyMaps(factory, block, leds, 3);
    const int a = 64, esc = 0, z = 85, none = 16;
    EXPECT_EQ(maps.deviceKey[a], 0);
    EXPECT_EQ(maps.led[a], 40);
    EXPECT_EQ(maps.deviceKey[esc], 1);
    EXPECT_EQ(maps.led[esc], 7);
    for (int k : {z, none, 125, 169}) {
        EXPECT_EQ(maps.deviceKey[size_t(k)], 255) << k;
        EXPECT_EQ(maps.led[size_t(k)], 255) << k;
    }
    // A key block shorter than it says is not read past its end.
    EXPECT_EQ(buildKeyboardKeyMaps(factory, block, leds, 1).deviceKey[esc], 255);
}

} // namespace
} // namespace q9
