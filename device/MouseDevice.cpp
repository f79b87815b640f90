#include "device/MouseDevice.h"

#include "controls/KeyControls.h"
#include "editors/LightEditor.h"
#include "editors/ShootEditor.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/LightConfig.h"
#include "profile/TextConvert.h"
#include "ui/Combo.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Slider.h"
#include "ui/Window.h"

#include <QColor>

#include <set>

namespace q9 {

namespace {

constexpr uint8_t kEffectWave = 2;
constexpr uint8_t kEffectRunning = 4;
constexpr uint8_t kEffectFlash = 7;

QRgb rgbOf(const DpiStage& s) { return qRgb(s.red, s.green, s.blue); }

} // namespace

const std::array<std::array<uint8_t, 3>, CTarvenixMouseDevice::kKeys>& CTarvenixMouseDevice::factoryCodes()
{
    static const std::array<std::array<uint8_t, 3>, kKeys> codes = {{
        {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00}, {0x10, 0x08, 0x00},
        {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0x13, 0x03, 0x00}, {0xA0, 0x1B, 0x00}, {0x16, 0x90, 0x01},
        {0x14, 0x78, 0x02},
    }};
    return codes;
}

CTarvenixMouseDevice::CTarvenixMouseDevice(QWidget* parent) : CTarvenixUSBDevice(KindMouse, parent)
{
    for (int i = 0; i < kKeys; ++i)
        deviceKeyIndex_[i] = kNoDeviceKey;
    profile_.SetDeviceIndex(0);
}

CTarvenixMouseDevice::~CTarvenixMouseDevice() { stopThreads(); }

void CTarvenixMouseDevice::saveProfile()
{
    if (userLight_) {
        // A game's effect is shown, not chosen: the file keeps the user's light.
        const LightInfoRecord shown = profile_.GetLightInfo();
        profile_.SetLightInfo(*userLight_);
        const bool saved = profile_.Save();
        profile_.SetLightInfo(shown);
        if (!saved && deviceEnvironment().saveFailed)
            deviceEnvironment().saveFailed(profile_.GetProfilePath());
        return;
    }
    // The change is on the device already; a profile that cannot be written is not silent.
    if (!profile_.Save() && deviceEnvironment().saveFailed)
        deviceEnvironment().saveFailed(profile_.GetProfilePath());
}

ui::Control* CTarvenixMouseDevice::getInterface(const QString& className)
{
    return className == QLatin1String("TarvenixMouseDevice") ? this : CTarvenixUSBDevice::getInterface(className);
}

ui::Control* CTarvenixMouseDevice::find(const QString& name) const
{
    return ui::Window::findSubControlByName(const_cast<CTarvenixMouseDevice*>(this), name);
}

void CTarvenixMouseDevice::buildPage()
{
    CTarvenixUSBDevice::bindPageControls();
    // The zone buttons of the lighting page and the logo.
    zoneButtons_.assign(size_t(lightCount_), nullptr);
    for (auto* b : findChildren<controls::CDeviceKeyButtonUI*>()) {
        const QString n = b->name();
        if (!n.startsWith(QLatin1String("light_0_")))
            continue;
        bool ok = false;
        const int z = n.mid(8).toInt(&ok);
        if (ok && z >= 0 && z < lightCount_) {
            zoneButtons_[size_t(z)] = b;
            b->setLightColor(255, 255, 255, 255);
            b->showLightLayer(true);
        }
    }
    logo_ = find(QStringLiteral("logo"));

    // The profile bar's list: the current profile of this device type.
    CDeviceProfileUI bar = profileBar();
    bar.SetDeviceKind(kind());
    bar.SetPaths(dataFolder(), defaultProfilePath());
    bar.Init();
    showFunctionTab(1);
    profileId_ = bar.GetCurrentProfileId();
    // The lighting, macro, key and shoot editors.
    lightEditor_ = std::make_unique<editors::CLightControlUI>(find(QStringLiteral("LightControlItem")));
    lightEditor_->SetLightKind(KindMouse); // on the receiver as well: the same mouse
    loadAuxiliaryData();
    lightEditor_->SetEffectList(effectNames_, effectVisible_, 4, 4);
    attachKeyEditors(0);
    if (ui::Control* guns = find(QStringLiteral("ShootControlItem"))) {
        shootEditor_ = std::make_unique<editors::CShootControlUI>(guns);
        shootEditor_->SetGunFolder(dataFolder());
        shootEditor_->SetTemplateFolder(deviceEnvironment().programFolder + L"DefaultData/");
        shootEditor_->Init();
    }
    showSettingsPage(0);
}

void CTarvenixMouseDevice::setDocumentPaths()
{
    const std::wstring folder = dataFolder();
    profile_.SetDefaultProfilePath(defaultProfilePath());
    profile_.SetProfilePath(folder + profileId_ + L".Json");
    profile_.SetLightConfigPath(folder + lightFileBase_ + L".config");
}

int CTarvenixMouseDevice::loadProfile()
{
    setDocumentPaths(); // the current profile's path first: the section is read from there
    takeProfileSection(profile_.GetProfilePath());
    return 1;
}

void CTarvenixMouseDevice::showGameLight(const LightInfoRecord& game)
{
    if (!userLight_)
        userLight_ = lightState();
    setSyncDriven(false);
    setLightState(game); // into the document, which the record is built from; not saved
    writeSettings(0, 0, 1, 0, 0);
}

void CTarvenixMouseDevice::endGameLight()
{
    if (!userLight_)
        return;
    const LightInfoRecord user = *userLight_;
    userLight_.reset();
    setSyncDriven(false);
    setLightState(user);
    writeSettings(0, 0, 1, 0, 0);
    refreshPage();
}

bool CTarvenixMouseDevice::loadDefaultProfile()
{
    CMouseProfiledata probe;
    if (!probe.LoadDeviceSection(defaultProfilePath()).isObject()) {
        trace("默认配置文件缺失或无法使用");
        return false;
    }
    setDocumentPaths();
    takeProfileSection(defaultProfilePath());
    saveProfile(); // the current profile's file receives the default section
    refreshPage();
    return true;
}

void CTarvenixMouseDevice::takeProfileSection(const std::wstring& path)
{
    userLight_.reset(); // the section brings its own light; a game's effect ends with the old one
    profile_.LoadDeviceSection(path);
    keyList_ = profile_.GetKeyList();
    dpiStages_ = profile_.GetDpiStages();
    currentDpiStage_ = profile_.GetCurrentDpiStage();
    system_ = profile_.GetMouseSystem();
    // The document is what is sent, so it takes the held values too.
    LightInfoRecord light = profile_.GetLightInfo();
    if (clampMouseSettings(dpiStages_, currentDpiStage_, system_, light, limits())) {
        profile_.SetDpiStages(dpiStages_);
        profile_.SetCurrentDpiStage(currentDpiStage_);
        profile_.SetMouseSystem(system_);
        profile_.SetLightInfo(light);
    }
    applyProfileLight();
}

MouseLimits CTarvenixMouseDevice::limits() const
{
    MouseLimits l;
    l.stages = kStages;
    l.pairedStepBytes = sensor() == 0x8925;
    const int steps = info_[12] | info_[13] << 8;
    if (l.pairedStepBytes)
        l.step = {0, 149};
    else if (steps > 0) // 0 until the device information was read
        l.step = {0, steps};
    if (auto* c = qobject_cast<ui::Combo*>(find(QStringLiteral("Anti_Shake_combo_timeSelect"))); c && c->count() > 0)
        l.debounce = {0, c->count() - 1};
    // A sleep option is one of its combo's item values.
    const std::pair<const char*, MouseLimits::Range*> sleeps[] = {{"ble_sleep1_combo", &l.bleSleep1}, {"ble_sleep2_combo", &l.bleSleep2},
                                                                  {"device_sleep1_combo", &l.deviceSleep1}, {"device_sleep2_combo", &l.deviceSleep2}};
    for (const auto& [name, range] : sleeps) {
        auto* c = qobject_cast<ui::Combo*>(find(QString::fromLatin1(name)));
        for (int i = 0; c && i < c->count(); ++i) {
            const int v = c->itemUserData(i).toInt();
            *range = range->max < range->min ? MouseLimits::Range{v, v} : MouseLimits::Range{std::min(range->min, v), std::max(range->max, v)};
        }
    }
    return l;
}

int CTarvenixMouseDevice::applyProfileLight()
{
    CTarvenixUSBDevice::setLightState(profile_.GetLightInfo());
    preview_->applyZoneList(profile_.GetLightList());
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    std::lock_guard lock(lightListMutex_);
    customEffects_ = profile_.GetCustomEffects();
    return 1;
}

void CTarvenixMouseDevice::setLightIndex(int n)
{
    CTarvenixUSBDevice::setLightIndex(n);
    LightInfoRecord s = profile_.GetLightInfo();
    s.customGroup = 0;
    profile_.SetLightInfo(s);
}

void CTarvenixMouseDevice::setLightState(const LightInfoRecord& state)
{
    CTarvenixUSBDevice::setLightState(state);
    profile_.SetLightInfo(state);
}

bool CTarvenixMouseDevice::readInfoAndKeyBlock()
{
    if (command_->beginConfig() != ResultOk)
        return false;
    // Into copies: a read that fails half-way leaves nothing half-read behind, and a key block that
    // was never read is never written back (it would erase every key).
    std::array<uint8_t, 34> info{};
    std::array<uint8_t, 512> block{};
    const bool infoOk = command_->readDeviceInfo(info.data()) == ResultOk;
    const bool blockOk = infoOk && command_->setBlockSize(size_t(3) * info[5]) && command_->readKeyBlock(block.data()) == ResultOk;
    command_->endConfig(); // the transaction is closed whatever happened after it was opened
    if (infoOk) {
        info_ = info;
        infoRead_ = true;
        applyDpiRanges();
    }
    if (!blockOk) {
        trace("读取设备按键信息失败");
        return false;
    }
    keyBlock_ = block;
    keyBlockRead_ = true;
    locateKeys(factoryCodes().data(), keyBlock_.data(), info_[5]);
    return true;
}

void CTarvenixMouseDevice::linkOpened()
{
    infoRead_ = false;
    keyBlockRead_ = false;
    writeFailureTold_ = false;
}

void CTarvenixMouseDevice::applyDpiRanges()
{
    const bool s8925 = sensor() == 0x8925;
    const int steps = info_[12] | info_[13] << 8;
    for (int i = 0; i < kStages; ++i) {
        if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("DPI_slider_%1").arg(i)))) {
            s->setMinValue(0);
            s->setMaxValue(s8925 ? 149 : steps);
        }
        if (auto* e = qobject_cast<ui::Edit*>(find(QStringLiteral("DPI_edit_%1").arg(i))))
            e->setMaxChar(5); // 0 … 10000 or 26000
    }
}

void CTarvenixMouseDevice::syncFromDevice()
{
    const bool up = linkUp();
    if (up)
        readInfoAndKeyBlock();
    loadProfile();
    // Before the mouse's settings are read back, so that they are the ones the user chose.
    if (up)
        writePending();
    readSettings();
    refreshPage();
    startPreview();
    update();
}

void CTarvenixMouseDevice::readSettings()
{
    syncDriven_ = false;
    if (!linkUp())
        return;
    previousSlotByte_ = uint8_t(currentSlot_);
    std::copy(settings_.begin(), settings_.begin() + 16, previousHead_.begin());
    uint8_t slot = 0;
    std::array<uint8_t, kMouseRecordSize> record{};
    if (command_->readSettings(0, &slot, 1) != ResultOk
        || command_->readSettings(uint16_t(slot * 128u), record.data(), record.size()) != ResultOk)
        return;
    currentSlot_ = slot;
    settings_ = record;
    if (slot != 0) {
        // The mouse is on one of its on-board profiles 1…, which the program does not keep: they are
        // not taken into the program's profile, which the mouse gets back (as its profile 0) with
        // the next change.
        trace("鼠标处于板载配置 " + std::to_string(slot) + "，不读入程序配置");
        refreshPage();
        return;
    }
    settings_[3] = std::min<uint8_t>(settings_[3], 4); // speed is sent as 4 - speed
    // Byte 1 comes back as the mode's code; its row in the mode list is the effect number.
    for (size_t i = 0; i < effectCodes_.size(); ++i)
        if (effectCodes_[i] == settings_[1]) {
            settings_[1] = uint8_t(i);
            break;
        }
    settings_[9] = 0;
    LightInfoRecord s = lightState();
    s.selectItem = settings_[1];
    s.light = settings_[2];
    s.speed = uint8_t(4 - settings_[3]);
    s.multiColor = settings_[5];
    s.red = settings_[6];
    s.green = settings_[7];
    s.blue = settings_[8];
    system_.reportRate = settings_[11];
    system_.linearCalibration = settings_[83];
    system_.ripple = settings_[84];
    system_.keyDebounceTime = settings_[81];
    system_.bleSleep1 = settings_[77];
    system_.bleSleep2 = settings_[78];
    system_.deviceSleep1 = settings_[79];
    system_.deviceSleep2 = settings_[80];
    currentDpiStage_ = settings_[12];
    // What the mouse reports is held to what it may hold before it is kept; a report rate no
    // option stands for stays as it is, shown as unknown (no option selected).
    MouseLimits held = limits();
    held.reportRate = {};
    clampMouseSettings(dpiStages_, currentDpiStage_, system_, s, held);
    profile_.SetDpiStages(dpiStages_);
    profile_.SetMouseSystem(system_);
    profile_.SetCurrentDpiStage(currentDpiStage_);
    setLightState(s);
    saveProfile();
    refreshPage(); // the page shows what was read
}

int CTarvenixMouseDevice::writeSettings(int slot, int firstByte, int, int, int)
{
    if (!linkUp() || command_->suspended()) {
        settingsPending_ = settingsPending_ || unreachable();
        return 0;
    }
    const auto record = buildMouseRecord(profile_.GetDpiStages(), profile_.GetMouseSystem(), profile_.GetCurrentDpiStage(),
                                         profile_.GetLightInfo(), uint8_t(firstByte));
    bool ok = command_->beginConfig() == ResultOk;
    if (ok) {
        const int written = command_->writeSettings(uint16_t(slot * 128), record.data(), record.size());
        ok = command_->endConfig() == ResultOk && written == ResultOk;
    }
    // A record the mouse refused is owed as well: the next connection writes it.
    settingsPending_ = !ok;
    writeDone(ok);
    return ok ? 1 : 0;
}

void CTarvenixMouseDevice::writeDone(bool ok)
{
    if (ok) {
        writeFailureTold_ = false;
        return;
    }
    trace("写入设备失败");
    if (!writeFailureTold_ && deviceEnvironment().writeFailed) {
        writeFailureTold_ = true;
        deviceEnvironment().writeFailed();
    }
}

// A change made while the mouse was out of reach is in the profile only; it goes to the mouse once
// it answers again, so that profile, page and mouse agree on it.
void CTarvenixMouseDevice::writePending()
{
    if (settingsPending_)
        writeSettings(0, 0, 1, 0, 0);
    if (keysPending_)
        writeCurrentKeyMap(0);
}

int CTarvenixMouseDevice::writeShootSequences()
{
    if (!linkUp())
        return 0;
    std::vector<std::vector<std::array<uint8_t, 4>>> sequences;
    for (int g = 0; g < 4; ++g) {
        const Json::Value file = ReadJsonFile(dataFolder() + L"ShootData_" + std::to_wstring(g) + L".Shoot");
        const Json::Value& all = Member(file, "Events");
        std::vector<std::array<uint8_t, 4>> events;
        for (Json::ArrayIndex e = 0; e < ElementCount(all); ++e)
            events.push_back(encodeMacroEvent(Element(all, e)));
        sequences.push_back(std::move(events));
    }
    const std::vector<uint8_t> image = buildSequenceImage(sequences);
    if (command_->beginConfig() != ResultOk)
        return 0;
    const int written = command_->writeShootMemory(image.data(), image.size());
    const int closed = command_->endConfig();
    return written == ResultOk && closed == ResultOk ? 1 : 0;
}

void CTarvenixMouseDevice::pollPower()
{
    if (!command_->isOpen() || windowHidden_ || !command_->linkQuery())
        return;
    uint8_t status[2] = {};
    if (command_->readStatus(0, status, 2) != ResultOk)
        return;
    const uint8_t record[6] = {status[0], status[1], 0, uint8_t(command_->receiverMode() ? 1 : 0), 0, 0};
    if (power_)
        power_->showPowerReport(record, sizeof record);
}

int CTarvenixMouseDevice::isReceiverLinkUp()
{
    return command_->isOpen() && command_->receiverMode() && command_->linkQuery() ? 1 : 0;
}

void CTarvenixMouseDevice::repairMacroKeys()
{
    loadAuxiliaryData();
    bool changed = false;
    for (KeyEntry& k : keyList_)
        if (IsMacroAction(k.current) && k.current.param1 >= macroNames_.size()) {
            k.current = k.defaults;
            changed = true;
        }
    if (changed) {
        profile_.SetKeyList(keyList_);
        // The key labels follow once the key editor names the actions.
    }
}

void CTarvenixMouseDevice::loadAuxiliaryData()
{
    macroNames_ = readMacroNames();
    const DefaultLightNames names =
        ReadDefaultLightNames(deviceEnvironment().programFolder + L"DefaultData/default_light.json", lightIndex_);
    effectNames_ = names.modeNames;
    effectVisible_ = names.modeVisible;
    effectCodes_ = names.modeCodes;
    areaLightNames_ = names.areaNames;
    customLightNames_ = ReadCustomLightNames(dataFolder() + lightFileBase_ + L".config", lightIndex_);
}

int CTarvenixMouseDevice::dpiOfStage(int n) const
{
    if (n < 0 || n >= int(dpiStages_.size()))
        return 0;
    const uint16_t x = dpiStages_[size_t(n)].dpiX;
    return dpiFromStep(sensor(), sensor() == 0x8925 ? (x & 0xFF) : x, dpiStep(), dpiBase());
}

void CTarvenixMouseDevice::refreshPage()
{
    refreshKeys();
    const bool s8925 = sensor() == 0x8925;
    int enabledStages = 0;
    for (int i = 0; i < kStages && i < int(dpiStages_.size()); ++i)
        enabledStages += dpiStages_[size_t(i)].active ? 1 : 0;
    for (int i = 0; i < kStages; ++i) {
        const bool present = i < int(dpiStages_.size());
        const DpiStage st = present ? dpiStages_[size_t(i)] : DpiStage{};
        const bool active = i == currentDpiStage_;
        if (auto* c = qobject_cast<ui::Option*>(find(QStringLiteral("DPI_enable_check_%1").arg(i)))) {
            c->selected(present && st.active, false);
            // The active stage and the last enabled one cannot be switched off.
            c->setEnabled(!active && !(st.active && enabledStages <= 1));
        }
        if (auto* layout = find(QStringLiteral("DPI_layout_%1").arg(i)))
            layout->setVisible(present && st.active);
        if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("DPI_slider_%1").arg(i)))) {
            if (present)
                s->setValue(s8925 ? (st.dpiX & 0xFF) : st.dpiX);
            s->setThumbImage(active ? QStringLiteral("Control/SliderBar1_Thumb.png") : QStringLiteral("Control/SliderBar2_Thumb.png"));
            s->setEnabled(infoRead_); // steps mean nothing until the device information is read
        }
        if (auto* e = find(QStringLiteral("DPI_edit_%1").arg(i))) {
            if (present)
                e->setText(infoRead_ ? QString::number(dpiOfStage(i)) : QString());
            e->setEnabled(infoRead_);
        }
        if (auto* o = find(QStringLiteral("DPI_color_option_%1").arg(i)); o && present)
            o->setBkColor(0xFF000000 | rgbOf(st));
        if (auto* sel = qobject_cast<ui::Option*>(find(QStringLiteral("DPI_select_check_%1").arg(i))))
            sel->selected(active, false);
    }
    // A value no option stands for selects none, so that a click on any option writes it.
    auto selectOption = [&](const QString& prefix, int value, int count) {
        for (int i = 0; i < count; ++i)
            if (auto* o = qobject_cast<ui::Option*>(find(prefix + QString::number(i))))
                o->selected(i == value, false);
    };
    selectOption(QStringLiteral("polling_rate_option_"), system_.reportRate, 5);
    selectOption(QStringLiteral("Silent_Altitude_option_"), system_.silentAltitude, 2);
    selectOption(QStringLiteral("Linear_Calibration_option_"), system_.linearCalibration, 2);
    selectOption(QStringLiteral("Ripple_option_"), system_.ripple, 2);
    if (auto* c = qobject_cast<ui::Combo*>(find(QStringLiteral("Anti_Shake_combo_timeSelect"))))
        c->selectItem(system_.keyDebounceTime, false);
    const std::pair<const char*, uint16_t> sleeps[] = {{"ble_sleep1_combo", system_.bleSleep1}, {"ble_sleep2_combo", system_.bleSleep2},
                                                       {"device_sleep1_combo", system_.deviceSleep1}, {"device_sleep2_combo", system_.deviceSleep2}};
    for (const auto& [name, value] : sleeps)
        if (auto* c = qobject_cast<ui::Combo*>(find(QString::fromLatin1(name))))
            c->selectItem(c->findUserData(QString::number(value)), false);
    // The pointer options as the profile keeps them.
    const std::pair<const char*, int> sliders[] = {{"pointer_speed_slider", system_.mouseSpeed},
                                                   {"scroll_speed_slider", system_.wheelScrollLines},
                                                   {"double_click_slider", system_.doubleClickTime}};
    for (const auto& [name, value] : sliders)
        if (auto* s = qobject_cast<ui::Slider*>(find(QString::fromLatin1(name))); s && value > 0)
            s->setValue(value);
    if (auto* o = qobject_cast<ui::Option*>(find(QStringLiteral("pointer_precision_check"))))
        o->selected(system_.pointerPrecision != 0, false);
    if (auto* o = qobject_cast<ui::Option*>(find(QStringLiteral("scrolls_page_check"))))
        o->selected(system_.scrollPage != 0, false);
    if (lightEditor_) {
        lightEditor_->SetLightInfo(userLight_ ? *userLight_ : profile_.GetLightInfo());
        lightEditor_->SetAudioLightInfo(profile_.GetAudioLightInfo());
    }
    // The key labels follow the key list once the key editor exists.
}

void CTarvenixMouseDevice::commitLight(const LightInfoRecord& record, bool syncDriven)
{
    // The user's own choice ends a game's effect shown meanwhile: it is what the game gives back.
    userLight_.reset();
    CTarvenixUSBDevice::commitLight(record, syncDriven);
}

void CTarvenixMouseDevice::commitAudioLight(const AudioLightRecord& record)
{
    profile_.SetAudioLightInfo(record);
    saveProfile();
    applyProfileLight();
}

void CTarvenixMouseDevice::showFunctionTab(int type)
{
    CTarvenixUSBDevice::showFunctionTab(type);
    if (auto* hint = find(QStringLiteral("device_tishi_info")))
        hint->setVisible(false);
}

void CTarvenixMouseDevice::showSettingsPage(int n)
{
    if (auto* tabs = qobject_cast<ui::TabLayout*>(find(QStringLiteral("mouse_device_seting_layout"))))
        tabs->selectItem(n);
    if (auto* o = qobject_cast<ui::Option*>(find(QStringLiteral("mouse_device_seting_option_%1").arg(n))))
        o->selected(true, false);
}

void CTarvenixMouseDevice::storeAndWrite()
{
    profile_.SetDpiStages(dpiStages_);
    profile_.SetCurrentDpiStage(currentDpiStage_);
    profile_.SetMouseSystem(system_);
    saveProfile();
    writeSettings(0, 0, 1, 0, 0);
}

void CTarvenixMouseDevice::onDpiEnable(int n, bool on)
{
    if (n < 0 || n >= kStages)
        return;
    if (int(dpiStages_.size()) <= n)
        dpiStages_.resize(size_t(n) + 1);
    int enabledBefore = 0;
    for (int i = 0; i < int(dpiStages_.size()) && i < kStages; ++i)
        enabledBefore += dpiStages_[size_t(i)].active ? 1 : 0;
    // The current stage and the last enabled one stay on, whatever the page let through.
    if (!on && dpiStages_[size_t(n)].active && (n == currentDpiStage_ || enabledBefore <= 1)) {
        if (auto* c = qobject_cast<ui::Option*>(find(QStringLiteral("DPI_enable_check_%1").arg(n))))
            c->selected(true, false);
        return;
    }
    dpiStages_[size_t(n)].active = on ? 1 : 0;
    if (auto* layout = find(QStringLiteral("DPI_layout_%1").arg(n)))
        layout->setVisible(on);
    int enabled = 0, last = -1;
    for (int i = 0; i < int(dpiStages_.size()) && i < kStages; ++i)
        if (dpiStages_[size_t(i)].active) {
            ++enabled;
            last = i;
        }
    if (enabled == 1)
        if (auto* c = find(QStringLiteral("DPI_enable_check_%1").arg(last)))
            c->setEnabled(false); // the last enabled stage stays
    storeAndWrite();
}

void CTarvenixMouseDevice::onDpiSliderMoved(int n)
{
    auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("DPI_slider_%1").arg(n)));
    if (auto* e = find(QStringLiteral("DPI_edit_%1").arg(n)); s && e)
        e->setText(QString::number(dpiFromStep(sensor(), s->value(), dpiStep(), dpiBase())));
}

void CTarvenixMouseDevice::setStageStep(int n, int step)
{
    if (n < 0 || n >= kStages)
        return;
    if (int(dpiStages_.size()) <= n)
        dpiStages_.resize(size_t(n) + 1);
    const uint16_t s = uint16_t(std::max(0, step));
    dpiStages_[size_t(n)].dpiX = sensor() == 0x8925 ? uint16_t((s & 0xFF) | (s & 0xFF) << 8) : s;
}

void CTarvenixMouseDevice::onDpiStep(int n, int step)
{
    setStageStep(n, step);
    onDpiSliderMoved(n);
    storeAndWrite();
}

void CTarvenixMouseDevice::onDpiEditDone(int n)
{
    auto* e = find(QStringLiteral("DPI_edit_%1").arg(n));
    if (!e)
        return;
    if (!infoRead_)
        return; // without the device information no DPI maps to a step
    const int step = stepFromDpi(sensor(), e->text().toInt(), dpiStep(), dpiBase(), limits().step.max);
    if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("DPI_slider_%1").arg(n))))
        s->setValue(step);
    setStageStep(n, step);
    e->setText(QString::number(dpiOfStage(n)));
    storeAndWrite();
}

void CTarvenixMouseDevice::onDpiSelect(int n)
{
    if (n < 0 || n >= kStages)
        return;
    currentDpiStage_ = n;
    for (int i = 0; i < kStages; ++i)
        if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("DPI_slider_%1").arg(i))); s && i < int(dpiStages_.size()))
            setStageStep(i, s->value());
    storeAndWrite();
    refreshPage();
}

void CTarvenixMouseDevice::onDpiColour(int n, uint32_t rgb)
{
    if (n < 0 || n >= kStages)
        return;
    if (int(dpiStages_.size()) <= n)
        dpiStages_.resize(size_t(n) + 1);
    DpiStage& s = dpiStages_[size_t(n)];
    s.red = uint8_t(rgb >> 16);
    s.green = uint8_t(rgb >> 8);
    s.blue = uint8_t(rgb);
    if (auto* o = find(QStringLiteral("DPI_color_option_%1").arg(n)))
        o->setBkColor(0xFF000000 | (rgb & 0xFFFFFF));
    storeAndWrite();
}

void CTarvenixMouseDevice::onReportRate(int n)
{
    system_.reportRate = uint16_t(n);
    storeAndWrite();
}

void CTarvenixMouseDevice::onSilentAltitude(int n)
{
    system_.silentAltitude = uint16_t(n);
    storeAndWrite();
}

void CTarvenixMouseDevice::onLinearCalibration(int n)
{
    system_.linearCalibration = uint16_t(n);
    storeAndWrite();
}

void CTarvenixMouseDevice::onRipple(int n)
{
    system_.ripple = uint16_t(n);
    storeAndWrite();
}

void CTarvenixMouseDevice::onDebounceSelected()
{
    if (auto* c = qobject_cast<ui::Combo*>(find(QStringLiteral("Anti_Shake_combo_timeSelect")))) {
        system_.keyDebounceTime = uint16_t(std::max(0, c->curSel()));
        storeAndWrite();
    }
}

void CTarvenixMouseDevice::onSleepSelected(const QString& comboName)
{
    auto* c = qobject_cast<ui::Combo*>(find(comboName));
    if (!c)
        return;
    const uint16_t v = uint16_t(c->itemUserData(c->curSel()).toUInt());
    if (comboName == QLatin1String("ble_sleep1_combo")) system_.bleSleep1 = v;
    else if (comboName == QLatin1String("ble_sleep2_combo")) system_.bleSleep2 = v;
    else if (comboName == QLatin1String("device_sleep1_combo")) system_.deviceSleep1 = v;
    else if (comboName == QLatin1String("device_sleep2_combo")) system_.deviceSleep2 = v;
    else return;
    storeAndWrite();
}

void CTarvenixMouseDevice::onPointerSpeed(int value)
{
    system_ = profile_.GetMouseSystem();
    system_.mouseSpeed = uint16_t(value);
    profile_.SetMouseSystem(system_);
    saveProfile();
}

void CTarvenixMouseDevice::onPointerPrecision(bool on)
{
    system_ = profile_.GetMouseSystem();
    system_.pointerPrecision = on ? 1 : 0;
    profile_.SetMouseSystem(system_);
    saveProfile();
}

void CTarvenixMouseDevice::onScrollSpeed(int value)
{
    if (auto* page = qobject_cast<ui::Option*>(find(QStringLiteral("scrolls_page_check"))))
        page->selected(false, false);
    system_ = profile_.GetMouseSystem();
    system_.wheelScrollLines = uint16_t(value);
    system_.scrollPage = 0;
    profile_.SetMouseSystem(system_);
    saveProfile();
}

void CTarvenixMouseDevice::onScrollByPage(bool on)
{
    system_ = profile_.GetMouseSystem();
    if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("scroll_speed_slider"))))
        system_.wheelScrollLines = uint16_t(s->value());
    system_.scrollPage = on ? 1 : 0;
    profile_.SetMouseSystem(system_);
    saveProfile();
}

void CTarvenixMouseDevice::onDoubleClickTime(int value)
{
    system_ = profile_.GetMouseSystem();
    system_.doubleClickTime = uint16_t(value);
    profile_.SetMouseSystem(system_);
    saveProfile();
}

uint16_t CTarvenixMouseDevice::eventCode(HidTransport&, const uint8_t* report, size_t length)
{
    return length >= 3 ? uint16_t(report[1] | report[2] << 8) : 0;
}

void CTarvenixMouseDevice::onDeviceEvent(uint16_t code, bool cableReader)
{
    if (code == 0x0401) {
        trace("接收到自动添加设备的同步信息要求");
        onUiThread([this] {
            if (tab_)
                tab_->startTabTimer(1002, 50);
        });
    } else if (code == 0x0403) {
        if (cableReader && lightState().selectItem == kEffectFlash) {
            preview_->triggerFlash();
            wakePreview();
        }
    } else if (code == 0x0404) {
        command_->setSuspended(true);
    } else if (code == 0x0405) {
        command_->setSuspended(false);
        onUiThread([this] { writePending(); }); // what was changed during the pause
    } else if ((code & 0xFF00) == 0x1000 || (code & 0xFF00) == 0x1100) {
        if (!command_->isOpen())
            return;
        const int slot = code & 0x0F;
        const int stage = (code >> 4) & 0x0F;
        const bool withStage = (code & 0xFF00) == 0x1100;
        onUiThread([this, slot, stage, withStage] {
            currentSlot_ = slot;
            // Only a stage that is switched on in the program's profile (the mouse's profile 0)
            // becomes the current one: the current stage is always an enabled one.
            const bool enabled = stage < int(dpiStages_.size()) && stage < kStages && dpiStages_[size_t(stage)].active;
            if (withStage && slot == 0 && enabled) {
                currentDpiStage_ = stage;
                profile_.SetCurrentDpiStage(stage);
            }
            refreshPage();
        });
    }
}

void CTarvenixMouseDevice::effectWave() { preview_->stepMouseWave(lightState()); }
void CTarvenixMouseDevice::effectRunningLight() { preview_->stepRunningLight(lightState()); }
void CTarvenixMouseDevice::effectRandomFlash() { preview_->stepRandomFlash(lightState()); }

int CTarvenixMouseDevice::stepPreview(int64_t now)
{
    const LightInfoRecord s = lightState();
    const int period = light::thresholdOf(s.speed) * light::kTickMs;
    switch (s.selectItem) {
    case kEffectWave: effectWave(); return period;
    case kEffectRunning: effectRunningLight(); return period;
    case kEffectFlash:
        effectRandomFlash();
        return preview_->flashing() ? period : kWaitForever; // dark until the next click wakes it
    default: return CTarvenixUSBDevice::stepPreview(now);
    }
}

void CTarvenixMouseDevice::paintLights()
{
    CTarvenixUSBDevice::paintLights();
    controls::LightFrame frame;
    for (int i = 0; i < int(zoneButtons_.size()); ++i)
        if (auto* b = zoneButtons_[size_t(i)]; b && b->isVisible())
            frame.set(b, zoneColor(i));
    if (logo_ && logoLight_ >= 0) {
        const uint32_t c = zoneColor(logoLight_);
        logo_->setBkColor(0xFF000000u | (c >> 8));
    }
    // Each button repaints its own region when its colour changed; the picture under it is
    // repainted there too, so the whole picture is never painted again for a frame.
}

} // namespace q9
