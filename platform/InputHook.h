#pragma once
// Desktop input for key capture and macro recording: every key press and release and every mouse
// button event, in the records a Windows low-level hook delivers (the program's records keep
// those numbers). Backends are chosen at run time: XInput2 raw events on X11, the program's own
// window events elsewhere, and a synthetic source that tests drive.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace q9::input {

// Message numbers of the events (the program's records keep the Windows numbers).
enum : uint32_t {
    KeyDown = 0x0100,
    KeyUp = 0x0101,
    SysKeyDown = 0x0104,
    SysKeyUp = 0x0105,
    MouseMove = 0x0200,
    LButtonDown = 0x0201,
    LButtonUp = 0x0202,
    RButtonDown = 0x0204,
    RButtonUp = 0x0205,
    MButtonDown = 0x0207,
    MButtonUp = 0x0208,
    MouseWheel = 0x020A,
    XButtonDown = 0x020B,
    XButtonUp = 0x020C,
};

// Key record flags.
enum : uint32_t { KeyExtended = 0x01, KeyReleased = 0x80 };
// High word of MouseRecord::mouseData for the extra buttons.
enum : uint32_t { XButtonBack = 1, XButtonForward = 2 };

struct KeyRecord {            // the low-level keyboard record: five 32-bit fields
    uint32_t vkCode = 0;      // Windows virtual-key code
    uint32_t scanCode = 0;    // set-1 make code without the E0 prefix
    uint32_t flags = 0;       // bit 0: extended (E0) key; bit 7: key up
    uint32_t time = 0;        // milliseconds
    uint32_t extraInfo = 0;
};

struct MouseRecord {          // x, y in screen coordinates first; mouseData at byte offset 20
    int32_t x = 0, y = 0;
    uint32_t reserved0 = 0, reserved1 = 0, reserved2 = 0;
    uint32_t mouseData = 0;   // high 16 bits: extra button 1 (back) or 2 (forward)
    uint32_t time = 0;
};
static_assert(offsetof(MouseRecord, mouseData) == 20);
static_assert(sizeof(KeyRecord) == 20);

struct HookEvent {
    bool keyboard = true;
    uint32_t message = 0;     // one of the numbers above
    KeyRecord key;            // when keyboard
    MouseRecord mouse;        // when !keyboard
};

// A source of desktop input. start() begins delivering every key event (down and up) and mouse
// button event to the sink on the UI thread; grabKeyboard keeps keys from other programs (lock keys
// still change their lock state). stop() ends delivery (and any grab). start() while started
// restarts with the new arguments. Returns false when the backend cannot deliver anything.
// The sink may stop or restart the backend while it runs.
class InputHookBackend {
public:
    using Sink = std::function<void(const HookEvent&)>;
    virtual ~InputHookBackend() = default;
    virtual const char* name() const = 0;   // "xinput2", "window", "synthetic"
    virtual bool start(bool grabKeyboard, Sink sink) = 0;
    virtual void stop() = 0;
    virtual bool active() const = 0;
};

// XInput2 when the application runs on X11 (QGuiApplication::platformName() == "xcb") and the
// server offers XInput 2.1 or later; the window backend otherwise. The environment variable
// Q9ZEN_INPUT_HOOK=xinput2|window forces a choice.
std::unique_ptr<InputHookBackend> createInputHookBackend();

// Turns key presses and releases into keyboard events as Windows reports them: while an Alt key
// is held (and for the Alt press itself) the messages are the system-key ones. Every backend
// keeps one, so all of them agree.
class KeyEventBuilder {
public:
    // nullopt for keys without codes.
    std::optional<HookEvent> make(uint32_t evdevCode, bool down, uint32_t time);
    void reset() { leftAlt_ = rightAlt_ = false; }

private:
    bool leftAlt_ = false;
    bool rightAlt_ = false;
};

HookEvent mouseEvent(uint32_t message, int x, int y, uint32_t mouseData, uint32_t time);

// The backend tests drive: events go through the same translation as the real ones.
class SyntheticInputHook final : public InputHookBackend {
public:
    const char* name() const override { return "synthetic"; }
    bool start(bool grabKeyboard, Sink sink) override;
    void stop() override;
    bool active() const override { return active_; }

    // Nothing is delivered while stopped, or for keys without codes.
    void key(uint32_t evdevCode, bool down, uint32_t time);
    void button(uint32_t message, int x, int y, uint32_t mouseData, uint32_t time);
    bool grabbed() const { return active_ && grab_; }

    // The next start() fails, as a backend that cannot reach its input would.
    void failNextStart() { failNextStart_ = true; }

private:
    void deliver(const HookEvent& e);

    bool active_ = false;
    bool grab_ = false;
    bool failNextStart_ = false;
    Sink sink_;
    KeyEventBuilder keys_;
};

} // namespace q9::input
