#pragma once
// The lit mouse pad (kind 3), on its cable only: 15 light zones and no keys. Its settings on the
// device are one light record; its page shows the pad, the profile bar and the lighting editor.
// It reads the record when the pad says its light changed, writes it with every light change and
// animates the pad's effects on the picture.
#include "device/DeviceProfile.h"
#include "device/MousePadEffects.h"
#include "device/MousePadRecords.h"
#include "device/UsbDevice.h"
#include "profile/BasicProfiledata.h"
#include "profile/ProfileList.h"

#include <memory>
#include <mutex>
#include <vector>

namespace q9 {

class CTarvenixMousePadDevice : public CTarvenixUSBDevice {
    Q_OBJECT
public:
    explicit CTarvenixMousePadDevice(QWidget* parent = nullptr);
    ~CTarvenixMousePadDevice() override;
    ui::Control* getInterface(const QString& className) override;

    void bindPageControls() override { buildPage(); }
    void buildPage();
    int applyProfileLight() override;
    void syncFromDevice() override;
    void readSettings() override;
    void pollPower() override;
    int loadProfile() override;
    void refreshPage() override;
    bool loadDefaultProfile() override;
    int writeSettings(int slot, int firstByte, int flag, int screenWidth, int screenHeight) override;
    void loadAuxiliaryData() override;
    void setDocumentPaths() override;
    std::wstring profilePath() const override { return profile_.GetProfilePath(); }
    void saveProfile() override;
    void setLightState(const LightInfoRecord& state) override;
    void commitAudioLight(const AudioLightRecord& record) override;
    void linkOpened() override { writeFailureTold_ = false; }

    // The record as held: effect as its row in the effect list, speed as chosen.
    const PadRecord& record() const { return record_; }
    const std::vector<int>& effectCodes() const { return effectCodes_; }
    CBasicProfiledata& profile() { return profile_; }
    ProfileList& profileList() { return profiles_; }
    ProfileList* profiles() override { return &profiles_; }
    CDeviceProfileUI profileBar() { return CDeviceProfileUI(this, profiles_); }

protected:
    // The headset keeps its profile in a document with a section of its own.
    CTarvenixMousePadDevice(QWidget* parent, std::unique_ptr<CBasicProfiledata> document);
    CBasicProfiledata* document() override { return &profile_; }
    // The profile's section was just taken into the document (a profile chosen, the default).
    virtual void sectionTaken() {}
    void onDeviceEvent(uint16_t code, bool cableReader) override;
    uint16_t eventCode(HidTransport& reader, const uint8_t* report, size_t length) override;
    const char* readerExitTrace() const override { return "MS设备同步线程设定退出"; }
    int stepPreview(int64_t now) override;

private:
    void takeProfileSection(const std::wstring& path);
    // Runs the light state's effect once; false when it is a still picture.
    bool stepEffect(const LightInfoRecord& s, int64_t now);
    void writeDone(bool ok);
    ui::Control* find(const QString& name) const;

    std::unique_ptr<CBasicProfiledata> document_;
    CBasicProfiledata& profile_;
    ProfileList profiles_;
    PadRecord record_{};
    bool writeFailureTold_ = false;
    std::vector<std::wstring> effectNames_, areaLightNames_, customLightNames_;
    std::vector<uint8_t> effectVisible_;
    std::vector<int> effectCodes_;
    // The pad's own effects and zone list, stepped by the preview thread.
    std::mutex effectsMutex_;
    pad::PadEffects effects_;
    uint8_t effectShown_ = 255;
    int passes_ = 0;
};

} // namespace q9
