#include "device/DeviceProfile.h"

#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Window.h"

#include <QComboBox>
#include <QSize>

namespace q9 {
namespace {

constexpr const char* kTabs[] = {"deng_Op_tab",       "key_Op_tab",  "macro_Op_tab",      "system_Op_tab",  "cursor_Op_tab",
                                 "4120_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "otherset_Op_tab"};

} // namespace

CDeviceProfileUI::CDeviceProfileUI(ui::Control* page, ProfileList& list) : page_(page), list_(list) {}

ui::Control* CDeviceProfileUI::find(const char* name) const
{
    return page_ ? ui::Window::findSubControlByName(page_, QString::fromLatin1(name)) : nullptr;
}

void CDeviceProfileUI::SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath)
{
    list_.SetPaths(profileFolder, defaultProfilePath);
}

void CDeviceProfileUI::Init()
{
    list_.Init();
    fill();
    adaptTabs();
}

// The drop-down list shows the list's names in order, 30-pixel rows with the name as tool tip and
// user data, the selected one picked (no notification) and named in the name field.
void CDeviceProfileUI::fill()
{
    auto* combo = qobject_cast<ui::Combo*>(find("device_profile_combo"));
    if (!combo)
        return;
    combo->removeAll();
    for (const std::wstring& n : list_.Names()) {
        const QString name = QString::fromStdWString(n);
        const int i = combo->addItem(name, name);
        combo->comboBox()->setItemData(i, name, Qt::ToolTipRole);
        combo->comboBox()->setItemData(i, QSize(0, 30), Qt::SizeHintRole);
    }
    combo->selectItem(list_.SelectedIndex(), false);
    const QString current = combo->itemText(combo->curSel());
    combo->setToolTip(current);
    SetNameEditText(current);
}

void CDeviceProfileUI::SelectProfile(int index, bool notify)
{
    list_.Select(index);
    if (auto* combo = qobject_cast<ui::Combo*>(find("device_profile_combo"))) {
        combo->selectItem(list_.SelectedIndex(), notify);
        combo->setToolTip(combo->itemText(combo->curSel()));
        SetNameEditText(combo->itemText(combo->curSel()));
    }
}

int CDeviceProfileUI::GetSelectedIndex() const
{
    auto* combo = qobject_cast<ui::Combo*>(find("device_profile_combo"));
    return combo ? combo->curSel() : -1;
}

QString CDeviceProfileUI::GetNameEditText() const
{
    const ui::Control* edit = find("device_profile_name_edit");
    return edit ? edit->text() : QString();
}

void CDeviceProfileUI::SetNameEditText(const QString& name)
{
    if (ui::Control* edit = find("device_profile_name_edit"))
        edit->setText(name);
}

void CDeviceProfileUI::ShowProfileMenu(bool show)
{
    if (ui::Control* menu = find("profile_menu_layout"))
        menu->setVisible(show);
}

bool CDeviceProfileUI::IsProfileMenuVisible() const
{
    const ui::Control* menu = find("profile_menu_layout");
    return menu && !menu->isHidden();
}

bool CDeviceProfileUI::unlessFull(const std::function<void()>& make)
{
    const bool full = list_.Count() >= ProfileList::kMaxProfiles;
    if (!full)
        make();
    fill();
    return full;
}

bool CDeviceProfileUI::AddProfile() { return unlessFull([&] { list_.Add(); }); }
bool CDeviceProfileUI::CopyProfile() { return unlessFull([&] { list_.Copy(); }); }
bool CDeviceProfileUI::ImportProfile(const std::wstring& path) { return unlessFull([&] { list_.Import(path); }); }

bool CDeviceProfileUI::ExportProfile(const std::wstring& path) { return list_.Export(path); }

void CDeviceProfileUI::DeleteProfile()
{
    if (list_.Delete())
        fill();
}

int CDeviceProfileUI::RenameProfile(const QString& name)
{
    if (!find("device_profile_combo"))
        return 0;
    const ProfileList::Rename r = list_.RenameSelected(name.toStdWString());
    if (r == ProfileList::Rename::Done)
        fill();
    return int(r);
}

bool CDeviceProfileUI::ResetProfile() { return list_.ResetSelected(); }

void CDeviceProfileUI::SelectTab(int n)
{
    ui::Option* tabs[std::size(kTabs)] = {};
    for (size_t i = 0; i < std::size(kTabs); ++i)
        if (!(tabs[i] = qobject_cast<ui::Option*>(find(kTabs[i]))))
            return; // a skin without all nine: nothing changes
    const bool outside = n < 1 || n > int(std::size(kTabs));
    for (size_t i = 0; i < std::size(kTabs); ++i)
        if (!(outside && i == 7)) // outside the range "Virtual7.1_Op_tab" keeps its state
            tabs[i]->selected(int(i) + 1 == n, false);
}

void CDeviceProfileUI::adaptTabs()
{
    auto show = [&](const char* name, bool on) {
        if (ui::Control* c = find(name))
            c->setVisible(on);
    };
    if (deviceKind_ == 1)
        show("cursor_Op_tab", false);
    if (deviceKind_ == 3 || deviceKind_ == 7)
        for (const char* n : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
            show(n, false);
    if (deviceKind_ == 7)
        for (const char* n : {"4120_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"})
            show(n, true);
}

} // namespace q9
