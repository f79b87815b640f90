// The sound as the program sees it: sample blocks reduced to 25 band levels, every third block
// handed over; and the companion's blocks made from sound.
#include "audio/AudioBands.h"
#include "audio/FrequencyBlocks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace q9::audio {
namespace {

std::vector<uint8_t> block(const std::vector<int32_t>& values)
{
    std::vector<uint8_t> bytes(kSampleBlockBytes, 0);
    for (size_t i = 0; i < values.size() && i < size_t(kSamples); ++i)
        for (int b = 0; b < 4; ++b)
            bytes[4 * i + size_t(b)] = uint8_t(uint32_t(values[i]) >> (8 * b));
    return bytes;
}

std::vector<int32_t> filled(int32_t v) { return std::vector<int32_t>(kSamples, v); }

TEST(AudioBands, LevelsFollowTheChangeBetweenBlocksAndEveryThirdIsHandedOver)
{
    AudioBands bands;
    // Block 1: every magnitude 1000 after zeros: four differences of 1000 a band.
    EXPECT_FALSE(bands.addBlock(block(filled(1000)).data(), kSampleBlockBytes));
    EXPECT_EQ(bands.levels()[0], 1000) << "(0 + 4000) / 4";
    // The spread: sqrt((0 + 4 * (1000 - 1000)^2) / 3) = 0.
    EXPECT_EQ(bands.spreads()[0], 0);
    // Block 2 is the same: no change, the level decays to a quarter.
    EXPECT_FALSE(bands.addBlock(block(filled(1000)).data(), kSampleBlockBytes));
    EXPECT_EQ(bands.levels()[7], 250);
    // spread = sqrt((0 + 4 * 250^2) / 3) = 288
    EXPECT_EQ(bands.spreads()[7], 288);
    // Block 3 is handed over, and the count starts again.
    const auto third = bands.addBlock(block(filled(1000)).data(), kSampleBlockBytes);
    ASSERT_TRUE(third);
    EXPECT_EQ((*third)[24], 62);
    EXPECT_FALSE(bands.addBlock(block(filled(0)).data(), kSampleBlockBytes));
    EXPECT_FALSE(bands.addBlock(block(filled(0)).data(), kSampleBlockBytes));
    EXPECT_TRUE(bands.addBlock(block(filled(0)).data(), kSampleBlockBytes));
}

TEST(AudioBands, TheFifthValueOfEachGroupIsNotUsedAndBandsStaySeparate)
{
    AudioBands bands;
    std::vector<int32_t> v(kSamples, 0);
    for (int j = 0; j < kBands; ++j) {
        v[size_t(5 * j + 4)] = 50000; // unused
        v[size_t(5 * j)] = 4 * j;     // band j: one difference of 4j
    }
    bands.addBlock(block(v).data(), kSampleBlockBytes);
    for (int j = 0; j < kBands; ++j)
        EXPECT_EQ(bands.levels()[size_t(j)], j) << j;
}

TEST(AudioBands, NegativeAndShortBlocksAndTheAuxiliaryValues)
{
    AudioBands bands;
    // -500 then +500: a difference of 1000, not of the unsigned words.
    bands.addBlock(block(filled(-500)).data(), kSampleBlockBytes);
    bands.addBlock(block(filled(500)).data(), kSampleBlockBytes);
    EXPECT_EQ(bands.levels()[3], (500 + 4000) / 4);
    // A block of eight bytes: two values, the rest count as 0.
    AudioBands shortOne;
    const std::vector<uint8_t> eight = {100, 0, 0, 0, 200, 0, 0, 0};
    shortOne.addBlock(eight.data(), eight.size());
    EXPECT_EQ(shortOne.levels()[0], (100 + 200) / 4);
    EXPECT_EQ(shortOne.levels()[1], 0);

    const std::vector<uint8_t> aux = {9, 0, 0, 0, 255, 0, 0, 0, 1, 1, 0, 0};
    const auto values = auxValues(aux.data(), aux.size());
    EXPECT_EQ(values[0], 9);
    EXPECT_EQ(values[1], 255);
    EXPECT_EQ(values[2], 257);
    EXPECT_EQ(values[3], 0);
}

TEST(FrequencyBlocks, ATonePutsItsEnergyInItsBandAndSilenceInNone)
{
    const int rate = 44100;
    FrequencyBlocks blocks(rate);
    std::vector<Magnitudes> made;
    // One second of a 1 kHz tone at half scale, in stereo.
    std::vector<int16_t> tone(size_t(2 * rate));
    for (int i = 0; i < rate; ++i)
        tone[size_t(2 * i)] = tone[size_t(2 * i + 1)] = int16_t(16000 * std::sin(2 * M_PI * 1000.0 * i / rate));
    blocks.addFrames(tone.data(), size_t(rate), 2, [&](const Magnitudes& m) { made.push_back(m); });
    ASSERT_GE(made.size(), 40u) << "about 43 blocks a second";
    ASSERT_LE(made.size(), 44u);
    // 1 kHz lies in band floor(log(1000/40) / log(400) * 25) = 13, at values 65-69.
    const Magnitudes& m = made.back();
    int loudest = 0;
    for (int v = 1; v < kUsedValues; ++v)
        if (m[size_t(v)] > m[size_t(loudest)])
            loudest = v;
    EXPECT_EQ(loudest / 5, 13);
    EXPECT_GT(m[size_t(loudest)], 1000);
    for (int v = kUsedValues; v < kBlockValues; ++v)
        ASSERT_EQ(m[size_t(v)], 0) << v;

    std::vector<int16_t> silence(size_t(2 * 4096), 0);
    made.clear();
    blocks.addFrames(silence.data(), 4096, 2, [&](const Magnitudes& b) { made.push_back(b); });
    ASSERT_FALSE(made.empty());
    for (int32_t v : made.back())
        ASSERT_EQ(v, 0);
}

} // namespace
} // namespace q9::audio
