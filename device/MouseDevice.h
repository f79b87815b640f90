#pragma once
// The mouse: reached on its cable (kind 2) or through its 2.4 GHz receiver (kind 6). Reads its
// device information, key block and settings, shows them on its page, writes settings, key
// assignments, macros and shoot sequences, polls the battery and reacts to its events.
#include "device/DeviceProfile.h"
#include "device/MouseRecords.h"
#include "device/UsbDevice.h"
#include "profile/MouseProfiledata.h"
#include "profile/ProfileList.h"

#include <array>
#include <optional>

namespace q9 {
namespace editors {
class CShootControlUI;
}

class CTarvenixMouseDevice : public CTarvenixUSBDevice {
    Q_OBJECT
public:
    static constexpr int kKeys = 11;
    static constexpr int kStages = 7;
    // The factory action of each picture key: how the key is found in the device's key block.
    static const std::array<std::array<uint8_t, 3>, kKeys>& factoryCodes();

    explicit CTarvenixMouseDevice(QWidget* parent = nullptr);
    ~CTarvenixMouseDevice() override;
    ui::Control* getInterface(const QString& className) override;

    void bindPageControls() override { buildPage(); }
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
    void repairMacroKeys() override;
    bool loadDefaultProfile() override;
    void showGameLight(const LightInfoRecord& game) override;
    void endGameLight() override;
    int writeSettings(int slot, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void loadAuxiliaryData() override;
    void showFunctionTab(int type) override;
    void setDocumentPaths() override;
    std::wstring profilePath() const override { return profile_.GetProfilePath(); }
    void saveProfile() override;
    void setLightIndex(int n) override;
    void setLightState(const LightInfoRecord& state) override;
    void commitLight(const LightInfoRecord& record, bool syncDriven) override;
    LightInfoRecord chosenLight() const override { return userLight_ ? *userLight_ : lightState(); }
    void commitAudioLight(const AudioLightRecord& record) override;
    void paintLights() override;
    // The four shoot sequences of the data folder, to shoot memory.
    int writeShootSequences();
    // The page's shoot editor (the guns of the data folder); null until the page is built.
    editors::CShootControlUI* shootEditor() const { return shootEditor_.get(); }

    // Page changes; each ends in store, save and write.
    void onDpiEnable(int n, bool on);
    void onDpiSliderMoved(int n);
    void onDpiStep(int n, int step);   // slider let go
    void onDpiEditDone(int n);         // edit lost the focus
    void onDpiSelect(int n);
    void onDpiColour(int n, uint32_t rgb);
    void onReportRate(int n);
    void onSilentAltitude(int n);
    void onLinearCalibration(int n);
    void onRipple(int n);
    void onDebounceSelected();
    void onSleepSelected(const QString& comboName);
    void showSettingsPage(int n);
    // Pointer options: kept in the profile only (nothing goes to the device or the system).
    void onPointerSpeed(int value);
    void onPointerPrecision(bool on);
    void onScrollSpeed(int value);
    void onScrollByPage(bool on);
    void onDoubleClickTime(int value);

    // What the mouse and its profile hold.
    uint16_t sensor() const { return uint16_t(info_[9] | info_[10] << 8); }
    int dpiStep() const { return info_[11]; }
    int dpiBase() const { return info_[14] | info_[15] << 8; }
    int currentSlot() const { return currentSlot_; }
    const std::vector<DpiStage>& dpiStages() const { return dpiStages_; }
    int currentDpiStage() const { return currentDpiStage_; }
    const MouseSystemRecord& mouseSystem() const { return system_; }
    CMouseProfiledata& profile() { return profile_; }
    const std::vector<std::wstring>& macroNames() const { return macroNames_; }
    const std::vector<int>& effectCodes() const { return effectCodes_; }
    ProfileList& profileList() { return profiles_; }
    ProfileList* profiles() override { return &profiles_; }
    CDeviceProfileUI profileBar() { return CDeviceProfileUI(this, profiles_); }

    // The mouse's own preview effects.
    void effectWave();
    void effectRunningLight();
    void effectRandomFlash();

protected:
    CBasicProfiledata* document() override { return &profile_; }
    bool readInfoAndKeyBlock() override;
    void onDeviceEvent(uint16_t code, bool cableReader) override;
    uint16_t eventCode(HidTransport& reader, const uint8_t* report, size_t length) override;
    const char* readerExitTrace() const override { return "MS 设备同步线程设定退出"; }
    int stepPreview(int64_t now) override;

private:
    void storeAndWrite();
    int dpiOfStage(int n) const;
    void setStageStep(int n, int step);
    void applyDpiRanges();
    // Reads a profile section into the page's state, held to what this mouse accepts.
    void takeProfileSection(const std::wstring& path);
    MouseLimits limits() const;
    // Tells the window of a failed write once, until a write succeeds again.
    void writeDone(bool ok);
    ui::Control* find(const QString& name) const;

    CMouseProfiledata profile_;
    ProfileList profiles_;
    std::array<uint8_t, kMouseRecordSize> settings_{};
    uint8_t previousSlotByte_ = 0;
    std::array<uint8_t, 16> previousHead_{};
    int currentSlot_ = 0;
    std::vector<DpiStage> dpiStages_;
    int currentDpiStage_ = 0;
    MouseSystemRecord system_;
    // Writes owed to the mouse for changes it did not take (link down, paused, refused).
    bool settingsPending_ = false;
    // Read from the mouse over the current link.
    bool infoRead_ = false;
    bool writeFailureTold_ = false;
    // The user's light state while a game's effect is shown.
    std::optional<LightInfoRecord> userLight_;
    std::vector<std::wstring> effectNames_, areaLightNames_, customLightNames_, macroNames_;
    std::vector<uint8_t> effectVisible_;
    std::vector<int> effectCodes_;
    std::vector<controls::CDeviceKeyButtonUI*> zoneButtons_; // "light_0_"n
    ui::Control* logo_ = nullptr;
    std::unique_ptr<editors::CShootControlUI> shootEditor_;
};

} // namespace q9
