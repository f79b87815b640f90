// Key capture as on an X desktop: the program's window on a private X server, a key pressed with
// xdotool while the key edit has the focus reaches the key editor through XInput2, and the mouse
// holds it after the save. Skipped where Xvfb or xdotool is missing.
#include "editors/KeySetEditor.h"
#include "platform/DeviceHook.h"
#include "ui/Edit.h"
#include "ui/Label.h"

#include <QLineEdit>

#include "ShellFixture.h"
#include "support/XServer.h"

namespace q9 {
namespace {

class KeyCaptureOnX11 : public test::Shell {
protected:
    void SetUp() override
    {
        if (!test::g_skipReason.empty())
            GTEST_SKIP() << test::g_skipReason;
    }
};

TEST_F(KeyCaptureOnX11, AKeyPressedOnTheDesktopIsCapturedAndWritten)
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

} // namespace
} // namespace q9

int main(int argc, char** argv) { return q9::test::runOnPrivateXServer(argc, argv); }
