// The XInput2 source against a real X server: a private Xvfb, keys and buttons played with
// xdotool (XTEST, so they take the server's own input path), another client standing in for the
// program in front, and the test application itself shown on the same server as the program is
// on an X desktop. Skipped where Xvfb or xdotool is missing or the server does not start.
#include "platform/InputHook.h"
#include "platform/XInputHook.h"

#include "support/XServer.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace q9::input {
namespace {

using test::g_display;
using test::g_skipReason;
using test::xdotool;

class XInputHookTest : public testing::Test {
protected:
    void SetUp() override
    {
        if (!g_skipReason.empty())
            GTEST_SKIP() << g_skipReason;
        hook_ = std::make_unique<XInputHook>(g_display);
        ASSERT_TRUE(hook_->usable()) << "Xvfb offers XInput 2.1 or later";
    }

    InputHookBackend::Sink sink()
    {
        return [this](const HookEvent& e) { got_.push_back(e); };
    }
    // Bounded: the events of one xdotool call arrive within milliseconds.
    bool waitForEvents(size_t n)
    {
        return QTest::qWaitFor([&] { return got_.size() >= n; }, 5000);
    }
    void expectKey(size_t i, uint32_t message, uint32_t vk, uint32_t scan, uint32_t flags)
    {
        ASSERT_LT(i, got_.size());
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_TRUE(got_[i].keyboard);
        EXPECT_EQ(got_[i].message, message);
        EXPECT_EQ(got_[i].key.vkCode, vk);
        EXPECT_EQ(got_[i].key.scanCode, scan);
        EXPECT_EQ(got_[i].key.flags, flags);
    }

    std::unique_ptr<XInputHook> hook_;
    std::vector<HookEvent> got_;
};

TEST_F(XInputHookTest, KeysOfTheDesktopArriveAsKeyboardRecords)
{
    ASSERT_TRUE(hook_->start(true, sink()));
    xdotool({"key", "a"});
    ASSERT_TRUE(waitForEvents(2));
    expectKey(0, KeyDown, 0x41, 0x1E, 0);
    expectKey(1, KeyUp, 0x41, 0x1E, KeyReleased);
    EXPECT_LE(got_[0].key.time, got_[1].key.time);
    EXPECT_NE(got_[1].key.time, 0u); // the server's time stamp

    got_.clear();
    xdotool({"key", "Right", "KP_Enter", "Num_Lock", "Num_Lock"});
    ASSERT_TRUE(waitForEvents(8));
    expectKey(0, KeyDown, 0x27, 0x4D, KeyExtended);
    expectKey(1, KeyUp, 0x27, 0x4D, KeyExtended | KeyReleased);
    expectKey(2, KeyDown, 0x101, 0x1C, KeyExtended);
    expectKey(4, KeyDown, 0x90, 0x45, KeyExtended);

    // xdotool releases a modifier it held twice; the server reports both, so only distinct
    // events are compared.
    got_.clear();
    xdotool({"keydown", "ctrl", "key", "Right", "keyup", "ctrl", "keydown", "alt", "key", "Tab", "keyup", "alt", "key", "a"});
    ASSERT_TRUE(waitForEvents(10));
    QTest::qWait(100);
    std::vector<HookEvent> distinct;
    for (const HookEvent& e : got_)
        if (distinct.empty() || distinct.back().message != e.message || distinct.back().key.vkCode != e.key.vkCode)
            distinct.push_back(e);
    got_ = distinct;
    ASSERT_EQ(got_.size(), 10u);
    expectKey(0, KeyDown, 0xA2, 0x1D, 0);
    expectKey(1, KeyDown, 0x27, 0x4D, KeyExtended);
    expectKey(2, KeyUp, 0x27, 0x4D, KeyExtended | KeyReleased);
    expectKey(3, KeyUp, 0xA2, 0x1D, KeyReleased);
    expectKey(4, SysKeyDown, 0xA4, 0x38, 0); // while Alt is held, as Windows reports it
    expectKey(5, SysKeyDown, 0x09, 0x0F, 0);
    expectKey(6, SysKeyUp, 0x09, 0x0F, KeyReleased);
    expectKey(7, KeyUp, 0xA4, 0x38, KeyReleased);
    expectKey(8, KeyDown, 0x41, 0x1E, 0);
}

TEST_F(XInputHookTest, ButtonsArriveWithThePointerPositionAndTheWheelIsLeftOut)
{
    ASSERT_TRUE(hook_->start(false, sink()));
    xdotool({"mousemove", "100", "200", "click", "1"});
    ASSERT_TRUE(waitForEvents(2));
    EXPECT_FALSE(got_[0].keyboard);
    EXPECT_EQ(got_[0].message, uint32_t(LButtonDown));
    EXPECT_EQ(got_[0].mouse.x, 100);
    EXPECT_EQ(got_[0].mouse.y, 200);
    EXPECT_EQ(got_[1].message, uint32_t(LButtonUp));

    const struct {
        const char* button;
        uint32_t down, up, data;
    } cases[] = {
        {"2", MButtonDown, MButtonUp, 0},
        {"3", RButtonDown, RButtonUp, 0},
        {"8", XButtonDown, XButtonUp, XButtonBack << 16},
        {"9", XButtonDown, XButtonUp, XButtonForward << 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        got_.clear();
        // A wheel step first: it must give nothing.
        xdotool({"mousemove", "300", "40", "click", "4", "click", c.button});
        ASSERT_TRUE(waitForEvents(2));
        EXPECT_EQ(got_[0].message, c.down);
        EXPECT_EQ(got_[0].mouse.mouseData, c.data);
        EXPECT_EQ(got_[0].mouse.x, 300);
        EXPECT_EQ(got_[0].mouse.y, 40);
        EXPECT_EQ(got_[1].message, c.up);
        EXPECT_EQ(got_[1].mouse.mouseData, c.data);
    }
}

TEST_F(XInputHookTest, StopEndsDeliveryAndAStartBeginsAgain)
{
    ASSERT_TRUE(hook_->start(false, sink()));
    xdotool({"key", "a"});
    ASSERT_TRUE(waitForEvents(2));
    hook_->stop();
    EXPECT_FALSE(hook_->active());
    xdotool({"key", "b", "click", "1"});
    QTest::qWait(300);
    EXPECT_EQ(got_.size(), 2u);

    got_.clear();
    ASSERT_TRUE(hook_->start(false, sink()));
    xdotool({"key", "c"});
    ASSERT_TRUE(waitForEvents(2));
    expectKey(0, KeyDown, 0x43, 0x2E, 0); // only c: nothing of the stopped time came late
    EXPECT_EQ(got_.size(), 2u);
}

// Another client with a focused window of its own: the program a user types into.
class OtherClient {
public:
    explicit OtherClient(const std::string& display)
    {
        display_ = XOpenDisplay(display.c_str());
        if (!display_)
            return;
        window_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 200, 100, 0, 0, 0);
        XSelectInput(display_, window_, KeyPressMask | StructureNotifyMask);
        XMapWindow(display_, window_);
        XEvent e;
        do
            XWindowEvent(display_, window_, StructureNotifyMask, &e);
        while (e.type != MapNotify);
        XSetInputFocus(display_, window_, RevertToPointerRoot, CurrentTime);
        XSync(display_, False);
    }
    ~OtherClient()
    {
        if (display_)
            XCloseDisplay(display_);
    }
    bool ok() const { return display_ != nullptr; }
    Display* display() const { return display_; }

    // Key presses the window got, after the server handled everything sent so far.
    int takeKeyPresses()
    {
        XSync(display_, False);
        int n = 0;
        XEvent e;
        while (XCheckTypedWindowEvent(display_, window_, KeyPress, &e))
            ++n;
        return n;
    }
    bool capsLocked()
    {
        XkbStateRec state{};
        XkbGetState(display_, XkbUseCoreKbd, &state);
        return state.locked_mods & LockMask;
    }

private:
    Display* display_ = nullptr;
    Window window_ = 0;
};

TEST_F(XInputHookTest, TheGrabKeepsKeysFromOtherProgramsButLockKeysStillToggle)
{
    OtherClient other(g_display);
    ASSERT_TRUE(other.ok());
    xdotool({"key", "a"});
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.takeKeyPresses() > 0; }, 5000)); // it has the focus

    ASSERT_TRUE(hook_->start(true, sink()));
    EXPECT_TRUE(hook_->grabbed());
    const bool capsBefore = other.capsLocked();
    xdotool({"key", "b", "Caps_Lock"});
    ASSERT_TRUE(waitForEvents(4));
    expectKey(2, KeyDown, 0x14, 0x3A, 0);
    EXPECT_EQ(other.takeKeyPresses(), 0);
    EXPECT_NE(other.capsLocked(), capsBefore);
    xdotool({"key", "Caps_Lock"});
    ASSERT_TRUE(waitForEvents(6));
    EXPECT_EQ(other.capsLocked(), capsBefore);

    hook_->stop();
    EXPECT_FALSE(hook_->grabbed());
    xdotool({"key", "c"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.takeKeyPresses() > 0; }, 5000));
}

TEST_F(XInputHookTest, AGrabHeldElsewhereStillLetsEventsThrough)
{
    OtherClient other(g_display);
    ASSERT_TRUE(other.ok());
    ASSERT_EQ(XGrabKeyboard(other.display(), DefaultRootWindow(other.display()), False, GrabModeAsync, GrabModeAsync,
                            CurrentTime),
              GrabSuccess);
    XSync(other.display(), False);

    ASSERT_TRUE(hook_->start(true, sink()));
    EXPECT_FALSE(hook_->grabbed());
    xdotool({"key", "a"});
    ASSERT_TRUE(waitForEvents(2));
    expectKey(0, KeyDown, 0x41, 0x1E, 0);
    XUngrabKeyboard(other.display(), CurrentTime);
    XSync(other.display(), False);
}

TEST_F(XInputHookTest, TheProgramsWindowKeepsItsFocusWhileKeysAreGrabbed)
{
    // Key capture starts when an edit of the program gains the focus and ends when it loses it:
    // the grab must not take the focus away, or capture would end as soon as it began.
    QLineEdit edit;
    edit.show();
    edit.activateWindow();
    edit.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&edit));
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit.hasFocus(); }, 5000));

    ASSERT_TRUE(hook_->start(true, sink()));
    EXPECT_TRUE(hook_->grabbed());
    xdotool({"key", "a"});
    ASSERT_TRUE(waitForEvents(2));
    QTest::qWait(1000); // Qt gives up a window whose focus went away after a moment
    EXPECT_TRUE(edit.isActiveWindow());
    EXPECT_TRUE(edit.hasFocus());
    EXPECT_EQ(edit.text(), QString()); // the key did not reach the edit

    hook_->stop();
    xdotool({"key", "b"});
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit.text() == "b"; }, 5000));
}

TEST(XInputHookChoice, OnX11TheDesktopSourceIsChosenUnlessAnotherIsForced)
{
    if (!g_skipReason.empty())
        GTEST_SKIP() << g_skipReason;
    ASSERT_EQ(QGuiApplication::platformName(), QString("xcb"));
    EXPECT_STREQ(createInputHookBackend()->name(), "xinput2");
    qputenv("Q9ZEN_INPUT_HOOK", "window");
    EXPECT_STREQ(createInputHookBackend()->name(), "window");
    qunsetenv("Q9ZEN_INPUT_HOOK");
}

} // namespace
} // namespace q9::input

int main(int argc, char** argv) { return q9::test::runOnPrivateXServer(argc, argv); }
