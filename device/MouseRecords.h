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
// Step 0 … maxStep for a typed DPI: the one showing the nearest DPI (the lower step on a tie).
int stepFromDpi(uint16_t sensor, int dpi, int step, int base, int maxStep);

// What the mouse accepts for the settings it is sent. A range with max < min is not known (the
// device information or the page is not there yet) and leaves its values as they are.
struct MouseLimits {
    struct Range {
        int min = 0;
        int max = -1;
    };
    Range step;                 // DPI slider steps
    bool pairedStepBytes = false; // sensor 0x8925 keeps its step in both bytes of dpiX
    Range reportRate{0, 4};
    Range debounce;
    Range bleSleep1, bleSleep2, deviceSleep1, deviceSleep2;
    Range lightSpeed{0, 4};     // sent as 4 - speed
    int stages = 7;
};

// Holds every value a profile gave to the range the mouse accepts for it, so that a hand-edited
// or hostile file is neither shown nor sent as something else. True when anything changed.
bool clampMouseSettings(std::vector<DpiStage>& stages, int& currentDpiStage, MouseSystemRecord& system,
                        LightInfoRecord& light, const MouseLimits& limits);

std::array<uint8_t, kMouseRecordSize> buildMouseRecord(const std::vector<DpiStage>& stages, const MouseSystemRecord& system,
                                                       int currentDpiStage, const LightInfoRecord& light, uint8_t firstByte);

// The four-byte device form of one macro event object ("Delay" as text, "Type", "Action", "Button").
std::array<uint8_t, 4> encodeMacroEvent(const Json::Value& event);

// The memory image of macro or shoot sequences: 0x55AA, total length, count, a table of offsets,
// then per sequence its event count, two zero bytes and its events.
std::vector<uint8_t> buildSequenceImage(const std::vector<std::vector<std::array<uint8_t, 4>>>& sequences);

} // namespace q9
