#include "audio/FrequencyBlocks.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace q9::audio {

namespace {

constexpr double kLow = 40.0, kHigh = 16000.0;

void fft(std::vector<std::complex<float>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const float angle = -2.0f * float(M_PI) / float(len);
        const std::complex<float> step(std::cos(angle), std::sin(angle));
        for (size_t i = 0; i < n; i += len) {
            std::complex<float> w(1.0f, 0.0f);
            for (size_t k = 0; k < len / 2; ++k) {
                const std::complex<float> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
                w *= step;
            }
        }
    }
}

} // namespace

FrequencyBlocks::FrequencyBlocks(int sampleRate) : rate_(sampleRate > 0 ? sampleRate : 44100), ring_(kWindow, 0.0f), hann_(kWindow)
{
    for (int i = 0; i < kWindow; ++i)
        hann_[size_t(i)] = 0.5f - 0.5f * std::cos(2.0f * float(M_PI) * float(i) / float(kWindow - 1));
    // 125 slices of the log scale; each takes at least one FFT bin.
    const double binHz = double(rate_) / kWindow;
    const double ratio = std::log(kHigh / kLow) / kUsedValues;
    for (int v = 0; v < kUsedValues; ++v) {
        const double from = kLow * std::exp(ratio * v), to = kLow * std::exp(ratio * (v + 1));
        int first = std::clamp(int(std::floor(from / binHz)), 1, kWindow / 2 - 1);
        int last = std::clamp(int(std::ceil(to / binHz)) - 1, first, kWindow / 2 - 1);
        bins_[size_t(v)] = {first, last};
    }
}

void FrequencyBlocks::addFrames(const int16_t* samples, size_t frames, int channels, const std::function<void(const Magnitudes&)>& block)
{
    if (channels < 1)
        return;
    for (size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += samples[f * size_t(channels) + size_t(c)];
        ring_[head_] = sum / float(channels);
        head_ = (head_ + 1) % kWindow;
        filled_ = std::min<size_t>(filled_ + 1, kWindow);
        if (++sinceBlock_ >= kHop && filled_ == kWindow) {
            sinceBlock_ = 0;
            block(analyse());
        }
    }
}

Magnitudes FrequencyBlocks::analyse()
{
    std::vector<std::complex<float>> a(kWindow);
    for (size_t i = 0; i < size_t(kWindow); ++i)
        a[i] = ring_[(head_ + i) % kWindow] * hann_[i];
    fft(a);
    // Amplitude in sample units (a full-scale sine reads about 32767 in its bin, the Hann window's
    // gain of one half made good), the strongest bin of each slice.
    Magnitudes m{};
    const float scale = 4.0f / kWindow;
    for (int v = 0; v < kUsedValues; ++v) {
        float peak = 0;
        for (int b = bins_[size_t(v)].first; b <= bins_[size_t(v)].second; ++b)
            peak = std::max(peak, std::abs(a[size_t(b)]));
        m[size_t(v)] = int32_t(std::lround(peak * scale / 4.0f)); // a quarter: loud music stays near 2000
    }
    return m;
}

} // namespace q9::audio
