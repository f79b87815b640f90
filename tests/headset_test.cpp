// The headset's light: the colour reports of a frame as the emulated headset receives them, and
// its own effects step by step (the wave and the running light across the columns).
#include "device/HeadsetEffects.h"
#include "device/HeadsetReports.h"
#include "hid/DeviceCatalogue.h"
#include "device/MousePadEffects.h"
#include "hid/HidTransport.h"
#include "sim/HeadsetEmulator.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

using headset::ColourReport;
using Zones = std::array<uint32_t, headset::kZones>;

// The emulated headset and the host's transport on its one interface.
struct Plugged {
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    sim::HeadsetEmulator headset{bus};
    HidTransport link{std::make_shared<sim::SimBackend>(bus)};

    Plugged()
    {
        headset.plugCable();
        EXPECT_TRUE(link.enumerate());
        const std::wstring* path = link.nextPath();
        EXPECT_NE(path, nullptr);
        if (path) {
            EXPECT_EQ(parseMi(*path), 3);
            EXPECT_EQ(parseCol(*path), 0); // one collection: the catalogue's row has no collection
            EXPECT_TRUE(link.open(*path, true, true, true, false));
        }
    }

    void send(const Zones& zones)
    {
        for (const ColourReport& r : headset::colourReports(zones))
            EXPECT_TRUE(link.setOutputReport(r.data(), r.size()));
    }
};

TEST(HeadsetColourReports, ValueIsChannelTimesBrightnessCutTo247)
{
    const struct {
        uint8_t channel, brightness, value;
    } cases[] = {
        {255, 255, 247}, // 254 before the cut
        {255, 248, 247}, // 247 exactly
        {255, 247, 246},
        {128, 255, 127},
        {255, 0, 0},
        {0, 255, 0},
        {100, 128, 50},
    };
    for (const auto& c : cases)
        EXPECT_EQ(headset::zoneValue(c.channel, c.brightness), c.value) << int(c.channel) << " x " << int(c.brightness);
}

TEST(HeadsetColourReports, TwelveReportsInTheHeadsetsOrder)
{
    const auto reports = headset::colourReports(Zones{});
    const std::pair<uint8_t, uint8_t> order[] = {
        {0x22, 0xAA}, {0x22, 0xAD}, {0x44, 0xAA}, {0x44, 0xAD}, {0x22, 0xAB}, {0x22, 0xAE},
        {0x44, 0xAB}, {0x44, 0xAE}, {0x22, 0xAC}, {0x22, 0xAF}, {0x44, 0xAC}, {0x44, 0xAF},
    };
    ASSERT_EQ(reports.size(), std::size(order));
    for (size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i][0], 0xFF) << i;
        EXPECT_EQ(reports[i][1], order[i].first) << i;
        EXPECT_EQ(reports[i][2], order[i].second) << i;
    }
}

TEST(HeadsetColourReports, FrameArrivesByteForByte)
{
    Plugged p;
    // Zone z: red 10·z+5, green 255, blue 0, full brightness; zone 6 and 12 full white.
    Zones zones{};
    for (int z = 0; z < headset::kZones; ++z)
        zones[size_t(z)] = light::pack(uint8_t(10 * z + 5), 255, 0, 255);
    zones[6] = light::pack(255, 255, 255, 255);
    zones[12] = light::pack(255, 255, 255, 255);
    p.send(zones);

    const auto got = p.headset.received();
    ASSERT_EQ(got.size(), 12u);
    EXPECT_EQ(p.headset.malformedReports(), 0);
    auto red = [](int z) { return uint8_t((10 * z + 5) * 255 / 256); };
    // Red of zones 0-6, then of zones 7-12 with byte 10 left from the report before (zone 6).
    const std::vector<uint8_t> lowRed = {0xFF, 0x22, 0xAA, 0, red(0), red(1), red(2), red(3), red(4), red(5), 247, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> highRed = {0xFF, 0x22, 0xAD, 0, red(7), red(8), red(9), red(10), red(11), 247, 247, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(got[0], lowRed);
    EXPECT_EQ(got[1], highRed);
    // Green is 247 everywhere; blue is 0 but for the white zones.
    const std::vector<uint8_t> highGreen = {0xFF, 0x44, 0xAE, 0, 247, 247, 247, 247, 247, 247, 247, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(got[7], highGreen);
    const std::vector<uint8_t> highBlue = {0xFF, 0x44, 0xAF, 0, 0, 0, 0, 0, 0, 247, 247, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(got[11], highBlue);

    for (uint8_t set : {uint8_t(0x22), uint8_t(0x44)}) {
        for (int z = 0; z < headset::kZones; ++z) {
            const bool white = z == 6 || z == 12;
            const sim::HeadsetEmulator::Colour want{white ? uint8_t(247) : red(z), 247, white ? uint8_t(247) : uint8_t(0)};
            EXPECT_EQ(p.headset.zone(set, z), want) << "set " << int(set) << " zone " << z;
        }
    }
}

TEST(HeadsetColourReports, UpperHalfByte10FollowsTheReportBefore)
{
    // Zone 6 differs per channel, so byte 10 of each upper report shows which report it follows.
    Zones zones{};
    zones[6] = light::pack(40, 80, 160, 128);
    const auto reports = headset::colourReports(zones);
    for (size_t i = 1; i < reports.size(); i += 2) {
        EXPECT_EQ(reports[i][10], reports[i - 1][10]) << i;
        EXPECT_GE(reports[i][2], 0xAD);
    }
    EXPECT_EQ(reports[1][10], 20);
    EXPECT_EQ(reports[5][10], 40);
    EXPECT_EQ(reports[9][10], 80);
}

TEST(HeadsetEmulator, RejectsReportsOfTheWrongShape)
{
    Plugged p;
    const std::vector<std::vector<uint8_t>> bad = {
        {0xFF, 0x33, 0xAA, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0, 0, 0}, // unknown colour set
        {0xFF, 0x22, 0xB0, 0, 1, 2, 3, 4, 5, 6, 7, 0, 0, 0, 0, 0, 0}, // unknown code
    };
    for (const auto& r : bad)
        EXPECT_TRUE(p.link.setOutputReport(r.data(), r.size()));
    EXPECT_EQ(p.headset.received().size(), bad.size());
    EXPECT_EQ(p.headset.malformedReports(), int(bad.size()));
    EXPECT_EQ(p.headset.zone(0x22, 0), sim::HeadsetEmulator::Colour{});
}

TEST(HeadsetEmulator, UnpluggedTakesNothing)
{
    Plugged p;
    p.headset.unplugCable();
    EXPECT_FALSE(p.headset.isPlugged("cable"));
    const ColourReport r = headset::colourReports(Zones{}).front();
    EXPECT_FALSE(p.link.setOutputReport(r.data(), r.size()));
    EXPECT_TRUE(p.headset.received().empty());
}

LightInfoRecord state(uint8_t fx, uint8_t multi, uint8_t speed = 2)
{
    LightInfoRecord s;
    s.light = 4;
    s.speed = speed;
    s.fx = fx;
    s.multiColor = multi;
    s.red = 10;
    s.green = 20;
    s.blue = 30;
    return s;
}

uint32_t wheelColour(int entry, uint8_t level)
{
    const light::Rgb c = light::wheel()[size_t(entry % 192)];
    return light::pack(c.r, c.g, c.b, level);
}

TEST(HeadsetEffects, WaveStepsSixteenWheelEntriesPerZone)
{
    for (uint8_t fx : {uint8_t(0), uint8_t(1)}) {
        headset::HeadsetEffects e;
        light::LightPreview out(headset::kZones);
        const LightInfoRecord s = state(fx, 1);
        const uint8_t level = light::levelOf(s.light);
        for (int step = 0; step < 3; ++step) {
            e.stepWave(s, out);
            for (int z = 0; z < headset::kZones; ++z)
                EXPECT_EQ(out.zone(z), wheelColour(e.phase() + 1 + 16 * z, level)) << "fx " << int(fx) << " step " << step << " zone " << z;
        }
        // The phase moves one entry per step, the way the direction says.
        const uint8_t before = e.phase();
        e.stepWave(s, out);
        EXPECT_EQ(e.phase(), light::advance(fx != 0, 192, before));
    }
}

TEST(HeadsetEffects, RunningColumnsSkipsTheMissingZones)
{
    headset::HeadsetEffects e;
    light::LightPreview out(headset::kZones);
    const LightInfoRecord s = state(0, 0);
    // Every column gets lit in turn; the zones 13 and 14 of the first two columns are not there,
    // so the first two columns light zones 1 and 2 alone and nothing is written past zone 12.
    bool columnLit[headset::HeadsetEffects::kColumns] = {};
    for (int step = 0; step < 40; ++step) {
        e.stepRunningColumns(s, out);
        for (int col = 0; col < headset::HeadsetEffects::kColumns; ++col) {
            const auto& zones = pad::columns()[size_t(col)];
            const uint8_t want = uint8_t(e.columnLevel(col) * light::levelOf(s.light) / 256);
            columnLit[col] = columnLit[col] || e.columnLevel(col) > 0;
            for (int z : zones) {
                if (z < headset::kZones) {
                    EXPECT_EQ(uint8_t(out.zone(z)), want) << "step " << step << " column " << col << " zone " << z;
                }
            }
        }
        EXPECT_EQ(out.zone(0), 0u) << "zone 0 is in no column";
    }
    for (int col = 0; col < headset::HeadsetEffects::kColumns; ++col)
        EXPECT_TRUE(columnLit[col]) << col;
}

TEST(HeadsetEffects, RunningColumnsPulseMovesEverySecondStep)
{
    // Towards the higher columns with the direction cleared: column 0 lights first, then 1, 2...
    headset::HeadsetEffects e;
    light::LightPreview out(headset::kZones);
    const LightInfoRecord s = state(0, 0);
    e.stepRunningColumns(s, out);
    EXPECT_EQ(e.columnLevel(0), 0);
    for (int col = 0; col < 3; ++col) {
        e.stepRunningColumns(s, out); // the pulse lights the column it is on and moves on
        EXPECT_EQ(e.columnLevel(col), pad::runningDecay(255)) << col;
        EXPECT_EQ(e.columnLevel(col + 1), 0) << col;
        e.stepRunningColumns(s, out);
    }
}

} // namespace
} // namespace q9
