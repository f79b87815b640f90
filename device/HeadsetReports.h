#pragma once
// The headset's colour reports: the program drives its 13 light zones with twelve 17-byte HID
// output reports per frame, one per colour channel, half of the zones and value of byte 1.
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace q9::headset {

constexpr int kZones = 13;
constexpr std::size_t kReportBytes = 17;
constexpr uint8_t kReportId = 0xFF;
constexpr uint8_t kMaxValue = 247; // the headset takes no higher value

using ColourReport = std::array<uint8_t, kReportBytes>;

// A zone's value for one channel: channel × brightness ÷ 256, at most 247.
uint8_t zoneValue(uint8_t channel, uint8_t brightness);

// The twelve reports of one frame, in the order they are sent, from the zones' packed colours
// (red, green, blue, brightness as LightPreview holds them).
std::vector<ColourReport> colourReports(const std::array<uint32_t, kZones>& zones);

} // namespace q9::headset
