// The input hook layer without a desktop: key translation against the program's key code table,
// the hook object's messages per mode (synthetic source), and the window source on Qt's
// offscreen platform.
#include "platform/DeviceHook.h"
#include "platform/InputHook.h"
#include "platform/KeyTranslation.h"
#include "platform/Messages.h"
#include "platform/WindowInputHook.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QShortcut>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace q9::input {
namespace {

// ---- Translation: the capture rows of the key code table ------------------------------------

struct TableRow {
    const char* name; // the row's name id without "keyboard_key_", and its row number
    uint32_t evdev;   // linux/input-event-codes.h
    uint32_t vk, scan;
    bool extended;
};

// VK, scan and extended flag copied from the key code table's rows (rows 0-112 are what capture
// matches); one or more rows of every group.
const TableRow kRows[] = {
    {"LCtrl 0", 29, 0xA2, 0x1D, false},
    {"LShift 1", 42, 0xA0, 0x2A, false},
    {"LAlt 2", 56, 0xA4, 0x38, false},
    {"LWin 3", 125, 0x5B, 0x5B, true},
    {"RCtrl 4", 97, 0xA3, 0x1D, true},
    {"RShift 5", 54, 0xA1, 0x36, true},
    {"RAlt 6", 100, 0xA5, 0x38, true},
    {"RWin 7", 126, 0x5C, 0x5C, true},
    {"A 8", 30, 0x41, 0x1E, false},
    {"Q 24", 16, 0x51, 0x10, false},
    {"Z 33", 44, 0x5A, 0x2C, false},
    {"1 34", 2, 0x31, 0x02, false},
    {"0 43", 11, 0x30, 0x0B, false},
    {"Enter 44", 28, 0x0D, 0x1C, false},
    {"Esc 45", 1, 0x1B, 0x01, false},
    {"BackSpace 46", 14, 0x08, 0x0E, false},
    {"Tab 47", 15, 0x09, 0x0F, false},
    {"Space 48", 57, 0x20, 0x39, false},
    {"- 49", 12, 0xBD, 0x0C, false},
    {"xiegang 53", 43, 0xDC, 0x2B, false},
    {"< 57", 51, 0xBC, 0x33, false},
    {"` 56", 41, 0xC0, 0x29, false},
    {"/ 59", 53, 0xBF, 0x35, false},
    {"Caplk 60", 58, 0x14, 0x3A, false},
    {"F1 61", 59, 0x70, 0x3B, false},
    {"F10 70", 68, 0x79, 0x44, false},
    {"F11 71", 87, 0x7A, 0x57, false},
    {"F12 72", 88, 0x7B, 0x58, false},
    {"Print Scr 73", 99, 0x2C, 0x37, true},
    {"Scroll Lock 74", 70, 0x91, 0x46, false},
    {"Pause 75", 119, 0x13, 0x45, false},
    {"Insert 76", 110, 0x2D, 0x52, true},
    {"Home 77", 102, 0x24, 0x47, true},
    {"Page Up 78", 104, 0x21, 0x49, true},
    {"Delete 79", 111, 0x2E, 0x53, true},
    {"End 80", 107, 0x23, 0x4F, true},
    {"Page Down 81", 109, 0x22, 0x51, true},
    {"Right 82", 106, 0x27, 0x4D, true},
    {"Left 83", 105, 0x25, 0x4B, true},
    {"Down 84", 108, 0x28, 0x50, true},
    {"Up 85", 103, 0x26, 0x48, true},
    {"Num Lock 86", 69, 0x90, 0x45, true},
    {"Num / 87", 98, 0x6F, 0x35, true},
    {"Num * 88", 55, 0x6A, 0x37, false},
    {"Num - 89", 74, 0x6D, 0x4A, false},
    {"Num + 90", 78, 0x6B, 0x4E, false},
    {"Num Enter 91", 96, 0x101, 0x1C, true},
    {"Num 1 92", 79, 0x61, 0x4F, false},
    {"Num 9 100", 73, 0x69, 0x49, false},
    {"Num 0 101", 82, 0x60, 0x52, false},
    {"Decimal 102", 83, 0x6E, 0x53, false},
    {"App 103", 127, 0x5D, 0x5D, true},
    {"K45 104", 86, 0xE2, 0x56, false},
    {"K56 105", 89, 0xC1, 0x73, false},
    {"K14 106", 124, 0xFF, 0x7D, false},
    {"K107 107", 121, 0xC2, 0x7E, false},
    {"K131 108", 94, 0xEB, 0x7B, false},
    {"K132 109", 92, 0xFF, 0x79, false},
    {"K133 110", 93, 0xFF, 0x70, false},
    {"K150 111", 123, 0xE9, 0x71, false},
    {"K151 112", 122, 0xFF, 0x72, false},
};

TEST(KeyTranslation, LinuxKeysGiveTheCodesOfTheirKeyCodeTableRows)
{
    for (const TableRow& row : kRows) {
        SCOPED_TRACE(row.name);
        const std::optional<KeyCodes> codes = keyFromEvdev(row.evdev);
        ASSERT_TRUE(codes.has_value());
        EXPECT_EQ(codes->vk, row.vk);
        EXPECT_EQ(codes->scan, row.scan);
        EXPECT_EQ(codes->extended, row.extended);
    }
}

TEST(KeyTranslation, EveryMappedKeyHasItsOwnScanCodeAndUnknownKeysNone)
{
    // Capture looks keys up by scan code and extended flag: two keys on one pair would be one key.
    std::map<std::pair<uint32_t, bool>, uint32_t> owner;
    for (uint32_t evdev = 0; evdev < 1024; ++evdev) {
        const std::optional<KeyCodes> codes = keyFromEvdev(evdev);
        if (!codes)
            continue;
        const auto [it, inserted] = owner.emplace(std::make_pair(codes->scan, codes->extended), evdev);
        EXPECT_TRUE(inserted) << "evdev " << evdev << " and " << it->second << " share scan 0x" << std::hex << codes->scan;
    }
    EXPECT_GE(owner.size(), 113u); // every capture row has a key
    for (uint32_t unknown : {0u, 84u, 240u, 255u, 256u, 0x2FFu, 0xFFFFFFFFu})
        EXPECT_FALSE(keyFromEvdev(unknown).has_value()) << unknown;
}

// ---- Keyboard events as the hook reports them ---------------------------------------------------

struct Delivered {
    std::vector<HookEvent> events;
    InputHookBackend::Sink sink()
    {
        return [this](const HookEvent& e) { events.push_back(e); };
    }
};

TEST(SyntheticHook, KeyRecordsCarryDirectionExtendedFlagAndTime)
{
    SyntheticInputHook hook;
    Delivered got;
    hook.key(30, true, 5); // not started: nothing
    ASSERT_TRUE(hook.start(false, got.sink()));
    hook.key(106, true, 100); // Right arrow
    hook.key(106, false, 150);
    hook.key(240, true, 160); // KEY_UNKNOWN: no codes, nothing delivered
    ASSERT_EQ(got.events.size(), 2u);
    const HookEvent& down = got.events[0];
    EXPECT_TRUE(down.keyboard);
    EXPECT_EQ(down.message, uint32_t(KeyDown));
    EXPECT_EQ(down.key.vkCode, 0x27u);
    EXPECT_EQ(down.key.scanCode, 0x4Du);
    EXPECT_EQ(down.key.flags, uint32_t(KeyExtended));
    EXPECT_EQ(down.key.time, 100u);
    const HookEvent& up = got.events[1];
    EXPECT_EQ(up.message, uint32_t(KeyUp));
    EXPECT_EQ(up.key.flags, uint32_t(KeyExtended | KeyReleased));
    EXPECT_EQ(up.key.time, 150u);

    hook.stop();
    hook.key(30, true, 200);
    EXPECT_EQ(got.events.size(), 2u);
}

TEST(SyntheticHook, KeysWhileAltIsHeldAreSystemKeys)
{
    SyntheticInputHook hook;
    Delivered got;
    ASSERT_TRUE(hook.start(false, got.sink()));
    const struct {
        uint32_t evdev;
        bool down;
        uint32_t message;
    } steps[] = {
        {56, true, SysKeyDown},   // left Alt itself
        {15, true, SysKeyDown},   // Tab with Alt
        {15, false, SysKeyUp},
        {100, true, SysKeyDown},  // right Alt too
        {56, false, SysKeyUp},    // left Alt released while right Alt is held
        {100, false, KeyUp},      // the last Alt's release is a plain key up
        {30, true, KeyDown},      // no Alt any more
        {30, false, KeyUp},
    };
    for (const auto& s : steps)
        hook.key(s.evdev, s.down, 0);
    ASSERT_EQ(got.events.size(), std::size(steps));
    for (size_t i = 0; i < std::size(steps); ++i)
        EXPECT_EQ(got.events[i].message, steps[i].message) << "step " << i;

    // A restart forgets an Alt whose release it never saw.
    hook.key(56, true, 0);
    ASSERT_TRUE(hook.start(false, got.sink()));
    hook.key(30, true, 0);
    EXPECT_EQ(got.events.back().message, uint32_t(KeyDown));
}

// ---- The hook object ------------------------------------------------------------------------------

// Copies the record while the send lasts: lParam is valid only then.
struct Recorder : MessageTarget {
    struct Got {
        uint32_t msg;
        uint64_t wParam;
        KeyRecord key;
        MouseRecord mouse;
    };
    std::vector<Got> got;
    std::set<uint32_t> mouseMessages; // ids whose lParam is a mouse record
    std::function<void()> onMessage;

    intptr_t handleMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData*) override
    {
        Got g{msg, wParam, {}, {}};
        if (mouseMessages.count(msg))
            g.mouse = *reinterpret_cast<const MouseRecord*>(lParam);
        else
            g.key = *reinterpret_cast<const KeyRecord*>(lParam);
        got.push_back(g);
        if (onMessage)
            onMessage();
        return 0;
    }
};

class DeviceHookTest : public testing::Test {
protected:
    DeviceHookTest()
    {
        auto backend = std::make_unique<SyntheticInputHook>();
        source_ = backend.get();
        hook_ = std::make_unique<CDeviceHook>(std::move(backend));
        for (const char* name : {"WM_HOOK_KEY_MSMACRO_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG",
                                 "WM_HOOK_KEY_MSMACROSINGLE_MSG"})
            window_.mouseMessages.insert(registerWindowMessage(name));
    }
    // A press and release of A, then a back-button press.
    void play()
    {
        source_->key(30, true, 1000);
        source_->key(30, false, 1040);
        source_->button(XButtonDown, 320, 240, XButtonBack << 16, 1100);
    }

    Recorder window_;
    SyntheticInputHook* source_ = nullptr;
    std::unique_ptr<CDeviceHook> hook_;
};

TEST_F(DeviceHookTest, EachModeSendsItsMessagesWithTheRecords)
{
    const struct {
        int mode;
        const char* keyMessage;   // nullptr: none
        const char* mouseMessage; // nullptr: none
    } modes[] = {
        {1, "WM_HOOK_KEY_SINGLEKEY_MSG", nullptr},
        {2, "WM_HOOK_KEY_HITKEY_MSG", nullptr},
        {4, "WM_HOOK_KEY_KBMACRO_MSG", "WM_HOOK_KEY_MSMACRO_MSG"},
        {8, "WM_HOOK_KEY_KBMACROPREVIOUS_MSG", "WM_HOOK_KEY_MSMACROPREVIOUS_MSG"},
        {16, "WM_HOOK_KEY_KBMACROLATER_MSG", "WM_HOOK_KEY_MSMACROLATER_MSG"},
        {32, "WM_HOOK_KEY_KBMACROSINGLE_MSG", "WM_HOOK_KEY_MSMACROSINGLE_MSG"},
        {256, "WM_HOOK_MOU_SINGLEKEY_MSG", nullptr},
        {512, "WM_HOOK_MOU_HITKEY_MSG", nullptr},
        {1024, "WM_HOOK_MOU_KBMACRO_MSG", nullptr},
        {0, nullptr, nullptr},
        {3, nullptr, nullptr},
        {64, nullptr, nullptr},
        {2048, nullptr, nullptr},
    };
    for (const auto& m : modes) {
        SCOPED_TRACE("mode " + std::to_string(m.mode));
        window_.got.clear();
        ASSERT_TRUE(hook_->Install(0, m.mode, &window_, true, true));
        EXPECT_TRUE(hook_->installed());
        EXPECT_EQ(hook_->mode(), m.mode);
        EXPECT_TRUE(source_->grabbed()); // keys are held back even where the mode sends nothing
        play();

        size_t next = 0;
        if (m.keyMessage) {
            const uint32_t id = registerWindowMessage(m.keyMessage);
            ASSERT_GE(window_.got.size(), 2u);
            const auto& down = window_.got[0];
            EXPECT_EQ(down.msg, id);
            EXPECT_EQ(down.wParam, uint64_t(KeyDown));
            EXPECT_EQ(down.key.vkCode, 0x41u);
            EXPECT_EQ(down.key.scanCode, 0x1Eu);
            EXPECT_EQ(down.key.flags, 0u);
            EXPECT_EQ(down.key.time, 1000u);
            const auto& up = window_.got[1];
            EXPECT_EQ(up.msg, id);
            EXPECT_EQ(up.wParam, uint64_t(KeyUp));
            EXPECT_EQ(up.key.flags, uint32_t(KeyReleased));
            EXPECT_EQ(up.key.time, 1040u);
            next = 2;
        }
        if (m.mouseMessage) {
            ASSERT_EQ(window_.got.size(), next + 1);
            const auto& click = window_.got[next];
            EXPECT_EQ(click.msg, registerWindowMessage(m.mouseMessage));
            EXPECT_EQ(click.wParam, uint64_t(XButtonDown));
            EXPECT_EQ(click.mouse.x, 320);
            EXPECT_EQ(click.mouse.y, 240);
            EXPECT_EQ(click.mouse.mouseData >> 16, uint32_t(XButtonBack));
            EXPECT_EQ(click.mouse.time, 1100u);
            ++next;
        }
        EXPECT_EQ(window_.got.size(), next);
    }
}

TEST_F(DeviceHookTest, MouseEventsNeedTheLibraryHookAndKeysTheOwnHook)
{
    ASSERT_TRUE(hook_->Install(0, 4, &window_, true, false));
    play();
    ASSERT_EQ(window_.got.size(), 2u); // the two key messages, no mouse message
    EXPECT_EQ(window_.got[0].msg, registerWindowMessage("WM_HOOK_KEY_KBMACRO_MSG"));

    window_.got.clear();
    ASSERT_TRUE(hook_->Install(0, 4, &window_, false, true));
    EXPECT_FALSE(source_->grabbed()); // without its own hook the keyboard stays free
    play();
    ASSERT_EQ(window_.got.size(), 1u);
    EXPECT_EQ(window_.got[0].msg, registerWindowMessage("WM_HOOK_KEY_MSMACRO_MSG"));
}

TEST_F(DeviceHookTest, UninstallAndReinstallEndTheEarlierDelivery)
{
    ASSERT_TRUE(hook_->Install(0, 1, &window_, true, true));
    ASSERT_TRUE(hook_->Install(7, 8, &window_, true, true)); // replaces mode 1
    EXPECT_EQ(hook_->mode(), 8);
    play();
    ASSERT_EQ(window_.got.size(), 3u);
    for (const auto& g : window_.got)
        EXPECT_NE(g.msg, registerWindowMessage("WM_HOOK_KEY_SINGLEKEY_MSG"));

    window_.got.clear();
    hook_->Uninstall();
    EXPECT_FALSE(hook_->installed());
    EXPECT_FALSE(source_->active());
    EXPECT_FALSE(source_->grabbed());
    play();
    EXPECT_TRUE(window_.got.empty());
}

TEST_F(DeviceHookTest, AHandlerMayUninstallOrReinstallWhileItRuns)
{
    // Key capture ends from inside a message (focus moves away): the next events go nowhere.
    ASSERT_TRUE(hook_->Install(0, 1, &window_, true, true));
    window_.onMessage = [&] { hook_->Uninstall(); };
    play();
    EXPECT_EQ(window_.got.size(), 1u);

    // A handler that switches the mode: the rest arrives as the new mode's messages.
    window_.got.clear();
    ASSERT_TRUE(hook_->Install(0, 1, &window_, true, true));
    window_.onMessage = [&] {
        window_.onMessage = nullptr;
        ASSERT_TRUE(hook_->Install(0, 16, &window_, true, true));
    };
    play();
    ASSERT_EQ(window_.got.size(), 3u);
    EXPECT_EQ(window_.got[0].msg, registerWindowMessage("WM_HOOK_KEY_SINGLEKEY_MSG"));
    EXPECT_EQ(window_.got[1].msg, registerWindowMessage("WM_HOOK_KEY_KBMACROLATER_MSG"));
    EXPECT_EQ(window_.got[2].msg, registerWindowMessage("WM_HOOK_KEY_MSMACROLATER_MSG"));
}

TEST_F(DeviceHookTest, ASourceThatCannotStartFailsTheKeyboardInstall)
{
    ASSERT_TRUE(hook_->Install(0, 4, &window_, true, true));
    source_->failNextStart();
    EXPECT_FALSE(hook_->Install(0, 1, &window_, true, true));
    EXPECT_FALSE(hook_->installed());
    EXPECT_FALSE(source_->active()); // the earlier installation is gone too
    play();
    EXPECT_TRUE(window_.got.empty());

    // Mouse events alone: the install stands (nothing arrives).
    source_->failNextStart();
    EXPECT_TRUE(hook_->Install(0, 4, &window_, false, true));
    play();
    EXPECT_TRUE(window_.got.empty());
}

TEST(DeviceHook, DestroyingTheHookStopsItsSource)
{
    bool stopped = false;
    // The backend is owned by the hook; watch it through a source that reports its own stop.
    class Reporting final : public InputHookBackend {
    public:
        explicit Reporting(bool* s) : stopped_(s) {}
        const char* name() const override { return "reporting"; }
        bool start(bool, Sink) override { return active_ = true; }
        void stop() override
        {
            if (active_)
                *stopped_ = true;
            active_ = false;
        }
        bool active() const override { return active_; }

    private:
        bool* stopped_;
        bool active_ = false;
    };
    Recorder window;
    {
        CDeviceHook hook(std::make_unique<Reporting>(&stopped));
        ASSERT_TRUE(hook.Install(0, 1, &window, true, true));
        EXPECT_STREQ(hook.backendName(), "reporting");
    }
    EXPECT_TRUE(stopped);
}

// ---- The window source (offscreen platform) -------------------------------------------------------

class KeyWindow : public QWindow {
public:
    int keys = 0;
    int clicks = 0;

protected:
    void keyPressEvent(QKeyEvent*) override { ++keys; }
    void keyReleaseEvent(QKeyEvent*) override { ++keys; }
    void mousePressEvent(QMouseEvent*) override { ++clicks; }
    void mouseReleaseEvent(QMouseEvent*) override { ++clicks; }
};

class WindowHookTest : public testing::Test {
protected:
    void SetUp() override
    {
        window_.setGeometry(100, 100, 200, 150);
        window_.show();
        window_.requestActivate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    }
    // A key as the xcb and Wayland platforms report it: nativeScanCode is the X keycode.
    void sendKey(QEvent::Type type, int qtKey, uint32_t evdev, QObject* to = nullptr)
    {
        QKeyEvent e(type, qtKey, Qt::NoModifier, evdev + 8, 0, 0);
        QCoreApplication::sendEvent(to ? to : &window_, &e);
    }
    void sendButton(QEvent::Type type, Qt::MouseButton button)
    {
        const QPointF local(10, 20);
        QMouseEvent e(type, local, window_.mapToGlobal(local), button, type == QEvent::MouseButtonPress ? button : Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(&window_, &e);
    }

    KeyWindow window_;
    WindowInputHook hook_;
    Delivered got_;
};

TEST_F(WindowHookTest, WhileGrabbingKeysAreHeldBackButLockKeysAndButtonsPassOn)
{
    ASSERT_TRUE(hook_.start(true, got_.sink()));
    sendKey(QEvent::KeyPress, Qt::Key_A, 30);
    sendKey(QEvent::KeyRelease, Qt::Key_A, 30);
    EXPECT_EQ(window_.keys, 0);
    sendKey(QEvent::KeyPress, Qt::Key_NumLock, 69);
    sendKey(QEvent::KeyRelease, Qt::Key_NumLock, 69);
    EXPECT_EQ(window_.keys, 2);
    sendButton(QEvent::MouseButtonPress, Qt::BackButton);
    sendButton(QEvent::MouseButtonRelease, Qt::BackButton);
    EXPECT_EQ(window_.clicks, 2);

    ASSERT_EQ(got_.events.size(), 6u);
    EXPECT_EQ(got_.events[0].message, uint32_t(KeyDown));
    EXPECT_EQ(got_.events[0].key.scanCode, 0x1Eu);
    EXPECT_EQ(got_.events[1].message, uint32_t(KeyUp));
    EXPECT_EQ(got_.events[2].key.vkCode, 0x90u);
    EXPECT_EQ(got_.events[2].key.flags, uint32_t(KeyExtended));
    const HookEvent& back = got_.events[4];
    EXPECT_FALSE(back.keyboard);
    EXPECT_EQ(back.message, uint32_t(XButtonDown));
    EXPECT_EQ(back.mouse.mouseData, uint32_t(XButtonBack) << 16);
    const QPoint global = window_.mapToGlobal(QPoint(10, 20));
    EXPECT_EQ(back.mouse.x, global.x());
    EXPECT_EQ(back.mouse.y, global.y());
    EXPECT_EQ(got_.events[5].message, uint32_t(XButtonUp));
}

TEST_F(WindowHookTest, ButtonsMapToTheirMessages)
{
    ASSERT_TRUE(hook_.start(false, got_.sink()));
    const struct {
        Qt::MouseButton button;
        uint32_t down, up, data;
    } cases[] = {
        {Qt::LeftButton, LButtonDown, LButtonUp, 0},
        {Qt::RightButton, RButtonDown, RButtonUp, 0},
        {Qt::MiddleButton, MButtonDown, MButtonUp, 0},
        {Qt::BackButton, XButtonDown, XButtonUp, XButtonBack << 16},
        {Qt::ForwardButton, XButtonDown, XButtonUp, XButtonForward << 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.button));
        got_.events.clear();
        sendButton(QEvent::MouseButtonPress, c.button);
        sendButton(QEvent::MouseButtonRelease, c.button);
        ASSERT_EQ(got_.events.size(), 2u);
        EXPECT_EQ(got_.events[0].message, c.down);
        EXPECT_EQ(got_.events[1].message, c.up);
        EXPECT_EQ(got_.events[0].mouse.mouseData, c.data);
    }
}

TEST_F(WindowHookTest, WithoutGrabKeysReachTheWindowAndAreSeenOnce)
{
    ASSERT_TRUE(hook_.start(false, got_.sink()));
    sendKey(QEvent::KeyPress, Qt::Key_A, 30);
    EXPECT_EQ(window_.keys, 1);
    // The same event handed on to an object inside the window (as a widget gets it) is not
    // reported again.
    QObject inner;
    sendKey(QEvent::KeyPress, Qt::Key_A, 30, &inner);
    EXPECT_EQ(got_.events.size(), 1u);

    hook_.stop();
    sendKey(QEvent::KeyRelease, Qt::Key_A, 30);
    EXPECT_EQ(window_.keys, 2);
    EXPECT_EQ(got_.events.size(), 1u);
}

TEST_F(WindowHookTest, WhileGrabbingAShortcutDoesNotTakeItsKey)
{
    int fired = 0;
    QShortcut shortcut(QKeySequence(Qt::CTRL | Qt::Key_S), &window_);
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++fired; });
    QTest::keyClick(&window_, Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(fired, 1); // the shortcut works at all

    window_.keys = 0;
    ASSERT_TRUE(hook_.start(true, got_.sink()));
    QTest::keyClick(&window_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(window_.keys, 0);
    hook_.stop();
    QTest::keyClick(&window_, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(fired, 2);
}

} // namespace
} // namespace q9::input

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
