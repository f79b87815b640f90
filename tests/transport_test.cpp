#include "hid/DeviceCatalogue.h"
#include "hid/HidTransport.h"
#include "sim/Descriptors.h"
#include "support/SimMouse.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <thread>

namespace q9 {
namespace {

using namespace std::chrono;
using test::SimMouse;

// A bare interface whose device side echoes every output report back as an input report.
struct EchoEndpoint : sim::SimDeviceEndpoint {
    void onOutputReport(sim::SimInterface& from, const uint8_t* data, size_t length) override
    {
        from.sendInput(data, length);
    }
};

const std::vector<uint8_t> kNoReportIds = {
    0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08,
    0x95, 0x08, 0x09, 0x01, 0x81, 0x02, 0x95, 0x08, 0x09, 0x01, 0x91, 0x02, 0xC0};

TEST(Transport, EnumeratesOnePathPerCollectionInBusOrder)
{
    SimMouse sim;
    sim.mouse->plugCable();
    const auto paths = sim.paths();
    ASSERT_EQ(paths.size(), 5u); // event interface: 3 collections; command interface: 2
    EXPECT_EQ(paths[0], L"hid#vid_320f&pid_226e&mi_00&col01#sim:mouse/cable/if0");
    EXPECT_EQ(paths[2], L"hid#vid_320f&pid_226e&mi_00&col03#sim:mouse/cable/if0");
    EXPECT_EQ(paths[4], L"hid#vid_320f&pid_226e&mi_01&col02#sim:mouse/cable/if1");
}

TEST(Transport, PathListGrowsPastItsFirstCapacity)
{
    auto bus = std::make_shared<sim::SimBus>();
    EchoEndpoint echo;
    for (int i = 0; i < 9; ++i)
        bus->add({"sim:n" + std::to_string(i), 0x1234, uint16_t(0x100 + i), 1, i, kNoReportIds}, &echo);
    HidTransport t(std::make_shared<sim::SimBackend>(bus));
    ASSERT_TRUE(t.enumerate());
    EXPECT_EQ(t.pathCount(), 9u);
    for (int i = 0; i < 9; ++i) {
        const std::wstring* p = t.nextPath();
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(parsePid(*p), 0x100 + i); // member order kept; single collection: no "&col"
        EXPECT_EQ(p->find(L"&col"), std::wstring::npos);
    }
    EXPECT_EQ(t.nextPath(), nullptr);
    t.freePaths();
    EXPECT_EQ(t.nextPath(), nullptr);
}

TEST(Transport, OpensTheCollectionItsPathNames)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 1), true, true, true, false));
    EXPECT_EQ(t.capabilities().usagePage, 0xFF1C);
    EXPECT_EQ(t.capabilities().usage, 0x92);
    EXPECT_EQ(t.capabilities().reportByteLength[int(ReportType::Input)], 64);
    EXPECT_EQ(t.capabilities().reportByteLength[int(ReportType::Output)], 64);
    EXPECT_EQ(t.attributes().vid, 0x320F);
    EXPECT_EQ(t.attributes().pid, 0x226E);
    EXPECT_EQ(t.attributes().version, 0x0102);
    EXPECT_EQ(t.interfaceNumber(), 1);
    EXPECT_EQ(t.collectionNumber(), 2);

    // A collection the interface does not have.
    EXPECT_FALSE(t.open(L"hid#vid_320f&pid_226e&mi_01&col07#sim:mouse/cable/if1", true, true, true, false));
    EXPECT_FALSE(t.isOpen());
}

TEST(Transport, RefusesOverlongAndForeignPaths)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    std::wstring longPath = sim.path("cable", 1);
    longPath.insert(4, 300, L'x');
    EXPECT_FALSE(t.open(longPath, true, true, true, false));
    EXPECT_FALSE(t.open(L"hid#vid_320f&pid_226e#sim:nothing", true, true, true, false));
    EXPECT_FALSE(t.open(L"", true, true, true, false));
    EXPECT_FALSE(t.pathPresent(longPath));
}

TEST(Transport, PathWithoutInterfacePartGivesInterfaceZero)
{
    auto bus = std::make_shared<sim::SimBus>();
    EchoEndpoint echo;
    bus->add({"sim:bare", 0x1234, 0x5678, 1, -1, kNoReportIds}, &echo);
    HidTransport t(std::make_shared<sim::SimBackend>(bus));
    ASSERT_TRUE(t.enumerate());
    const std::wstring path = *t.nextPath();
    EXPECT_EQ(path.find(L"&mi_"), std::wstring::npos);
    ASSERT_TRUE(t.open(path, true, true, true, false));
    EXPECT_EQ(t.interfaceNumber(), 0);
    EXPECT_EQ(t.collectionNumber(), 0);
}

TEST(Transport, ReportsWithoutIdsKeepALeadingZero)
{
    auto bus = std::make_shared<sim::SimBus>();
    EchoEndpoint echo;
    bus->add({"sim:bare", 0x1234, 0x5678, 1, 0, kNoReportIds}, &echo);
    HidTransport t(std::make_shared<sim::SimBackend>(bus));
    t.enumerate();
    ASSERT_TRUE(t.open(*t.nextPath(), true, true, true, false));
    EXPECT_EQ(t.capabilities().reportByteLength[0], 9);
    // The bus carries bare data: what the echo sends back has no report ID.
    const uint8_t out[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(t.write(out, sizeof out, nullptr, 100));
    uint8_t in[9] = {};
    size_t got = 0;
    ASSERT_TRUE(t.read(in, sizeof in, &got, 100));
    EXPECT_EQ(got, 9u);
    EXPECT_EQ(in[0], 0);
    EXPECT_EQ(in[1], 1);
    EXPECT_EQ(in[8], 8);
}

TEST(Transport, KeepsOnlyReportsOfItsOwnCollection)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 1), true, true, true, false));
    // A report of the mouse collection (ID 1) on the same node, then one of the vendor collection.
    sim.mouse->sendCommandInput("cable", {0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00});
    std::vector<uint8_t> ours(64, 0);
    ours[0] = 0x04;
    ours[3] = 0x42;
    sim.mouse->sendCommandInput("cable", ours);
    uint8_t in[64] = {};
    size_t got = 0;
    ASSERT_TRUE(t.read(in, sizeof in, &got, 200));
    EXPECT_EQ(got, 64u);
    EXPECT_EQ(in[0], 0x04);
    EXPECT_EQ(in[3], 0x42);
    EXPECT_FALSE(t.read(in, sizeof in, &got, 0));
    EXPECT_EQ(got, 0u);
}

TEST(Transport, AShortReportIsZeroFilled)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 1), true, true, true, false));
    sim.mouse->sendCommandInput("cable", {0x04, 0xAA, 0xBB, 0x03});
    uint8_t in[64];
    std::fill(std::begin(in), std::end(in), 0xCC);
    size_t got = 0;
    ASSERT_TRUE(t.read(in, sizeof in, &got, 200));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(in[3], 0x03);
    EXPECT_TRUE(std::all_of(in + 4, in + 64, [](uint8_t b) { return b == 0; }));
}

TEST(Transport, ReadTimesOutAfterItsTimeOut)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 1), true, true, true, false));
    uint8_t in[64];
    size_t got = 99;
    const auto start = steady_clock::now();
    EXPECT_EQ(t.read(in, sizeof in, &got, 1000), 0);
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_GE(took, 990);
    EXPECT_LT(took, 1500);
    EXPECT_EQ(got, 0u);
    EXPECT_FALSE(t.reading());
}

TEST(Transport, CloseFromAnotherThreadEndsAReadWithoutLimit)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 0), true, true, true, false));
    auto reader = std::async(std::launch::async, [&] {
        uint8_t in[64];
        return t.read(in, sizeof in, nullptr, kInfiniteTimeout);
    });
    while (!t.reading())
        std::this_thread::sleep_for(milliseconds(1));
    const auto start = steady_clock::now();
    t.close();
    ASSERT_EQ(reader.wait_for(seconds(2)), std::future_status::ready);
    EXPECT_EQ(reader.get(), 0);
    EXPECT_LT(duration_cast<milliseconds>(steady_clock::now() - start).count(), 200);
    // Reopening works and the earlier abort does not fail the next transfer.
    ASSERT_TRUE(t.reopen());
    sim.mouse->sendEvent(0x0401);
    uint8_t in[64];
    EXPECT_TRUE(t.read(in, sizeof in, nullptr, 500));
}

TEST(Transport, TransfersOnAClosedTransportFailAtOnce)
{
    SimMouse sim;
    HidTransport t(sim.backend);
    uint8_t buf[64] = {0x04};
    size_t n = 5;
    EXPECT_EQ(t.read(buf, sizeof buf, &n, kInfiniteTimeout), 0);
    EXPECT_EQ(n, 0u);
    EXPECT_EQ(t.write(buf, sizeof buf, &n, 1000), 0);
    EXPECT_FALSE(t.setOutputReport(buf, sizeof buf));
    EXPECT_FALSE(t.unpack(buf, sizeof buf));
}

TEST(Transport, UnplugEndsAWaitingReadAndThePathIsGone)
{
    SimMouse sim;
    sim.mouse->plugCable();
    const std::wstring path = sim.path("cable", 0);
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(path, true, true, true, false));
    EXPECT_TRUE(t.pathPresent(path));
    auto reader = std::async(std::launch::async, [&] {
        uint8_t in[64];
        return t.read(in, sizeof in, nullptr, kInfiniteTimeout);
    });
    while (!t.reading())
        std::this_thread::sleep_for(milliseconds(1));
    sim.mouse->unplugCable();
    ASSERT_EQ(reader.wait_for(seconds(2)), std::future_status::ready);
    EXPECT_EQ(reader.get(), 0);
    EXPECT_FALSE(t.pathPresent(path));
}

TEST(Transport, EventReportUnpacksToItsCode)
{
    SimMouse sim;
    sim.mouse->plugCable();
    HidTransport t(sim.backend);
    ASSERT_TRUE(t.open(sim.path("cable", 0), true, true, true, false));
    EXPECT_EQ(t.capabilities().usagePage, 0x0C);
    sim.mouse->sendEvent(0x1123);
    uint8_t in[3] = {};
    ASSERT_TRUE(t.read(in, sizeof in, nullptr, 500));
    EXPECT_EQ(in[1] | in[2] << 8, 0x1123); // the mouse's reading: bytes 1-2, low byte first
    ASSERT_TRUE(t.unpack(in, sizeof in));
    EXPECT_EQ(t.firstInputButtonUsage(), 0x1123); // the other devices' reading
}

} // namespace
} // namespace q9
