#include "editors/KeyCodes.h"

namespace q9::editors {
namespace {

constexpr uint8_t kKey = 0x20, kMedia = 0x30, kSystem = 0x40, kMacroKey = 0xD0, kFunction = 0xA0;

// An ordinary key: no modifier bits, the HID keyboard usage in param2.
constexpr KeyCodeRow key(std::string_view id, uint16_t vk, uint8_t scan, uint8_t usage, bool extended = false)
{
    return {id, vk, kKey, 0, usage, scan, extended};
}
constexpr KeyCodeRow modifier(std::string_view id, uint16_t vk, uint8_t scan, bool extended, uint8_t bit)
{
    return {id, vk, kKey, bit, 0, scan, extended};
}
// A consumer-page key: the usage's low byte in param1, its high byte in param2.
constexpr KeyCodeRow media(std::string_view id, uint16_t vk, uint16_t usage)
{
    return {id, vk, kMedia, uint8_t(usage & 0xFF), uint8_t(usage >> 8), 0, false};
}
constexpr KeyCodeRow other(std::string_view id, uint16_t vk, uint8_t type, uint8_t p1, uint8_t p2) { return {id, vk, type, p1, p2, 0, false}; }

// Make codes are the PC set-1 codes, virtual keys the Windows numbers, usages those of the HID
// keyboard page; right Shift is marked extended as the capture of this program reports it.
constexpr std::array<KeyCodeRow, kKeyCodeRows> kTable = {{
    modifier("keyboard_key_LCtrl", 0xA2, 0x1D, false, 0x01),
    modifier("keyboard_key_LShift", 0xA0, 0x2A, false, 0x02),
    modifier("keyboard_key_LAlt", 0xA4, 0x38, false, 0x04),
    modifier("keyboard_key_LWin", 0x5B, 0x5B, true, 0x08),
    modifier("keyboard_key_RCtrl", 0xA3, 0x1D, true, 0x10),
    modifier("keyboard_key_RShift", 0xA1, 0x36, true, 0x20),
    modifier("keyboard_key_RAlt", 0xA5, 0x38, true, 0x40),
    modifier("keyboard_key_RWin", 0x5C, 0x5C, true, 0x80),
    key("keyboard_key_A", 0x41, 0x1E, 0x04), key("keyboard_key_B", 0x42, 0x30, 0x05), key("keyboard_key_C", 0x43, 0x2E, 0x06),
    key("keyboard_key_D", 0x44, 0x20, 0x07), key("keyboard_key_E", 0x45, 0x12, 0x08), key("keyboard_key_F", 0x46, 0x21, 0x09),
    key("keyboard_key_G", 0x47, 0x22, 0x0A), key("keyboard_key_H", 0x48, 0x23, 0x0B), key("keyboard_key_I", 0x49, 0x17, 0x0C),
    key("keyboard_key_J", 0x4A, 0x24, 0x0D), key("keyboard_key_K", 0x4B, 0x25, 0x0E), key("keyboard_key_L", 0x4C, 0x26, 0x0F),
    key("keyboard_key_M", 0x4D, 0x32, 0x10), key("keyboard_key_N", 0x4E, 0x31, 0x11), key("keyboard_key_O", 0x4F, 0x18, 0x12),
    key("keyboard_key_P", 0x50, 0x19, 0x13), key("keyboard_key_Q", 0x51, 0x10, 0x14), key("keyboard_key_R", 0x52, 0x13, 0x15),
    key("keyboard_key_S", 0x53, 0x1F, 0x16), key("keyboard_key_T", 0x54, 0x14, 0x17), key("keyboard_key_U", 0x55, 0x16, 0x18),
    key("keyboard_key_V", 0x56, 0x2F, 0x19), key("keyboard_key_W", 0x57, 0x11, 0x1A), key("keyboard_key_X", 0x58, 0x2D, 0x1B),
    key("keyboard_key_Y", 0x59, 0x15, 0x1C), key("keyboard_key_Z", 0x5A, 0x2C, 0x1D),
    key("keyboard_key_1", 0x31, 0x02, 0x1E), key("keyboard_key_2", 0x32, 0x03, 0x1F), key("keyboard_key_3", 0x33, 0x04, 0x20),
    key("keyboard_key_4", 0x34, 0x05, 0x21), key("keyboard_key_5", 0x35, 0x06, 0x22), key("keyboard_key_6", 0x36, 0x07, 0x23),
    key("keyboard_key_7", 0x37, 0x08, 0x24), key("keyboard_key_8", 0x38, 0x09, 0x25), key("keyboard_key_9", 0x39, 0x0A, 0x26),
    key("keyboard_key_0", 0x30, 0x0B, 0x27),
    key("keyboard_key_Enter", 0x0D, 0x1C, 0x28), key("keyboard_key_Esc", 0x1B, 0x01, 0x29),
    key("keyboard_key_BackSpace", 0x08, 0x0E, 0x2A), key("keyboard_key_Tab", 0x09, 0x0F, 0x2B),
    key("keyboard_key_Space", 0x20, 0x39, 0x2C), key("keyboard_key_-", 0xBD, 0x0C, 0x2D), key("keyboard_key_=", 0xBB, 0x0D, 0x2E),
    key("keyboard_key_[", 0xDB, 0x1A, 0x2F), key("keyboard_key_]", 0xDD, 0x1B, 0x30), key("keyboard_key_xiegang", 0xDC, 0x2B, 0x31),
    key("keyboard_key_;", 0xBA, 0x27, 0x33), key("keyboard_key_'", 0xDE, 0x28, 0x34), key("keyboard_key_`", 0xC0, 0x29, 0x35),
    key("keyboard_key_<", 0xBC, 0x33, 0x36), key("keyboard_key_.", 0xBE, 0x34, 0x37), key("keyboard_key_/", 0xBF, 0x35, 0x38),
    key("keyboard_key_Caplk", 0x14, 0x3A, 0x39),
    key("keyboard_key_F1", 0x70, 0x3B, 0x3A), key("keyboard_key_F2", 0x71, 0x3C, 0x3B), key("keyboard_key_F3", 0x72, 0x3D, 0x3C),
    key("keyboard_key_F4", 0x73, 0x3E, 0x3D), key("keyboard_key_F5", 0x74, 0x3F, 0x3E), key("keyboard_key_F6", 0x75, 0x40, 0x3F),
    key("keyboard_key_F7", 0x76, 0x41, 0x40), key("keyboard_key_F8", 0x77, 0x42, 0x41), key("keyboard_key_F9", 0x78, 0x43, 0x42),
    key("keyboard_key_F10", 0x79, 0x44, 0x43), key("keyboard_key_F11", 0x7A, 0x57, 0x44), key("keyboard_key_F12", 0x7B, 0x58, 0x45),
    key("keyboard_key_Print Scr", 0x2C, 0x37, 0x46, true), key("keyboard_key_Scroll Lock", 0x91, 0x46, 0x47),
    key("keyboard_key_Pause", 0x13, 0x45, 0x48),
    key("keyboard_key_Insert", 0x2D, 0x52, 0x49, true), key("keyboard_key_Home", 0x24, 0x47, 0x4A, true),
    key("keyboard_key_Page Up", 0x21, 0x49, 0x4B, true), key("keyboard_key_Delete", 0x2E, 0x53, 0x4C, true),
    key("keyboard_key_End", 0x23, 0x4F, 0x4D, true), key("keyboard_key_Page Down", 0x22, 0x51, 0x4E, true),
    key("keyboard_key_Right", 0x27, 0x4D, 0x4F, true), key("keyboard_key_Left", 0x25, 0x4B, 0x50, true),
    key("keyboard_key_Down", 0x28, 0x50, 0x51, true), key("keyboard_key_Up", 0x26, 0x48, 0x52, true),
    key("keyboard_key_Num Lock", 0x90, 0x45, 0x53, true), key("keyboard_key_Num /", 0x6F, 0x35, 0x54, true),
    key("keyboard_key_Num *", 0x6A, 0x37, 0x55), key("keyboard_key_Num -", 0x6D, 0x4A, 0x56), key("keyboard_key_Num +", 0x6B, 0x4E, 0x57),
    key("keyboard_key_Num Enter", 0x101, 0x1C, 0x58, true),
    key("keyboard_key_Num 1", 0x61, 0x4F, 0x59), key("keyboard_key_Num 2", 0x62, 0x50, 0x5A), key("keyboard_key_Num 3", 0x63, 0x51, 0x5B),
    key("keyboard_key_Num 4", 0x64, 0x4B, 0x5C), key("keyboard_key_Num 5", 0x65, 0x4C, 0x5D), key("keyboard_key_Num 6", 0x66, 0x4D, 0x5E),
    key("keyboard_key_Num 7", 0x67, 0x47, 0x5F), key("keyboard_key_Num 8", 0x68, 0x48, 0x60), key("keyboard_key_Num 9", 0x69, 0x49, 0x61),
    key("keyboard_key_Num 0", 0x60, 0x52, 0x62), key("keyboard_key_Decimal", 0x6E, 0x53, 0x63),
    key("keyboard_key_App", 0x5D, 0x5D, 0x65, true),
    key("keyboard_key_K45", 0xE2, 0x56, 0x64), key("keyboard_key_K56", 0xC1, 0x73, 0x87), key("keyboard_key_K14", 0xFF, 0x7D, 0x89),
    key("keyboard_key_K107", 0xC2, 0x7E, 0x85), key("keyboard_key_K131", 0xEB, 0x7B, 0x8B), key("keyboard_key_K132", 0xFF, 0x79, 0x8A),
    key("keyboard_key_K133", 0xFF, 0x70, 0x88), key("keyboard_key_K150", 0xE9, 0x71, 0x91), key("keyboard_key_K151", 0xFF, 0x72, 0x90),
    // Rows 113 on are never reported by a keyboard event.
    other("keyboard_key_K42", 0xBF, kKey, 0, 0x32),
    media("keyboard_key_Launch App2", 0xB7, 0x0192), media("keyboard_key_Browaer Home", 0xAC, 0x0223),
    media("keyboard_key_Media Play Pause", 0xB3, 0x00CD), media("keyboard_key_Browser Search", 0xAA, 0x0221),
    media("keyboard_key_Launch Mail", 0xB4, 0x018A), media("keyboard_key_Volume Up", 0xAF, 0x00E9),
    media("keyboard_key_Volume Mute", 0xAD, 0x00E2), media("keyboard_key_Media Stop", 0xB2, 0x00B7),
    media("keyboard_key_Volume Down", 0xAE, 0x00EA), media("keyboard_key_Browser Favorites", 0xAB, 0x022A),
    media("keyboard_key_Browser ForWard", 0xA7, 0x0225), media("keyboard_key_Browser Back", 0xA6, 0x0224),
    media("keyboard_key_Media Prev Track", 0xB1, 0x00B6), media("keyboard_key_Media Next Track", 0xB0, 0x00B5),
    media("keyboard_key_Computer", 0xB6, 0x0194), media("keyboard_key_Browser Refresh", 0xA8, 0x0227), media("wed_stop", 0xA9, 0x0226),
    media("keyboard_key_Launch Media Select", 0xB5, 0x0183),
    other("keyboard_key_Power", 0x103, kSystem, 0x01, 0), other("keyboard_key_Sleep", 0x104, kSystem, 0x02, 0),
    other("keyboard_key_Wakeup", 0x105, kSystem, 0x04, 0),
    other("keyboard_key_M1", 0, kMacroKey, 0xA2, 1), other("keyboard_key_M2", 0, kMacroKey, 0xA2, 2),
    other("keyboard_key_M3", 0, kMacroKey, 0xA2, 3), other("keyboard_key_M4", 0, kMacroKey, 0xA2, 4),
    other("keyboard_key_M5", 0, kMacroKey, 0xA2, 5),
    other("keyboard_key_FN", 0, kFunction, 0x01, 0), other("keyboard_key_GM", 0, kFunction, 0x1B, 0),
}};

constexpr ListRow mediaRow(uint16_t usage, std::string_view id) { return {kMedia, uint8_t(usage & 0xFF), uint8_t(usage >> 8), id}; }

} // namespace

const std::array<KeyCodeRow, kKeyCodeRows>& keyCodeTable() { return kTable; }

std::optional<int> findCaptureRow(uint32_t scan, bool extended)
{
    for (int r = 0; r < kCaptureRows; ++r)
        if (kTable[size_t(r)].scan == scan && kTable[size_t(r)].extended == extended)
            return r;
    return std::nullopt;
}

std::array<ListRow, 5> mouseButtonRows()
{
    return {{{0x10, 0x01, 0, "mouse_key_left"},
             {0x10, 0x04, 0, "mouse_key_middle"},
             {0x10, 0x02, 0, "mouse_key_right"},
             {0x10, 0x10, 0, "mouse_key_forward"},
             {0x10, 0x08, 0, "mouse_key_back"}}};
}

std::array<ListRow, 3> dpiRows() { return {{{0x13, 1, 0, "keyset_dpi_up"}, {0x13, 2, 0, "keyset_dpi_down"}, {0x13, 3, 0, "keyset_dpi_cycle"}}}; }

std::array<ListRow, 18> mediaRows()
{
    return {{mediaRow(0x0183, "keyboard_key_Launch Media Select"), mediaRow(0x00CD, "keyboard_key_Media Play Pause"),
             mediaRow(0x00B7, "keyboard_key_Media Stop"), mediaRow(0x00B6, "keyboard_key_Media Prev Track"),
             mediaRow(0x00B5, "keyboard_key_Media Next Track"), mediaRow(0x00EA, "keyboard_key_Volume Down"),
             mediaRow(0x00E9, "keyboard_key_Volume Up"), mediaRow(0x00E2, "keyboard_key_Volume Mute"),
             mediaRow(0x0223, "keyboard_key_Browaer Home"), mediaRow(0x0227, "keyboard_key_Browser Refresh"),
             mediaRow(0x0226, "wed_stop"), mediaRow(0x0224, "keyboard_key_Browser Back"),
             mediaRow(0x0225, "keyboard_key_Browser ForWard"), mediaRow(0x022A, "keyboard_key_Browser Favorites"),
             mediaRow(0x0221, "keyboard_key_Browser Search"), mediaRow(0x0194, "keyboard_key_Computer"),
             mediaRow(0x0192, "keyboard_key_Launch App2"), mediaRow(0x018A, "keyboard_key_Launch Mail")}};
}

std::array<ListRow, 3> systemRows(int order)
{
    constexpr ListRow power{kSystem, 0x01, 0, "keyboard_key_Power"}, sleep{kSystem, 0x02, 0, "keyboard_key_Sleep"},
        wake{kSystem, 0x04, 0, "keyboard_key_Wakeup"};
    if (order == 0)
        return {{power, sleep, wake}};
    return {{sleep, wake, power}};
}

std::array<ListRow, 11> shortcutRows()
{
    // Right Ctrl: what tells a shortcut apart from a key with left Ctrl chosen on the keyboard page.
    constexpr uint8_t rightCtrl = 0x10;
    return {{{kKey, rightCtrl, 0x12, "keyset_combo_open"},
             {kKey, rightCtrl, 0x11, "keyset_combo_new"},
             {kKey, rightCtrl, 0x1D, "keyset_combo_undo"},
             {kKey, rightCtrl, 0x16, "keyset_combo_save"},
             {kKey, rightCtrl, 0x06, "keyset_combo_copy"},
             {kKey, rightCtrl, 0x1B, "keyset_combo_cut"},
             {kKey, rightCtrl, 0x19, "keyset_combo_paste"},
             {kKey, rightCtrl, 0x09, "keyset_combo_find"},
             {kKey, rightCtrl, 0x04, "keyset_combo_select_all"},
             {kKey, rightCtrl, 0x2D, "keyset_combo_zoom_out"},
             {kKey, rightCtrl, 0x2E, "keyset_combo_zoom_in"}}};
}

} // namespace q9::editors
