#pragma once
// The capture companion's sample blocks reduced to 25 band levels. The companion sends 500
// magnitudes per block; each band follows the change of four of every five magnitudes from one
// block to the next, smoothed over blocks, and every third block hands its levels to the keyboard.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace q9::audio {

constexpr int kBands = 25;
constexpr int kSamples = 500;
constexpr size_t kSampleBlockBytes = 4200; // the receive buffer of a sample block
constexpr size_t kAuxBlockBytes = 156;     // and of an auxiliary block
constexpr int kAuxValues = 6;

using Levels = std::array<int32_t, kBands>;

class AudioBands {
public:
    // One sample block of `size` bytes (little-endian 32-bit magnitudes, the first 500 used; a
    // shorter block counts its missing values as 0). The levels to hand over on every third block.
    std::optional<Levels> addBlock(const uint8_t* data, size_t size);

    const Levels& levels() const { return level_; }
    const Levels& spreads() const { return spread_; }

private:
    std::array<uint32_t, kSamples> previous_{};
    Levels level_{};
    Levels spread_{};
    int blocks_ = 0;
};

// The six values of an auxiliary block (missing ones 0).
std::array<int32_t, kAuxValues> auxValues(const uint8_t* data, size_t size);

} // namespace q9::audio
