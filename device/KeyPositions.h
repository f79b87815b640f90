#pragma once
// Where each key of the device picture sits in the device's key block. A key is found by its
// factory action; a key the user reassigned no longer holds it, so the place where it was last
// found is remembered (per device type, in its data folder) and used for it, and without a memory
// the key's place in the factory block
// when the device lists its keys in the picture's order. Without this a reassigned key could never be written again.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace q9 {

using KeyCode = std::array<uint8_t, 3>;

// For each picture key its device key, or `none`. `remembered` holds the last known places (-1 or
// missing: unknown). Keys whose factory code is all-empty (0x20, 0, 0: no key there) are only found
// by their code. No device key is given to two picture keys.
std::vector<int> locateDeviceKeys(const KeyCode* factory, size_t pictureKeys, const uint8_t* block, size_t deviceKeys,
                                  const std::vector<int>& remembered, int none);

// The remembered places: one integer per picture key in a JSON array; an unreadable file gives none.
std::vector<int> readKeyPositions(const std::wstring& path);
// Writes only when something changed; keeps the remembered place of keys that are not found now.
void rememberKeyPositions(const std::wstring& path, const std::vector<int>& located, int none);

} // namespace q9
