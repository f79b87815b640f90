#include "profile/BasicProfiledata.h"
#include "profile/JsonFile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

using test::TempFolder;

Json::Value parse(const std::string& text)
{
    Json::Value v = ParseJsonText(text);
    EXPECT_FALSE(v.isNull()) << text;
    return v;
}

// A document pointed at a default profile in a temporary folder, as a device object sets it up.
class DocumentTest : public testing::Test {
protected:
    void SetUp() override
    {
        defaultSection = parse(R"({"KeyList": [{"Assignment": 1048832, "DefaultAssignment": 1048832}],
                                    "LightInfo": {"SelectItem": 3, "Light": 4}})");
        Json::Value root;
        root["Device"].append(defaultSection);
        ASSERT_EQ(WriteJsonFile(dir.wide("default.Json"), root), 0);
        doc.SetDefaultProfilePath(dir.wide("default.Json"));
        doc.SetDeviceIndex(0);
    }
    Json::Value file(const std::string& name) const { return ReadJsonFile(dir.wide(name)); }
    void writeFile(const std::string& name, const std::string& json) const
    {
        ASSERT_EQ(WriteJsonFile(dir.wide(name), parse(json)), 0);
    }

    TempFolder dir;
    Json::Value defaultSection;
    CBasicProfiledata doc;
};

TEST_F(DocumentTest, LoadingAMissingProfileCreatesItWithTheDefaultSection)
{
    EXPECT_EQ(doc.LoadDeviceSection(dir.wide("p.Json")), defaultSection);
    const Json::Value written = file("p.Json");
    EXPECT_EQ(written["Device"][0], defaultSection);
    EXPECT_EQ(written.getMemberNames(), std::vector<std::string>{"Device"});
}

struct RepairCase {
    const char* name;
    const char* profile;
};
void PrintTo(const RepairCase& c, std::ostream* os) { *os << c.name; }

class RepairTest : public DocumentTest, public testing::WithParamInterface<RepairCase> {};

// A profile without a usable section gets the default one written into it; its name, id and
// unknown members stay.
TEST_P(RepairTest, TheDefaultSectionIsWrittenIntoTheProfileAndItsOtherMembersStay)
{
    writeFile("p.Json", GetParam().profile);
    EXPECT_EQ(doc.LoadDeviceSection(dir.wide("p.Json")), defaultSection);
    const Json::Value written = file("p.Json");
    EXPECT_EQ(written["Device"][0], defaultSection);
    EXPECT_EQ(written["profilename"].asString(), "Mine");
    EXPECT_EQ(written["profileUUID"].asString(), "2024_03_05_14_07_09_031");
    EXPECT_EQ(written["future"].asInt(), 7);
    EXPECT_FALSE(dir.exists("p.Json.bad"));
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, RepairTest,
    testing::Values(
        RepairCase{"EmptyDeviceList", R"({"Device": [], "profilename": "Mine", "profileUUID": "2024_03_05_14_07_09_031", "future": 7})"},
        RepairCase{"NullSection", R"({"Device": [null], "profilename": "Mine", "profileUUID": "2024_03_05_14_07_09_031", "future": 7})"},
        RepairCase{"SectionNoObject", R"({"Device": [5], "profilename": "Mine", "profileUUID": "2024_03_05_14_07_09_031", "future": 7})"},
        RepairCase{"DeviceNoArray", R"({"Device": {"0": {}}, "profilename": "Mine", "profileUUID": "2024_03_05_14_07_09_031", "future": 7})"},
        RepairCase{"NoDevice", R"({"profilename": "Mine", "profileUUID": "2024_03_05_14_07_09_031", "future": 7})"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(DocumentTest, AProfileThatIsNoJsonIsKeptAsBadBeforeItIsRepaired)
{
    const std::string broken = "{ \"profilename\" : \"Mine\", \"Device\" : [ { \"KeyList\" : ";
    dir.write("p.Json", broken);
    EXPECT_EQ(doc.LoadDeviceSection(dir.wide("p.Json")), defaultSection);
    EXPECT_EQ(dir.read("p.Json.bad"), broken);
    EXPECT_EQ(file("p.Json")["Device"][0], defaultSection);
}

TEST_F(DocumentTest, EachUnreadableVersionIsKeptAndNoneReplacesAnother)
{
    const std::string first = "{ \"Device\" : [ 1, ", second = "not json at all";
    dir.write("p.Json", first);
    doc.LoadDeviceSection(dir.wide("p.Json"));
    dir.write("p.Json", second);
    doc.LoadDeviceSection(dir.wide("p.Json"));
    dir.write("p.Json", first); // the same content again: no second copy of it
    doc.LoadDeviceSection(dir.wide("p.Json"));
    EXPECT_EQ(dir.read("p.Json.bad"), first);
    EXPECT_EQ(dir.read("p.Json.1.bad"), second);
    EXPECT_FALSE(dir.exists("p.Json.2.bad"));
    // Bounded: after ten different versions the oldest copy gives way, nothing more is added.
    for (int i = 0; i < 12; ++i) {
        dir.write("p.Json", "broken " + std::to_string(i));
        doc.LoadDeviceSection(dir.wide("p.Json"));
    }
    EXPECT_TRUE(dir.exists("p.Json.9.bad"));
    EXPECT_FALSE(dir.exists("p.Json.10.bad"));
    EXPECT_EQ(dir.read("p.Json.1.bad").rfind("broken ", 0), 0u); // older copies were replaced, in order
}

TEST_F(DocumentTest, WithoutADefaultSectionNothingIsWrittenAndEverythingReadsEmpty)
{
    std::filesystem::remove(dir / "default.Json");
    EXPECT_TRUE(doc.LoadDeviceSection(dir.wide("missing.Json")).isNull());
    EXPECT_FALSE(dir.exists("missing.Json"));

    dir.write("broken.Json", "{ oops");
    EXPECT_TRUE(doc.LoadDeviceSection(dir.wide("broken.Json")).isNull());
    EXPECT_EQ(dir.read("broken.Json"), "{ oops");

    EXPECT_TRUE(doc.GetKeyList().empty());
    EXPECT_EQ(doc.GetLightInfo(), LightInfoRecord{});
    EXPECT_EQ(doc.GetAudioLightInfo(), AudioLightRecord{});
    EXPECT_TRUE(doc.GetLightList().empty());
}

TEST_F(DocumentTest, ASaveKeepsANameThatWasWrittenMeanwhileAndUnknownMembers)
{
    writeFile("p.Json", R"({"Device": [{"LightInfo": {"Light": 1}, "Later": {"x": 1}}],
                            "profilename": "Old", "profileUUID": "id", "future": [1, 2]})");
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());

    // The profile bar renames the profile while the document has it loaded.
    Json::Value renamed = file("p.Json");
    renamed["profilename"] = "New";
    ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), renamed), 0);

    LightInfoRecord light;
    light.light = 3;
    doc.SetLightInfo(light);
    ASSERT_TRUE(doc.Save());

    const Json::Value saved = file("p.Json");
    EXPECT_EQ(saved["profilename"].asString(), "New");
    EXPECT_EQ(saved["profileUUID"].asString(), "id");
    EXPECT_EQ(saved["future"], parse("[1, 2]"));
    EXPECT_EQ(saved["Device"][0]["LightInfo"]["Light"].asInt(), 3);
    EXPECT_EQ(saved["Device"][0]["Later"]["x"].asInt(), 1);
}

TEST_F(DocumentTest, SavingOverAMissingOrBrokenFileWritesOnlyTheSection)
{
    doc.LoadDeviceSection(dir.wide("default.Json"));
    ASSERT_TRUE(doc.SaveDeviceSection(doc.DeviceSection(), dir.wide("gone.Json")));
    EXPECT_EQ(file("gone.Json"), parse(R"({"Device": [)" + defaultSection.toStyledString() + "]}"));

    dir.write("broken.Json", "[1, 2");
    ASSERT_TRUE(doc.SaveDeviceSection(doc.DeviceSection(), dir.wide("broken.Json")));
    EXPECT_EQ(file("broken.Json")["Device"][0], defaultSection);
    EXPECT_EQ(dir.read("broken.Json.bad"), "[1, 2");
}

TEST_F(DocumentTest, FactoryResetWritesTheDefaultSectionUnderTheProfilesNameAndId)
{
    writeFile("p.Json", R"({"Device": [{"LightInfo": {"Light": 1}}], "profilename": "Mine", "profileUUID": "id"})");
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());
    doc.LoadDeviceSection(dir.wide("default.Json"));
    ASSERT_TRUE(doc.Save());
    const Json::Value saved = file("p.Json");
    EXPECT_EQ(saved["Device"][0], defaultSection);
    EXPECT_EQ(saved["profilename"].asString(), "Mine");
}

TEST_F(DocumentTest, AnEmptyPathLeavesTheStoredOne)
{
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.SetProfilePath(L"");
    EXPECT_EQ(doc.GetProfilePath(), dir.wide("p.Json"));
    doc.SetDefaultProfilePath(L"");
    EXPECT_EQ(doc.GetDefaultProfilePath(), dir.wide("default.Json"));
}

TEST_F(DocumentTest, KeyListDecodesTheThreeActionBytes)
{
    writeFile("p.Json", R"({"Device": [{"KeyList": [
        {"Assignment": 7346433, "DefaultAssignment": 1048832},
        {"Assignment": 1310722}]}]})");
    doc.LoadDeviceSection(dir.wide("p.Json"));
    const auto keys = doc.GetKeyList();
    ASSERT_EQ(keys.size(), 2u);
    // 7346433 = 0x701901: macro 0x19, play mode 1.
    EXPECT_EQ(keys[0].current.keyIndex, 0);
    EXPECT_EQ(keys[0].current.type, 0x70);
    EXPECT_EQ(keys[0].current.param1, 0x19);
    EXPECT_EQ(keys[0].current.param2, 0x01);
    EXPECT_EQ(keys[0].defaults, (KeyAction{0, 0x10, 0x01, 0x00}));
    EXPECT_EQ(keys[1].current.keyIndex, 1);
    EXPECT_EQ(keys[1].current, (KeyAction{1, 0x14, 0x00, 0x02}));
    EXPECT_EQ(keys[1].defaults, (KeyAction{1, 0, 0, 0})); // no "DefaultAssignment"
}

TEST_F(DocumentTest, SetKeyListWritesOnlyTheAssignmentsItHolds)
{
    Json::Value section;
    for (int i = 0; i < 15; ++i) {
        section["KeyList"][i]["Assignment"] = 100 + i;
        section["KeyList"][i]["DefaultAssignment"] = 200 + i;
    }
    Json::Value root;
    root["Device"].append(section);
    ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), root), 0);
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());

    std::vector<KeyEntry> three(3);
    for (int i = 0; i < 3; ++i)
        three[i].current = KeyAction{uint16_t(i), 0x20, 0x01, uint8_t(0x04 + i)};
    doc.SetKeyList(three);
    ASSERT_TRUE(doc.Save());

    const Json::Value keys = file("p.Json")["Device"][0]["KeyList"];
    ASSERT_EQ(keys.size(), 15u);
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(keys[i]["Assignment"].asInt(), i < 3 ? 0x200104 + i : 100 + i) << i;
        EXPECT_EQ(keys[i]["DefaultAssignment"].asInt(), 200 + i) << i;
    }

    // A longer list extends the stored one with entries that have only "Assignment".
    std::vector<KeyEntry> seventeen(17);
    doc.SetKeyList(seventeen);
    const Json::Value& grown = doc.DeviceSection()["KeyList"];
    ASSERT_EQ(grown.size(), 17u);
    EXPECT_EQ(grown[16].getMemberNames(), std::vector<std::string>{"Assignment"});
    EXPECT_EQ(grown[14]["DefaultAssignment"].asInt(), 214);
}

TEST_F(DocumentTest, LightInfoReadsMultiColorAsABooleanAndWritesElevenInts)
{
    writeFile("p.Json", R"({"Device": [{"LightInfo": {"SelectItem": 2, "Light": 4, "Speed": 1,
        "Fx": 1, "MultiColor": true, "Red": 10, "Green": 20, "Blue": 300, "ZZCCLedMode": 2,
        "CustomGroup": 3, "OldLedmode": 5, "Unknown": 9}}]})");
    doc.SetProfilePath(dir.wide("p.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());
    const LightInfoRecord r = doc.GetLightInfo();
    EXPECT_EQ(r.selectItem, 2);
    EXPECT_EQ(r.multiColor, 1);
    EXPECT_EQ(r.blue, 255); // held to the field
    EXPECT_EQ(r.zzccLedMode, 2);
    EXPECT_EQ(r.customGroup, 3);
    EXPECT_EQ(r.oldLedMode, 5);

    doc.SetLightInfo(r);
    ASSERT_TRUE(doc.Save());
    const Json::Value stored = file("p.Json")["Device"][0]["LightInfo"];
    EXPECT_EQ(stored, parse(R"({"SelectItem": 2, "Light": 4, "Speed": 1, "Fx": 1, "MultiColor": 1,
        "Red": 10, "Green": 20, "Blue": 255, "ZZCCLedMode": 2, "CustomGroup": 3, "OldLedmode": 5})"));
    EXPECT_EQ(doc.GetLightInfo(), r);
}

TEST_F(DocumentTest, AudioLightInfoReadsItsFlagsAsBooleansAndRoundTrips)
{
    writeFile("p.Json", R"({"Device": [{"AudioLightInfo": {"AudioMode": 2, "BkColorR": 1, "FgColorB": 9,
        "7ColorFlags": 5, "ColorTypeFlags": true}}]})");
    doc.LoadDeviceSection(dir.wide("p.Json"));
    AudioLightRecord r = doc.GetAudioLightInfo();
    EXPECT_EQ(r.audioMode, 2);
    EXPECT_EQ(r.bkColorR, 1);
    EXPECT_EQ(r.fgColorB, 9);
    EXPECT_EQ(r.sevenColor, 1);
    EXPECT_EQ(r.colorType, 1);

    r.fgColorG = 200;
    doc.SetAudioLightInfo(r);
    EXPECT_EQ(doc.GetAudioLightInfo(), r);
    EXPECT_EQ(doc.DeviceSection()["AudioLightInfo"].size(), 9u);
}

TEST_F(DocumentTest, LightListMarksNullZonesAbsent)
{
    writeFile("p.Json", R"({"Device": [{"LightList": [
        {"LEDREGMode": 2, "LEDBrightness": 3, "LEDSpeed": 1, "LEDDirection": true,
         "LEDMultiColor": 1, "red": 1, "green": 2, "blue": 3}, null]}]})");
    doc.LoadDeviceSection(dir.wide("p.Json"));
    const auto zones = doc.GetLightList();
    ASSERT_EQ(zones.size(), 2u);
    LedZoneRecord first;
    first.mode = 2;
    first.brightness = 3;
    first.speed = 1;
    first.direction = 1;
    first.multiColor = 1;
    first.red = 1;
    first.green = 2;
    first.blue = 3;
    first.present = 1;
    EXPECT_EQ(zones[0], first);
    EXPECT_EQ(zones[1], LedZoneRecord{});
}

// The main window's macro clean-up edits other profiles through the scratch section while the
// current profile stays loaded.
TEST_F(DocumentTest, ScratchSectionEditsAnotherProfileWithoutTouchingTheCurrentOne)
{
    writeFile("current.Json", R"({"Device": [{"KeyList": [{"Assignment": 7340544, "DefaultAssignment": 1}]}]})");
    writeFile("other.Json", R"({"Device": [{"KeyList": [{"Assignment": 7340288, "DefaultAssignment": 1048832}]}],
                                "profilename": "Other"})");
    doc.SetProfilePath(dir.wide("current.Json"));
    doc.LoadDeviceSection(doc.GetProfilePath());
    const std::string currentBefore = dir.read("current.Json");

    doc.LoadScratchSection(dir.wide("other.Json"));
    auto keys = doc.GetScratchKeyList();
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].current, (KeyAction{0, 0x70, 0x01, 0x00})); // macro 1
    keys[0].current = keys[0].defaults;
    doc.SetScratchKeyList(keys);
    ASSERT_TRUE(doc.SaveScratchSection(dir.wide("other.Json")));

    const Json::Value other = file("other.Json");
    EXPECT_EQ(other["Device"][0]["KeyList"][0]["Assignment"].asInt(), 1048832);
    EXPECT_EQ(other["profilename"].asString(), "Other");
    EXPECT_EQ(dir.read("current.Json"), currentBefore);
    EXPECT_EQ(doc.GetKeyList()[0].current, (KeyAction{0, 0x70, 0x02, 0x00})); // macro 2 stays
}

TEST_F(DocumentTest, ASaveThatCannotWriteReportsIt)
{
    doc.LoadDeviceSection(dir.wide("default.Json"));
    doc.SetProfilePath(dir.wide("no_folder/p.Json"));
    EXPECT_FALSE(doc.Save());
    EXPECT_FALSE(dir.exists("no_folder"));
}

} // namespace
} // namespace q9
