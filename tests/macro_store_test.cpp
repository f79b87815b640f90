// The macro files: the list and its names, imports and exports, events as the files hold them and
// as the device is sent them, hostile lists and files, and the key rule of deleting a macro.
#include "device/MouseRecords.h"
#include "editors/MacroStore.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <set>

namespace q9::editors {
namespace {

using test::TempFolder;
namespace fs = std::filesystem;

// The names of every file below a folder: what a refused operation must leave as it was.
std::set<std::string> filesBelow(const fs::path& root)
{
    std::set<std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(root))
        out.insert(fs::relative(e.path(), root).string());
    return out;
}

// A device folder "dev/" inside the test's folder, so that files beside it are "outside".
class MacroStoreTest : public testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir / "dev");
        store.SetFolder(dir.wide("dev/"));
    }
    void writeList(const std::vector<std::pair<std::string, std::string>>& guidAndName)
    {
        Json::Value list(Json::objectValue);
        list["MacroInfo"] = Json::Value(Json::arrayValue);
        for (const auto& [guid, name] : guidAndName) {
            Json::Value e(Json::objectValue);
            e["Guid"] = guid;
            e["MacroName"] = name;
            list["MacroInfo"].append(e);
        }
        ASSERT_EQ(WriteJsonFile(dir.wide("dev/macro.config"), list), 0);
        store.LoadList();
    }
    std::string macroFile(const std::string& guid, const std::string& delay = "\"35\"")
    {
        return "{\"Events\":[{\"Action\":\"down\",\"Button\":4,\"Type\":10,\"Delay\":" + delay + "}],\"Guid\":\"" + guid
               + "\",\"MacroName\":\"x\",\"Version\":64}\n";
    }
    Json::Value listFile() const { return ReadJsonFile(dir.wide("dev/macro.config")); }

    TempFolder dir;
    MacroStore store;
};

TEST_F(MacroStoreTest, AMissingOrUnusableListIsEmpty)
{
    EXPECT_TRUE(store.LoadList().empty()) << "no file";
    for (const char* text : {"{broken", "[]", "{\"MacroInfo\": 5}", "{\"MacroInfo\": {\"a\": 1}}"}) {
        dir.write("dev/macro.config", text);
        EXPECT_TRUE(store.LoadList().empty()) << text;
    }
}

TEST_F(MacroStoreTest, TheListKeepsOrderIdsAndUtf8Names)
{
    writeList({{"id_a", "Fire"}, {"id_b", "Gr\xC3\xB6\xC3\x9F" "e"}, {"id_c", "third"}});
    ASSERT_EQ(store.list().size(), 3u);
    EXPECT_EQ(store.list()[1].id, "id_b");
    EXPECT_EQ(store.names(), (std::vector<std::wstring>{L"Fire", L"Gr\u00F6\u00DFe", L"third"}));
}

TEST_F(MacroStoreTest, ANewMacroTakesTheFirstFreeNameWhateverTheCase)
{
    writeList({{"a", "macro_1"}, {"b", "MACRO_2"}, {"c", "macro_4"}});
    EXPECT_EQ(store.AddMacro(), L"macro_3");
    EXPECT_EQ(store.AddMacro(), L"macro_5");
    const Json::Value info = Member(listFile(), "MacroInfo");
    ASSERT_EQ(ElementCount(info), 5u) << "appended and written";
    EXPECT_EQ(ReadString(Member(Element(info, 3), "MacroName")), "macro_3");
    EXPECT_EQ(ReadString(Member(Element(info, 0), "Guid")), "a") << "earlier entries keep their place";
    EXPECT_FALSE(dir.exists("dev/" + store.list()[3].id + ".mac")) << "the file comes with the first save";
}

TEST_F(MacroStoreTest, FiftyMacrosFitWithDistinctIdsAndTheFiftyFirstIsRefused)
{
    // Fifty in a tight loop: many fall in the same millisecond, and no two may share a file.
    for (int i = 0; i < kMaxMacros; ++i)
        ASSERT_EQ(store.AddMacro(), L"macro_" + std::to_wstring(i + 1));
    std::set<std::string> ids;
    for (const MacroEntry& e : store.list())
        ids.insert(e.id);
    EXPECT_EQ(ids.size(), size_t(kMaxMacros));

    const std::string before = dir.read("dev/macro.config");
    dir.write("fire.mac", macroFile("g"));
    const auto files = filesBelow(dir.path());
    EXPECT_EQ(store.AddMacro(), L"");
    std::wstring name = L"unchanged";
    EXPECT_EQ(store.AddMacroFromFile(dir.wide("fire.mac"), &name), ImportProblem::Full);
    EXPECT_EQ(name, L"unchanged");
    EXPECT_EQ(dir.read("dev/macro.config"), before);
    EXPECT_EQ(filesBelow(dir.path()), files);
}

TEST_F(MacroStoreTest, AnUnusableListIsKeptBeforeItIsReplaced)
{
    dir.write("dev/macro.config", "{\"MacroInfo\": [ oops");
    EXPECT_EQ(store.AddMacro(), L"macro_1");
    EXPECT_EQ(dir.read("dev/macro.config.bad"), "{\"MacroInfo\": [ oops");
    EXPECT_EQ(ElementCount(Member(listFile(), "MacroInfo")), 1u);
}

TEST_F(MacroStoreTest, AnImportIsNamedByItsTitleThenByNumbersAndCopiedUnchanged)
{
    writeList({{"a", "fire"}});
    // Comments and LF line ends: the copy must be the file itself, not a rewrite of it.
    const std::string bytes = "// mine\n" + macroFile("old_id");
    dir.write("Fire.mac", bytes);
    struct Step {
        std::wstring want;
    };
    for (const Step& s : {Step{L"2"}, Step{L"3"}}) {
        std::wstring name;
        ASSERT_EQ(store.AddMacroFromFile(dir.wide("Fire.mac"), &name), ImportProblem::Ok);
        EXPECT_EQ(name, s.want);
        const MacroEntry& added = store.list().back();
        EXPECT_EQ(added.name, s.want);
        EXPECT_NE(added.id, "old_id");
        EXPECT_EQ(dir.read("dev/" + added.id + ".mac"), bytes);
        EXPECT_EQ(store.LoadEvents(added.id).size(), 1u);
    }
    EXPECT_EQ(store.names(), (std::vector<std::wstring>{L"fire", L"2", L"3"}));
    EXPECT_NE(store.list()[1].id, store.list()[2].id);

    std::wstring name;
    dir.write("Fresh.mac", bytes);
    ASSERT_EQ(store.AddMacroFromFile(dir.wide("Fresh.mac"), &name), ImportProblem::Ok);
    EXPECT_EQ(name, L"Fresh") << "a free title is taken as it is";
}

TEST_F(MacroStoreTest, HostileImportFilesAreRefusedAndNothingIsCreated)
{
    writeList({{"a", "one"}});
    fs::create_directories(dir / "folder.mac");
    dir.write("huge.mac", "{\"Events\":[" + std::string(kMaxJsonFileBytes, ' ') + "]}");
    dir.write("empty.mac", "");
    dir.write("text.mac", "not json at all");
    dir.write("array.mac", "[{\"Events\":[]}]");
    dir.write("noevents.mac", "{\"Guid\":\"x\"}");
    dir.write("eventsobject.mac", "{\"Events\":{\"0\":1}}");
    dir.write("deep.mac", "{\"Events\":[" + std::string(200, '[') + std::string(200, ']') + "]}");
    struct Case {
        const char* file;
        ImportProblem want;
    };
    const Case cases[] = {
        {"missing.mac", ImportProblem::Unreadable},
        {"folder.mac", ImportProblem::Unreadable},
        {"huge.mac", ImportProblem::TooLarge},
        {"empty.mac", ImportProblem::NotAMacro},
        {"text.mac", ImportProblem::NotAMacro},
        {"array.mac", ImportProblem::NotAMacro},
        {"noevents.mac", ImportProblem::NotAMacro},
        {"eventsobject.mac", ImportProblem::NotAMacro},
        {"deep.mac", ImportProblem::NotAMacro},
    };
    const std::string list = dir.read("dev/macro.config");
    const auto files = filesBelow(dir.path());
    for (const Case& c : cases) {
        std::wstring name;
        EXPECT_EQ(store.AddMacroFromFile(dir.wide(c.file), &name), c.want) << c.file;
        EXPECT_TRUE(name.empty()) << c.file;
    }
    EXPECT_EQ(dir.read("dev/macro.config"), list);
    EXPECT_EQ(filesBelow(dir.path()), files);
    EXPECT_EQ(store.list().size(), 1u);
}

TEST_F(MacroStoreTest, RenameRefusesBlankAndTakenNamesTheOwnIncluded)
{
    writeList({{"a", "macro_1"}, {"b", "Macro_2"}, {"c", "\xC3\x84rger"}});
    struct Case {
        int index;
        std::wstring name;
        RenameResult want;
    };
    const Case cases[] = {
        {0, L"", RenameResult::Blank},
        {0, L"  \t ", RenameResult::Blank},
        {0, L"macro_1", RenameResult::Duplicate},
        {0, L"MACRO_1", RenameResult::Duplicate},
        {0, L"macro_2", RenameResult::Duplicate},
        {0, L" macro_2 ", RenameResult::Duplicate},
        {0, L"\u00E4RGER", RenameResult::Duplicate}, // case beyond ASCII
        {3, L"fresh", RenameResult::NoSuchMacro},
        {-1, L"fresh", RenameResult::NoSuchMacro},
    };
    const std::string before = dir.read("dev/macro.config");
    for (const Case& c : cases)
        EXPECT_EQ(store.RenameMacro(c.index, c.name), c.want) << c.index << " " << WideToUtf8(c.name);
    EXPECT_EQ(dir.read("dev/macro.config"), before) << "a refused rename writes nothing";

    EXPECT_EQ(store.RenameMacro(1, L"  Sch\u00FCsse "), RenameResult::Renamed);
    EXPECT_EQ(store.names()[1], L"Sch\u00FCsse");
    EXPECT_EQ(ReadString(Member(Element(Member(listFile(), "MacroInfo"), 1), "MacroName")), "Sch\xC3\xBC" "sse");
    EXPECT_EQ(ReadString(Member(Element(Member(listFile(), "MacroInfo"), 1), "Guid")), "b");
}

TEST_F(MacroStoreTest, DeleteRemovesTheFileAndTheEntryAndLaterOnesMoveDown)
{
    writeList({{"a", "one"}, {"b", "two"}, {"c", "three"}});
    for (const char* id : {"a", "b", "c"})
        dir.write(std::string("dev/") + id + ".mac", macroFile(id));
    EXPECT_FALSE(store.DeleteMacro(3));
    EXPECT_FALSE(store.DeleteMacro(-1));
    ASSERT_TRUE(store.DeleteMacro(1));
    EXPECT_FALSE(dir.exists("dev/b.mac"));
    EXPECT_TRUE(dir.exists("dev/a.mac"));
    EXPECT_TRUE(dir.exists("dev/c.mac"));
    EXPECT_EQ(store.names(), (std::vector<std::wstring>{L"one", L"three"}));
    const Json::Value info = Member(listFile(), "MacroInfo");
    ASSERT_EQ(ElementCount(info), 2u);
    EXPECT_EQ(ReadString(Member(Element(info, 1), "Guid")), "c");
}

TEST_F(MacroStoreTest, AFileTwoEntriesNameStaysUntilTheLastOfThemGoes)
{
    writeList({{"same", "one"}, {"same", "two"}});
    dir.write("dev/same.mac", macroFile("same"));
    ASSERT_TRUE(store.DeleteMacro(0));
    EXPECT_TRUE(dir.exists("dev/same.mac"));
    EXPECT_EQ(store.LoadEvents(store.list()[0].id).size(), 1u);
    ASSERT_TRUE(store.DeleteMacro(0));
    EXPECT_FALSE(dir.exists("dev/same.mac"));
}

TEST_F(MacroStoreTest, AnIdFromTheListNeverReachesOutsideTheFolder)
{
    // Each id, taken as a path, would name a file beside the device folder.
    dir.write("x.mac", macroFile("x"));
    const std::string outside = WideToUtf8(FromFsPath(dir / "x"));
    const std::string ids[] = {"../x", "..\\x", "dev/../../x", outside, "c:x", std::string("x\0y", 3), "..", ""};
    for (const std::string& id : ids) {
        SCOPED_TRACE(id);
        writeList({{id, "hostile"}, {"ok", "fine"}});
        dir.write("dev/ok.mac", macroFile("ok"));
        EXPECT_TRUE(store.LoadEvents(id).empty());
        EXPECT_FALSE(store.SaveEvents(id, L"hostile", {MacroEvent{}}));
        EXPECT_FALSE(store.ExportMacro(0, dir.wide("exported.mac")));
        EXPECT_FALSE(dir.exists("exported.mac"));
        EXPECT_TRUE(store.DeleteMacro(0)) << "the entry goes";
        EXPECT_EQ(store.names(), std::vector<std::wstring>{L"fine"});
        EXPECT_EQ(dir.read("x.mac"), macroFile("x")) << "the file outside is untouched";
        EXPECT_TRUE(dir.exists("dev/ok.mac"));
    }
    EXPECT_EQ(filesBelow(dir.path()), (std::set<std::string>{"dev", "dev/macro.config", "dev/ok.mac", "x.mac"}));
}

TEST_F(MacroStoreTest, SavedEventsReadBackAndTheFileHoldsItsMembers)
{
    const std::vector<MacroEvent> events = {
        {"down", 0x04, 10, 35}, {"up", 0x04, 10, 0}, {"down", 0x02, 9, 65535}, {"down", 12, 4, 5}, {"up", 0x01, 1, 250},
    };
    ASSERT_TRUE(store.SaveEvents("2024_03_05_09_07_01_042", L"Gr\u00F6\u00DFe", events));
    EXPECT_EQ(store.LoadEvents("2024_03_05_09_07_01_042"), events);

    const Json::Value file = ReadJsonFile(dir.wide("dev/2024_03_05_09_07_01_042.mac"));
    EXPECT_EQ(file.getMemberNames(), (std::vector<std::string>{"Events", "Guid", "MacroName", "Version"}));
    EXPECT_EQ(ReadString(Member(file, "Guid")), "2024_03_05_09_07_01_042");
    EXPECT_EQ(ReadString(Member(file, "MacroName")), "Gr\xC3\xB6\xC3\x9F" "e");
    EXPECT_EQ(Member(file, "Version"), Json::Value(64));
    const Json::Value& first = Element(Member(file, "Events"), 0);
    EXPECT_EQ(Member(first, "Delay"), Json::Value("35")) << "the delay is text";
    EXPECT_EQ(Member(first, "Action"), Json::Value("down"));
    EXPECT_EQ(Member(first, "Button"), Json::Value(4));
    EXPECT_EQ(Member(first, "Type"), Json::Value(10));
}

TEST_F(MacroStoreTest, SavingKeepsAtMostSixtyEvents)
{
    std::vector<MacroEvent> events(kMaxEventsPerMacro + 1);
    for (int i = 0; i < int(events.size()); ++i)
        events[size_t(i)].delay = i;
    ASSERT_TRUE(store.SaveEvents("m", L"long", events));
    const std::vector<MacroEvent> back = store.LoadEvents("m");
    ASSERT_EQ(back.size(), size_t(kMaxEventsPerMacro));
    EXPECT_EQ(back.back().delay, kMaxEventsPerMacro - 1) << "the last ones are dropped";
}

TEST_F(MacroStoreTest, LoadEventsOfAnUnreadableFileIsEmpty)
{
    dir.write("dev/broken.mac", "{\"Events\": [");
    dir.write("dev/noarray.mac", "{\"Events\": 3}");
    for (const char* id : {"missing", "broken", "noarray"})
        EXPECT_TRUE(store.LoadEvents(id).empty()) << id;
}

TEST_F(MacroStoreTest, ExportIsAByteCopy)
{
    writeList({{"a", "one"}, {"b", "never saved"}});
    const std::string bytes = "/* kept */\n" + macroFile("a") + "\r\n\r\n";
    dir.write("dev/a.mac", bytes);
    ASSERT_TRUE(store.ExportMacro(0, dir.wide("out.mac")));
    EXPECT_EQ(dir.read("out.mac"), bytes);
    // Over an older export as well.
    dir.write("out2.mac", "older and longer than the macro file itself, by quite a few bytes ....................................................");
    ASSERT_TRUE(store.ExportMacro(0, dir.wide("out2.mac")));
    EXPECT_EQ(dir.read("out2.mac"), bytes);

    EXPECT_FALSE(store.ExportMacro(1, dir.wide("none.mac")));
    EXPECT_FALSE(dir.exists("none.mac"));
    EXPECT_FALSE(store.ExportMacro(2, dir.wide("none.mac")));
}

TEST(MacroEvent, DelayReadsAsTheDeviceReadsIt)
{
    struct Case {
        const char* json;
        int want;
    };
    const Case cases[] = {
        {"\"35\"", 35},      {"250", 250},     {"\"250\"", 250},  {"65535", 65535}, {"65536", 65535},
        {"\"70000\"", 65535}, {"99999999999", 65535}, {"\"12ab\"", 12}, {"\"ab\"", 0},   {"\"\"", 0},
        {"-5", 0},           {"\"-5\"", 0},    {"12.9", 12},      {"null", 0},      {"[1]", 0},
        {"true", 1},
    };
    for (const Case& c : cases) {
        const Json::Value v = ParseJsonText(std::string("{\"Action\":\"down\",\"Button\":1,\"Type\":1,\"Delay\":") + c.json + "}");
        ASSERT_TRUE(v.isObject()) << c.json;
        const MacroEvent e = MacroEvent::fromJson(v);
        EXPECT_EQ(e.delay, c.want) << c.json;
        const auto bytes = encodeMacroEvent(v);
        EXPECT_EQ(bytes[0] | bytes[1] << 8, c.want) << c.json << ": what is shown is what the device is sent";
    }
}

TEST(MacroEvent, BecomesTheDeviceFormThroughItsJson)
{
    struct Case {
        const char* json;
        std::array<uint8_t, 4> want;
    };
    const Case cases[] = {
        {R"({"Action":"down","Button":4,"Type":10,"Delay":"35"})", {0x23, 0x00, 0x8A, 0x04}},
        {R"({"Action":"up","Button":4,"Type":10,"Delay":"300"})", {0x2C, 0x01, 0x0A, 0x04}},
        {R"({"Action":"down","Button":12,"Type":5,"Delay":0})", {0x00, 0x00, 0x85, 0x0C}},
        {R"({"Action":"UP","Button":2,"Type":1,"Delay":"1"})", {0x01, 0x00, 0x01, 0x02}},
        {R"({"Action":"down","Button":300,"Type":4,"Delay":"65535"})", {0xFF, 0xFF, 0x84, 0xFF}},
        {R"({"Action":7,"Button":"x","Type":"y"})", {0x00, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        const Json::Value v = ParseJsonText(c.json);
        const MacroEvent e = MacroEvent::fromJson(v);
        EXPECT_EQ(encodeMacroEvent(e.toJson()), c.want) << c.json;
        EXPECT_EQ(encodeMacroEvent(e.toJson()), encodeMacroEvent(v)) << c.json << ": the model loses nothing the device uses";
        EXPECT_EQ(MacroEvent::fromJson(e.toJson()), e) << c.json;
    }
    EXPECT_EQ(MacroEvent::fromJson(ParseJsonText(cases[0].json)), (MacroEvent{"down", 4, 10, 35}));
}

KeyEntry key(uint16_t at, uint8_t type, uint8_t p1, uint8_t p2 = 0)
{
    // The factory action is a distinct plain key, so a fall-back shows.
    return {{at, type, p1, p2, 0}, {at, 0x20, 0, uint8_t(0x04 + at), 0}};
}

TEST(MacroKeys, DeletingAMacroMovesLaterOnesDownAndItsKeysToTheirDefault)
{
    // Macros 0, 1, 2; macro 1 is deleted.
    std::vector<KeyEntry> keys = {
        key(0, 0x70, 1, 0), // plays the deleted macro
        key(1, 0x71, 2, 3), // plays macro 2, three times
        key(2, 0x70, 0, 1), // an earlier macro
        key(3, 0x20, 2, 4), // not a macro: param1 is a modifier
        key(4, 0x72, 2, 0), // a gun, not a macro
        key(5, 0x71, 1, 9),
    };
    ASSERT_TRUE(keysPlayMacro(keys, 1));
    ASSERT_TRUE(dropMacroFromKeys(keys, 1));
    struct Want {
        uint8_t type, p1, p2;
    };
    const Want want[] = {{0x20, 0, 0x04}, {0x71, 1, 3}, {0x70, 0, 1}, {0x20, 2, 4}, {0x72, 2, 0}, {0x20, 0, 0x09}};
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(keys[i].current.type, want[i].type);
        EXPECT_EQ(keys[i].current.param1, want[i].p1);
        EXPECT_EQ(keys[i].current.param2, want[i].p2);
        EXPECT_EQ(keys[i].current.keyIndex, i) << "a key keeps its place";
    }
    EXPECT_FALSE(keysPlayMacro(keys, 2)) << "nothing plays the last number any more";
}

TEST(MacroKeys, AListWithoutTheMacroOrALaterOneIsUnchanged)
{
    const std::vector<KeyEntry> keys = {key(0, 0x70, 0), key(1, 0x20, 5, 0), key(2, 0x72, 3)};
    for (int d : {1, 3, 5, -1, 300}) {
        std::vector<KeyEntry> copy = keys;
        EXPECT_FALSE(keysPlayMacro(copy, d)) << d;
        EXPECT_FALSE(dropMacroFromKeys(copy, d)) << d;
        EXPECT_EQ(copy, keys) << d;
    }
}

} // namespace
} // namespace q9::editors
