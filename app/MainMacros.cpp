// The main window's side of the macro and shoot editors: the macro list and its files, the event
// list, live recording through the input hook, and the mouse's guns.
#include "app/DialogService.h"
#include "app/MainWnd.h"
#include "app/SmallWindows.h"
#include "device/MouseDevice.h"
#include "editors/KeySetEditor.h"
#include "editors/MacroEditor.h"
#include "editors/ShootEditor.h"
#include "hid/DeviceCatalogue.h"
#include "platform/DeviceHook.h"
#include "platform/Trace.h"
#include "profile/BasicProfiledata.h"
#include "profile/ProfileList.h"
#include "ui/Menu.h"

#include <QCursor>
#include <QElapsedTimer>

namespace q9::app {
namespace {

const QString kMacroFilter = QStringLiteral("Macro Files(*.mac)");
const QString kShootFilter = QStringLiteral("Shoot Files(*.shoot)");
constexpr uint32_t kScrollTimer = 4101;

// A millisecond tick for the recorder's delays.
int64_t tickNow()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return clock.elapsed();
}

} // namespace

editors::CMacroControlUI* CMainWnd::currentMacroEditor() const
{
    CTarvenixUSBDevice* d = currentDevice();
    return d && (d->kind() == KindMouse || d->kind() == KindKeyboard) ? d->macroEditor() : nullptr;
}

editors::CShootControlUI* CMainWnd::currentShootEditor() const
{
    CTarvenixMouseDevice* m = currentMouse();
    return m && currentDevice() == m ? m->shootEditor() : nullptr;
}

void CMainWnd::macroNamesChanged()
{
    // The key editor lists the same macros in the same order; the device names them too.
    CTarvenixUSBDevice* d = currentDevice();
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!d || !ed)
        return;
    d->loadAuxiliaryData();
    if (editors::CKeySetControlUI* keys = d->keyEditor())
        keys->ResetMacroNames(ed->MacroNames());
    d->refreshKeys();
}

void CMainWnd::macroAdd()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed || ShowMessageBox(this, QString(), QStringLiteral("message_text_29"), dpi(), true, 1) != 1)
        return;
    if (ed->AddMacro().empty()) {
        ShowMessageBox(this, QString(), QStringLiteral("message_text_33"), dpi(), true, 0);
        return;
    }
    macroNamesChanged();
}

void CMainWnd::macroDelete()
{
    CTarvenixUSBDevice* d = currentDevice();
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed || ShowMessageBox(this, QString(), QStringLiteral("message_text_4"), dpi(), true, 1) != 1)
        return;
    const int gone = ed->SelectedMacro();
    if (gone < 0)
        return;
    // Keys playing the macro: the user decides; then every profile of the device follows.
    std::vector<KeyEntry> keys = d->keyList();
    if (keysPlayMacro(keys, gone)
        && ShowMessageBox(this, QString(), QStringLiteral("message_text_2"), dpi(), true, 1) != 1)
        return;
    if (ProfileList* profiles = d->profiles(); profiles && d->profileDocument()) {
        CBasicProfiledata& doc = *d->profileDocument();
        profiles->RemoveMacroFromOtherProfiles(doc, gone);
    }
    const bool changed = dropMacroFromKeys(keys, gone);
    if (changed)
        d->setKeyList(keys);
    ed->DeleteSelectedMacro();
    macroNamesChanged();
    if (changed) {
        d->saveProfile();
        keySave();
    }
}

void CMainWnd::macroRename()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed)
        return;
    switch (ed->RenameSelectedMacro()) {
    case editors::RenameResult::Duplicate:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_5"), dpi(), true, 0);
        break;
    case editors::RenameResult::Renamed:
        macroNamesChanged();
        break;
    default:
        break; // no macro, or a blank name: nothing happens
    }
}

void CMainWnd::macroImport()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed)
        return;
    const QString path = DialogService::instance().openFile(this, kMacroFilter);
    if (path.isEmpty())
        return;
    std::wstring name;
    switch (ed->ImportMacro(path.toStdWString(), &name)) {
    case editors::ImportProblem::Ok:
        macroNamesChanged();
        break;
    case editors::ImportProblem::Full:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_33"), dpi(), true, 0);
        break;
    default:
        ShowMessageBox(this, QString(), QStringLiteral("message_text_macro_import_bad"), dpi(), true, 0);
        break;
    }
}

void CMainWnd::macroExport()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed || ed->SelectedMacro() < 0)
        return;
    const QString path = DialogService::instance().saveFile(this, kMacroFilter);
    if (!path.isEmpty() && !ed->ExportSelectedMacro(path.toStdWString()))
        ShowMessageBox(this, QString(), QStringLiteral("message_text_export_failed"), dpi(), true, 0);
}

void CMainWnd::macroSave()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    bool cut = false;
    if (ed && ed->SaveSelectedMacro(&cut) && cut)
        ShowMessageBox(this, QString(), QStringLiteral("message_text_26_1"), dpi(), true, 0);
}

void CMainWnd::macroCancel()
{
    if (editors::CMacroControlUI* ed = currentMacroEditor())
        ed->ShowSelectedMacro();
}

void CMainWnd::macroSelected()
{
    if (editors::CMacroControlUI* ed = currentMacroEditor())
        ed->ShowSelectedMacro();
}

void CMainWnd::macroEdit(void (editors::CMacroControlUI::*change)(), bool writeDevice)
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed)
        return;
    (ed->*change)();
    macroSave();
    if (writeDevice)
        keySave();
}

void CMainWnd::macroInsert(uint32_t message, int variant)
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed)
        return;
    ed->InsertMouseEvent(message, variant);
    macroSave();
}

void CMainWnd::macroMenu(const QString& item)
{
    using RecordMode = editors::MacroRecorder::Mode;
    using Place = editors::MacroRecorder::Place;
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed)
        return;
    // Buttons: press, release, or both.
    static const struct {
        const char* name;
        uint32_t down, up;
        int variant;
    } buttons[] = {{"left", 0x0201, 0x0202, 0}, {"middle", 0x0207, 0x0208, 0}, {"right", 0x0204, 0x0205, 0},
                   {"forward", 0x020B, 0x020C, 0}, {"back", 0x020B, 0x020C, 1}};
    for (const auto& b : buttons) {
        const QString base = QString::fromLatin1(b.name);
        if (item == base + QStringLiteral("_down") || item == base + QStringLiteral("_click"))
            ed->InsertMouseEvent(b.down, b.variant);
        if (item == base + QStringLiteral("_up") || item == base + QStringLiteral("_click"))
            ed->InsertMouseEvent(b.up, b.variant);
        if (item.startsWith(base + QLatin1Char('_'))) {
            macroSave();
            return;
        }
    }
    const RecordMode chosen = ed->fixedDelayChosen() ? RecordMode::FixedDelay : RecordMode::RealTime;
    // "record": the start button, appending.
    static const struct {
        const char* name;
        int mode; // 0: as chosen by the fixed-delay option
        Place place;
        int hook;
    } recordings[] = {
        {"record", 0, Place::Append, CDeviceHook::KbMacro},
        {"redio_previous_record_time", 0, Place::Before, CDeviceHook::KbMacroPrevious},
        {"redio_previous_constant_time", 2, Place::Before, CDeviceHook::KbMacroPrevious},
        {"redio_previous_ignore_time", 3, Place::Before, CDeviceHook::KbMacroPrevious},
        {"redio_later_record_time", 0, Place::After, CDeviceHook::KbMacroLater},
        {"redio_later_constant_time", 2, Place::After, CDeviceHook::KbMacroLater},
        {"redio_later_ignore_time", 3, Place::After, CDeviceHook::KbMacroLater},
        {"macro_action_edit", 3, Place::Replace, CDeviceHook::KbMacroSingle},
    };
    for (const auto& r : recordings)
        if (item == QLatin1String(r.name)) {
            macroRecordStart(r.mode == 0 ? chosen : RecordMode(r.mode), r.place, r.hook);
            return;
        }
}

// The delays between recorded events come from the events' own time stamps, so that a window busy
// for a moment does not shorten them; the first event is placed by the time it is handled.
int64_t CMainWnd::eventTick(uint32_t eventTime)
{
    constexpr uint32_t kTrusted = 3600 * 1000; // a gap larger than an hour is no gap of one recording
    const int64_t now = tickNow();
    if (eventTime == 0 || !lastEventTick_) {
        lastEventTick_ = std::pair<uint32_t, int64_t>{eventTime, now};
        return now;
    }
    const uint32_t gap = eventTime - lastEventTick_->first; // wraps with the stamp
    const int64_t tick = gap < kTrusted ? lastEventTick_->second + gap : now;
    lastEventTick_ = std::pair<uint32_t, int64_t>{eventTime, tick};
    return tick;
}

void CMainWnd::macroRecordStart(editors::MacroRecorder::Mode mode, editors::MacroRecorder::Place place, int hookMode)
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed || ed->recording() || ed->SelectedMacro() < 0)
        return;
    lastEventTick_.reset();
    ed->StartRecording(mode, place, tickNow());
    if (!deviceHook().Install(0, hookMode, this, true, true))
        trace("宏录制收不到按键");
    SetEditState(true, false);
}

void CMainWnd::macroRecordStop()
{
    editors::CMacroControlUI* ed = currentMacroEditor();
    if (!ed || !ed->recording())
        return;
    ed->StopRecording();
    if (hook_)
        hook_->Uninstall();
    SetEditState(true, true);
    macroSave();
    keySave();
}

bool CMainWnd::macroHookMessage(uint32_t msg, uint64_t wParam, int64_t lParam)
{
    const int modes[] = {CDeviceHook::KbMacro, CDeviceHook::KbMacroPrevious, CDeviceHook::KbMacroLater, CDeviceHook::KbMacroSingle};
    for (int mode : modes) {
        const bool key = msg == CDeviceHook::keyboardMessage(mode);
        const bool mouse = msg == CDeviceHook::mouseMessage(mode);
        if (!key && !mouse)
            continue;
        editors::CMacroControlUI* ed = currentMacroEditor();
        if (!ed || !ed->recording() || !lParam)
            return true;
        if (key) {
            const auto& r = *reinterpret_cast<const input::KeyRecord*>(lParam);
            const bool down = wParam == input::KeyDown || wParam == input::SysKeyDown;
            ed->RecordKey(down, r.scanCode, r.flags & input::KeyExtended, eventTick(r.time));
        } else {
            const auto& r = *reinterpret_cast<const input::MouseRecord*>(lParam);
            ed->RecordMouse(uint32_t(wParam), r.mouseData, r.x, r.y, eventTick(r.time));
        }
        setTimer(kScrollTimer, 50);
        return true;
    }
    return false;
}

void CMainWnd::shootImport()
{
    editors::CShootControlUI* ed = currentShootEditor();
    if (!ed)
        return;
    const QString path = DialogService::instance().openFile(this, kShootFilter);
    if (!path.isEmpty() && ed->ImportGun(path.toStdWString()) != editors::ImportProblem::Ok)
        ShowMessageBox(this, QString(), QStringLiteral("message_text_shoot_import_bad"), dpi(), true, 0);
}

void CMainWnd::shootExport()
{
    editors::CShootControlUI* ed = currentShootEditor();
    if (!ed)
        return;
    const QString path = DialogService::instance().saveFile(this, kShootFilter);
    if (!path.isEmpty() && !ed->ExportGun(path.toStdWString()))
        ShowMessageBox(this, QString(), QStringLiteral("message_text_export_failed"), dpi(), true, 0);
}

void CMainWnd::shootWrite()
{
    CTarvenixMouseDevice* m = currentMouse();
    if (!m || currentDevice() != m)
        return;
    const int macros = m->writeMacros(m->usedMacros());
    downloadReport(macros, 2);
    if (m->writeShootSequences() != 1 && macros == 0)
        downloadReport(-1, 0); // told once
}

void CMainWnd::showMacroMenu()
{
    if (DialogService::instance().scripted())
        return; // nobody to pick an item; scripts name the item with "menu"
    const QString item = ui::Menu::popup(QStringLiteral("XML\\Menus\\macro_action_menu.xml"), QCursor::pos(), this);
    if (!item.isEmpty())
        macroMenu(item);
}

} // namespace q9::app
