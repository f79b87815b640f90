#include "device/DeviceScanner.h"
#include "sim/Descriptors.h"
#include "support/SimMouse.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace q9
