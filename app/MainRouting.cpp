// The main window's routing of notifications: tables by type, rows by control name.
#include "app/DeviceOption.h"
#include "app/MainWnd.h"
#include "app/SmallWindows.h"
#include "device/HeadsetDevice.h"
#include "device/KeyboardDevice.h"
#include "device/MouseDevice.h"
#include "editors/LightEditor.h"
#include "editors/MacroEditor.h"
#include "editors/ShootEditor.h"
#include "platform/AudioCaptureLink.h"
#include "platform/DeviceHook.h"
#include "platform/Trace.h"
#include "ui/Combo.h"
#include "ui/Control.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Slider.h"

namespace q9::app {

// A row of a routing table. A prefix row compares the part of the name up to and including its
// last underscore (case-insensitively) and hands the handler the number after it; a whole row
// compares the whole name (case-insensitively, or exactly); a sender row compares the sender with
// a title-bar control found at start.
struct CMainWnd::Route {
    enum Kind { Prefix, Whole, Exact, Sender } kind;
    const char* key;
    const char* label;
    void (*run)(CMainWnd&, ui::TNotify&, int index);
};

namespace {

struct Split {
    bool ok = false;
    QString prefix;
    int index = 0;
};

Split splitName(const QString& name)
{
    const int at = name.lastIndexOf('_');
    if (at < 0)
        return {};
    bool ok = false;
    const int index = name.mid(at + 1).toInt(&ok);
    return {true, name.left(at + 1), ok ? index : 0};
}

// Handlers of parts of the program that are not there yet do nothing.
void none(CMainWnd&, ui::TNotify&, int) {}

CTarvenixMouseDevice* mouse(CMainWnd& w) { return w.currentMouse(); }
CTarvenixKeyboardDevice* keyboard(CMainWnd& w) { return qobject_cast<CTarvenixKeyboardDevice*>(w.currentDevice()); }
CTarvenixHX4120Device* headset(CMainWnd& w) { return qobject_cast<CTarvenixHX4120Device*>(w.currentDevice()); }

bool checked(ui::TNotify& m)
{
    auto* o = qobject_cast<ui::Option*>(m.sender);
    return o && o->isSelected();
}

int sliderValue(ui::TNotify& m)
{
    auto* s = qobject_cast<ui::Progress*>(m.sender);
    return s ? s->value() : 0;
}

void functionTab(CMainWnd& w, int n)
{
    if (CTarvenixUSBDevice* d = w.currentDevice())
        d->showFunctionTab(n);
}

} // namespace

const std::vector<CMainWnd::Route>& CMainWnd::clickRoutes()
{
    using R = Route;
    static const std::vector<Route> rows = {
        {R::Whole, "closebtn", "close", [](CMainWnd& w, ui::TNotify&, int) {
             w.closeChildWindows();
             // To the notification area; a desktop without one keeps the window in its task bar,
             // since a hidden window could not be brought back from anywhere.
             if (w.hasTray())
                 w.hide();
             else
                 w.showMinimized();
             w.tellDevicesHidden(true);
         }},
        {R::Whole, "nodevice_ok_btn", "hide", [](CMainWnd& w, ui::TNotify&, int) { w.hide(); }},
        {R::Whole, "control_light_status", "light control", [](CMainWnd& w, ui::TNotify&, int) { w.setLightControl(!w.lightControl(), true); }},
        {R::Sender, "minbtn", "minimise", [](CMainWnd& w, ui::TNotify&, int) { w.showMinimized(); }},
        {R::Sender, "maxbtn", "maximise", [](CMainWnd& w, ui::TNotify&, int) { w.showMaximized(); }},
        {R::Sender, "restorebtn", "restore", [](CMainWnd& w, ui::TNotify&, int) { w.showNormal(); }},
        {R::Sender, "skinbtn", "skin picker", [](CMainWnd& w, ui::TNotify& m, int) { new CSkinFrame(&w, m.sender); }},
        {R::Sender, "setbtn", "settings window", [](CMainWnd& w, ui::TNotify&, int) { w.OpenSettingsWindow(false); }},
        {R::Prefix, "key_", "key pick", [](CMainWnd& w, ui::TNotify&, int n) {
             // On the lighting page a key of the keyboard takes the custom colour; on the key page
             // the key editor takes the key.
             if (auto* k = keyboard(w); k && k->functionTab() == 1)
                 k->paintKeyColor(n);
             else
                 w.keyPicked(n);
         }},
        {R::Prefix, "color_option_", "preset colour", [](CMainWnd& w, ui::TNotify&, int n) { w.lightPresetColour(n); }},
        {R::Prefix, "audiocolor_option_", "audio preset colour", [](CMainWnd& w, ui::TNotify&, int n) { w.audioPresetColour(n); }},
        {R::Prefix, "windowdeviceset_", "system device settings", none},
        {R::Prefix, "DPI_color_option_", "DPI colour", [](CMainWnd& w, ui::TNotify&, int n) { w.pickStageColour(n); }},
        {R::Whole, "default_btn", "default", [](CMainWnd& w, ui::TNotify&, int) { w.defaultButton(); }},
        {R::Whole, "reset_repeat_btn", "reset repeat", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* k = keyboard(w)) k->resetRepeat();
         }},
        {R::Whole, "device_add_btn", "profile add", [](CMainWnd& w, ui::TNotify&, int) { w.profileAdd(); }},
        {R::Whole, "device_sub_btn", "profile delete", [](CMainWnd& w, ui::TNotify&, int) { w.profileDelete(); }},
        {R::Whole, "device_copy_btn", "profile copy", [](CMainWnd& w, ui::TNotify&, int) { w.profileCopy(); }},
        {R::Whole, "device_import_btn", "profile import", [](CMainWnd& w, ui::TNotify&, int) { w.profileImport(); }},
        {R::Whole, "device_export_btn", "profile export", [](CMainWnd& w, ui::TNotify&, int) { w.profileExport(); }},
        {R::Whole, "device_reset_btn", "profile reset", [](CMainWnd& w, ui::TNotify&, int) { w.profileReset(); }},
        {R::Whole, "device_profile_edit_save_btn", "profile rename", [](CMainWnd& w, ui::TNotify&, int) { w.profileRename(); }},
        {R::Whole, "key_butt_keysave", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "key_butt_keydefalut", "key default", [](CMainWnd& w, ui::TNotify&, int) { w.keyShowDefault(); }},
        {R::Whole, "key_butt_keycancel", "key cancel", [](CMainWnd& w, ui::TNotify&, int) { w.keyCancel(); }},
        {R::Whole, "key_butt_prosave", "key save", [](CMainWnd& w, ui::TNotify&, int) { w.keySave(); }},
        {R::Whole, "macro_btn_starredio", "macro record start", [](CMainWnd& w, ui::TNotify&, int) { w.macroMenu(QStringLiteral("record")); }},
        {R::Whole, "macro_btn_stopredio", "macro record stop", [](CMainWnd& w, ui::TNotify&, int) { w.macroRecordStop(); }},
        {R::Whole, "macro_btn_name_add", "macro add", [](CMainWnd& w, ui::TNotify&, int) { w.macroAdd(); }},
        {R::Whole, "macro_btn_name_sub", "macro delete", [](CMainWnd& w, ui::TNotify&, int) { w.macroDelete(); }},
        {R::Whole, "macro_btn_name_edit", "macro rename", [](CMainWnd& w, ui::TNotify&, int) { w.macroRename(); }},
        {R::Whole, "macro_btn_save", "macro save", [](CMainWnd& w, ui::TNotify&, int) { w.macroSave(); }},
        {R::Whole, "macro_btn_cancel", "macro cancel", [](CMainWnd& w, ui::TNotify&, int) { w.macroCancel(); }},
        {R::Whole, "macro_btn_import", "macro import", [](CMainWnd& w, ui::TNotify&, int) { w.macroImport(); }},
        {R::Whole, "macro_btn_export", "macro export", [](CMainWnd& w, ui::TNotify&, int) { w.macroExport(); }},
        {R::Whole, "macro_btn_up", "macro action up", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::MoveEventUp, false); }},
        {R::Whole, "macro_btn_down", "macro action down", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::MoveEventDown, false); }},
        {R::Whole, "macro_btn_uptop", "macro action top", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::MoveEventToTop, false); }},
        {R::Whole, "macro_btn_downbottom", "macro action bottom", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::MoveEventToBottom, false); }},
        {R::Whole, "macro_btn_delete", "macro action delete", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::DeleteEvent, true); }},
        {R::Whole, "macro_btn_deleteall", "macro actions delete", [](CMainWnd& w, ui::TNotify&, int) { w.macroEdit(&editors::CMacroControlUI::DeleteAllEvents, true); }},
        {R::Exact, "macro_inset_moveleftkey_btn", "macro insert left", [](CMainWnd& w, ui::TNotify&, int) { w.macroInsert(0x0200, 0); }},
        {R::Exact, "macro_inset_moverightkey_btn", "macro insert right", [](CMainWnd& w, ui::TNotify&, int) { w.macroInsert(0x0200, 1); }},
        {R::Exact, "macro_inset_moveupkey_btn", "macro insert up", [](CMainWnd& w, ui::TNotify&, int) { w.macroInsert(0x0200, 2); }},
        {R::Exact, "macro_inset_movedownkey_btn", "macro insert down", [](CMainWnd& w, ui::TNotify&, int) { w.macroInsert(0x0200, 3); }},
        {R::Whole, "shootdate_save_btn", "shoot save", [](CMainWnd& w, ui::TNotify&, int) { w.shootWrite(); }},
        {R::Whole, "shootdate_reset_btn", "shoot reset", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->ResetGun(); }},
        {R::Whole, "shootdate_import_btn", "shoot import", [](CMainWnd& w, ui::TNotify&, int) { w.shootImport(); }},
        {R::Whole, "shootdate_export_btn", "shoot export", [](CMainWnd& w, ui::TNotify&, int) { w.shootExport(); }},
        {R::Whole, "keyset_gun_edit_btn", "gun editor", [](CMainWnd& w, ui::TNotify&, int) {
             if (w.currentShootEditor()) w.currentMouse()->showFunctionTab(7);
         }},
        {R::Whole, "shoot_back_btn", "gun editor closed", [](CMainWnd& w, ui::TNotify&, int) {
             if (w.currentShootEditor()) w.currentMouse()->showFunctionTab(2);
         }},
        {R::Whole, "bullet_selected_prev", "bullet previous", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->PreviousBullet(); }},
        {R::Whole, "bullet_selected_next", "bullet next", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->NextBullet(); }},
        {R::Whole, "kb_select_all_btn", "select all keys", [](CMainWnd& w, ui::TNotify&, int) { w.selectAllKeys(); }},
        {R::Whole, "custom_bright_color_btn", "custom colours on", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* k = keyboard(w)) k->setBrush(true);
         }},
        {R::Whole, "custom_off_color_btn", "custom colours off", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* k = keyboard(w)) k->setBrush(false);
         }},
        {R::Whole, "deng_same_mode", "same mode", [](CMainWnd& w, ui::TNotify&, int) { w.sameMode(); }},
        {R::Whole, "hs_EQ_btn_save", "EQ save", [](CMainWnd& w, ui::TNotify&, int) { w.saveCustomEq(); }},
        {R::Whole, "hs_EQ_btn_delete", "EQ delete", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->DeleteCustomEq();
         }},
        {R::Exact, "profile_fun_spread_btn", "profile menu", [](CMainWnd& w, ui::TNotify&, int) {
             if (CTarvenixUSBDevice* d = w.currentDevice())
                 if (ui::Control* menu = ui::Window::findSubControlByName(d, QStringLiteral("profile_menu_layout")))
                     menu->setVisible(menu->isHidden());
         }},
        {R::Whole, "device_select_prev", "previous device", [](CMainWnd& w, ui::TNotify&, int) { w.SelectPreviousTab(); }},
        {R::Whole, "device_select_next", "next device", [](CMainWnd& w, ui::TNotify&, int) { w.SelectNextTab(); }},
        {R::Whole, "Close_bkColor_btn", "audio background off", [](CMainWnd& w, ui::TNotify&, int) { w.audioBackgroundOff(); }},
        {R::Whole, "music_setting_btn", "music window", [](CMainWnd& w, ui::TNotify&, int) { w.OpenMusicWindow(); }},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::selectRoutes()
{
    using R = Route;
    static const std::vector<Route> rows = {
        {R::Prefix, "DPI_enable_check_", "DPI enable", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w)) d->onDpiEnable(n, checked(m));
         }},
        {R::Prefix, "DPI_select_check_", "DPI select", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w); d && checked(m)) d->onDpiSelect(n);
         }},
        {R::Prefix, "polling_rate_option_", "report rate", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (!checked(m))
                 return;
             if (auto* d = mouse(w))
                 d->onReportRate(n);
             else if (auto* k = keyboard(w))
                 k->onReportRate(n);
         }},
        {R::Prefix, "Silent_Altitude_option_", "lift-off", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w); d && checked(m)) d->onSilentAltitude(n);
         }},
        {R::Prefix, "Linear_Calibration_option_", "calibration", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w); d && checked(m)) d->onLinearCalibration(n);
         }},
        {R::Prefix, "Ripple_option_", "ripple", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w); d && checked(m)) d->onRipple(n);
         }},
        {R::Prefix, "repeat_delay_check_", "repeat delay", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* k = keyboard(w); k && checked(m)) k->onRepeatDelay(n);
         }},
        {R::Prefix, "mouse_device_seting_option_", "settings page", [](CMainWnd& w, ui::TNotify&, int n) {
             if (auto* d = mouse(w)) d->showSettingsPage(n);
         }},
        {R::Prefix, "shoot_gun_op_", "gun", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* s = w.currentShootEditor(); s && checked(m)) s->SelectGun(n);
         }},
        {R::Prefix, "bullet_op_", "bullet", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* s = w.currentShootEditor(); s && checked(m)) s->SelectBullet(n);
         }},
        {R::Prefix, "magic_option_", "voice effect", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* h = headset(w); h && checked(m)) h->SelectVoiceEffect(n);
         }},
        {R::Prefix, "4120_eq_option_", "EQ preset", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* h = headset(w); h && checked(m)) h->SelectEqType(n);
         }},
        {R::Prefix, "key_ComBox_check_", "key modifier", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (checked(m)) w.keyModifier(n); // the option the group unselected says nothing new
         }},
        {R::Whole, "pointer_precision_check", "pointer precision", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* d = mouse(w)) d->onPointerPrecision(checked(m));
         }},
        {R::Whole, "scrolls_page_check", "scroll by page", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* d = mouse(w)) d->onScrollByPage(checked(m));
         }},
        {R::Whole, "winlockflag_option", "win lock", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* k = keyboard(w)) k->onWinLock(checked(m));
         }},
        {R::Whole, "wflag_option", "w flag", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* k = keyboard(w)) k->onWFlag(checked(m));
         }},
        {R::Whole, "6flag_option", "6 key", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* k = keyboard(w)) k->onSixKey(checked(m));
         }},
        {R::Whole, "device_select", "device tab", [](CMainWnd& w, ui::TNotify&, int) { w.OnTabSelected(); }},
        {R::Whole, "deng_Op_tab", "tab 1", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 1); }},
        {R::Whole, "key_Op_tab", "tab 2", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 2); }},
        {R::Whole, "macro_Op_tab", "tab 3", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 3); }},
        {R::Whole, "system_Op_tab", "tab 4", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 4); }},
        {R::Whole, "cursor_Op_tab", "tab 5", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 5); }},
        {R::Whole, "4120_voice_Op_tab", "tab 6", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 6); }},
        {R::Whole, "magic_Op_tab", "tab 7", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 7); }},
        {R::Whole, "Virtual7.1_Op_tab", "tab 8", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 8); }},
        {R::Whole, "otherset_Op_tab", "tab 9", [](CMainWnd& w, ui::TNotify&, int) { functionTab(w, 9); }},
        {R::Whole, "deng_FXL_check", "light direction left", [](CMainWnd& w, ui::TNotify& m, int) {
             if (checked(m)) w.lightDirection(true);
         }},
        {R::Whole, "deng_FXR_check", "light direction right", [](CMainWnd& w, ui::TNotify& m, int) {
             if (checked(m)) w.lightDirection(false);
         }},
        {R::Whole, "deng_7color_check", "light multi-colour", [](CMainWnd& w, ui::TNotify&, int) { w.lightMultiColour(); }},
        {R::Whole, "bullet_x_check", "bullet x", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->DirectionChanged(); }},
        {R::Whole, "bullet_y_check", "bullet y", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->DirectionChanged(); }},
        {R::Whole, "magic_enable_option", "voice effect on", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->ToggleVoiceEffect();
         }},
        {R::Whole, "4120_MicIn_option", "mic mute", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->ToggleMicMute();
         }},
        {R::Whole, "4120_MicMoniter_option", "monitor mute", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->ToggleMonitorMute();
         }},
        {R::Whole, "virtual_surround_option", "virtual surround", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->ToggleSurround();
         }},
        {R::Whole, "deng_7audiocolor_check", "audio foreground", [](CMainWnd& w, ui::TNotify&, int) { w.audioLightChanged(true); }},
        {R::Whole, "audio_BkColor_check", "audio background", [](CMainWnd& w, ui::TNotify&, int) { w.audioLightChanged(false); }},
        {R::Whole, "audio_FgColor_check", "audio background", [](CMainWnd& w, ui::TNotify&, int) { w.audioLightChanged(false); }},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::itemRoutes()
{
    using R = Route;
    auto combo = [](CMainWnd& w, ui::TNotify& m, int) {
        if (auto* d = mouse(w)) {
            if (m.sender->name() == QLatin1String("Anti_Shake_combo_timeSelect"))
                d->onDebounceSelected();
            else
                d->onSleepSelected(m.sender->name());
        }
    };
    static const std::vector<Route> rows = {
        {R::Whole, "device_profile_combo", "profile switch", [](CMainWnd& w, ui::TNotify&, int) { w.profileSelected(); }},
        {R::Whole, "light_combo_modeSelect", "light effect", [](CMainWnd& w, ui::TNotify&, int) { w.lightEffectSelected(); }},
        {R::Whole, "light_combo_custommodeSelect", "custom effect", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* k = keyboard(w); k && k->lightEditor())
                 k->setColorGroup(k->lightEditor()->GetCustomGroup());
         }},
        {R::Whole, "light_combo_ZZCCmodeSelect", "per-key effect", [](CMainWnd& w, ui::TNotify&, int) { w.lightSecondMode(); }},
        {R::Whole, "keyset_function_combo", "key function", [](CMainWnd& w, ui::TNotify&, int) { w.keyFunctionChosen(); }},
        {R::Whole, "keyset_macro_over_combo", "macro repeat", [](CMainWnd& w, ui::TNotify&, int) { w.keyPlayModeChosen(); }},
        {R::Whole, "Anti_Shake_combo_timeSelect", "debounce", combo},
        {R::Whole, "ble_sleep1_combo", "sleep", combo},
        {R::Whole, "ble_sleep2_combo", "sleep", combo},
        {R::Whole, "device_sleep1_combo", "sleep", combo},
        {R::Whole, "device_sleep2_combo", "sleep", combo},
        {R::Whole, "macro_name_list", "macro selected", [](CMainWnd& w, ui::TNotify&, int) { w.macroSelected(); }},
        {R::Whole, "custom_eq_name_combo", "custom EQ", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->ApplyCustomEq();
         }},
        {R::Whole, "light_combo_audiomodeSelect", "audio mode", [](CMainWnd& w, ui::TNotify&, int) { w.audioLightChanged(true); }},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::itemLowerRoutes()
{
    using R = Route;
    // The function and play-mode lists apply in their own rows above.
    auto apply = [](CMainWnd& w, ui::TNotify& m, int) {
        const QString n = m.sender->name();
        if (n.compare(QLatin1String("keyset_function_combo"), Qt::CaseInsensitive) != 0
            && n.compare(QLatin1String("keyset_macro_over_combo"), Qt::CaseInsensitive) != 0)
            w.keyApply();
    };
    static const std::vector<Route> rows = {
        {R::Whole, "keyset_function_combo", "key editor", apply}, {R::Whole, "keyset_mousekey_combo", "key editor", apply},
        {R::Whole, "keyset_mouseswing_combo", "key editor", apply}, {R::Whole, "keyset_mousewheel_combo", "key editor", apply},
        {R::Whole, "keyset_mousedpi_combo", "key editor", apply}, {R::Whole, "keyset_media_combo", "key editor", apply},
        {R::Whole, "keyset_system_combo", "key editor", apply}, {R::Whole, "keyset_macro_combo", "key editor", apply},
        {R::Whole, "keyset_macro_over_combo", "key editor", apply}, {R::Whole, "keyset_gunkey_combo", "key editor", apply},
        {R::Whole, "keyset_combokey_combo", "key editor", apply},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::valueRoutes()
{
    using R = Route;
    auto rgb = [](CMainWnd& w, ui::TNotify& m, int) {
        const QString n = m.sender->name();
        const QString label = n.left(1) + QStringLiteral("_light_label");
        if (ui::Control* c = w.findControl(label))
            c->setText(QStringLiteral("%1 %2").arg(n.left(1)).arg(sliderValue(m)));
        // The capture companion's colour level of this channel.
        const uint64_t code = n.startsWith('R') ? kAudioRed : n.startsWith('G') ? kAudioGreen : kAudioBlue;
        if (audioCaptureRunning())
            sendAudioCaptureCommand(code, sliderValue(m));
    };
    static const std::vector<Route> rows = {
        {R::Prefix, "DPI_slider_", "DPI step", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* d = mouse(w)) d->onDpiStep(n, sliderValue(m));
         }},
        {R::Prefix, "4120_eq_hz_slider_", "EQ band", [](CMainWnd& w, ui::TNotify&, int n) {
             if (auto* h = headset(w)) h->SetEqBand(n);
         }},
        {R::Whole, "pointer_speed_slider", "pointer speed", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* d = mouse(w)) d->onPointerSpeed(sliderValue(m));
         }},
        {R::Whole, "scroll_speed_slider", "scroll speed", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* d = mouse(w)) d->onScrollSpeed(sliderValue(m));
         }},
        {R::Whole, "double_click_slider", "double click", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* d = mouse(w)) d->onDoubleClickTime(sliderValue(m));
         }},
        {R::Whole, "repeat_rate_slider", "repeat rate", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* k = keyboard(w)) k->onRepeatRate(sliderValue(m));
         }},
        {R::Whole, "deng_light_slider", "light brightness", [](CMainWnd& w, ui::TNotify&, int) { w.lightLevel(true); }},
        {R::Whole, "deng_speed_slider", "light speed", [](CMainWnd& w, ui::TNotify&, int) { w.lightLevel(false); }},
        {R::Whole, "4120_MicIn_slider", "mic volume", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->SetMicLevel();
         }},
        {R::Whole, "4120_MicMoniter_slider", "monitor volume", [](CMainWnd& w, ui::TNotify&, int) {
             if (auto* h = headset(w)) h->SetMonitorLevel();
         }},
        {R::Whole, "R_light_slider", "red", rgb},
        {R::Whole, "G_light_slider", "green", rgb},
        {R::Whole, "B_light_slider", "blue", rgb},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::moveRoutes()
{
    using R = Route;
    static const std::vector<Route> rows = {
        {R::Prefix, "kelda_DPI_slider_", "DPI edit follows", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (ui::Control* e = w.findControl(QStringLiteral("kelda_DPI_edit_%1").arg(n)))
                 e->setText(QString::number(sliderValue(m)));
         }},
        {R::Prefix, "DPI_slider_", "DPI moved", [](CMainWnd& w, ui::TNotify&, int n) {
             if (auto* d = mouse(w)) d->onDpiSliderMoved(n);
         }},
        {R::Prefix, "4120_eq_hz_slider_", "EQ band caption", [](CMainWnd& w, ui::TNotify& m, int n) {
             if (auto* h = headset(w)) h->soundEditor().ShowBandCaption(n, sliderValue(m));
         }},
        {R::Whole, "4120_MicIn_slider", "mic volume caption", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* h = headset(w)) h->soundEditor().ShowLevelCaption("4120_MicIn_value", sliderValue(m));
         }},
        {R::Whole, "4120_MicMoniter_slider", "monitor volume caption", [](CMainWnd& w, ui::TNotify& m, int) {
             if (auto* h = headset(w)) h->soundEditor().ShowLevelCaption("4120_MicMoniter_value", sliderValue(m));
         }},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::focusRoutes()
{
    using R = Route;
    static const std::vector<Route> rows = {
        {R::Prefix, "kelda_DPI_edit_", "DPI clamp", [](CMainWnd& w, ui::TNotify& m, int n) {
             const int v = std::clamp(m.sender->text().toInt(), 200, 6500);
             m.sender->setText(QString::number(v));
             if (auto* s = qobject_cast<ui::Slider*>(w.findControl(QStringLiteral("kelda_DPI_slider_%1").arg(n))))
                 s->setValue(v);
         }},
        {R::Prefix, "DPI_edit_", "DPI typed", [](CMainWnd& w, ui::TNotify&, int n) {
             if (auto* d = mouse(w)) d->onDpiEditDone(n);
         }},
        {R::Whole, "deng_edit_R", "light colour", [](CMainWnd& w, ui::TNotify&, int) { w.lightComponentTyped('R'); }},
        {R::Whole, "deng_edit_G", "light colour", [](CMainWnd& w, ui::TNotify&, int) { w.lightComponentTyped('G'); }},
        {R::Whole, "deng_edit_B", "light colour", [](CMainWnd& w, ui::TNotify&, int) { w.lightComponentTyped('B'); }},
        {R::Whole, "deng_audioedit_R", "audio colour", [](CMainWnd& w, ui::TNotify&, int) { w.audioComponentTyped('R'); }},
        {R::Whole, "deng_audioedit_G", "audio colour", [](CMainWnd& w, ui::TNotify&, int) { w.audioComponentTyped('G'); }},
        {R::Whole, "deng_audioedit_B", "audio colour", [](CMainWnd& w, ui::TNotify&, int) { w.audioComponentTyped('B'); }},
        {R::Whole, "keyset_keyboard_text_edit", "hook off", [](CMainWnd& w, ui::TNotify&, int) { w.send(1054, 0, 0); }},
        {R::Whole, "bullet_x_eidt", "bullet values", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->SaveBullet(); }},
        {R::Whole, "bullet_y_eidt", "bullet values", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->SaveBullet(); }},
        {R::Whole, "bullet_delay_eidt", "bullet values", [](CMainWnd& w, ui::TNotify&, int) { if (auto* s = w.currentShootEditor()) s->SaveBullet(); }},
        {R::Whole, "macro_delay", "macro save", [](CMainWnd& w, ui::TNotify&, int) { w.macroSave(); }},
        {R::Whole, "keyset_mouseswing_num_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mouseswing_delay_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mouseswing_speed_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mousewheel_num_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mousewheel_delay_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mousewheel_speed_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mousefire_interval_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_mousefire_num_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
        {R::Whole, "keyset_macro_cycle_edit", "key apply", [](CMainWnd& w, ui::TNotify&, int) { w.keyApply(); }},
    };
    return rows;
}

const std::vector<CMainWnd::Route>& CMainWnd::colourRoutes()
{
    using R = Route;
    static const std::vector<Route> rows = {
        {R::Whole, "deng_Color_Pallet", "light colour picked", [](CMainWnd& w, ui::TNotify&, int) { w.lightPaletteColour(); }},
        {R::Whole, "deng_audioColor_Pallet", "audio colour picked", [](CMainWnd& w, ui::TNotify&, int) { w.audioPaletteColour(); }},
    };
    return rows;
}

std::vector<const CMainWnd::Route*> CMainWnd::match(const std::vector<Route>& table, Mode mode, ui::Control* sender) const
{
    std::vector<const Route*> out;
    if (!sender)
        return out;
    const QString name = sender->name();
    const Split split = splitName(name);
    auto hit = [&](const Route& r) {
        switch (r.kind) {
        case Route::Prefix:
            return split.ok && split.prefix.compare(QLatin1String(r.key), Qt::CaseInsensitive) == 0;
        case Route::Whole:
            return name.compare(QLatin1String(r.key), Qt::CaseInsensitive) == 0;
        case Route::Exact:
            return name == QLatin1String(r.key);
        case Route::Sender:
            for (ui::Control* c : titleControls_)
                if (c == sender && c->name() == QLatin1String(r.key))
                    return true;
            return false;
        }
        return false;
    };
    bool prefixMatched = false, wholeMatched = false;
    for (const Route& r : table) {
        const bool isPrefix = r.kind == Route::Prefix;
        if (mode == Mode::SelectTable) {
            // The first prefix row (for names that split) and the first whole-name row both run.
            if ((isPrefix && prefixMatched) || (!isPrefix && wholeMatched) || !hit(r))
                continue;
            out.push_back(&r);
            (isPrefix ? prefixMatched : wholeMatched) = true;
            continue;
        }
        // First match wins; after a prefix row the whole-name rows are still tried.
        if (prefixMatched && isPrefix)
            continue;
        if (!hit(r))
            continue;
        out.push_back(&r);
        if (!isPrefix)
            break;
        prefixMatched = true;
    }
    return out;
}

QStringList CMainWnd::routeOf(const QString& type, ui::Control* sender) const
{
    QStringList labels;
    auto add = [&](const std::vector<Route>& t, Mode m) {
        for (const Route* r : match(t, m, sender))
            labels.push_back(QString::fromLatin1(r->label));
    };
    if (type == ui::notify::Click) add(clickRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::SelectChanged) add(selectRoutes(), Mode::SelectTable);
    else if (type == ui::notify::ItemSelect) {
        add(itemRoutes(), Mode::FirstMatch);
        add(itemLowerRoutes(), Mode::FirstMatch);
    } else if (type == ui::notify::ValueChanged) add(valueRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::MoveValueChanged) add(moveRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::KillFocus) add(focusRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::ColorChanged) add(colourRoutes(), Mode::FirstMatch);
    return labels;
}

void CMainWnd::runRoutes(ui::TNotify& msg)
{
    auto run = [&](const std::vector<Route>& t, Mode m) {
        const int index = splitName(msg.sender ? msg.sender->name() : QString()).index;
        for (const Route* r : match(t, m, msg.sender))
            r->run(*this, msg, index);
    };
    const QString& type = msg.type;
    if (type == ui::notify::Click) run(clickRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::SelectChanged) run(selectRoutes(), Mode::SelectTable);
    else if (type == ui::notify::ItemSelect) {
        run(itemRoutes(), Mode::FirstMatch);
        run(itemLowerRoutes(), Mode::FirstMatch);
    } else if (type == ui::notify::ValueChanged) run(valueRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::MoveValueChanged) run(moveRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::KillFocus) run(focusRoutes(), Mode::FirstMatch);
    else if (type == ui::notify::ColorChanged) run(colourRoutes(), Mode::FirstMatch);
}

} // namespace q9::app
