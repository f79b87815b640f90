#include "platform/KeyTranslation.h"

#include <array>

namespace q9::input {

namespace {

// Where the numbers come from:
//   evdev — the KEY_* numbers of linux/input-event-codes.h (for the keys of a PC keyboard the
//           first 88 equal their set-1 make codes);
//   scan  — the PC set-1 make code, E0 prefix given as `ext` (Microsoft's keyboard scan code
//           table, as a Windows low-level keyboard hook reports them);
//   vk    — the Windows virtual-key number the hook reports with the US layout.
// Where the program's key code table differs from what Windows reports, the table wins, since
// captured keys are looked up there:
//   - Right Shift is marked extended in the table (Windows reports 0x36 without E0);
//   - keypad Enter has the table's own number 0x101 (Windows reports VK_RETURN with E0).
// Num Lock is 0x45 with E0 and Pause 0x45 without, as Windows' hook and the table have them (the
// keyboard itself sends Num Lock plain and Pause as E1 1D 45).
struct Entry {
    uint16_t evdev;
    uint16_t vk;
    uint8_t scan;
    bool ext;
};

constexpr Entry kTable[] = {
    // Row of Esc, digits and the top punctuation
    {1, 0x1B, 0x01, false},   // KEY_ESC
    {2, 0x31, 0x02, false},   // KEY_1
    {3, 0x32, 0x03, false},   // KEY_2
    {4, 0x33, 0x04, false},   // KEY_3
    {5, 0x34, 0x05, false},   // KEY_4
    {6, 0x35, 0x06, false},   // KEY_5
    {7, 0x36, 0x07, false},   // KEY_6
    {8, 0x37, 0x08, false},   // KEY_7
    {9, 0x38, 0x09, false},   // KEY_8
    {10, 0x39, 0x0A, false},  // KEY_9
    {11, 0x30, 0x0B, false},  // KEY_0
    {12, 0xBD, 0x0C, false},  // KEY_MINUS
    {13, 0xBB, 0x0D, false},  // KEY_EQUAL
    {14, 0x08, 0x0E, false},  // KEY_BACKSPACE
    {15, 0x09, 0x0F, false},  // KEY_TAB
    {16, 0x51, 0x10, false},  // KEY_Q
    {17, 0x57, 0x11, false},  // KEY_W
    {18, 0x45, 0x12, false},  // KEY_E
    {19, 0x52, 0x13, false},  // KEY_R
    {20, 0x54, 0x14, false},  // KEY_T
    {21, 0x59, 0x15, false},  // KEY_Y
    {22, 0x55, 0x16, false},  // KEY_U
    {23, 0x49, 0x17, false},  // KEY_I
    {24, 0x4F, 0x18, false},  // KEY_O
    {25, 0x50, 0x19, false},  // KEY_P
    {26, 0xDB, 0x1A, false},  // KEY_LEFTBRACE
    {27, 0xDD, 0x1B, false},  // KEY_RIGHTBRACE
    {28, 0x0D, 0x1C, false},  // KEY_ENTER
    {29, 0xA2, 0x1D, false},  // KEY_LEFTCTRL
    {30, 0x41, 0x1E, false},  // KEY_A
    {31, 0x53, 0x1F, false},  // KEY_S
    {32, 0x44, 0x20, false},  // KEY_D
    {33, 0x46, 0x21, false},  // KEY_F
    {34, 0x47, 0x22, false},  // KEY_G
    {35, 0x48, 0x23, false},  // KEY_H
    {36, 0x4A, 0x24, false},  // KEY_J
    {37, 0x4B, 0x25, false},  // KEY_K
    {38, 0x4C, 0x26, false},  // KEY_L
    {39, 0xBA, 0x27, false},  // KEY_SEMICOLON
    {40, 0xDE, 0x28, false},  // KEY_APOSTROPHE
    {41, 0xC0, 0x29, false},  // KEY_GRAVE
    {42, 0xA0, 0x2A, false},  // KEY_LEFTSHIFT
    {43, 0xDC, 0x2B, false},  // KEY_BACKSLASH
    {44, 0x5A, 0x2C, false},  // KEY_Z
    {45, 0x58, 0x2D, false},  // KEY_X
    {46, 0x43, 0x2E, false},  // KEY_C
    {47, 0x56, 0x2F, false},  // KEY_V
    {48, 0x42, 0x30, false},  // KEY_B
    {49, 0x4E, 0x31, false},  // KEY_N
    {50, 0x4D, 0x32, false},  // KEY_M
    {51, 0xBC, 0x33, false},  // KEY_COMMA
    {52, 0xBE, 0x34, false},  // KEY_DOT
    {53, 0xBF, 0x35, false},  // KEY_SLASH
    {54, 0xA1, 0x36, true},   // KEY_RIGHTSHIFT (extended as in the key code table)
    {55, 0x6A, 0x37, false},  // KEY_KPASTERISK
    {56, 0xA4, 0x38, false},  // KEY_LEFTALT
    {57, 0x20, 0x39, false},  // KEY_SPACE
    {58, 0x14, 0x3A, false},  // KEY_CAPSLOCK
    {59, 0x70, 0x3B, false},  // KEY_F1
    {60, 0x71, 0x3C, false},  // KEY_F2
    {61, 0x72, 0x3D, false},  // KEY_F3
    {62, 0x73, 0x3E, false},  // KEY_F4
    {63, 0x74, 0x3F, false},  // KEY_F5
    {64, 0x75, 0x40, false},  // KEY_F6
    {65, 0x76, 0x41, false},  // KEY_F7
    {66, 0x77, 0x42, false},  // KEY_F8
    {67, 0x78, 0x43, false},  // KEY_F9
    {68, 0x79, 0x44, false},  // KEY_F10
    {69, 0x90, 0x45, true},   // KEY_NUMLOCK
    {70, 0x91, 0x46, false},  // KEY_SCROLLLOCK
    {71, 0x67, 0x47, false},  // KEY_KP7
    {72, 0x68, 0x48, false},  // KEY_KP8
    {73, 0x69, 0x49, false},  // KEY_KP9
    {74, 0x6D, 0x4A, false},  // KEY_KPMINUS
    {75, 0x64, 0x4B, false},  // KEY_KP4
    {76, 0x65, 0x4C, false},  // KEY_KP5
    {77, 0x66, 0x4D, false},  // KEY_KP6
    {78, 0x6B, 0x4E, false},  // KEY_KPPLUS
    {79, 0x61, 0x4F, false},  // KEY_KP1
    {80, 0x62, 0x50, false},  // KEY_KP2
    {81, 0x63, 0x51, false},  // KEY_KP3
    {82, 0x60, 0x52, false},  // KEY_KP0
    {83, 0x6E, 0x53, false},  // KEY_KPDOT
    {86, 0xE2, 0x56, false},  // KEY_102ND (ISO key beside left Shift)
    {87, 0x7A, 0x57, false},  // KEY_F11
    {88, 0x7B, 0x58, false},  // KEY_F12
    {89, 0xC1, 0x73, false},  // KEY_RO (Brazilian / Japanese slash)
    {92, 0xFF, 0x79, false},  // KEY_HENKAN
    {93, 0xFF, 0x70, false},  // KEY_KATAKANAHIRAGANA
    {94, 0xEB, 0x7B, false},  // KEY_MUHENKAN
    {96, 0x101, 0x1C, true},  // KEY_KPENTER (the key code table's own VK)
    {97, 0xA3, 0x1D, true},   // KEY_RIGHTCTRL
    {98, 0x6F, 0x35, true},   // KEY_KPSLASH
    {99, 0x2C, 0x37, true},   // KEY_SYSRQ (Print Screen)
    {100, 0xA5, 0x38, true},  // KEY_RIGHTALT
    {102, 0x24, 0x47, true},  // KEY_HOME
    {103, 0x26, 0x48, true},  // KEY_UP
    {104, 0x21, 0x49, true},  // KEY_PAGEUP
    {105, 0x25, 0x4B, true},  // KEY_LEFT
    {106, 0x27, 0x4D, true},  // KEY_RIGHT
    {107, 0x23, 0x4F, true},  // KEY_END
    {108, 0x28, 0x50, true},  // KEY_DOWN
    {109, 0x22, 0x51, true},  // KEY_PAGEDOWN
    {110, 0x2D, 0x52, true},  // KEY_INSERT
    {111, 0x2E, 0x53, true},  // KEY_DELETE
    {119, 0x13, 0x45, false}, // KEY_PAUSE
    {121, 0xC2, 0x7E, false}, // KEY_KPCOMMA (Brazilian keypad)
    {122, 0xFF, 0x72, false}, // KEY_HANGEUL
    {123, 0xE9, 0x71, false}, // KEY_HANJA
    {124, 0xFF, 0x7D, false}, // KEY_YEN
    {125, 0x5B, 0x5B, true},  // KEY_LEFTMETA
    {126, 0x5C, 0x5C, true},  // KEY_RIGHTMETA
    {127, 0x5D, 0x5D, true},  // KEY_COMPOSE (App / Menu)
    // Media and browser keys: reported as Windows does; the capture table has no row for them.
    {113, 0xAD, 0x20, true},  // KEY_MUTE
    {114, 0xAE, 0x2E, true},  // KEY_VOLUMEDOWN
    {115, 0xAF, 0x30, true},  // KEY_VOLUMEUP
    {128, 0xA9, 0x68, true},  // KEY_STOP (browser)
    {140, 0xB7, 0x21, true},  // KEY_CALC (launch application 2)
    {155, 0xB4, 0x6C, true},  // KEY_MAIL
    {156, 0xAB, 0x66, true},  // KEY_BOOKMARKS
    {157, 0xB6, 0x6B, true},  // KEY_COMPUTER (launch application 1)
    {158, 0xA6, 0x6A, true},  // KEY_BACK
    {159, 0xA7, 0x69, true},  // KEY_FORWARD
    {163, 0xB0, 0x19, true},  // KEY_NEXTSONG
    {164, 0xB3, 0x22, true},  // KEY_PLAYPAUSE
    {165, 0xB1, 0x10, true},  // KEY_PREVIOUSSONG
    {166, 0xB2, 0x24, true},  // KEY_STOPCD
    {172, 0xAC, 0x32, true},  // KEY_HOMEPAGE
    {173, 0xA8, 0x67, true},  // KEY_REFRESH
    {217, 0xAA, 0x65, true},  // KEY_SEARCH
    {226, 0xB5, 0x6D, true},  // KEY_MEDIA (launch media select)
};

constexpr std::size_t kMaxEvdev = 256;

// Indexed by evdev number; built once so that a key event costs one array read.
const std::array<std::optional<KeyCodes>, kMaxEvdev>& lookup()
{
    static const auto table = [] {
        std::array<std::optional<KeyCodes>, kMaxEvdev> t{};
        for (const Entry& e : kTable)
            t[e.evdev] = KeyCodes{e.vk, e.scan, e.ext};
        return t;
    }();
    return table;
}

} // namespace

std::optional<KeyCodes> keyFromEvdev(uint32_t evdevCode)
{
    if (evdevCode >= kMaxEvdev)
        return std::nullopt;
    return lookup()[evdevCode];
}

} // namespace q9::input
