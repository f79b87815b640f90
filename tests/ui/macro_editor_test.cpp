// Macros and guns as a user works them: a macro recorded from live input through the input hook,
// edited, assigned to two buttons and written to the mouse; a macro deleted while keys play it;
// a gun's bullet changed and downloaded.
#include "device/MouseRecords.h"
#include "editors/KeySetEditor.h"
#include "editors/MacroEditor.h"
#include "editors/ShootEditor.h"
#include "platform/DeviceHook.h"
#include "platform/InputHook.h"
#include "profile/JsonFile.h"
#include "ui/Label.h"
#include "ui/List.h"

#include "ShellFixture.h"

#include <QFile>
#include <QTemporaryDir>

#include <linux/input-event-codes.h>

namespace q9 {
namespace {

using Bytes = std::vector<uint8_t>;

class MacroEditor : public test::Shell {
protected:
    void startMouse()
    {
        start("mouse");
        ASSERT_TRUE(synced());
        auto source = std::make_unique<input::SyntheticInputHook>();
        hook = source.get();
        wnd->setInputHookBackend(std::move(source));
        cmd("click macro_Op_tab");
    }
    editors::CMacroControlUI* editor() { return wnd->currentMacroEditor(); }
    void addMacro()
    {
        cmd("answer 1");
        cmd("click macro_btn_name_add");
    }
    std::string rows()
    {
        std::string s;
        for (const editors::MacroEvent& e : editor()->rows().events)
            s += (s.empty() ? "" : " | ") + std::to_string(e.type) + ":" + std::to_string(e.button) + ":" + e.action;
        return s;
    }
    Bytes imageOf(const std::vector<std::vector<editors::MacroEvent>>& macros)
    {
        std::vector<std::vector<std::array<uint8_t, 4>>> sequences;
        for (const auto& m : macros) {
            sequences.emplace_back();
            for (const auto& e : m)
                sequences.back().push_back(encodeMacroEvent(e.toJson()));
        }
        return buildSequenceImage(sequences);
    }
    input::SyntheticInputHook* hook = nullptr;
};

TEST_F(MacroEditor, ARecordedMacroUsedByTwoButtonsReachesTheMouseByteForByte)
{
    startMouse();
    addMacro(); // macro_1: used by no key
    addMacro(); // macro_2: recorded, used by two keys
    ASSERT_EQ(editor()->SelectedMacro(), 1);
    cmd("select macro_check_time 1");
    cmd("text macro_fixed_time_edit 40");
    cmd("click macro_btn_starredio");
    ASSERT_TRUE(editor()->recording());
    ASSERT_TRUE(hook->grabbed()) << "recording keeps the keys from other programs";
    EXPECT_FALSE(wnd->findControl(QStringLiteral("device_select_layout"))->isEnabled()) << "no device switch while recording";
    ui::Control* bar = ui::Window::findSubControlByName(wnd->mice()[0], QStringLiteral("DeviceProfileItem"));
    EXPECT_FALSE(bar->isEnabled()) << "no profile switch while recording";
    hook->key(KEY_LEFTSHIFT, true, 0);
    hook->key(KEY_A, true, 10);
    hook->key(KEY_A, true, 40); // held: repeats
    hook->key(KEY_A, false, 60);
    hook->key(KEY_LEFTSHIFT, false, 70);
    hook->button(input::RButtonDown, 5, 5, 0, 80);
    hook->button(input::RButtonUp, 5, 5, 0, 90);
    const QRect stop = editor()->stopButtonRect();
    ASSERT_FALSE(stop.isEmpty());
    hook->button(input::LButtonDown, stop.center().x(), stop.center().y(), 0, 100);
    cmd("click macro_btn_stopredio");
    hook->button(input::LButtonUp, stop.center().x(), stop.center().y(), 0, 110);
    EXPECT_FALSE(editor()->recording());
    EXPECT_FALSE(hook->active()) << "the hook is removed";
    EXPECT_TRUE(wnd->findControl(QStringLiteral("device_select_layout"))->isEnabled());
    EXPECT_TRUE(bar->isEnabled());
    EXPECT_EQ(rows(), "9:2:down | 10:4:down | 10:4:up | 9:2:up | 1:2:down | 1:2:up") << "the stop click is not recorded";
    // Saved with the fixed delay: the first row's delay is the one after it.
    const std::wstring folder = wnd->mice()[0]->dataFolder();
    const std::string id = editor()->store().list()[1].id;
    const std::vector<editors::MacroEvent> saved = editor()->store().LoadEvents(id);
    ASSERT_EQ(saved.size(), 6u);
    for (const auto& e : saved)
        EXPECT_EQ(e.delay, 40);

    // Buttons 3 and 5 play macro_2; the mouse gets it as its only sequence.
    for (int key : {3, 5}) {
        cmd("click key_Op_tab");
        cmd(QStringLiteral("click key_%1").arg(key));
        cmd("item keyset_function_combo 9");
        cmd("item keyset_macro_combo 1");
        cmd("item keyset_macro_over_combo 0");
    }
    cmd("click key_butt_prosave");
    const Bytes image = imageOf({saved});
    const Bytes memory = mouse->macroMemory();
    ASSERT_GE(memory.size(), image.size());
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + long(image.size())), image);
    const Bytes block = mouse->keyBlock(0);
    EXPECT_EQ(Bytes(block.begin() + 9, block.begin() + 12), (Bytes{0x70, 0x00, 0x00})) << "key 3 plays the device's macro 0";
    EXPECT_EQ(Bytes(block.begin() + 15, block.begin() + 18), (Bytes{0x70, 0x00, 0x00})) << "key 5 too";
}

TEST_F(MacroEditor, EventsAreEditedInTheListAndSaved)
{
    startMouse();
    addMacro();
    cmd("menu left_click");        // empty list: at 0 and 1
    cmd("menu right_down");        // after the selected row 1
    cmd("text mouse_y_up_edit 300"); // a distance keeps its low byte
    cmd("click macro_inset_moveupkey_btn");
    EXPECT_EQ(rows(), "1:1:down | 1:1:up | 1:2:down | 5:44:down");
    cmd("click macro_btn_uptop");
    EXPECT_EQ(rows(), "5:44:down | 1:1:down | 1:1:up | 1:2:down");
    EXPECT_EQ(editor()->rows().selected, 0);
    cmd("click macro_btn_up"); // row 0 cannot move up
    cmd("click macro_btn_downbottom");
    EXPECT_EQ(rows(), "1:1:down | 1:1:up | 1:2:down | 5:44:down");
    // A delay typed into a row is saved; an empty one is saved as 0.
    auto* list = qobject_cast<ui::List*>(editor()->find("macro_action_list"));
    ASSERT_EQ(list->count(), 4);
    ui::Control* delay = ui::Window::findSubControlByName(list->getItemAt(1), QStringLiteral("macro_delay"));
    ui::Control* empty = ui::Window::findSubControlByName(list->getItemAt(2), QStringLiteral("macro_delay"));
    delay->setText(QStringLiteral("1234"));
    empty->setText(QString());
    cmd("click macro_btn_save");
    const auto saved = editor()->store().LoadEvents(editor()->store().list()[0].id);
    ASSERT_EQ(saved.size(), 4u);
    EXPECT_EQ(saved[1].delay, 1234);
    EXPECT_EQ(saved[2].delay, 0);
    cmd("click macro_btn_delete"); // the selected (last) row
    cmd("click macro_btn_cancel");
    EXPECT_EQ(rows(), "1:1:down | 1:1:up | 1:2:down") << "deleting saves at once";
}

TEST_F(MacroEditor, DeletingAMacroThatKeysPlayAsksAndMovesTheKeys)
{
    startMouse();
    addMacro();
    addMacro();
    // Key 3 plays macro_1, key 4 macro_2.
    for (auto [key, macro] : {std::pair{3, 0}, std::pair{4, 1}}) {
        cmd("click key_Op_tab");
        cmd(QStringLiteral("click key_%1").arg(key));
        cmd("item keyset_function_combo 9");
        cmd(QStringLiteral("item keyset_macro_combo %1").arg(macro));
        cmd("item keyset_macro_over_combo 0");
    }
    cmd("click key_butt_prosave");
    cmd("click macro_Op_tab");
    editor()->SelectMacro(0);
    cmd("answer 1"); // delete?
    cmd("answer 0"); // keys play it: declined
    cmd("click macro_btn_name_sub");
    EXPECT_EQ(editor()->store().list().size(), 2u) << "declined: nothing changes";
    EXPECT_EQ(wnd->mice()[0]->keyList()[3].current.type, 0x70);

    cmd("answer 1");
    cmd("answer 1");
    cmd("click macro_btn_name_sub");
    ASSERT_EQ(editor()->store().list().size(), 1u);
    const auto& keys = wnd->mice()[0]->keyList();
    EXPECT_EQ(keys[3].current, keys[3].defaults) << "the key of the deleted macro is back to its factory action";
    EXPECT_EQ(keys[4].current.type, 0x70);
    EXPECT_EQ(keys[4].current.param1, 0) << "macro_2 is macro 0 now";
    EXPECT_EQ(wnd->mice()[0]->keyEditor()->model().view().macroCount, 1) << "the key editor lists the one left";
    const Bytes block = mouse->keyBlock(0);
    EXPECT_EQ(Bytes(block.begin() + 9, block.begin() + 12), (Bytes{0x10, 0x10, 0x00})) << "the mouse has key 3 back";
}

TEST_F(MacroEditor, AFileThatIsNoMacroIsRefusedAndAMacroFileIsImportedAndExported)
{
    startMouse();
    QTemporaryDir outside;
    const QString bad = outside.filePath(QStringLiteral("profile.mac"));
    {
        QFile f(bad);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"({"profilename": "not a macro"})");
    }
    cmd(QStringLiteral("file %1").arg(bad));
    cmd("answer 1");
    cmd("click macro_btn_import");
    EXPECT_EQ(app::DialogService::instance().lastMessage(), QStringLiteral("message_text_macro_import_bad"));
    EXPECT_TRUE(editor()->store().list().empty());

    addMacro();
    cmd("menu middle_click");
    cmd(QStringLiteral("file %1").arg(outside.filePath(QStringLiteral("Burst.mac"))));
    cmd("click macro_btn_export");
    cmd(QStringLiteral("file %1").arg(outside.filePath(QStringLiteral("Burst.mac"))));
    cmd("click macro_btn_import");
    ASSERT_EQ(editor()->store().list().size(), 2u);
    EXPECT_EQ(editor()->store().list()[1].name, L"Burst") << "named after the file";
    EXPECT_EQ(editor()->SelectedMacro(), 1);
    EXPECT_EQ(rows(), "1:4:down | 1:4:up");
    EXPECT_EQ(wnd->mice()[0]->keyEditor()->model().view().macroCount, 2) << "the key editor offers it";
}

TEST_F(MacroEditor, ABulletChangedIsDownloadedWithTheGuns)
{
    startMouse();
    cmd("click key_Op_tab");
    cmd("click key_3");
    cmd("item keyset_function_combo 10");
    cmd("click keyset_gun_edit_btn");
    editors::CShootControlUI* guns = wnd->currentShootEditor();
    ASSERT_NE(guns, nullptr);
    cmd("click shoot_gun_op_2");
    cmd("click bullet_op_3");
    cmd("select bullet_x_check 1");
    cmd("select bullet_y_check 0");
    cmd("text bullet_x_eidt 12");
    cmd("text bullet_y_eidt 40");
    cmd("text bullet_delay_eidt 95");
    cmd("killfocus bullet_delay_eidt");
    const editors::Bullet b = guns->guns().ReadBullet(2, 3);
    EXPECT_TRUE(b.left);
    EXPECT_FALSE(b.up);
    EXPECT_EQ(b.x, 12);
    EXPECT_EQ(b.y, 40);
    EXPECT_EQ(b.delay, 95);
    cmd("click bullet_selected_next");
    EXPECT_EQ(guns->bullet(), 4);
    cmd("click shootdate_save_btn");
    // The shoot memory holds the four guns; gun 2's bullet 3 as the six events of a bullet.
    std::vector<std::vector<std::array<uint8_t, 4>>> sequences;
    for (int g = 0; g < editors::kGuns; ++g) {
        const Json::Value file = ReadJsonFile(guns->guns().gunPath(g));
        sequences.emplace_back();
        for (const Json::Value& e : file["Events"])
            sequences.back().push_back(encodeMacroEvent(e));
    }
    const Bytes image = buildSequenceImage(sequences);
    const Bytes memory = mouse->shootMemory();
    ASSERT_GE(memory.size(), image.size());
    EXPECT_EQ(Bytes(memory.begin(), memory.begin() + long(image.size())), image);
    const auto& bullet = sequences[2];
    ASSERT_GE(bullet.size(), 24u);
    EXPECT_EQ(bullet[18], (std::array<uint8_t, 4>{10, 0, 0x81, 1})) << "left press";
    EXPECT_EQ(bullet[20], (std::array<uint8_t, 4>{5, 0, 0x84, 12})) << "12 to the left";
    EXPECT_EQ(bullet[21], (std::array<uint8_t, 4>{95, 0, 0x05, 40})) << "40 down, then the pause";
    cmd("click shoot_back_btn");
    EXPECT_EQ(wnd->currentMouse()->functionTab(), 2);
}

} // namespace
} // namespace q9
