#pragma once
// Desktop input on X11: XInput2 raw key and button events selected on the root window of a
// connection of our own, so every key and button of the desktop is seen whichever window has the
// focus. With grabKeyboard a second connection grabs the keyboard, so keys reach no program while
// capturing; the X server keeps the lock keys' state itself, so Caps, Num and Scroll Lock still
// toggle. Events are read when the connection's socket has data: nothing runs while none comes.
#include "platform/InputHook.h"

#include <memory>
#include <string>

class QSocketNotifier;
struct _XDisplay;
union _XEvent;

namespace q9::input {

class XInputHook final : public InputHookBackend {
public:
    // Opens the connection at once; an empty name means $DISPLAY.
    explicit XInputHook(const std::string& displayName = std::string());
    ~XInputHook() override;
    XInputHook(const XInputHook&) = delete;
    XInputHook& operator=(const XInputHook&) = delete;

    const char* name() const override { return "xinput2"; }
    bool start(bool grabKeyboard, Sink sink) override;
    void stop() override;
    bool active() const override { return active_; }

    // The server could be reached and offers XInput 2.1 or later (raw events for every client,
    // whoever holds a grab).
    bool usable() const { return display_ != nullptr && xiOpcode_ >= 0; }
    // The keyboard grab of the last start() took effect.
    bool grabbed() const { return active_ && grabbed_; }

    // The display the application's own X connection uses; empty when it has none.
    static std::string applicationDisplayName();

private:
    void readEvents();
    void discardGrabEvents();
    bool grab();
    std::optional<HookEvent> translate(_XEvent& event);
    std::optional<HookEvent> buttonEvent(int button, bool press, uint32_t time);
    void select(bool on);

    _XDisplay* display_ = nullptr;   // raw events
    _XDisplay* grabDisplay_ = nullptr; // the keyboard grab, opened at the first one
    std::string displayName_;
    unsigned long root_ = 0;
    int xiOpcode_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::unique_ptr<QSocketNotifier> grabNotifier_;
    bool active_ = false;
    bool grabbed_ = false;
    Sink sink_;
    KeyEventBuilder keys_;
};

} // namespace q9::input
