// Runs inside a small Linux guest: the emulated mouse, keyboard, mouse pad and headset are kernel HID devices through uhid, and the
// host side is the real one: HidapiBackend over hidraw, the transport, the command channel, the scan.
// Nothing simulated above the kernel.
#include "hid/CommandChannel.h"
#include "hid/DeviceScanner.h"
#include "hid/HidapiBackend.h"
#include "sim/HeadsetEmulator.h"
#include "sim/KeyboardEmulator.h"
#include "sim/MouseEmulator.h"
#include "sim/MousePadEmulator.h"
#include "sim/UhidBridge.h"

#include "hid/StopEvent.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <optional>
#include <tuple>
#include <cstdio>
#include <future>
#include <numeric>
#include <thread>
#include <unistd.h>

namespace q9 {
namespace {

using namespace std::chrono;

// hid-generic binds and the hidraw nodes appear shortly after a uhid device is created: true once
// `count` nodes of vid:pid are listed, false after ten seconds.
bool nodesAppear(HidBackend& backend, uint16_t vid, uint16_t pid, int count)
{
    const auto deadline = steady_clock::now() + seconds(10);
    for (;;) {
        std::vector<HidNodeInfo> nodes;
        backend.listNodes(nodes);
        int found = 0;
        for (const auto& node : nodes)
            found += node.vid == vid && node.pid == pid;
        if (found >= count)
            return true;
        if (steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(milliseconds(20));
    }
}


class GuestMouse : public testing::Test {
protected:
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    sim::MouseEmulator mouse{bus};
    std::vector<std::unique_ptr<sim::UhidDevice>> kernelDevices;
    std::shared_ptr<HidapiBackend> backend = std::make_shared<HidapiBackend>();
    HidTransport enumerator{backend};
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner{enumerator, live};

    // Plugs a link of the mouse and presents both its interfaces to the kernel.
    void plug(const std::string& link)
    {
        if (link == "cable")
            mouse.plugCable();
        else
            mouse.plugReceiver();
        for (int n : {0, 1}) {
            std::string error;
            auto dev = sim::UhidDevice::create(mouse.interfaceOf(link, n), "Q9 sim mouse " + link,
                                               "q9zen-sim/mouse/" + link + "/input" + std::to_string(n), error);
            ASSERT_TRUE(dev) << error;
            kernelDevices.push_back(std::move(dev));
        }
        const uint16_t pid = link == "cable" ? 0x226E : 0x226F;
        ASSERT_TRUE(nodesAppear(*backend, 0x320F, pid, 2)) << "hidraw nodes of " << link << " did not appear";
    }

    std::vector<std::pair<ScanEvent, int>> pass()
    {
        std::vector<std::pair<ScanEvent, int>> events;
        scanner.pass([&](ScanEvent e, int row) { events.emplace_back(e, row); });
        return events;
    }

    void openChannel(CommandChannel& channel, int row)
    {
        const bool receiver = isReceiverKind(live[size_t(row)].kind);
        HidTransport& t = receiver ? channel.receiverTransport() : channel.cableTransport();
        ASSERT_TRUE(t.open(live[size_t(row)].path, true, true, true, false));
        channel.setOpen(true);
        channel.setMode(receiver ? 2 : 1);
    }

    void roundTrip(CommandChannel& channel)
    {
        uint8_t info[34] = {};
        ASSERT_EQ(channel.readDeviceInfo(info), ResultOk);
        const auto expected = mouse.deviceInfo();
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), info));

        std::vector<uint8_t> record(86);
        std::iota(record.begin(), record.end(), uint8_t(3));
        ASSERT_EQ(channel.beginConfig(), ResultOk);
        ASSERT_EQ(channel.writeSettings(128, record.data(), record.size()), ResultOk);
        ASSERT_EQ(channel.endConfig(), ResultOk);
        std::vector<uint8_t> back(86);
        ASSERT_EQ(channel.readSettings(128, back.data(), back.size()), ResultOk);
        EXPECT_EQ(back, record);
        EXPECT_EQ(mouse.framingErrors(), 0);
        EXPECT_EQ(mouse.writesOutsideTransaction(), 0);
    }
};

TEST_F(GuestMouse, CableInterfacesClaimRowsFourAndFive)
{
    plug("cable");
    const auto events = pass();
    ASSERT_EQ(events.size(), 2u);
    ASSERT_TRUE(live[4].claimed);
    ASSERT_TRUE(live[5].claimed);
    EXPECT_EQ(live[4].path.rfind(L"hid#vid_320f&pid_226e&mi_01&col02#/dev/hidraw", 0), 0u);
    EXPECT_EQ(live[5].path.rfind(L"hid#vid_320f&pid_226e&mi_00&col03#/dev/hidraw", 0), 0u);
}

TEST_F(GuestMouse, CommandsOnTheCable)
{
    plug("cable");
    pass();
    CommandChannel channel(backend);
    openChannel(channel, 4);
    EXPECT_EQ(channel.cableTransport().capabilities().usagePage, 0xFF1C);
    EXPECT_EQ(channel.cableTransport().attributes().pid, 0x226E);
    roundTrip(channel);
    EXPECT_EQ(mouse.receivedCommands(0x06).size(), 2u); // 56 + 30 bytes
}

TEST_F(GuestMouse, CommandsThroughTheReceiver)
{
    plug("receiver");
    pass();
    ASSERT_TRUE(live[6].claimed);
    ASSERT_TRUE(live[7].claimed);
    EXPECT_EQ(live[6].path.rfind(L"hid#vid_320f&pid_226f&mi_01&col02#/dev/hidraw", 0), 0u);
    CommandChannel channel(backend);
    openChannel(channel, 6);
    EXPECT_TRUE(channel.linkQuery());
    roundTrip(channel);
    EXPECT_EQ(mouse.receivedCommands(0x06).size(), 4u); // 24 + 24 + 24 + 14 bytes
    mouse.setRadioLink(false);
    EXPECT_FALSE(channel.linkQuery());
}

TEST_F(GuestMouse, AnAnswerOfAnotherReportIdIsNotTheAnswer)
{
    plug("cable");
    pass();
    CommandChannel channel(backend);
    openChannel(channel, 4);
    channel.setTimeouts(300, 300);
    mouse.setAnswerReportId(0x01); // the interface's mouse collection
    uint8_t info[34] = {};
    EXPECT_EQ(channel.readDeviceInfo(info), ResultNoAnswer);
    mouse.setAnswerReportId(std::nullopt);
    EXPECT_EQ(channel.readDeviceInfo(info), ResultOk);
}

TEST_F(GuestMouse, ReadOfASilentDeviceTimesOut)
{
    plug("cable");
    pass();
    HidTransport t(backend);
    ASSERT_TRUE(t.open(live[4].path, true, true, true, false));
    uint8_t in[64];
    const auto start = steady_clock::now();
    EXPECT_EQ(t.read(in, sizeof in, nullptr, 1000), 0);
    const auto took = duration_cast<milliseconds>(steady_clock::now() - start).count();
    EXPECT_GE(took, 990);
    EXPECT_LT(took, 2000);
}

TEST_F(GuestMouse, CloseEndsAReadWithoutLimit)
{
    plug("cable");
    pass();
    HidTransport t(backend);
    ASSERT_TRUE(t.open(live[5].path, true, true, true, false));
    auto reader = std::async(std::launch::async, [&] {
        uint8_t in[64];
        return t.read(in, sizeof in, nullptr, kInfiniteTimeout);
    });
    while (!t.reading())
        std::this_thread::sleep_for(milliseconds(1));
    std::this_thread::sleep_for(milliseconds(50));
    t.close();
    ASSERT_EQ(reader.wait_for(seconds(2)), std::future_status::ready);
    EXPECT_EQ(reader.get(), 0);
}

TEST_F(GuestMouse, AnEventReportArrivesOnTheEventInterface)
{
    plug("cable");
    pass();
    HidTransport t(backend);
    ASSERT_TRUE(t.open(live[5].path, true, true, true, false));
    EXPECT_EQ(t.capabilities().usagePage, 0x000C);
    ASSERT_TRUE(mouse.sendEvent(0x1123));
    uint8_t in[64] = {};
    size_t got = 0;
    ASSERT_TRUE(t.read(in, sizeof in, &got, 2000));
    EXPECT_EQ(in[0], 0x03);
    EXPECT_EQ(in[1] | in[2] << 8, 0x1123);
    ASSERT_TRUE(t.unpack(in, got));
    EXPECT_EQ(t.firstInputButtonUsage(), 0x1123);
}

TEST_F(GuestMouse, DestroyingTheDeviceIsARemoval)
{
    plug("cable");
    pass();
    kernelDevices.clear();
    std::vector<std::pair<ScanEvent, int>> events;
    const auto deadline = steady_clock::now() + seconds(5);
    while (events.empty() && steady_clock::now() < deadline) {
        std::this_thread::sleep_for(milliseconds(20));
        events = pass();
    }
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], std::make_pair(ScanEvent::Removal, 4));
    EXPECT_EQ(events[1], std::make_pair(ScanEvent::Removal, 5));
    EXPECT_TRUE(live[4].isFree());
}

// The device watch on the real backend: the kernel announces the hidraw nodes (no udevd runs in
// the guest, so its own events are taken) and the watch looks at the bus only then.
TEST_F(GuestMouse, TheWatchSeesUhidDevicesComeAndGoWithoutPolling)
{
    struct Counting final : HidBackend {
        std::shared_ptr<HidapiBackend> inner;
        std::atomic<int> listings{0};
        bool listNodes(std::vector<HidNodeInfo>& n) override { ++listings; return inner->listNodes(n); }
        std::shared_ptr<HidNode> openNode(const std::string& n, bool r, bool w) override { return inner->openNode(n, r, w); }
        bool nodePresent(const std::string& n, uint16_t v, uint16_t p) override { return inner->nodePresent(n, v, p); }
        bool ownsNode(const std::string& n) const override { return inner->ownsNode(n); }
        bool watchChanges() override { return inner->watchChanges(); }
        void changeDescriptors(std::vector<int>& out) const override { inner->changeDescriptors(out); }
        void takeChanges() override { inner->takeChanges(); }
    };
    auto counting = std::make_shared<Counting>();
    counting->inner = backend;
    ASSERT_TRUE(counting->watchChanges()) << "no hot-plug announcements from the kernel";

    LiveInterfaceList watched = buildLiveInterfaceList();
    StopEvent stop;
    std::mutex mutex;
    std::vector<std::tuple<ScanEvent, int, steady_clock::time_point>> reports;
    std::thread watch([&] {
        runDeviceWatch(counting, watched, stop, [&](ScanEvent e, int row) {
            std::lock_guard lock(mutex);
            reports.emplace_back(e, row, steady_clock::now());
        }, nullptr);
    });
    auto reportedAt = [&](ScanEvent e, int row) -> std::optional<steady_clock::time_point> {
        std::lock_guard lock(mutex);
        for (const auto& [kind, r, at] : reports)
            if (kind == e && r == row)
                return at;
        return std::nullopt;
    };
    std::this_thread::sleep_for(milliseconds(kSettlePassMs + 200));
    const int idleListings = counting->listings;
    std::this_thread::sleep_for(milliseconds(500));
    EXPECT_EQ(counting->listings, idleListings); // an idle bus is not looked at

    // Milliseconds from `from` until the watch reported e for the cable's command row (-1: never).
    auto reportedAfter = [&](ScanEvent e, steady_clock::time_point from) -> long {
        std::optional<steady_clock::time_point> at;
        while (!(at = reportedAt(e, 4)) && steady_clock::now() < from + seconds(5))
            std::this_thread::sleep_for(milliseconds(1));
        return at ? long(duration_cast<milliseconds>(*at - from).count()) : -1;
    };
    plug("cable"); // returns once both hidraw nodes are listed
    const long in = reportedAfter(ScanEvent::Arrival, steady_clock::now());
    ASSERT_NE(in, -1);
    EXPECT_LT(in, 100);

    kernelDevices.clear(); // UHID_DESTROY: the kernel removes the devices and announces it
    const long out = reportedAfter(ScanEvent::Removal, steady_clock::now());
    ASSERT_NE(out, -1);
    EXPECT_LT(out, 100);
    EXPECT_TRUE(watched[4].isFree());

    stop.set();
    watch.join();
}

// The keyboard through uhid: its cable's two interfaces claim their rows (its vendor collection is
// the fourth), and the key block, the LED block and a light frame go over hidraw.
TEST(GuestKeyboard, CableInterfacesClaimTheirRowsAndTheBlocksAndAFrameGoThrough)
{
    auto bus = std::make_shared<sim::SimBus>();
    sim::KeyboardEmulator keyboard{bus};
    keyboard.plugCable();
    std::vector<std::unique_ptr<sim::UhidDevice>> kernelDevices;
    for (int n : {0, 1}) {
        std::string error;
        auto dev = sim::UhidDevice::create(keyboard.interfaceOf("cable", n), "Q9 sim keyboard cable",
                                           "q9zen-sim/keyboard/cable/input" + std::to_string(n), error);
        ASSERT_TRUE(dev) << error;
        kernelDevices.push_back(std::move(dev));
    }
    auto backend = std::make_shared<HidapiBackend>();
    ASSERT_TRUE(nodesAppear(*backend, 0x320F, 0x505B, 2)) << "hidraw nodes of the keyboard did not appear";
    HidTransport enumerator{backend};
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner{enumerator, live};
    std::vector<std::pair<ScanEvent, int>> events;
    scanner.pass([&](ScanEvent e, int row) { events.emplace_back(e, row); });
    ASSERT_EQ(events.size(), 2u);
    ASSERT_TRUE(live[0].claimed);
    ASSERT_TRUE(live[1].claimed);
    EXPECT_EQ(live[0].path.rfind(L"hid#vid_320f&pid_505b&mi_01&col04#/dev/hidraw", 0), 0u);

    CommandChannel channel(backend);
    ASSERT_TRUE(channel.cableTransport().open(live[0].path, true, true, true, false));
    channel.setOpen(true);
    channel.setMode(1);
    uint8_t info[34] = {};
    ASSERT_EQ(channel.readDeviceInfo(info), ResultOk);
    const size_t keys = info[5];
    ASSERT_EQ(keys, keyboard.keys().size());
    ASSERT_TRUE(channel.setBlockSize(3 * keys));
    std::vector<uint8_t> block(512), leds(512);
    ASSERT_EQ(channel.readKeyBlock(block.data()), ResultOk);
    ASSERT_EQ(channel.readThirdBlock(leds.data()), ResultOk);
    const std::vector<uint8_t> keyBlock = keyboard.keyBlock(0), ledBlock = keyboard.ledBlock();
    EXPECT_TRUE(std::equal(keyBlock.begin(), keyBlock.begin() + long(3 * keys), block.begin()));
    EXPECT_TRUE(std::equal(ledBlock.begin(), ledBlock.end(), leds.begin()));
    std::vector<uint8_t> frame(3 * keys);
    std::iota(frame.begin(), frame.end(), uint8_t(1));
    ASSERT_EQ(channel.writeLightFrame(frame.data(), frame.size()), ResultOk);
    EXPECT_EQ(keyboard.lastLightFrame(), frame);
    EXPECT_EQ(keyboard.framingErrors(), 0);
}

// The mouse pad through uhid: its two interfaces claim rows 8 and 9 (its vendor collection is the
// fourth, like the keyboard's), its light record is written and read back over hidraw, its power
// report names the phone on the charger and its event arrives on the event interface.
TEST(GuestMousePad, CableInterfacesClaimRowsEightAndNineAndTheRecordGoesThrough)
{
    auto bus = std::make_shared<sim::SimBus>();
    sim::MousePadEmulator pad{bus};
    pad.plugCable();
    std::vector<std::unique_ptr<sim::UhidDevice>> kernelDevices;
    for (int n : {0, 1}) {
        std::string error;
        auto dev = sim::UhidDevice::create(pad.interfaceOf("cable", n), "Q9 sim mouse pad cable",
                                           "q9zen-sim/mousepad/cable/input" + std::to_string(n), error);
        ASSERT_TRUE(dev) << error;
        kernelDevices.push_back(std::move(dev));
    }
    auto backend = std::make_shared<HidapiBackend>();
    ASSERT_TRUE(nodesAppear(*backend, 0x320F, 0x1004, 2)) << "hidraw nodes of the mouse pad did not appear";
    HidTransport enumerator{backend};
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner{enumerator, live};
    std::vector<std::pair<ScanEvent, int>> events;
    scanner.pass([&](ScanEvent e, int row) { events.emplace_back(e, row); });
    ASSERT_EQ(events.size(), 2u);
    ASSERT_TRUE(live[8].claimed);
    ASSERT_TRUE(live[9].claimed);
    EXPECT_EQ(live[8].path.rfind(L"hid#vid_320f&pid_1004&mi_01&col04#/dev/hidraw", 0), 0u);
    EXPECT_EQ(live[9].path.rfind(L"hid#vid_320f&pid_1004&mi_00&col03#/dev/hidraw", 0), 0u);

    CommandChannel channel(backend);
    ASSERT_TRUE(channel.cableTransport().open(live[8].path, true, true, true, false));
    channel.setOpen(true);
    channel.setMode(1);
    uint8_t info[34] = {};
    ASSERT_EQ(channel.readDeviceInfo(info), ResultOk);
    const auto expected = pad.deviceInfo();
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), info));

    std::vector<uint8_t> record(21);
    std::iota(record.begin(), record.end(), uint8_t(7));
    ASSERT_EQ(channel.beginConfig(), ResultOk);
    ASSERT_EQ(channel.writeSettings(0, record.data(), record.size()), ResultOk);
    ASSERT_EQ(channel.endConfig(), ResultOk);
    std::vector<uint8_t> area(45);
    ASSERT_EQ(channel.readSettings(0, area.data(), area.size()), ResultOk);
    EXPECT_TRUE(std::equal(record.begin(), record.end(), area.begin()));
    const auto memory = pad.settingsMemory();
    EXPECT_TRUE(std::equal(area.begin(), area.end(), memory.begin())) << "the rest of the area as the pad holds it";
    EXPECT_EQ(pad.writesOutsideTransaction(), 0);

    pad.setPhone(3);
    uint8_t power[6] = {};
    ASSERT_EQ(channel.readStatus(0, power, sizeof power), ResultOk);
    EXPECT_EQ(power[5], 3);
    EXPECT_EQ(pad.framingErrors(), 0);

    HidTransport events0(backend);
    ASSERT_TRUE(events0.open(live[9].path, true, true, true, false));
    EXPECT_EQ(events0.capabilities().usagePage, 0x000C);
    ASSERT_TRUE(pad.pressLightButton());
    uint8_t in[64] = {};
    size_t got = 0;
    ASSERT_TRUE(events0.read(in, sizeof in, &got, 2000));
    EXPECT_EQ(in[0], 0x03);
    EXPECT_EQ(in[1] | in[2] << 8, 0x0401);
}

// The headset through uhid: its consumer-control interface claims row 10 and takes the 17-byte
// colour output reports over hidraw, which set what its ear cups show.
TEST(GuestHeadset, ItsInterfaceClaimsRowTenAndColourReportsSetItsZones)
{
    auto bus = std::make_shared<sim::SimBus>();
    sim::HeadsetEmulator headset{bus};
    headset.plugCable();
    std::string error;
    auto kernelDevice = sim::UhidDevice::create(headset.cableInterface(), "Q9 sim headset", "q9zen-sim/headset/cable/input3", error);
    ASSERT_TRUE(kernelDevice) << error;
    auto backend = std::make_shared<HidapiBackend>();
    ASSERT_TRUE(nodesAppear(*backend, 0x0C76, 0x1630, 1)) << "the headset's hidraw node did not appear";
    HidTransport enumerator{backend};
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner{enumerator, live};
    std::vector<std::pair<ScanEvent, int>> events;
    scanner.pass([&](ScanEvent e, int row) { events.emplace_back(e, row); });
    ASSERT_EQ(events.size(), 1u);
    ASSERT_TRUE(live[10].claimed);
    EXPECT_EQ(live[10].path.rfind(L"hid#vid_0c76&pid_1630&mi_03#/dev/hidraw", 0), 0u);

    HidTransport link{backend};
    ASSERT_TRUE(link.open(live[10].path, true, true, true, false));
    // Red of zones 0-6 in set 0x22, then red of zones 7-12 (byte 10 repeats zone 6).
    const std::vector<uint8_t> first = {0xFF, 0x22, 0xAA, 0, 10, 20, 30, 40, 50, 60, 247, 0, 0, 0, 0, 0, 0};
    const std::vector<uint8_t> second = {0xFF, 0x22, 0xAD, 0, 70, 80, 90, 100, 110, 120, 247, 0, 0, 0, 0, 0, 0};
    ASSERT_TRUE(link.setOutputReport(first.data(), first.size()));
    ASSERT_TRUE(link.setOutputReport(second.data(), second.size()));
    const auto got = headset.received();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], first);
    EXPECT_EQ(got[1], second);
    const uint8_t reds[13] = {10, 20, 30, 40, 50, 60, 247, 70, 80, 90, 100, 110, 120};
    for (int z = 0; z < 13; ++z)
        EXPECT_EQ(headset.zone(0x22, z).r, reds[z]) << z;
    EXPECT_EQ(headset.malformedReports(), 0);
}

} // namespace
} // namespace q9

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (::access("/dev/uhid", R_OK | W_OK) != 0) {
        std::puts("no /dev/uhid: these tests run inside the test guest");
        return 1;
    }
    const int rc = RUN_ALL_TESTS();
    std::puts(rc == 0 ? "Q9ZEN GUEST TESTS PASSED" : "Q9ZEN GUEST TESTS FAILED");
    std::fflush(stdout);
    return rc;
}
