#include "profile/BasicProfiledata.h"
#include "profile/JsonFile.h"
#include "profile/LightConfig.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

using test::TempFolder;

// A profile folder with a custom light list, as the device object points the document at it.
class CustomLightTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.write("kelda_light.config", R"({"LightInfo": [[
            {"LightName": "Sunrise", "Guid": "abc"},
            {"LightName": "Missing", "Guid": "gone"},
            {"LightName": "Elsewhere", "Guid": "sub/abc"},
            {"LightName": "Nameless"}]]})");
        dir.write("abc.light", R"({"LEDEffectList": [
            {"LEDREGMode": 4, "LEDBrightness": 3, "LEDSpeed": 2, "LEDDirection": 1, "LEDMultiColor": 1,
             "red": 300, "green": 20, "blue": 30, "Time": 1500, "Cyle": 2},
            {"LEDREGMode": 1, "red": 255, "Time": 700}]})");
        doc.SetLightConfigPath(dir.wide("kelda_light.config"));
    }
    std::vector<CustomEffectRecord> effectsOfMode(uint8_t selectItem)
    {
        LightInfoRecord light;
        light.selectItem = selectItem;
        doc.SetLightInfo(light);
        doc.LoadLightConfig(doc.GetLightConfigPath());
        return doc.GetCustomEffects();
    }

    TempFolder dir;
    CBasicProfiledata doc;
};

TEST_F(CustomLightTest, TheSelectedLightsEffectFileIsReadBesideTheList)
{
    const auto steps = effectsOfMode(0);
    ASSERT_EQ(steps.size(), 2u);
    EXPECT_EQ(steps[0].mode, 4);
    EXPECT_EQ(steps[0].brightness, 3);
    EXPECT_EQ(steps[0].speed, 2);
    EXPECT_EQ(steps[0].direction, 1);
    EXPECT_EQ(steps[0].multiColor, 1);
    EXPECT_EQ(steps[0].red, 255); // held, not wrapped
    EXPECT_EQ(steps[0].green, 20);
    EXPECT_EQ(steps[0].blue, 30);
    EXPECT_EQ(steps[0].time, 1500);
    EXPECT_EQ(steps[0].cycle, 2);
    EXPECT_EQ(steps[1].red, 255);
    EXPECT_EQ(steps[1].time, 700);
    EXPECT_EQ(steps[1].cycle, 0); // no "Cyle"
}

TEST_F(CustomLightTest, NoListNoFileNoGuidOrAGuidWithAFolderGiveNoSteps)
{
    EXPECT_TRUE(effectsOfMode(1).empty()); // gone.light does not exist

    std::filesystem::create_directory(dir / "sub");
    dir.write("sub/abc.light", R"({"LEDEffectList": [{"LEDREGMode": 1}]})");
    EXPECT_TRUE(effectsOfMode(2).empty()); // a list entry cannot point into other folders
    EXPECT_TRUE(effectsOfMode(3).empty());
    EXPECT_TRUE(effectsOfMode(9).empty()); // no such entry

    std::filesystem::remove(dir / "kelda_light.config");
    EXPECT_TRUE(effectsOfMode(0).empty());
}

TEST(DefaultLightNamesTest, ModesAndAreasOfOneDeviceType)
{
    TempFolder dir;
    dir.write("default_light.json", R"({
        "DefaultLightName": [
            [{"LightName": "k0", "visible": true, "value": 0}],
            [{"LightName": "light_mode_static", "visible": true, "value": 0},
             {"LightName": "light_mode_custom", "visible": false, "value": 9},
             {"LightName": "caf\u00e9", "visible": 1, "value": 30}]],
        "AreaLightName": [[], [{"LightName": "logo"}], [], [{"LightName": "left_ear"}, {"LightName": "right_ear"}]]})");

    const DefaultLightNames mouse = ReadDefaultLightNames(dir.wide("default_light.json"), 1);
    EXPECT_EQ(mouse.modeNames, (std::vector<std::wstring>{L"light_mode_static", L"light_mode_custom", L"café"}));
    EXPECT_EQ(mouse.modeVisible, (std::vector<uint8_t>{1, 0, 1}));
    EXPECT_EQ(mouse.modeCodes, (std::vector<int>{0, 9, 30}));
    EXPECT_EQ(mouse.areaNames, std::vector<std::wstring>{L"logo"});

    // No mode list for the headset: its area names are still read.
    const DefaultLightNames headset = ReadDefaultLightNames(dir.wide("default_light.json"), 3);
    EXPECT_TRUE(headset.modeNames.empty());
    EXPECT_EQ(headset.areaNames, (std::vector<std::wstring>{L"left_ear", L"right_ear"}));

    EXPECT_TRUE(ReadDefaultLightNames(dir.wide("default_light.json"), -1).modeNames.empty());
    EXPECT_TRUE(ReadDefaultLightNames(dir.wide("missing.json"), 1).modeNames.empty());
}

TEST(CustomLightNamesTest, NamesOfTheListAtTheLightIndex)
{
    TempFolder dir;
    dir.write("kelda_light.config", R"({"LightInfo": [[{"LightName": "kb"}], null, [{"LightName": "a"}, {"Guid": "x"}]]})");
    EXPECT_EQ(ReadCustomLightNames(dir.wide("kelda_light.config"), 0), std::vector<std::wstring>{L"kb"});
    EXPECT_TRUE(ReadCustomLightNames(dir.wide("kelda_light.config"), 1).empty());
    EXPECT_EQ(ReadCustomLightNames(dir.wide("kelda_light.config"), 2), (std::vector<std::wstring>{L"a", L""}));
    EXPECT_TRUE(ReadCustomLightNames(dir.wide("missing.config"), 0).empty());
}

} // namespace
} // namespace q9
