#include "device/AudioChipLink.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace q9 {

namespace {

using Buffer = std::array<uint8_t, kAudioBufferBytes>;

std::u16string wide(const char* s)
{
    std::u16string out;
    for (; *s; ++s)
        out += char16_t(uint8_t(*s));
    return out;
}

std::string narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

// The first playback device of each type in this order of preference, active ones only.
constexpr uint32_t kPlaybackTypes[] = {1, 12, 7, 4};

} // namespace

bool AudioChipLink::open(const std::function<void(const char*)>& tell)
{
    playback_ = capture_ = {};
    if (!library_)
        return false;
    if (library_->ConfLibInit() != 0)
        tell("ConfLibInit called failed!");
    library_->CreateDeviceList();
    uint32_t playbackCount = 0;
    library_->GetDeviceCount(AudioPlayback, &playbackCount);
    if (playbackCount == 0)
        return false;

    std::vector<AudioDeviceInfo> outputs;
    for (uint32_t i = 0; i < playbackCount; ++i) {
        AudioDeviceInfo d{};
        if (library_->GetDeviceById(AudioPlayback, i, &d) == 0)
            outputs.push_back(d);
    }
    for (uint32_t type : kPlaybackTypes) {
        for (const AudioDeviceInfo& d : outputs)
            if (d.deviceType == type && d.deviceState == 1) {
                playback_ = d;
                break;
            }
        if (playback_.deviceType)
            break;
    }
    uint32_t captureCount = 0;
    library_->GetDeviceCount(AudioCapture, &captureCount);
    for (uint32_t i = 0; i < captureCount; ++i) {
        AudioDeviceInfo d{};
        if (library_->GetDeviceById(AudioCapture, i, &d) == 0 && d.deviceType == 2) {
            capture_ = d;
            break;
        }
    }
    readFeatures(Capture, tell);
    readFeatures(Playback, tell);
    return true;
}

bool AudioChipLink::has(Side side) const { return library_ && device(side).deviceType >= 1; }

void AudioChipLink::readFeatures(Side side, const std::function<void(const char*)>& tell)
{
    if (!has(side))
        return;
    const std::optional<std::u16string> text = getText(side, "GetSupportFeature");
    std::vector<std::string> fields;
    if (text) {
        std::string s = narrow(*text);
        size_t from = 0;
        for (size_t comma; (comma = s.find(',', from)) != std::string::npos; from = comma + 1)
            fields.push_back(s.substr(from, comma - from));
        fields.push_back(s.substr(from));
    }
    if (fields.size() < 7) {
        tell("UpdateAPOAvailable failed!");
        return;
    }
    AudioDeviceInfo& d = side == Playback ? playback_ : capture_;
    d.featureFlags = uint32_t(std::strtoul(fields[0].c_str(), nullptr, 10));
    d.featureB = uint32_t(std::strtoul(fields[4].c_str(), nullptr, 10));
    d.featureC = uint32_t(std::strtoul(fields[6].c_str(), nullptr, 10));
}

std::optional<std::u16string> AudioChipLink::getText(Side side, const char* property)
{
    if (!has(side))
        return std::nullopt;
    Buffer value{}, second{};
    if (library_->PropertyControl(device(side), wide(property), value.data(), second.data(), 0) != 0)
        return std::nullopt;
    std::u16string text;
    for (size_t i = 0; i + 1 < value.size(); i += 2) {
        char16_t c;
        std::memcpy(&c, value.data() + i, sizeof c);
        if (!c)
            break;
        text += c;
    }
    return text;
}

std::optional<double> AudioChipLink::get(Side side, const char* property)
{
    const std::optional<std::u16string> text = getText(side, property);
    if (!text)
        return std::nullopt;
    const std::string s = narrow(*text);
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end == s.c_str())
        return std::nullopt;
    return v;
}

bool AudioChipLink::set(Side side, const char* property, const void* value, const int32_t* words, int wordCount)
{
    if (!has(side))
        return false;
    Buffer v{}, second{};
    std::memcpy(v.data(), value, 4);
    if (words)
        std::memcpy(second.data(), words, size_t(wordCount) * 4);
    return library_->PropertyControl(device(side), wide(property), v.data(), words ? second.data() : nullptr, 1) == 0;
}

bool AudioChipLink::setInt(Side side, const char* property, int32_t value, std::optional<int32_t> channel)
{
    const int32_t word = channel.value_or(0);
    return set(side, property, &value, channel ? &word : nullptr, 1);
}

bool AudioChipLink::setFraction(Side side, const char* property, float value, int32_t channel)
{
    return set(side, property, &value, &channel, 1);
}

bool AudioChipLink::setSurround(int32_t value)
{
    static constexpr int32_t kWords[] = {4, -1, 0};
    return set(Playback, "VirtualSurroundEffectControl", &value, kWords, 3);
}

} // namespace q9
