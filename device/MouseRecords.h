#pragma once
// The mouse's records as bytes, and the sensor formulas between slider steps and DPI.
#include "profile/ProfileRecords.h"

#include <json/value.h>

#include <array>
#include <cstdint>
#include <vector>

namespace q9 {

constexpr size_t kMouseRecordSize = 86;
constexpr int kMaxMacroEvents = 60;

// DPI shown for slider step s (step and base from the device information).
int dpiFromStep(uint16_t sensor, int s, int step, int base);
// Step for a typed DPI (raised to at least 50 first).
int stepFromDpi(uint16_t sensor, int dpi, int step, int base);

std::array<uint8_t, kMouseRecordSize> buildMouseRecord(const std::vector<DpiStage>& stages, const MouseSystemRecord& system,
                                                       int currentDpiStage, const LightInfoRecord& light, uint8_t firstByte);

// The four-byte device form of one macro event object ("Delay" as text, "Type", "Action", "Button").
std::array<uint8_t, 4> encodeMacroEvent(const Json::Value& event);

// The memory image of macro or shoot sequences: 0x55AA, total length, count, a table of offsets,
// then per sequence its event count, two zero bytes and its events.
std::vector<uint8_t> buildSequenceImage(const std::vector<std::vector<std::array<uint8_t, 4>>>& sequences);

} // namespace q9
