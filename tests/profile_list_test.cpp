// The profile list of a device type: the bar's operations and their free names, and a list file
// that is damaged, hostile or too long never costs a profile.
#include "profile/JsonAccess.h"
#include "profile/MouseProfiledata.h"
#include "profile/JsonFile.h"
#include "profile/ProfileList.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace q9 {
namespace {

using test::TempFolder;

class ProfileListTest : public testing::Test {
protected:
    void SetUp() override
    {
        dir.write("default.Json", R"({"profilename": "", "profileUUID": "", "Device": [{"DPIStages": {"StageActive": 1}}]})");
        list.SetPaths(dir.wide(""), dir.wide("default.Json"));
    }
    Json::Value listFile() const { return ReadJsonFile(list.ListPath()); }
    std::vector<std::string> idsInFile() const
    {
        std::vector<std::string> ids;
        const Json::Value file = listFile();
        const Json::Value& l = Member(file, "profilelist");
        for (Json::ArrayIndex i = 0; i < ElementCount(l); ++i)
            ids.push_back(ReadString(Member(Element(l, i), "profileUUID")));
        return ids;
    }
    void writeProfile(const std::string& id, const std::string& name, int marker)
    {
        Json::Value p(Json::objectValue);
        p["profilename"] = name;
        p["profileUUID"] = id;
        p["marker"] = marker;
        ASSERT_EQ(WriteJsonFile(dir.wide(id + ".Json"), p), 0);
    }
    int markerOf(int index) const { return ReadInt(Member(ReadJsonFile(list.ProfilePathAt(index)), "marker")); }

    TempFolder dir;
    ProfileList list;
};

TEST(ProfileNames, FreeNamesFollowTheBarsRules)
{
    using V = std::vector<std::wstring>;
    EXPECT_EQ(ProfileList::FreeAddName({}), L"Profile1");
    EXPECT_EQ(ProfileList::FreeAddName(V{L"Profile1", L"profile2"}), L"profile3");
    EXPECT_EQ(ProfileList::FreeAddName(V{L"PROFILE1"}), L"profile2");
    EXPECT_EQ(ProfileList::FreeCopyName(L"A", V{L"A", L"A copy"}), L"A copy copy");
    EXPECT_EQ(ProfileList::FreeImportName(L"game", V{}), L"game");
    EXPECT_EQ(ProfileList::FreeImportName(L"game", V{L"game"}), L"game(1)");
    EXPECT_EQ(ProfileList::FreeImportName(L"game", V{L"game", L"game(1)"}), L"game(1)(2)");
}

TEST_F(ProfileListTest, FirstStartMakesProfile1FromTheDefault)
{
    list.Init();
    ASSERT_EQ(list.Names(), std::vector<std::wstring>{L"Profile1"});
    const Json::Value p = ReadJsonFile(list.ProfilePathAt(0));
    EXPECT_EQ(ReadString(Member(p, "profilename")), "Profile1");
    EXPECT_EQ(Utf8ToWide(ReadString(Member(p, "profileUUID"))), list.CurrentProfileId());
    EXPECT_TRUE(Member(p, "Device").isArray());
}

TEST_F(ProfileListTest, OperationsOfTheBar)
{
    list.Init();
    ASSERT_TRUE(list.Add());
    ASSERT_TRUE(list.Copy()); // of the selected Profile1
    EXPECT_EQ(list.Names(), (std::vector<std::wstring>{L"Profile1", L"profile2", L"Profile1 copy"}));
    dir.write("game.json", R"({"profilename": "ignored", "profileUUID": "x", "marker": 7})");
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(list.Import(dir.wide("game.json")));
    const auto names = list.Names();
    EXPECT_EQ(std::vector<std::wstring>(names.end() - 3, names.end()), (std::vector<std::wstring>{L"game", L"game(1)", L"game(1)(2)"}));
    EXPECT_EQ(markerOf(3), 7);
    dir.write("notaprofile.json", R"({"marker": 1})");
    EXPECT_FALSE(list.Import(dir.wide("notaprofile.json"))); // no "profilename"/"profileUUID"

    list.Select(1);
    EXPECT_EQ(list.RenameSelected(L"   "), ProfileList::Rename::Blank);
    EXPECT_EQ(list.RenameSelected(L"GAME"), ProfileList::Rename::Taken);
    EXPECT_EQ(list.RenameSelected(L"PROFILE2"), ProfileList::Rename::Done); // its own name, other case
    EXPECT_EQ(list.Names()[1], L"PROFILE2");
    EXPECT_EQ(ReadString(Member(ReadJsonFile(list.ProfilePathAt(1)), "profilename")), "PROFILE2");

    ASSERT_TRUE(list.Export(dir.wide("out.json")));
    EXPECT_EQ(dir.read("out.json"), ReadFileText(list.ProfilePathAt(1)));

    const std::wstring deleted = list.ProfilePathAt(1);
    ASSERT_TRUE(list.Delete());
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(deleted)));
    EXPECT_EQ(list.SelectedIndex(), 0);
    EXPECT_EQ(ReadInt(Member(listFile(), "profileselect")), 0);
    while (list.Count() > 1)
        ASSERT_TRUE(list.Delete());
    EXPECT_FALSE(list.Delete()); // never the last one
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(ProfileListTest, FiftyProfilesAtMost)
{
    list.Init();
    while (list.Count() < ProfileList::kMaxProfiles)
        ASSERT_TRUE(list.Add());
    dir.write("game.json", R"({"profilename": "a", "profileUUID": "b"})");
    EXPECT_FALSE(list.Add());
    EXPECT_FALSE(list.Copy());
    EXPECT_FALSE(list.Import(dir.wide("game.json")));
    EXPECT_EQ(list.Count(), ProfileList::kMaxProfiles);
}

// Entries whose id is no plain file name, or repeats another's, each get their own fresh file; none
// reads or writes "<folder>/.Json" or outside the folder.
TEST_F(ProfileListTest, BadAndRepeatedIdsGetFreshOnes)
{
    writeProfile("A", "A", 1);
    dir.write(".Json", R"({"profilename": "old", "marker": 5})"); // where an empty id's settings went
    dir.write("ProfileList.ini", R"({"profilelist": [
        {"profilename": "A", "profileUUID": "A"},
        {"profilename": "B", "profileUUID": "../../x"},
        {"profilename": "C", "profileUUID": "/etc/passwd"},
        {"profilename": "D", "profileUUID": ""},
        {"profilename": "E", "profileUUID": "A"}], "profileselect": 4})");
    list.Init();
    const auto ids = idsInFile();
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 5u);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(ProfileList::PlainId(ids[size_t(i)]));
        EXPECT_TRUE(dir.exists(ids[size_t(i)] + ".Json"));
    }
    EXPECT_EQ(ids[0], "A");
    EXPECT_EQ(markerOf(3), 5); // the empty id's settings kept
    EXPECT_EQ(markerOf(4), 1); // the repeated id got a copy of the file
    EXPECT_EQ(list.SelectedIndex(), 4);
    // Changing one no longer changes another.
    list.Select(4);
    ASSERT_EQ(list.RenameSelected(L"E2"), ProfileList::Rename::Done);
    EXPECT_EQ(ReadString(Member(ReadJsonFile(dir.wide("A.Json")), "profilename")), "A");
}

// An unreadable list is kept as ".bad" and rebuilt from the profile files present.
TEST_F(ProfileListTest, AnUnusableListIsRebuiltFromTheProfileFiles)
{
    const std::string damaged[] = {std::string("\x01\xff\xfe garbage", 11), "", R"({"profilelist": []})",
                                   R"({"profilelist": "x"})", R"([1, 2])"};
    for (const std::string& content : damaged) {
        SCOPED_TRACE(content);
        TempFolder folder;
        ProfileList l;
        folder.write("default.Json", R"({"Device": [{}]})");
        l.SetPaths(folder.wide(""), folder.wide("default.Json"));
        for (const auto& [id, name] : {std::pair{"2026_01_01_00_00_00_000", "work"}, std::pair{"2026_02_01_00_00_00_000", "play"}}) {
            Json::Value p(Json::objectValue);
            p["profilename"] = name;
            p["profileUUID"] = id;
            ASSERT_EQ(WriteJsonFile(folder.wide(std::string(id) + ".Json"), p), 0);
        }
        folder.write("ProfileList.ini", content);
        l.Init();
        EXPECT_EQ(l.Names(), (std::vector<std::wstring>{L"work", L"play"}));
        if (!content.empty()) {
            EXPECT_EQ(folder.read("ProfileList.ini.bad"), content);
        }
    }
}

// Nothing the list writes is larger than what it reads: more than 50 entries are cut to 50 and the
// whole list is kept as ".bad".
TEST_F(ProfileListTest, AHugeListIsCutToFiftyAndKept)
{
    Json::Value huge(Json::objectValue);
    for (int i = 0; i < 10000; ++i) {
        Json::Value e(Json::objectValue);
        e["profilename"] = "p" + std::to_string(i);
        e["profileUUID"] = "id" + std::to_string(i);
        huge["profilelist"].append(e);
    }
    huge["profileselect"] = 9999;
    std::string text = StyledJsonText(huge);
    ASSERT_LT(text.size(), kMaxJsonFileBytes); // readable, so the cut is what keeps it so
    dir.write("ProfileList.ini", text);
    list.Init();
    EXPECT_EQ(list.Count(), ProfileList::kMaxProfiles);
    EXPECT_EQ(list.SelectedIndex(), 0); // 9999 is not in the list any more
    EXPECT_LT(dir.read("ProfileList.ini").size(), text.size() / 100);
    EXPECT_EQ(dir.read("ProfileList.ini.bad"), text);
    // Read again at the next start: the same list.
    ProfileList again;
    again.SetPaths(dir.wide(""), dir.wide("default.Json"));
    again.Init();
    EXPECT_EQ(again.Names(), list.Names());
}

TEST_F(ProfileListTest, ASelectionOfTheWrongTypeOrOutOfRangeIsCorrected)
{
    for (const char* select : {"7", "-1", "\"2\"", "1.5", "null"}) {
        SCOPED_TRACE(select);
        writeProfile("A", "A", 1);
        writeProfile("B", "B", 2);
        dir.write("ProfileList.ini", std::string(R"({"profilelist": [{"profilename": "A", "profileUUID": "A"},
            {"profilename": "B", "profileUUID": "B"}], "profileselect": )") + select + "}");
        list.Init();
        EXPECT_EQ(list.SelectedIndex(), 0);
        EXPECT_TRUE(Member(listFile(), "profileselect").isInt());
        EXPECT_EQ(ReadInt(Member(listFile(), "profileselect")), 0);
    }
}

// After macro 2 is deleted, every other profile's keys follow: a key playing it gets its default
// back, a key playing a later macro the new number; the selected profile is left to its device.
TEST_F(ProfileListTest, ADeletedMacroIsTakenOutOfTheOtherProfiles)
{
    auto keyList = [](std::initializer_list<int> assignments) {
        Json::Value p(Json::objectValue);
        int i = 0;
        for (int a : assignments) {
            p["Device"][0]["KeyList"][i]["Assignment"] = a;
            p["Device"][0]["KeyList"][i]["DefaultAssignment"] = 0x100100 + i;
            ++i;
        }
        return p;
    };
    const int macro2 = 0x700200, macro3 = 0x710300, macro1 = 0x700100;
    ASSERT_EQ(WriteJsonFile(dir.wide("S.Json"), keyList({macro2, macro3})), 0);
    ASSERT_EQ(WriteJsonFile(dir.wide("O.Json"), keyList({macro2, macro3, macro1})), 0);
    ASSERT_EQ(WriteJsonFile(dir.wide("N.Json"), keyList({0x100100, 0x100101})), 0);
    dir.write("ProfileList.ini", R"({"profilelist": [{"profilename": "S", "profileUUID": "S"},
        {"profilename": "O", "profileUUID": "O"}, {"profilename": "N", "profileUUID": "N"}], "profileselect": 0})");
    list.Init();
    const std::string untouched = dir.read("N.Json");
    CMouseProfiledata doc;
    EXPECT_EQ(list.RemoveMacroFromOtherProfiles(doc, 2), 1);
    auto assignments = [&](const char* file) {
        std::vector<int> out;
        const Json::Value p = ReadJsonFile(dir.wide(file));
        const Json::Value& keys = Member(Element(Member(p, "Device"), 0), "KeyList");
        for (Json::ArrayIndex i = 0; i < ElementCount(keys); ++i)
            out.push_back(ReadInt(Member(Element(keys, i), "Assignment")));
        return out;
    };
    EXPECT_EQ(assignments("O.Json"), (std::vector<int>{0x100100, 0x710200, macro1}));
    EXPECT_EQ(assignments("S.Json"), (std::vector<int>{macro2, macro3})); // the selected one
    EXPECT_EQ(dir.read("N.Json"), untouched);
}

} // namespace
} // namespace q9
