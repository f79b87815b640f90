// The key editor as a user works it: pick a button on the picture, choose what it does, save it to
// the device; capture a key by pressing it; and keys reassigned on the device stay reachable after
// a re-plug and a restart.
#include "device/KeyboardDevice.h"
#include "device/KeyboardLayout.h"
#include "editors/KeySetEditor.h"
#include "platform/DeviceHook.h"
#include "platform/InputHook.h"
#include "profile/JsonFile.h"
#include "sim/KeyboardEmulator.h"
#include "ui/Edit.h"
#include "ui/Label.h"

#include "ShellFixture.h"

#include <linux/input-event-codes.h>

namespace q9 {
namespace {

using Bytes = std::vector<uint8_t>;

class KeyEditor : public test::Shell {
protected:
    void startMouse()
    {
        start("mouse");
        ASSERT_TRUE(synced());
        factory = mouse->keyBlock(0);
    }
    editors::CKeySetControlUI* editor() { return wnd->currentDevice()->keyEditor(); }
    void pick(int key)
    {
        cmd("click key_Op_tab");
        cmd(QStringLiteral("click key_%1").arg(key));
    }
    // The factory block with the three bytes of device key k replaced.
    Bytes factoryWith(int k, Bytes action) const
    {
        Bytes b = factory;
        std::copy(action.begin(), action.end(), b.begin() + 3 * k);
        return b;
    }
    void writeMacros(const std::wstring& folder)
    {
        Json::Value list(Json::objectValue);
        for (int i = 0; i < 2; ++i) {
            Json::Value info;
            info["Guid"] = "m" + std::to_string(i);
            info["MacroName"] = "Macro " + std::to_string(i);
            list["MacroInfo"].append(info);
            Json::Value ev;
            ev["Delay"] = "10";
            ev["Type"] = 10;
            ev["Action"] = "down";
            ev["Button"] = 4 + i;
            Json::Value file(Json::objectValue);
            file["Events"].append(ev);
            ASSERT_EQ(WriteJsonFile(folder + L"m" + std::to_wstring(i) + L".mac", file), 0);
        }
        ASSERT_EQ(WriteJsonFile(folder + L"macro.config", list), 0);
    }
    Bytes factory;
};

TEST_F(KeyEditor, EveryFamilyOfActionsReachesTheMouseByteForByte)
{
    startMouse();
    writeMacros(wnd->mice()[0]->dataFolder());
    restartProgram(); // the editor lists the macros of the data folder
    ASSERT_TRUE(synced());
    struct Case {
        const char* what;
        QStringList lines;
        Bytes bytes;
        int stored = -1; // what the profile keeps, when not the bytes on the device
    };
    const Case cases[] = {
        {"right button", {"item keyset_function_combo 1", "item keyset_mousekey_combo 2"}, {0x10, 0x02, 0x00}},
        {"swing, second direction, 3 times",
         {"item keyset_function_combo 2", "item keyset_mouseswing_combo 1", "text keyset_mouseswing_delay_edit 2",
          "text keyset_mouseswing_speed_edit 5", "text keyset_mouseswing_num_edit 3", "killfocus keyset_mouseswing_num_edit"},
         {0x11, 0x25, 0x83}},
        {"wheel down 3",
         {"item keyset_function_combo 3", "item keyset_mousewheel_combo 1", "text keyset_mousewheel_num_edit 3",
          "killfocus keyset_mousewheel_num_edit"},
         {0x12, 0x00, 0xFD}},
        {"DPI cycle", {"item keyset_function_combo 4", "item keyset_mousedpi_combo 2"}, {0x13, 0x03, 0x00}},
        {"fire, interval typed too small",
         {"item keyset_function_combo 5", "text keyset_mousefire_interval_edit 4", "text keyset_mousefire_num_edit 3",
          "killfocus keyset_mousefire_interval_edit"},
         {0x14, 10, 3}},
        {"volume up", {"item keyset_function_combo 7", "item keyset_media_combo 6"}, {0x30, 0xE9, 0x00}},
        {"power first in the mouse's order", {"item keyset_function_combo 8", "item keyset_system_combo 0"}, {0x40, 0x01, 0x00}},
        {"macro 1, play mode 2: the only macro used is the device's first",
         {"item keyset_function_combo 9", "item keyset_macro_combo 1", "item keyset_macro_over_combo 2"},
         {0x70, 0x00, 0x02}, 0x700102},
        {"macro 0 seven times",
         {"item keyset_function_combo 9", "item keyset_macro_combo 0", "item keyset_macro_over_combo 4",
          "text keyset_macro_cycle_edit 7", "killfocus keyset_macro_cycle_edit"},
         {0x71, 0x00, 0x07}},
        {"gun 3", {"item keyset_function_combo 10", "item keyset_gunkey_combo 2"}, {0x72, 0x02, 0x00}},
        {"paste shortcut", {"item keyset_function_combo 11", "item keyset_combokey_combo 6"}, {0x20, 0x10, 0x19}},
        {"back to the factory action", {"item keyset_function_combo 0"}, {0x10, 0x10, 0x00}},
    };
    for (const Case& c : cases) {
        pick(3);
        for (const QString& line : c.lines)
            cmd(line);
        cmd("click key_butt_prosave");
        EXPECT_EQ(mouse->keyBlock(0), factoryWith(3, c.bytes)) << c.what;
        const int stored = c.stored >= 0 ? c.stored : c.bytes[0] << 16 | c.bytes[1] << 8 | c.bytes[2];
        EXPECT_EQ(wnd->mice()[0]->keyList()[3].current.stored(), stored) << c.what << ": the profile keeps its own macro number";
    }
    // The macro that the key used went to the macro memory as its first sequence.
    EXPECT_EQ(mouse->macroMemory()[4], 1);
}

TEST_F(KeyEditor, ApplyIsPendingUntilSavedAndTheProfileKeepsWhatWasSaved)
{
    startMouse();
    ui::Control* save = wnd->findControl(QStringLiteral("key_butt_prosave"));
    pick(4);
    ASSERT_TRUE(editor()->find("keyset_layout")->isVisible()) << "a picked key shows the editor";
    EXPECT_FALSE(save->isEnabled());
    cmd("item keyset_function_combo 7");
    cmd("item keyset_media_combo 1");
    EXPECT_TRUE(save->isEnabled()) << "applied, not yet saved";
    EXPECT_EQ(mouse->keyBlock(0), factory) << "nothing reaches the mouse before the save";
    cmd("click key_butt_prosave");
    EXPECT_FALSE(save->isEnabled());
    EXPECT_EQ(mouse->keyBlock(0), factoryWith(4, {0x30, 0xCD, 0x00}));
    restartProgram();
    ASSERT_TRUE(synced());
    pick(4);
    EXPECT_EQ(editor()->model().view().page, editors::PageMedia) << "the saved profile holds the key";
    EXPECT_EQ(editor()->model().view().mediaRow, 1);
}

TEST_F(KeyEditor, TheLastLeftButtonCannotBeTakenAway)
{
    startMouse();
    cmd("answer 1");
    pick(0);
    EXPECT_EQ(app::DialogService::instance().lastMessage(), QStringLiteral("message_text_6"));
    EXPECT_NE(wnd->mice()[0]->selectedKey(), 0);
    // With a second left button the first may go.
    pick(3);
    cmd("item keyset_function_combo 1");
    cmd("item keyset_mousekey_combo 0");
    app::DialogService::instance().clear();
    pick(0);
    EXPECT_TRUE(app::DialogService::instance().lastMessage().isEmpty());
    EXPECT_EQ(wnd->mice()[0]->selectedKey(), 0);
}

TEST_F(KeyEditor, AKeyPressedInTheKeyEditIsCaptured)
{
    startMouse();
    auto source = std::make_unique<input::SyntheticInputHook>();
    input::SyntheticInputHook* keys = source.get();
    wnd->setInputHookBackend(std::move(source));
    pick(5);
    cmd("item keyset_function_combo 6");
    cmd("focus keyset_keyboard_text_edit");
    ASSERT_TRUE(keys->grabbed()) << "capturing keeps keys from other programs";
    // Ctrl+C, the way fingers do it: Ctrl let go last.
    keys->key(KEY_LEFTCTRL, true, 0);
    keys->key(KEY_C, true, 40);
    keys->key(KEY_C, false, 90);
    keys->key(KEY_LEFTCTRL, false, 120);
    EXPECT_EQ(editor()->find("keyset_keyboard_text_edit")->text(), ui::Resources::instance().text(QStringLiteral("keyboard_key_C")));
    EXPECT_TRUE(qobject_cast<ui::Option*>(editor()->find("key_ComBox_check_1"))->isSelected()) << "Ctrl";
    cmd("killfocus keyset_keyboard_text_edit");
    EXPECT_FALSE(keys->active()) << "the capture ends with the focus";
    keys->key(KEY_Z, true, 200); // no longer captured
    cmd("click key_butt_prosave");
    EXPECT_EQ(mouse->keyBlock(0), factoryWith(5, {0x20, 0x01, 0x06}));
}

// Reassigned buttons no longer hold their factory actions: after a re-plug and after a restart
// they must still be found, changed and reset.
TEST_F(KeyEditor, ReassignedButtonsStayReachableAfterReplugAndRestart)
{
    startMouse();
    for (int key : {1, 3, 4, 5, 6}) {
        pick(key);
        cmd("item keyset_function_combo 7");
        cmd(QStringLiteral("item keyset_media_combo %1").arg(key));
    }
    cmd("click key_butt_prosave");
    ASSERT_NE(mouse->keyBlock(0), factory);
    ASSERT_TRUE(replugCable());
    cmd("answer 1");
    cmd("click default_btn");
    EXPECT_EQ(mouse->keyBlock(0), factory) << "the factory block after re-plug and default";

    pick(3);
    cmd("item keyset_function_combo 1");
    cmd("item keyset_mousekey_combo 2");
    cmd("click key_butt_prosave");
    restartProgram();
    ASSERT_TRUE(synced());
    pick(3);
    cmd("item keyset_function_combo 4");
    cmd("item keyset_mousedpi_combo 0");
    cmd("click key_butt_prosave");
    EXPECT_EQ(mouse->keyBlock(0), factoryWith(3, {0x13, 0x01, 0x00})) << "the reassigned key changed after a restart";
    cmd("answer 1");
    cmd("click default_btn");
    EXPECT_EQ(mouse->keyBlock(0), factory);
}

TEST_F(KeyEditor, AKeyboardKeyIsReassignedAndResetAfterAReplug)
{
    start("keyboard");
    sim::KeyboardEmulator* board = nullptr;
    for (auto& d : simulation->devices)
        if (auto* k = dynamic_cast<sim::KeyboardEmulator*>(d.get()))
            board = k;
    ASSERT_NE(board, nullptr);
    ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty(); }, 3000));
    ASSERT_EQ(wnd->currentDevice()->kind(), KindKeyboard);
    const Bytes keyboardFactory = board->keyBlock(0);
    // The picture's A and the device key that holds A.
    const auto& codes = keyboard::factoryCodes();
    const int a = int(std::find(codes.begin(), codes.end(), std::array<uint8_t, 3>{0x20, 0, 0x04}) - codes.begin());
    int deviceA = -1;
    for (size_t k = 0; k < board->keys().size(); ++k)
        if (board->keys()[k].action == std::array<uint8_t, 3>{0x20, 0, 0x04})
            deviceA = int(k);
    ASSERT_GE(deviceA, 0);
    cmd("click key_Op_tab");
    cmd(QStringLiteral("click key_%1").arg(a));
    cmd("item keyset_function_combo 7");
    cmd("item keyset_media_combo 7");
    cmd("click key_butt_prosave");
    Bytes want = keyboardFactory;
    want[size_t(3 * deviceA)] = 0x30, want[size_t(3 * deviceA + 1)] = 0xE2, want[size_t(3 * deviceA + 2)] = 0x00;
    EXPECT_EQ(board->keyBlock(0), want);

    CTarvenixUSBDevice* kb = wnd->currentDevice();
    cmd("unplug keyboard");
    ASSERT_TRUE(waitFor([&] { return !kb->commandChannel().isOpen(); }, 3000));
    board->clearReceived();
    cmd("plug keyboard");
    ASSERT_TRUE(waitFor([&] { return !board->receivedCommands(0x05).empty(); }, 3000));
    EXPECT_EQ(kb->deviceKeyIndex().at(a), deviceA) << "the reassigned key is still found";
    cmd("answer 1");
    cmd("click default_btn");
    EXPECT_EQ(board->keyBlock(0), keyboardFactory);
}

} // namespace
} // namespace q9
