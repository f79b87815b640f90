#pragma once
// The headset's sound chip as the headset page uses it: the playback and capture device picked
// from the library's lists, their feature words, and typed gets and sets of named properties in
// the library's buffer conventions. Without a library every call fails and nothing is called.
#include "platform/AudioChipLibrary.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace q9 {

class AudioChipLink {
public:
    enum Side { Playback, Capture };

    explicit AudioChipLink(std::shared_ptr<AudioChipLibrary> library = nullptr) : library_(std::move(library)) {}
    bool loaded() const { return library_ != nullptr; }

    // Initialises the library, lists its devices, picks the two and reads their features. Problems
    // the user is told about go to `tell` with their message text. False without a playback device.
    bool open(const std::function<void(const char* text)>& tell);
    bool has(Side side) const;
    const AudioDeviceInfo& device(Side side) const { return side == Playback ? playback_ : capture_; }

    // A property's value as a number; nothing when the get fails or is not a number.
    std::optional<double> get(Side side, const char* property);
    // Sets of an int, of a 0.0-1.0 fraction, optionally with the channel word of the volume
    // properties; the surround property takes its three words. True when the library took it.
    bool setInt(Side side, const char* property, int32_t value, std::optional<int32_t> channel = std::nullopt);
    bool setFraction(Side side, const char* property, float value, int32_t channel);
    bool setSurround(int32_t value);

private:
    std::optional<std::u16string> getText(Side side, const char* property);
    bool set(Side side, const char* property, const void* value, const int32_t* words, int wordCount);
    void readFeatures(Side side, const std::function<void(const char*)>& tell);

    std::shared_ptr<AudioChipLibrary> library_;
    AudioDeviceInfo playback_{}, capture_{};
};

} // namespace q9
