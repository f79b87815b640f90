#pragma once
// The light configuration files, all read only: the default light file beside the program (the
// built-in light modes and light areas of every device type), the custom light list of a device
// type in its profile folder, and the effect file of each custom light.
#include "profile/ProfileRecords.h"

#include <cstdint>
#include <string>
#include <vector>

namespace q9 {

// What "default_light.json" says about one device type (its light index: keyboard 0, mouse 1,
// mouse pad 2, headset 3). The three mode lists run in parallel.
struct DefaultLightNames {
    std::vector<std::wstring> modeNames;
    std::vector<uint8_t> modeVisible;
    std::vector<int> modeCodes;
    std::vector<std::wstring> areaNames;
};
DefaultLightNames ReadDefaultLightNames(const std::wstring& defaultLightPath, int lightIndex);

// The names of the custom lights in list lightIndex of a custom light list.
std::vector<std::wstring> ReadCustomLightNames(const std::wstring& lightConfigPath, int lightIndex);

// The steps of an effect file ("LEDEffectList"); empty when the file is missing or unreadable.
std::vector<CustomEffectRecord> ReadEffectFile(const std::wstring& path);

// The effect file of a custom light: folder + guid + ".light". Empty when the guid is no plain
// file name (empty, or holding a folder separator or a NUL), so that a hand-edited list cannot
// point the program at files elsewhere.
std::wstring EffectFilePath(const std::wstring& folder, const std::string& guid);

} // namespace q9
