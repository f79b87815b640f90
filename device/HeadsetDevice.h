#pragma once
// The USB headset (kind 7): 13 light zones, no keys, on its cable only. Its lighting and profile
// work as the mouse pad's; its lights are driven by the host, frame by frame, with colour output
// reports while host light control is on. Its sound settings go to its sound chip's
// configuration library instead (equaliser, microphone and its monitoring, voice effect, virtual
// surround); the profile keeps the equaliser, the chip keeps the rest.
#include "device/AudioChipLink.h"
#include "device/HeadsetEffects.h"
#include "device/MousePadDevice.h"
#include "editors/HeadsetEditor.h"
#include "profile/Hx4120Profiledata.h"

#include <array>
#include <mutex>
#include <optional>

namespace q9 {

class CTarvenixHX4120Device : public CTarvenixMousePadDevice {
    Q_OBJECT
public:
    explicit CTarvenixHX4120Device(QWidget* parent = nullptr);
    ~CTarvenixHX4120Device() override;
    ui::Control* getInterface(const QString& className) override;

    void bindPageControls() override;
    // The headset has no settings memory to read: the profile and the page are all there is.
    void syncFromDevice() override;
    void paintLights() override;
    void refreshPage() override;
    // Nothing of the pad's settings path goes to the headset: its lights follow the host's colour
    // reports. What it writes is the profile's equaliser, to the sound chip, when it changed.
    int writeSettings(int slot, int firstByte, int flag, int screenWidth, int screenHeight) override;

    // The sound settings, run by the window for the controls of the same names.
    void InitAudio();
    void ReadAudioState();
    void ToggleMicMute();
    void SetMicLevel();
    void ToggleMonitorMute();
    void SetMonitorLevel();
    void SelectEqType(int n);
    void SetEqBand(int i);
    void ApplyCustomEq();
    // 1 saved; 0 the name is taken; -1 nothing to save under (no name and none selected) or full.
    int SaveCustomEq();
    void DeleteCustomEq();
    void ToggleVoiceEffect();
    void SelectVoiceEffect(int n);
    void ToggleSurround();

    const HeadsetSystemRecord& headsetSystem() const { return system_; }
    const std::vector<int>& bands() const { return bands_; }
    const std::vector<std::wstring>& customEqNames() const { return customNames_; }
    bool surroundOn() const { return surround_; }
    CHx4120Profiledata& headsetProfile() { return static_cast<CHx4120Profiledata&>(profile()); }
    editors::CVoice4120ControlUI& soundEditor() { return voice_; }
    editors::CMagicControlUI& voiceEffectEditor() { return magic_; }
    const AudioChipLink& audio() const { return audio_; }

protected:
    int stepPreview(int64_t now) override;
    bool lightsFollowPreview() const override { return hostLightControl(); }
    void sectionTaken() override;

private:
    // The equaliser last given to the chip from the profile (type, user-defined entry, bands).
    struct EqApplied {
        int type;
        int custom;
        std::vector<int> bands;
        bool operator==(const EqApplied&) const = default;
    };
    void saveHeadset();
    void showBands(const std::vector<int>& values);
    void writeBands(const std::vector<int>& values);
    // The equaliser the profile document holds (not the page's unsaved band changes).
    EqApplied profileEq();

    AudioChipLink audio_;
    editors::CVoice4120ControlUI voice_;
    editors::CMagicControlUI magic_;
    editors::CVirtualSetControlUI virtual_;
    HeadsetSystemRecord system_{};
    std::vector<int> bands_ = std::vector<int>(kEqBands, 0);
    std::vector<std::wstring> customNames_;
    bool monitoring_ = false;
    bool surround_ = false;
    std::optional<EqApplied> applied_;

    std::mutex effectsMutex_;
    headset::HeadsetEffects effects_;
    uint8_t effectShown_ = 255;
};

} // namespace q9
