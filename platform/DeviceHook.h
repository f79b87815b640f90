#pragma once
// The program's input hook object: while installed, desktop key events (and, when asked, mouse
// button events) reach a window as the registered message of the hook's mode, sent synchronously
// with the event's message number as wParam and a pointer to its record as lParam.
#include "platform/InputHook.h"

#include <memory>

namespace q9 {

class MessageTarget;

class CDeviceHook {
public:
    // Mode bits: what the events are used for; each selects the message names below.
    enum Mode : int {
        SingleKey = 1, HitKey = 2, KbMacro = 4, KbMacroPrevious = 8, KbMacroLater = 16, KbMacroSingle = 32,
        MouSingleKey = 256, MouHitKey = 512, MouKbMacro = 1024,
    };

    explicit CDeviceHook(std::unique_ptr<input::InputHookBackend> backend = input::createInputHookBackend());
    ~CDeviceHook();
    CDeviceHook(const CDeviceHook&) = delete;
    CDeviceHook& operator=(const CDeviceHook&) = delete;

    // Removes any earlier installation. ownHook: keyboard events, as the mode's keyboard message,
    // with the keyboard grabbed. libraryHook: mouse button events, as the mode's mouse message
    // (modes 4, 8, 16, 32 only). False when keyboard events were asked for and the backend cannot
    // deliver them; then nothing is delivered.
    bool Install(int value, int mode, MessageTarget* window, bool ownHook, bool libraryHook);
    void Uninstall();

    int mode() const { return mode_; }
    bool installed() const { return installed_; }
    const char* backendName() const { return backend_->name(); }

    // The message ids a mode sends; 0 for none.
    static uint32_t keyboardMessage(int mode);
    static uint32_t mouseMessage(int mode);

private:
    void deliver(const input::HookEvent& e);

    std::unique_ptr<input::InputHookBackend> backend_;
    MessageTarget* window_ = nullptr;
    int value_ = 0; // the caller's, kept and not used
    int mode_ = 0;
    uint32_t keyMessage_ = 0;
    uint32_t mouseMessage_ = 0;
    bool installed_ = false;
};

} // namespace q9
