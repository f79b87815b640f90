#pragma once
// The profile list file of a device type ("ProfileList.ini", JSON inside): which profiles exist,
// in which order, and which one is selected. The first profile is made from the default profile
// when the list is missing or empty. The profile bar of a device page works on this file.
#include <json/value.h>

#include <string>
#include <vector>

namespace q9 {

class ProfileList {
public:
    static constexpr int kMaxProfiles = 50;

    // profileFolder ends with a separator.
    void SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath);
    // Loads the list, creating the first profile ("Profile1") when there is none.
    void Init();
    int Count();                       // re-reads the file
    int SelectedIndex() const { return selected_; }
    void Select(int index);            // records the selection in the file
    std::wstring CurrentProfileId() const { return currentId_; }
    std::wstring ProfilePathAt(int index) const;
    std::vector<std::wstring> Names() const;
    // Replaces the selected profile's content by the default profile; its name and id stay.
    bool ResetSelected();
    std::wstring ListPath() const { return folder_ + L"ProfileList.ini"; }

private:
    std::wstring idAt(int index) const;

    std::wstring folder_;
    std::wstring defaultPath_;
    Json::Value list_;
    int selected_ = -1;
    std::wstring currentId_;
};

} // namespace q9
