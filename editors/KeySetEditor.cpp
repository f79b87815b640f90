#include "editors/KeySetEditor.h"

#include "editors/KeyCodes.h"
#include "ui/Combo.h"
#include "ui/Containers.h"
#include "ui/Edit.h"
#include "ui/Label.h"
#include "ui/Resources.h"
#include "ui/Window.h"

namespace q9::editors {
namespace {

constexpr const char* kCombos[] = {"keyset_mousekey_combo", "keyset_mouseswing_combo", "keyset_mousewheel_combo",
                                   "keyset_mousedpi_combo", "keyset_media_combo", "keyset_system_combo",
                                   "keyset_macro_combo", "keyset_macro_over_combo", "keyset_gunkey_combo",
                                   "keyset_combokey_combo"};
constexpr const char* kEdits[] = {"keyset_mouseswing_num_edit", "keyset_mouseswing_delay_edit", "keyset_mouseswing_speed_edit",
                                  "keyset_mousewheel_num_edit", "keyset_mousewheel_delay_edit", "keyset_mousewheel_speed_edit",
                                  "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit", "keyset_macro_cycle_edit"};

// The model's value behind each list and edit, in the order of the name tables above.
std::array<int*, 10> rowsOf(KeySetView& v)
{
    return {&v.mouseButtonRow, &v.swingDirectionRow, &v.wheelDirectionRow, &v.dpiRow, &v.mediaRow,
            &v.systemRow,      &v.macroRow,          &v.macroPlayRow,      &v.gunRow, &v.shortcutRow};
}
std::array<std::string*, 9> textsOf(KeySetView& v)
{
    return {&v.swingCount, &v.swingDelay, &v.swingSpeed, &v.wheelCount, &v.wheelDelay,
            &v.wheelSpeed, &v.fireInterval, &v.fireCount, &v.macroRepeat};
}

QString modifierName(int option)
{
    static const char* const ids[] = {"", "keyboard_key_LCtrl", "keyboard_key_LShift", "keyboard_key_LAlt", "keyboard_key_LWin"};
    return option > 0 && option < 5 ? ui::Resources::instance().text(QString::fromLatin1(ids[option])) : QString();
}

} // namespace

CKeySetControlUI::CKeySetControlUI(ui::Control* root) : root_(root) {}

ui::Control* CKeySetControlUI::find(const char* name) const
{
    QPointer<ui::Control>& slot = found_[name];
    if (!slot && root_)
        slot = ui::Window::findSubControlByName(root_, QString::fromLatin1(name));
    return slot;
}

QString CKeySetControlUI::translated(const std::string& id) const
{
    return id.empty() ? QString() : ui::Resources::instance().text(QString::fromStdString(id));
}

void CKeySetControlUI::Bind()
{
    KeySetView& v = model_.view();
    v.functionPages.clear();
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_function_combo")))
        for (int i = 0; i < c->count(); ++i) {
            bool ok = false;
            const int page = c->itemUserData(i).toInt(&ok);
            v.functionPages.push_back(ok ? page : -1);
        }
    model_.SetDeviceMode(model_.deviceMode());
    // The modifier options are one group per editor: a window's groups span its pages.
    for (int n = 0; n < 5; ++n)
        if (auto* o = qobject_cast<ui::Option*>(find(("key_ComBox_check_" + std::to_string(n)).c_str())))
            o->setGroup(QStringLiteral("keyset_modifier_%1").arg(quintptr(this), 0, 16));
    // The key edit shows the captured key's name; typing into it means nothing.
    if (auto* e = qobject_cast<ui::Edit*>(find("keyset_keyboard_text_edit"))) {
        e->setReadOnly(true);
        e->setTextIsId(true);
    }
    push();
}

void CKeySetControlUI::SetDeviceMode(int kind)
{
    model_.SetDeviceMode(kind);
    push();
}

void CKeySetControlUI::SetSystemOrder(int flag)
{
    model_.SetSystemOrder(flag);
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_system_combo"))) {
        c->removeAll();
        for (const ListRow& r : systemRows(flag))
            c->addItem(QString::fromLatin1(r.nameId.data(), int(r.nameId.size())), QString(), true);
        c->selectNone();
    }
}

void CKeySetControlUI::SetLayoutVisible(bool visible)
{
    model_.view().layoutVisible = visible;
    if (ui::Control* c = find("keyset_layout"))
        c->setVisible(visible);
}

void CKeySetControlUI::SetMacroNames(const std::vector<std::wstring>& names)
{
    for (const std::wstring& n : names)
        AddMacroName(n);
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo")))
        c->selectNone();
}

void CKeySetControlUI::AddMacroName(const std::wstring& name)
{
    macroNames_.push_back(name);
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo")))
        c->addItem(QString::fromStdWString(name));
    model_.view().macroCount = int(macroNames_.size());
}

void CKeySetControlUI::ResetMacroNames(const std::vector<std::wstring>& names)
{
    pull();
    const int selected = model_.view().macroRow;
    macroNames_.clear();
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo")))
        c->removeAll();
    SetMacroNames(names);
    model_.view().macroRow = selected < int(names.size()) ? selected : -1;
    push();
}

void CKeySetControlUI::RemoveMacroName(int i)
{
    if (i < 0 || i >= int(macroNames_.size()))
        return;
    macroNames_.erase(macroNames_.begin() + i);
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo"))) {
        c->removeAll();
        for (const std::wstring& n : macroNames_)
            c->addItem(QString::fromStdWString(n));
        c->selectNone();
    }
    model_.view().macroCount = int(macroNames_.size());
}

void CKeySetControlUI::RenameMacroName(int i, const std::wstring& name)
{
    if (i < 0 || i >= int(macroNames_.size()) || name.empty())
        return;
    macroNames_[size_t(i)] = name;
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo"))) {
        const int selected = c->curSel();
        c->removeAll();
        for (const std::wstring& n : macroNames_)
            c->addItem(QString::fromStdWString(n));
        if (selected >= 0)
            c->selectItem(selected, false);
    }
}

void CKeySetControlUI::SetKeyEntry(const KeyEntry& entry)
{
    pull();
    model_.SetKeyEntry(entry);
    push();
}

void CKeySetControlUI::ShowDefault()
{
    pull();
    model_.ShowDefault();
    push();
}

void CKeySetControlUI::ShowCurrent()
{
    pull();
    model_.ShowCurrent();
    push();
}

void CKeySetControlUI::SetCurrentAction(const KeyAction& a) { model_.SetCurrentAction(a); }

KeyEntry CKeySetControlUI::BuildEntry()
{
    pull();
    KeyEntry e = model_.BuildEntry();
    push(); // a fire interval below the least shows the least
    return e;
}

void CKeySetControlUI::SelectModifier(int n)
{
    model_.SelectModifier(n);
    push();
}

int CKeySetControlUI::SelectedModifier()
{
    pull();
    return model_.SelectedModifier();
}

void CKeySetControlUI::SetKeyName(const std::string& textId)
{
    model_.SetKeyName(textId);
    push();
}

void CKeySetControlUI::SetButtonsEnabled(bool enabled)
{
    for (const char* name : {"key_butt_keysave", "key_butt_keycancel", "key_butt_prosave"})
        if (ui::Control* c = find(name))
            c->setEnabled(enabled);
}

void CKeySetControlUI::SwitchPage(int n)
{
    model_.view().page = n;
    if (auto* t = qobject_cast<ui::TabLayout*>(find("function_switch_tablayout")))
        t->selectItem(n);
}

void CKeySetControlUI::SetKeyTitle(const QString& text)
{
    if (ui::Control* c = find("keyset_key_title")) {
        c->setTextIsId(false);
        c->setText(text);
    }
}

void CKeySetControlUI::FunctionChosen()
{
    pull();
    model_.FunctionChosen();
    push();
}

void CKeySetControlUI::PlayModeChosen()
{
    pull();
    model_.PlayModeChosen();
    push();
}

bool CKeySetControlUI::CaptureKey(uint32_t scan, bool extended)
{
    pull();
    const bool known = model_.CaptureKey(scan, extended);
    push();
    return known;
}

void CKeySetControlUI::pull()
{
    KeySetView& v = model_.view();
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_function_combo")))
        v.functionRow = c->curSel();
    const auto rows = rowsOf(v);
    for (size_t i = 0; i < rows.size(); ++i)
        if (auto* c = qobject_cast<ui::Combo*>(find(kCombos[i])))
            *rows[i] = c->curSel();
    const auto texts = textsOf(v);
    for (size_t i = 0; i < texts.size(); ++i)
        if (ui::Control* e = find(kEdits[i]))
            *texts[i] = e->text().toStdString();
    for (int n = 0; n < 5; ++n)
        if (auto* o = qobject_cast<ui::Option*>(find(("key_ComBox_check_" + std::to_string(n)).c_str())))
            v.modifiers[size_t(n)] = o->isSelected();
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_macro_combo")))
        v.macroCount = c->count();
}

void CKeySetControlUI::push()
{
    const KeySetView& v = model_.view();
    if (ui::Control* c = find("keyset_layout"))
        c->setVisible(v.layoutVisible);
    if (auto* c = qobject_cast<ui::Combo*>(find("keyset_function_combo"))) {
        for (int i = 0; i < c->count() && i < int(v.functionVisible.size()); ++i)
            c->setItemVisible(i, v.functionVisible[size_t(i)]);
        if (v.functionRow < 0)
            c->selectNone();
        else
            c->selectItem(v.functionRow, false);
    }
    if (v.page >= 0)
        if (auto* t = qobject_cast<ui::TabLayout*>(find("function_switch_tablayout")))
            t->selectItem(v.page);
    KeySetView& w = model_.view();
    const auto rows = rowsOf(w);
    for (size_t i = 0; i < rows.size(); ++i)
        if (auto* c = qobject_cast<ui::Combo*>(find(kCombos[i]))) {
            if (*rows[i] < 0)
                c->selectNone();
            else
                c->selectItem(*rows[i], false);
        }
    const auto texts = textsOf(w);
    for (size_t i = 0; i < texts.size(); ++i)
        if (ui::Control* e = find(kEdits[i]); e && e->text().toStdString() != *texts[i])
            e->setText(QString::fromStdString(*texts[i]));
    if (ui::Control* c = find("keyset_macro_cycle_layout"))
        c->setVisible(v.macroRepeatVisible);
    for (int n = 0; n < 5; ++n)
        if (auto* o = qobject_cast<ui::Option*>(find(("key_ComBox_check_" + std::to_string(n)).c_str())))
            o->selected(v.modifiers[size_t(n)], false);
    if (ui::Control* e = find("keyset_keyboard_text_edit")) {
        e->setTextIsId(true);
        e->setText(QString::fromStdString(v.keyNameId));
    }
}

QString CKeySetControlUI::describe(const KeyAction& a) const
{
    auto rowName = [&](auto rows) -> QString {
        for (const ListRow& r : rows)
            if (sameAction(r, a))
                return translated(std::string(r.nameId));
        return {};
    };
    auto pageName = [&](int page) -> QString {
        auto* c = qobject_cast<ui::Combo*>(find("keyset_function_combo"));
        const int row = model_.rowOfPage(page);
        return c && row >= 0 ? c->itemText(row) : QString();
    };
    QString detail;
    int page = -1;
    switch (a.type) {
    case 0x10: detail = rowName(mouseButtonRows()); break;
    case 0x13: detail = rowName(dpiRows()); break;
    case 0x30: detail = rowName(mediaRows()); break;
    case 0x40: detail = rowName(systemRows(model_.systemOrder())); break;
    case 0x11: page = PageSwing; detail = QString::number(a.param2 & 0x7F); break;
    case 0x12: page = PageWheel; detail = QString::number(a.param2 & 0x80 ? -(128 - (a.param2 & 0x7F)) : a.param2); break;
    case 0x14: page = PageFire; detail = QStringLiteral("%1 ms × %2").arg(a.param1).arg(a.param2); break;
    case 0x70:
    case 0x71:
        page = PageMacro;
        if (a.param1 < macroNames_.size())
            detail = QString::fromStdWString(macroNames_[a.param1]);
        break;
    case 0x72: page = PageGun; detail = QString::number(a.param1 + 1); break;
    case 0x20: {
        if (a.param1 > 8) {
            detail = rowName(shortcutRows());
            break;
        }
        QStringList parts;
        for (int bit = 0; bit < 4; ++bit)
            if (a.param1 & (1 << bit))
                parts << modifierName(bit + 1);
        for (int r = kModifierRows; r < kKeyCodeRows && a.param2; ++r)
            if (const KeyCodeRow& k = keyCodeTable()[size_t(r)]; k.type == 0x20 && k.param1 == 0 && k.param2 == a.param2) {
                parts << translated(std::string(k.nameId));
                break;
            }
        detail = parts.join(QLatin1Char('+'));
        break;
    }
    default:
        for (const KeyCodeRow& k : keyCodeTable())
            if (k.type == a.type && k.param1 == a.param1 && k.param2 == a.param2)
                return translated(std::string(k.nameId));
        break;
    }
    const QString name = page >= 0 ? pageName(page) : QString();
    if (name.isEmpty())
        return detail;
    return detail.isEmpty() ? name : name + QStringLiteral(": ") + detail;
}

} // namespace q9::editors
