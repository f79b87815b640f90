// Desktop input as on an X desktop: the program's window on a private X server, keys and clicks
// played with xdotool reach the key editor (a key pressed while the key edit has the focus) and
// the macro recorder through XInput2. Skipped where Xvfb or xdotool is missing.
#include "editors/KeySetEditor.h"
#include "editors/MacroEditor.h"
#include "platform/DeviceHook.h"
#include "ui/Edit.h"
#include "ui/Label.h"

#include <QLineEdit>

#include "ShellFixture.h"
#include "support/XServer.h"

namespace q9 {
namespace {

class DesktopInput : public test::Shell {
protected:
    void SetUp() override
    {
        if (!test::g_skipReason.empty())
            GTEST_SKIP() << test::g_skipReason;
    }
};

TEST_F(DesktopInput, AKeyPressedOnTheDesktopIsCapturedAndWritten)
{
    start("mouse");
    ASSERT_TRUE(synced());
    const std::vector<uint8_t> factory = mouse->keyBlock(0);
    wnd->activateWindow();
    ASSERT_TRUE(waitFor([&] { return wnd->isActiveWindow(); }, 3000)) << "the window is in front";
    cmd("click key_Op_tab");
    cmd("click key_4");
    cmd("item keyset_function_combo 6");
    auto* edit = qobject_cast<ui::Edit*>(wnd->mice()[0]->keyEditor()->find("keyset_keyboard_text_edit"));
    ASSERT_NE(edit, nullptr);
    edit->lineEdit()->setFocus(Qt::MouseFocusReason); // as a click into the edit does
    ASSERT_TRUE(waitFor([&] { return wnd->deviceHook().installed(); }, 2000)) << "the focus starts the capture";
    EXPECT_STREQ(wnd->deviceHook().backendName(), "xinput2");

    test::xdotool({"key", "shift+F5"});
    const QString f5 = ui::Resources::instance().text(QStringLiteral("keyboard_key_F5"));
    ASSERT_TRUE(waitFor([&] { return edit->text() == f5; }, 3000)) << edit->text().toStdString();
    EXPECT_TRUE(qobject_cast<ui::Option*>(wnd->mice()[0]->keyEditor()->find("key_ComBox_check_2"))->isSelected()) << "Shift";

    cmd("click key_butt_prosave");
    std::vector<uint8_t> want = factory;
    want[12] = 0x20, want[13] = 0x02, want[14] = 0x3E; // device key 4: Shift + F5
    EXPECT_EQ(mouse->keyBlock(0), want);
}

TEST_F(DesktopInput, KeysAndClicksOfTheDesktopAreRecordedWithTheirDelays)
{
    start("mouse");
    ASSERT_TRUE(synced());
    wnd->activateWindow();
    ASSERT_TRUE(waitFor([&] { return wnd->isActiveWindow(); }, 3000));
    cmd("click macro_Op_tab");
    cmd("answer 1");
    cmd("click macro_btn_name_add");
    editors::CMacroControlUI* ed = wnd->currentMacroEditor();
    ASSERT_NE(ed, nullptr);
    cmd("click macro_btn_starredio");
    ASSERT_TRUE(ed->recording());
    test::xdotool({"keydown", "a", "sleep", "0.15", "keyup", "a", "sleep", "0.15", "keydown", "b", "sleep", "0.15", "keyup", "b", "sleep", "0.15"});
    test::xdotool({"click", "3"});
    ASSERT_TRUE(waitFor([&] { return ed->rows().events.size() >= 6; }, 3000)) << ed->rows().events.size();
    // The user clicks the stop button: that click ends the recording and is not recorded.
    const QRect stop = ed->stopButtonRect();
    ASSERT_FALSE(stop.isEmpty());
    test::xdotool({"mousemove", QString::number(stop.center().x()), QString::number(stop.center().y()), "click", "1"});
    ASSERT_TRUE(waitFor([&] { return !ed->recording(); }, 3000)) << "the click on the stop button stops the recording";
    std::string got;
    for (const editors::MacroEvent& e : ed->rows().events)
        got += (got.empty() ? "" : " | ") + std::to_string(e.type) + ":" + std::to_string(e.button) + ":" + e.action;
    EXPECT_EQ(got, "10:4:down | 10:4:up | 10:5:down | 10:5:up | 1:2:down | 1:2:up");
    // 150 ms between the key events as played; the server's time stamps keep them even though
    // this test's window was not running while xdotool played them.
    const auto& events = ed->rows().events;
    for (size_t i = 0; i < 4 && i < events.size(); ++i) {
        EXPECT_GE(events[i].delay, 140) << i;
        EXPECT_LE(events[i].delay, 1000) << i;
    }
    const auto saved = ed->store().LoadEvents(ed->store().list()[0].id);
    ASSERT_EQ(saved.size(), events.size()) << "the recording is saved when it stops";
    EXPECT_EQ(saved[0].delay, events[0].delay);
}

} // namespace
} // namespace q9

int main(int argc, char** argv) { return q9::test::runOnPrivateXServer(argc, argv); }
