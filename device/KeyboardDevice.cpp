#include "device/KeyboardDevice.h"

#include "controls/KeyControls.h"
#include "device/KeyboardLayout.h"
#include "editors/LightEditor.h"
#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/LightConfig.h"
#include "ui/Label.h"
#include "ui/Slider.h"
#include "ui/Window.h"

#include <QDateTime>

#include <algorithm>

namespace q9 {

namespace {
// Effects of the keyboard's list that the preview shows with the shared steps.
constexpr uint8_t kHostColour = 30, kAudio = 29;
// The audio renderer runs every second tick of the system clock.
constexpr int kAudioFrameMs = 32;
constexpr uint8_t kSpectrum = 4, kBreathing = 5, kStatic = 6, kBlink = 23, kBreathingFour = 26, kBlinkFour = 27, kOff = 28;
} // namespace

CTarvenixKeyboardDevice::CTarvenixKeyboardDevice(QWidget* parent) : CTarvenixUSBDevice(KindKeyboard, parent)
{
    for (int i = 0; i < kKeys; ++i)
        deviceKeyIndex_[i] = kNoKey;
    profile_.SetDeviceIndex(0);
}

CTarvenixKeyboardDevice::~CTarvenixKeyboardDevice() { stopThreads(); }

ui::Control* CTarvenixKeyboardDevice::getInterface(const QString& className)
{
    return className == QLatin1String("TarvenixKeyboardDevice") ? this : CTarvenixUSBDevice::getInterface(className);
}

ui::Control* CTarvenixKeyboardDevice::find(const QString& name) const
{
    return ui::Window::findSubControlByName(const_cast<CTarvenixKeyboardDevice*>(this), name);
}

void CTarvenixKeyboardDevice::buildPage()
{
    CTarvenixUSBDevice::bindPageControls();
    // Every key of the picture carries its own light.
    bindButtonsIn(find(QStringLiteral("device_key_light")));
    lightButtons_ = keyButtons_;
    for (auto* b : lightButtons_)
        if (b) {
            b->setLightColor(255, 255, 255, 255);
            b->showLightLayer(true);
        }

    CDeviceProfileUI bar = profileBar();
    bar.SetDeviceKind(KindKeyboard);
    bar.SetPaths(dataFolder(), defaultProfilePath());
    bar.Init();
    showFunctionTab(1);
    profileId_ = bar.GetCurrentProfileId();
    lightEditor_ = std::make_unique<editors::CLightControlUI>(find(QStringLiteral("LightControlItem")));
    lightEditor_->SetLightKind(KindKeyboard); // through the receiver as well
    loadAuxiliaryData();
    lightEditor_->SetEffectList(effectNames_, effectVisible_, 4, 4);
    attachKeyEditors(0);
}

bool CTarvenixKeyboardDevice::lightsFollowPreview() const
{
    const uint8_t row = lightState().selectItem;
    return hostLightControl() && row < 64 && (hostDrivenRows_ >> row & 1);
}

void CTarvenixKeyboardDevice::loadAuxiliaryData()
{
    const DefaultLightNames names =
        ReadDefaultLightNames(deviceEnvironment().programFolder + L"DefaultData/default_light.json", lightIndex_);
    effectNames_ = names.modeNames;
    effectVisible_ = names.modeVisible;
    effectCodes_ = names.modeCodes;
    uint64_t hostRows = 0;
    for (size_t row = 0; row < effectCodes_.size() && row < 64; ++row)
        if (effectCodes_[row] == 0x1D || effectCodes_[row] == 0x1E)
            hostRows |= uint64_t(1) << row;
    hostDrivenRows_ = hostRows;
    areaLightNames_ = names.areaNames;
    customLightNames_ = ReadCustomLightNames(dataFolder() + lightFileBase_ + L".config", lightIndex_);
}

void CTarvenixKeyboardDevice::setDocumentPaths()
{
    const std::wstring folder = dataFolder();
    profile_.SetDefaultProfilePath(defaultProfilePath());
    profile_.SetProfilePath(folder + profileId_ + L".Json");
    profile_.SetLightConfigPath(folder + lightFileBase_ + L".config");
}

int CTarvenixKeyboardDevice::loadProfile()
{
    setDocumentPaths();
    takeProfileSection(profile_.GetProfilePath());
    return 1;
}

void CTarvenixKeyboardDevice::takeProfileSection(const std::wstring& path)
{
    profile_.LoadDeviceSection(path);
    keyList_ = profile_.GetKeyList();
    system_ = profile_.GetKeyboardSystem();
    // The document is what is sent: values the keyboard cannot take are held first.
    LightInfoRecord light = profile_.GetLightInfo();
    const LightInfoRecord before = light;
    light.light = std::min<uint8_t>(light.light, 4);
    light.speed = std::min<uint8_t>(light.speed, 4);
    light.customGroup = std::min<uint8_t>(light.customGroup, 4);
    if (!(light == before))
        profile_.SetLightInfo(light);
    applyProfileLight();
}

bool CTarvenixKeyboardDevice::loadDefaultProfile()
{
    CKeyboardProfiledata probe;
    if (!probe.LoadDeviceSection(defaultProfilePath()).isObject()) {
        trace("默认配置文件缺失或无法使用");
        return false;
    }
    setDocumentPaths();
    takeProfileSection(defaultProfilePath());
    saveProfile();
    refreshPage();
    return true;
}

void CTarvenixKeyboardDevice::saveProfile()
{
    if (!profile_.Save() && deviceEnvironment().saveFailed)
        deviceEnvironment().saveFailed(profile_.GetProfilePath());
}

int CTarvenixKeyboardDevice::applyProfileLight()
{
    CTarvenixUSBDevice::setLightState(profile_.GetLightInfo());
    preview_->applyZoneList(profile_.GetLightList());
    {
        std::lock_guard lock(effectsMutex_);
        effects_.setAudioLight(profile_.GetAudioLightInfo());
    }
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    std::lock_guard lock(lightListMutex_);
    customEffects_ = profile_.GetCustomEffects();
    return 1;
}

void CTarvenixKeyboardDevice::setLightState(const LightInfoRecord& state)
{
    CTarvenixUSBDevice::setLightState(state);
    profile_.SetLightInfo(state);
}

void CTarvenixKeyboardDevice::commitAudioLight(const AudioLightRecord& record)
{
    profile_.SetAudioLightInfo(record);
    {
        std::lock_guard lock(effectsMutex_);
        effects_.setAudioLight(record);
    }
    saveProfile();
    applyProfileLight();
}

void CTarvenixKeyboardDevice::linkOpened()
{
    writeFailureTold_ = false;
    keyBlockRead_ = false;
}

bool CTarvenixKeyboardDevice::readInfoAndKeyBlock()
{
    if (command_->beginConfig() != ResultOk)
        return false;
    std::array<uint8_t, 34> info{};
    std::array<uint8_t, 512> keys{};
    std::array<uint8_t, 512> leds{};
    const bool infoOk = command_->readDeviceInfo(info.data()) == ResultOk;
    const bool blocksOk = infoOk && command_->setBlockSize(size_t(3) * info[5]) && command_->readKeyBlock(keys.data()) == ResultOk
                          && command_->readThirdBlock(leds.data()) == ResultOk;
    command_->endConfig();
    if (infoOk)
        info_ = info;
    if (!blocksOk) {
        trace("读取设备按键信息失败");
        return false;
    }
    keyBlock_ = keys;
    keyBlockRead_ = true;
    locateKeys(keyboard::factoryCodes().data(), keys.data(), info_[5]);
    KeyboardKeyMaps maps{std::vector<uint8_t>(kKeys, kNoKey), std::vector<uint8_t>(kKeys, kNoKey)};
    for (int j = 0; j < kKeys; ++j)
        if (const int k = deviceKeyIndex_[j]; k != kNoKey) {
            maps.deviceKey[size_t(j)] = uint8_t(k);
            maps.led[size_t(j)] = leds[size_t(k)];
        }
    std::lock_guard lock(effectsMutex_);
    maps_ = std::move(maps);
    return true;
}

void CTarvenixKeyboardDevice::syncFromDevice()
{
    const bool up = linkUp();
    if (up)
        readInfoAndKeyBlock();
    loadProfile();
    if (up)
        writePending();
    readSettings();
    refreshPage();
    startPreview();
    update();
}

void CTarvenixKeyboardDevice::readSettings()
{
    syncDriven_ = false;
    if (!linkUp())
        return;
    uint8_t slot = 0;
    std::array<uint8_t, kKeyboardRecordSize> record{};
    if (command_->readSettings(0, &slot, 1) != ResultOk
        || command_->readSettings(uint16_t(slot * kKeyboardRecordStride), record.data(), record.size()) != ResultOk)
        return;
    currentSlot_ = slot;
    LightInfoRecord s = lightState();
    takeKeyboardRecord(record.data(), effectCodes_, s, system_);
    profile_.SetKeyboardSystem(system_);
    setLightState(s);
    if (s.selectItem == kCustomColours && readColourGroups())
        showColorGroup();
    saveProfile();
    refreshPage();
}

int CTarvenixKeyboardDevice::writeSettings(int slot, int firstByte, int, int, int)
{
    if (!linkUp() || command_->suspended()) {
        settingsPending_ = settingsPending_ || unreachable();
        return 0;
    }
    const auto record = buildKeyboardRecord(profile_.GetLightInfo(), profile_.GetKeyboardSystem(), effectCodes_, uint8_t(firstByte));
    bool ok = command_->beginConfig() == ResultOk;
    if (ok) {
        const int written = command_->writeSettings(uint16_t(slot * kKeyboardRecordStride), record.data(), record.size());
        ok = command_->endConfig() == ResultOk && written == ResultOk;
    }
    settingsPending_ = !ok;
    writeDone(ok);
    return ok ? 1 : 0;
}

void CTarvenixKeyboardDevice::writeDone(bool ok)
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

void CTarvenixKeyboardDevice::writePending()
{
    if (settingsPending_)
        writeSettings(0, 0, 1, 0, 0);
    if (keysPending_)
        writeCurrentKeyMap(0);
}

void CTarvenixKeyboardDevice::pollPower()
{
    if (!command_->isOpen() || windowHidden_ || !command_->linkQuery())
        return;
    uint8_t record[6] = {};
    if (command_->readStatus(0, record, sizeof record) != ResultOk)
        return;
    record[3] = command_->receiverMode() ? 1 : 0;
    if (power_)
        power_->showPowerReport(record, sizeof record);
}

int CTarvenixKeyboardDevice::isReceiverLinkUp()
{
    return command_->isOpen() && command_->receiverMode() && command_->linkQuery() ? 1 : 0;
}

void CTarvenixKeyboardDevice::refreshPage()
{
    refreshKeys();
    if (lightEditor_) {
        lightEditor_->SetLightInfo(profile_.GetLightInfo());
        lightEditor_->SetCustomGroup(profile_.GetLightInfo().customGroup);
        lightEditor_->SetAudioLightInfo(profile_.GetAudioLightInfo());
    }
    const std::pair<const char*, uint16_t> flags[] = {
        {"winlockflag_option", system_.winFlag}, {"wflag_option", system_.wFlag}, {"6flag_option", system_.key6Flag}};
    for (const auto& [name, value] : flags)
        if (auto* o = qobject_cast<ui::Option*>(find(QString::fromLatin1(name))))
            o->selected(value != 0, false);
    // A rate no option stands for shows the first.
    const int rate = system_.pollingRate > 3 ? 0 : system_.pollingRate;
    for (int i = 0; i < 4; ++i)
        if (auto* o = qobject_cast<ui::Option*>(find(QStringLiteral("polling_rate_option_%1").arg(i))))
            o->selected(i == rate, false);
    for (int i = 0; i < 4; ++i)
        if (auto* o = qobject_cast<ui::Option*>(find(QStringLiteral("repeat_delay_check_%1").arg(i))))
            o->selected(i == system_.repeatDelay, false);
    if (auto* s = qobject_cast<ui::Slider*>(find(QStringLiteral("repeat_rate_slider"))))
        s->setValue(system_.repeat);
}

void CTarvenixKeyboardDevice::storeSystemAndWrite(bool write)
{
    profile_.SetKeyboardSystem(system_);
    saveProfile();
    if (write)
        writeSettings(0, 0, 1, 0, 0);
}

void CTarvenixKeyboardDevice::onRepeatRate(int value)
{
    system_.repeat = uint16_t(std::max(0, value));
    storeSystemAndWrite(false); // the desktop's typing rate, not the keyboard's
}

void CTarvenixKeyboardDevice::onRepeatDelay(int n)
{
    system_.repeatDelay = uint16_t(std::clamp(n, 0, 3));
    storeSystemAndWrite(false);
}

void CTarvenixKeyboardDevice::onWinLock(bool on)
{
    system_.winFlag = on ? 1 : 0;
    storeSystemAndWrite(true);
}

void CTarvenixKeyboardDevice::onWFlag(bool on)
{
    system_.wFlag = on ? 1 : 0;
    storeSystemAndWrite(true);
}

void CTarvenixKeyboardDevice::onSixKey(bool on)
{
    system_.key6Flag = on ? 1 : 0;
    storeSystemAndWrite(true);
}

void CTarvenixKeyboardDevice::onReportRate(int n)
{
    system_.pollingRate = uint16_t(std::clamp(n, 0, 3));
    storeSystemAndWrite(true);
}

void CTarvenixKeyboardDevice::showFunctionTab(int type)
{
    CTarvenixUSBDevice::showFunctionTab(type);
    if (auto* hint = find(QStringLiteral("device_tishi_info")))
        hint->setVisible(false);
}

uint16_t CTarvenixKeyboardDevice::eventCode(HidTransport&, const uint8_t* report, size_t length)
{
    return length >= 3 ? uint16_t(report[1] | report[2] << 8) : 0;
}

void CTarvenixKeyboardDevice::onDeviceEvent(uint16_t code, bool)
{
    if (code == 0x0401 || code == 0x0402 || (code == 0 && lightState().selectItem == 20)) {
        onUiThread([this] {
            if (tab_)
                tab_->startTabTimer(1002, 50);
        });
    } else if (code == 0x0404) {
        command_->setSuspended(true);
    } else if (code == 0x0405) {
        command_->setSuspended(false);
        onUiThread([this] { writePending(); });
    } else if ((code & 0xF000) == 0x2000) {
        // A key of the board pressed (0x21kk) or let go (0x22kk): the reactive effects answer it.
        const int state = (code >> 8) & 0x0F;
        const uint8_t deviceKey = uint8_t(code);
        const LightInfoRecord s = lightState();
        std::lock_guard lock(effectsMutex_);
        const auto at = std::find(maps_.deviceKey.begin(), maps_.deviceKey.end(), deviceKey);
        if (at == maps_.deviceKey.end() || (state != 1 && state != 2))
            return;
        effects_.keyPressed(s.selectItem, s.multiColor != 0, int(at - maps_.deviceKey.begin()), state);
        wakePreview();
    } else if ((code & 0xFF00) == 0x1000 || (code & 0xFF00) == 0x1100) {
        if (!command_->isOpen())
            return;
        const int slot = code & 0x0F;
        const int group = (code >> 4) & 0x0F;
        const bool withGroup = (code & 0xFF00) == 0x1100;
        onUiThread([this, slot, group, withGroup] {
            currentSlot_ = slot;
            if (withGroup)
                selectedGroup_ = uint8_t(group);
            refreshPage();
        });
    }
}

// The keyboard counts the system's ticks: speeds 0-4 step every 5, 4, 3, 2, 1 of them; the radial
// and ripple-edge effects every 4 at any speed.
int CTarvenixKeyboardDevice::stepPeriod(const LightInfoRecord& s)
{
    constexpr int kSystemTickMs = 16;
    if (s.selectItem == 16 || s.selectItem == 18)
        return 4 * kSystemTickMs;
    return (5 - std::min<int>(s.speed, 4)) * kSystemTickMs;
}

int CTarvenixKeyboardDevice::stepPreview(int64_t now)
{
    const LightInfoRecord s = lightState();
    {
        std::lock_guard lock(effectsMutex_);
        if (s.selectItem != effectShown_) {
            effectShown_ = s.selectItem;
            effects_.reset(s.selectItem);
        }
        if (effects_.step(s, *preview_)) {
            const uint8_t e = s.selectItem;
            if (e == 6 || e == 17)
                return kWaitForever; // unchanging until the light state changes
            if ((e == 7 || e == 8 || e == 9 || e == 25) && effects_.idle())
                return kWaitForever; // dark until the next key press wakes it
            return stepPeriod(s);
        }
    }
    // Speeds 0-4 step every 5, 4, 3, 2, 1 counted ticks.
    const int period = stepPeriod(s);
    switch (s.selectItem) {
    case kSpectrum: effectSpectrum(); return period;
    case kBreathing: effectBreathing(); return period;
    case kBreathingFour: effectBreathingFour(); return period;
    case kBlink: effectBlink(); return period;
    case kBlinkFour: effectBlinkFour(); return period;
    case kOff: effectOff(); return kWaitForever;
    case 0:
    case 19: {
        std::lock_guard lock(lightListMutex_);
        preview_->passCustom(customEffects_, s.speed, now);
        return light::kTickMs * 5;
    }
    case kCustomColours: {
        std::lock_guard lock(lightListMutex_);
        const uint8_t level = light::levelOf(s.light);
        for (int j = 0; j < kKeys; ++j) {
            const KeyColor c = j < int(groupColours_.size()) ? groupColours_[size_t(j)] : KeyColor{};
            preview_->setZone(j, light::pack(c.red, c.green, c.blue, level));
        }
        return kWaitForever;
    }
    case kAudio: {
        std::lock_guard lock(effectsMutex_);
        effects_.stepAudio(s, *preview_);
        return kAudioFrameMs;
    }
    case kHostColour: {
        const uint32_t c = hostColour_;
        const uint8_t level = light::levelOf(s.light);
        for (int j = 0; j < kKeys; ++j)
            preview_->setZone(j, light::pack(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), level));
        return kWaitForever;
    }
    case kStatic:
    default:
        effectStatic();
        return kWaitForever;
    }
}

void CTarvenixKeyboardDevice::paintLights()
{
    controls::LightFrame frame;
    for (int i = 0; i < int(keyButtons_.size()); ++i)
        if (auto* b = keyButtons_[size_t(i)])
            frame.set(b, zoneColor(i));
    // The keyboard shows what the program computes: its audio and host-colour effects, and the
    // effect shared by all devices. Only on its cable, and with host light control on.
    const uint8_t effect = lightState().selectItem;
    const bool hostDriven = effect < effectCodes_.size() && (effectCodes_[effect] == 0x1D || effectCodes_[effect] == 0x1E);
    if (!hostLightControl_ || !command_->isOpen() || command_->receiverMode() || !(hostDriven || syncDriven_))
        return;
    const int64_t now = QDateTime::currentMSecsSinceEpoch();
    if (now < streamPausedUntil_)
        return;
    const size_t leds = std::min<size_t>(info_[5], kKeys);
    std::array<uint32_t, kKeys> zones{};
    for (int i = 0; i < kKeys; ++i)
        zones[size_t(i)] = zoneColor(i);
    std::array<uint8_t, 3 * kKeys> bytes{};
    buildHostFrame(zones.data(), maps_.led.data(), kKeys, leds, bytes.data());
    if (command_->writeLightFrame(bytes.data(), 3 * leds) != ResultOk)
        streamPausedUntil_ = now + 200;
}

void CTarvenixKeyboardDevice::setAudioAux(const int32_t* values, int count)
{
    count = std::min(count, 6);
    if (!values || count < 3)
        return;
    auto byte = [](int32_t v) { return uint32_t(std::clamp(v, 0, 255)); };
    hostColour_ = byte(values[0]) << 16 | byte(values[1]) << 8 | byte(values[2]);
    setLightState(lightState()); // shown (and sent) at once
}

void CTarvenixKeyboardDevice::setAudioLevels(const int32_t* levels, int count)
{
    count = std::min(count, 500);
    if (!levels || count < 25)
        return;
    std::array<int32_t, 25> x{};
    std::copy(levels, levels + 25, x.begin());
    {
        std::lock_guard lock(effectsMutex_);
        const bool ripple = lightState().selectItem == kAudio && effects_.audioLight().audioMode == 2;
        effects_.storeAudioLevels(x, ripple);
    }
    wakePreview();
}

bool CTarvenixKeyboardDevice::readColourGroups()
{
    if (!linkUp())
        return false;
    const size_t leds = std::min<size_t>(info_[5], kKeys);
    const uint8_t level = std::min<uint8_t>(lightState().light, 4);
    std::vector<uint8_t> page(3 * leds);
    for (int p = 0; p < kGroups; ++p) {
        if (command_->readPage(uint16_t(p), 512, page.data(), page.size()) != ResultOk)
            return false;
        profile_.SetKeyColors(takeColourPage(page.data(), maps_.led, leds, level), p);
    }
    return true;
}

bool CTarvenixKeyboardDevice::writeColourGroup(int g, const std::vector<KeyColor>& colours)
{
    if (!linkUp() || command_->suspended())
        return false;
    const size_t leds = std::min<size_t>(info_[5], kKeys);
    const std::vector<uint8_t> page = buildColourPage(colours, maps_.led, leds);
    return command_->writePage(uint16_t(g), 512, page.data(), page.size()) == ResultOk;
}

void CTarvenixKeyboardDevice::showColours(const std::vector<KeyColor>& colours)
{
    {
        std::lock_guard lock(lightListMutex_);
        groupColours_ = colours;
    }
    setLightState(lightState()); // the preview takes them up at once
    wakePreview();
}

void CTarvenixKeyboardDevice::showColorGroup()
{
    const int g = std::clamp(profile_.GetColorGroupIndex(), 0, kGroups - 1);
    const std::vector<KeyColor> colours = profile_.GetKeyColors(g, kKeys);
    showColours(colours);
    if (lightEditor_)
        lightEditor_->SetCustomGroup(g);
    writeColourGroup(g, colours);
}

void CTarvenixKeyboardDevice::reloadColorGroup()
{
    const int g = std::clamp(profile_.GetColorGroupIndex(), 0, kGroups - 1);
    const std::vector<KeyColor> colours = profile_.GetKeyColors(g, kKeys);
    showColours(colours);
    writeColourGroup(g, colours);
}

void CTarvenixKeyboardDevice::resetRepeat()
{
    CKeyboardProfiledata defaults;
    defaults.SetDeviceIndex(0);
    if (!defaults.LoadDeviceSection(defaultProfilePath()).isObject())
        return;
    const KeyboardSystemRecord factory = defaults.GetKeyboardSystem();
    system_.repeat = factory.repeat;
    system_.repeatDelay = factory.repeatDelay;
    storeSystemAndWrite(false);
    refreshPage();
}

void CTarvenixKeyboardDevice::setColorGroup(int g)
{
    if (g < 0 || g >= kGroups)
        return;
    profile_.SetColorGroupIndex(g);
    LightInfoRecord r = lightState();
    r.customGroup = uint8_t(g);
    commitLight(r, false);
    showColorGroup();
}

void CTarvenixKeyboardDevice::paintKeyColor(int key) { paintKeyColors({key}); }

void CTarvenixKeyboardDevice::paintKeyColors(const std::vector<int>& keys)
{
    const LightInfoRecord s = lightState();
    if (s.selectItem != kCustomColours || keys.empty())
        return;
    const int g = std::clamp(profile_.GetColorGroupIndex(), 0, kGroups - 1);
    std::vector<KeyColor> colours = profile_.GetKeyColors(g, kKeys);
    const KeyColor brush = brushOn_ ? KeyColor{s.red, s.green, s.blue, std::min<uint8_t>(s.light, 4)} : KeyColor{};
    bool changed = false;
    for (int key : keys)
        if (key >= 0 && key < kKeys && maps_.led[size_t(key)] != kNoKey) {
            colours[size_t(key)] = brush;
            changed = true;
        }
    if (!changed)
        return;
    profile_.SetKeyColors(colours, g);
    saveProfile();
    showColours(colours);
    writeColourGroup(s.customGroup, colours);
}

void CTarvenixKeyboardDevice::fillKeyColors(bool on)
{
    const LightInfoRecord s = lightState();
    const int g = std::clamp(profile_.GetColorGroupIndex(), 0, kGroups - 1);
    std::vector<KeyColor> colours(kKeys);
    for (int j = 0; j < kKeys; ++j)
        if (on && maps_.led[size_t(j)] != kNoKey)
            colours[size_t(j)] = {s.red, s.green, s.blue, std::min<uint8_t>(s.light, 4)};
    profile_.SetKeyColors(colours, g);
    saveProfile();
    showColours(colours);
    writeColourGroup(g, colours);
}

} // namespace q9
