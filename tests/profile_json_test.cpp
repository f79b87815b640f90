#include "profile/JsonFile.h"
#include "profile/TextConvert.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <regex>
#include <set>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace q9 {
namespace {

using test::TempFolder;

TEST(JsonFileTest, WriteGivesStyledTextWithCrLfAndAnEmptyLastLine)
{
    TempFolder dir;
    Json::Value v;
    v["b"] = 1;
    v["a"].append(1);
    v["a"].append(2);
    v["c"]["x"] = "y";
    ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), v), 0);
    EXPECT_EQ(dir.read("p.Json"), "{\r\n"
                                  "   \"a\" : [ 1, 2 ],\r\n"
                                  "   \"b\" : 1,\r\n"
                                  "   \"c\" : {\r\n"
                                  "      \"x\" : \"y\"\r\n"
                                  "   }\r\n"
                                  "}\r\n"
                                  "\r\n");
}

TEST(JsonFileTest, CommentsSurviveAReadAndWriteAndTheTextThenStaysStable)
{
    TempFolder dir;
    dir.write("c.Json", "// profile of the left hand\n{ \"a\" : 1, /* kept */ \"b\" : [1, 2] }\n");
    const Json::Value first = ReadJsonFile(dir.wide("c.Json"));
    ASSERT_TRUE(first.isObject());
    EXPECT_EQ(first["a"].asInt(), 1);

    ASSERT_EQ(WriteJsonFile(dir.wide("c.Json"), first), 0);
    const std::string once = dir.read("c.Json");
    EXPECT_NE(once.find("// profile of the left hand"), std::string::npos);
    EXPECT_NE(once.find("/* kept */"), std::string::npos);

    // Repeated saves must not grow the file (blank lines around comments, doubled CRs).
    ASSERT_EQ(WriteJsonFile(dir.wide("c.Json"), ReadJsonFile(dir.wide("c.Json"))), 0);
    EXPECT_EQ(dir.read("c.Json"), once);
}

TEST(JsonFileTest, NonAsciiTextReadsBackAsWritten)
{
    TempFolder dir;
    Json::Value v;
    v["profilename"] = WideToUtf8(L"Profil é 配置 \U0001F3AE");
    ASSERT_EQ(WriteJsonFile(dir.wide("n.Json"), v), 0);
    EXPECT_EQ(Utf8ToWide(ReadJsonFile(dir.wide("n.Json"))["profilename"].asString()),
              L"Profil é 配置 \U0001F3AE");
}

struct UnreadableCase {
    const char* name;
    std::string content;
};
void PrintTo(const UnreadableCase& c, std::ostream* os) { *os << c.name; }

class UnreadableFileTest : public testing::TestWithParam<UnreadableCase> {};

// None of these may throw or crash; each reads as null.
TEST_P(UnreadableFileTest, ReadsAsNull)
{
    TempFolder dir;
    dir.write("f.Json", GetParam().content);
    EXPECT_TRUE(ReadJsonFile(dir.wide("f.Json")).isNull());
}

INSTANTIATE_TEST_SUITE_P(
    Files, UnreadableFileTest,
    testing::Values(UnreadableCase{"Empty", ""}, UnreadableCase{"NotJson", "profile=1\n"},
                    UnreadableCase{"CutShort", "{ \"Device\" : [ { \"KeyList\" : [ "},
                    UnreadableCase{"NestedTooDeep", std::string(100000, '[') + std::string(100000, ']')},
                    UnreadableCase{"ObjectsNestedTooDeep", [] {
                                       std::string s;
                                       for (int i = 0; i < 5000; ++i)
                                           s += "{\"a\":";
                                       return s + "1" + std::string(5000, '}');
                                   }()},
                    UnreadableCase{"OverTheSizeBound",
                                   "{\"a\":1}" + std::string(kMaxJsonFileBytes, ' ')}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(JsonFileTest, SizeBoundAndNestingBoundLeaveOrdinaryFilesReadable)
{
    TempFolder dir;
    const std::string object = "{\"a\":1}";
    dir.write("at_bound.Json", object + std::string(kMaxJsonFileBytes - object.size(), ' '));
    EXPECT_EQ(ReadJsonFile(dir.wide("at_bound.Json"))["a"].asInt(), 1);

    const int depth = kMaxJsonDepth - 2;
    dir.write("deep.Json", std::string(depth, '[') + "7" + std::string(depth, ']'));
    Json::Value v = ReadJsonFile(dir.wide("deep.Json"));
    for (int i = 0; i < depth; ++i)
        v = Json::Value(v[0]);
    EXPECT_EQ(v.asInt(), 7);
}

TEST(JsonFileTest, MissingFileAndFolderReadAsNothing)
{
    TempFolder dir;
    EXPECT_EQ(ReadFileText(dir.wide("missing.Json")), "");
    std::filesystem::create_directory(dir / "folder.Json");
    EXPECT_EQ(ReadFileText(dir.wide("folder.Json")), "");
    EXPECT_TRUE(ReadJsonFile(dir.wide("folder.Json")).isNull());
}

TEST(JsonFileTest, TemporariesOfEndedProcessesGoAndEverythingElseStays)
{
    TempFolder dir;
    // A process id that surely runs no more: a child that has ended and been waited for.
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    ASSERT_GT(child, 0);
    waitpid(child, nullptr, 0);
    const std::string dead = std::to_string(child), alive = std::to_string(getpid());
    std::filesystem::create_directories(dir / "mouse" / "deeper");
    const std::vector<std::pair<std::string, bool>> cases = {
        // name, whether it goes
        {"p.Json.tmp" + dead + "_0", true},
        {"mouse/ProfileList.ini.tmp" + dead + "_12", true},
        {"mouse/p.Json.tmp" + alive + "_3", false},     // a writer that still runs
        {"mouse/deeper/x.Json.tmp" + dead + "_1", true}, // two levels down
        {"p.Json.tmp", false},                          // not our pattern
        {"p.Json.tmp" + dead + "_", false},
        {"p.Json.tmpx_1", false},
        {"p.Json", false},
    };
    for (const auto& [name, goes] : cases)
        dir.write(name, "x");
    EXPECT_EQ(RemoveStaleTemporaries(dir.wide("")), 3);
    for (const auto& [name, goes] : cases)
        EXPECT_EQ(dir.exists(name), !goes) << name;
}

// Makes every write beyond `bytes` fail with EFBIG, like a disk that fills up during a save.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool active() const { return active_; }

private:
    rlimit saved_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

std::set<std::string> filesIn(const std::filesystem::path& dir)
{
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

TEST(JsonFileTest, AWriteThatFailsPartWayLeavesTheOldFileByteForByte)
{
    TempFolder dir;
    Json::Value old;
    old["profilename"] = "mine";
    ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), old), 0);
    const std::string before = dir.read("p.Json");

    Json::Value big;
    for (int i = 0; i < 2000; ++i)
        big["KeyList"].append(i);
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        EXPECT_EQ(WriteJsonFile(dir.wide("p.Json"), big), -1);
    }
    EXPECT_EQ(dir.read("p.Json"), before);
    EXPECT_EQ(filesIn(dir.path()), std::set<std::string>{"p.Json"}); // no temporary file left

    ASSERT_EQ(WriteJsonFile(dir.wide("p.Json"), big), 0);
    EXPECT_EQ(ReadJsonFile(dir.wide("p.Json")), big);
    EXPECT_EQ(filesIn(dir.path()), std::set<std::string>{"p.Json"});
}

TEST(JsonFileTest, AWriteThatCannotTakeThePlaceReportsFailureAndLeavesNothing)
{
    TempFolder dir;
    std::filesystem::create_directory(dir / "taken.Json");
    dir.write("taken.Json/inside", "x");
    EXPECT_EQ(WriteJsonFile(dir.wide("taken.Json"), Json::Value(1)), -1);
    EXPECT_EQ(dir.read("taken.Json/inside"), "x");
    EXPECT_EQ(filesIn(dir.path()), std::set<std::string>{"taken.Json"});

    EXPECT_EQ(WriteJsonFile(dir.wide("no_folder/p.Json"), Json::Value(1)), -1);
    EXPECT_FALSE(dir.exists("no_folder"));
}

TEST(TimeStampNameTest, IdsKeepTheFormatAndNeverRepeatInARun)
{
    const std::regex format(R"(\d{4}_\d{2}_\d{2}_\d{2}_\d{2}_\d{2}_\d{3})");
    std::set<std::string> seen;
    std::string previous;
    for (int i = 0; i < 5000; ++i) { // far more than one per millisecond
        const std::string id = TimeStampName();
        ASSERT_TRUE(std::regex_match(id, format)) << id;
        ASSERT_TRUE(seen.insert(id).second) << "repeated id " << id;
        ASSERT_GT(id, previous); // fixed-width fields: text order is time order
        previous = id;
    }
}

TEST(FileTitleTest, NameWithoutFolderAndExtension)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"/home/u/exports/game.json", L"game"},
        {L"game.json", L"game"},
        {L"C:\\Users\\u\\fps.Json", L"fps"},
        {L"/a/b.c/name", L"name"},
        {L"/a/archive.tar.gz", L"archive.tar"},
        {L"/a/.hidden", L".hidden"},
        {L"/a/配置.json", L"配置"},
        {L"", L""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(FileTitle(path), title) << WideToUtf8(path);
}

TEST(TextConvertTest, Utf8ToWideDecodesValidTextAndReplacesEachBadSequence)
{
    const std::pair<std::string, std::wstring> cases[] = {
        {"Profile1", L"Profile1"},
        {"caf\xc3\xa9", L"café"},
        {"\xe9\x85\x8d\xe7\xbd\xae", L"配置"},
        {"\xf0\x9f\x8e\xae", L"\U0001F3AE"},
        {"a\xff" "b", L"a\uFFFDb"},
        {"\xe4\xb8", L"\uFFFD\uFFFD"},          // cut short
        {"\xc0\xaf", L"\uFFFD\uFFFD"},          // overlong slash
        {"\xed\xa0\x80", L"\uFFFD\uFFFD\uFFFD"}, // encoded surrogate
        {"\xf4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // above U+10FFFF
    };
    for (const auto& [bytes, wide] : cases) {
        EXPECT_EQ(Utf8ToWide(bytes), wide) << bytes;
        if (wide.find(L'\uFFFD') == std::wstring::npos) {
            EXPECT_EQ(WideToUtf8(wide), bytes);
        }
    }
}

TEST(TextConvertTest, WideToUtf8ReplacesWhatIsNoCharacter)
{
    EXPECT_EQ(WideToUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'}), "a\xef\xbf\xbd" "b");
    if constexpr (sizeof(wchar_t) == 4) {
        EXPECT_EQ(WideToUtf8(std::wstring{wchar_t(0x110000)}), "\xef\xbf\xbd");
    }
}

} // namespace
} // namespace q9
