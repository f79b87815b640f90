#include "device/MousePadRecords.h"

#include <algorithm>

namespace q9 {

PadRecord takePadRecord(const uint8_t* area, uint8_t profile, const std::vector<int>& effectCodes)
{
    PadRecord r{};
    std::copy(area, area + kPadRecordSize, r.begin());
    r[0] = profile;
    const auto row = std::find(effectCodes.begin(), effectCodes.end(), int(r[1]));
    if (row != effectCodes.end())
        r[1] = uint8_t(row - effectCodes.begin());
    r[3] = uint8_t(4 - std::min<uint8_t>(r[3], 4));
    return r;
}

PadRecord buildPadRecord(const PadRecord& held, const std::vector<int>& effectCodes)
{
    PadRecord out = held;
    if (held[1] < effectCodes.size())
        out[1] = uint8_t(effectCodes[held[1]]);
    out[2] = std::min<uint8_t>(held[2], 4);
    out[3] = uint8_t(4 - std::min<uint8_t>(held[3], 4));
    return out;
}

void putPadLight(PadRecord& record, const LightInfoRecord& light)
{
    record[1] = light.selectItem;
    record[2] = light.light;
    record[3] = light.speed;
    record[5] = light.multiColor;
    record[6] = light.red;
    record[7] = light.green;
    record[8] = light.blue;
}

void takePadLight(const PadRecord& record, LightInfoRecord& light)
{
    light.selectItem = record[1];
    light.light = std::min<uint8_t>(record[2], 4);
    light.speed = std::min<uint8_t>(record[3], 4);
    light.multiColor = record[5];
    light.red = record[6];
    light.green = record[7];
    light.blue = record[8];
}

} // namespace q9
