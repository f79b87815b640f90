// The main window's side of the key editor: picking a key on the device picture, applying and
// saving its action, and capturing a key through the input hook.
#include "app/DialogService.h"
#include "app/SmallWindows.h"
#include "app/MainWnd.h"
#include "controls/KeyControls.h"
#include "device/UsbDevice.h"
#include "editors/KeySetEditor.h"
#include "hid/DeviceCatalogue.h"
#include "platform/DeviceHook.h"
#include "platform/Trace.h"
#include "profile/JsonFile.h"

namespace q9::app {
namespace {

bool hasKeys(const CTarvenixUSBDevice* d) { return d && (d->kind() == KindMouse || d->kind() == KindKeyboard) && d->keyEditor(); }

bool isLeftButton(const KeyAction& a) { return a.type == 0x10 && a.param1 == 0x01 && a.param2 == 0; }

} // namespace

editors::CKeySetControlUI* CMainWnd::currentKeyEditor() const
{
    CTarvenixUSBDevice* d = currentDevice();
    return hasKeys(d) ? d->keyEditor() : nullptr;
}

CDeviceHook& CMainWnd::deviceHook()
{
    // Made at first use: on X11 it opens a connection of its own, which a user who never captures
    // a key does not pay for.
    if (!hook_)
        hook_ = std::make_unique<CDeviceHook>(input::createInputHookBackend());
    return *hook_;
}

void CMainWnd::setInputHookBackend(std::unique_ptr<input::InputHookBackend> backend)
{
    hook_ = std::make_unique<CDeviceHook>(std::move(backend));
}

void CMainWnd::keyPicked(int n)
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!hasKeys(d) || d->functionTab() != 2 || n < 0 || n >= int(d->keyList().size()))
        return;
    if (ReadJsonFile(d->profilePath()).isNull())
        return;
    const auto& keys = d->keyList();
    if (d->kind() == KindMouse && isLeftButton(keys[size_t(n)].current)) {
        int lefts = 0;
        for (const KeyEntry& k : keys)
            lefts += isLeftButton(k.current) ? 1 : 0;
        if (lefts == 1) {
            ShowMessageBox(this, QString(), QStringLiteral("message_text_6"), dpi(), true, 0);
            return;
        }
    }
    // The picked key stays marked on the picture while it is edited.
    const auto& buttons = d->keyButtons();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i])
            buttons[i]->setSelected(int(i) == n);
    d->setSelectedKey(n);
    editors::CKeySetControlUI* ed = d->keyEditor();
    ed->SetKeyTitle(ed->describe(keys[size_t(n)].defaults));
}

void CMainWnd::keyApply()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!hasKeys(d) || d->selectedKey() < 0)
        return;
    d->storeKeyEntry(d->keyEditor()->BuildEntry());
    SetEditState(false, false);
}

void CMainWnd::keyFunctionChosen()
{
    if (auto* ed = currentKeyEditor()) {
        ed->FunctionChosen();
        keyApply();
    }
}

void CMainWnd::keyPlayModeChosen()
{
    if (auto* ed = currentKeyEditor()) {
        ed->PlayModeChosen();
        keyApply();
    }
}

void CMainWnd::keyModifier(int n)
{
    if (auto* ed = currentKeyEditor()) {
        ed->SelectModifier(n);
        keyApply();
    }
}

void CMainWnd::keyShowDefault()
{
    if (auto* ed = currentKeyEditor()) {
        ed->ShowDefault();
        currentDevice()->refreshKeyLabels();
        SetEditState(false, false);
    }
}

void CMainWnd::keyCancel()
{
    if (auto* ed = currentKeyEditor()) {
        ed->ShowCurrent();
        currentDevice()->refreshKeyLabels();
        SetEditState(false, true);
    }
}

void CMainWnd::keySave()
{
    CTarvenixUSBDevice* d = currentDevice();
    if (!hasKeys(d))
        return;
    const int macros = d->writeMacros(d->usedMacros());
    if (macros != 0 && macros != -1) {
        // The macros do not fit: the key falls back to its factory action; nothing is written.
        downloadReport(macros, 2);
        d->keyEditor()->ShowDefault();
        keyApply();
        return;
    }
    if (macros == -1)
        downloadReport(-1, 2);
    const int keys = d->writeCurrentKeyMap(0);
    d->saveProfile();
    SetEditState(false, true);
    // A block that could not be read was not written; a device out of reach gets the keys later.
    if (keys < 0 && macros == 0)
        downloadReport(-1, 2);
}

void CMainWnd::keyCapture(bool on)
{
    if (!on) {
        if (hook_)
            hook_->Uninstall();
        return;
    }
    if (!deviceHook().Install(0, CDeviceHook::SingleKey, this, true, true))
        trace("按键捕获不可用");
}

void CMainWnd::keyCaptured(const input::KeyRecord& record)
{
    // Presses only: a modifier let go after its key (Ctrl+C, Ctrl released last) would otherwise
    // replace the captured combination by the modifier alone.
    if (record.flags & input::KeyReleased)
        return;
    if (auto* ed = currentKeyEditor(); ed && ed->CaptureKey(record.scanCode, record.flags & input::KeyExtended))
        keyApply();
}

} // namespace q9::app
