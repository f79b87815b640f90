#include "device/KeyPositions.h"

#include "profile/JsonFile.h"

#include <algorithm>

namespace q9 {
namespace {

bool holds(const uint8_t* block, size_t k, const KeyCode& code) { return std::equal(code.begin(), code.end(), block + 3 * k); }

bool empty(const KeyCode& code) { return code == KeyCode{0x20, 0, 0}; }

} // namespace

std::vector<int> locateDeviceKeys(const KeyCode* factory, size_t pictureKeys, const uint8_t* block, size_t deviceKeys,
                                  const std::vector<int>& remembered, int none)
{
    std::vector<int> at(pictureKeys, none);
    std::vector<bool> taken(deviceKeys, false);
    auto known = [&](size_t j) {
        const int k = j < remembered.size() ? remembered[j] : -1;
        return k >= 0 && size_t(k) < deviceKeys ? k : -1;
    };
    auto give = [&](size_t j, size_t k) {
        at[j] = int(k);
        taken[k] = true;
    };
    // A key still at its remembered place first: when two device keys hold the same action (one
    // reassigned to another's), each picture key keeps its own.
    for (size_t j = 0; j < pictureKeys; ++j)
        if (const int k = known(j); k >= 0 && !empty(factory[j]) && !taken[size_t(k)] && holds(block, size_t(k), factory[j]))
            give(j, size_t(k));
    for (size_t j = 0; j < pictureKeys; ++j) {
        if (at[j] != none || empty(factory[j]))
            continue;
        // Its own place first, when it holds the code: a key reassigned to another's action must
        // not take that key's place.
        if (j < deviceKeys && !taken[j] && holds(block, j, factory[j])) {
            give(j, j);
            continue;
        }
        for (size_t k = 0; k < deviceKeys; ++k)
            if (!taken[k] && holds(block, k, factory[j])) {
                give(j, k);
                break;
            }
    }
    // Reassigned keys: where they were last found, else their factory place — only for a device
    // whose block lists its keys in the picture's order, as every key found by its code shows.
    bool pictureOrder = true;
    for (size_t j = 0; j < pictureKeys; ++j)
        pictureOrder = pictureOrder && (at[j] == none || at[j] == int(j));
    for (size_t j = 0; j < pictureKeys; ++j) {
        if (at[j] != none || empty(factory[j]))
            continue;
        if (const int k = known(j); k >= 0 && !taken[size_t(k)])
            give(j, size_t(k));
        else if (pictureOrder && j < deviceKeys && !taken[j])
            give(j, j);
    }
    return at;
}

std::vector<int> readKeyPositions(const std::wstring& path)
{
    const Json::Value list = ReadJsonFile(path);
    std::vector<int> out;
    if (!list.isArray())
        return out;
    for (Json::ArrayIndex i = 0; i < list.size() && i < 4096; ++i)
        out.push_back(list[i].isInt() ? list[i].asInt() : -1);
    return out;
}

void rememberKeyPositions(const std::wstring& path, const std::vector<int>& located, int none)
{
    const std::vector<int> before = readKeyPositions(path);
    std::vector<int> now(located.size(), -1);
    for (size_t j = 0; j < located.size(); ++j)
        now[j] = located[j] != none ? located[j] : j < before.size() ? before[j] : -1;
    if (now == before)
        return;
    Json::Value list(Json::arrayValue);
    for (int k : now)
        list.append(k);
    WriteJsonFile(path, list);
}

} // namespace q9
