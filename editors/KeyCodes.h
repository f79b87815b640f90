#pragma once
// The program's table of keys and the fixed choice lists of the key editor. Every key the program
// can name has a row: its text id, its Windows virtual-key code, the action a key of a device
// performs for it and, for the keys a keyboard event can report, its set-1 make code. Capture and
// recording find a pressed key here by its make code; the editors find an action's name here.
#include "profile/ProfileRecords.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace q9::editors {

struct KeyCodeRow {
    std::string_view nameId;
    uint16_t vk = 0;
    uint8_t type = 0, param1 = 0, param2 = 0;
    uint8_t scan = 0;       // 0: the key is never reported by a keyboard event
    bool extended = false;  // the make code is preceded by E0
};

constexpr int kKeyCodeRows = 142;
constexpr int kCaptureRows = 113; // rows 0-112 carry a make code
constexpr int kModifierRows = 8;  // rows 0-7: the eight modifier keys

const std::array<KeyCodeRow, kKeyCodeRows>& keyCodeTable();
// The first capture row with this make code and extended flag.
std::optional<int> findCaptureRow(uint32_t scan, bool extended);

// A fixed list of actions: one per row of its list control, in the skin's order.
struct ListRow {
    uint8_t type, param1, param2;
    std::string_view nameId;
};
std::array<ListRow, 5> mouseButtonRows();
std::array<ListRow, 3> dpiRows();
std::array<ListRow, 18> mediaRows();
// flag 0: power, sleep, wake; any other flag: sleep, wake, power.
std::array<ListRow, 3> systemRows(int order);
std::array<ListRow, 11> shortcutRows();

inline bool sameAction(const ListRow& r, const KeyAction& a) { return r.type == a.type && r.param1 == a.param1 && r.param2 == a.param2; }

} // namespace q9::editors
