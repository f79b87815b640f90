#include "profile/Hx4120Profiledata.h"
#include "profile/JsonFile.h"
#include "profile/KeyboardProfiledata.h"
#include "profile/MouseProfiledata.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>

namespace q9 {
namespace {

using test::TempFolder;

Json::Value parse(const std::string& text)
{
    Json::Value v = ParseJsonText(text);
    EXPECT_FALSE(v.isNull()) << text;
    return v;
}

// A document of one device class loaded with a profile whose section is given as JSON text.
template <class Document>
class SectionTest : public testing::Test {
protected:
    void load(const std::string& section)
    {
        Json::Value root;
        root["Device"].append(parse(section));
        ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), root), 0);
        doc.SetProfilePath(dir.wide("p.Json"));
        doc.LoadDeviceSection(doc.GetProfilePath());
    }
    Json::Value saved()
    {
        EXPECT_TRUE(doc.Save());
        return ReadJsonFile(dir.wide("p.Json"))["Device"][0];
    }

    TempFolder dir;
    Document doc;
};

using MouseSectionTest = SectionTest<CMouseProfiledata>;
using KeyboardSectionTest = SectionTest<CKeyboardProfiledata>;
using HeadsetSectionTest = SectionTest<CHx4120Profiledata>;

std::string stagesJson(int count, int firstStep)
{
    std::string s = R"({"DPIStages": {"StageActive": 1, "StageDPIs": [)";
    for (int i = 0; i < count; ++i)
        s += std::string(i ? "," : "") + R"({"StageActive": 1, "StageXY": 0, "StageDPIX": )" + std::to_string(firstStep + i)
             + R"(, "StageDPIY": )" + std::to_string(firstStep + i) + R"(, "StageColorR": 255, "StageColorG": 0, "StageColorB": 0})";
    return s + "]}}";
}

// A profile's stages are its own: a shorter list does not inherit the stages of the profile
// read before it.
TEST_F(MouseSectionTest, AShorterProfileHasOnlyItsOwnStages)
{
    load(stagesJson(5, 10));
    ASSERT_EQ(doc.GetDpiStages().size(), 5u);

    load(stagesJson(4, 40));
    const auto stages = doc.GetDpiStages();
    ASSERT_EQ(stages.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(stages[i].dpiX, 40 + i);
}

TEST_F(MouseSectionTest, AnActiveStageWithoutStageListKeepsTheStages)
{
    load(stagesJson(3, 10));
    const auto before = doc.GetDpiStages();
    load(R"({"DPIStages": {"StageActive": 2}})");
    EXPECT_EQ(doc.GetDpiStages(), before);
    EXPECT_EQ(doc.GetCurrentDpiStage(), 2);
}

TEST_F(MouseSectionTest, SetDpiStagesWritesItsStagesAndLeavesTheRest)
{
    load(stagesJson(7, 10));
    DpiStage stage{1, 1, 70000 & 0xFFFF, 5, 1, 2, 3};
    doc.SetDpiStages({stage, stage});
    doc.SetCurrentDpiStage(1);
    const Json::Value section = saved();
    const Json::Value& stored = section["DPIStages"]["StageDPIs"];
    ASSERT_EQ(stored.size(), 7u);
    EXPECT_EQ(stored[1], parse(R"({"StageActive": 1, "StageXY": 1, "StageDPIX": 4464, "StageDPIY": 5,
                                  "StageColorR": 1, "StageColorG": 2, "StageColorB": 3})"));
    EXPECT_EQ(stored[2]["StageDPIX"].asInt(), 12);
    EXPECT_EQ(section["DPIStages"]["StageActive"].asInt(), 1);

    load(section.toStyledString());
    const auto back = doc.GetDpiStages();
    EXPECT_EQ(back[0], stage);
    EXPECT_EQ(back[6].dpiX, 16);
}

TEST_F(MouseSectionTest, ReportOptionsAreReadOnlyWithThePointerOptions)
{
    load(R"({"ReportStages": {"StageActive": 3, "Ripple": 1, "key_debounce_time": 4}})");
    EXPECT_EQ(doc.GetMouseSystem(), MouseSystemRecord{});

    MouseSystemRecord r{500, 10, 1, 0, 3, 3, 1, 1, 1, 0, 2, 5, 2, 5, 4};
    doc.SetMouseSystem(r);
    const Json::Value section = saved();
    EXPECT_EQ(section["SystemStages"].size(), 5u);
    EXPECT_EQ(section["ReportStages"].size(), 9u); // the reserved field is not stored
    EXPECT_EQ(section["SystemStages"]["WheelScorlllinse"].asInt(), 3);
    EXPECT_EQ(section["ReportStages"]["device_sleep2"].asInt(), 5);
    load(section.toStyledString());
    EXPECT_EQ(doc.GetMouseSystem(), r);
}

TEST_F(KeyboardSectionTest, ReadingAGroupThatIsNotThereCreatesItWithZeroColours)
{
    load(R"({"LightInfo": {}})");
    const auto colors = doc.GetKeyColors(3, 170);
    ASSERT_EQ(colors.size(), 170u);
    for (const KeyColor& c : colors)
        EXPECT_EQ(c, KeyColor{});

    const Json::Value groups = saved()["CustomLightMode"]["LightColorInfo"];
    ASSERT_EQ(groups.size(), 4u);
    for (int g = 0; g < 3; ++g)
        EXPECT_TRUE(groups[g].isNull()) << g;
    ASSERT_EQ(groups[3].size(), 170u);
    EXPECT_EQ(groups[3][169], parse(R"({"Red": 0, "Green": 0, "Blue": 0, "Alpha": 0})"));
}

TEST_F(KeyboardSectionTest, StoredColoursAreReadAndMissingEntriesFilled)
{
    load(R"({"CustomLightMode": {"CustomLightModeGroupIndex": 1, "LightColorInfo": [null,
            [{"Red": 1, "Green": 2, "Blue": 3, "Alpha": 4}, null, {"Red": 511}]]}})");
    EXPECT_EQ(doc.GetColorGroupIndex(), 1);
    const auto colors = doc.GetKeyColors(1, 4);
    EXPECT_EQ(colors, (std::vector<KeyColor>{{1, 2, 3, 4}, {}, {255, 0, 0, 0}, {}}));
    const Json::Value group = doc.DeviceSection()["CustomLightMode"]["LightColorInfo"][1];
    ASSERT_EQ(group.size(), 4u);
    EXPECT_EQ(group[1]["Alpha"], Json::Value(0));
    EXPECT_EQ(group[3]["Red"], Json::Value(0));

    std::vector<KeyColor> mine(4, KeyColor{9, 8, 7, 4});
    doc.SetKeyColors(mine, 2);
    doc.SetColorGroupIndex(2);
    load(saved().toStyledString());
    EXPECT_EQ(doc.GetKeyColors(2, 4), mine);
    EXPECT_EQ(doc.GetColorGroupIndex(), 2);
}

TEST_F(KeyboardSectionTest, AGroupIndexFarOutsideIsRefusedInsteadOfFillingMemory)
{
    load(R"({"CustomLightMode": {"CustomLightModeGroupIndex": 2000000000}})");
    const Json::Value before = doc.DeviceSection();
    for (const int group : {doc.GetColorGroupIndex(), -1, INT_MIN, kMaxStoredGroup}) {
        const auto colors = doc.GetKeyColors(group, 170);
        EXPECT_EQ(colors, std::vector<KeyColor>(170)) << group;
        doc.SetKeyColors(colors, group);
    }
    EXPECT_EQ(doc.DeviceSection(), before);
    EXPECT_EQ(doc.GetKeyColors(0, 0), std::vector<KeyColor>{});
    EXPECT_EQ(doc.GetKeyColors(0, -5), std::vector<KeyColor>{});
    EXPECT_EQ(doc.DeviceSection(), before);
}

TEST_F(KeyboardSectionTest, TypingOptionsRoundTripAndReadZeroWhenMissing)
{
    load(R"({"LightInfo": {}})");
    EXPECT_EQ(doc.GetKeyboardSystem(), KeyboardSystemRecord{});
    const KeyboardSystemRecord r{31, 1, 1, 3, 0, 1};
    doc.SetKeyboardSystem(r);
    load(saved().toStyledString());
    EXPECT_EQ(doc.GetKeyboardSystem(), r);
}

std::string eqCurvesJson()
{
    // Curve t holds band values t*100 + band, so each read shows which curve it came from.
    std::string s = R"({"EQHzValueInfo": [null)";
    for (int t = 1; t <= 12; ++t) {
        s += ",[";
        for (int b = 0; b < 10; ++b)
            s += (b ? "," : "") + std::string(R"({"value": )") + std::to_string(t * 100 + b) + "}";
        s += "]";
    }
    return s + "]}";
}

TEST_F(HeadsetSectionTest, EqualiserTypesMapToTheirPresetSlot)
{
    load(eqCurvesJson());
    const std::pair<int, int> cases[] = {{1, 1}, {5, 5}, {12, 12}, {0, 1}, {14, 1}, {1000, 1}, {-1, 1}, {INT_MIN, 1}};
    for (const auto& [type, slot] : cases) {
        const auto values = doc.GetEqValues(type);
        ASSERT_EQ(values.size(), 10u) << type;
        EXPECT_EQ(values[0], slot * 100) << type;
        EXPECT_EQ(values[9], slot * 100 + 9) << type;
    }

    const Json::Value before = doc.DeviceSection();
    EXPECT_TRUE(doc.GetEqValues(kCustomEqType).empty());
    doc.SetEqValues(kCustomEqType, std::vector<int>(10, 7));
    EXPECT_EQ(doc.DeviceSection(), before); // type 13 has no preset slot

    doc.SetEqValues(0, {-1, -2, -3, -4, -5, -6, -7, -8, -9, -10});
    EXPECT_EQ(doc.GetEqValues(1), (std::vector<int>{-1, -2, -3, -4, -5, -6, -7, -8, -9, -10}));
}

TEST_F(HeadsetSectionTest, ReadingAMissingPresetStoresTenZeroBands)
{
    load(R"({"SystemSetStages": {"EqType": 5}})");
    EXPECT_EQ(doc.GetEqValues(5), std::vector<int>(10, 0));
    const Json::Value curves = saved()["EQHzValueInfo"];
    ASSERT_EQ(curves.size(), 6u);
    for (int t = 0; t < 5; ++t)
        EXPECT_TRUE(curves[t].isNull()) << t;
    ASSERT_EQ(curves[5].size(), 10u);
    for (const Json::Value& band : curves[5])
        EXPECT_EQ(band, parse(R"({"value": 0})"));
}

TEST_F(HeadsetSectionTest, CustomEqualisersKeepNamesAndBandsPaired)
{
    load(R"({"SystemSetStages": {}})");
    EXPECT_TRUE(doc.GetCustomEqNames().empty());
    doc.SetCustomEqNames({L"Bass", L"Stimme é"});
    doc.SetCustomEqValues(1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    load(saved().toStyledString());
    EXPECT_EQ(doc.GetCustomEqNames(), (std::vector<std::wstring>{L"Bass", L"Stimme é"}));
    EXPECT_EQ(doc.GetCustomEqValues(1), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(doc.GetCustomEqValues(0), std::vector<int>(10, 0)); // created by the read
    EXPECT_EQ(doc.DeviceSection()["CustomEQHzValueInfo"][0].size(), 10u);

    const Json::Value before = doc.DeviceSection();
    EXPECT_EQ(doc.GetCustomEqValues(-1), std::vector<int>(10, 0));
    EXPECT_EQ(doc.GetCustomEqValues(INT_MAX), std::vector<int>(10, 0));
    doc.SetCustomEqValues(INT_MAX, std::vector<int>(10, 1));
    EXPECT_EQ(doc.DeviceSection(), before);

    doc.SetCustomEqNames({});
    EXPECT_TRUE(saved()["CustomEQNameInfo"].isNull());
    EXPECT_TRUE(doc.DeviceSection().isMember("CustomEQNameInfo"));
}

TEST_F(HeadsetSectionTest, HeadsetOptionsRoundTripAndReadZeroWhenMissing)
{
    load(R"({"LightInfo": {}})");
    EXPECT_EQ(doc.GetHeadsetSystem(), HeadsetSystemRecord{});
    const HeadsetSystemRecord r{1, 3, 13, 2, 1, 80, 0, 50};
    doc.SetHeadsetSystem(r);
    const Json::Value section = saved();
    EXPECT_EQ(section["SystemSetStages"]["CustomEqSeletIndex"].asInt(), 2);
    EXPECT_EQ(section["SystemSetStages"]["MicMoniterValue"].asInt(), 50);
    load(section.toStyledString());
    EXPECT_EQ(doc.GetHeadsetSystem(), r);
}

} // namespace
} // namespace q9
