// The headset's sound settings: what its page's controls do on the sound chip and in the profile.
#include "device/DeviceEnvironment.h"
#include "device/HeadsetDevice.h"
#include "platform/Trace.h"

#include <algorithm>
#include <cmath>
#include <cwctype>

namespace q9 {

namespace {

using Side = AudioChipLink::Side;
constexpr Side P = AudioChipLink::Playback, C = AudioChipLink::Capture;

// Band gains (dB) of the twelve preset curves, 31 Hz to 16 kHz.
constexpr int kPresets[editors::kEqPresetCount][kEqBands] = {
    {7, 11, 2, -3, -1, 4, 9, 12, 9, 5},       {7, 11, 6, -3, -11, -1, 6, 13, 6, 13}, {10, 4, 0, -3, -4, -3, -2, -1, 0, 0},
    {2, 1, -2, -3, -5, -7, 0, 4, 9, 8},       {0, 0, 0, 0, 0, 0, 0, 0, 0, 0},         {7, 14, -13, -6, -1, 8, 13, 7, 2, 6},
    {14, 10, 4, 0, -4, -3, -1, 1, 2, 3},      {2, 1, -2, -3, -5, -1, 7, 11, 15, 13}, {8, 2, -4, -8, 1, 3, 8, 11, 14, 16},
    {-3, 4, 10, 0, -11, 3, 9, 13, 6, 0},      {18, 14, 8, 2, -3, -6, -1, 2, 5, 6},    {2, 1, -2, -4, -8, 4, 12, 16, 18, 15},
};

constexpr int kMaxUserEqs = 20;
constexpr uint32_t kVoiceEffectFeature = 0x20000;

const char* bandProperty(int i)
{
    static const char* names[kEqBands] = {"EQ_Slider1", "EQ_Slider2", "EQ_Slider3", "EQ_Slider4", "EQ_Slider5",
                                          "EQ_Slider6", "EQ_Slider7", "EQ_Slider8", "EQ_Slider9", "EQ_Slider10"};
    return names[i];
}

bool sameName(const std::wstring& a, const std::wstring& b)
{
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

void tell(const char* text)
{
    trace(text);
    if (deviceEnvironment().tellUser)
        deviceEnvironment().tellUser(text);
}

} // namespace

void CTarvenixHX4120Device::saveHeadset()
{
    headsetProfile().SetHeadsetSystem(system_);
    saveProfile();
}

void CTarvenixHX4120Device::sectionTaken()
{
    CHx4120Profiledata& doc = headsetProfile();
    system_ = doc.GetHeadsetSystem();
    bands_ = system_.eqType == kCustomEqType ? doc.GetCustomEqValues(system_.customEqSelectIndex) : doc.GetEqValues(system_.eqType);
    customNames_ = doc.GetCustomEqNames();
}

CTarvenixHX4120Device::EqApplied CTarvenixHX4120Device::profileEq()
{
    CHx4120Profiledata& doc = headsetProfile();
    const HeadsetSystemRecord r = doc.GetHeadsetSystem();
    return {r.eqType, r.customEqSelectIndex,
            r.eqType == kCustomEqType ? doc.GetCustomEqValues(r.customEqSelectIndex) : doc.GetEqValues(r.eqType)};
}

void CTarvenixHX4120Device::refreshPage()
{
    CTarvenixMousePadDevice::refreshPage();
    magic_.SetAudioAvailable(audio_.has(C));
    magic_.SetEffectOn(system_.magicEnable != 0);
    magic_.SelectEffect(system_.magicType);
    voice_.SetAudioAvailable(audio_.has(P));
    voice_.SetMicIn(system_.micInSelect != 0, system_.micInValue);
    voice_.SetMonitor(system_.micMonitorSelect != 0, system_.micMonitorValue, monitoring_);
    voice_.SetEqType(system_.eqType);
    voice_.SetCustomNames(customNames_, system_.customEqSelectIndex);
    voice_.SetBands(bands_);
    virtual_.SetSurround(surround_, audio_.has(P));
}

void CTarvenixHX4120Device::InitAudio()
{
    audio_ = AudioChipLink(deviceEnvironment().audioLibrary);
    if (!audio_.loaded()) {
        trace("声卡配置库未加载");
        return;
    }
    if (!audio_.open(tell))
        return;

    // The chip's settings that were never given a value get the program's defaults.
    struct Default {
        Side side;
        const char* property;
        enum { Int, Fraction, Surround } kind;
        std::optional<int32_t> channel;
    };
    std::vector<Default> defaults = {
        {P, "VirtualSurroundEffectControl", Default::Surround, {}},
        {C, "Enable_ENC_LFX", Default::Int, {}},
        {C, "VolumeControl", Default::Int, -1},
        {P, "Enable_EQ_GFX", Default::Int, {}},
    };
    for (int i = 0; i < kEqBands; ++i)
        defaults.push_back({P, bandProperty(i), Default::Int, {}});
    const std::vector<Default> rest = {
        {P, "Enable_RFX_GFX", Default::Int, {}},        {P, "RFX_ENVIRONMENT", Default::Int, {}},
        {P, "RFX_ROOMSIZE", Default::Int, {}},          {C, "MuteControl", Default::Int, {}},
        {C, "VolumeScalarControl", Default::Fraction, -1}, {C, "AAVolumeControl", Default::Int, 0},
        {C, "AAMuteControl", Default::Int, {}},         {C, "AAVolumeScalarControl", Default::Fraction, 0},
        {C, "Enable_MAGICVOICE", Default::Int, {}},     {C, "MagicVoice_Selection", Default::Int, {}},
    };
    defaults.insert(defaults.end(), rest.begin(), rest.end());
    for (const Default& d : defaults) {
        if (audio_.get(d.side, d.property))
            continue;
        if (d.kind == Default::Surround)
            audio_.setSurround(0);
        else if (d.kind == Default::Fraction)
            audio_.setFraction(d.side, d.property, 0.0f, *d.channel);
        else
            audio_.setInt(d.side, d.property, 0, d.channel);
    }
    ReadAudioState();
}

void CTarvenixHX4120Device::ReadAudioState()
{
    if (!audio_.has(C) && !audio_.has(P))
        return;
    if (auto v = audio_.get(C, "MuteControl"))
        system_.micInSelect = *v == 0 ? 1 : 0;
    if (auto v = audio_.get(C, "VolumeScalarControl"))
        system_.micInValue = int(*v * 100);
    monitoring_ = audio_.get(C, "GetAAMaxVol").has_value();
    if (monitoring_) {
        if (auto v = audio_.get(C, "AAMuteControl"))
            system_.micMonitorSelect = *v == 0 ? 1 : 0;
        if (auto v = audio_.get(C, "AAVolumeScalarControl"))
            system_.micMonitorValue = int(*v * 100);
    }
    if (audio_.device(C).featureFlags & kVoiceEffectFeature)
        if (auto v = audio_.get(C, "Enable_MAGICVOICE"))
            system_.magicEnable = int(*v);
    if (auto v = audio_.get(C, "MagicVoice_Selection"); v && *v >= 0 && *v <= 3)
        system_.magicType = int(*v) + 1;
    if (auto v = audio_.get(P, "VirtualSurroundEffectControl"))
        surround_ = *v != 0;
}

void CTarvenixHX4120Device::ToggleMicMute()
{
    const bool muted = !voice_.MicInOn();
    if (audio_.setInt(C, "MuteControl", muted ? 1 : 0)) {
        system_.micInSelect = muted ? 0 : 1;
        saveHeadset();
    } else {
        // The switch shows what the microphone does, not what was asked of it.
        voice_.SetMicIn(system_.micInSelect != 0, voice_.MicInLevel());
    }
}

void CTarvenixHX4120Device::SetMicLevel()
{
    const int level = voice_.MicInLevel();
    if (audio_.setFraction(C, "VolumeScalarControl", float(level) / 100.0f, -1)) {
        system_.micInValue = level;
        saveHeadset();
    } else {
        voice_.SetMicIn(voice_.MicInOn(), system_.micInValue);
    }
}

void CTarvenixHX4120Device::ToggleMonitorMute()
{
    const bool muted = !voice_.MonitorOn();
    if (audio_.setInt(C, "AAMuteControl", muted ? 1 : 0)) {
        system_.micMonitorSelect = muted ? 0 : 1;
        saveHeadset();
    } else {
        voice_.SetMonitor(system_.micMonitorSelect != 0, voice_.MonitorLevel(), monitoring_);
    }
}

void CTarvenixHX4120Device::SetMonitorLevel()
{
    const int level = voice_.MonitorLevel();
    if (audio_.setFraction(C, "AAVolumeScalarControl", float(level) / 100.0f, 0)) {
        system_.micMonitorValue = level;
        saveHeadset();
    } else {
        voice_.SetMonitor(voice_.MonitorOn(), system_.micMonitorValue, monitoring_);
    }
}

void CTarvenixHX4120Device::showBands(const std::vector<int>& values)
{
    bands_ = values;
    bands_.resize(kEqBands, 0);
    voice_.SetBands(bands_);
}

void CTarvenixHX4120Device::writeBands(const std::vector<int>& values)
{
    audio_.setInt(P, "Enable_EQ_GFX", 1);
    for (int i = 0; i < kEqBands && i < int(values.size()); ++i)
        audio_.setInt(P, bandProperty(i), values[size_t(i)]);
}

void CTarvenixHX4120Device::SelectEqType(int n)
{
    if (n == kCustomEqType) {
        system_.eqType = kCustomEqType;
        voice_.SetEqType(kCustomEqType);
        ApplyCustomEq();
        saveHeadset();
        applied_ = profileEq();
        return;
    }
    if (n < 1 || n > editors::kEqPresetCount)
        return;
    const std::vector<int> preset(std::begin(kPresets[n - 1]), std::end(kPresets[n - 1]));
    showBands(preset);
    writeBands(preset);
    system_.eqType = n;
    voice_.SetEqType(n);
    headsetProfile().SetHeadsetSystem(system_);
    headsetProfile().SetEqValues(n, preset);
    saveProfile();
    applied_ = profileEq();
}

void CTarvenixHX4120Device::SetEqBand(int i)
{
    if (i < 0 || i >= kEqBands)
        return;
    if (system_.eqType != kCustomEqType) {
        system_.eqType = kCustomEqType;
        voice_.SetEqType(kCustomEqType);
        voice_.SelectCustom(-1);
        voice_.ClearNameEdit();
    }
    const int value = voice_.GetBand(i);
    voice_.ShowBandCaption(i, value);
    audio_.setInt(P, bandProperty(i), value);
}

void CTarvenixHX4120Device::ApplyCustomEq()
{
    const int index = voice_.SelectedCustom();
    if (index < 0)
        return;
    voice_.ClearNameEdit();
    const std::vector<int> values = headsetProfile().GetCustomEqValues(index);
    writeBands(values);
    showBands(values);
    system_.customEqSelectIndex = index;
    saveHeadset();
    applied_ = profileEq();
}

int CTarvenixHX4120Device::SaveCustomEq()
{
    const std::wstring name = voice_.NameEditText();
    std::vector<std::wstring> names = voice_.CustomNames();
    int index = voice_.SelectedCustom();
    if (name.empty()) {
        if (index < 0)
            return -1;
    } else {
        if (int(names.size()) >= kMaxUserEqs)
            return -1;
        if (std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return sameName(n, name); }))
            return 0;
        names.push_back(name);
        index = int(names.size()) - 1;
        customNames_ = names;
        voice_.SetCustomNames(names, index);
        voice_.ClearNameEdit();
    }
    bands_ = voice_.GetBands();
    system_.eqType = kCustomEqType;
    system_.customEqSelectIndex = index;
    CHx4120Profiledata& doc = headsetProfile();
    doc.SetHeadsetSystem(system_);
    doc.SetCustomEqValues(index, bands_);
    if (!name.empty())
        doc.SetCustomEqNames(names);
    saveProfile();
    applied_ = profileEq();
    return 1;
}

void CTarvenixHX4120Device::DeleteCustomEq()
{
    const int index = voice_.SelectedCustom();
    std::vector<std::wstring> names = voice_.CustomNames();
    if (index < 0 || index >= int(names.size()))
        return;
    CHx4120Profiledata& doc = headsetProfile();
    // Names and stored curves stay paired: the later ones move up by one.
    for (int i = index; i + 1 < int(names.size()); ++i)
        doc.SetCustomEqValues(i, doc.GetCustomEqValues(i + 1));
    doc.SetCustomEqValues(int(names.size()) - 1, std::vector<int>(kEqBands, 0));
    names.erase(names.begin() + index);
    customNames_ = names;
    if (names.empty()) {
        system_.eqType = 1;
        voice_.SetCustomNames(names, -1);
        voice_.SetEqType(1);
        showBands(doc.GetEqValues(1));
    } else {
        system_.customEqSelectIndex = 0;
        voice_.SetCustomNames(names, 0);
        showBands(doc.GetCustomEqValues(0));
    }
    doc.SetCustomEqNames(names);
    saveHeadset();
    // The chip keeps the curve it plays until another is chosen.
    applied_ = profileEq();
}

void CTarvenixHX4120Device::ToggleVoiceEffect()
{
    const bool on = magic_.IsEffectOn();
    magic_.SetLayoutEnabled(on);
    audio_.setInt(C, "Enable_MAGICVOICE", on ? 1 : 0);
    if (on)
        audio_.setInt(C, "Enable_MICECHO", 0);
    system_.magicEnable = on ? 1 : 0;
    saveHeadset();
}

void CTarvenixHX4120Device::SelectVoiceEffect(int n)
{
    if (n < 1 || n > 4)
        return;
    audio_.setInt(C, "MagicVoice_Selection", n - 1);
    system_.magicType = n;
    magic_.SelectEffect(n);
    saveHeadset();
}

void CTarvenixHX4120Device::ToggleSurround()
{
    const bool on = virtual_.SurroundOn();
    if (audio_.setSurround(on ? 1 : 0))
        surround_ = on;
    else
        virtual_.SetSurround(surround_, audio_.has(P));
}

int CTarvenixHX4120Device::writeSettings(int, int, int, int, int)
{
    // A profile chosen or reset: its equaliser goes to the chip; anything else leaves it alone.
    if (!audio_.has(P))
        return 1;
    const EqApplied wanted = profileEq();
    if (applied_ != wanted) {
        writeBands(wanted.bands);
        applied_ = wanted;
    }
    return 1;
}

} // namespace q9
