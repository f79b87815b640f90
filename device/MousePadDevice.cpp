#include "device/MousePadDevice.h"

#include "editors/LightEditor.h"
#include "platform/Trace.h"
#include "profile/LightConfig.h"
#include "ui/Window.h"

#include <algorithm>

namespace q9 {

namespace {

// Rows of the pad's effect list; row 5 and rows beyond the list play the custom sequence.
constexpr uint8_t kWave = 0, kSpectrum = 1, kBreathing = 2, kStatic = 3, kBlink = 4, kRunningZones = 6, kRunningColumns = 7,
                  kOff = 8;

bool customRow(uint8_t row) { return row == 5 || row > kOff; }

} // namespace

CTarvenixMousePadDevice::CTarvenixMousePadDevice(QWidget* parent)
    : CTarvenixMousePadDevice(parent, std::make_unique<CBasicProfiledata>())
{
}

CTarvenixMousePadDevice::CTarvenixMousePadDevice(QWidget* parent, std::unique_ptr<CBasicProfiledata> document)
    : CTarvenixUSBDevice(KindMousePad, parent), document_(std::move(document)), profile_(*document_)
{
    profile_.SetDeviceIndex(0);
}

CTarvenixMousePadDevice::~CTarvenixMousePadDevice() { stopThreads(); }

ui::Control* CTarvenixMousePadDevice::getInterface(const QString& className)
{
    return className == QLatin1String("TarvenixMousePadDevice") ? this : CTarvenixUSBDevice::getInterface(className);
}

ui::Control* CTarvenixMousePadDevice::find(const QString& name) const
{
    return ui::Window::findSubControlByName(const_cast<CTarvenixMousePadDevice*>(this), name);
}

void CTarvenixMousePadDevice::buildPage()
{
    CTarvenixUSBDevice::bindPageControls();
    if (!pageXml_.empty())
        bindButtonsIn(find(QStringLiteral("mousepad_device_key_light")));

    CDeviceProfileUI bar = profileBar();
    bar.SetDeviceKind(kind());
    bar.SetPaths(dataFolder(), defaultProfilePath());
    bar.Init();
    bar.SelectTab(1);
    showFunctionTab(1);
    profileId_ = bar.GetCurrentProfileId();
    lightEditor_ = std::make_unique<editors::CLightControlUI>(find(QStringLiteral("LightControlItem")));
    lightEditor_->SetLightKind(KindMousePad);
    loadAuxiliaryData();
    lightEditor_->SetEffectList(effectNames_, effectVisible_, 4, 4);
}

void CTarvenixMousePadDevice::loadAuxiliaryData()
{
    const DefaultLightNames names =
        ReadDefaultLightNames(deviceEnvironment().programFolder + L"DefaultData/default_light.json", lightIndex_);
    effectNames_ = names.modeNames;
    effectVisible_ = names.modeVisible;
    effectCodes_ = names.modeCodes;
    areaLightNames_ = names.areaNames;
    customLightNames_ = ReadCustomLightNames(dataFolder() + lightFileBase_ + L".config", lightIndex_);
}

void CTarvenixMousePadDevice::setDocumentPaths()
{
    const std::wstring folder = dataFolder();
    profile_.SetDefaultProfilePath(defaultProfilePath());
    profile_.SetProfilePath(folder + profileId_ + L".Json");
    profile_.SetLightConfigPath(folder + lightFileBase_ + L".config");
}

int CTarvenixMousePadDevice::loadProfile()
{
    setDocumentPaths();
    takeProfileSection(profile_.GetProfilePath());
    return 1;
}

void CTarvenixMousePadDevice::takeProfileSection(const std::wstring& path)
{
    profile_.LoadDeviceSection(path);
    // The document is what is sent: values the pad cannot take are held first.
    LightInfoRecord light = profile_.GetLightInfo();
    const LightInfoRecord before = light;
    light.light = std::min<uint8_t>(light.light, 4);
    light.speed = std::min<uint8_t>(light.speed, 4);
    if (!(light == before))
        profile_.SetLightInfo(light);
    applyProfileLight();
    sectionTaken();
}

bool CTarvenixMousePadDevice::loadDefaultProfile()
{
    CBasicProfiledata probe;
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

void CTarvenixMousePadDevice::saveProfile()
{
    if (!profile_.Save() && deviceEnvironment().saveFailed)
        deviceEnvironment().saveFailed(profile_.GetProfilePath());
}

int CTarvenixMousePadDevice::applyProfileLight()
{
    const LightInfoRecord light = profile_.GetLightInfo();
    CTarvenixUSBDevice::setLightState(light);
    putPadLight(record_, light);
    {
        std::lock_guard lock(effectsMutex_);
        effects_.setZoneList(profile_.GetLightList());
    }
    profile_.LoadLightConfig(profile_.GetLightConfigPath());
    std::lock_guard lock(lightListMutex_);
    customEffects_ = profile_.GetCustomEffects();
    return 1;
}

void CTarvenixMousePadDevice::setLightState(const LightInfoRecord& state)
{
    CTarvenixUSBDevice::setLightState(state);
    profile_.SetLightInfo(state);
}

void CTarvenixMousePadDevice::commitAudioLight(const AudioLightRecord& record)
{
    profile_.SetAudioLightInfo(record);
    saveProfile();
    applyProfileLight();
}

void CTarvenixMousePadDevice::syncFromDevice()
{
    if (command_->isOpen() && command_->beginConfig() == ResultOk) {
        std::array<uint8_t, 34> info{};
        if (command_->readDeviceInfo(info.data()) == ResultOk)
            info_ = info;
        command_->endConfig();
    }
    loadProfile();
    // What the pad shows now, and its own bytes of the record, which every write hands back.
    readSettings();
    refreshPage();
    startPreview();
    update();
}

void CTarvenixMousePadDevice::readSettings()
{
    syncDriven_ = false;
    if (!command_->isOpen())
        return;
    uint8_t profile = 0;
    std::array<uint8_t, kPadAreaSize> area{};
    if (command_->readSettings(0, &profile, 1) != ResultOk
        || command_->readSettings(uint16_t(profile * kPadReadStride), area.data(), area.size()) != ResultOk)
        return;
    record_ = takePadRecord(area.data(), profile, effectCodes_);
    LightInfoRecord s = lightState();
    takePadLight(record_, s);
    putPadLight(record_, s); // held as the page shows it
    setLightState(s);
    saveProfile();
    refreshPage();
}

int CTarvenixMousePadDevice::writeSettings(int slot, int, int, int, int)
{
    if (!command_->isOpen())
        return 0;
    const PadRecord out = buildPadRecord(record_, effectCodes_);
    bool ok = command_->beginConfig() == ResultOk;
    if (ok) {
        const int written = command_->writeSettings(uint16_t(std::max(0, slot) * kPadWriteStride), out.data(), out.size());
        ok = command_->endConfig() == ResultOk && written == ResultOk;
    }
    writeDone(ok);
    return ok ? 1 : 0;
}

void CTarvenixMousePadDevice::writeDone(bool ok)
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

void CTarvenixMousePadDevice::pollPower()
{
    if (!command_->isOpen())
        return;
    uint8_t report[6] = {};
    if (command_->readStatus(0, report, sizeof report) != ResultOk)
        return;
    report[3] = command_->receiverMode() ? 1 : 0;
    if (power_)
        power_->showPowerReport(report, sizeof report);
}

void CTarvenixMousePadDevice::refreshPage()
{
    loadAuxiliaryData();
    if (lightEditor_) {
        lightEditor_->SetLightInfo(profile_.GetLightInfo());
        lightEditor_->SetAudioLightInfo(profile_.GetAudioLightInfo());
    }
}

uint16_t CTarvenixMousePadDevice::eventCode(HidTransport&, const uint8_t* report, size_t length)
{
    return length >= 3 ? uint16_t(report[1] | report[2] << 8) : 0;
}

void CTarvenixMousePadDevice::onDeviceEvent(uint16_t code, bool)
{
    if (code != 0x0401)
        return; // 0x0404 included: the pad never pauses the host
    trace("接收到自动添加设备的同步信息要求");
    onUiThread([this] {
        if (tab_)
            tab_->startTabTimer(1002, 500);
    });
}

bool CTarvenixMousePadDevice::stepEffect(const LightInfoRecord& s, int64_t now)
{
    switch (s.selectItem) {
    case kWave: effects_.stepWave(s, *preview_); return true;
    case kSpectrum: effectSpectrum(); return true;
    case kBreathing: effectBreathing(); return true;
    case kStatic: effectStatic(); return false;
    case kBlink: preview_->stepBlink(s, now); return true;
    case kRunningZones: effects_.stepRunningZones(s, *preview_); return true;
    case kRunningColumns: effects_.stepRunningColumns(s, *preview_); return true;
    case kOff: effectOff(); return false;
    default: {
        std::lock_guard lock(lightListMutex_);
        preview_->passCustom(customEffects_, s.speed, now);
        return true;
    }
    }
}

int CTarvenixMousePadDevice::stepPreview(int64_t now)
{
    const LightInfoRecord s = lightState();
    std::lock_guard lock(effectsMutex_);
    if (s.selectItem != effectShown_) {
        effectShown_ = s.selectItem;
        effects_.reset();
        passes_ = 0;
    }
    const bool custom = customRow(s.selectItem);
    const int threshold = light::thresholdOf(s.speed);
    if (!effects_.zonesAnimated()) {
        // One step per call, at the effect's own period; the custom sequence counts passes.
        if (!stepEffect(s, now))
            return kWaitForever; // a still picture until the light state changes
        return custom ? light::kTickMs : threshold * light::kTickMs;
    }
    // Zones of their own change in every pass; the effect steps when its threshold is reached.
    if (custom || ++passes_ >= threshold) {
        passes_ = 0;
        stepEffect(s, now);
    }
    effects_.applyZoneList(*preview_, now);
    return light::kTickMs;
}

} // namespace q9
