#include "platform/InputHook.h"

#include "platform/KeyTranslation.h"
#include "platform/Trace.h"
#include "platform/WindowInputHook.h"
#include "platform/XInputHook.h"

#include <QGuiApplication>

namespace q9::input {

namespace {
constexpr uint32_t kEvdevLeftAlt = 56;
constexpr uint32_t kEvdevRightAlt = 100;
} // namespace

std::optional<HookEvent> KeyEventBuilder::make(uint32_t evdevCode, bool down, uint32_t time)
{
    if (evdevCode == kEvdevLeftAlt)
        leftAlt_ = down;
    else if (evdevCode == kEvdevRightAlt)
        rightAlt_ = down;
    const std::optional<KeyCodes> codes = keyFromEvdev(evdevCode);
    if (!codes)
        return std::nullopt;
    // Alt counts as held for its own press and not for its own release, as Windows reports it.
    const bool alt = leftAlt_ || rightAlt_;
    HookEvent e;
    e.keyboard = true;
    e.message = down ? (alt ? SysKeyDown : KeyDown) : (alt ? SysKeyUp : KeyUp);
    e.key.vkCode = codes->vk;
    e.key.scanCode = codes->scan;
    e.key.flags = (codes->extended ? KeyExtended : 0u) | (down ? 0u : KeyReleased);
    e.key.time = time;
    return e;
}

HookEvent mouseEvent(uint32_t message, int x, int y, uint32_t mouseData, uint32_t time)
{
    HookEvent e;
    e.keyboard = false;
    e.message = message;
    e.mouse.x = x;
    e.mouse.y = y;
    e.mouse.mouseData = mouseData;
    e.mouse.time = time;
    return e;
}

bool SyntheticInputHook::start(bool grabKeyboard, Sink sink)
{
    stop();
    if (failNextStart_) {
        failNextStart_ = false;
        return false;
    }
    sink_ = std::move(sink);
    grab_ = grabKeyboard;
    active_ = true;
    return true;
}

void SyntheticInputHook::stop()
{
    active_ = false;
    grab_ = false;
    sink_ = nullptr;
    keys_.reset();
}

void SyntheticInputHook::key(uint32_t evdevCode, bool down, uint32_t time)
{
    if (!active_)
        return;
    if (const std::optional<HookEvent> e = keys_.make(evdevCode, down, time))
        deliver(*e);
}

void SyntheticInputHook::button(uint32_t message, int x, int y, uint32_t mouseData, uint32_t time)
{
    if (active_)
        deliver(mouseEvent(message, x, y, mouseData, time));
}

void SyntheticInputHook::deliver(const HookEvent& e)
{
    // A copy: the sink may restart this backend and replace sink_ while it runs.
    const Sink sink = sink_;
    if (sink)
        sink(e);
}

std::unique_ptr<InputHookBackend> createInputHookBackend()
{
    const QByteArray forced = qgetenv("Q9ZEN_INPUT_HOOK");
    if (forced == "window")
        return std::make_unique<WindowInputHook>();
    if (forced == "xinput2") {
        auto hook = std::make_unique<XInputHook>(XInputHook::applicationDisplayName());
        if (!hook->usable())
            trace("Input hook: XInput2 was asked for but the X server cannot give it; key capture and recording see nothing");
        return hook;
    }
    if (!forced.isEmpty())
        trace("Input hook: unknown Q9ZEN_INPUT_HOOK value '" + forced.toStdString() + "' ignored");

    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        auto hook = std::make_unique<XInputHook>(XInputHook::applicationDisplayName());
        if (hook->usable())
            return hook;
        trace("Input hook: no XInput 2.1 on this X server; keys and buttons are seen only in the program's window");
    }
    return std::make_unique<WindowInputHook>();
}

} // namespace q9::input
