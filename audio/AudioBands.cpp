#include "audio/AudioBands.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace q9::audio {

namespace {

uint32_t wordAt(const uint8_t* data, size_t size, size_t index)
{
    if (4 * index + 4 > size)
        return 0;
    const uint8_t* p = data + 4 * index;
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

std::optional<Levels> AudioBands::addBlock(const uint8_t* data, size_t size)
{
    ++blocks_;
    std::array<uint32_t, kSamples> diff{};
    for (size_t i = 0; i < size_t(kSamples); ++i) {
        // The magnitudes are signed 32-bit values; the difference of two is taken as the
        // unsigned distance between them.
        const int64_t now = int32_t(wordAt(data, size, i));
        const int64_t before = int32_t(previous_[i]);
        diff[i] = uint32_t(std::llabs(now - before));
        previous_[i] = uint32_t(now);
    }
    for (int j = 0; j < kBands; ++j) {
        const uint32_t* d = &diff[size_t(5 * j)];
        uint32_t sum = 0;
        for (int k = 0; k < 4; ++k)
            sum += d[k];
        const uint32_t level = (uint32_t(level_[size_t(j)]) + sum) / 4;
        uint64_t squares = uint32_t(spread_[size_t(j)]);
        for (int k = 0; k < 4; ++k) {
            const int64_t e = int64_t(d[k]) - int64_t(level);
            squares += uint64_t(e * e);
        }
        level_[size_t(j)] = int32_t(level);
        spread_[size_t(j)] = int32_t(std::sqrt(double(std::min<uint64_t>(squares / 3, UINT32_MAX))));
    }
    if (blocks_ < 3)
        return std::nullopt;
    blocks_ = 0;
    return level_;
}

std::array<int32_t, kAuxValues> auxValues(const uint8_t* data, size_t size)
{
    std::array<int32_t, kAuxValues> v{};
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = int32_t(wordAt(data, size, i));
    return v;
}

} // namespace q9::audio
