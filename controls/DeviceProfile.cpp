#include "controls/DeviceProfile.h"

#include "ui/Combo.h"
#include "ui/Label.h"
#include "ui/Window.h"

#include <QComboBox>
#include <QSize>

namespace q9::controls {
namespace {

constexpr const char* kTabs[] = {"deng_Op_tab",       "key_Op_tab",  "macro_Op_tab",      "system_Op_tab",  "cursor_Op_tab",
                                 "4120_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab", "otherset_Op_tab"};

} // namespace

CDeviceProfileUI::CDeviceProfileUI(ui::Control* page) : page_(page) {}

ui::Control* CDeviceProfileUI::find(const char* name) const
{
    return page_ ? ui::Window::findSubControlByName(page_, QString::fromLatin1(name)) : nullptr;
}

void CDeviceProfileUI::fill(const std::vector<std::wstring>& names, int selected)
{
    auto* combo = qobject_cast<ui::Combo*>(find("device_profile_combo"));
    if (!combo)
        return;
    combo->removeAll();
    for (const std::wstring& n : names) {
        const QString name = QString::fromStdWString(n);
        const int i = combo->addItem(name, name);
        combo->comboBox()->setItemData(i, name, Qt::ToolTipRole);
        combo->comboBox()->setItemData(i, QSize(0, 30), Qt::SizeHintRole); // rows 30 pixels high
    }
    combo->selectItem(selected, false);
    const QString current = combo->itemText(combo->curSel());
    combo->setToolTip(current);
    setNameEditText(current);
}

int CDeviceProfileUI::selectedIndex() const
{
    auto* combo = qobject_cast<ui::Combo*>(find("device_profile_combo"));
    return combo ? combo->curSel() : -1;
}

QString CDeviceProfileUI::nameEditText() const
{
    const ui::Control* edit = find("device_profile_name_edit");
    return edit ? edit->text() : QString();
}

void CDeviceProfileUI::setNameEditText(const QString& name)
{
    if (ui::Control* edit = find("device_profile_name_edit"))
        edit->setText(name);
}

void CDeviceProfileUI::showMenu(bool shown)
{
    if (ui::Control* menu = find("profile_menu_layout"))
        menu->setVisible(shown);
}

bool CDeviceProfileUI::isMenuVisible() const
{
    const ui::Control* menu = find("profile_menu_layout");
    return menu && !menu->isHidden();
}

void CDeviceProfileUI::selectTab(int n)
{
    ui::Option* tabs[std::size(kTabs)] = {};
    for (size_t i = 0; i < std::size(kTabs); ++i)
        if (!(tabs[i] = qobject_cast<ui::Option*>(find(kTabs[i]))))
            return; // a skin without all nine: nothing changes
    for (size_t i = 0; i < std::size(kTabs); ++i) {
        const bool outside = n < 1 || n > int(std::size(kTabs));
        if (outside && i == 7)
            continue; // "Virtual7.1_Op_tab" keeps its state
        tabs[i]->selected(int(i) + 1 == n, false);
    }
}

void CDeviceProfileUI::adaptTabs(int deviceKind)
{
    auto show = [&](const char* name, bool on) {
        if (ui::Control* c = find(name))
            c->setVisible(on);
    };
    if (deviceKind == 1)
        show("cursor_Op_tab", false);
    if (deviceKind == 3 || deviceKind == 7)
        for (const char* n : {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"})
            show(n, false);
    if (deviceKind == 7)
        for (const char* n : {"4120_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"})
            show(n, true);
}

} // namespace q9::controls
