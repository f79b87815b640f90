#include "app/DeviceListing.h"
#include "support/SimMouse.h"

#include <gtest/gtest.h>

#include <sstream>

namespace q9 {
namespace {

TEST(Listing, ShowsTheMouseInterfacesAndItsInformation)
{
    sim::MouseConfig config;
    config.sensor = 0x3395;
    test::SimMouse sim(config);
    sim.mouse->plugReceiver();
    std::ostringstream out;
    EXPECT_EQ(printDeviceListing(sim.backend, out), 2);
    const std::string text = out.str();
    EXPECT_NE(text.find("row 6  mouse, receiver, command interface"), std::string::npos) << text;
    EXPECT_NE(text.find("row 7  mouse, receiver, event interface"), std::string::npos) << text;
    EXPECT_NE(text.find("sensor: 0x3395"), std::string::npos) << text;
    EXPECT_NE(text.find("battery: 85%, on battery"), std::string::npos) << text;
}

TEST(Listing, EveryDeviceFoundHasItsDetails)
{
    test::SimMouse sim;
    sim.mouse->plugCable();
    sim.mouse->plugReceiver();
    std::ostringstream out;
    EXPECT_EQ(printDeviceListing(sim.backend, out), 4);
    const std::string text = out.str();
    const size_t cable = text.find("Mouse (on its cable)"), receiver = text.find("Mouse (through its receiver)");
    ASSERT_NE(cable, std::string::npos) << text;
    ASSERT_NE(receiver, std::string::npos) << text;
    // Each section has its own information.
    EXPECT_NE(text.find("firmware version (mouse)", cable), std::string::npos) << text;
    EXPECT_NE(text.find("firmware version (receiver)", receiver), std::string::npos) << text;
    EXPECT_NE(text.find("keys:", receiver), std::string::npos) << text;
}

TEST(Listing, SaysWhenTheMouseIsOutOfReach)
{
    test::SimMouse sim;
    sim.mouse->plugReceiver();
    sim.mouse->setRadioLink(false);
    std::ostringstream out;
    printDeviceListing(sim.backend, out);
    EXPECT_NE(out.str().find("does not answer through the receiver"), std::string::npos) << out.str();
}

TEST(Listing, NothingFound)
{
    test::SimMouse sim;
    std::ostringstream out;
    EXPECT_EQ(printDeviceListing(sim.backend, out), 0);
    EXPECT_NE(out.str().find("none found"), std::string::npos);
}

} // namespace
} // namespace q9
