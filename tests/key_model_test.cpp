// The key editor without its window: what a page and its controls build, how an action is shown
// again, and what a captured key makes of the keyboard page.
#include "editors/KeyCodes.h"
#include "editors/KeySetModel.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace q9::editors {
namespace {

KeyAction act(uint8_t type, uint8_t p1, uint8_t p2) { return {0, type, p1, p2, 0}; }

std::string hex(const KeyAction& a)
{
    char b[32];
    std::snprintf(b, sizeof b, "%02X %02X %02X", a.type, a.param1, a.param2);
    return b;
}

// A skin that offers every page, in page order, with three macros in the macro list.
class KeyModel : public testing::Test {
protected:
    void SetUp() override
    {
        m = KeySetModel{};
        for (int p = 0; p < kKeyPages; ++p)
            m.view().functionPages.push_back(p);
        m.view().macroCount = 3;
        m.SetDeviceMode(2);
        // A mouse key whose factory action is the forward button.
        m.SetKeyEntry({act(0x10, 0x10, 0), act(0x10, 0x10, 0)});
    }
    void choosePage(int page)
    {
        m.view().functionRow = m.rowOfPage(page);
        m.FunctionChosen();
    }
    KeySetModel m;
};

TEST_F(KeyModel, EachPageBuildsItsAction)
{
    struct Case {
        const char* what;
        int page;
        std::function<void(KeySetView&)> set;
        KeyAction want;
    };
    const Case cases[] = {
        {"mouse button: row 2 is right", PageMouseButton, [](KeySetView& v) { v.mouseButtonRow = 2; }, act(0x10, 0x02, 0)},
        {"DPI row 0", PageDpi, [](KeySetView& v) { v.dpiRow = 0; }, act(0x13, 1, 0)},
        {"media row 1: play/pause", PageMedia, [](KeySetView& v) { v.mediaRow = 1; }, act(0x30, 0xCD, 0x00)},
        {"media row 8: browser home", PageMedia, [](KeySetView& v) { v.mediaRow = 8; }, act(0x30, 0x23, 0x02)},
        {"system row 1 in power-first order: sleep", PageSystem, [](KeySetView& v) { v.systemRow = 1; }, act(0x40, 0x02, 0)},
        {"shortcut row 0: right Ctrl + O", PageShortcut, [](KeySetView& v) { v.shortcutRow = 0; }, act(0x20, 0x10, 0x12)},
        {"swing, second direction, 3", PageSwing,
         [](KeySetView& v) { v.swingDirectionRow = 1, v.swingCount = "3", v.swingDelay = "2", v.swingSpeed = "5"; }, act(0x11, 0x25, 0x83)},
        {"swing, first direction, 200 keeps seven bits", PageSwing,
         [](KeySetView& v) { v.swingDirectionRow = 0, v.swingCount = "200", v.swingDelay = "0", v.swingSpeed = "0"; }, act(0x11, 0, 200 & 0x7F)},
        {"wheel, second direction, 3", PageWheel,
         [](KeySetView& v) { v.wheelDirectionRow = 1, v.wheelCount = "3", v.wheelDelay = "0", v.wheelSpeed = "0"; }, act(0x12, 0, 0xFD)},
        {"delay 17 and speed 18 keep their low four bits", PageWheel,
         [](KeySetView& v) { v.wheelDirectionRow = 0, v.wheelCount = "1", v.wheelDelay = "17", v.wheelSpeed = "18"; }, act(0x12, 0x12, 1)},
        {"fire interval 5 is raised to 10", PageFire, [](KeySetView& v) { v.fireInterval = "5", v.fireCount = "3"; }, act(0x14, 10, 3)},
        {"fire interval 300 keeps its low byte", PageFire, [](KeySetView& v) { v.fireInterval = "300", v.fireCount = "2x"; }, act(0x14, 44, 2)},
        {"macro 2, play mode 1", PageMacro, [](KeySetView& v) { v.macroRow = 2, v.macroPlayRow = 1; }, act(0x70, 2, 1)},
        {"macro 1 five times", PageMacro, [](KeySetView& v) { v.macroRow = 1, v.macroPlayRow = 4, v.macroRepeat = "5"; }, act(0x71, 1, 5)},
        {"no macro chosen keeps the action", PageMacro, [](KeySetView& v) { v.macroRow = -1; }, act(0x10, 0x10, 0)},
        {"gun 3", PageGun, [](KeySetView& v) { v.gunRow = 3; }, act(0x72, 3, 0)},
        {"keyboard page chosen: nothing yet", PageKeyboard, [](KeySetView&) {}, act(0x20, 0, 0)},
        {"default page gives the factory action", PageDefault, [](KeySetView&) {}, act(0x10, 0x10, 0)},
    };
    for (const Case& c : cases) {
        SetUp();
        choosePage(c.page);
        c.set(m.view());
        const KeyEntry e = m.BuildEntry();
        EXPECT_EQ(hex(e.current), hex(c.want)) << c.what;
        EXPECT_EQ(hex(e.defaults), hex(act(0x10, 0x10, 0))) << c.what << ": the factory action stays";
    }
}

TEST_F(KeyModel, AFireIntervalBelowTheLeastShowsTheLeast)
{
    choosePage(PageFire);
    m.view().fireInterval = "5";
    m.BuildEntry();
    EXPECT_EQ(m.view().fireInterval, "10");
}

TEST_F(KeyModel, AnActionIsShownOnItsPageAndBuildsBackTheSame)
{
    struct Case {
        KeyAction a;
        int page;
        std::function<void(const KeySetView&)> check;
        bool buildsBack = true;
    };
    const Case cases[] = {
        {act(0x12, 0x00, 0xFD), PageWheel, [](const KeySetView& v) { EXPECT_EQ(v.wheelCount, "3"); EXPECT_EQ(v.wheelDirectionRow, 1); }},
        {act(0x11, 0x25, 0x83), PageSwing,
         [](const KeySetView& v) { EXPECT_EQ(v.swingCount, "3"); EXPECT_EQ(v.swingDirectionRow, 1); EXPECT_EQ(v.swingDelay, "2"); EXPECT_EQ(v.swingSpeed, "5"); }},
        {act(0x14, 44, 2), PageFire, [](const KeySetView& v) { EXPECT_EQ(v.fireInterval, "44"); EXPECT_EQ(v.fireCount, "2"); }},
        {act(0x20, 0x03, 0x04), PageKeyboard,
         [](const KeySetView& v) { EXPECT_TRUE(v.modifiers[0]); EXPECT_EQ(v.keyNameId, "keyboard_key_A"); }, false},
        {act(0x20, 0x01, 0x12), PageKeyboard,
         [](const KeySetView& v) { EXPECT_TRUE(v.modifiers[1]); EXPECT_EQ(v.keyNameId, "keyboard_key_O"); }},
        {act(0x20, 0x00, 0x28), PageKeyboard,
         [](const KeySetView& v) { EXPECT_TRUE(v.modifiers[0]); EXPECT_EQ(v.keyNameId, "keyboard_key_Enter"); }},
        {act(0x20, 0x10, 0x12), PageShortcut, [](const KeySetView& v) { EXPECT_EQ(v.shortcutRow, 0); }},
        {act(0x30, 0x26, 0x02), PageMedia, [](const KeySetView& v) { EXPECT_EQ(v.mediaRow, 10); }},
        {act(0x70, 1, 2), PageMacro, [](const KeySetView& v) { EXPECT_EQ(v.macroRow, 1); EXPECT_EQ(v.macroPlayRow, 2); EXPECT_FALSE(v.macroRepeatVisible); }},
        {act(0x71, 2, 9), PageMacro,
         [](const KeySetView& v) { EXPECT_EQ(v.macroRow, 2); EXPECT_EQ(v.macroPlayRow, 4); EXPECT_TRUE(v.macroRepeatVisible); EXPECT_EQ(v.macroRepeat, "9"); }},
        {act(0x70, 5, 0), PageMacro, [](const KeySetView& v) { EXPECT_EQ(v.macroRow, -1) << "macro 5 of 3 is no row"; }},
        {act(0x72, 2, 0), PageGun, [](const KeySetView& v) { EXPECT_EQ(v.gunRow, 2); }},
    };
    for (const Case& c : cases) {
        SetUp();
        m.SetKeyEntry({c.a, act(0x10, 0x10, 0)});
        EXPECT_TRUE(m.view().layoutVisible) << hex(c.a);
        EXPECT_EQ(m.view().page, c.page) << hex(c.a);
        EXPECT_EQ(m.pageOfRow(m.view().functionRow), c.page) << hex(c.a);
        c.check(m.view());
        // What is shown builds the same action again (macro 5 of 3 is kept as it is); bits 0x03
        // are no single modifier the page can show.
        if (c.buildsBack) {
            EXPECT_EQ(hex(m.BuildEntry().current), hex(c.a)) << "round trip";
        }
    }
}

TEST_F(KeyModel, TheFactoryActionIsAlwaysShownOnTheDefaultPage)
{
    m.SetKeyEntry({act(0x20, 0, 0x04), act(0x20, 0, 0x04)});
    EXPECT_EQ(m.view().page, PageDefault);
}

TEST_F(KeyModel, AnActionWithoutAnOfferedPageHidesTheEditor)
{
    m.view().functionPages = {0, 1, 6}; // a skin without the media page
    m.SetKeyEntry({act(0x30, 0xCD, 0), act(0x10, 0x10, 0)});
    EXPECT_FALSE(m.view().layoutVisible);
    m.SetKeyEntry({act(0x99, 1, 2), act(0x10, 0x10, 0)});
    EXPECT_FALSE(m.view().layoutVisible) << "an unknown type";
}

TEST_F(KeyModel, AKeyboardOffersNeitherDpiNorGun)
{
    m.SetDeviceMode(1);
    for (int p = 0; p < kKeyPages; ++p)
        EXPECT_EQ(m.view().functionVisible[size_t(m.rowOfPage(p))], p != PageDpi && p != PageGun) << p;
}

TEST_F(KeyModel, ChoosingTheKeyboardPageClearsKeyAndModifier)
{
    m.SetKeyEntry({act(0x20, 0x02, 0x04), act(0x10, 0x10, 0)});
    choosePage(PageMedia);
    choosePage(PageKeyboard);
    EXPECT_EQ(m.view().keyNameId, "");
    EXPECT_EQ(m.SelectedModifier(), -1);
    EXPECT_EQ(hex(m.BuildEntry().current), hex(act(0x20, 0, 0)));
}

TEST_F(KeyModel, CapturedKeysMakeTheKeyboardAction)
{
    struct Press {
        uint32_t scan;
        bool extended;
    };
    struct Case {
        const char* what;
        std::vector<Press> presses;
        int modifierBefore; // -1: none chosen
        KeyAction want;
        const char* name;
    };
    const Case cases[] = {
        {"A", {{0x1E, false}}, -1, act(0x20, 0, 0x04), "keyboard_key_A"},
        {"Shift chosen, then A", {{0x1E, false}}, 2, act(0x20, 0x02, 0x04), "keyboard_key_A"},
        {"left Ctrl, then C", {{0x1D, false}, {0x2E, false}}, -1, act(0x20, 0x01, 0x06), "keyboard_key_C"},
        {"right Ctrl alone", {{0x1D, true}}, -1, act(0x20, 0x01, 0), ""},
        {"right Alt, then Enter on the keypad", {{0x38, true}, {0x1C, true}}, -1, act(0x20, 0x04, 0x58), "keyboard_key_Num Enter"},
        {"Print Screen (extended 0x37)", {{0x37, true}}, -1, act(0x20, 0, 0x46), "keyboard_key_Print Scr"},
        {"keypad * (plain 0x37)", {{0x37, false}}, -1, act(0x20, 0, 0x55), "keyboard_key_Num *"},
        {"Pause and Num Lock share 0x45", {{0x45, false}}, -1, act(0x20, 0, 0x48), "keyboard_key_Pause"},
        {"Num Lock", {{0x45, true}}, -1, act(0x20, 0, 0x53), "keyboard_key_Num Lock"},
        {"a code no key has is ignored", {{0x1E, false}, {0x6F, false}}, -1, act(0x20, 0, 0x04), "keyboard_key_A"},
    };
    for (const Case& c : cases) {
        SetUp();
        choosePage(PageKeyboard);
        m.SelectModifier(c.modifierBefore);
        for (const Press& p : c.presses)
            m.CaptureKey(p.scan, p.extended);
        // What the window does next: apply.
        EXPECT_EQ(hex(m.BuildEntry().current), hex(c.want)) << c.what;
        EXPECT_EQ(m.view().keyNameId, c.name) << c.what;
    }
}

TEST(KeyCodeTable, CaptureRowsHaveDistinctCodesAndTheExtendedFlagWhereKeysHaveIt)
{
    const auto& t = keyCodeTable();
    std::set<std::pair<int, bool>> seen;
    const std::set<int> extendedRows = {3, 4, 5, 6, 7, 73, 76, 77, 78, 79, 80, 81, 82, 83, 84, 85, 86, 87, 91, 103};
    for (int r = 0; r < kCaptureRows; ++r) {
        EXPECT_NE(t[size_t(r)].scan, 0) << r;
        EXPECT_TRUE(seen.insert({t[size_t(r)].scan, t[size_t(r)].extended}).second) << "row " << r << " shares its code";
        EXPECT_EQ(t[size_t(r)].extended, extendedRows.count(r) == 1) << r;
    }
    // Spot rows against the published codes.
    struct Row {
        int row;
        const char* name;
        uint16_t vk;
        uint8_t scan, usage;
    };
    for (const Row& r : {Row{8, "keyboard_key_A", 0x41, 0x1E, 0x04}, Row{43, "keyboard_key_0", 0x30, 0x0B, 0x27},
                         Row{53, "keyboard_key_xiegang", 0xDC, 0x2B, 0x31}, Row{72, "keyboard_key_F12", 0x7B, 0x58, 0x45},
                         Row{91, "keyboard_key_Num Enter", 0x101, 0x1C, 0x58}, Row{101, "keyboard_key_Num 0", 0x60, 0x52, 0x62},
                         Row{112, "keyboard_key_K151", 0xFF, 0x72, 0x90}}) {
        EXPECT_EQ(t[size_t(r.row)].nameId, r.name);
        EXPECT_EQ(t[size_t(r.row)].vk, r.vk) << r.name;
        EXPECT_EQ(t[size_t(r.row)].scan, r.scan) << r.name;
        EXPECT_EQ(t[size_t(r.row)].param2, r.usage) << r.name;
    }
    EXPECT_EQ(t[141].nameId, "keyboard_key_GM");
    EXPECT_EQ(t[141].type, 0xA0);
    EXPECT_EQ(t[141].param1, 0x1B);
}

} // namespace
} // namespace q9::editors
