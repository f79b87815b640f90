#pragma once
// The profile bar of a device page: the drop-down list of the device type's profiles, the name
// field, the action menu and the feature tabs. It shows what the profile list holds and tells which
// entry the user picked; the list itself (profile/ProfileList) does the work on the files.
#include <QString>

#include <string>
#include <vector>

namespace q9::ui {
class Combo;
class Control;
} // namespace q9::ui

namespace q9::controls {

class CDeviceProfileUI {
public:
    // page: the device page the bar is on.
    explicit CDeviceProfileUI(ui::Control* page);

    // The drop-down list shows the names in order with `selected` picked (no notification), the
    // name field its name.
    void fill(const std::vector<std::wstring>& names, int selected);
    // −1 when none or when the list is missing.
    int selectedIndex() const;
    QString nameEditText() const;
    void setNameEditText(const QString& name);
    void showMenu(bool shown);
    bool isMenuVisible() const;
    // Checks feature tab n (1 lighting … 9 other), unchecks the others, without notifications.
    void selectTab(int n);
    // The tabs a device kind has (keyboards have no cursor page, pads and headsets no keys, …).
    void adaptTabs(int deviceKind);

private:
    ui::Control* find(const char* name) const;
    ui::Control* page_;
};

} // namespace q9::controls
