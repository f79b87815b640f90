#include "device/MouseRecords.h"

#include "profile/JsonAccess.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace q9 {

int dpiFromStep(uint16_t sensor, int s, int step, int base)
{
    switch (sensor) {
    case 0x3325:
        return s <= 48 ? s * step + base : 48 * step + (s - 48) * 200 + base;
    case 0x8925:
        return s <= 99 ? 50 * s + 50 : 100 * (s - 50) + 100;
    case 0x3395:
        return s <= 2 ? 100 : s * step;
    case 0x3104:
        if (s == 0)
            return 230;
        if (s == 1)
            return 420;
        if (s < 50) {
            if (s == 7) return 800;
            if (s == 28) return 1600;
            if (s == 49) return 2400;
            return 38 * (s + 14);
        }
        if (s < 82)
            return s == 60 ? 3200 : 76 * (s - 18);
        return 152 * (s - 50) - 56;
    default:
        return s * step + base;
    }
}

// The step whose DPI lies nearest to the one typed, over the sensor's whole range: whatever the
// formula, typing a DPI the page shows gives that DPI back, and a DPI beyond the range gives its end.
int stepFromDpi(uint16_t sensor, int dpi, int step, int base, int maxStep)
{
    int best = 0;
    long bestDistance = -1;
    for (int s = 0; s <= maxStep; ++s) {
        const long distance = std::labs(long(dpiFromStep(sensor, s, step, base)) - dpi);
        if (bestDistance < 0 || distance < bestDistance) {
            best = s;
            bestDistance = distance;
        }
    }
    return best;
}

namespace {

template <class T>
bool clampInto(T& value, MouseLimits::Range r)
{
    if (r.max < r.min)
        return false;
    const T held = T(std::clamp(int(value), r.min, r.max));
    const bool changed = held != value;
    value = held;
    return changed;
}

// A u16 field sent in one byte is held at 255 rather than wrapped.
uint8_t byteOf(uint16_t v) { return uint8_t(std::min<uint16_t>(v, 255)); }

} // namespace

bool clampMouseSettings(std::vector<DpiStage>& stages, int& currentDpiStage, MouseSystemRecord& system,
                        LightInfoRecord& light, const MouseLimits& limits)
{
    bool changed = false;
    constexpr MouseLimits::Range flag{0, 1};
    for (DpiStage& s : stages) {
        changed |= clampInto(s.active, flag);
        changed |= clampInto(s.xy, flag);
        for (uint16_t* dpi : {&s.dpiX, &s.dpiY}) {
            if (limits.pairedStepBytes) {
                uint8_t low = uint8_t(*dpi);
                clampInto(low, limits.step);
                const uint16_t paired = uint16_t(low | low << 8);
                changed |= paired != *dpi;
                *dpi = paired;
            } else {
                changed |= clampInto(*dpi, limits.step);
            }
        }
    }
    const int shown = std::min<int>(int(stages.size()), limits.stages);
    changed |= clampInto(currentDpiStage, {0, std::max(0, shown - 1)});
    // The current stage is an enabled one, so at least one stage is on.
    if (shown > 0 && !stages[size_t(currentDpiStage)].active) {
        int firstOn = -1;
        for (int i = 0; i < shown && firstOn < 0; ++i)
            if (stages[size_t(i)].active)
                firstOn = i;
        if (firstOn >= 0)
            currentDpiStage = firstOn;
        else
            stages[size_t(currentDpiStage)].active = 1;
        changed = true;
    }
    changed |= clampInto(system.reportRate, limits.reportRate);
    changed |= clampInto(system.silentAltitude, flag);
    changed |= clampInto(system.linearCalibration, flag);
    changed |= clampInto(system.ripple, flag);
    changed |= clampInto(system.keyDebounceTime, limits.debounce);
    changed |= clampInto(system.bleSleep1, limits.bleSleep1);
    changed |= clampInto(system.bleSleep2, limits.bleSleep2);
    changed |= clampInto(system.deviceSleep1, limits.deviceSleep1);
    changed |= clampInto(system.deviceSleep2, limits.deviceSleep2);
    changed |= clampInto(light.speed, limits.lightSpeed);
    return changed;
}

std::array<uint8_t, kMouseRecordSize> buildMouseRecord(const std::vector<DpiStage>& stages, const MouseSystemRecord& system,
                                                       int currentDpiStage, const LightInfoRecord& light, uint8_t firstByte)
{
    std::array<uint8_t, kMouseRecordSize> r{};
    r[0] = firstByte;
    r[1] = light.selectItem >= 12 ? 0 : light.selectItem;
    r[2] = light.light;
    r[3] = uint8_t(4 - std::min<int>(light.speed, 4));
    r[4] = light.fx;
    r[5] = light.multiColor;
    r[6] = light.red;
    r[7] = light.green;
    r[8] = light.blue;
    r[11] = byteOf(system.reportRate);
    r[12] = uint8_t(std::clamp(currentDpiStage, 0, 255));
    for (size_t i = 0; i < 7 && i < stages.size(); ++i) {
        const DpiStage& s = stages[i];
        uint8_t* b = &r[14 + 9 * i];
        b[0] = s.active;
        b[1] = s.xy;
        b[2] = uint8_t(s.dpiX);
        b[3] = uint8_t(s.dpiX >> 8);
        b[4] = uint8_t(s.dpiY);
        b[5] = uint8_t(s.dpiY >> 8);
        b[6] = s.red;
        b[7] = s.green;
        b[8] = s.blue;
    }
    r[77] = byteOf(system.bleSleep1);
    r[78] = byteOf(system.bleSleep2);
    r[79] = byteOf(system.deviceSleep1);
    r[80] = byteOf(system.deviceSleep2);
    r[81] = byteOf(system.keyDebounceTime);
    r[82] = byteOf(system.silentAltitude);
    r[83] = byteOf(system.linearCalibration);
    r[84] = byteOf(system.ripple);
    return r;
}

std::array<uint8_t, 4> encodeMacroEvent(const Json::Value& event)
{
    // "Delay" is text; an integer member reads as its decimal text. The leading number counts.
    const Json::Value& d = Member(event, "Delay");
    std::string text = d.isString() ? ReadString(d) : std::to_string(ReadInt(d));
    unsigned long delay = 0;
    for (char ch : text) {
        if (!std::isdigit(static_cast<unsigned char>(ch)))
            break;
        delay = std::min(delay * 10 + unsigned(ch - '0'), 65535ul);
    }
    const uint8_t type = ReadClamped<uint8_t>(Member(event, "Type"));
    const bool down = ReadString(Member(event, "Action")) == "down";
    return {uint8_t(delay), uint8_t(delay >> 8), uint8_t(down ? type | 0x80 : type), ReadClamped<uint8_t>(Member(event, "Button"))};
}

std::vector<uint8_t> buildSequenceImage(const std::vector<std::vector<std::array<uint8_t, 4>>>& sequences)
{
    const size_t n = sequences.size();
    size_t total = 16 + 2 * n;
    for (const auto& s : sequences)
        total += 4 + 4 * s.size();
    std::vector<uint8_t> image(total, 0);
    auto put16 = [&](size_t at, size_t v) {
        image[at] = uint8_t(v);
        image[at + 1] = uint8_t(v >> 8);
    };
    put16(0, 0x55AA);
    put16(2, total);
    put16(4, n);
    size_t at = 16 + 2 * n;
    for (size_t i = 0; i < n; ++i) {
        put16(16 + 2 * i, at);
        put16(at, sequences[i].size());
        at += 4;
        for (const auto& e : sequences[i]) {
            std::copy(e.begin(), e.end(), image.begin() + long(at));
            at += 4;
        }
    }
    return image;
}

} // namespace q9
