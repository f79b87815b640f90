#include "hid/DeviceCatalogue.h"

#include <gtest/gtest.h>

namespace q9 {
namespace {

struct ParseCase {
    const wchar_t* path;
    uint16_t vid, pid, mi, col;
};

TEST(Catalogue, ParsesPathsLikeScanfHex)
{
    const ParseCase cases[] = {
        {L"hid#vid_320f&pid_226f&mi_00&col03#x", 0x320F, 0x226F, 0, 3},
        {L"\\\\?\\HID#VID_320F&PID_226E&MI_01&COL02#7&abc", 0x320F, 0x226E, 1, 2},
        {L"hid#Vid_0C76&Pid_1630&Mi_03#x", 0x0C76, 0x1630, 3, 0},  // no collection part
        {L"hid#vid_320f&pid_226e#x", 0x320F, 0x226E, 0, 0},         // no interface part
        {L"no markers at all", 0, 0, 0, 0},
        {L"hid#vid_&pid_zz&mi_&col", 0, 0, 0, 0},                     // markers without digits
        {L"hid#vid_0x1a&pid_abcde&mi_1&col10", 0x1A, 0xBCDE, 1, 0x10}, // "0x" prefix; 16 bits kept
        {L"hid#vid_320f&pid_226e&mi_01&col02&col05", 0x320F, 0x226E, 1, 2}, // the first marker counts
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.path).size());
        EXPECT_EQ(parseVid(c.path), c.vid);
        EXPECT_EQ(parsePid(c.path), c.pid);
        EXPECT_EQ(parseMi(c.path), c.mi);
        EXPECT_EQ(parseCol(c.path), c.col);
    }
}

TEST(Catalogue, FindsRowsByVidPidKindRole)
{
    EXPECT_EQ(findInterfaceRow(0x320F, 0x226E, KindMouse, RoleCommand), 4);
    EXPECT_EQ(findInterfaceRow(0x320F, 0x226E, KindMouse, RoleEvent), 5);
    EXPECT_EQ(findInterfaceRow(0x320F, 0x226F, KindMouseReceiver, RoleCommand), 6);
    EXPECT_EQ(findInterfaceRow(0x0C76, 0x1630, KindHeadset, RoleCommand), 10);
    EXPECT_EQ(findInterfaceRow(0x320F, 0x226E, KindMouseReceiver, RoleCommand), -1);

    EXPECT_EQ(findDeviceType(0x320F, 0x226E, KindMouse, 0), 0);
    EXPECT_EQ(findDeviceType(0x320F, 0x505B, KindKeyboard, 0), 1);
    EXPECT_EQ(findDeviceType(0x320F, 0x1004, KindMousePad, 0), 2);
    EXPECT_EQ(findDeviceType(0x0C76, 0x1630, KindHeadset, 0), 3);
    // The receiver kind finds no type by itself: the mouse maps kind 6 to 2 for this lookup.
    EXPECT_EQ(findDeviceType(0x320F, 0x226E, KindMouseReceiver, 0), -1);
    EXPECT_EQ(findDeviceType(0x320F, 0x50EC, KindKeyboardReceiver, 0), -1);
}

TEST(Catalogue, IdentityOfReceiverRowsIsTheirCableRow)
{
    const int expected[kInterfaceRowCount] = {0, 1, 0, 1, 4, 5, 4, 5, 8, 9, 10};
    for (int i = 0; i < kInterfaceRowCount; ++i)
        EXPECT_EQ(identityRow(i), expected[i]) << "row " << i;
}

TEST(Catalogue, PartnersPairCableAndReceiverRowsBothWays)
{
    const auto& t = interfaceTable();
    for (int i = 0; i < kInterfaceRowCount; ++i) {
        if (!t[i].paired)
            continue;
        const auto& p = t[t[i].partner];
        EXPECT_EQ(p.partner, i);
        EXPECT_EQ(p.role, t[i].role);
        EXPECT_EQ(p.vid, t[i].vid);
        EXPECT_NE(p.pid, t[i].pid);
        EXPECT_NE(isReceiverKind(p.kind), isReceiverKind(t[i].kind));
    }
    for (const auto& row : t)
        EXPECT_TRUE(isValidKind(row.kind));
}

TEST(Catalogue, LiveListIsACopyOfTheTableInOrder)
{
    LiveInterfaceList live = buildLiveInterfaceList();
    ASSERT_EQ(live.size(), size_t(kInterfaceRowCount));
    for (int i = 0; i < kInterfaceRowCount; ++i) {
        EXPECT_TRUE(live[i].sameInterface(interfaceTable()[i]));
        EXPECT_TRUE(live[i].isFree());
    }
}

TEST(Catalogue, DeviceTypeRowsSelectPageAndModelRows)
{
    const auto& types = deviceTypeTable();
    const auto& pages = devicePageTable();
    EXPECT_EQ(std::wstring(types[0].typeName), L"mouse");
    EXPECT_EQ(pages[0].keyCount, 11);
    EXPECT_EQ(pages[0].lightCount, 15);
    EXPECT_EQ(pages[0].wirelessCapable, 1);
    EXPECT_EQ(pages[1].keyCount, 170);
    EXPECT_EQ(std::wstring(modelTable()[3].appVersion), L"V0102");
    // Every type is recognised by its own command-interface row.
    for (const auto& t : types)
        EXPECT_GE(findInterfaceRow(t.vid, t.pid, t.kind, t.role), 0);
}

} // namespace
} // namespace q9
