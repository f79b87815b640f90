#pragma once
// The common base of the device pages: one control that is the device's page, the holder of what
// the program knows about the device and the owner of its links and threads. The device classes
// fill in the virtual operations; the base gives each a neutral default.
#include "hid/CommandChannel.h"
#include "hid/DeviceCatalogue.h"
#include "device/DeviceEnvironment.h"
#include "device/KeyPositions.h"
#include "device/LightPreview.h"
#include "device/WorkerThread.h"
#include "profile/ProfileRecords.h"
#include "ui/Containers.h"

#include <array>
#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace q9 {
class MessageTarget;
class ProfileList;
namespace controls {
class CDeviceKeyButtonUI;
}
class CBasicProfiledata;
namespace editors {
class CLightControlUI;
class CKeySetControlUI;
class CMacroControlUI;
}

class CTarvenixUSBDevice : public ui::HorizontalLayout {
    Q_OBJECT
public:
    static constexpr int kNoDeviceKey = 170;

    explicit CTarvenixUSBDevice(int kind = 0, QWidget* parent = nullptr);
    ~CTarvenixUSBDevice() override;

    QString getClass() const override { return QStringLiteral("TarvenixUSBDevice"); }
    ui::Control* getInterface(const QString& className) override;
    void childNotify(ui::TNotify& msg) override;

    // Creation setters, in the order the main window calls them.
    void setPageXml(const std::wstring& xml) { pageXml_ = xml; }
    void setMainWindow(MessageTarget* wnd) { mainWindow_ = wnd; }
    void setKeyCount(int n) { keyCount_ = std::max(0, n); }
    void setLightCount(int n);
    void setTypeIndex(int n) { typeIndex_ = n; }
    void setWirelessCapable(bool on);
    void setLogoLight(int zone) { logoLight_ = zone; }
    void setProfileId(const std::wstring& id) { profileId_ = id; }
    void setTypeName(const std::wstring& name) { typeName_ = name; }
    void setPowerItem(PowerItemLink* item);
    void setIdentity(const HidInterfaceEntry& row);
    virtual void setLightIndex(int n) { lightIndex_ = n; }
    void setLightFileBase(const std::wstring& base) { lightFileBase_ = base; }
    void setTab(DeviceTabLink* tab) { tab_ = tab; }

    HidInterfaceEntry identityRow() const { return identity_; }
    int kind() const { return kind_; }
    int role() const { return role_; }
    int typeIndex() const { return typeIndex_; }
    bool wirelessCapable() const { return wirelessCapable_; }
    int keyCount() const { return keyCount_; }
    int lightCount() const { return lightCount_; }
    int lightIndex() const { return lightIndex_; }
    DeviceTabLink* tab() const { return tab_; }
    PowerItemLink* powerItem() const { return power_; }
    std::wstring profileId() const { return profileId_; }
    std::wstring typeName() const { return typeName_; }

    void setHostLightControl(bool on);
    bool hostLightControl() const { return hostLightControl_; }
    void setHoverFlag(bool on) { hover_ = on; }
    void setWindowHidden(bool hidden);
    bool windowHidden() const { return windowHidden_; }
    // Whether the device picture can be seen (the window shown and not minimised): the preview
    // steps only then.
    void setPictureShown(bool shown);
    bool pictureShown() const { return pictureShown_; }
    void setSyncDriven(bool on)
    {
        syncDriven_ = on;
        previewThread_.wake();
    }
    bool syncDriven() const { return syncDriven_; }
    std::wstring dataFolder() const;          // the type's profile folder (created), ending in '/'
    std::wstring defaultProfilePath() const;  // DefaultData/<typeName>.Json beside the program

    // Links. A command interface arrived: open its transport in the kind's link mode.
    bool openCommandLink(const HidInterfaceEntry& row, const std::wstring& path);
    // The other link of this device arrived or went: move the channel to it.
    bool switchLink(bool toReceiver, const std::wstring& path);
    void closeCommandLink();
    bool openEventLink(bool receiver, const std::wstring& path);
    void closeEventLink(bool receiver);
    CommandChannel& commandChannel() { return *command_; }
    CommandChannel& eventChannel() { return *events_; }

    // Light state and zone colours.
    virtual void setLightState(const LightInfoRecord& state);
    LightInfoRecord lightState() const;
    // The light the user chose: the light state, unless something else is shown for a while.
    virtual LightInfoRecord chosenLight() const { return lightState(); }
    void setZoneColor(int index, uint32_t rgba);
    uint32_t zoneColor(int index) const;
    light::LightPreview& preview() { return *preview_; }
    // The page's lighting editor; null until the page is built.
    editors::CLightControlUI* lightEditor() const { return lightEditor_.get(); }
    // The common end of every light change: the record is the device's and its profile's, saved,
    // taken up by the preview at once and written to the device. syncDriven: the change came from
    // "apply to all devices".
    virtual void commitLight(const LightInfoRecord& record, bool syncDriven);
    // The audio light settings are kept and saved; the device computes the effect live, so
    // nothing is written.
    virtual void commitAudioLight(const AudioLightRecord& record);

    // The virtual operations.
    virtual void bindPageControls();
    virtual int applyProfileLight() { return 0; }
    virtual void effectStatic();
    virtual void effectBreathing();
    virtual void effectSpectrum();
    virtual void effectBreathingFour();
    virtual void effectBlink();
    virtual void effectBlinkFour();
    virtual void effectOff();
    virtual void paintLights();
    virtual void syncFromDevice() {}
    // Sends what changed while the device was out of reach; nothing when nothing is owed.
    virtual void writePending() {}
    // A command link was (re)opened: what was read over an earlier one no longer counts.
    virtual void linkOpened() {}
    virtual void readSettings() {}
    virtual void reservedReadA() {}
    virtual void reservedReadB() {}
    virtual void pollPower() {}
    virtual int isReceiverLinkUp() { return 1; }
    virtual int loadProfile() { return 0; }
    virtual void refreshPage() {}
    virtual void repairMacroKeys() {}
    // A game's light event shows its effect on the device for a while; the user's own light state
    // is kept aside meanwhile, never saved over, and comes back with endGameLight.
    virtual void showGameLight(const LightInfoRecord&) {}
    virtual void endGameLight() {}
    // False, with nothing changed, when the default profile is missing or unusable.
    virtual bool loadDefaultProfile() { return false; }
    // The macros the keys use, distinct, in order of first use (over keys the device has).
    virtual std::vector<int> usedMacros();
    // Writes the actions of the keys into the device's key block: macros renumbered in order of
    // first use, a key naming a macro that is gone with its factory action. 1 written, 0 not
    // (owed to the device when it is out of reach), -1 no key block could be read.
    virtual int writeKeyMap(int profile, const std::vector<KeyEntry>& keys);
    virtual int writeCurrentKeyMap(int profile) { return writeKeyMap(profile, keyList_); }
    // The listed macros as the device's macro image: 0 written (or nothing to write), -1 failed,
    // otherwise the size error (a macro's event count over 60, or the excess over the memory).
    virtual int writeMacros(const std::vector<int>& list);
    virtual int writeSettings(int slot, int firstByte, int flag, int screenWidth, int screenHeight);
    virtual void loadAuxiliaryData() {}
    void setKeyMapB(const std::map<int, int>& map) { keyMapC_ = map; }
    virtual void resetReactive();
    virtual void showFunctionTab(int type);
    int functionTab() const { return functionTab_; }
    virtual void setDocumentPaths() {}
    virtual std::wstring profilePath() const { return {}; }
    // The device type's list of profiles, shown by the page's profile bar; null without one.
    virtual ProfileList* profiles() { return nullptr; }
    virtual void saveProfile() {}
    virtual void setPickerColor(uint32_t a, uint32_t b, uint32_t c);
    std::array<uint32_t, 3> pickerColor() const { return picker_; }
    // Key n of the picture becomes the key being edited: the key editor shows its entry.
    void setSelectedKey(int n);
    int selectedKey() const { return selectedKey_; }
    // The keys of the picture: each one's current and factory action.
    const std::vector<KeyEntry>& keyList() const { return keyList_; }
    // The page's key editor; null for a device without keys, and until the page is built.
    editors::CKeySetControlUI* keyEditor() const { return keyEditor_.get(); }
    // The page's macro editor; null for a device without keys, and until the page is built.
    editors::CMacroControlUI* macroEditor() const { return macroEditor_.get(); }
    // An entry from the key editor becomes the selected key's, in the object and the profile
    // document; the picture marks the keys whose action is not their factory one.
    void storeKeyEntry(const KeyEntry& entry);
    // A whole key list (a macro gone, say) into the object and the profile document.
    void setKeyList(const std::vector<KeyEntry>& keys);
    CBasicProfiledata* profileDocument() { return document(); }
    void refreshKeyLabels();
    // The page shows the keys of the profile: marks, and the picked key's entry in the editor.
    void refreshKeys();
    // The value deviceKeyIndex holds for a picture key the device does not have.
    virtual int noDeviceKey() const { return kNoDeviceKey; }
    const std::array<uint8_t, 34>& deviceInfo() const { return info_; }
    // Where the places of the keys in the device's block are remembered.
    std::wstring keyPositionsPath() const { return dataFolder() + L"key_positions.json"; }
    // Audio lighting: the 25 band levels of the sound (count limited to 500) and the six values
    // of the capture program's auxiliary block (count limited to 6).
    virtual void setAudioLevels(const int32_t*, int) {}
    virtual void setAudioAux(const int32_t*, int) {}

    // Threads.
    void startPreview();
    void stopPreview();
    bool previewRunning() const { return previewThread_.running(); }
    bool readerRunning(bool receiver) const { return (receiver ? receiverReader_ : cableReader_).running(); }
    // Wakes the preview thread so it sees a changed state at once.
    void wakePreview() { previewThread_.wake(); }

    const std::vector<controls::CDeviceKeyButtonUI*>& keyButtons() const { return keyButtons_; }
    const std::vector<controls::CDeviceKeyButtonUI*>& lightButtons() const { return lightButtons_; }
    const std::map<int, int>& deviceKeyIndex() const { return deviceKeyIndex_; }

protected:
    // The device's profile document; null for a device without one.
    virtual CBasicProfiledata* document() { return nullptr; }
    // Reads the device information and the key block (and what else the device keeps beside it)
    // and finds the keys in the block.
    virtual bool readInfoAndKeyBlock() { return false; }
    // The page's macro and key editors, when the page has them: the macros of the data folder, the
    // kind, hidden until a key is picked.
    void attachKeyEditors(int systemOrder);
    std::vector<std::wstring> readMacroNames() const;
    // deviceKeyIndex from a key block just read; the places found are remembered.
    void locateKeys(const KeyCode* factory, const uint8_t* block, size_t deviceKeys);
    // Open, and through the receiver only while the device answers.
    bool linkUp();
    // Open, but out of reach for now: through the receiver with the device off, or paused by it.
    bool unreachable() const;
    int macroCount() const;
    // An event report's code, on a reader thread.
    virtual void onDeviceEvent(uint16_t code, bool cableReader) { Q_UNUSED(code); Q_UNUSED(cableReader); }
    // Reads the event code out of a report; the base takes the first usage of the first button item.
    virtual uint16_t eventCode(HidTransport& reader, const uint8_t* report, size_t length);
    virtual const char* readerExitTrace() const { return "设备同步线程设定退出"; }
    virtual const char* previewExitTrace() const { return "MS灯光线程设定退出"; }
    // The shortest time between two frames of the picture: a picture of many lights costs more
    // a frame and is shown a little less often.
    virtual int previewFrameMs() const { return light::kPreviewFrameMs; }
    // Whether the device's own lights are computed from the preview (frames the host sends), so
    // that it must step while another device's page is in front.
    virtual bool lightsFollowPreview() const { return false; }
    // One step of the effect in the light state; returns the period until the next step in ms.
    virtual int stepPreview(int64_t now);
    // Runs a function on the UI thread (from a worker); dropped if this object goes first.
    void onUiThread(std::function<void()> f);
    bool event(QEvent* e) override;
    // The window shows one device page at a time and hides the others explicitly.
    void setVisible(bool visible) override;
    // A zone colour changed: the tab paints the picture at its next frame (from any thread).
    void requestFrame();

    void startReader(bool receiver);
    void stopReader(bool receiver);
    // Every device class calls this first in its destructor: the threads call its virtual
    // operations (stepPreview, onDeviceEvent) and must end while the whole object still exists.
    void stopThreads();
    void bindButtonsIn(ui::Control* scope);

    int kind_ = 0;
    int role_ = 0;
    HidInterfaceEntry identity_;
    int typeIndex_ = -1;
    int lightIndex_ = 0;
    bool wirelessCapable_ = false;
    int logoLight_ = -1;
    int keyCount_ = 0;
    int lightCount_ = 0;
    std::wstring pageXml_, typeName_, lightFileBase_ = L"kelda_light", profileId_;

    MessageTarget* mainWindow_ = nullptr;
    DeviceTabLink* tab_ = nullptr;
    PowerItemLink* power_ = nullptr;
    std::unique_ptr<editors::CLightControlUI> lightEditor_;
    std::unique_ptr<editors::CKeySetControlUI> keyEditor_;
    std::unique_ptr<editors::CMacroControlUI> macroEditor_;
    ui::Control* selectPanel_ = nullptr;
    std::vector<controls::CDeviceKeyButtonUI*> keyButtons_;
    std::vector<controls::CDeviceKeyButtonUI*> lightButtons_;

    std::unique_ptr<CommandChannel> command_;
    std::unique_ptr<CommandChannel> events_; // its two transports are the event readers
    std::unique_ptr<light::LightPreview> preview_;
    std::mutex lightListMutex_;
    std::vector<CustomEffectRecord> customEffects_;
    std::atomic<bool> restartEffect_{false};

    std::map<int, int> deviceKeyIndex_;
    std::array<uint8_t, 34> info_{};
    std::vector<KeyEntry> keyList_;
    std::array<uint8_t, 512> keyBlock_{};
    // Read from the device over the current link: only such a block is written back (a block never
    // read would erase every key).
    bool keyBlockRead_ = false;
    // A key write owed to the device for a change it did not take (link down, paused, refused).
    bool keysPending_ = false;
    std::map<int, int> keyMapB_, keyMapC_;

    std::atomic<bool> hostLightControl_{false};
    std::atomic<bool> hover_{false};
    std::atomic<bool> syncDriven_{false};
    std::atomic<bool> windowHidden_{false};
    std::atomic<bool> pictureShown_{true};
    std::atomic<bool> pageInFront_{true}; // not hidden behind another device's page
    std::atomic<bool> framePending_{false};
    int functionTab_ = 0;
    int selectedKey_ = -1;
    std::array<uint32_t, 3> picker_{};

private:
    void runPreview(StopEvent& stop);
    void runReader(StopEvent& stop, bool receiver);

    std::atomic<uint64_t> lightWordsLo_{0};
    std::atomic<uint64_t> lightWordsHi_{0};
    WorkerThread previewThread_;
    WorkerThread cableReader_;
    WorkerThread receiverReader_;
    std::recursive_mutex cableReaderLock_;
    std::recursive_mutex receiverReaderLock_;
};

} // namespace q9
