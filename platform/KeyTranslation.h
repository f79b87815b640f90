#pragma once
// Linux key numbers to the codes a Windows keyboard hook reports: the virtual-key code, the PC
// set-1 make code and whether the make code carries the E0 prefix. The program's key code table
// and its macro records are written in those codes.
#include <cstdint>
#include <optional>

namespace q9::input {

struct KeyCodes {
    uint32_t vk = 0;       // Windows virtual-key code
    uint32_t scan = 0;     // set-1 make code without the E0 prefix
    bool extended = false; // the make code is E0-prefixed
};

// evdevCode is the kernel's key number (linux/input-event-codes.h). An X keycode, and Qt's
// nativeScanCode on xcb and Wayland, is that number + 8. Unknown keys give nullopt.
std::optional<KeyCodes> keyFromEvdev(uint32_t evdevCode);

} // namespace q9::input
