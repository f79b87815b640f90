// The main window's handlers of the lighting editor: each reads the current device's editor,
// changes the device's light record and hands it back to the device, which keeps, saves, shows and
// writes it.
#include "app/MainWnd.h"
#include "app/SyncLight.h"
#include "device/MouseDevice.h"
#include "editors/LightEditor.h"
#include "editors/LightLayout.h"
#include "ui/Control.h"

namespace q9::app {

using editors::argb;
using editors::CLightControlUI;

namespace {

struct LightTarget {
    CTarvenixUSBDevice* device;
    CLightControlUI* editor;
};

std::optional<LightTarget> target(const CMainWnd& w)
{
    CTarvenixUSBDevice* d = w.currentDevice();
    if (!d || !d->lightEditor())
        return std::nullopt;
    return LightTarget{d, d->lightEditor()};
}

void setComponent(LightInfoRecord& r, char component, uint8_t v)
{
    (component == 'R' ? r.red : component == 'G' ? r.green : r.blue) = v;
}

uint8_t component(const LightInfoRecord& r, char component)
{
    return component == 'R' ? r.red : component == 'G' ? r.green : r.blue;
}

} // namespace

void CMainWnd::lightEffectSelected()
{
    auto t = target(*this);
    if (!t || t->editor->GetMode() < 0)
        return;
    LightInfoRecord r = t->device->chosenLight();
    r.selectItem = uint8_t(t->editor->GetMode());
    t->editor->ApplyModeLayout(r.selectItem);
    t->device->commitLight(r, false);
}

void CMainWnd::lightSecondMode()
{
    auto t = target(*this);
    if (!t || t->editor->lightKind() != 1 || t->editor->GetSecondMode() < 0)
        return;
    LightInfoRecord r = t->device->chosenLight();
    r.zzccLedMode = uint8_t(t->editor->GetSecondMode());
    t->device->commitLight(r, false);
}

void CMainWnd::lightLevel(bool brightness)
{
    auto t = target(*this);
    if (!t)
        return;
    LightInfoRecord r = t->device->chosenLight();
    (brightness ? r.light : r.speed) = uint8_t(brightness ? t->editor->GetLight() : t->editor->GetSpeed());
    t->device->commitLight(r, false);
}

void CMainWnd::lightMultiColour()
{
    auto t = target(*this);
    if (!t)
        return;
    LightInfoRecord r = t->device->chosenLight();
    r.multiColor = t->editor->GetMultiColor() ? 1 : 0;
    t->device->commitLight(r, false);
}

void CMainWnd::lightDirection(bool left)
{
    auto t = target(*this);
    if (!t)
        return;
    LightInfoRecord r = t->device->chosenLight();
    r.fx = left ? 1 : 0;
    t->editor->SetFx(left);
    t->device->commitLight(r, false);
}

void CMainWnd::lightComponentTyped(char which)
{
    auto t = target(*this);
    if (!t)
        return;
    const QString text = which == 'R' ? t->editor->GetRed() : which == 'G' ? t->editor->GetGreen() : t->editor->GetBlue();
    const int v = editors::componentValue(text);
    const QString shown = QString::number(v);
    if (text != shown)
        which == 'R' ? t->editor->SetRed(shown) : which == 'G' ? t->editor->SetGreen(shown) : t->editor->SetBlue(shown);
    LightInfoRecord r = t->device->chosenLight();
    // Focus passing through an edit is no colour change: multi-colour stays as it is.
    if (component(r, which) == v)
        return;
    setComponent(r, which, uint8_t(v));
    takeLightColour(*t->device, r);
}

void CMainWnd::lightPaletteColour()
{
    auto t = target(*this);
    if (!t)
        return;
    const uint32_t c = t->editor->GetColor();
    LightInfoRecord r = t->device->chosenLight();
    r.red = uint8_t(c >> 16), r.green = uint8_t(c >> 8), r.blue = uint8_t(c);
    takeLightColour(*t->device, r);
}

void CMainWnd::lightPresetColour(int n)
{
    auto t = target(*this);
    if (!t)
        return;
    const uint32_t c = t->editor->GetOptionColor(n);
    if (c == 0)
        return;
    LightInfoRecord r = t->device->chosenLight();
    r.red = uint8_t(c >> 16), r.green = uint8_t(c >> 8), r.blue = uint8_t(c);
    takeLightColour(*t->device, r);
}

// A colour chosen one way or another replaces multi-colour; every control shows the colour.
void CMainWnd::takeLightColour(CTarvenixUSBDevice& d, LightInfoRecord r)
{
    r.multiColor = 0;
    d.commitLight(r, false);
    CLightControlUI* e = d.lightEditor();
    e->SetRed(QString::number(r.red));
    e->SetGreen(QString::number(r.green));
    e->SetBlue(QString::number(r.blue));
    e->SetMultiColor(false);
    e->SetColor(argb(r.red, r.green, r.blue));
}

void CMainWnd::sameMode()
{
    auto t = target(*this);
    if (!t)
        return;
    const LightInfoRecord r = t->device->chosenLight();
    const int common = editors::commonEffect(t->editor->lightKind(), r.selectItem);
    if (common < 0)
        return;
    sync_->setParams({uint8_t(common), r.light, r.speed, r.fx, r.multiColor, r.red, r.green, r.blue});
    // Keyboards, mice, mouse pads, headsets; the current device is among them.
    std::vector<CTarvenixUSBDevice*> all(keyboards_.begin(), keyboards_.end());
    all.insert(all.end(), mice_.begin(), mice_.end());
    all.insert(all.end(), mousePads_.begin(), mousePads_.end());
    all.insert(all.end(), headsets_.begin(), headsets_.end());
    for (CTarvenixUSBDevice* d : all) {
        CLightControlUI* e = d->lightEditor();
        if (!e || !d->commandChannel().isOpen())
            continue;
        const int mode = editors::effectOfCommon(e->lightKind(), common);
        if (mode < 0)
            continue;
        LightInfoRecord own = r;
        own.selectItem = uint8_t(mode);
        e->SetLightInfo(own);
        d->commitLight(own, true);
    }
    sync_->wake();
}

void CMainWnd::updateSameModeAllowed(int connected)
{
    auto allow = [&](auto& list) {
        for (CTarvenixUSBDevice* d : list)
            if (CLightControlUI* e = d->lightEditor(); e && e->sameModeAllowed() != (connected > 1))
                e->SetSameModeAllowed(connected > 1);
    };
    allow(keyboards_);
    allow(mice_);
    allow(mousePads_);
    allow(headsets_);
}

// The audio light settings: kept and saved, computed live by the device, never written to it.
void CMainWnd::audioLightChanged(bool withColour)
{
    auto t = target(*this);
    if (!t)
        return;
    if (auto r = t->editor->GetAudioLightInfo(withColour)) {
        t->device->commitAudioLight(*r);
        t->editor->SetAudioLightInfo(*r);
    }
}

void CMainWnd::audioColourChosen(uint32_t colour)
{
    auto t = target(*this);
    if (!t)
        return;
    auto r = t->editor->GetAudioLightInfo(true);
    if (!r)
        return;
    editors::setAudioColour(*r, uint8_t(colour >> 16), uint8_t(colour >> 8), uint8_t(colour));
    if (r->colorType == 1)
        r->sevenColor = 0;
    t->device->commitAudioLight(*r);
    t->editor->SetAudioLightInfo(*r);
}

void CMainWnd::audioPaletteColour()
{
    if (auto t = target(*this))
        audioColourChosen(t->editor->GetAudioPaletteColor());
}

void CMainWnd::audioPresetColour(int n)
{
    if (auto t = target(*this); t && t->editor->GetAudioOptionColor(n) != 0)
        audioColourChosen(t->editor->GetAudioOptionColor(n));
}

void CMainWnd::audioComponentTyped(char which)
{
    auto t = target(*this);
    if (!t)
        return;
    const std::optional<int> v = t->editor->GetAudioEditValue(which);
    if (!v)
        return;
    auto r = t->editor->GetAudioLightInfo(false);
    if (!r)
        return;
    const bool fg = r->colorType == 1;
    uint8_t& c = which == 'R' ? (fg ? r->fgColorR : r->bkColorR) : which == 'G' ? (fg ? r->fgColorG : r->bkColorG) : (fg ? r->fgColorB : r->bkColorB);
    c = uint8_t(*v);
    if (fg)
        r->sevenColor = 0;
    t->device->commitAudioLight(*r);
    t->editor->SetAudioLightInfo(*r);
}

void CMainWnd::audioBackgroundOff()
{
    auto t = target(*this);
    if (!t)
        return;
    auto r = t->editor->GetAudioLightInfo(false);
    if (!r)
        return;
    r->bkColorR = r->bkColorG = r->bkColorB = 0;
    t->device->commitAudioLight(*r);
    t->editor->SetAudioLightInfo(*r);
}

} // namespace q9::app
