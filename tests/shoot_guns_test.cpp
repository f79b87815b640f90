// The gun files: bullets as six events and as the device is sent them, templates at start and on
// reset, imports that must not replace a gun by something else, and the shipped templates.
#include "device/MouseRecords.h"
#include "editors/ShootGuns.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <set>

namespace q9::editors {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;
using Bytes = std::array<uint8_t, 4>;

std::string fileName(int g) { return "ShootData_" + std::to_string(g) + ".Shoot"; }

// The device form of a bullet's six events: press, release, x, y with the pause, two zero moves.
std::array<Bytes, 6> deviceForm(const Bullet& b)
{
    const uint8_t x = b.left ? 0x84 : 0x04, y = b.up ? 0x85 : 0x05;
    return {{{10, 0, 0x81, 1}, {0, 0, 0x01, 1}, {5, 0, x, uint8_t(b.x)}, {uint8_t(b.delay), uint8_t(b.delay >> 8), y, uint8_t(b.y)},
             {0, 0, x, 0}, {0, 0, y, 0}}};
}

std::array<Bytes, 6> deviceFormOf(const Json::Value& events, int bullet)
{
    std::array<Bytes, 6> out{};
    for (int e = 0; e < 6; ++e)
        out[size_t(e)] = encodeMacroEvent(Element(events, Json::ArrayIndex(6 * bullet + e)));
    return out;
}

// A gun file of 30 bullets made from f(b), with events as the gun files hold them.
std::string gunText(const std::function<Bullet(int)>& f, const char* extraMember = nullptr)
{
    Json::Value file(Json::objectValue);
    Json::Value& events = file["Events"] = Json::Value(Json::arrayValue);
    for (int b = 0; b < kBullets; ++b) {
        const Bullet bullet = f(b);
        const char* x = bullet.left ? "down" : "up";
        const char* y = bullet.up ? "down" : "up";
        auto add = [&](const char* action, int button, int delay, int type) {
            Json::Value v(Json::objectValue);
            v["Action"] = action, v["Button"] = button, v["Delay"] = delay, v["Type"] = type;
            events.append(v);
        };
        add("down", 1, 10, 1), add("up", 1, 0, 1), add(x, bullet.x, 5, 4), add(y, bullet.y, bullet.delay, 5);
        add(x, 0, 0, 4), add(y, 0, 0, 5);
    }
    if (extraMember)
        file[extraMember] = "kept";
    return StyledJsonText(file);
}

class ShootGunsTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "gun");
        fs::create_directories(dir / "tpl");
        guns.SetGunFolder(dir.wide("gun/"));
        guns.SetTemplateFolder(dir.wide("tpl/"));
    }
    // Template g: bullet b moves g + 1 to the right and b down, pausing 60 + g ms.
    void writeTemplates()
    {
        for (int g = 0; g < kGuns; ++g)
            dir.write("tpl/" + fileName(g), templateText(g));
    }
    static std::string templateText(int g)
    {
        return gunText([g](int b) { return Bullet{false, g + 1, false, b, 60 + g}; });
    }
    std::string gun(int g) const { return dir.read("gun/" + fileName(g)); }

    TempFolder dir;
    ShootGuns guns;
};

TEST_F(ShootGunsTest, TheGunFileIsNamedByItsNumberInTheGunFolder)
{
    EXPECT_EQ(guns.gunPath(2), dir.wide("gun/ShootData_2.Shoot"));
}

TEST_F(ShootGunsTest, StartGivesMissingAndUnusableGunsTheirTemplateAndKeepsTheOthers)
{
    writeTemplates();
    const std::string mine = gunText([](int b) { return Bullet{true, 3, true, 1, 100 + b}; }, "Name");
    struct Case {
        const char* content; // nullptr: no file
        bool keptAsIs;
        bool badCopy;
    };
    const Case cases[kGuns] = {
        {nullptr, false, false},
        {"{\"Events\": [ not json", false, true},
        {mine.c_str(), true, false},
        {"[1, 2]", false, true}, // JSON, but no gun file
    };
    for (int g = 0; g < kGuns; ++g)
        if (cases[g].content)
            dir.write("gun/" + fileName(g), cases[g].content);
    guns.Init();
    for (int g = 0; g < kGuns; ++g) {
        SCOPED_TRACE(g);
        EXPECT_EQ(gun(g), cases[g].keptAsIs ? std::string(cases[g].content) : templateText(g));
        EXPECT_EQ(dir.exists("gun/" + fileName(g) + ".bad"), cases[g].badCopy);
        if (cases[g].badCopy) {
            EXPECT_EQ(dir.read("gun/" + fileName(g) + ".bad"), cases[g].content) << "the user's file is kept";
        }
    }
    EXPECT_EQ(guns.ReadBullet(0, 7), (Bullet{false, 1, false, 7, 60}));
    EXPECT_EQ(guns.ReadBullet(2, 7), (Bullet{true, 3, true, 1, 107}));
}

TEST_F(ShootGunsTest, WithoutTemplatesTheGunFilesAreEmptyAndEveryBulletIsZero)
{
    guns.SetTemplateFolder(dir.wide("nowhere/"));
    dir.write("gun/" + fileName(1), "{ broken");
    guns.Init();
    for (int g = 0; g < kGuns; ++g) {
        SCOPED_TRACE(g);
        EXPECT_TRUE(dir.exists("gun/" + fileName(g)));
        EXPECT_EQ(gun(g), "");
        EXPECT_EQ(guns.ReadBullet(g, 0), Bullet{});
        EXPECT_EQ(guns.ReadBullet(g, 29), Bullet{});
    }
    EXPECT_FALSE(guns.ResetGun(0));
    guns.Init();
    EXPECT_FALSE(dir.exists("gun/" + fileName(0) + ".bad")) << "an emptied file is nothing to keep";
}

TEST_F(ShootGunsTest, SavingBulletThreeWritesItsSixEventsAndNothingElse)
{
    dir.write("gun/" + fileName(0), gunText([](int b) { return Bullet{false, b, true, 2 * b, 70}; }, "Label"));
    const Json::Value before = ReadJsonFile(guns.gunPath(0));

    ASSERT_TRUE(guns.WriteBullet(0, 3, {true, 12, false, 40, 95}));

    const Json::Value after = ReadJsonFile(guns.gunPath(0));
    const Json::Value& events = Member(after, "Events");
    const Json::Value want = ParseJsonText(R"([
        {"Action": "down", "Button": 1,  "Delay": 10, "Type": 1},
        {"Action": "up",   "Button": 1,  "Delay": 0,  "Type": 1},
        {"Action": "down", "Button": 12, "Delay": 5,  "Type": 4},
        {"Action": "up",   "Button": 40, "Delay": 95, "Type": 5},
        {"Action": "down", "Button": 0,  "Delay": 0,  "Type": 4},
        {"Action": "up",   "Button": 0,  "Delay": 0,  "Type": 5}])");
    ASSERT_EQ(ElementCount(events), 180u);
    for (Json::ArrayIndex e = 0; e < 180; ++e) {
        SCOPED_TRACE(e);
        if (e >= 18 && e < 24)
            EXPECT_EQ(Element(events, e), Element(want, e - 18)) << "the delay is an integer in gun files";
        else
            EXPECT_EQ(Element(events, e), Element(Member(before, "Events"), e));
    }
    EXPECT_EQ(Member(after, "Label"), Json::Value("kept"));
    EXPECT_EQ(deviceFormOf(events, 3),
              (std::array<Bytes, 6>{{{0x0A, 0, 0x81, 1}, {0, 0, 0x01, 1}, {5, 0, 0x84, 12}, {0x5F, 0, 0x05, 40}, {0, 0, 0x84, 0}, {0, 0, 0x05, 0}}}));
    EXPECT_EQ(guns.ReadBullet(0, 3), (Bullet{true, 12, false, 40, 95}));
}

TEST_F(ShootGunsTest, ABulletReadsBackAsWrittenHeldToWhatTheDeviceTakes)
{
    writeTemplates();
    guns.Init();
    struct Case {
        Bullet written, read;
    };
    const Case cases[] = {
        {{false, 0, false, 0, 0}, {false, 0, false, 0, 0}},
        {{true, 5, true, 7, 120}, {true, 5, true, 7, 120}},
        {{false, 255, true, 1, 65535}, {false, 255, true, 1, 65535}},
        {{true, 300, false, 256, 70000}, {true, 255, false, 255, 65535}},
        {{false, -4, true, -1, -20}, {false, 0, true, 0, 0}},
    };
    for (const Case& c : cases) {
        for (int g : {0, 3}) {
            for (int b : {0, 17, 29}) {
                SCOPED_TRACE(std::to_string(g) + "/" + std::to_string(b) + " x " + std::to_string(c.written.x));
                ASSERT_TRUE(guns.WriteBullet(g, b, c.written));
                EXPECT_EQ(guns.ReadBullet(g, b), c.read);
                EXPECT_EQ(deviceFormOf(Member(ReadJsonFile(guns.gunPath(g)), "Events"), b), deviceForm(c.read));
            }
        }
    }
    EXPECT_EQ(guns.ReadBullet(0, 16), (Bullet{false, 1, false, 16, 60})) << "its neighbour is untouched";
}

TEST_F(ShootGunsTest, AnEmptyGunFileGrowsWholeBulletsUpToTheOneWritten)
{
    guns.SetTemplateFolder(dir.wide("nowhere/"));
    guns.Init();
    ASSERT_TRUE(guns.WriteBullet(1, 4, {true, 9, false, 3, 80}));
    const Json::Value events = Member(ReadJsonFile(guns.gunPath(1)), "Events");
    ASSERT_EQ(ElementCount(events), 30u);
    for (int b = 0; b < 4; ++b)
        EXPECT_EQ(deviceFormOf(events, b), deviceForm(Bullet{})) << "bullet " << b << " is a plain click, no hole";
    EXPECT_EQ(guns.ReadBullet(1, 4), (Bullet{true, 9, false, 3, 80}));
}

TEST_F(ShootGunsTest, GunsAndBulletsOutsideTheRangeAreNothing)
{
    writeTemplates();
    guns.Init();
    std::string files[kGuns];
    for (int g = 0; g < kGuns; ++g)
        files[g] = gun(g);
    const std::pair<int, int> outside[] = {{-1, 0}, {4, 0}, {0, -1}, {0, 30}, {3, 30}};
    for (const auto& [g, b] : outside) {
        SCOPED_TRACE(std::to_string(g) + "/" + std::to_string(b));
        EXPECT_EQ(guns.ReadBullet(g, b), Bullet{});
        EXPECT_FALSE(guns.WriteBullet(g, b, {true, 1, true, 1, 1}));
    }
    EXPECT_FALSE(guns.ResetGun(4));
    EXPECT_FALSE(guns.ExportGun(-1, dir.wide("out.shoot")));
    EXPECT_EQ(guns.ImportGun(4, guns.gunPath(0)), ImportProblem::Unreadable);
    for (int g = 0; g < kGuns; ++g)
        EXPECT_EQ(gun(g), files[g]);
    EXPECT_FALSE(dir.exists("gun/ShootData_4.Shoot"));
}

TEST_F(ShootGunsTest, ResetPutsTheTemplateBytesBack)
{
    writeTemplates();
    guns.Init();
    ASSERT_TRUE(guns.WriteBullet(2, 0, {true, 50, true, 50, 500}));
    ASSERT_NE(gun(2), templateText(2));
    EXPECT_TRUE(guns.ResetGun(2));
    EXPECT_EQ(gun(2), templateText(2));
}

TEST_F(ShootGunsTest, OnlyAGunFileIsImportedAndThenWhole)
{
    writeTemplates();
    guns.Init();
    fs::create_directories(dir / "folder.shoot");
    dir.write("huge.shoot", "{\"Events\":[" + std::string(kMaxJsonFileBytes, ' ') + "]}");
    dir.write("text.shoot", "bullets");
    dir.write("array.shoot", "[{\"Events\": []}]");
    dir.write("noevents.shoot", "{\"Guid\": \"x\"}");
    dir.write("eventsobject.shoot", "{\"Events\": {}}");
    struct Case {
        const char* file;
        ImportProblem want;
    };
    const Case cases[] = {
        {"missing.shoot", ImportProblem::Unreadable}, {"folder.shoot", ImportProblem::Unreadable},
        {"huge.shoot", ImportProblem::TooLarge},      {"text.shoot", ImportProblem::NotAMacro},
        {"array.shoot", ImportProblem::NotAMacro},    {"noevents.shoot", ImportProblem::NotAMacro},
        {"eventsobject.shoot", ImportProblem::NotAMacro},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(guns.ImportGun(1, dir.wide(c.file)), c.want) << c.file;
        EXPECT_EQ(gun(1), templateText(1)) << c.file << ": the gun is unchanged";
    }

    const std::string other = "// from a friend\n" + gunText([](int b) { return Bullet{b % 2 == 0, b, false, 30 - b, 90}; });
    dir.write("friend.shoot", other);
    ASSERT_EQ(guns.ImportGun(1, dir.wide("friend.shoot")), ImportProblem::Ok);
    EXPECT_EQ(gun(1), other);
    for (int b = 0; b < kBullets; ++b)
        EXPECT_EQ(guns.ReadBullet(1, b), (Bullet{b % 2 == 0, b, false, 30 - b, 90})) << "bullet " << b;
    EXPECT_EQ(gun(0), templateText(0)) << "another gun is not touched";
}

TEST_F(ShootGunsTest, ExportIsAByteCopy)
{
    const std::string text = "/* note */\n" + templateText(3) + "\n";
    dir.write("gun/" + fileName(3), text);
    dir.write("out.shoot", std::string(100000, 'x'));
    ASSERT_TRUE(guns.ExportGun(3, dir.wide("out.shoot")));
    EXPECT_EQ(dir.read("out.shoot"), text);
    EXPECT_FALSE(guns.ExportGun(2, dir.wide("none.shoot"))) << "no gun file";
    EXPECT_FALSE(dir.exists("none.shoot"));
}

// The templates that come with the program, as the tree has them and as the build copies them.
TEST(ShootTemplates, EachGunIsThirtyBulletsThatPullDownAFewPixelsSidewaysAtItsOwnPace)
{
    const fs::path source = fs::path(Q9_SOURCE_DIR) / "DefaultData";
    const fs::path copied = fs::path(Q9_APP_DIR) / "DefaultData";
    TempFolder dir;
    ShootGuns guns;
    guns.SetGunFolder(dir.wide(""));
    guns.SetTemplateFolder(FromFsPath(source) + L"/");
    guns.Init();

    std::set<std::vector<int>> patterns;
    for (int g = 0; g < kGuns; ++g) {
        SCOPED_TRACE(g);
        const std::string text = dir.read(fileName(g));
        ASSERT_FALSE(text.empty()) << "the template was there";
        EXPECT_EQ(ReadFileText(FromFsPath(copied / fileName(g))), text) << "copied beside the program";
        const Json::Value events = Member(ParseJsonText(text), "Events");
        ASSERT_EQ(ElementCount(events), 180u);

        std::vector<int> pattern;
        bool sideways = false;
        for (int b = 0; b < kBullets; ++b) {
            const Bullet bullet = guns.ReadBullet(g, b);
            EXPECT_EQ(deviceFormOf(events, b), deviceForm(bullet)) << "bullet " << b << " has the six events";
            EXPECT_TRUE(Member(Element(events, Json::ArrayIndex(6 * b + 3)), "Delay").isInt()) << "bullet " << b;
            EXPECT_GE(bullet.delay, 60);
            EXPECT_LE(bullet.delay, 120);
            EXPECT_FALSE(bullet.up) << "bullet " << b << " pulls down";
            EXPECT_GT(bullet.y, 0);
            EXPECT_LE(bullet.y, 20);
            EXPECT_LE(bullet.x, 5);
            sideways = sideways || bullet.x > 0;
            pattern.insert(pattern.end(), {bullet.left ? -bullet.x : bullet.x, bullet.y, bullet.delay});
        }
        EXPECT_TRUE(sideways);
        patterns.insert(pattern);
    }
    EXPECT_EQ(patterns.size(), size_t(kGuns)) << "no two guns alike";
}

} // namespace
} // namespace q9::editors
