// The update check's request and the reading of its reply, the installed version, the date file,
// and which language a first start takes.
#include "app/Languages.h"
#include "update/UpdateCheck.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace q9 {
namespace {

ModelEntry mouseRow(int version, int flag = 1) { return {1, flag, version, L"KELDA", L"RX20M01A", L"MS", L"MS", L""}; }
ModelEntry appRow(int version) { return {0, 1, version, L"KELDA", L"ALL", L"Q9 Zen 1K", L"AP", L"V0102"}; }

TEST(UpdateRequest, KeyAndBodyAsTheServiceKnowsThem)
{
    EXPECT_EQ(update::makeAppKey(mouseRow(0x105)), QStringLiteral("KELDA_1_RX20M01A_MS_1"));
    EXPECT_EQ(update::makeAppKey(mouseRow(0x105, -1)), QStringLiteral("KELDA_1_RX20M01A_MS_-1")) << "through the receiver";
    EXPECT_EQ(update::makeAppKey(appRow(102)), QStringLiteral("KELDA_0_ALL_Q9 Zen 1K_1"));
    // The body is sent with its terminating zero; the application's version is decimal, a
    // firmware's hexadecimal; the space of the key is not encoded.
    EXPECT_EQ(update::requestBody(mouseRow(0x105)), QByteArray("app_key=KELDA_1_RX20M01A_MS_1&version=105", 42));
    EXPECT_EQ(update::requestBody(appRow(102)), QByteArray("app_key=KELDA_0_ALL_Q9 Zen 1K_1&version=102\0", 44));
    EXPECT_EQ(update::requestBody(mouseRow(0x105)).back(), '\0');
}

TEST(UpdateReply, RowsAsTheRepliesGiveThem)
{
    struct Case {
        const char* what;
        ModelEntry row;
        QByteArray reply;
        int status;
        QString current, latest, name;
    };
    const Case cases[] = {
        {"a newer firmware", mouseRow(0x105), R"({"name":"x","version":"106","version_name":"v","path":"p"})", 1, "V0105", "V106", "x"},
        {"the same firmware", mouseRow(0x105), R"({"name":"x","version":"105"})", 7, "V0105", "V105", "x"},
        {"hexadecimal: 10a is newer than 109", mouseRow(0x109), R"({"name":"x","version":"10a"})", 1, "V0109", "V10a", "x"},
        {"a newer application", appRow(102), R"({"name":"x","version":"103","version_name":"V1.0.3"})", 1, "V102", "V1.0.3", "x"},
        {"no name: unanswered", appRow(102), R"({"version":"999"})", 1, "V102", "", ""},
        {"not JSON", mouseRow(0x105), "<html>", 7, "", "", ""},
        {"no connection", mouseRow(0x105), "NO_LINK_SERVER", 7, "", "", "NO_LINK_SERVER"},
    };
    for (const Case& c : cases) {
        const update::UpdateRow r = update::evaluateReply(c.row, c.reply);
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.currentVersion, c.current) << c.what;
        EXPECT_EQ(r.latestVersion, c.latest) << c.what;
        EXPECT_EQ(r.name, c.name) << c.what;
    }
    EXPECT_EQ(update::evaluateReply(mouseRow(0x105), R"({"name":"x","version":"106","path":"http://d/f.bin"})").downloadAddress,
              QStringLiteral("http://d/f.bin"));
    EXPECT_EQ(update::installedText(mouseRow(0x105)), QStringLiteral("V0105"));
    EXPECT_EQ(update::installedText(appRow(102)), QStringLiteral("V0102")) << "the table's text before the answer";
}

TEST(UpdateVersion, TheInstalledVersionIsTheBuildsNumber)
{
    EXPECT_EQ(update::installedAppVersion(QStringLiteral("1.0.2")), 102);
    EXPECT_EQ(update::installedAppVersion(QStringLiteral("2.10.0")), 2100);
    EXPECT_EQ(update::installedAppVersion(QStringLiteral("")), 0);
}

TEST(UpdateDate, TheLastCheckIsKeptAsYearMonthDay)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("updatetime.config"));
    EXPECT_TRUE(update::readLastCheck(path).isEmpty()) << "never checked";
    ASSERT_TRUE(update::writeLastCheck(path, QStringLiteral("2024-3-7")));
    EXPECT_EQ(update::readLastCheck(path), QStringLiteral("2024-3-7"));
    const QString today = update::todayText();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d{4}-[1-9]\\d?-[1-9]\\d?$")).match(today).hasMatch()) << today.toStdString();
}

TEST(Languages, AFirstStartFollowsTheDesktopAndAChoiceIsKept)
{
    const std::vector<app::LanguageEntry> list = {{520, "cn", "lan_cn.xml", "lang_cn_text"}, {1033, "en", "lan_en.xml", "lang_en_text"}};
    struct Case {
        const char* what;
        std::optional<int> stored;
        QLocale desktop;
        int want;
    };
    const Case cases[] = {
        {"Chinese desktop, nothing chosen", std::nullopt, QLocale(QLocale::Chinese, QLocale::China), 0},
        {"Taiwanese desktop, nothing chosen", std::nullopt, QLocale(QLocale::Chinese, QLocale::Taiwan), 0},
        {"English desktop, nothing chosen", std::nullopt, QLocale(QLocale::English, QLocale::UnitedStates), 1},
        {"German desktop, nothing chosen", std::nullopt, QLocale(QLocale::German, QLocale::Germany), 1},
        {"English chosen on a Chinese desktop", 1033, QLocale(QLocale::Chinese, QLocale::China), 1},
        {"Chinese chosen on an English desktop", 520, QLocale(QLocale::English, QLocale::UnitedStates), 0},
        {"a stored id no entry has", 77, QLocale(QLocale::English, QLocale::UnitedStates), 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(app::chooseLanguage(list, c.stored, c.desktop), c.want) << c.what;
}

} // namespace
} // namespace q9
