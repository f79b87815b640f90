#include "device/KeyboardRecords.h"

#include "device/KeyPositions.h"

#include <algorithm>

namespace q9 {

namespace {
bool hostDriven(int code) { return code == 0x1D || code == 0x1E; }
} // namespace

std::array<uint8_t, kKeyboardRecordSize> buildKeyboardRecord(const LightInfoRecord& light, const KeyboardSystemRecord& system,
                                                             const std::vector<int>& effectCodes, uint8_t firstByte)
{
    std::array<uint8_t, kKeyboardRecordSize> r{};
    r[0] = firstByte;
    const int code = light.selectItem < effectCodes.size() ? effectCodes[light.selectItem] : light.selectItem;
    r[1] = hostDriven(code) ? kHostDrivenCode : uint8_t(code);
    r[2] = std::min<uint8_t>(light.light, 4);
    r[3] = uint8_t(4 - std::min<int>(light.speed, 4));
    r[4] = light.fx;
    r[5] = light.multiColor;
    r[6] = light.red;
    r[7] = light.green;
    r[8] = light.blue;
    r[18] = light.zzccLedMode;
    r[19] = uint8_t(std::min<uint16_t>(system.wFlag, 255));
    r[20] = uint8_t(std::min<uint16_t>(system.key6Flag, 255));
    r[21] = uint8_t(std::min<uint16_t>(system.winFlag, 255));
    r[22] = uint8_t(std::min<uint16_t>(system.pollingRate, 255));
    r[25] = light.customGroup;
    return r;
}

void takeKeyboardRecord(const uint8_t* r, const std::vector<int>& effectCodes, LightInfoRecord& light, KeyboardSystemRecord& system)
{
    const auto row = [&](auto matches) -> int {
        for (size_t i = 0; i < effectCodes.size(); ++i)
            if (matches(effectCodes[i]))
                return int(i);
        return -1;
    };
    int effect = row([&](int c) { return c == r[1]; });
    if (r[1] == kHostDrivenCode) {
        const bool chosen = light.selectItem < effectCodes.size() && hostDriven(effectCodes[light.selectItem]);
        effect = chosen ? light.selectItem : row(hostDriven);
    }
    if (effect >= 0)
        light.selectItem = uint8_t(effect);
    light.light = std::min<uint8_t>(r[2], 4);
    light.speed = uint8_t(4 - std::min<uint8_t>(r[3], 4));
    light.fx = r[4];
    light.multiColor = r[5];
    light.red = r[6];
    light.green = r[7];
    light.blue = r[8];
    light.zzccLedMode = r[18];
    light.customGroup = r[25];
    system.wFlag = r[19];
    system.key6Flag = r[20];
    system.winFlag = r[21];
}

KeyboardKeyMaps buildKeyboardKeyMaps(const std::array<std::array<uint8_t, 3>, 170>& codes, const uint8_t* keyBlock,
                                     const uint8_t* ledBlock, size_t deviceKeys, const std::vector<int>& remembered)
{
    KeyboardKeyMaps maps{std::vector<uint8_t>(codes.size(), 255), std::vector<uint8_t>(codes.size(), 255)};
    deviceKeys = std::min<size_t>(deviceKeys, 170);
    const std::vector<int> at = locateDeviceKeys(codes.data(), codes.size(), keyBlock, deviceKeys, remembered, 255);
    for (size_t j = 0; j < codes.size(); ++j)
        if (at[j] != 255) {
            maps.deviceKey[j] = uint8_t(at[j]);
            maps.led[j] = ledBlock[at[j]];
        }
    return maps;
}

void buildHostFrame(const uint32_t* zones, const uint8_t* leds, size_t keys, size_t deviceLeds, uint8_t* out)
{
    std::fill(out, out + 3 * deviceLeds, 0);
    for (size_t j = 0; j < keys; ++j) {
        const size_t led = leds[j];
        if (led >= deviceLeds)
            continue;
        const uint32_t z = zones[j];
        const uint32_t a = z & 0xFF;
        uint8_t* at = out + 3 * led;
        at[0] = uint8_t((z >> 24) * a / 256);
        at[1] = uint8_t(((z >> 16) & 0xFF) * a / 256);
        at[2] = uint8_t(((z >> 8) & 0xFF) * a / 256);
    }
}

std::vector<uint8_t> buildColourPage(const std::vector<KeyColor>& colours, const std::vector<uint8_t>& leds, size_t deviceLeds)
{
    std::vector<uint8_t> page(3 * deviceLeds, 0);
    for (size_t j = 0; j < colours.size() && j < leds.size(); ++j) {
        const size_t led = leds[j];
        if (led >= deviceLeds)
            continue;
        page[3 * led] = colours[j].red;
        page[3 * led + 1] = colours[j].green;
        page[3 * led + 2] = colours[j].blue;
    }
    return page;
}

std::vector<KeyColor> takeColourPage(const uint8_t* page, const std::vector<uint8_t>& leds, size_t deviceLeds, uint8_t level)
{
    std::vector<KeyColor> colours(leds.size());
    for (size_t j = 0; j < leds.size(); ++j) {
        const size_t led = leds[j];
        if (led < deviceLeds)
            colours[j] = {page[3 * led], page[3 * led + 1], page[3 * led + 2], level};
    }
    return colours;
}

} // namespace q9
