#pragma once
// The profile bar of a device page: the drop-down list of the device type's profiles, the name
// field, the action menu and the feature tabs. Its operations keep the list (profile/ProfileList,
// which does the work on the files) and the drop-down list in step; the main window asks the user
// first and shows the notices from the results.
#include "profile/ProfileList.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

namespace q9::ui {
class Control;
} // namespace q9::ui

namespace q9 {

class CDeviceProfileUI {
public:
    // page: the device page the bar is on; list: the device type's profile list.
    CDeviceProfileUI(ui::Control* page, ProfileList& list);

    void SetDeviceKind(int kind) { deviceKind_ = kind; }
    void SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath);
    // Loads (and repairs) the list, fills the drop-down list, selects the stored profile, adapts
    // the tabs to the device kind.
    void Init();
    void SelectProfile(int index, bool notify);
    int GetSelectedIndex() const; // −1 when none or when the list control is missing
    std::wstring GetCurrentProfileId() const { return list_.CurrentProfileId(); }
    QString GetNameEditText() const;
    void SetNameEditText(const QString& name);
    void ShowProfileMenu(bool show);
    bool IsProfileMenuVisible() const;
    int GetProfileCount() { return list_.Count(); }
    std::wstring GetProfilePathAt(int index) const { return list_.ProfilePathAt(index); }

    // Each returns true when the list is full (nothing done).
    bool AddProfile();
    bool CopyProfile();
    bool ImportProfile(const std::wstring& path);
    bool ExportProfile(const std::wstring& path); // false when the file could not be written
    void DeleteProfile();                          // never the last one
    int RenameProfile(const QString& name);        // 1 renamed, 0 name used, 2 name blank
    bool ResetProfile();
    // Checks feature tab n (1 lighting … 9 other), unchecks the others, without notifications.
    void SelectTab(int n);

private:
    ui::Control* find(const char* name) const;
    void fill();
    // Runs `make` unless the list is full; true when it was.
    bool unlessFull(const std::function<void()>& make);
    void adaptTabs();

    ui::Control* page_;
    ProfileList& list_;
    int deviceKind_ = 0;
};

} // namespace q9
