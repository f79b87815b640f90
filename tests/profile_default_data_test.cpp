// The default data a fresh install starts from: complete, consistent with the devices and with
// the default light file, and copied beside the program by the build.
#include "profile/Hx4120Profiledata.h"
#include "profile/JsonFile.h"
#include "profile/KeyboardProfiledata.h"
#include "profile/LightConfig.h"
#include "profile/MouseProfiledata.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

namespace q9 {
namespace {

using test::TempFolder;

const std::filesystem::path kSourceData = std::filesystem::path(Q9_SOURCE_DIR) / "DefaultData";
const char* const kDataFiles[] = {"mouse.Json", "keyboard.Json", "MousePad.Json", "HD.Json", "default_light.json"};

std::wstring sourceFile(const std::string& name) { return FromFsPath(kSourceData / name); }

struct DeviceType {
    const char* typeName;
    int lightIndex;
    size_t keys;
    size_t zones;
};
void PrintTo(const DeviceType& c, std::ostream* os) { *os << c.typeName; }

const DeviceType kDeviceTypes[] = {
    {"mouse", 1, 11, 15},
    {"keyboard", 0, 170, 170},
    {"MousePad", 2, 0, 15},
    {"HD", 3, 0, 13},
};

// A copy of one default profile in a temporary folder, loaded as its device object loads it.
template <class Document>
class DefaultProfile {
public:
    explicit DefaultProfile(const std::string& typeName)
    {
        std::filesystem::copy_file(kSourceData / (typeName + ".Json"), dir / (typeName + ".Json"));
        path = dir.wide(typeName + ".Json");
        bytes = dir.read(typeName + ".Json");
        doc.SetDefaultProfilePath(path);
        doc.SetProfilePath(path);
        section = doc.LoadDeviceSection(path);
    }
    bool unchanged() const { return doc.DeviceSection() == section; }

    TempFolder dir;
    std::wstring path;
    std::string bytes;
    Document doc;
    Json::Value section;
};

class DefaultProfileTest : public testing::TestWithParam<DeviceType> {};

INSTANTIATE_TEST_SUITE_P(Types, DefaultProfileTest, testing::ValuesIn(kDeviceTypes),
                         [](const auto& p) { return std::string(p.param.typeName); });

TEST_P(DefaultProfileTest, HasACompleteSectionThatLoadsWithoutRepair)
{
    const DeviceType& type = GetParam();
    DefaultProfile<CBasicProfiledata> p(type.typeName);
    ASSERT_TRUE(p.section.isObject());
    EXPECT_EQ(p.dir.read(std::string(type.typeName) + ".Json"), p.bytes); // nothing written back

    const auto keys = p.doc.GetKeyList();
    ASSERT_EQ(keys.size(), type.keys);
    for (const KeyEntry& k : keys) {
        EXPECT_EQ(k.current, k.defaults) << k.current.keyIndex;
        EXPECT_NE(k.current.stored(), 0) << k.current.keyIndex;
    }
    const auto zones = p.doc.GetLightList();
    ASSERT_EQ(zones.size(), type.zones);
    for (const LedZoneRecord& z : zones) {
        EXPECT_EQ(z.present, 1);
        EXPECT_TRUE(z.mode != 0 && z.mode != 2 && z.mode != 3) << "a zone effect would override the device's";
    }

    // The selected light mode exists for this device type and is offered to the user.
    const LightInfoRecord light = p.doc.GetLightInfo();
    EXPECT_LE(light.light, 4);
    EXPECT_LE(light.speed, 4);
    const DefaultLightNames names = ReadDefaultLightNames(sourceFile("default_light.json"), type.lightIndex);
    ASSERT_LT(light.selectItem, names.modeNames.size());
    EXPECT_EQ(names.modeVisible[light.selectItem], 1);

    const AudioLightRecord audio = p.doc.GetAudioLightInfo();
    EXPECT_LE(audio.audioMode, 6);
}

TEST(DefaultMouseTest, KeysCarryTheFactoryActions)
{
    DefaultProfile<CMouseProfiledata> p("mouse");
    const KeyAction factory[11] = {
        {0, 0x10, 0x01, 0x00}, {1, 0x10, 0x02, 0x00}, {2, 0x10, 0x04, 0x00}, {3, 0x10, 0x10, 0x00},
        {4, 0x10, 0x08, 0x00}, {5, 0x13, 0x01, 0x00}, {6, 0x13, 0x02, 0x00}, {7, 0x13, 0x03, 0x00},
        {8, 0xA0, 0x1B, 0x00}, {9, 0x16, 0x90, 0x01}, {10, 0x14, 0x78, 0x02},
    };
    const auto keys = p.doc.GetKeyList();
    ASSERT_EQ(keys.size(), 11u);
    for (size_t i = 0; i < 11; ++i)
        EXPECT_EQ(keys[i].defaults, factory[i]) << i;
}

TEST(DefaultMouseTest, SevenUsableDpiStagesAndOptionsInRange)
{
    DefaultProfile<CMouseProfiledata> p("mouse");
    const auto stages = p.doc.GetDpiStages();
    ASSERT_EQ(stages.size(), 7u);
    const int current = p.doc.GetCurrentDpiStage();
    ASSERT_GE(current, 0);
    ASSERT_LT(current, 7);
    EXPECT_EQ(stages[current].active, 1);

    int previous = -1;
    for (const DpiStage& s : stages) {
        EXPECT_EQ(s.xy, 0);
        EXPECT_EQ(s.dpiX, s.dpiY);
        EXPECT_GT(s.dpiX, previous) << "stages rise";
        EXPECT_LE(s.dpiX, 73) << "the sensor's number of steps";
        EXPECT_GT(s.red + s.green + s.blue, 0) << "an indicator colour";
        previous = s.dpiX;
    }

    const MouseSystemRecord sys = p.doc.GetMouseSystem();
    EXPECT_LE(sys.reportRate, 3);
    EXPECT_LE(sys.silentAltitude, 1);
    EXPECT_LE(sys.linearCalibration, 1);
    EXPECT_LE(sys.ripple, 1);
    EXPECT_GT(sys.doubleClickTime, 0);
    EXPECT_GT(sys.wheelScrollLines, 0);
}

TEST(DefaultKeyboardTest, EveryKeyHasItsOwnFactoryCode)
{
    DefaultProfile<CKeyboardProfiledata> p("keyboard");
    const auto keys = p.doc.GetKeyList();
    ASSERT_EQ(keys.size(), 170u);
    // The device object finds a picture key's device key by its factory code: two keys with one
    // code would share a device key.
    std::set<int> codes;
    for (const KeyEntry& k : keys) {
        if (k.defaults.stored() != 0x200000) {
            EXPECT_TRUE(codes.insert(k.defaults.stored()).second) << "key " << k.current.keyIndex;
        }
    }
    EXPECT_GE(codes.size(), 104u) << "a full-size keyboard";
    for (uint8_t m = 1; m <= 5; ++m)
        EXPECT_EQ(keys[119 + m].defaults, (KeyAction{0, 0xD0, 0xA2, m}));
}

TEST(DefaultKeyboardTest, FiveFullColourGroupsAndTypingOptionsInRange)
{
    DefaultProfile<CKeyboardProfiledata> p("keyboard");
    const int selected = p.doc.GetColorGroupIndex();
    EXPECT_GE(selected, 0);
    EXPECT_LT(selected, 5);
    for (int g = 0; g < 5; ++g) {
        const auto colors = p.doc.GetKeyColors(g, 170);
        EXPECT_TRUE(std::all_of(colors.begin(), colors.end(), [](const KeyColor& c) { return c.alpha <= 4; }));
    }
    EXPECT_TRUE(p.unchanged()) << "every group is stored whole, nothing is zero-filled";

    const KeyboardSystemRecord sys = p.doc.GetKeyboardSystem();
    EXPECT_LE(sys.repeatDelay, 3);
    EXPECT_LE(sys.pollingRate, 3);
    EXPECT_LE(sys.key6Flag, 1);
    EXPECT_LE(sys.wFlag, 1);
    EXPECT_LE(sys.winFlag, 1);
}

TEST(DefaultHeadsetTest, PresetsStoredWholeAndOptionsInRange)
{
    DefaultProfile<CHx4120Profiledata> p("HD");
    for (int type = 1; type <= 12; ++type) {
        const auto bands = p.doc.GetEqValues(type);
        EXPECT_TRUE(std::all_of(bands.begin(), bands.end(), [](int v) { return v >= -20 && v <= 20; })) << type;
    }
    EXPECT_EQ(p.doc.GetEqValues(5), std::vector<int>(10, 0)) << "preset 5 is flat";
    EXPECT_TRUE(p.unchanged()) << "every preset is stored, nothing is zero-filled";

    const HeadsetSystemRecord sys = p.doc.GetHeadsetSystem();
    EXPECT_GE(sys.eqType, 1);
    EXPECT_LE(sys.eqType, 13);
    EXPECT_GE(sys.magicType, 1);
    EXPECT_LE(sys.magicType, 4);
    EXPECT_LE(sys.micInValue, 100);
    EXPECT_LE(sys.micMonitorValue, 100);
    EXPECT_TRUE(p.doc.GetCustomEqNames().empty());
}

TEST(DefaultLightTest, ModeListsOfTheFourDeviceTypes)
{
    const std::wstring file = sourceFile("default_light.json");
    const size_t modeCounts[4] = {31, 11, 9, 9}; // keyboard, mouse, mouse pad, headset
    for (int index = 0; index < 4; ++index) {
        const DefaultLightNames names = ReadDefaultLightNames(file, index);
        ASSERT_EQ(names.modeNames.size(), modeCounts[index]) << index;
        ASSERT_EQ(names.modeCodes.size(), modeCounts[index]);
        const std::set<int> distinct(names.modeCodes.begin(), names.modeCodes.end());
        EXPECT_EQ(distinct.size(), names.modeCodes.size()) << "a code read back must name one row";
        for (const std::wstring& name : names.modeNames)
            EXPECT_EQ(name.rfind(L"light_mode_", 0), 0u) << WideToUtf8(name);
        EXPECT_FALSE(names.areaNames.empty()) << index;
    }
    // The keyboard's audio and host-colour modes are sent as codes 0x1D and 0x1E.
    const DefaultLightNames keyboard = ReadDefaultLightNames(file, 0);
    EXPECT_EQ(keyboard.modeCodes[29], 0x1D);
    EXPECT_EQ(keyboard.modeCodes[30], 0x1E);
    // The mouse sends the row itself.
    const DefaultLightNames mouse = ReadDefaultLightNames(file, 1);
    for (size_t row = 0; row < mouse.modeCodes.size(); ++row)
        EXPECT_EQ(mouse.modeCodes[row], int(row));
}

TEST(DefaultDataCopyTest, TheBuildPutsTheFilesBesideTheProgram)
{
    const std::filesystem::path copy = std::filesystem::path(Q9_APP_DIR) / "DefaultData";
    for (const char* name : kDataFiles) {
        ASSERT_TRUE(std::filesystem::exists(copy / name)) << name;
        const Json::Value original = ReadJsonFile(sourceFile(name));
        EXPECT_TRUE(original.isObject()) << name;
        EXPECT_EQ(ReadJsonFile(FromFsPath(copy / name)), original) << name;
    }
}

} // namespace
} // namespace q9
