#include "hid/ReportDescriptor.h"
#include "sim/Descriptors.h"

#include <gtest/gtest.h>

#include <random>

namespace q9 {
namespace {

ReportDescriptor parse(const std::vector<uint8_t>& bytes)
{
    ReportDescriptor rd;
    EXPECT_TRUE(parseReportDescriptor(bytes.data(), bytes.size(), rd));
    return rd;
}

TEST(ReportDescriptor, CollectionsOfTheCommandAndEventInterfaces)
{
    const ReportDescriptor cmd = parse(sim::commandInterfaceDescriptor(1));
    ASSERT_EQ(cmd.collections.size(), 2u);
    EXPECT_TRUE(cmd.usesReportIds);
    EXPECT_EQ(cmd.collections[0].usagePage, 0x01);
    EXPECT_EQ(cmd.collections[0].usage, 0x02);
    EXPECT_EQ(cmd.collections[1].usagePage, 0xFF1C);
    EXPECT_EQ(cmd.collections[1].usage, 0x92);
    EXPECT_EQ(cmd.collections[1].reportByteLength(ReportType::Input), 64);
    EXPECT_EQ(cmd.collections[1].reportByteLength(ReportType::Output), 64);
    EXPECT_EQ(cmd.collections[1].reportByteLength(ReportType::Feature), 0);
    EXPECT_TRUE(cmd.collections[1].ownsReportId(4));
    EXPECT_FALSE(cmd.collections[1].ownsReportId(1));
    // Mouse: 5 buttons + 3 padding bits, two 16-bit axes and a wheel, after the report ID.
    EXPECT_EQ(cmd.collections[0].reportByteLength(ReportType::Input), 1 + 1 + 4 + 1);

    const ReportDescriptor ev = parse(sim::eventInterfaceDescriptor());
    ASSERT_EQ(ev.collections.size(), 3u);
    EXPECT_EQ(ev.collections[2].usagePage, 0x0C);
    EXPECT_EQ(ev.collections[2].usage, 0x01);
    EXPECT_EQ(ev.collections[2].reportByteLength(ReportType::Input), 3);

    EXPECT_EQ(parse(sim::commandInterfaceDescriptor(3)).collections.size(), 4u);
}

TEST(ReportLayout, CapabilitiesAndItems)
{
    const ReportDescriptor cmd = parse(sim::commandInterfaceDescriptor(1));
    HidReportLayout vendor(cmd.collections[1], true);
    EXPECT_EQ(vendor.caps().usagePage, 0xFF1C);
    EXPECT_EQ(vendor.caps().reportByteLength[0], 64);
    EXPECT_EQ(vendor.caps().valueCaps[int(ReportType::Input)], 1);
    EXPECT_EQ(vendor.caps().buttonCaps[int(ReportType::Input)], 0);
    // A single usage over 63 slots is one value item.
    EXPECT_EQ(vendor.items(ReportType::Input).size(), 1u);

    HidReportLayout mouse(cmd.collections[0], true);
    EXPECT_EQ(mouse.caps().buttonCaps[0], 1);
    EXPECT_EQ(mouse.caps().valueCaps[0], 3); // X and Y from a list, wheel
    const auto& items = mouse.items(ReportType::Input);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_TRUE(items[0].isButton);
    EXPECT_EQ(items[0].usageMin, 1);
    EXPECT_EQ(items[0].usageMax, 5);
    EXPECT_EQ(items[0].maxUsages, 5u);
    EXPECT_EQ(items[1].usage, 0x30);
    EXPECT_EQ(items[2].usage, 0x31);
    EXPECT_EQ(items[3].usage, 0x38);
}

TEST(ReportLayout, UnpacksTheEventCodeOfAConsumerReport)
{
    const ReportDescriptor ev = parse(sim::eventInterfaceDescriptor());
    HidReportLayout consumer(ev.collections[2], true);
    const uint8_t report[] = {0x03, 0x23, 0x11};
    ASSERT_TRUE(consumer.unpack(report, sizeof report));
    const auto& item = consumer.items(ReportType::Input).front();
    EXPECT_TRUE(item.isSet);
    EXPECT_EQ(item.usages.front(), 0x1123);

    const uint8_t release[] = {0x03, 0x00, 0x00};
    ASSERT_TRUE(consumer.unpack(release, sizeof release));
    EXPECT_EQ(consumer.items(ReportType::Input).front().usages.front(), 0);
}

TEST(ReportLayout, UnpacksButtonsAndSignedValues)
{
    const ReportDescriptor cmd = parse(sim::commandInterfaceDescriptor(1));
    HidReportLayout mouse(cmd.collections[0], true);
    // Buttons 1 and 3, X = -2, Y = 300, wheel = -1.
    const uint8_t report[] = {0x01, 0x05, 0xFE, 0xFF, 0x2C, 0x01, 0xFF};
    ASSERT_TRUE(mouse.unpack(report, sizeof report));
    const auto& items = mouse.items(ReportType::Input);
    EXPECT_EQ(items[0].usages, (std::vector<uint16_t>{1, 3, 0, 0, 0}));
    EXPECT_EQ(items[1].value, 0xFFFEu);
    EXPECT_EQ(items[1].scaledValue, -2);
    EXPECT_EQ(items[2].scaledValue, 300);
    EXPECT_EQ(items[3].scaledValue, -1);
}

TEST(ReportLayout, ReportOfAnotherIdLeavesItemsUnchanged)
{
    const ReportDescriptor ev = parse(sim::eventInterfaceDescriptor());
    HidReportLayout consumer(ev.collections[2], true);
    const uint8_t other[] = {0x01, 0x55, 0x66};
    ASSERT_TRUE(consumer.unpack(other, sizeof other));
    EXPECT_FALSE(consumer.items(ReportType::Input).front().isSet);
}

TEST(ReportLayout, ShortReportFailsForValues)
{
    const ReportDescriptor cmd = parse(sim::commandInterfaceDescriptor(1));
    HidReportLayout mouse(cmd.collections[0], true);
    const uint8_t report[] = {0x01, 0x01, 0x02};
    EXPECT_FALSE(mouse.unpack(report, sizeof report));
    EXPECT_FALSE(mouse.unpack(nullptr, 0));
}

TEST(ReportLayout, ValueRangeExpandsToOneItemPerUsage)
{
    // Generic desktop X..Z as a usage range, three 8-bit values.
    const std::vector<uint8_t> d = {0x05, 0x01, 0x09, 0x04, 0xA1, 0x01, 0x19, 0x30, 0x29, 0x32, 0x15, 0x00,
                                    0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x03, 0x81, 0x02, 0xC0};
    const ReportDescriptor rd = parse(d);
    EXPECT_FALSE(rd.usesReportIds);
    HidReportLayout l(rd.collections[0], false);
    EXPECT_EQ(l.caps().valueCaps[0], 1);
    ASSERT_EQ(l.items(ReportType::Input).size(), 3u);
    EXPECT_EQ(l.items(ReportType::Input)[2].usage, 0x32);
    EXPECT_EQ(l.caps().reportByteLength[0], 4); // report ID byte counted even without IDs
    EXPECT_TRUE(l.ownsReportId(0));
    const uint8_t report[] = {0x00, 10, 20, 200};
    ASSERT_TRUE(l.unpack(report, sizeof report));
    EXPECT_EQ(l.items(ReportType::Input)[2].value, 200u);
    EXPECT_EQ(l.items(ReportType::Input)[2].scaledValue, 200);
}

TEST(ReportDescriptor, RejectsMalformedDescriptors)
{
    const std::vector<std::vector<uint8_t>> bad = {
        {0x05},                                  // truncated item
        {0x05, 0x01, 0xA1, 0x01},                // collection never ended
        {0xC0},                                  // end without collection
        {0x85, 0x00},                            // report ID 0
        {0x75, 0x40, 0x95, 0x01, 0x81, 0x02},    // 64-bit field
        {0x75, 0x08, 0x96, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02}, // reports beyond 4 KiB
        {0xB4},                                  // pop without push
        {0xFE, 0x10, 0x00},                      // long item running past the end
    };
    for (const auto& d : bad) {
        ReportDescriptor rd;
        EXPECT_FALSE(parseReportDescriptor(d.data(), d.size(), rd)) << d.size();
    }
}

TEST(ReportDescriptor, RandomBytesNeverCrash)
{
    std::mt19937 rng(12345);
    for (int round = 0; round < 2000; ++round) {
        std::vector<uint8_t> d(rng() % 200);
        for (auto& b : d)
            b = uint8_t(rng());
        ReportDescriptor rd;
        if (!parseReportDescriptor(d.data(), d.size(), rd))
            continue;
        for (const auto& c : rd.collections) {
            HidReportLayout l(c, rd.usesReportIds);
            std::vector<uint8_t> report(rng() % 80 + 1);
            for (auto& b : report)
                b = uint8_t(rng());
            l.unpack(report.data(), report.size());
        }
    }
}

} // namespace
} // namespace q9
