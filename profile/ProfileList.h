#pragma once
// The profile list file of a device type ("ProfileList.ini", JSON inside): which profiles exist,
// in which order, and which one is selected, and what the profile bar does with them: add, copy,
// import, export, delete, rename, reset. The file, not this object, is the authority: every
// operation re-reads it before changing it and writes it back at once.
//
// The list can never lose a profile: an unreadable list is kept as ".bad" and rebuilt from the
// profile files in the folder; an entry whose id is no plain file name, or repeats another's, gets
// a fresh id (and a copy of its file); more than 50 entries are cut to 50 with the whole list kept
// as ".bad"; a selection out of range is corrected and written back.
#include <json/value.h>

#include <string>
#include <vector>

namespace q9 {

class CBasicProfiledata;

class ProfileList {
public:
    static constexpr int kMaxProfiles = 50;

    // profileFolder ends with a separator.
    void SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath);
    // Loads and repairs the list; creates the first profile ("Profile1") when there is none at all.
    void Init();
    int Count();                       // re-reads the file
    int SelectedIndex() const { return selected_; }
    void Select(int index);            // records the selection in the file
    std::wstring CurrentProfileId() const { return currentId_; }
    std::wstring ProfilePathAt(int index) const;
    std::vector<std::wstring> Names() const;
    std::wstring ListPath() const { return folder_ + L"ProfileList.ini"; }

    // Each returns false when the list is full (nothing done); the new entry is the last one.
    // Add stores the new entry as the selection for the next start, as the device's bar does.
    bool Add();
    bool Copy();                       // of the selected profile
    bool Import(const std::wstring& path);
    // Writes the selected profile's file unchanged to path; false when it could not.
    bool Export(const std::wstring& path);
    // Deletes the selected profile, never the last one; the entry before it becomes the selection.
    bool Delete();
    enum class Rename { Taken = 0, Done = 1, Blank = 2 };
    Rename RenameSelected(const std::wstring& name);
    // Replaces the selected profile's content by the default profile; its name and id stay.
    bool ResetSelected();

    // Free names by the bar's rules, compared without regard to letter case.
    static std::wstring FreeAddName(const std::vector<std::wstring>& taken);
    static std::wstring FreeCopyName(const std::wstring& of, const std::vector<std::wstring>& taken);
    static std::wstring FreeImportName(const std::wstring& title, const std::vector<std::wstring>& taken);
    // Macro `deleted` is gone: in every profile but the selected one (which its device updates
    // itself), keys playing it get their default action back and keys playing a later macro follow
    // its new number. Read and written through the document's scratch section. Returns how many
    // profiles changed.
    int RemoveMacroFromOtherProfiles(CBasicProfiledata& doc, int deleted);
    // A file is taken for import when it parses and has "profilename" and "profileUUID".
    static bool Importable(const Json::Value& content);
    // An id names a file in the profile folder: a plain, non-empty file name.
    static bool PlainId(const std::string& id);

private:
    std::wstring idAt(int index) const;
    std::wstring pathOfId(const std::string& id) const;
    bool repair();
    void rebuildFromFolder();
    void createFirst();
    bool append(const std::wstring& name, Json::Value content);
    void write();

    std::wstring folder_;
    std::wstring defaultPath_;
    Json::Value list_;
    int selected_ = -1;
    std::wstring currentId_;
};

} // namespace q9
