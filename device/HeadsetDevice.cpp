#include "device/HeadsetDevice.h"

#include "device/HeadsetReports.h"
#include "editors/LightEditor.h"
#include "ui/Window.h"

namespace q9 {

namespace {

// The rows of the effect list whose steps differ from the pad's.
constexpr uint8_t kWave = 0, kRunningColumns = 7;

} // namespace

CTarvenixHX4120Device::CTarvenixHX4120Device(QWidget* parent)
    : CTarvenixMousePadDevice(parent, std::make_unique<CHx4120Profiledata>())
{
    kind_ = KindHeadset;
}

CTarvenixHX4120Device::~CTarvenixHX4120Device() { stopThreads(); }

ui::Control* CTarvenixHX4120Device::getInterface(const QString& className)
{
    return className == QLatin1String("TarvenixHX4120Device") ? this : CTarvenixMousePadDevice::getInterface(className);
}

void CTarvenixHX4120Device::bindPageControls()
{
    buildPage();
    // The pad's page binds its own picture; the headset's light buttons sit in their container.
    if (!pageXml_.empty())
        bindButtonsIn(ui::Window::findSubControlByName(this, QStringLiteral("hx4120_device_key_light")));
    if (lightEditor_)
        lightEditor_->SetLightKind(KindHeadset);
    voice_ = editors::CVoice4120ControlUI(ui::Window::findSubControlByName(this, QStringLiteral("Voice4120ControlItem")));
    magic_ = editors::CMagicControlUI(ui::Window::findSubControlByName(this, QStringLiteral("MagicControlItem")));
    virtual_ = editors::CVirtualSetControlUI(ui::Window::findSubControlByName(this, QStringLiteral("VirtualSetItem")));
    InitAudio();
}

void CTarvenixHX4120Device::syncFromDevice()
{
    loadProfile();
    ReadAudioState();
    refreshPage();
    startPreview();
    update();
}

void CTarvenixHX4120Device::paintLights()
{
    if (!hostLightControl())
        return;
    CTarvenixUSBDevice::paintLights();
    std::array<uint32_t, headset::kZones> zones{};
    for (int z = 0; z < headset::kZones; ++z)
        zones[size_t(z)] = zoneColor(z);
    // Every report goes out whatever became of the one before; a lost frame is followed by the next.
    HidTransport& link = commandChannel().cableTransport();
    for (const headset::ColourReport& r : headset::colourReports(zones))
        link.setOutputReport(r.data(), r.size());
}

int CTarvenixHX4120Device::stepPreview(int64_t now)
{
    const LightInfoRecord s = lightState();
    if (s.selectItem != kWave && s.selectItem != kRunningColumns) {
        effectShown_ = s.selectItem;
        return CTarvenixMousePadDevice::stepPreview(now);
    }
    std::lock_guard lock(effectsMutex_);
    if (s.selectItem != effectShown_) {
        effectShown_ = s.selectItem;
        effects_.reset();
    }
    if (s.selectItem == kWave)
        effects_.stepWave(s, *preview_);
    else
        effects_.stepRunningColumns(s, *preview_);
    return light::thresholdOf(s.speed) * light::kTickMs;
}

} // namespace q9
