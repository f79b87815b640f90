#include "sim/SoundChipEmulator.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace q9::sim {

namespace {

enum class Kind { Int, Fraction, GetOnly };

struct Property {
    const char* name;
    int flow;
    Kind kind;
    int minimum, maximum;
    // The channel words the second buffer must hold: none, one of two channels, or the surround's
    // three words.
    enum { NoChannel, MicChannel, MonitorChannel, SurroundWords } channel = NoChannel;
};

const std::vector<Property>& properties()
{
    static const std::vector<Property> table = [] {
        std::vector<Property> t = {
            {"Enable_EQ_GFX", AudioPlayback, Kind::Int, 0, 1},
            {"Enable_RFX_GFX", AudioPlayback, Kind::Int, 0, 1},
            {"RFX_ENVIRONMENT", AudioPlayback, Kind::Int, 0, 100},
            {"RFX_ROOMSIZE", AudioPlayback, Kind::Int, 0, 100},
            {"VirtualSurroundEffectControl", AudioPlayback, Kind::Int, 0, 1, Property::SurroundWords},
            {"GetSupportFeature", AudioPlayback, Kind::GetOnly, 0, 0},
            {"MuteControl", AudioCapture, Kind::Int, 0, 1},
            {"VolumeScalarControl", AudioCapture, Kind::Fraction, 0, 1, Property::MicChannel},
            {"VolumeControl", AudioCapture, Kind::Int, 0, 100, Property::MicChannel},
            {"AAMuteControl", AudioCapture, Kind::Int, 0, 1},
            {"AAVolumeScalarControl", AudioCapture, Kind::Fraction, 0, 1, Property::MonitorChannel},
            {"AAVolumeControl", AudioCapture, Kind::Int, 0, 100, Property::MonitorChannel},
            {"GetAAMaxVol", AudioCapture, Kind::GetOnly, 0, 0},
            {"Enable_MAGICVOICE", AudioCapture, Kind::Int, 0, 1},
            {"MagicVoice_Selection", AudioCapture, Kind::Int, 0, 3},
            {"Enable_MICECHO", AudioCapture, Kind::Int, 0, 1},
            {"Enable_ENC_LFX", AudioCapture, Kind::Int, 0, 1},
            {"GetSupportFeature", AudioCapture, Kind::GetOnly, 0, 0},
        };
        // The band gains of the chip's equaliser, in dB.
        static const char* bands[] = {"EQ_Slider1", "EQ_Slider2", "EQ_Slider3", "EQ_Slider4", "EQ_Slider5",
                                      "EQ_Slider6", "EQ_Slider7", "EQ_Slider8", "EQ_Slider9", "EQ_Slider10"};
        for (const char* b : bands)
            t.push_back({b, AudioPlayback, Kind::Int, -24, 24});
        return t;
    }();
    return table;
}

const Property* find(int flow, const std::string& name)
{
    for (const Property& p : properties())
        if (p.flow == flow && name == p.name)
            return &p;
    return nullptr;
}

// The chip's devices: a digital output listed before the headset's speakers, and the microphone.
constexpr AudioDeviceInfo kDigitalOut{0x0100, 4, 0, 1};
constexpr AudioDeviceInfo kSpeakers{0x0101, 1, 0, 1};
constexpr AudioDeviceInfo kMicrophone{0x0200, 2, 0, 1};

std::string narrow(const std::u16string& s)
{
    std::string out;
    for (char16_t c : s)
        out += c < 0x80 ? char(c) : '?';
    return out;
}

void putText(uint8_t* buffer, const std::string& text)
{
    std::memset(buffer, 0, kAudioBufferBytes);
    for (size_t i = 0; i < text.size() && 2 * i + 1 < kAudioBufferBytes - 2; ++i) {
        const char16_t c = char16_t(text[i]);
        std::memcpy(buffer + 2 * i, &c, sizeof c);
    }
}

int32_t word(const uint8_t* buffer, int index)
{
    int32_t v = 0;
    std::memcpy(&v, buffer + 4 * index, sizeof v);
    return v;
}

} // namespace

SoundChipEmulator::SoundChipEmulator()
{
    // What a freshly installed chip reports; the effects have no value until first set.
    values_[{AudioCapture, "MuteControl"}] = 0;
    values_[{AudioCapture, "VolumeScalarControl"}] = 0.8;
    values_[{AudioCapture, "VolumeControl"}] = 80;
    values_[{AudioCapture, "AAMuteControl"}] = 1;
    values_[{AudioCapture, "AAVolumeScalarControl"}] = 0.5;
    values_[{AudioCapture, "AAVolumeControl"}] = 50;
}

void SoundChipEmulator::setPresent(bool present)
{
    std::lock_guard lock(mutex_);
    present_ = present;
}

void SoundChipEmulator::setInitFails(bool fails)
{
    std::lock_guard lock(mutex_);
    initFails_ = fails;
}

void SoundChipEmulator::setMonitoring(bool available)
{
    std::lock_guard lock(mutex_);
    monitoring_ = available;
}

void SoundChipEmulator::setFailingProperty(std::string property)
{
    std::lock_guard lock(mutex_);
    failing_ = std::move(property);
}

std::optional<double> SoundChipEmulator::value(int flow, const std::string& property) const
{
    std::lock_guard lock(mutex_);
    auto it = values_.find({flow, property});
    if (it == values_.end())
        return std::nullopt;
    return it->second;
}

std::vector<SoundChipEmulator::Set> SoundChipEmulator::sets() const
{
    std::lock_guard lock(mutex_);
    return sets_;
}

void SoundChipEmulator::clearSets()
{
    std::lock_guard lock(mutex_);
    sets_.clear();
}

int SoundChipEmulator::malformedCalls() const
{
    std::lock_guard lock(mutex_);
    return malformed_;
}

int SoundChipEmulator::ConfLibInit()
{
    std::lock_guard lock(mutex_);
    return initFails_ ? -1 : 0;
}

int SoundChipEmulator::CreateDeviceList()
{
    std::lock_guard lock(mutex_);
    listed_ = present_;
    return 0;
}

int SoundChipEmulator::GetDeviceCount(int flow, uint32_t* count)
{
    std::lock_guard lock(mutex_);
    if (!count)
        return -1;
    *count = !listed_ ? 0 : flow == AudioPlayback ? 2 : flow == AudioCapture ? 1 : 0;
    return 0;
}

int SoundChipEmulator::GetDeviceById(int flow, uint32_t index, AudioDeviceInfo* info)
{
    std::lock_guard lock(mutex_);
    if (!info || !listed_)
        return -1;
    if (flow == AudioPlayback && index < 2)
        *info = index == 0 ? kDigitalOut : kSpeakers;
    else if (flow == AudioCapture && index == 0)
        *info = kMicrophone;
    else
        return -1;
    return 0;
}

int SoundChipEmulator::flowOf(const AudioDeviceInfo& device) const
{
    if (device.word1 == kSpeakers.word1 && device.deviceType == kSpeakers.deviceType)
        return AudioPlayback;
    if (device.word1 == kMicrophone.word1 && device.deviceType == kMicrophone.deviceType)
        return AudioCapture;
    return -1; // the digital output has no properties of the headset
}

bool SoundChipEmulator::refuse()
{
    ++malformed_;
    return false;
}

int SoundChipEmulator::PropertyControl(AudioDeviceInfo device, const std::u16string& name, uint8_t* value, uint8_t* second,
                                       int set)
{
    std::lock_guard lock(mutex_);
    if (!present_ || !value)
        return -1;
    const int flow = flowOf(device);
    const std::string property = narrow(name);
    const Property* p = flow < 0 ? nullptr : find(flow, property);
    if (!p) {
        refuse();
        return -1;
    }
    if (!set) {
        if (property == "GetSupportFeature") {
            // Fields 0, 4 and 6 are the feature words; the capture side offers the voice effect.
            putText(value, flow == AudioCapture ? "131072,0,0,0,7,0,3" : "0,0,0,0,1,0,1");
            return 0;
        }
        if (property == "GetAAMaxVol") {
            if (!monitoring_)
                return -1;
            putText(value, "100");
            return 0;
        }
        if ((property.rfind("AA", 0) == 0) && !monitoring_)
            return -1;
        auto it = values_.find({flow, property});
        if (it == values_.end())
            return -1;
        char text[32];
        if (p->kind == Kind::Fraction)
            std::snprintf(text, sizeof text, "%.6g", it->second);
        else
            std::snprintf(text, sizeof text, "%d", int(std::lround(it->second)));
        putText(value, text);
        return 0;
    }

    if (p->kind == Kind::GetOnly)
        return refuse() ? 0 : -1;
    double v = 0;
    if (p->kind == Kind::Fraction) {
        float f = 0;
        std::memcpy(&f, value, sizeof f);
        v = f;
        if (!std::isfinite(f))
            return refuse() ? 0 : -1;
    } else {
        v = word(value, 0);
    }
    if (v < p->minimum || v > p->maximum)
        return refuse() ? 0 : -1;
    switch (p->channel) {
    case Property::NoChannel:
        break;
    case Property::MicChannel:
        if (!second || word(second, 0) != -1)
            return refuse() ? 0 : -1;
        break;
    case Property::MonitorChannel:
        if (!second || (word(second, 0) != 0 && word(second, 0) != 1))
            return refuse() ? 0 : -1;
        break;
    case Property::SurroundWords:
        if (!second || word(second, 0) != 4 || word(second, 1) != -1 || word(second, 2) != 0)
            return refuse() ? 0 : -1;
        break;
    }
    if (property == failing_)
        return -1;
    if (property.rfind("AA", 0) == 0 && !monitoring_)
        return -1;
    values_[{flow, property}] = v;
    sets_.push_back({flow, property, v});
    return 0;
}

} // namespace q9::sim
