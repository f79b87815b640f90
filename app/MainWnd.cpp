#include "app/MainWnd.h"

#include "app/ColorSelect.h"
#include "app/DeviceOption.h"
#include "app/DialogService.h"
#include "app/SmallWindows.h"
#include "app/Startup.h"
#include "app/SettingsWnd.h"
#include "app/SyncLight.h"
#include "app/Languages.h"
#include "audio/AudioBands.h"
#include "controls/KeyControls.h"
#include "device/DeviceEnvironment.h"
#include "hid/DeviceScanner.h"
#include "device/KeyboardDevice.h"
#include "device/MouseDevice.h"
#include "device/HeadsetDevice.h"
#include "device/MousePadDevice.h"
#include "editors/KeySetEditor.h"
#include "editors/MacroEditor.h"
#include "platform/DeviceHook.h"
#include "platform/Folders.h"
#include "update/UpdateCheck.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"
#include "ui/Builder.h"
#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Control.h"
#include "ui/Menu.h"
#include "ui/Resources.h"
#include "ui/TrayIcon.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QProcess>
#include <QScreen>
#include <QThread>

#include <cstring>
#include <optional>
#include <utility>

namespace q9::app {

namespace {

constexpr uint32_t kTrayCallback = 1025;
constexpr uint32_t kHookControl = 1054;
constexpr uint32_t kShowProgress = 3072;
constexpr uint32_t kLanguageChanged = 3089;
constexpr uint32_t kOpenSettings = 3093;
constexpr uint32_t kClearUpdateMark = 3094;
constexpr uint32_t kPowerBroadcast = 0x0218;
constexpr uint32_t kDisplayChange = 0x007E;

} // namespace

CMainWnd::CMainWnd(QWidget* parent) : ui::Window(parent), activation_(activationMessage())
{
    audioBands_ = std::make_unique<audio::AudioBands>();
    sync_ = std::make_unique<SyncLighting>([this] {
        std::vector<CTarvenixUSBDevice*> all(mice_.begin(), mice_.end());
        for (auto* list : {&mousePads_, &headsets_, &keyboards_})
            all.insert(all.end(), list->begin(), list->end());
        return all;
    });
}

std::vector<CTarvenixUSBDevice*> CMainWnd::allDevices() const
{
    std::vector<CTarvenixUSBDevice*> all(keyboards_.begin(), keyboards_.end());
    all.insert(all.end(), mice_.begin(), mice_.end());
    for (auto* list : {&mousePads_, &headsets_})
        all.insert(all.end(), list->begin(), list->end());
    return all;
}

CMainWnd::~CMainWnd() { shutDown(); }

ui::Control* CMainWnd::createControl(const QString& className)
{
    // Program classes created while a layout is parsed, by the class name of the skin.
    static const char* const subTrees[][2] = {
        {"DeviceProfileUI", "XML\\CustomControlXML\\DeviceProfile.xml"},
        {"LightSetControlUI", "XML\\CustomControlXML\\LightControl.xml"},
        {"Voice4120SetControlUI", "XML\\CustomControlXML\\Voice4120Control.xml"},
        {"MagicSetControlUI", "XML\\CustomControlXML\\MagicControl.xml"},
        {"KeySetControlUI", "XML\\CustomControlXML\\KeySetControl.xml"},
        {"MacroSetControlUI", "XML\\CustomControlXML\\MacroControl.xml"},
        {"ShootKeySetControlUI", "XML\\CustomControlXML\\ShootControl.xml"},
        {"VirtualSetControlUI", "XML\\CustomControlXML\\VirtualSet.xml"},
    };
    if (className.compare(QLatin1String("TarvenixMouseDevice"), Qt::CaseInsensitive) == 0)
        return new CTarvenixMouseDevice;
    if (className.compare(QLatin1String("TarvenixKeyboardDevice"), Qt::CaseInsensitive) == 0)
        return new CTarvenixKeyboardDevice;
    if (className.compare(QLatin1String("TarvenixMousePadDevice"), Qt::CaseInsensitive) == 0)
        return new CTarvenixMousePadDevice;
    if (className.compare(QLatin1String("TarvenixHX4120Device"), Qt::CaseInsensitive) == 0)
        return new CTarvenixHX4120Device;
    for (const auto& row : subTrees)
        if (className.compare(QLatin1String(row[0]), Qt::CaseInsensitive) == 0) {
            ui::DialogBuilder builder;
            return builder.create(QString::fromLatin1(row[1]), nullptr, this, nullptr);
        }
    // The custom controls are in the registry under their class names.
    return ui::ControlFactory::instance().create(className);
}

void CMainWnd::initWindow()
{
    trace("InitWindow");
    ui::Resources::instance().loadLanguage(QStringLiteral("lan_cn.xml"));
    skinReceiver_ = SkinNotifier::instance().add([this](const SkinChangedParam& p) {
        ui::Control* r = findControl(QStringLiteral("root"));
        if (!r)
            return 0;
        if (p.colour) {
            r->setBkColor(p.background);
            r->setBkImage(QString());
        } else {
            r->setBkColor(0);
            r->setBkImage(p.image);
        }
        return 1;
    });
    for (const char* n : {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn", "smarteyesbtn", "setbtn"})
        if (ui::Control* c = findControl(QString::fromLatin1(n)))
            titleControls_.push_back(c);
    setWindowIcon(QIcon(ui::Resources::instance().resolve(QStringLiteral("ICON_107"))));
    tray_ = new ui::TrayIcon(this);
    tray_->create(this, QStringLiteral("ICON_107"), kMainTitle, kTrayCallback);
}

void CMainWnd::notify(ui::TNotify& msg)
{
    if (msg.type != ui::notify::Timer)
        traceLazy([&] { return (msg.type + QLatin1Char(' ') + (msg.sender ? msg.sender->name() : QString())).toStdString(); });
    if (msg.type == ui::notify::WindowInit) {
        windowInitStep();
    } else if (msg.type == ui::notify::WindowSize) {
        if (msg.sender && msg.sender->name() == QLatin1String("root") && displayChanged_) {
            displayChanged_ = false;
            dpiLayout();
        }
    } else if (msg.type == ui::notify::ClickSelectEnd) {
        // Keys picked on the keyboard's picture with the rubber band take the custom colour.
        if (msg.sender && msg.sender->name() == QLatin1String("device_key_light"))
            keysPicked();
    } else if (msg.type == QLatin1String("click_wpremove") || msg.type == QLatin1String("click_wpedit")) {
        return; // nothing, and no default handling either
    } else {
        runRoutes(msg);
    }
    // Message maps: "itemactivate" (and the context menu) of "macro_action" opens the macro-action
    // menu, "setfocus" of the key capture edit installs the input hook.
    if ((msg.type == ui::notify::ItemActivate || msg.type == ui::notify::Menu) && msg.sender
        && msg.sender->name() == QLatin1String("macro_action"))
        showMacroMenu();
    if (msg.type == ui::notify::SetFocus && msg.sender && msg.sender->name() == QLatin1String("keyset_keyboard_text_edit"))
        send(kHookControl, 1, 0);
    // The title-bar buttons are handled above; the library's defaults (which would close the
    // window on "closebtn") do not run for the main window.
}

// Keys picked on the keyboard's picture take the custom colour while the lighting page shows.
void CMainWnd::keysPicked()
{
    auto* k = qobject_cast<CTarvenixKeyboardDevice*>(currentDevice());
    if (!k || k->functionTab() != 1)
        return;
    std::vector<int> picked;
    const auto& keys = k->keyButtons();
    for (int i = 0; i < int(keys.size()); ++i)
        if (keys[size_t(i)] && keys[size_t(i)]->isSelected())
            picked.push_back(i);
    k->paintKeyColors(picked);
}

void CMainWnd::selectAllKeys()
{
    auto* k = qobject_cast<CTarvenixKeyboardDevice*>(currentDevice());
    if (!k)
        return;
    for (auto* b : k->keyButtons())
        if (b)
            b->setSelected(true);
    keysPicked();
}

void CMainWnd::windowInitStep()
{
    // Other programs of the family are told that this one drives the lighting; none listens here.
    trace("灯光控制 1");
    live_ = buildLiveInterfaceList();
    ApplyLanguage(ReadStoredLanguage());
    for (int t : {0, 1}) {
        const DeviceTypeEntry& type = deviceTypeTable()[size_t(t)];
        const int row = findInterfaceRow(type.vid, type.pid, type.kind, 0);
        if (row >= 0 && (type.kind == KindMouse || type.kind == KindKeyboard))
            CreateDevicePage(row, 0);
    }
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen()) {
        screenWidth_ = s->geometry().width();
        screenHeight_ = s->geometry().height();
    }
    hide();
    tellDevicesHidden(true);
    deviceEnvironment().saveFailed = [this](const std::wstring& path) { reportSaveFailure(path); };
    deviceEnvironment().writeFailed = [this] { downloadReport(-1, 0); };
    deviceEnvironment().tellUser = [this](const std::string& text) {
        ShowMessageBox(this, QString(), QString::fromStdString(text), dpi(), false, 0);
    };
    watch_.start([this](StopEvent& stop) { runWatch(stop); });
    setTimer(1011, 100);
    LoadAudioDocument();
    initDone_ = true;
}

void CMainWnd::runWatch(StopEvent& stop)
{
    runDeviceWatch(
        deviceEnvironment().backend, live_, stop,
        [this](ScanEvent e, int row) { send(e == ScanEvent::Arrival ? kMsgArrival : kMsgRemoval, uint64_t(row), 0); },
        [this] { post(activation_, 0, 0); }); // reveals the window once the devices present have their tabs
    trace("抓取设备线程设定退出");
}

intptr_t CMainWnd::handleCustomMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* copy, bool& handled)
{
    handled = false;
    if (msg == activation_) {
        traceLazy([&] { return "软件标示 " + std::to_string(msg) + "，" + std::to_string(wParam) + std::to_string(lParam); });
        reveal();
        if (wParam == 0 && lParam == 0 && !firstScanDone_) {
            firstScanDone_ = true;
            if (firstScan_)
                firstScan_();
        }
        return 1;
    }
    if (msg == registerWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF15}")) {
        if (auto* s = dynamic_cast<MessageTarget*>(settingsWnd_.data()))
            s->post(msg, wParam, lParam);
        return 0;
    }
    if (msg == registerWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF17}")) {
        if (wParam == 1)
            setLightControl(lParam != 0, false);
        return 0;
    }
    if (msg == registerWindowMessage("{4695579F-999A-41d4-9FAF-EFFCE93EBF18}")) {
        workToolQuery();
        return 5;
    }
    if (msg == WM_CLOSE_MSG) {
        closeChildWindows();
        handled = true;
        close(0); // ends the program (onFinalMessage)
        return 0;
    }
    if (msg == kPowerBroadcast) {
        if (wParam == 18) {
            powerOn_ = true;
            for (auto* d : allDevices())
                d->setHostLightControl(lightControl_);
        } else if (wParam == 4) {
            powerOn_ = false;
            for (auto* d : allDevices())
                d->setHostLightControl(false);
        }
        return 0;
    }
    // Suspended: nothing below is acted on, except arrivals and removals. The watch thread has
    // changed the live list already and will not report again, so a dropped removal would leave a
    // tab on a dead handle.
    if (!powerOn_ && msg != kMsgArrival && msg != kMsgRemoval)
        return 0;
    if (macroHookMessage(msg, wParam, lParam))
        return 0;
    if (msg == CDeviceHook::keyboardMessage(CDeviceHook::SingleKey)) {
        if (lParam)
            keyCaptured(*reinterpret_cast<const input::KeyRecord*>(lParam));
        return 0;
    }
    for (const char* game : {"Game_Start", "Game_End", "Game_Kill", "Game_Death"})
        if (msg == registerWindowMessage(game)) {
            gameLightEvent(wParam, lParam);
            return 0;
        }
    switch (msg) {
    case WM_TIMER_MSG:
        onTimer(uint32_t(wParam));
        return 0;
    case kDisplayChange:
        trace("显示设置发生变化");
        displayChanged_ = true;
        dpiLayout();
        // Without a tray a hidden window could not be reached again: it stays on the task bar.
        if (!hasTray() && !isVisible() && firstScanDone_)
            showMinimized();
        return 0;
    case WM_COPYDATA_MSG:
        if (copy)
            onAudioBlock(copy->dwData, copy->bytes);
        return 0;
    case kHookControl:
        keyCapture(wParam == 1);
        return 0;
    case kTrayCallback:
        onTray(lParam);
        return 0;
    case kShowProgress:
        if (ui::Control* c = findControl(QStringLiteral("setting_progress")))
            c->setVisible(true);
        return 0;
    case kLanguageChanged:
        ApplyLanguage(int(wParam));
        return 0;
    case kMsgArrival:
        AttachInterface(int(wParam));
        return 0;
    case kMsgRemoval:
        DetachInterface(int(wParam));
        return 0;
    case kOpenSettings:
        OpenSettingsWindow(true);
        return 0;
    case kClearUpdateMark:
        if (auto* b = qobject_cast<ui::Button*>(findControl(QStringLiteral("setbtn"))))
            b->setForeImage(QString());
        return 0;
    case kMsgTabPresence: {
        const auto all = tabs();
        const int t = int(wParam);
        if (t < 0 || t >= int(all.size()))
            return 0;
        if (lParam == 0) {
            trace("2.4gcesvdfherhue 1");
            HideTabOfRemovedDevice(t);
        } else if (!all[size_t(t)]->tabVisible() && devicePresent(all[size_t(t)]->device())) {
            ShowTab(t, true, visibleTabCount() == 0);
        }
        return 0;
    }
    case kMsgFirmware:
        firmwarePrompt(wParam, lParam);
        return 0;
    default:
        return 0;
    }
}

bool CMainWnd::event(QEvent* e)
{
    switch (e->type()) {
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
        windowActive_ = hover_ = e->type() == QEvent::WindowActivate;
        for (auto* d : mice_)
            d->setHoverFlag(hover_);
        // A key capture ends with the window: keys meant for another program must reach it.
        if (!windowActive_ && hook_ && hook_->installed() && hook_->mode() == CDeviceHook::SingleKey)
            hook_->Uninstall();
        break;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange: {
        const bool result = ui::Window::event(e);
        pictureVisibilityChanged();
        return result;
    }
    case QEvent::Enter:
    case QEvent::Leave:
        trace(e->type() == QEvent::Enter ? "鼠标移入" : "鼠标移出");
        if (!windowActive_) {
            hover_ = e->type() == QEvent::Enter;
            for (auto* d : mice_)
                d->setHoverFlag(hover_);
        }
        break;
    default:
        break;
    }
    return ui::Window::event(e);
}

void CMainWnd::onTimer(uint32_t id)
{
    MessageTarget::killTimer(id);
    switch (id) {
    case 1011:
        dpiLayout();
        update();
        greetAudioCapture();
        break;
    case 1032:
        showTrayMenu();
        break;
    case 1055:
        profileSwitch();
        break;
    case 1066:
        restoreUserLight();
        break;
    case 4101:
        if (editors::CMacroControlUI* ed = currentMacroEditor())
            ed->ScrollToSelected();
        break;
    default:
        break;
    }
}

bool CMainWnd::devicePresent(CTarvenixUSBDevice* d)
{
    if (!d || !d->commandChannel().isOpen())
        return false;
    return !d->commandChannel().receiverMode() || d->isReceiverLinkUp() == 1;
}

void CMainWnd::dpiLayout()
{
    const bool wasVisible = isVisible() && !isMinimized();
    const bool wasMinimised = isVisible() && isMinimized();
    int dpi = 96;
    if (QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen())
        if (s->geometry().width() > 1500 && s->geometry().height() > 960)
            dpi = 144;
    setDpi(dpi);
    centerWindow();
    if (wasMinimised)
        showMinimized(); // a minimised window stays reachable from the task bar
    else
        setVisible(wasVisible);
}

void CMainWnd::updateNoDeviceOverlay() { showNoDeviceOverlay(visibleTabCount() == 0); }

void CMainWnd::showNoDeviceOverlay(bool shown)
{
    // The overlay stands in for the device page and its power item: they are hidden under it, so
    // that neither shows through nor takes input while no device is there.
    if (ui::Control* overlay = findControl(QStringLiteral("No_device_Link")))
        overlay->setVisible(shown);
    if (ui::Control* pages = findControl(QStringLiteral("device_switch")))
        pages->setVisible(!shown);
    if (shown)
        if (ui::Control* power = findControl(QStringLiteral("device_power_switch")))
            power->setVisible(false); // shown again with the tab that is selected next
}

void CMainWnd::tellDevicesHidden(bool hidden)
{
    for (auto* d : mice_)
        d->setWindowHidden(hidden);
}

bool CMainWnd::pictureShown() const { return isVisible() && !isMinimized(); }

void CMainWnd::pictureVisibilityChanged()
{
    // Hidden to the tray or minimised, the device pictures are not animated or painted at all.
    const bool shown = pictureShown();
    for (auto* list : {&keyboards_, &mousePads_, &headsets_})
        for (auto* d : *list)
            d->setPictureShown(shown);
    for (auto* d : mice_)
        d->setPictureShown(shown);
    for (CDeviceOptionUI* t : tabs())
        t->setWindowHidden(!shown);
    sync_->wake();
}

void CMainWnd::reveal()
{
    updateNoDeviceOverlay();
    tellDevicesHidden(false);
    showNormal();
    raise();
    activateWindow();
}

void CMainWnd::closeChildWindows()
{
    for (QWidget* w : {aboutWnd_, settingsWnd_, musicWnd_})
        if (auto* win = qobject_cast<ui::Window*>(w))
            win->close(0);
}

void CMainWnd::onTray(int64_t mouseMessage)
{
    if (mouseMessage == ui::kTrayLeftUp) {
        updateNoDeviceOverlay();
        const bool visible = isVisible() && !isMinimized();
        closeChildWindows();
        if (visible) {
            hide();
            tellDevicesHidden(true);
        } else {
            dpiLayout();
            reveal();
        }
    } else if (mouseMessage == ui::kTrayRightUp) {
        setTimer(1032, 10);
    }
}

void CMainWnd::showTrayMenu()
{
    const QString item = ui::Menu::popup(QStringLiteral("menu.xml"), QCursor::pos(), this);
    if (!item.isEmpty())
        onMenu(item);
}

void CMainWnd::onMenu(const QString& item)
{
    if (item == QLatin1String("exit")) {
        closeChildWindows();
        close(0);
    } else if (item == QLatin1String("about_menu")) {
        if (aboutWnd_)
            return;
        CAboutWnd about;
        aboutWnd_ = &about;
        if (about.create(QStringLiteral("  "))) {
            about.centerWindow(this);
            about.showModal();
        }
        aboutWnd_ = nullptr;
    }
    else if (item == QLatin1String("setwnd_menu"))
        OpenSettingsWindow(true);
    else
        macroMenu(item);
}

int CMainWnd::ReadStoredLanguage() const
{
    const auto list = readLanguageList(languageListPath());
    return list.empty() ? 0 : chooseLanguage(list, storedLanguageId(), QLocale::system());
}

void CMainWnd::ApplyLanguage(int index)
{
    if (index == languageIndex_)
        return;
    const auto list = readLanguageList(languageListPath());
    if (index < 0 || index >= int(list.size())) {
        trace("语言配置不可用");
        return;
    }
    languageIndex_ = index;
    const LanguageEntry& e = list[size_t(index)];
    ui::Resources& res = ui::Resources::instance();
    res.setLanguage(e.name);
    res.loadLanguage(e.file);
    res.reloadText();
    storeLanguageId(e.id);
    trace("写成功！");
    for (QWidget* w : {aboutWnd_.data(), settingsWnd_.data(), musicWnd_.data()})
        if (auto* t = dynamic_cast<MessageTarget*>(w))
            t->send(3089, 0, 0);
    // Texts the pages compose themselves (the key marks' tooltips, the key editor's title).
    for (auto* d : allDevices())
        d->refreshKeys();
    if (auto* c = qobject_cast<ui::Container*>(root()))
        c->relayout();
    update();
}

std::vector<ModelEntry> CMainWnd::updateRows() const
{
    std::vector<ModelEntry> rows;
    for (size_t i = 0; i < modelTable().size(); ++i) {
        ModelEntry row = modelTable()[i];
        if (row.itemType == 0) {
            row.version = update::installedAppVersion();
        } else {
            for (CTarvenixUSBDevice* d : allDevices()) {
                if (d->typeIndex() != int(i) || !d->commandChannel().isOpen())
                    continue;
                const bool receiver = d->commandChannel().receiverMode();
                HidTransport& t = receiver ? d->commandChannel().receiverTransport() : d->commandChannel().cableTransport();
                row.version = t.attributes().version;
                row.itemFlag = receiver ? -1 : 1;
                break;
            }
        }
        if (row.version != 0)
            rows.push_back(row);
    }
    return rows;
}

void CMainWnd::OpenSettingsWindow(bool centred)
{
    if (settingsWnd_) {
        settingsWnd_->raise();
        settingsWnd_->activateWindow();
        return;
    }
    auto* w = new CSetWnd;
    w->setParent(this, w->windowFlags() | Qt::Tool);
    if (!w->create(QStringLiteral("SetWnd"))) {
        delete w;
        return;
    }
    w->setDpi(dpi());
    w->SetOwner(this, languageIndex_);
    w->SetUpdateRows(updateRows());
    if (centred) {
        w->centerWindow();
    } else {
        const double scale = dpi() / 96.0;
        const QRect main = frameGeometry();
        w->move(main.right() - int(30 * scale) - w->width(), main.top() + int(60 * scale));
    }
    // Modal for the user, without a nested event loop: the program runs on while it is open.
    w->setWindowModality(Qt::ApplicationModal);
    settingsWnd_ = w;
    w->show();
    w->raise();
    w->activateWindow();
}

void CMainWnd::SetEditState(bool lockStrip, bool idle)
{
    idle_ = idle;
    if (editors::CKeySetControlUI* ed = currentKeyEditor())
        ed->SetButtonsEnabled(!idle);
    if (!lockStrip)
        return;
    // Neither the device nor the profile may change under a recording.
    if (ui::Control* strip = findControl(QStringLiteral("device_select_layout")))
        strip->setEnabled(idle);
    if (CTarvenixUSBDevice* d = currentDevice())
        if (ui::Control* bar = ui::Window::findSubControlByName(d, QStringLiteral("DeviceProfileItem")))
            bar->setEnabled(idle);
}

void CMainWnd::setLightControl(bool on, bool broadcast)
{
    lightControl_ = on;
    if (broadcast)
        trace(on ? "灯光控制 1" : "灯光控制 0");
    if (ui::Control* c = findControl(QStringLiteral("control_light_status"))) {
        c->setTextIsId(false);
        c->setText(on ? QStringLiteral("控制灯光") : QStringLiteral("不控制灯光"));
        // A click toggles the check by itself; a request from another program sets it here.
        if (auto* o = qobject_cast<ui::Option*>(c); o && !broadcast)
            o->selected(on, false);
    }
    for (auto* d : allDevices())
        d->setHostLightControl(on);
}

// The page and the document follow the picked profile at once, so that a change made before the
// device is written lands in the new profile; the device is written 400 ms later, once the user
// has stopped picking.
void CMainWnd::pickStageColour(int n)
{
    CTarvenixMouseDevice* d = currentMouse();
    if (!d || pickerOpen_ || n < 0)
        return;
    const auto& stages = d->dpiStages();
    const DpiStage s = n < int(stages.size()) ? stages[size_t(n)] : DpiStage{};
    QRgb chosen = 0;
    pickerOpen_ = true;
    const int r = PickColour(this, dpi(), qRgb(s.red, s.green, s.blue), chosen);
    pickerOpen_ = false;
    if (r == 1)
        d->onDpiColour(n, chosen & 0xFFFFFF);
}

namespace {
// The profile bar of a device's page (the device has a profile list).
CDeviceProfileUI barOf(CTarvenixUSBDevice* d) { return CDeviceProfileUI(d, *d->profiles()); }
} // namespace

void CMainWnd::profileSelected()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || !d->profiles())
        return;
    CDeviceProfileUI bar = barOf(d);
    if (bar.GetSelectedIndex() < 0)
        return;
    bar.SelectProfile(bar.GetSelectedIndex(), false);
    d->setProfileId(bar.GetCurrentProfileId());
    d->loadProfile();
    d->repairMacroKeys();
    d->refreshPage();
    setTimer(1055, 400);
}

namespace {

const QString kProfileFilter = QStringLiteral("Profile Files(*.json)");

// The device's profile bar with its menu closed, when a profile is selected.
std::optional<CDeviceProfileUI> barWithSelection(CTarvenixUSBDevice* d)
{
    if (!d || !d->profiles() || barOf(d).GetSelectedIndex() < 0)
        return std::nullopt;
    CDeviceProfileUI bar = barOf(d);
    bar.ShowProfileMenu(false);
    return bar;
}

} // namespace

// Add and copy: asked first; a full list is told.
void CMainWnd::profileCreate(const QString& question, bool (CDeviceProfileUI::*make)())
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || !d->profiles() || ShowMessageBox(this, QString(), question, dpi(), true, 1) != 1)
        return;
    CDeviceProfileUI bar = barOf(d);
    bar.ShowProfileMenu(false);
    if ((bar.*make)())
        ShowMessageBox(this, QString(), QStringLiteral("message_text_32"), dpi(), true, 0);
}

void CMainWnd::profileAdd() { profileCreate(QStringLiteral("message_text_28"), &CDeviceProfileUI::AddProfile); }

void CMainWnd::profileCopy() { profileCreate(QStringLiteral("message_text_27"), &CDeviceProfileUI::CopyProfile); }

void CMainWnd::profileDelete()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || !d->profiles() || barOf(d).GetProfileCount() < 2
        || ShowMessageBox(this, QString(), QStringLiteral("message_text_30"), dpi(), true, 1) != 1)
        return;
    CDeviceProfileUI bar = barOf(d);
    bar.ShowProfileMenu(false);
    bar.DeleteProfile();
    profileSelected(); // the entry selected now is taken up like a user's pick
}

void CMainWnd::profileImport()
{
    std::optional<CDeviceProfileUI> bar = barWithSelection(currentDevice());
    if (!bar)
        return;
    const QString path = DialogService::instance().openFile(this, kProfileFilter);
    if (path.isEmpty())
        return;
    // The name inside the file is not used.
    if (!ProfileList::Importable(ReadJsonFile(path.toStdWString()))) {
        ShowMessageBox(this, QString(), QStringLiteral("message_text_import_bad"), dpi(), true, 0);
        return;
    }
    if (bar->ImportProfile(path.toStdWString()))
        ShowMessageBox(this, QString(), QStringLiteral("message_text_32"), dpi(), true, 0);
}

void CMainWnd::profileExport()
{
    std::optional<CDeviceProfileUI> bar = barWithSelection(currentDevice());
    if (!bar)
        return;
    const QString path = DialogService::instance().saveFile(this, kProfileFilter);
    if (!path.isEmpty() && !bar->ExportProfile(path.toStdWString())) {
        trace("配置导出失败");
        ShowMessageBox(this, QString(), QStringLiteral("message_text_export_failed"), dpi(), true, 0);
    }
}

void CMainWnd::profileRename()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || !d->profiles())
        return;
    CDeviceProfileUI bar = barOf(d);
    if (bar.GetNameEditText().isEmpty())
        return;
    switch (bar.RenameProfile(bar.GetNameEditText())) {
    case 0:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_5"), dpi(), true, 0);
        break;
    case 2:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_25"), dpi(), true, 0);
        break;
    default:
        break;
    }
}

void CMainWnd::profileSwitch()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d)
        return;
    d->writeSettings(0, 0, 1, screenWidth_, screenHeight_);
    const int macros = d->writeMacros(d->usedMacros());
    downloadReport(macros, 0);
    if (d->writeCurrentKeyMap(0) < 0 && macros >= 0)
        downloadReport(-1, 0); // the keys were not written (told once with the macros)
}

void CMainWnd::reportSaveFailure(const std::wstring& path)
{
    traceLazy([&] { return "profile not saved: " + QString::fromStdWString(path).toStdString(); });
    if (saveFailureTold_)
        return; // once a run: the user knows, and every later change would ask again
    saveFailureTold_ = true;
    QString text = QStringLiteral("message_text_save_failed");
    if (ui::Control* probe = findControl(QStringLiteral("str_test"))) {
        probe->setTextIsId(true);
        probe->setText(text);
        text = probe->text();
    }
    text.replace(QStringLiteral("%s"), QDir::toNativeSeparators(QString::fromStdWString(path)));
    ShowMessageBox(this, QString(), text, dpi(), false, 0);
}

void CMainWnd::downloadReport(int r, int caller)
{
    if (r == 0)
        return;
    if (r == -1) {
        ShowMessageBox(this, QString(), QStringLiteral("message_text_7"), dpi(), true, 0);
        return;
    }
    ui::Control* probe = findControl(QStringLiteral("str_test"));
    auto text = [&](const char* id, int n) {
        QString t = QString::fromLatin1(id);
        if (probe) {
            probe->setTextIsId(true);
            probe->setText(t);
            t = probe->text();
        }
        return t.replace(QStringLiteral("%d"), QString::number(n));
    };
    QString message;
    if (caller == 2) {
        message = text("message_text_16", r - 64);
    } else if (caller == 1) {
        message = text("message_text_16", r);
    } else {
        const int base = currentMouse() ? currentMouse()->deviceInfo()[6] : 0;
        message = 128 * base < 4 * r ? text("message_text_16", (r - 128 * base) / 4 + 1) : text("message_text_26", r - 250);
    }
    ShowMessageBox(this, QString(), message, dpi(), false, 0);
}

void CMainWnd::defaultButton()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || ShowMessageBox(this, QString(), QStringLiteral("message_text_22"), dpi(), true, 1) != 1)
        return;
    if (!d->loadDefaultProfile()) {
        ShowMessageBox(this, QString(), QStringLiteral("message_text_default_missing"), dpi(), true, 0);
        return; // the profile stays as it was
    }
    const int keys = d->writeCurrentKeyMap(0);
    const int settings = d->writeSettings(0, 0, 1, screenWidth_, screenHeight_);
    // Out of reach, the writes are owed to the mouse and go when it answers again; say so.
    if (keys < 0 || settings != 1)
        downloadReport(-1, 0);
}

void CMainWnd::saveCustomEq()
{
    auto* h = qobject_cast<CTarvenixHX4120Device*>(currentDevice());
    if (!h)
        return;
    const bool named = !h->soundEditor().NameEditText().empty();
    switch (h->SaveCustomEq()) {
    case 0:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_5"), dpi(), true, 0);
        break;
    case -1:
        ShowMessageBox(this, QString(), named ? QStringLiteral("message_text_eq_full") : QStringLiteral("message_text_eq_name"),
                       dpi(), true, 0);
        break;
    default:
        break;
    }
}

void CMainWnd::profileReset()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!d || !d->profiles() || ShowMessageBox(this, QString(), QStringLiteral("message_text_22"), dpi(), true, 1) != 1)
        return;
    barOf(d).ResetProfile();
    d->loadProfile();
    d->refreshPage();
    ResetAudioDocument();
    d->writeSettings(0, 0, 1, screenWidth_, screenHeight_);
    const int macros = d->writeMacros(d->usedMacros());
    downloadReport(macros, 0);
    if (d->writeCurrentKeyMap(0) < 0 && macros >= 0)
        downloadReport(-1, 0); // the keys were not written (told once with the macros)
}

void CMainWnd::gameLightEvent(uint64_t variant, int64_t effect)
{
    if (CTarvenixUSBDevice* d = currentDevice(); d && variant <= 2) {
        d->setSyncDriven(false);
        LightInfoRecord s = d->lightState();
        if (variant == 0) {
            const uint32_t v = uint32_t(effect);
            s.selectItem = uint8_t(v);
            s.light = uint8_t(v >> 8);
            s.speed = uint8_t(v >> 16);
            s.fx = uint8_t(v >> 24);
        } else {
            s.selectItem = uint8_t(effect);
        }
        d->showGameLight(s);
    }
    setTimer(1066, 5000);
}

// Exactly the light the user had, on whichever device showed the game's effect.
void CMainWnd::restoreUserLight()
{
    for (auto* d : mice_)
        d->endGameLight();
}

void CMainWnd::workToolQuery()
{
    // The identification block the tool asks for: 1024 bytes of little-endian 32-bit integers.
    std::vector<uint8_t> block(1024, 0);
    auto put = [&](int i, uint32_t v) { std::memcpy(block.data() + 4 * i, &v, 4); };
    put(0, 2);
    put(1, 3);
    put(2, 0);
    put(3, 2);
    put(4, kDeviceTypeCount);
    for (int i = 0; i < kDeviceTypeCount; ++i) {
        const DeviceTypeEntry& t = deviceTypeTable()[size_t(i)];
        put(5 + 3 * i, t.vid);
        put(6 + 3 * i, t.pid);
        put(7 + 3 * i, t.kind);
    }
    replyBlock_ = std::move(block);
}

bool CMainWnd::hasTray() const { return tray_ && tray_->isCreated(); }

std::vector<uint8_t> CMainWnd::takeReplyBlock() { return std::exchange(replyBlock_, {}); }

void CMainWnd::firmwarePrompt(uint64_t product, int64_t version)
{
    const char* updater = nullptr;
    if (product == 0x226E && version < 0x106)
        updater = "update.exe";
    else if (product == 0x226F && version < 0x104)
        updater = "2_4G_update.exe";
    if (!updater)
        return;
    // Only for a mouse present on that link; the overlay belongs to the device list.
    const bool receiver = product == 0x226F;
    const bool present = std::any_of(mice_.begin(), mice_.end(), [&](CTarvenixMouseDevice* d) {
        return d->commandChannel().isOpen() && d->commandChannel().receiverMode() == receiver;
    });
    if (!present) {
        trace("固件升级提示：设备不在");
        return;
    }
    // Cancel closes the prompt; the program goes on with the firmware the mouse has.
    if (ShowMessageBox(this, QStringLiteral("tips_text"), QStringLiteral("message_text_31"), dpi(), true, 1) != 1)
        return;
    const QString program = folders::updateFolder() + QString::fromLatin1(updater);
    if (QFile::exists(program))
        QProcess::startDetached(program, {QStringLiteral("On the upgrade")}, folders::updateFolder());
    else
        trace("升级程序不存在: " + program.toStdString());
}

IpcReply CMainWnd::deliver(const IpcMessage& m)
{
    uint32_t id = m.number;
    if (!m.name.empty()) {
        id = findRegisteredMessage(m.name);
        if (!id) {
            trace("本地消息名称未注册，已丢弃: " + m.name);
            return {};
        }
    }
    IpcReply reply;
    if (m.isCopyData) {
        CopyData block{m.dwData, m.bytes};
        reply.result = int64_t(send(WM_COPYDATA_MSG, m.wParam, m.lParam, &block));
    } else {
        reply.result = int64_t(send(id, m.wParam, m.lParam));
    }
    reply.bytes = takeReplyBlock();
    return reply;
}

void CMainWnd::shutDown()
{
    hook_.reset(); // no grab outlives the window
    closeAudioCapture();
    deviceEnvironment().saveFailed = nullptr;
    deviceEnvironment().writeFailed = nullptr;
    deviceEnvironment().tellUser = nullptr;
    if (tray_)
        tray_->remove();
    stopAcceptingSends(); // a watch thread blocked in a send is released
    watch_.stop(1000);
    for (auto* d : mice_) {
        d->stopPreview();
        d->closeEventLink(false);
        d->closeEventLink(true);
    }
    if (skinReceiver_ >= 0) {
        SkinNotifier::instance().remove(skinReceiver_);
        skinReceiver_ = -1;
    }
}

void CMainWnd::onFinalMessage()
{
    trace("退出测试");
    hide();
    shutDown();
    QApplication::quit();
}

} // namespace q9::app
