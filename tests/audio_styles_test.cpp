// The user's audio styles in "AudioFile.json": the first start takes the default file, a copy
// without "Device" is replaced, a save keeps what else the file holds, and what the companion is
// sent for a style.
#include "profile/AudioStyles.h"
#include "profile/JsonFile.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace q9 {
namespace {

struct AudioStyleFiles : testing::Test {
    QTemporaryDir dir;
    std::wstring user() const { return (dir.path() + QStringLiteral("/AudioFile.json")).toStdWString(); }
    std::wstring def() const { return (dir.path() + QStringLiteral("/default.json")).toStdWString(); }
    void SetUp() override
    {
        Json::Value d;
        d["Device"]["AudioLightInfo"]["nAudioStyle"] = 2;
        d["Device"]["AudioLightInfo"]["nStyleName3"] = "第三组";
        d["Device"]["AudioLightInfo"]["nStyleG2"] = 0;
        d["Device"]["AudioLightInfo"]["nStyleR2"] = 300; // its low byte: 44
        ASSERT_EQ(WriteJsonFile(def(), d), 0);
    }
};

TEST_F(AudioStyleFiles, TheFirstStartTakesTheDefaultAndACopyWithoutDeviceIsReplaced)
{
    for (const char* existing : {"", R"({"Other": 1})", "not json"}) {
        SCOPED_TRACE(existing);
        if (*existing) {
            QFile f(QString::fromStdWString(user()));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(existing);
        } else {
            QFile::remove(QString::fromStdWString(user()));
        }
        AudioStyleFile file(user(), def());
        file.Load();
        const AudioStyleRecord r = file.record();
        EXPECT_EQ(r.style, 2);
        EXPECT_EQ(r.names[2], L"第三组");
        EXPECT_EQ(r.levels[2][0], 44);
        EXPECT_EQ(ReadJsonFile(user()), ReadJsonFile(def())) << "the user's copy is the default's content";
    }
}

TEST_F(AudioStyleFiles, ASaveReplacesOnlyDeviceAndKeepsTheRestOfTheFile)
{
    Json::Value mine;
    mine["Device"]["AudioLightInfo"]["nAudioStyle"] = 1;
    mine["Device"]["Extra"] = "kept while loaded";
    mine["Elsewhere"] = 7;
    ASSERT_EQ(WriteJsonFile(user(), mine), 0);
    AudioStyleFile file(user(), def());
    file.Load();
    AudioStyleRecord r = file.record();
    EXPECT_EQ(r.style, 1);
    r.style = 3;
    r.names[3] = L"Night";
    r.levels[3] = {1, 2, 3};
    file.store(r);
    file.Save();
    const Json::Value saved = ReadJsonFile(user());
    EXPECT_EQ(saved["Elsewhere"].asInt(), 7);
    EXPECT_EQ(saved["Device"]["Extra"].asString(), "kept while loaded");
    AudioStyleFile again(user(), def());
    again.Load();
    EXPECT_EQ(again.record(), r);

    again.Reset();
    EXPECT_EQ(again.record().style, 2) << "a reset takes the default styles";
    EXPECT_EQ(ReadJsonFile(user()), ReadJsonFile(def()));
}

TEST(AudioStyleLevels, GreenZeroIsSentAsOneAndAStyleBeyondTheFourSendsNothing)
{
    AudioStyleRecord r;
    r.style = 1;
    r.levels[1] = {9, 0, 4};
    std::array<int32_t, 3> rgb{};
    ASSERT_TRUE(StyleLevels(r, rgb));
    EXPECT_EQ(rgb, (std::array<int32_t, 3>{9, 1, 4}));
    EXPECT_EQ(r.levels[1][1], 0) << "the record keeps 0";
    r.style = 4;
    EXPECT_FALSE(StyleLevels(r, rgb));
}

} // namespace
} // namespace q9
