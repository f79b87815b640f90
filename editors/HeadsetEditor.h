#pragma once
// The headset's sound page (equaliser, user-defined curves, microphone and its monitoring) and its
// voice-effect page, on the controls of the skin's "Voice4120Control.xml" and "MagicControl.xml".
// Setters change the controls without notifications; the device object reads what the user chose.
#include "ui/ControlCache.h"

#include <string>
#include <vector>

namespace q9::editors {

constexpr int kEqBandCount = 10;
constexpr int kEqPresetCount = 12;
constexpr int kUserEqType = 13;

class CVoice4120ControlUI {
public:
    explicit CVoice4120ControlUI(ui::Control* root = nullptr) : controls_(root) {}
    ui::Control* root() const { return controls_.root(); }

    // Selects equaliser option `type` (1-13); the user-defined row shows only for type 13.
    void SetEqType(int type);
    int EqType() const; // 0 when none is selected
    void ShowCustomLayout(bool show);
    bool CustomLayoutShown() const;

    // Band i (0-9); reading a missing slider gives -1.
    int GetBand(int i) const;
    void SetBand(int i, int value);
    std::vector<int> GetBands() const;
    void SetBands(const std::vector<int>& values);
    // The value caption of band i follows its slider while it is dragged.
    void ShowBandCaption(int i, int value);

    void SetCustomNames(const std::vector<std::wstring>& names, int selected);
    std::vector<std::wstring> CustomNames() const;
    int SelectedCustom() const; // -1 when none
    void SelectCustom(int index); // -1 selects none
    std::wstring NameEditText() const;
    void ClearNameEdit();

    void ShowLevelCaption(const std::string& caption, int level);
    void SetMicIn(bool on, int level);
    bool MicInOn() const;
    int MicInLevel() const;
    void SetMonitor(bool on, int level, bool available);
    bool MonitorOn() const;
    int MonitorLevel() const;

    // Without the sound chip's library the page says so and its controls are disabled.
    void SetAudioAvailable(bool available);

private:
    ui::ControlCache controls_;
};

class CMagicControlUI {
public:
    explicit CMagicControlUI(ui::Control* root = nullptr) : controls_(root) {}
    ui::Control* root() const { return controls_.root(); }

    void SetLayoutEnabled(bool enabled);
    void SetEffectOn(bool on);
    bool IsEffectOn() const;
    // Selects effect a (1-4) silently; any other a selects none and is remembered as 0.
    void SelectEffect(int a);
    int SelectedEffect() const { return effect_; }
    void SetAudioAvailable(bool available);

private:
    ui::ControlCache controls_;
    int effect_ = 0;
};

// The virtual 7.1 page: one switch for the chip's virtual surround.
class CVirtualSetControlUI {
public:
    explicit CVirtualSetControlUI(ui::Control* root = nullptr) : controls_(root) {}
    void SetSurround(bool on, bool available);
    bool SurroundOn() const;

private:
    ui::ControlCache controls_;
};

} // namespace q9::editors
