// The keyboard as a user meets it: it shows up with the mouse, its keys are found on the device
// with their LEDs, its lighting and typing options reach its settings record, and through the
// receiver with the keyboard off nothing but link queries is sent.
#include "device/KeyboardDevice.h"
#include "device/KeyboardLayout.h"
#include "editors/LightEditor.h"
#include "sim/KeyboardEmulator.h"
#include "ui/Label.h"

#include "ShellFixture.h"

#include <set>

namespace q9 {
namespace {

class KeyboardPage : public test::Shell {
protected:
    void startWith(const std::string& devices)
    {
        start(devices);
        for (auto& d : simulation->devices)
            if (auto* k = dynamic_cast<sim::KeyboardEmulator*>(d.get()))
                board = k;
        ASSERT_NE(board, nullptr);
        ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty(); }, 3000)) << "the keyboard was read";
        kb = keyboard();
        ASSERT_NE(kb, nullptr);
    }
    CTarvenixKeyboardDevice* keyboard()
    {
        for (auto* t : wnd->tabs())
            if (auto* k = dynamic_cast<CTarvenixKeyboardDevice*>(t->device()))
                return k;
        return nullptr;
    }
    void showKeyboard()
    {
        auto all = wnd->tabs();
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i]->device() == kb)
                wnd->ShowTab(int(i), true, true);
        ASSERT_EQ(wnd->currentDevice(), kb);
    }
    // The settings record of slot 0 in the keyboard.
    std::vector<uint8_t> record() const
    {
        const auto m = board->settingsMemory();
        return {m.begin(), m.begin() + 45};
    }

    sim::KeyboardEmulator* board = nullptr;
    CTarvenixKeyboardDevice* kb = nullptr;
};

TEST_F(KeyboardPage, TheKeysAreFoundOnTheKeyboardWithTheirLeds)
{
    startWith("keyboard");
    const auto& keys = board->keys();
    const auto leds = board->ledBlock();
    const auto& factory = keyboard::factoryCodes();
    int found = 0;
    for (int j = 0; j < CTarvenixKeyboardDevice::kKeys; ++j) {
        const uint8_t k = kb->deviceKeyOf()[size_t(j)];
        if (factory[size_t(j)] == std::array<uint8_t, 3>{0x20, 0, 0}) {
            EXPECT_EQ(k, 255) << "picture key " << j << " has no key";
            continue;
        }
        ASSERT_LT(k, keys.size()) << "picture key " << j;
        EXPECT_EQ(keys[k].action, factory[size_t(j)]) << "picture key " << j;
        EXPECT_EQ(kb->ledOf()[size_t(j)], leds[k]) << "picture key " << j;
        ++found;
    }
    EXPECT_EQ(found, int(keys.size())) << "every key of the board is on the picture";
}

TEST_F(KeyboardPage, LightingAndTypingOptionsReachTheSettingsRecord)
{
    startWith("keyboard");
    showKeyboard();
    struct Step {
        std::vector<const char*> commands;
        std::vector<std::pair<int, int>> bytes; // (byte, value) afterwards
    };
    const Step steps[] = {
        {{"click deng_Op_tab", "item light_combo_modeSelect 4"}, {{1, 4}}},
        {{"value deng_light_slider 2", "value deng_speed_slider 4"}, {{2, 2}, {3, 0}}},
        {{"item light_combo_modeSelect 1", "select deng_FXL_check"}, {{1, 1}, {4, 1}}},
        {{"colour deng_Color_Pallet 0x102030"}, {{6, 0x10}, {7, 0x20}, {8, 0x30}, {5, 0}}},
        {{"item light_combo_modeSelect 29"}, {{1, 0xFE}}}, // audio: driven by the program
        {{"item light_combo_modeSelect 30"}, {{1, 0xFE}}},
        {{"item light_combo_modeSelect 6", "click system_Op_tab", "select winlockflag_option 1"}, {{1, 6}, {21, 1}}},
        {{"select wflag_option 1", "select 6flag_option 1"}, {{19, 1}, {20, 1}}},
        {{"select polling_rate_option_3"}, {{22, 3}}},
        {{"select winlockflag_option 0"}, {{21, 0}, {19, 1}}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.commands.back());
        for (const char* c : s.commands)
            ASSERT_TRUE(cmd(QString::fromLatin1(c)));
        const auto r = record();
        for (auto [at, value] : s.bytes)
            EXPECT_EQ(r[size_t(at)], value) << "byte " << at;
    }
    // The typing rate is the desktop's: kept in the profile, not sent.
    board->clearReceived();
    cmd("value repeat_rate_slider 12");
    cmd("select repeat_delay_check_2");
    EXPECT_TRUE(board->receivedCommands(0x06).empty());
    CKeyboardProfiledata doc;
    doc.LoadDeviceSection(kb->profilePath());
    EXPECT_EQ(doc.GetKeyboardSystem().repeat, 12);
    EXPECT_EQ(doc.GetKeyboardSystem().repeatDelay, 2);
    EXPECT_EQ(doc.GetKeyboardSystem().winFlag, 0);
    EXPECT_EQ(doc.GetLightInfo().selectItem, 6);
    // Reset gives back the default profile's typing rate and delay, and keeps the flags.
    cmd("click reset_repeat_btn");
    CKeyboardProfiledata defaults;
    defaults.LoadDeviceSection(kb->defaultProfilePath());
    doc.LoadDeviceSection(kb->profilePath());
    EXPECT_EQ(doc.GetKeyboardSystem().repeat, defaults.GetKeyboardSystem().repeat);
    EXPECT_EQ(doc.GetKeyboardSystem().repeatDelay, defaults.GetKeyboardSystem().repeatDelay);
    EXPECT_NE(doc.GetKeyboardSystem().repeat, 12);
    EXPECT_EQ(doc.GetKeyboardSystem().key6Flag, 1);
}

TEST_F(KeyboardPage, WhatTheKeyboardHoldsIsShownAfterARestart)
{
    startWith("keyboard");
    showKeyboard();
    cmd("item light_combo_modeSelect 12");
    cmd("click system_Op_tab");
    cmd("select 6flag_option 1");
    board->clearReceived();
    restartProgram();
    ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty(); }, 3000));
    kb = keyboard();
    ASSERT_NE(kb, nullptr);
    EXPECT_EQ(kb->lightEditor()->GetMode(), 12);
    EXPECT_EQ(kb->keyboardSystem().key6Flag, 1);
    auto* six = qobject_cast<ui::Option*>(ui::Window::findSubControlByName(kb, QStringLiteral("6flag_option")));
    ASSERT_NE(six, nullptr);
    EXPECT_TRUE(six->isSelected());
}

TEST_F(KeyboardPage, ThroughTheReceiverWithTheKeyboardOffOnlyTheLinkIsAsked)
{
    startWith("keyboard-receiver");
    showKeyboard();
    cmd("link keyboard-receiver down");
    board->clearReceived();
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 4");
    cmd("value deng_light_slider 1");
    std::set<int> codes;
    for (const auto& r : board->received())
        codes.insert(r.bytes[3]);
    EXPECT_EQ(codes, std::set<int>{0xAA});
    // Back in reach, the change is written.
    cmd("link keyboard-receiver up");
    ASSERT_TRUE(waitFor([&] { return record()[1] == 4 && record()[2] == 1; }, 4000));
}

TEST_F(KeyboardPage, CustomColoursArePaintedPerKeyAndKeptAsTheGroupOnTheKeyboard)
{
    startWith("keyboard");
    showKeyboard();
    cmd("click deng_Op_tab");
    board->clearReceived();
    cmd("item light_combo_modeSelect 20");
    EXPECT_EQ(record()[1], 20);
    // The custom group row shows; group 3 is chosen and goes into the record.
    ASSERT_TRUE(ui::Window::findSubControlByName(kb, QStringLiteral("lightcustom_layout"))->isVisibleTo(kb));
    cmd("item light_combo_custommodeSelect 2");
    EXPECT_EQ(record()[25], 2);
    EXPECT_EQ(kb->colourGroup(), 2);
    // Keys take the light colour; the group page holds them at each key's LED.
    cmd("colour deng_Color_Pallet 0x3366CC");
    const int a = 64, esc = 0;
    cmd("click key_64");
    cmd("click key_0");
    auto ledOf = [&](int key) { return size_t(kb->ledOf()[size_t(key)]); };
    auto page = board->colourPage(2);
    EXPECT_EQ(page[3 * ledOf(a)], 0x33);
    EXPECT_EQ(page[3 * ledOf(a) + 1], 0x66);
    EXPECT_EQ(page[3 * ledOf(a) + 2], 0xCC);
    EXPECT_EQ(page[3 * ledOf(esc) + 2], 0xCC);
    EXPECT_EQ(page[3 * ledOf(65)], 0) << "keys not painted stay dark";
    // The brush off darkens a key again.
    cmd("click custom_off_color_btn");
    cmd("click key_0");
    EXPECT_EQ(board->colourPage(2)[3 * ledOf(esc) + 2], 0);
    EXPECT_EQ(board->colourPage(2)[3 * ledOf(a) + 2], 0xCC);
    // Select-all paints every key with the brush (off: dark).
    cmd("click custom_bright_color_btn");
    cmd("colour deng_Color_Pallet 0x010203");
    cmd("click kb_select_all_btn");
    for (int key : {0, 64, 108, 124})
        EXPECT_EQ(board->colourPage(2)[3 * ledOf(key) + 2], 0x03) << key;
    cmd("colour deng_Color_Pallet 0x3366CC");
    cmd("click key_64");
    // The picture shows the group.
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(a) >> 8) == 0x3366CCu; }, 2000));
    // Read back from the keyboard after a restart, the five pages come into the profile.
    board->clearReceived();
    restartProgram();
    ASSERT_TRUE(waitFor([&] { return board->receivedCommands(0x0A).size() >= 5; }, 3000));
    kb = keyboard();
    const auto colours = kb->profile().GetKeyColors(2, CTarvenixKeyboardDevice::kKeys);
    EXPECT_EQ(colours[size_t(a)].blue, 0xCC);
    EXPECT_EQ(colours[size_t(esc)].blue, 0x03);
}

TEST_F(KeyboardPage, TheHostColourIsStreamedAsWholeFramesOnTheCableOnly)
{
    startWith("keyboard");
    showKeyboard();
    EXPECT_TRUE(board->hostLightControl()) << "host light control was switched on";
    cmd("click deng_Op_tab");
    cmd("value deng_light_slider 4");
    cmd("item light_combo_modeSelect 30");
    const int32_t colour[3] = {200, 100, 50};
    kb->setAudioAux(colour, 3);
    ASSERT_TRUE(waitFor([&] { return board->lightFrames() > 0 && board->lastLightFrame()[3 * kb->ledOf()[64]] == 200 * 255 / 256; }, 3000));
    const auto frame = board->lastLightFrame();
    ASSERT_EQ(frame.size(), 3 * board->keys().size());
    for (int key : {0, 64, 108}) {
        const size_t led = kb->ledOf()[size_t(key)];
        EXPECT_EQ(frame[3 * led + 1], 100 * 255 / 256) << key;
        EXPECT_EQ(frame[3 * led + 2], 50 * 255 / 256) << key;
    }
    // Switched off, nothing more is streamed.
    cmd("click control_light_status");
    const int sent = board->lightFrames();
    const int32_t other[3] = {1, 2, 3};
    kb->setAudioAux(other, 3);
    QTest::qWait(300);
    EXPECT_EQ(board->lightFrames(), sent);
}

TEST_F(KeyboardPage, AKeyPressedOnTheKeyboardFlashesOnThePicture)
{
    startWith("keyboard");
    showKeyboard();
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 7");
    const int a = 64;
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(a) & 0xFF) == 0; }, 2000)) << "dark until a key is pressed";
    ASSERT_TRUE(board->pressKey(kb->deviceKeyOf()[a], true));
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(a) & 0xFF) > 200; }, 3000));
    EXPECT_EQ(kb->zoneColor(65) & 0xFF, 0u) << "its neighbour stays dark";
    ASSERT_TRUE(board->pressKey(kb->deviceKeyOf()[a], false));
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(a) & 0xFF) == 0; }, 5000)) << "let go, it fades out";
}

TEST_F(KeyboardPage, TheProfileBarWorksOnTheKeyboardPage)
{
    startWith("keyboard");
    showKeyboard();
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 12");
    cmd("answer 1");
    cmd("click device_add_btn");
    ASSERT_EQ(kb->profileList().Count(), 2);
    cmd("item device_profile_combo 1");
    cmd("item light_combo_modeSelect 4");
    ASSERT_TRUE(waitFor([&] { return record()[1] == 4; }, 2000));
    // Back to the first profile: its effect is shown and, once the user stops picking, written.
    cmd("item device_profile_combo 0");
    EXPECT_EQ(kb->lightEditor()->GetMode(), 12);
    ASSERT_TRUE(waitFor([&] { return record()[1] == 12; }, 3000));
}

TEST_F(KeyboardPage, WithTheMouseTwoTabsAndOneEffectForBoth)
{
    startWith("mouse,keyboard");
    ASSERT_TRUE(synced());
    int shown = 0;
    for (auto* t : wnd->tabs())
        shown += t->tabVisible() ? 1 : 0;
    EXPECT_EQ(shown, 2);
    showKeyboard();
    cmd("click deng_Op_tab");
    cmd("item light_combo_modeSelect 6"); // static: steady on every device
    ASSERT_TRUE(ui::Window::findSubControlByName(kb, QStringLiteral("deng_same_mode"))->isVisibleTo(kb));
    cmd("colour deng_Color_Pallet 0x00FF80");
    cmd("click deng_same_mode");
    CTarvenixMouseDevice* m = wnd->mice()[0];
    EXPECT_TRUE(kb->syncDriven());
    EXPECT_TRUE(m->syncDriven());
    EXPECT_EQ(record()[1], 6);
    EXPECT_EQ(mouse->settingsMemory()[1], 0); // the mouse's steady effect
    EXPECT_EQ(mouse->settingsMemory()[7], 0xFF);
    // Both pictures show the shared colour, and the keyboard is sent it frame by frame.
    ASSERT_TRUE(waitFor([&] { return (kb->zoneColor(64) >> 8) == 0x00FF80u && (m->zoneColor(0) >> 8) == 0x00FF80u; }, 2000));
    ASSERT_TRUE(waitFor([&] { return board->lightFrames() > 0 && board->lastLightFrame()[3 * kb->ledOf()[64] + 1] == 0xFF * 255 / 256; }, 2000));
    // A change on the keyboard leaves the shared effect and the stream stops.
    cmd("value deng_light_slider 3");
    EXPECT_FALSE(kb->syncDriven());
    const int frames = board->lightFrames();
    QTest::qWait(400);
    EXPECT_EQ(board->lightFrames(), frames);
}

} // namespace
} // namespace q9
