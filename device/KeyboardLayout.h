#pragma once
// The keyboard picture's tables (device/KeyboardLayout.cpp, generated with the picture by
// tools/make-keyboard-layout.py): the factory action of each picture key, by which the key is
// found in the keyboard's key block, and the layout grids of the light effects.
#include <array>
#include <cstdint>

namespace q9::keyboard {

constexpr int kPictureKeys = 170;
constexpr int kColumns = 23;
constexpr uint8_t kNoKey = 255;

// (type, param1, param2) per picture key; (0x20, 0, 0) where the picture has no key.
const std::array<std::array<uint8_t, 3>, kPictureKeys>& factoryCodes();
// The six keys of each column, row 0 (the function row) first; 255 where there is none.
const std::array<std::array<uint8_t, 6>, kColumns>& columnTable();

} // namespace q9::keyboard
