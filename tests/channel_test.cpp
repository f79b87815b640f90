#include "hid/CommandChannel.h"
#include "platform/Trace.h"
#include "support/SimMouse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <numeric>
#include <thread>

namespace q9 {
namespace {

using namespace std::chrono;
using test::SimMouse;

// A command channel on the simulated mouse, on its cable or through its receiver.
class ChannelTest : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (receiver())
            sim.mouse->plugReceiver();
        else
            sim.mouse->plugCable();
        ASSERT_TRUE(sim.openChannel(channel, receiver()));
        channel.setTimeouts(150, 150); // keeps the no-answer cases short
    }
    bool receiver() const { return GetParam(); }
    std::string link() const { return receiver() ? "receiver" : "cable"; }
    size_t chunk() const { return receiver() ? 24 : 56; }

    SimMouse sim;
    CommandChannel channel{sim.backend};
};

INSTANTIATE_TEST_SUITE_P(BothLinks, ChannelTest, testing::Values(false, true),
                         [](const auto& p) { return p.param ? "Receiver" : "Cable"; });

uint16_t addressOf(const sim::ReceivedReport& r) { return uint16_t(r.bytes[5] | r.bytes[6] << 8); }

TEST_P(ChannelTest, DeviceInfoReadTakesChunksOfTheLink)
{
    uint8_t info[34] = {};
    ASSERT_EQ(channel.readDeviceInfo(info), ResultOk);
    const auto expected = sim.mouse->deviceInfo();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), info));

    const auto reports = sim.mouse->receivedCommands(0x03);
    if (receiver()) {
        ASSERT_EQ(reports.size(), 2u);
        EXPECT_EQ(reports[0].bytes[4], 24);
        EXPECT_EQ(addressOf(reports[0]), 0);
        EXPECT_EQ(reports[1].bytes[4], 10);
        EXPECT_EQ(addressOf(reports[1]), 24);
    } else {
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].bytes[4], 34);
    }
    for (const auto& r : reports) {
        EXPECT_EQ(r.link, link());
        EXPECT_EQ(r.length, 64u);
    }
    EXPECT_EQ(sim.mouse->framingErrors(), 0);
}

TEST_P(ChannelTest, LaterChunksKeepTheBytesEarlierChunksLeft)
{
    std::vector<uint8_t> image(100);
    std::iota(image.begin(), image.end(), uint8_t(1));
    ASSERT_EQ(channel.writeMacroMemory(image.data(), image.size()), ResultOk);
    EXPECT_EQ(sim.mouse->framingErrors(), 0); // every checksum covered the leftover bytes

    const auto reports = sim.mouse->receivedCommands(0x15);
    const size_t n = chunk();
    ASSERT_EQ(reports.size(), (100 + n - 1) / n);
    for (size_t k = 0; k < reports.size(); ++k) {
        const size_t size = std::min(n, 100 - k * n);
        EXPECT_EQ(reports[k].bytes[4], size);
        EXPECT_EQ(addressOf(reports[k]), k * n);
        EXPECT_TRUE(std::equal(image.begin() + long(k * n), image.begin() + long(k * n + size), reports[k].bytes.begin() + 8));
    }
    // The last, shorter chunk still carries the previous chunk's tail after its payload.
    const auto& last = reports.back();
    const auto& before = reports[reports.size() - 2];
    const size_t lastSize = 100 - (reports.size() - 1) * n;
    for (size_t i = 8 + lastSize; i < 8 + n; ++i)
        EXPECT_EQ(last.bytes[i], before.bytes[i]) << "byte " << i;
    const auto memory = sim.mouse->macroMemory();
    EXPECT_TRUE(std::equal(image.begin(), image.end(), memory.begin()));
}

TEST_P(ChannelTest, SettingsRoundTrip)
{
    std::vector<uint8_t> record(86);
    std::iota(record.begin(), record.end(), uint8_t(7));
    ASSERT_EQ(channel.beginConfig(), ResultOk);
    ASSERT_EQ(channel.writeSettings(128, record.data(), record.size()), ResultOk);
    ASSERT_EQ(channel.endConfig(), ResultOk);
    EXPECT_EQ(sim.mouse->writesOutsideTransaction(), 0);
    std::vector<uint8_t> back(86);
    ASSERT_EQ(channel.readSettings(128, back.data(), back.size()), ResultOk);
    EXPECT_EQ(back, record);
}

TEST_P(ChannelTest, StatusBytesStopAMultiChunkTransfer)
{
    struct Case {
        uint8_t status;
        int result;
    };
    for (Case c : {Case{0xFE, ResultStatusFE}, Case{0xFF, ResultStatusFF}}) {
        sim.mouse->clearReceived();
        sim.mouse->clearFailures();
        sim.mouse->failCommand(0x06, c.status, 1); // the second chunk fails
        std::vector<uint8_t> record(86, 0x11);
        EXPECT_EQ(channel.writeSettings(0, record.data(), record.size()), c.result);
        EXPECT_EQ(sim.mouse->receivedCommands(0x06).size(), 2u);
    }
}

TEST_P(ChannelTest, AStaleAnswerBeforeTheRightOneIsSkipped)
{
    sim.mouse->mismatchNext(1);
    uint8_t info[34] = {};
    EXPECT_EQ(channel.readDeviceInfo(info), ResultOk);
    EXPECT_EQ(info[5], 11);
}

TEST_P(ChannelTest, TwoMismatchingAnswersAreNoAnswer)
{
    sim.mouse->mismatchNext(2);
    uint8_t info[34] = {0xEE};
    EXPECT_EQ(channel.readDeviceInfo(info), ResultNoAnswer);
    EXPECT_EQ(info[0], 0xEE); // nothing of the stray answers was taken
    // The answer that came late is not mistaken for the next request's.
    sim.mouse->clearReceived();
    uint8_t current = 0xEE;
    EXPECT_EQ(channel.readSettings(0, &current, 1), ResultOk);
    EXPECT_EQ(current, 0);
}

TEST_P(ChannelTest, NoAnswerWithinTheTimeOutsGivesZero)
{
    sim.mouse->setSilent(true, 0x05);
    uint8_t b[4];
    const auto start = steady_clock::now();
    EXPECT_EQ(channel.readSettings(0, b, 4), ResultNoAnswer);
    // One write, then two read attempts of one time-out each.
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 600);
    EXPECT_EQ(channel.beginConfig(), ResultOk); // other commands still answered
}

TEST_P(ChannelTest, AnswerOfAnotherReportIdIsNotTheAnswer)
{
    sim.mouse->setAnswerReportId(0x01); // the interface's mouse collection
    uint8_t info[34] = {};
    EXPECT_EQ(channel.readDeviceInfo(info), ResultNoAnswer);
}

TEST_P(ChannelTest, LatencyWithinTheTimeOutIsFine)
{
    sim.mouse->setLatency(milliseconds(20));
    uint8_t info[34] = {};
    EXPECT_EQ(channel.readDeviceInfo(info), ResultOk);
}

TEST_P(ChannelTest, UnplugInTheMiddleOfATransfer)
{
    sim.mouse->unplugAfter(2);
    std::vector<uint8_t> image(200, 0x5A);
    const auto start = steady_clock::now();
    EXPECT_EQ(channel.writeMacroMemory(image.data(), image.size()), ResultNoAnswer);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 100); // not a time-out
    EXPECT_EQ(channel.writeMacroMemory(image.data(), image.size()), ResultWriteFailed);
}

TEST_P(ChannelTest, SuspendedWritesSucceedWithoutIoAndReadsTakeNothing)
{
    channel.setSuspended(true);
    std::vector<uint8_t> block(512, 1);
    EXPECT_EQ(channel.writeKeyBlock(0, 0, block.data()), ResultOk);
    EXPECT_EQ(channel.beginConfig(), ResultOk);
    uint8_t b[4] = {9, 9, 9, 9};
    EXPECT_EQ(channel.readSettings(0, b, 4), ResultNoAnswer);
    EXPECT_EQ(b[0], 9);
    EXPECT_TRUE(sim.mouse->received().empty());
    channel.setSuspended(false);
    EXPECT_EQ(channel.readSettings(0, b, 4), ResultOk);
}

TEST_P(ChannelTest, KeyBlockFollowsTheBlockSize)
{
    EXPECT_FALSE(channel.setBlockSize(513));
    EXPECT_EQ(channel.blockSize(), 512u);
    ASSERT_TRUE(channel.setBlockSize(33));
    uint8_t block[512] = {};
    ASSERT_EQ(channel.readKeyBlock(block), ResultOk);
    const auto keys = sim.mouse->keyBlock(0);
    EXPECT_TRUE(std::equal(keys.begin(), keys.begin() + 33, block));
    EXPECT_EQ(block[33], 0);

    block[0] = 0x70; // left button → a macro
    ASSERT_EQ(channel.writeKeyBlock(0, 0, block), ResultOk);
    EXPECT_EQ(sim.mouse->keyBlock(0)[0], 0x70);
    size_t sent = 0;
    for (const auto& r : sim.mouse->receivedCommands(0x09))
        sent += r.bytes[4];
    EXPECT_EQ(sent, 33u);

    sim.mouse->clearReceived();
    EXPECT_EQ(channel.writeKeyBlock(1, 0, block), ResultBadProfile);
    EXPECT_TRUE(sim.mouse->received().empty());
}

TEST_P(ChannelTest, ShootMemoryGoesIn56ByteChunksOnBothLinks)
{
    std::vector<uint8_t> image(120, 0x33);
    ASSERT_EQ(channel.writeShootMemory(image.data(), image.size()), ResultOk);
    const auto reports = sim.mouse->receivedCommands(0x17);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[0].bytes[4], 56);
    EXPECT_EQ(reports[1].bytes[4], 56);
    EXPECT_EQ(reports[2].bytes[4], 8);
    EXPECT_EQ(addressOf(reports[2]), 112);
}

TEST_P(ChannelTest, BatteryStatusIsOneReport)
{
    sim.mouse->setBattery(42, 2);
    uint8_t power[2] = {};
    ASSERT_EQ(channel.readStatus(0, power, 2), ResultOk);
    EXPECT_EQ(power[0], 42);
    EXPECT_EQ(power[1], receiver() ? 2 : 1); // charging while on the cable
    EXPECT_EQ(sim.mouse->receivedCommands(0x1A).size(), 1u);
}

TEST_P(ChannelTest, NotOpenSendsNothing)
{
    channel.setOpen(false);
    uint8_t info[34];
    EXPECT_EQ(channel.readDeviceInfo(info), ResultNoAnswer);
    EXPECT_EQ(channel.beginConfig(), ResultNoAnswer);
    EXPECT_TRUE(sim.mouse->received().empty());
}

TEST_P(ChannelTest, ExchangeTracesRequestAndAnswer)
{
    clearCapturedTraces();
    setTraceCapture(true);
    uint8_t current = 0;
    EXPECT_EQ(channel.readSettings(0, &current, 1), ResultOk);
    setTraceCapture(false);
    const auto lines = capturedTraces();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("命令\n", 0), 0u);
    EXPECT_EQ(lines[1].rfind("返回\n", 0), 0u);
    const auto request = sim.mouse->receivedCommands(0x05).at(0).bytes;
    EXPECT_EQ(lines[0].substr(lines[0].find('\n') + 1), formatReportLines(request.data()));
}

TEST(ChannelReport, TraceLineFormat)
{
    uint8_t r[64] = {};
    for (int i = 0; i < 64; ++i)
        r[i] = uint8_t(i);
    const std::string s = formatReportLines(r);
    EXPECT_EQ(s,
              "00 01 02 03   04 05 06 07   08 09 0a 0b   0c 0d 0e 0f  10 11 12 13  14 15 16 17  18 19 1a 1b  1c 1d 1e 1f\n"
              "20 21 22 23   24 25 26 27   28 29 2a 2b   2c 2d 2e 2f  30 31 32 33  34 35 36 37  38 39 3a 3b  3c 3d 3e 3f");
}

TEST(ChannelReport, ChecksumIsTheSumOfBytes3To63)
{
    uint8_t r[64] = {};
    r[0] = 0x04;
    r[1] = 0xAB; // neither ID nor checksum bytes count
    r[3] = 0x06;
    r[63] = 0xFF;
    for (int i = 8; i < 60; ++i)
        r[i] = 0xFF;
    EXPECT_EQ(reportChecksum(r), uint16_t(0x06 + 53 * 0xFF));
}

TEST(ChannelLink, QueryOnTheCableIsTrueWithoutIo)
{
    SimMouse sim;
    sim.mouse->plugCable();
    CommandChannel channel(sim.backend);
    ASSERT_TRUE(sim.openChannel(channel, false));
    EXPECT_TRUE(channel.linkQuery());
    EXPECT_TRUE(sim.mouse->received().empty());
}

TEST(ChannelLink, ReceiverAnswersForAnUnreachableMouse)
{
    SimMouse sim;
    sim.mouse->plugReceiver();
    CommandChannel channel(sim.backend);
    ASSERT_TRUE(sim.openChannel(channel, true));
    EXPECT_TRUE(channel.linkQuery());
    sim.mouse->setRadioLink(false);
    EXPECT_FALSE(channel.linkQuery());
    uint8_t info[34];
    EXPECT_EQ(channel.readDeviceInfo(info), ResultUnreachable);
    std::vector<uint8_t> record(86);
    EXPECT_EQ(channel.writeSettings(0, record.data(), record.size()), ResultUnreachable);
    EXPECT_EQ(sim.mouse->receivedCommands(0x06).size(), 1u); // stopped at the first chunk
    sim.mouse->setRadioLink(true);
    EXPECT_TRUE(channel.linkQuery());
}

TEST(ChannelLink, ModeSetsChunkGeometry)
{
    SimMouse sim;
    CommandChannel channel(sim.backend);
    EXPECT_EQ(channel.chunkSize(), 24u); // receiver geometry until the mode is set
    channel.setMode(1);
    EXPECT_FALSE(channel.receiverMode());
    EXPECT_EQ(channel.chunkSize(), 56u);
    channel.setMode(2);
    EXPECT_TRUE(channel.receiverMode());
    EXPECT_EQ(channel.chunkSize(), 24u);
}

TEST(ChannelStream, FramesAreDroppedWhileACommandRuns)
{
    SimMouse sim;
    sim.mouse->plugCable();
    CommandChannel channel(sim.backend);
    ASSERT_TRUE(sim.openChannel(channel, false));
    sim.mouse->setLatency(milliseconds(150));
    std::thread command([&] {
        uint8_t info[34];
        channel.readDeviceInfo(info);
    });
    while (!channel.busy())
        std::this_thread::sleep_for(milliseconds(1));
    clearCapturedTraces();
    setTraceCapture(true);
    std::vector<uint8_t> frame(100, 0x7F);
    EXPECT_EQ(channel.writeLightFrame(frame.data(), frame.size()), ResultOk);
    setTraceCapture(false);
    command.join();
    EXPECT_TRUE(sim.mouse->receivedCommands(0x12).empty());
    const auto lines = capturedTraces();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "放弃灯光数据"), 2);
}

TEST(ChannelStream, ReceiverStreamNeedsItsPaths)
{
    SimMouse sim;
    sim.mouse->plugReceiver();
    CommandChannel channel(sim.backend);
    ASSERT_TRUE(sim.openChannel(channel, true));
    channel.setTimeouts(150, 150);
    std::vector<uint8_t> frame(30, 1);
    EXPECT_EQ(channel.writeLightFrame(frame.data(), frame.size()), ResultNoAnswer);
    EXPECT_TRUE(sim.mouse->received().empty());

    // The stream reopens the transport between write and read: the answer must not be there yet.
    sim.mouse->setLatency(milliseconds(30));
    const std::wstring path = sim.path("receiver", 1);
    channel.setStreamWritePath(&path);
    channel.setStreamReadPath(&path);
    EXPECT_EQ(channel.writeLightFrame(frame.data(), frame.size()), ResultStatusFF); // the mouse has no 0x12
    EXPECT_EQ(sim.mouse->receivedCommands(0x12).size(), 1u);
}

} // namespace
} // namespace q9
