#pragma once
// The typed records that the profile documents hand out and take back. Field order and widths
// follow the device records they end up in; values from files are held to the field's range.
#include <cstdint>
#include <vector>

namespace q9 {

// Colour groups and custom equaliser indexes at or above this are refused by the readers that
// create missing entries: the program makes at most a few dozen, and an index from a hostile file
// must not make a reader fill millions of entries.
constexpr int kMaxStoredGroup = 256;

// One key's action; stored in profiles as type * 65536 + param1 * 256 + param2.
struct KeyAction {
    uint16_t keyIndex = 0;
    uint8_t type = 0;
    uint8_t param1 = 0;
    uint8_t param2 = 0;
    uint8_t reserved = 0;

    // Only the action itself counts, not where it sits.
    friend bool operator==(const KeyAction& a, const KeyAction& b)
    {
        return a.type == b.type && a.param1 == b.param1 && a.param2 == b.param2;
    }
    int stored() const { return type * 65536 + param1 * 256 + param2; }
    static KeyAction fromStored(uint16_t keyIndex, int value)
    {
        const auto v = uint32_t(value);
        return {keyIndex, uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v), 0};
    }
};

// The two key actions that play a macro; param1 is the macro's number.
constexpr uint8_t kMacroAction = 0x70;
constexpr uint8_t kMacroActionB = 0x71;
inline bool IsMacroAction(const KeyAction& a) { return a.type == kMacroAction || a.type == kMacroActionB; }

// A key's current action followed by its factory action.
struct KeyEntry {
    KeyAction current;
    KeyAction defaults;

    friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};

// Macro d of the list is gone: a key playing it gets its factory action back, a key playing a later
// macro follows that macro's new number. True when a key changed.
inline bool dropMacroFromKeys(std::vector<KeyEntry>& keys, int d)
{
    bool changed = false;
    for (KeyEntry& k : keys) {
        if (!IsMacroAction(k.current) || d < 0 || d > 0xFF)
            continue;
        if (k.current.param1 == d) {
            const uint16_t at = k.current.keyIndex;
            k.current = k.defaults;
            k.current.keyIndex = at;
            changed = true;
        } else if (k.current.param1 > d) {
            --k.current.param1;
            changed = true;
        }
    }
    return changed;
}

inline bool keysPlayMacro(const std::vector<KeyEntry>& keys, int d)
{
    for (const KeyEntry& k : keys)
        if (IsMacroAction(k.current) && k.current.param1 == d)
            return true;
    return false;
}

struct LightInfoRecord {
    uint8_t selectItem = 0;   // index of the light mode in the device's mode list
    uint8_t light = 0;        // brightness level
    uint8_t speed = 0;
    uint8_t fx = 0;           // direction
    uint8_t multiColor = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved[3] = {};
    uint8_t zzccLedMode = 0;  // the keyboard's second mode list
    uint8_t customGroup = 0;  // the keyboard's custom colour group
    uint8_t oldLedMode = 0;

    friend bool operator==(const LightInfoRecord&, const LightInfoRecord&) = default;
};

struct AudioLightRecord {
    uint8_t audioMode = 0;
    uint8_t bkColorR = 0;
    uint8_t bkColorG = 0;
    uint8_t bkColorB = 0;
    uint8_t fgColorR = 0;
    uint8_t fgColorG = 0;
    uint8_t fgColorB = 0;
    uint8_t sevenColor = 0;
    uint8_t colorType = 0;    // 1: the foreground colour is the one edited

    friend bool operator==(const AudioLightRecord&, const AudioLightRecord&) = default;
};

// A light zone's own behaviour on top of the device's effect.
struct LedZoneRecord {
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t direction = 0;
    uint8_t multiColor = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved[2] = {};
    uint8_t present = 0;      // 0: the stored entry was no object; every other field is then 0
    uint8_t reserved2[3] = {};

    friend bool operator==(const LedZoneRecord&, const LedZoneRecord&) = default;
};

// One step of a custom light's effect file.
struct CustomEffectRecord {
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t direction = 0;
    uint8_t multiColor = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t reserved[8] = {};
    int32_t time = 0;         // milliseconds the step lasts
    int32_t cycle = 0;

    friend bool operator==(const CustomEffectRecord&, const CustomEffectRecord&) = default;
};

// dpiX and dpiY are sensor steps, not DPI.
struct DpiStage {
    uint8_t active = 0;
    uint8_t xy = 0;
    uint16_t dpiX = 0;
    uint16_t dpiY = 0;
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

struct MouseSystemRecord {
    uint16_t doubleClickTime = 0;
    uint16_t mouseSpeed = 0;
    uint16_t pointerPrecision = 0;
    uint16_t scrollPage = 0;
    uint16_t wheelScrollLines = 0;
    uint16_t reportRate = 0;
    uint16_t silentAltitude = 0;
    uint16_t linearCalibration = 0;
    uint16_t ripple = 0;
    uint16_t reserved = 0;
    uint16_t bleSleep1 = 0;
    uint16_t bleSleep2 = 0;
    uint16_t deviceSleep1 = 0;
    uint16_t deviceSleep2 = 0;
    uint16_t keyDebounceTime = 0;

    friend bool operator==(const MouseSystemRecord&, const MouseSystemRecord&) = default;
};

struct KeyboardSystemRecord {
    uint16_t repeat = 0;
    uint16_t repeatDelay = 0;
    uint16_t key6Flag = 0;
    uint16_t pollingRate = 0;
    uint16_t wFlag = 0;
    uint16_t winFlag = 0;

    friend bool operator==(const KeyboardSystemRecord&, const KeyboardSystemRecord&) = default;
};

struct KeyColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    friend bool operator==(const KeyColor&, const KeyColor&) = default;
};

struct HeadsetSystemRecord {
    int32_t magicEnable = 0;
    int32_t magicType = 0;
    int32_t eqType = 0;
    int32_t customEqSelectIndex = 0;
    int32_t micInSelect = 0;
    int32_t micInValue = 0;
    int32_t micMonitorSelect = 0;
    int32_t micMonitorValue = 0;

    friend bool operator==(const HeadsetSystemRecord&, const HeadsetSystemRecord&) = default;
};

} // namespace q9
