#pragma once
// Input seen through the program's own windows: where no desktop-wide source exists (Wayland,
// X servers without XInput 2.1), keys and buttons are captured while one of the program's windows
// is in front. "Grabbing" here means the program's own widgets do not get the keys either, as
// with the desktop-wide hook; lock keys pass on so that their state still changes.
#include "platform/InputHook.h"

#include <QObject>

namespace q9::input {

class WindowInputHook final : public QObject, public InputHookBackend {
public:
    WindowInputHook();
    ~WindowInputHook() override;

    const char* name() const override { return "window"; }
    bool start(bool grabKeyboard, Sink sink) override;
    void stop() override;
    bool active() const override { return active_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void deliver(const HookEvent& e);

    bool active_ = false;
    bool grab_ = false;
    Sink sink_;
    KeyEventBuilder keys_;
};

} // namespace q9::input
