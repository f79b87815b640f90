#pragma once
// The keyboard: on its cable (kind 1) or through its 2.4 GHz receiver (kind 9). Reads its key block
// with the LED of every key, shows and changes its lighting and typing options, keeps them in its
// profiles and writes its 45-byte settings record; polls the battery and reacts to its events.
#include "device/DeviceProfile.h"
#include "device/KeyboardEffects.h"
#include "device/KeyboardRecords.h"
#include "device/UsbDevice.h"
#include "profile/KeyboardProfiledata.h"
#include "profile/ProfileList.h"

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace q9 {

class CTarvenixKeyboardDevice : public CTarvenixUSBDevice {
    Q_OBJECT
public:
    static constexpr int kKeys = 170;
    static constexpr uint8_t kNoKey = 255;

    explicit CTarvenixKeyboardDevice(QWidget* parent = nullptr);
    ~CTarvenixKeyboardDevice() override;
    ui::Control* getInterface(const QString& className) override;

    void bindPageControls() override { buildPage(); }
    int noDeviceKey() const override { return kNoKey; }
    void buildPage();
    int applyProfileLight() override;
    void syncFromDevice() override;
    void writePending() override;
    void linkOpened() override;
    void readSettings() override;
    void pollPower() override;
    int isReceiverLinkUp() override;
    int loadProfile() override;
    void refreshPage() override;
    bool loadDefaultProfile() override;
    int writeSettings(int slot, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void loadAuxiliaryData() override;
    void showFunctionTab(int type) override;
    void setDocumentPaths() override;
    std::wstring profilePath() const override { return profile_.GetProfilePath(); }
    void saveProfile() override;
    void setLightState(const LightInfoRecord& state) override;
    void commitAudioLight(const AudioLightRecord& record) override;
    void paintLights() override;
    // The first three values are the colour of the host-colour effect.
    void setAudioLevels(const int32_t* levels, int count) override;
    void setAudioAux(const int32_t* values, int count) override;

    // Custom colours (effect 20): five groups on the keyboard, kept in the profile too.
    static constexpr uint8_t kCustomColours = 20;
    static constexpr int kGroups = 5;
    // Reads the five pages from the keyboard into the profile.
    bool readColourGroups();
    // The picture shows the profile's selected group, which is written to the keyboard.
    void showColorGroup();
    // As showColorGroup, without selecting the group in the editor.
    void reloadColorGroup();
    // The typing rate and delay back to the default profile's.
    void resetRepeat();
    // The lighting editor chose group g.
    void setColorGroup(int g);
    // A key of the picture clicked while the custom colours are shown: it takes the light colour,
    // and the group is kept and written.
    void paintKeyColor(int key);
    void paintKeyColors(const std::vector<int>& keys);
    // The brush of the custom colours: the light colour, or off (dark).
    void setBrush(bool on) { brushOn_ = on; }
    bool brush() const { return brushOn_; }
    // Every key lit in the light colour, or dark; the group is kept and written.
    void fillKeyColors(bool on);
    int colourGroup() { return profile_.GetColorGroupIndex(); }

    // Typing options of the page; each ends in store, save and (for the device's own) write.
    void onRepeatRate(int value);
    void onRepeatDelay(int n);
    void onWinLock(bool on);
    void onWFlag(bool on);
    void onSixKey(bool on);
    void onReportRate(int n);

    // What the keyboard and its profile hold.
    const std::vector<uint8_t>& deviceKeyOf() const { return maps_.deviceKey; } // per picture key, 255: none
    const std::vector<uint8_t>& ledOf() const { return maps_.led; }
    const std::vector<int>& effectCodes() const { return effectCodes_; }
    KeyboardSystemRecord keyboardSystem() const { return system_; }
    int currentSlot() const { return currentSlot_; }
    CKeyboardProfiledata& profile() { return profile_; }
    ProfileList& profileList() { return profiles_; }
    ProfileList* profiles() override { return &profiles_; }
    CDeviceProfileUI profileBar() { return CDeviceProfileUI(this, profiles_); }

protected:
    CBasicProfiledata* document() override { return &profile_; }
    bool readInfoAndKeyBlock() override;
    void onDeviceEvent(uint16_t code, bool cableReader) override;
    uint16_t eventCode(HidTransport& reader, const uint8_t* report, size_t length) override;
    const char* previewExitTrace() const override { return "KB灯光线程设定退出"; }
    int stepPreview(int64_t now) override;
    static int stepPeriod(const LightInfoRecord& s);
    int previewFrameMs() const override { return 160; } // 170 lights: six frames a second
    // The host's effects (audio, host colours) are streamed to the keyboard from the preview.
    bool lightsFollowPreview() const override;

private:
    bool writeColourGroup(int g, const std::vector<KeyColor>& colours);
    void showColours(const std::vector<KeyColor>& colours);
    void takeProfileSection(const std::wstring& path);
    void storeSystemAndWrite(bool write);
    void writeDone(bool ok);
    ui::Control* find(const QString& name) const;

    CKeyboardProfiledata profile_;
    ProfileList profiles_;
    KeyboardKeyMaps maps_{std::vector<uint8_t>(kKeys, kNoKey), std::vector<uint8_t>(kKeys, kNoKey)};
    KeyboardSystemRecord system_;
    int currentSlot_ = 0;
    uint8_t selectedGroup_ = 0; // byte 17 of the record, from event 0x11xy
    bool settingsPending_ = false;
    bool writeFailureTold_ = false;
    std::vector<std::wstring> effectNames_, areaLightNames_, customLightNames_;
    std::vector<uint8_t> effectVisible_;
    std::vector<int> effectCodes_;
    std::atomic<uint64_t> hostDrivenRows_{0}; // rows of the effect list whose effect the host computes
    std::vector<KeyColor> groupColours_; // shown by effect 20; under lightListMutex_
    int64_t streamPausedUntil_ = 0;
    bool brushOn_ = true;
    std::atomic<uint32_t> hostColour_{0}; // red << 16 | green << 8 | blue
    // The keyboard's own effects, stepped by the preview thread and fed key presses by the event
    // readers; the key maps are read by the readers too.
    std::mutex effectsMutex_;
    keyboard::KeyboardEffects effects_;
    uint8_t effectShown_ = 255;      // after a failed frame the stream rests a while
};

} // namespace q9
