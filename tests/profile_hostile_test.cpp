// Imported and hand-edited profiles may hold anything. jsoncpp's own accessors throw on values of
// the wrong type; the documents must read such values as zeros, write over them, and never throw.
#include "profile/Hx4120Profiledata.h"
#include "profile/JsonFile.h"
#include "profile/KeyboardProfiledata.h"
#include "profile/MouseProfiledata.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>

namespace q9 {
namespace {

using test::TempFolder;

struct HostileCase {
    const char* name;
    const char* section;
    size_t keys;           // entries the key list still has
    size_t zones;          // entries the light list still has; only the last is an object
    size_t stages;         // DPI stages
    size_t customEqNames;  // user-defined equaliser names (each read as empty)
};
void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }

const HostileCase kHostileCases[] = {
    {"ContainersOfTheWrongType",
     R"({"KeyList": "abc", "LightInfo": [1, 2], "AudioLightInfo": 7, "LightList": {"a": {}},
         "DPIStages": "x", "SystemStages": [1], "ReportStages": 3, "CustomLightMode": "x",
         "SystemSetStages": true, "EQHzValueInfo": {"1": 2}, "CustomEQNameInfo": 5,
         "CustomEQHzValueInfo": "s"})",
     0, 0, 0, 0},
    {"LeavesOfTheWrongType",
     R"({"KeyList": [{"Assignment": "5", "DefaultAssignment": [1]}, 7],
         "LightInfo": {"SelectItem": "3", "Light": {}, "MultiColor": "yes", "Red": "1e300", "Green": [-1], "Blue": null},
         "AudioLightInfo": {"AudioMode": [], "7ColorFlags": "true", "ColorTypeFlags": {}},
         "LightList": [5, "zone", {"LEDREGMode": "2", "red": {"v": 4294967295}, "LEDDirection": "on"}],
         "DPIStages": {"StageActive": "2", "StageDPIs": [{"StageDPIX": "800"}, null, 3]},
         "SystemStages": {"DoubleClickTime": "500"}, "ReportStages": {"StageActive": {}},
         "CustomLightMode": {"CustomLightModeGroupIndex": "1", "LightColorInfo": "none"},
         "SystemSetStages": {"EqType": [13], "MicInValue": "80"},
         "EQHzValueInfo": [null, [{"value": "3"}, 5, null]],
         "CustomEQNameInfo": [{"Name": 5}, "x", {"Name": ["a"]}],
         "CustomEQHzValueInfo": [{"value": 1}]})",
     2, 3, 3, 3},
};

class HostileSectionTest : public testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override
    {
        Json::Value root;
        root["Device"].append(ParseJsonText(GetParam().section));
        ASSERT_TRUE(root["Device"][0].isObject());
        ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), root), 0);
        for (CBasicProfiledata* doc : docs()) {
            doc->SetProfilePath(dir.wide("p.Json"));
            doc->LoadDeviceSection(doc->GetProfilePath());
        }
    }
    std::vector<CBasicProfiledata*> docs() { return {&mouse, &keyboard, &headset}; }

    TempFolder dir;
    CMouseProfiledata mouse;
    CKeyboardProfiledata keyboard;
    CHx4120Profiledata headset;
};

INSTANTIATE_TEST_SUITE_P(Sections, HostileSectionTest, testing::ValuesIn(kHostileCases),
                         [](const auto& p) { return std::string(p.param.name); });

TEST_P(HostileSectionTest, EveryValueReadsAsZeroOrEmpty)
{
    const HostileCase& c = GetParam();
    for (CBasicProfiledata* doc : docs()) {
        const auto keys = doc->GetKeyList();
        ASSERT_EQ(keys.size(), c.keys);
        for (const KeyEntry& k : keys) {
            EXPECT_EQ(k.current, KeyAction{});
            EXPECT_EQ(k.defaults, KeyAction{});
        }
        EXPECT_EQ(doc->GetLightInfo(), LightInfoRecord{});
        EXPECT_EQ(doc->GetAudioLightInfo(), AudioLightRecord{});
        const auto zones = doc->GetLightList();
        ASSERT_EQ(zones.size(), c.zones);
        for (size_t i = 0; i < zones.size(); ++i) {
            LedZoneRecord expected;
            expected.present = i + 1 == zones.size() ? 1 : 0; // only objects count as zones
            EXPECT_EQ(zones[i], expected) << i;
        }
    }

    const auto stages = mouse.GetDpiStages();
    ASSERT_EQ(stages.size(), c.stages);
    for (const DpiStage& s : stages)
        EXPECT_EQ(s, DpiStage{});
    EXPECT_EQ(mouse.GetCurrentDpiStage(), 0);
    EXPECT_EQ(mouse.GetMouseSystem(), MouseSystemRecord{});

    EXPECT_EQ(keyboard.GetKeyboardSystem(), KeyboardSystemRecord{});
    EXPECT_EQ(keyboard.GetColorGroupIndex(), 0);
    EXPECT_EQ(keyboard.GetKeyColors(1, 4), std::vector<KeyColor>(4));

    EXPECT_EQ(headset.GetHeadsetSystem(), HeadsetSystemRecord{});
    EXPECT_EQ(headset.GetEqValues(1), std::vector<int>(10, 0));
    EXPECT_EQ(headset.GetCustomEqNames(), std::vector<std::wstring>(c.customEqNames));
    EXPECT_EQ(headset.GetCustomEqValues(0), std::vector<int>(10, 0));
}

// Setters write over values of the wrong type; what they set is read back after a save.
TEST_P(HostileSectionTest, SettersReplaceWrongTypesAndTheirValuesComeBack)
{
    std::vector<KeyEntry> keys(2);
    keys[1].current = KeyAction{1, 0x10, 0x02, 0x00};
    const LightInfoRecord light{3, 4, 2, 1, 1, 10, 20, 30, {}, 1, 2, 3};
    const AudioLightRecord audio{2, 1, 2, 3, 4, 5, 6, 1, 1};
    const std::vector<DpiStage> stages{{1, 0, 7, 7, 255, 0, 0}, {1, 0, 15, 15, 0, 255, 0}};
    const MouseSystemRecord mouseSystem{500, 10, 1, 0, 3, 3, 0, 1, 0, 0, 2, 5, 2, 5, 2};
    const KeyboardSystemRecord keyboardSystem{31, 1, 0, 3, 1, 0};
    const std::vector<KeyColor> colors(3, KeyColor{255, 128, 0, 4});
    const HeadsetSystemRecord headsetSystem{1, 2, 13, 0, 1, 80, 0, 50};
    const std::vector<int> bands{1, -2, 3, -4, 5, -6, 7, -8, 9, -10};

    mouse.SetKeyList(keys);
    mouse.SetLightInfo(light);
    mouse.SetAudioLightInfo(audio);
    mouse.SetDpiStages(stages);
    mouse.SetCurrentDpiStage(1);
    mouse.SetMouseSystem(mouseSystem);
    ASSERT_TRUE(mouse.Save());
    keyboard.LoadDeviceSection(dir.wide("p.Json"));
    keyboard.SetKeyboardSystem(keyboardSystem);
    keyboard.SetKeyColors(colors, 1);
    keyboard.SetColorGroupIndex(1);
    ASSERT_TRUE(keyboard.Save());
    headset.LoadDeviceSection(dir.wide("p.Json"));
    headset.SetHeadsetSystem(headsetSystem);
    headset.SetEqValues(3, bands);
    headset.SetCustomEqNames({L"mine"});
    headset.SetCustomEqValues(0, bands);
    ASSERT_TRUE(headset.Save());

    CMouseProfiledata m;
    CKeyboardProfiledata k;
    CHx4120Profiledata h;
    for (CBasicProfiledata* doc : std::initializer_list<CBasicProfiledata*>{&m, &k, &h})
        ASSERT_TRUE(doc->LoadDeviceSection(dir.wide("p.Json")).isObject());
    const auto readKeys = m.GetKeyList();
    ASSERT_EQ(readKeys.size(), 2u);
    EXPECT_EQ(readKeys[1].current, keys[1].current);
    EXPECT_EQ(m.GetLightInfo(), light);
    EXPECT_EQ(m.GetAudioLightInfo(), audio);
    const auto readStages = m.GetDpiStages();
    ASSERT_GE(readStages.size(), 2u);
    EXPECT_EQ(readStages[0], stages[0]);
    EXPECT_EQ(readStages[1], stages[1]);
    EXPECT_EQ(m.GetCurrentDpiStage(), 1);
    EXPECT_EQ(m.GetMouseSystem(), mouseSystem);
    EXPECT_EQ(k.GetKeyboardSystem(), keyboardSystem);
    EXPECT_EQ(k.GetColorGroupIndex(), 1);
    EXPECT_EQ(k.GetKeyColors(1, 3), colors);
    EXPECT_EQ(h.GetHeadsetSystem(), headsetSystem);
    EXPECT_EQ(h.GetEqValues(3), bands);
    EXPECT_EQ(h.GetCustomEqNames(), std::vector<std::wstring>{L"mine"});
    EXPECT_EQ(h.GetCustomEqValues(0), bands);
}

// A number outside a field's range is held at the nearest end of it, never wrapped: 999999 must not
// become 16959, nor -5 become 65531.
TEST(HostileValueTest, NumbersAreHeldToTheFieldsRange)
{
    struct Case {
        const char* json;
        uint16_t dpi;   // a u16 field
        uint8_t red;    // a u8 field
        int active;     // an int
    };
    const Case cases[] = {
        {"999999", 65535, 255, 999999},
        {"-5", 0, 0, -5},
        {"1e308", 65535, 255, INT_MAX},
        {"-1e308", 0, 0, INT_MIN},
        {"18446744073709551616", 65535, 255, INT_MAX}, // 2^64
        {"9223372036854775807", 65535, 255, INT_MAX},
        {"65537", 65535, 255, 65537},
        {"1.9", 1, 1, 1},
        {"true", 1, 1, 1},
        {"\"800\"", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.json);
        TempFolder dir;
        const std::string v = c.json;
        dir.write("p.Json", R"({"Device": [{"LightInfo": {"Red": )" + v + R"(},
            "DPIStages": {"StageActive": )" + v + R"(, "StageDPIs": [{"StageDPIX": )" + v + R"(, "StageDPIY": )" + v
                                + R"(, "StageColorR": )" + v + R"(}]},
            "ReportStages": {"key_debounce_time": )" + v + R"(}, "SystemStages": {"MouseSpeed": )" + v + R"(}}]})");
        CMouseProfiledata doc;
        doc.LoadDeviceSection(dir.wide("p.Json"));
        EXPECT_EQ(doc.GetLightInfo().red, c.red);
        const auto stages = doc.GetDpiStages();
        ASSERT_EQ(stages.size(), 1u);
        EXPECT_EQ(stages[0].dpiX, c.dpi);
        EXPECT_EQ(stages[0].dpiY, c.dpi);
        EXPECT_EQ(stages[0].red, c.red);
        EXPECT_EQ(doc.GetCurrentDpiStage(), c.active);
        EXPECT_EQ(doc.GetMouseSystem().keyDebounceTime, c.dpi);
        EXPECT_EQ(doc.GetMouseSystem().mouseSpeed, c.dpi);
    }
}

TEST(HostileValueTest, InvalidUtf8InNamesReadsWithReplacementsAndSavesAsValidJson)
{
    TempFolder dir;
    dir.write("p.Json", "{\"profilename\": \"ab\xff\", \"Device\": [{\"CustomEQNameInfo\": [{\"Name\": \"x\xfe\xfdy\"}]}]}");
    CHx4120Profiledata doc;
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());
    EXPECT_EQ(doc.GetCustomEqNames(), std::vector<std::wstring>{L"x\uFFFD\uFFFDy"});
    ASSERT_TRUE(doc.Save());
    const Json::Value saved = ReadJsonFile(dir.wide("p.Json"));
    ASSERT_TRUE(saved.isObject());
    EXPECT_EQ(Utf8ToWide(saved["profilename"].asString()), L"ab\uFFFD");
}

struct UnusableProfile {
    const char* name;
    std::string content;
};
void PrintTo(const UnusableProfile& c, std::ostream* os) { *os << c.name; }

class UnusableProfileTest : public testing::TestWithParam<UnusableProfile> {};

// A profile the reader refuses is repaired from the default section like a missing one, and its
// old content is kept beside it.
TEST_P(UnusableProfileTest, IsRepairedAndKeptAsBad)
{
    TempFolder dir;
    dir.write("default.Json", R"({"Device": [{"LightInfo": {"Light": 4}}]})");
    dir.write("p.Json", GetParam().content);
    CBasicProfiledata doc;
    doc.SetDefaultProfilePath(dir.wide("default.Json"));
    EXPECT_EQ(doc.LoadDeviceSection(dir.wide("p.Json"))["LightInfo"]["Light"].asInt(), 4);
    EXPECT_EQ(doc.GetLightInfo().light, 4);
    EXPECT_EQ(ReadJsonFile(dir.wide("p.Json"))["Device"][0]["LightInfo"]["Light"].asInt(), 4);
    EXPECT_EQ(dir.read("p.Json.bad"), GetParam().content);
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnusableProfileTest,
    testing::Values(
        UnusableProfile{"DeepNesting", "{\"Device\": " + std::string(50000, '[') + std::string(50000, ']') + "}"},
        UnusableProfile{"Huge", "{\"Device\": [{}], \"pad\": \"" + std::string(kMaxJsonFileBytes, 'x') + "\"}"},
        UnusableProfile{"Binary", std::string("\x00\x01\xff\xfe{", 5)},
        UnusableProfile{"ArrayRoot", "[{\"LightInfo\": {}}]"}),
    [](const auto& p) { return std::string(p.param.name); });

} // namespace
} // namespace q9
