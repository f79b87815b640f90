#pragma once
// The keyboard's 45-byte settings record as bytes, and the key maps built from its key block.
#include "profile/ProfileRecords.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace q9 {

constexpr size_t kKeyboardRecordSize = 45;
constexpr uint16_t kKeyboardRecordStride = 25; // record of slot s at s * 25; byte 0 there is the current slot
constexpr uint8_t kHostDrivenCode = 0xFE;      // effects the program drives frame by frame

// The record the keyboard is sent: the effect as its code (audio and host colour as 0xFE).
std::array<uint8_t, kKeyboardRecordSize> buildKeyboardRecord(const LightInfoRecord& light, const KeyboardSystemRecord& system,
                                                             const std::vector<int>& effectCodes, uint8_t firstByte);
// What a record read back gives: the effect's row found by its code (0xFE keeps a host-driven row
// already chosen, else the first host-driven row), brightness and speed held to 0-4, the typing
// flags. The report rate is not taken back.
void takeKeyboardRecord(const uint8_t* record, const std::vector<int>& effectCodes, LightInfoRecord& light,
                        KeyboardSystemRecord& system);

// For each picture key its device key and that key's LED; 255 for none. A key is found by its
// factory code, a reassigned one at its remembered place (KeyPositions.h).
struct KeyboardKeyMaps {
    std::vector<uint8_t> deviceKey; // per picture key
    std::vector<uint8_t> led;       // per picture key
};
KeyboardKeyMaps buildKeyboardKeyMaps(const std::array<std::array<uint8_t, 3>, 170>& factoryCodes, const uint8_t* keyBlock,
                                     const uint8_t* ledBlock, size_t deviceKeys, const std::vector<int>& remembered = {});

// One frame of the host light stream: 3 bytes per LED of the keyboard's k, each picture key's zone
// colour (packed red, green, blue, brightness) scaled by its brightness at its LED; keys without an
// LED, or with one beyond k, are left out. `out` holds 3·k bytes.
void buildHostFrame(const uint32_t* zones, const uint8_t* leds, size_t keys, size_t deviceLeds, uint8_t* out);
// A custom colour page (3 bytes per LED) from the colours of the picture keys, without brightness.
std::vector<uint8_t> buildColourPage(const std::vector<KeyColor>& colours, const std::vector<uint8_t>& leds, size_t deviceLeds);
// The colours a page gives the picture keys; `level` is the alpha every key takes.
std::vector<KeyColor> takeColourPage(const uint8_t* page, const std::vector<uint8_t>& leds, size_t deviceLeds, uint8_t level);

} // namespace q9
