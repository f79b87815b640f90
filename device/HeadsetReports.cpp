#include "device/HeadsetReports.h"

#include <algorithm>

namespace q9::headset {

uint8_t zoneValue(uint8_t channel, uint8_t brightness)
{
    return uint8_t(std::min(channel * brightness / 256, int(kMaxValue)));
}

std::vector<ColourReport> colourReports(const std::array<uint32_t, kZones>& zones)
{
    // values[channel][zone]; the channel sits at bits 24, 16 and 8 of the packed colour.
    std::array<std::array<uint8_t, kZones>, 3> values{};
    for (int c = 0; c < 3; ++c)
        for (int z = 0; z < kZones; ++z)
            values[size_t(c)][size_t(z)] = zoneValue(uint8_t(zones[size_t(z)] >> (24 - 8 * c)), uint8_t(zones[size_t(z)]));

    std::vector<ColourReport> out;
    out.reserve(12);
    // Per channel: zones 0-6 and 7-12 with byte 1 = 0x22, then both again with 0x44.
    for (int c = 0; c < 3; ++c)
        for (uint8_t set : {uint8_t(0x22), uint8_t(0x44)})
            for (int upper = 0; upper < 2; ++upper) {
                ColourReport r{};
                r[0] = kReportId;
                r[1] = set;
                r[2] = uint8_t(0xAA + c + 3 * upper);
                const int first = upper ? 7 : 0, count = upper ? 6 : 7;
                for (int i = 0; i < count; ++i)
                    r[size_t(4 + i)] = values[size_t(c)][size_t(first + i)];
                // The upper half leaves byte 10 as the report before it had it.
                if (upper)
                    r[10] = out.back()[10];
                out.push_back(r);
            }
    return out;
}

} // namespace q9::headset
