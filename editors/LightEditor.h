#pragma once
// The lighting editor of one device: shows a light record (effect, brightness, speed, direction,
// colour, multi-colour, the keyboard's custom group and second mode) and the audio light record,
// and tells the window's handlers what its controls hold. It works on the controls of the skin's
// "LightControl.xml" tree, found by name; which of them are usable follows the device kind and the
// effect (LightLayout.h).
#include "profile/ProfileRecords.h"

#include <QPointer>
#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace q9::ui {
class Control;
}

namespace q9::editors {

// 0xFFrrggbb, the form in which the editor shows and reports colours.
constexpr uint32_t argb(uint8_t r, uint8_t g, uint8_t b) { return 0xFF000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | b; }

class CLightControlUI {
public:
    explicit CLightControlUI(ui::Control* root = nullptr) : root_(root) {}
    void attach(ui::Control* root);
    ui::Control* root() const { return root_; }

    // One row per text id (translated; the id is the row's user data too), hidden where its flag is
    // 0; the slider ranges are 0 … maxLight and 0 … maxSpeed.
    void SetEffectList(const std::vector<std::wstring>& names, const std::vector<uint8_t>& visible, int maxLight, int maxSpeed);
    void SetLightKind(int kind);
    int lightKind() const { return kind_; }
    void SetLightInfo(const LightInfoRecord& record);
    void SetSameModeAllowed(bool allowed);
    bool sameModeAllowed() const { return sameAllowed_; }
    // Enables, shows and captions the controls for the kind and effect `mode`.
    void ApplyModeLayout(int mode);

    void SetColor(uint32_t colour);
    void SetMultiColor(bool on);
    void SetFx(bool left);
    void SetMode(int row);
    void SetCustomGroup(int row);
    void SetSecondMode(int row);
    void SetLight(int v);
    void SetSpeed(int v);
    void SetRed(const QString& text);
    void SetGreen(const QString& text);
    void SetBlue(const QString& text);

    // What the controls hold; the defaults when a control is missing.
    int GetMode() const;          // -1
    int GetCustomGroup() const;   // -1
    int GetSecondMode() const;    // -1
    int GetLight() const;         // 0
    int GetSpeed() const;         // 0
    QString GetRed() const;       // ""
    QString GetGreen() const;
    QString GetBlue() const;
    uint32_t GetColor() const;    // 0xFF000000
    bool GetMultiColor() const;
    uint32_t GetOptionColor(int n) const;       // 0
    uint32_t GetAudioOptionColor(int n) const;  // 0
    uint32_t GetAudioPaletteColor() const;      // 0xFF000000

    // The audio light controls. A missing control is a fault of the skin: the operation ends, the
    // fault is traced, and nothing is returned.
    bool SetAudioLightInfo(const AudioLightRecord& record);
    std::optional<AudioLightRecord> GetAudioLightInfo(bool withColour);
    // The number in audio edit 'R', 'G' or 'B', held to 0 … 255 (empty is 0).
    std::optional<int> GetAudioEditValue(char component) const;

    ui::Control* find(const char* name) const;

private:
    void showColour(uint32_t colour);

    QPointer<ui::Control> root_;
    int kind_ = 0;
    bool sameAllowed_ = false;
    AudioLightRecord audio_;
    mutable std::map<std::string, QPointer<ui::Control>> found_;
};

// Into the colour the record's colorType selects (1 foreground, else background).
void setAudioColour(AudioLightRecord& r, uint8_t red, uint8_t green, uint8_t blue);

// A colour component typed into an edit: above 255 is 255, empty or not a number is 0.
int componentValue(const QString& text);

} // namespace q9::editors
