#pragma once
// What the companion sends for each stretch of sound: a block of 500 magnitudes whose first 125
// are five for each of 25 bands spaced evenly on a logarithmic scale from 40 Hz to 16 kHz (the
// program follows the change of the first four of each five from block to block, band j at values
// 5j to 5j+3); the rest are 0. A block is made for every 1024 new frames, from a window of the last
// 2048, so at 44.1 kHz about 43 blocks a second.
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace q9::audio {

constexpr int kBlockValues = 500;
constexpr int kUsedValues = 125;
using Magnitudes = std::array<int32_t, kBlockValues>;

class FrequencyBlocks {
public:
    static constexpr int kWindow = 2048;
    static constexpr int kHop = 1024;

    explicit FrequencyBlocks(int sampleRate);
    // Interleaved signed 16-bit frames of `channels` channels; calls `block` for each block done.
    void addFrames(const int16_t* samples, size_t frames, int channels, const std::function<void(const Magnitudes&)>& block);

private:
    Magnitudes analyse();

    int rate_;
    std::vector<float> ring_;   // the last kWindow mono samples
    size_t filled_ = 0;         // samples in the ring, up to kWindow
    size_t sinceBlock_ = 0;     // new samples since the last block
    size_t head_ = 0;
    std::vector<float> hann_;
    std::array<std::pair<int, int>, kUsedValues> bins_{}; // FFT bins [first, last] of each value
};

} // namespace q9::audio
