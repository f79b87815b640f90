#include "hid/DeviceScanner.h"
#include "sim/Descriptors.h"
#include "support/SimMouse.h"

#include "hid/StopEvent.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

namespace q9 {
namespace {

using test::SimMouse;

// A scan over a simulated bus that records what it reported.
struct ScanFixture {
    SimMouse sim;
    HidTransport enumerator{sim.backend};
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner{enumerator, live};
    std::vector<std::pair<ScanEvent, int>> events;

    DeviceScanner::PassResult pass()
    {
        events.clear();
        return scanner.pass([this](ScanEvent e, int row) {
            // The receiver sees the row already claimed or released while the scan waits.
            EXPECT_EQ(live[size_t(row)].claimed, e == ScanEvent::Arrival ? 1 : 0);
            events.emplace_back(e, row);
        });
    }
};

using Events = std::vector<std::pair<ScanEvent, int>>;
constexpr auto In = ScanEvent::Arrival;
constexpr auto Out = ScanEvent::Removal;

TEST(Scanner, CableMouseClaimsRowsFourAndFive)
{
    ScanFixture f;
    f.sim.mouse->plugCable();
    EXPECT_TRUE(f.pass().enumerated);
    EXPECT_EQ(f.events, (Events{{In, 5}, {In, 4}})); // bus order: event interface first
    EXPECT_EQ(f.live[4].path, f.sim.path("cable", 1));
    EXPECT_EQ(f.live[5].path, f.sim.path("cable", 0));

    f.pass(); // nothing new
    EXPECT_TRUE(f.events.empty());

    f.sim.mouse->unplugCable();
    f.pass();
    EXPECT_EQ(f.events, (Events{{Out, 4}, {Out, 5}}));
    EXPECT_TRUE(f.live[4].isFree());
    EXPECT_TRUE(f.live[5].isFree());
}

TEST(Scanner, ReceiverClaimsRowsSixAndSeven)
{
    ScanFixture f;
    f.sim.mouse->plugReceiver();
    f.pass();
    EXPECT_EQ(f.events, (Events{{In, 7}, {In, 6}}));
    EXPECT_EQ(identityRow(6), 4); // the receiver's command row stands for the cable mouse

    f.sim.mouse->plugCable(); // both links at once
    f.pass();
    EXPECT_EQ(f.events, (Events{{In, 5}, {In, 4}}));
}

TEST(Scanner, ASecondIdenticalInterfaceFindsNoFreeRow)
{
    ScanFixture f;
    f.sim.mouse->plugCable();
    sim::MouseEmulator second(f.sim.bus, {}, "mouse2");
    second.plugCable();
    f.pass();
    EXPECT_EQ(f.events.size(), 2u);
    EXPECT_NE(f.live[4].path.find(L"sim:mouse/"), std::wstring::npos);

    // When the first goes, the second takes its rows on the next pass.
    f.sim.mouse->unplugCable();
    f.pass();
    EXPECT_EQ(f.events, (Events{{Out, 4}, {Out, 5}}));
    f.pass();
    EXPECT_EQ(f.events, (Events{{In, 5}, {In, 4}}));
    EXPECT_NE(f.live[4].path.find(L"sim:mouse2/"), std::wstring::npos);
}

struct NoAnswer : sim::SimDeviceEndpoint {
    void onOutputReport(sim::SimInterface&, const uint8_t*, size_t) override {}
};

TEST(Scanner, AttributesMustMatchThePath)
{
    ScanFixture f;
    NoAnswer device;
    // The path says 226E; the device, once opened, names a product the catalogue does not know.
    sim::SimInterfaceInfo info{"sim:liar/if1", 0x320F, 0x226E, 1, 1, sim::commandInterfaceDescriptor(1)};
    info.attributeVid = 0x320F;
    info.attributePid = 0x2270;
    f.sim.bus->add(info, &device);
    f.pass();
    EXPECT_TRUE(f.events.empty());
    for (const auto& row : f.live)
        EXPECT_TRUE(row.isFree());
}

TEST(Scanner, UsageMustMatchTheRow)
{
    ScanFixture f;
    NoAnswer device;
    // Interface 1 with the vendor collection first: collection 2 is then the mouse collection.
    std::vector<uint8_t> d = sim::commandInterfaceDescriptor(0);
    const std::vector<uint8_t> mouseFirst = sim::commandInterfaceDescriptor(1);
    d.insert(d.end(), mouseFirst.begin(), mouseFirst.end() - long(d.size()));
    f.sim.bus->add({"sim:swapped/if1", 0x320F, 0x226E, 1, 1, d}, &device);
    f.pass();
    EXPECT_TRUE(f.events.empty());
}

TEST(Scanner, ForeignAndHeadsetPaths)
{
    ScanFixture f;
    NoAnswer device;
    const std::vector<uint8_t> consumer = {0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00, 0x25, 0x01,
                                           0x75, 0x01, 0x95, 0x08, 0x09, 0xE9, 0x81, 0x02, 0xC0};
    f.sim.bus->add({"sim:other/if3", 0x046D, 0xC077, 1, 3, consumer}, &device);
    f.sim.bus->add({"sim:headset/if3", 0x0C76, 0x1630, 1, 3, consumer}, &device);
    f.pass();
    // A single collection gives no "&col": only the headset row (collection 0) can match it.
    EXPECT_EQ(f.events, (Events{{In, 10}}));
}

TEST(Scanner, EnumerationIsSkippedWhenNoRowIsFree)
{
    ScanFixture f;
    for (auto& row : f.live) {
        row.claimed = 1;
        row.path = L"hid#vid_0000&pid_0000#sim:gone";
    }
    f.sim.mouse->plugCable();
    const auto result = f.pass();
    EXPECT_FALSE(result.enumerated);
    EXPECT_EQ(result.removals, kInterfaceRowCount); // every stale row released instead
}


// The simulated bus, counting how often the watch looks at it.
class CountingBackend final : public HidBackend {
public:
    explicit CountingBackend(std::shared_ptr<HidBackend> inner, bool announces) : inner_(std::move(inner)), announces_(announces) {}
    bool listNodes(std::vector<HidNodeInfo>& nodes) override
    {
        ++listings;
        return inner_->listNodes(nodes);
    }
    std::shared_ptr<HidNode> openNode(const std::string& n, bool r, bool w) override { return inner_->openNode(n, r, w); }
    bool nodePresent(const std::string& n, uint16_t vid, uint16_t pid) override
    {
        ++presenceChecks;
        return inner_->nodePresent(n, vid, pid);
    }
    bool ownsNode(const std::string& n) const override { return inner_->ownsNode(n); }
    bool watchChanges() override { return announces_ && inner_->watchChanges(); }
    void changeDescriptors(std::vector<int>& out) const override { inner_->changeDescriptors(out); }
    void takeChanges() override { inner_->takeChanges(); }

    std::atomic<int> listings{0};
    std::atomic<int> presenceChecks{0};

private:
    std::shared_ptr<HidBackend> inner_;
    bool announces_;
};

// The device watch on its own thread, recording when each arrival and removal was reported.
struct WatchFixture {
    using Clock = std::chrono::steady_clock;
    SimMouse sim;
    std::shared_ptr<CountingBackend> backend;
    LiveInterfaceList live = buildLiveInterfaceList();
    StopEvent stop;
    std::mutex mutex;
    struct Report {
        ScanEvent kind;
        int row;
        Clock::time_point at;
    };
    std::vector<Report> seen;
    std::atomic<bool> firstPass{false};
    std::thread thread;

    explicit WatchFixture(bool announces = true) : backend(std::make_shared<CountingBackend>(sim.backend, announces))
    {
        thread = std::thread([this] {
            runDeviceWatch(backend, live, stop, [this](ScanEvent e, int row) {
                std::lock_guard lock(mutex);
                seen.push_back({e, row, Clock::now()});
            }, [this] { firstPass = true; });
        });
    }
    ~WatchFixture()
    {
        stop.set();
        thread.join();
    }
    // Milliseconds from `from` to the report of kind e for the row; -1 when none came in time.
    int reportedWithin(ScanEvent e, int row, Clock::time_point from, int limitMs)
    {
        const auto deadline = from + std::chrono::milliseconds(limitMs);
        while (Clock::now() < deadline + std::chrono::milliseconds(200)) {
            {
                std::lock_guard lock(mutex);
                for (const Report& r : seen)
                    if (r.kind == e && r.row == row && r.at >= from)
                        return int(std::chrono::duration_cast<std::chrono::milliseconds>(r.at - from).count());
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return -1;
    }
};

TEST(DeviceWatch, PlugAndUnplugAreReportedAtOnceAndAnIdleBusIsNotLookedAt)
{
    WatchFixture f;
    for (int i = 0; i < 200 && !f.firstPass; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(f.firstPass);
    // After the start and its settling pass, nothing is looked at while nothing changes.
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettlePassMs + 100));
    const int listings = f.backend->listings, checks = f.backend->presenceChecks;
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(f.backend->listings, listings);
    EXPECT_EQ(f.backend->presenceChecks, checks);

    for (int round = 0; round < 3; ++round) { // plugged again and again, as a user does
        auto t = WatchFixture::Clock::now();
        f.sim.mouse->plugCable();
        const int in = f.reportedWithin(In, 4, t, 100);
        EXPECT_GE(in, 0);
        EXPECT_LT(in, 100);
        EXPECT_EQ(f.live[4].claimed, 1);

        t = WatchFixture::Clock::now();
        f.sim.mouse->unplugCable();
        const int out = f.reportedWithin(Out, 4, t, 100);
        EXPECT_GE(out, 0);
        EXPECT_LT(out, 100);
        EXPECT_TRUE(f.live[4].isFree());
    }
}

TEST(DeviceWatch, ABusThatCannotAnnounceIsScannedOnThePartsPeriod)
{
    WatchFixture f(false);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    const auto t = WatchFixture::Clock::now();
    f.sim.mouse->plugCable();
    const int in = f.reportedWithin(In, 4, t, kPollPeriodMs + 50);
    EXPECT_GE(in, 0);
    EXPECT_LE(in, kPollPeriodMs + 50);
}

TEST(DeviceWatch, StopEndsAWatchThatWaitsWithoutLimit)
{
    auto f = std::make_unique<WatchFixture>();
    std::this_thread::sleep_for(std::chrono::milliseconds(kSettlePassMs + 50));
    const auto t = WatchFixture::Clock::now();
    f.reset();
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(WatchFixture::Clock::now() - t).count(), 100);
}

} // namespace
} // namespace q9
