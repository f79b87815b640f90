// The headset's sound chip through its configuration library: which devices the program picks,
// what it reads of their features, and the buffer conventions of gets and sets as the emulated chip
// checks them.
#include "device/AudioChipLink.h"
#include "sim/SoundChipEmulator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace q9 {
namespace {


struct Messages {
    std::vector<std::string> told;
    std::function<void(const char*)> sink() { return [this](const char* t) { told.emplace_back(t); }; }
};

struct Chip : testing::Test {
    std::shared_ptr<sim::SoundChipEmulator> chip = std::make_shared<sim::SoundChipEmulator>();
    AudioChipLink link{chip};
    Messages messages;

    void SetUp() override { chip->setPresent(true); }
};

TEST_F(Chip, PicksTheSpeakersOverTheDigitalOutputAndReadsTheFeatureWords)
{
    ASSERT_TRUE(link.open(messages.sink()));
    EXPECT_TRUE(messages.told.empty());
    EXPECT_EQ(link.device(AudioChipLink::Playback).deviceType, 1u) << "type 1 is preferred to the type-4 output listed first";
    EXPECT_EQ(link.device(AudioChipLink::Capture).deviceType, 2u);
    // The capture side's fields 0, 4 and 6: the voice-effect flag and two words.
    EXPECT_EQ(link.device(AudioChipLink::Capture).featureFlags, 0x20000u);
    EXPECT_EQ(link.device(AudioChipLink::Capture).featureB, 7u);
    EXPECT_EQ(link.device(AudioChipLink::Capture).featureC, 3u);
}

TEST_F(Chip, ValuesGoBothWaysInTheLibrarysConventions)
{
    ASSERT_TRUE(link.open(messages.sink()));
    EXPECT_TRUE(link.setFraction(AudioChipLink::Capture, "VolumeScalarControl", 0.37f, -1));
    EXPECT_TRUE(link.setFraction(AudioChipLink::Capture, "AAVolumeScalarControl", 0.6f, 0));
    EXPECT_TRUE(link.setInt(AudioChipLink::Playback, "EQ_Slider4", -11));
    EXPECT_TRUE(link.setSurround(1));
    EXPECT_EQ(chip->malformedCalls(), 0);

    ASSERT_TRUE(link.get(AudioChipLink::Capture, "VolumeScalarControl"));
    EXPECT_NEAR(*link.get(AudioChipLink::Capture, "VolumeScalarControl"), 0.37, 1e-6);
    EXPECT_EQ(link.get(AudioChipLink::Playback, "EQ_Slider4"), -11.0);
    EXPECT_EQ(link.get(AudioChipLink::Playback, "VirtualSurroundEffectControl"), 1.0);
    EXPECT_FALSE(link.get(AudioChipLink::Playback, "RFX_ROOMSIZE")) << "never set: the get fails";
}

TEST_F(Chip, SetsThatBreakTheConventionsAreRefused)
{
    ASSERT_TRUE(link.open(messages.sink()));
    struct Case {
        const char* what;
        std::function<bool()> call;
    } cases[] = {
        {"microphone volume on the monitoring channel", [&] { return link.setFraction(AudioChipLink::Capture, "VolumeScalarControl", 0.5f, 0); }},
        {"monitoring volume on the microphone channel", [&] { return link.setFraction(AudioChipLink::Capture, "AAVolumeScalarControl", 0.5f, -1); }},
        {"a fraction above one", [&] { return link.setFraction(AudioChipLink::Capture, "VolumeScalarControl", 1.5f, -1); }},
        {"a capture property on the playback device", [&] { return link.setInt(AudioChipLink::Playback, "MuteControl", 1); }},
        {"voice effect beyond the four", [&] { return link.setInt(AudioChipLink::Capture, "MagicVoice_Selection", 4); }},
        {"a get-only property", [&] { return link.setInt(AudioChipLink::Capture, "GetAAMaxVol", 1); }},
    };
    int refused = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.call());
        EXPECT_EQ(chip->malformedCalls(), ++refused);
    }
    EXPECT_TRUE(chip->sets().empty());
}

TEST_F(Chip, AGoneHeadsetOrNoLibraryChangesNothing)
{
    chip->setPresent(false);
    EXPECT_FALSE(link.open(messages.sink())) << "no playback device listed";
    EXPECT_FALSE(link.has(AudioChipLink::Capture));
    EXPECT_FALSE(link.setInt(AudioChipLink::Capture, "MuteControl", 1));

    chip->setPresent(true);
    ASSERT_TRUE(link.open(messages.sink()));
    chip->setPresent(false); // unplugged after the page was made
    EXPECT_FALSE(link.setInt(AudioChipLink::Capture, "MuteControl", 1));
    EXPECT_FALSE(link.get(AudioChipLink::Capture, "MuteControl"));

    AudioChipLink none;
    EXPECT_FALSE(none.open(messages.sink()));
    EXPECT_FALSE(none.get(AudioChipLink::Capture, "MuteControl"));
    EXPECT_TRUE(messages.told.empty());
}

// A library that fails its start and answers the feature query with too few fields.
struct ShortFeatures : AudioChipLibrary {
    int ConfLibInit() override { return 5; }
    int CreateDeviceList() override { return 0; }
    int GetDeviceCount(int, uint32_t* count) override { return *count = 1, 0; }
    int GetDeviceById(int flow, uint32_t, AudioDeviceInfo* info) override
    {
        *info = {1, flow == AudioPlayback ? 1u : 2u, 0, 1};
        return 0;
    }
    int PropertyControl(AudioDeviceInfo, const std::u16string&, uint8_t* value, uint8_t*, int) override
    {
        const char16_t text[] = u"1,2,3";
        std::memcpy(value, text, sizeof text);
        return 0;
    }
};

TEST(ChipMessages, AFailedStartAndShortFeaturesAreToldAndSetUpGoesOn)
{
    AudioChipLink link(std::make_shared<ShortFeatures>());
    Messages messages;
    EXPECT_TRUE(link.open(messages.sink()));
    EXPECT_EQ(messages.told, (std::vector<std::string>{"ConfLibInit called failed!", "UpdateAPOAvailable failed!",
                                                        "UpdateAPOAvailable failed!"}));
    EXPECT_EQ(link.device(AudioChipLink::Capture).featureFlags, 0u);
}

} // namespace
} // namespace q9
