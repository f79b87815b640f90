#pragma once
// The program's main window: built from "XML_MAIN", it creates the program's controls while the
// layout is parsed, routes every notification of its layout by type and control name, answers the
// window messages addressed to the program, keeps the device strip in step with the hardware
// (a device watch thread), the tray icon and menus, and shuts everything down in order.
#include "hid/DeviceCatalogue.h"
#include "device/WorkerThread.h"
#include "profile/AudioStyles.h"
#include "profile/ProfileRecords.h"
#include "editors/MacroRecorder.h"
#include "platform/LocalChannel.h"
#include "ui/Window.h"

#include <QPointer>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace q9 {
class CDeviceHook;
class CTarvenixUSBDevice;
class CTarvenixMouseDevice;
class CDeviceProfileUI;
class HidBackend;
namespace audio {
class AudioBands;
}
namespace ui {
class TrayIcon;
}
namespace editors {
class CKeySetControlUI;
class CMacroControlUI;
class CShootControlUI;
}
namespace input {
class InputHookBackend;
struct KeyRecord;
}
} // namespace q9

namespace q9::app {

class CDeviceOptionUI;
class CMpDevicePowerUI;
class SyncLighting;

class CMainWnd : public ui::Window {
    Q_OBJECT
public:
    explicit CMainWnd(QWidget* parent = nullptr);
    ~CMainWnd() override;

    QString skinFile() const override { return QStringLiteral("XML_MAIN"); }
    QString windowClassName() const override { return QStringLiteral("MainWnd"); }
    ui::Control* createControl(const QString& className) override;
    void initWindow() override;
    void notify(ui::TNotify& msg) override;
    intptr_t handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy,
                                 bool& handled) override;

    // Routing, for tests: the labels of the table rows a notification reaches.
    QStringList routeOf(const QString& type, ui::Control* sender) const;

    // State the rest of the shell asks for.
    CTarvenixUSBDevice* currentDevice() const;
    CTarvenixMouseDevice* currentMouse() const;
    std::vector<CDeviceOptionUI*> tabs() const;
    const LiveInterfaceList& liveList() const { return live_; }
    const std::vector<CTarvenixMouseDevice*>& mice() const { return mice_; }
    const std::vector<CTarvenixUSBDevice*>& keyboards() const { return keyboards_; }
    // Keyboards, mice, mouse pads, headsets.
    std::vector<CTarvenixUSBDevice*> allDevices() const;
    bool lightControl() const { return lightControl_; }
    bool editingIdle() const { return idle_; }
    bool watchRunning() const { return watch_.running(); }
    const SyncLighting& syncLighting() const { return *sync_; }
    bool hasTray() const;
    int screenWidth() const { return screenWidth_; }
    int screenHeight() const { return screenHeight_; }
    // The block the last work-tool query produced (sent back to the asking tool).
    std::vector<uint8_t> takeReplyBlock();

    // Device strip.
    bool CreateDevicePage(int row, int sub);
    void AttachInterface(int index);
    void DetachInterface(int index);
    void ShowTab(int tab, bool visible, bool select);
    void HideTabOfRemovedDevice(int tab);
    void SelectPreviousTab();
    void SelectNextTab();
    void OnTabSelected();
    // A message from another process (the local socket): sent to this window, copy-data included.
    IpcReply deliver(const IpcMessage& m);
    // The audio capture companion: greeted once the window is up, told to stop at the end; its
    // sample (1) and auxiliary (2) blocks.
    void greetAudioCapture();
    void closeAudioCapture();
    void onAudioBlock(uint64_t dwData, const std::vector<uint8_t>& bytes);
    // The user's audio styles ("AudioFile.json"), the music window that edits them, and their
    // hand-off to the companion.
    void LoadAudioDocument();
    void ResetAudioDocument();
    void OpenMusicWindow();
    void SendAudioStyle(const AudioStyleRecord& record);
    AudioStyleFile* audioStyles() const { return audioStyles_.get(); }
    QWidget* musicWindow() const { return musicWnd_; }
    // The program (not a test) starts the companion beside it when a keyboard comes.
    void setStartsAudioCapture(bool on) { startsAudioCapture_ = on; }

    // Called once, when the device watch has looked at the machine for the first time.
    void setFirstScanCallback(std::function<void()> f) { firstScan_ = std::move(f); }
    bool firstScanDone() const { return firstScanDone_; }

    void SetEditState(bool lockStrip, bool idle);
    // Languages: the stored choice (or the desktop's), applied to every window.
    int ReadStoredLanguage() const;
    void ApplyLanguage(int index);
    int languageIndex() const { return languageIndex_; }
    // The settings window (one at a time); centred, or beside the settings button.
    void OpenSettingsWindow(bool centred);
    QWidget* settingsWindow() const { return settingsWnd_; }
    // The model rows the update check asks about: connected devices' firmware and the application.
    std::vector<ModelEntry> updateRows() const;
    // The key editor of the current device, when it is a mouse or a keyboard.
    editors::CKeySetControlUI* currentKeyEditor() const;
    // The input hook, made at first use; tests give it their own event source first.
    CDeviceHook& deviceHook();
    void setInputHookBackend(std::unique_ptr<input::InputHookBackend> backend);
    // The key editor's handlers, on the current device.
    void keyPicked(int n);
    void keyApply();
    void keyFunctionChosen();
    void keyPlayModeChosen();
    void keyModifier(int n);
    void keyShowDefault();
    void keyCancel();
    void keySave();
    // The macro and shoot editors' handlers, on the current device.
    editors::CMacroControlUI* currentMacroEditor() const;
    editors::CShootControlUI* currentShootEditor() const;
    void macroAdd();
    void macroDelete();
    void macroRename();
    void macroImport();
    void macroExport();
    void macroSave();
    void macroCancel();
    void macroSelected();
    // An event-list change of the editor, saved; writeDevice: then written as a key save is.
    void macroEdit(void (editors::CMacroControlUI::*change)(), bool writeDevice);
    void macroInsert(uint32_t message, int variant);
    // An item of the event row menu.
    void macroMenu(const QString& item);
    void macroRecordStart(editors::MacroRecorder::Mode mode, editors::MacroRecorder::Place place, int hookMode);
    void macroRecordStop();
    void showMacroMenu();
    void shootImport();
    void shootExport();
    void shootWrite();
    // The keyboard's picture: keys picked by the rubber band, or all of them.
    void keysPicked();
    void selectAllKeys();
    // A tray menu item picked by the user.
    void onMenu(const QString& item);
    // The message a download of macros gets: r from writeMacros; caller 0 profile switch or mouse
    // reset, 1 keyboard reset, 2 key save.
    void downloadReport(int r, int caller);
    // A profile could not be written: the user is told once, with the file's path.
    void reportSaveFailure(const std::wstring& path);
    void setLightControl(bool on, bool broadcast);
    void reveal();
    void dpiLayout();
    void shutDown();

protected:
    void onFinalMessage() override;
    bool event(QEvent* e) override;

private:
    struct Route;
    enum class Mode { FirstMatch, SelectTable };
    static const std::vector<Route>& clickRoutes();
    static const std::vector<Route>& selectRoutes();
    static const std::vector<Route>& itemRoutes();
    static const std::vector<Route>& itemLowerRoutes();
    static const std::vector<Route>& valueRoutes();
    static const std::vector<Route>& moveRoutes();
    static const std::vector<Route>& focusRoutes();
    static const std::vector<Route>& colourRoutes();
    std::vector<const Route*> match(const std::vector<Route>& table, Mode mode, ui::Control* sender) const;
    void runRoutes(ui::TNotify& msg);

    void windowInitStep();
    void onTimer(uint32_t id);
    void onTray(int64_t mouseMessage);
    void showTrayMenu();
    void closeChildWindows();
    void tellDevicesHidden(bool hidden);
    bool pictureShown() const;
    void pictureVisibilityChanged();
    void updateNoDeviceOverlay();
    void showNoDeviceOverlay(bool shown);
    void profileSelected();
    // The picker for DPI stage n's colour; the chosen colour goes to the mouse.
    void pickStageColour(int n);
    void profileCreate(const QString& question, bool (CDeviceProfileUI::*make)());
    void profileAdd();
    void profileCopy();
    void profileDelete();
    void profileImport();
    void profileExport();
    void profileRename();
    // Open, and through the receiver only while the mouse answers.
    static bool devicePresent(CTarvenixUSBDevice* d);
    void profileSwitch();
    void defaultButton();
    void profileReset();
    // The lighting editor's handlers, on the current device.
    void lightEffectSelected();
    void lightSecondMode();
    void lightLevel(bool brightness);
    // The headset's "save" of a user-defined equaliser, with the reason when nothing was saved.
    void saveCustomEq();
    void lightMultiColour();
    void lightDirection(bool left);
    void lightComponentTyped(char which);
    void lightPaletteColour();
    void lightPresetColour(int n);
    void takeLightColour(CTarvenixUSBDevice& d, LightInfoRecord r);
    void sameMode();
    void updateSameModeAllowed(int connected);
    void audioLightChanged(bool withColour);
    void audioColourChosen(uint32_t colour);
    void audioPaletteColour();
    void audioPresetColour(int n);
    void audioComponentTyped(char which);
    void audioBackgroundOff();
    void gameLightEvent(uint64_t variant, int64_t effect);
    void restoreUserLight();
    void workToolQuery();
    // Message 1054: the input hook for key capture on (wParam 1) or off.
    void keyCapture(bool on);
    void keyCaptured(const input::KeyRecord& record);
    // A recording's event from the input hook; false for messages that are not the recorder's.
    bool macroHookMessage(uint32_t msg, uint64_t wParam, int64_t lParam);
    // The key editor lists the macros of the macro editor again.
    void macroNamesChanged();
    int64_t eventTick(uint32_t eventTime);
    void firmwarePrompt(uint64_t product, int64_t version);
    void runWatch(StopEvent& stop);
    int identityOf(int index) const;
    CTarvenixUSBDevice* deviceOfRow(int index) const;
    CDeviceOptionUI* tabOf(CTarvenixUSBDevice* device) const;
    int visibleTabCount() const;

    ui::TrayIcon* tray_ = nullptr;
    bool saveFailureTold_ = false;
    uint32_t activation_ = 0;
    std::vector<ui::Control*> titleControls_;
    std::vector<CTarvenixMouseDevice*> mice_;
    std::vector<CTarvenixUSBDevice*> keyboards_, mousePads_, headsets_;
    std::unique_ptr<audio::AudioBands> audioBands_;
    std::unique_ptr<AudioStyleFile> audioStyles_;
    QPointer<QWidget> musicWnd_;
    bool startsAudioCapture_ = false;
    void ensureAudioCapture();
    void sendAudioCommands(std::initializer_list<std::pair<uint64_t, int64_t>> commands);
    std::vector<CMpDevicePowerUI*> powerItems_;
    bool pickerOpen_ = false; // at most one colour picker
    LiveInterfaceList live_;
    WorkerThread watch_;
    std::unique_ptr<SyncLighting> sync_;
    std::unique_ptr<CDeviceHook> hook_;
    std::optional<std::pair<uint32_t, int64_t>> lastEventTick_; // a recorded event's stamp and tick
    bool lightControl_ = true;
    bool windowActive_ = false;
    bool hover_ = false;
    bool displayChanged_ = false;
    bool powerOn_ = true;
    bool idle_ = true;
    bool initDone_ = false;
    int screenWidth_ = 0;
    int screenHeight_ = 0;
    std::vector<uint8_t> replyBlock_;
    QPointer<QWidget> aboutWnd_;
    QPointer<QWidget> settingsWnd_;
    int languageIndex_ = -1;
    int skinReceiver_ = -1;
    std::function<void()> firstScan_;
    bool firstScanDone_ = false;
};

} // namespace q9::app
