#include "platform/DeviceHook.h"

#include "platform/Messages.h"
#include "platform/Trace.h"

namespace q9 {

CDeviceHook::CDeviceHook(std::unique_ptr<input::InputHookBackend> backend) : backend_(std::move(backend)) {}

CDeviceHook::~CDeviceHook() { Uninstall(); }

uint32_t CDeviceHook::keyboardMessage(int mode)
{
    switch (mode) {
    case SingleKey: return registerWindowMessage("WM_HOOK_KEY_SINGLEKEY_MSG");
    case HitKey: return registerWindowMessage("WM_HOOK_KEY_HITKEY_MSG");
    case KbMacro: return registerWindowMessage("WM_HOOK_KEY_KBMACRO_MSG");
    case KbMacroPrevious: return registerWindowMessage("WM_HOOK_KEY_KBMACROPREVIOUS_MSG");
    case KbMacroLater: return registerWindowMessage("WM_HOOK_KEY_KBMACROLATER_MSG");
    case KbMacroSingle: return registerWindowMessage("WM_HOOK_KEY_KBMACROSINGLE_MSG");
    case MouSingleKey: return registerWindowMessage("WM_HOOK_MOU_SINGLEKEY_MSG");
    case MouHitKey: return registerWindowMessage("WM_HOOK_MOU_HITKEY_MSG");
    case MouKbMacro: return registerWindowMessage("WM_HOOK_MOU_KBMACRO_MSG");
    default: return 0;
    }
}

uint32_t CDeviceHook::mouseMessage(int mode)
{
    switch (mode) {
    case KbMacro: return registerWindowMessage("WM_HOOK_KEY_MSMACRO_MSG");
    case KbMacroPrevious: return registerWindowMessage("WM_HOOK_KEY_MSMACROPREVIOUS_MSG");
    case KbMacroLater: return registerWindowMessage("WM_HOOK_KEY_MSMACROLATER_MSG");
    case KbMacroSingle: return registerWindowMessage("WM_HOOK_KEY_MSMACROSINGLE_MSG");
    default: return 0;
    }
}

bool CDeviceHook::Install(int value, int mode, MessageTarget* window, bool ownHook, bool libraryHook)
{
    Uninstall();
    window_ = window;
    keyMessage_ = ownHook ? keyboardMessage(mode) : 0;
    mouseMessage_ = libraryHook ? mouseMessage(mode) : 0;
    if (ownHook || libraryHook) {
        // The backend runs even when the mode names no message: the keys are still held back.
        if (!backend_->start(ownHook, [this](const input::HookEvent& e) { deliver(e); })) {
            traceLazy([&] { return std::string("Input hook: the ") + backend_->name() + " source cannot start"; });
            if (ownHook) {
                window_ = nullptr;
                keyMessage_ = mouseMessage_ = 0;
                return false;
            }
            // Mouse events alone: callers do not check for them, so the install stands, silent.
        }
    }
    value_ = value;
    mode_ = mode;
    installed_ = true;
    return true;
}

void CDeviceHook::Uninstall()
{
    backend_->stop();
    installed_ = false;
    keyMessage_ = mouseMessage_ = 0;
}

void CDeviceHook::deliver(const input::HookEvent& e)
{
    MessageTarget* window = window_;
    if (!window)
        return;
    if (e.keyboard) {
        if (keyMessage_)
            window->send(keyMessage_, e.message, reinterpret_cast<int64_t>(&e.key));
    } else if (mouseMessage_) {
        window->send(mouseMessage_, e.message, reinterpret_cast<int64_t>(&e.mouse));
    }
}

} // namespace q9
