#include "hid/HidPath.h"
#include "hid/SysfsHid.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

TEST(Sysfs, InterfaceNumberFromHidPhys)
{
    EXPECT_EQ(interfaceFromUevent("DRIVER=hid-generic\nHID_ID=0003:0000320F:0000226E\n"
                                  "HID_PHYS=usb-0000:00:14.0-1/input1\nHID_UNIQ=\n"), 1);
    EXPECT_EQ(interfaceFromUevent("HID_PHYS=q9zen-sim/mouse/input0"), 0);
    EXPECT_EQ(interfaceFromUevent("HID_PHYS=usb-0000:00:14.0-1/input12\n"), 12);
    EXPECT_EQ(interfaceFromUevent("HID_PHYS=bluetooth-aa:bb\n"), -1);
    EXPECT_EQ(interfaceFromUevent("HID_PHYS=x/inputX\n"), -1);
    EXPECT_EQ(interfaceFromUevent("NOT_HID_PHYS=x/input3\n"), -1);
    EXPECT_EQ(interfaceFromUevent(""), -1);
}

TEST(Sysfs, IdsFromHidId)
{
    uint16_t vid = 0, pid = 0;
    ASSERT_TRUE(idsFromUevent("HID_ID=0003:0000320F:0000226E\n", vid, pid));
    EXPECT_EQ(vid, 0x320F);
    EXPECT_EQ(pid, 0x226E);
    EXPECT_FALSE(idsFromUevent("HID_NAME=x\n", vid, pid));
    EXPECT_FALSE(idsFromUevent("HID_ID=garbage\n", vid, pid));
}

TEST(Sysfs, OnlyHidrawNodesMapToSysfs)
{
    EXPECT_EQ(sysfsDeviceDir("/dev/hidraw3"), "/sys/class/hidraw/hidraw3/device");
    EXPECT_EQ(sysfsDeviceDir("/dev/hidraw3", "/tmp/s"), "/tmp/s/class/hidraw/hidraw3/device");
    EXPECT_EQ(sysfsDeviceDir("/dev/sda"), "");
    EXPECT_EQ(sysfsDeviceDir("/dev/hidraw/../sda"), "");
    EXPECT_EQ(sysfsDeviceDir("sim:mouse/cable/if1"), "");
}

TEST(HidPathForm, BuildsTheFormTheCatalogueParses)
{
    EXPECT_EQ(makeInterfacePath(0x320F, 0x226E, 1, 2, "/dev/hidraw3"), L"hid#vid_320f&pid_226e&mi_01&col02#/dev/hidraw3");
    EXPECT_EQ(makeInterfacePath(0x0C76, 0x1630, 3, 0, "/dev/hidraw0"), L"hid#vid_0c76&pid_1630&mi_03#/dev/hidraw0");
    EXPECT_EQ(makeInterfacePath(0x1234, 0x5678, -1, 0, "n"), L"hid#vid_1234&pid_5678#n");
    EXPECT_EQ(nodeOfPath(L"hid#vid_320f&pid_226e&mi_01&col02#/dev/hidraw3"), "/dev/hidraw3");
    EXPECT_EQ(nodeOfPath(L"hid#vid_320f&pid_226e&mi_01&col02#"), "");
    EXPECT_EQ(nodeOfPath(L"\\\\?\\hid#vid_320f#x"), "");
    EXPECT_EQ(nodeOfPath(L"hid#vid_320f#/dev/hidraw\u00e9"), ""); // node names are ASCII
}

} // namespace
} // namespace q9
