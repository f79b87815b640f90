#pragma once
// The profile document: the in-memory side of one profile file. A device object points it at the
// current profile and at its type's default profile, loads the device section, reads and writes
// typed records on it and saves it. Getters return copies and refresh the cached records; setters
// change memory only; nothing reaches the disk until a save.
//
// A profile file is {"Device": [section, ...], "profilename": ..., "profileUUID": ...}; a save
// re-reads the file and replaces only the section, so members written meanwhile by others (a
// rename) and members this program does not know survive.
#include "profile/ProfileRecords.h"

#include <json/value.h>

#include <string>
#include <vector>

namespace q9 {

class CBasicProfiledata {
public:
    CBasicProfiledata() = default;
    virtual ~CBasicProfiledata() = default;

    // An empty path leaves the stored one.
    void SetProfilePath(const std::wstring& path);
    std::wstring GetProfilePath() const { return profilePath_; }
    void SetDefaultProfilePath(const std::wstring& path);
    std::wstring GetDefaultProfilePath() const { return defaultProfilePath_; }
    // Which element of "Device" is this document's; negative values are ignored.
    void SetDeviceIndex(int n);

    // Loads the section from the file. A file without a usable section (missing, unreadable, not a
    // profile, or its section is no object) gets the default profile's section, which is written
    // back into it with its other members kept. Returns a copy of the section.
    Json::Value LoadDeviceSection(const std::wstring& path);
    // The same into the scratch section: another profile's section, edited while the current one
    // stays loaded.
    Json::Value LoadScratchSection(const std::wstring& path);
    const Json::Value& DeviceSection() const { return deviceSection_; }

    std::vector<KeyEntry> GetKeyList();
    // Writes "Assignment" of the first list.size() stored keys; stored keys beyond the list and
    // every "DefaultAssignment" stay as they are.
    void SetKeyList(const std::vector<KeyEntry>& list);
    std::vector<KeyEntry> GetScratchKeyList();
    void SetScratchKeyList(const std::vector<KeyEntry>& list);

    LightInfoRecord GetLightInfo();
    void SetLightInfo(const LightInfoRecord& record);
    AudioLightRecord GetAudioLightInfo();
    void SetAudioLightInfo(const AudioLightRecord& record);
    std::vector<LedZoneRecord> GetLightList();

    // The custom light list of the device type ("kelda_light.config" in the profile folder) and
    // the effect steps of the custom light that the cached light info selects.
    void SetLightConfigPath(const std::wstring& path);
    std::wstring GetLightConfigPath() const { return lightConfigPath_; }
    Json::Value LoadLightConfig(const std::wstring& path);
    std::vector<CustomEffectRecord> GetCustomEffects();

    // Saves write the whole file atomically; true when it was written.
    virtual bool Save();
    virtual bool SaveDeviceSection(const Json::Value& section, const std::wstring& path);
    virtual bool SaveScratchSection(const std::wstring& path);
    virtual bool WriteJson(const Json::Value& value, const std::wstring& path);

protected:
    Json::Value& section() { return deviceSection_; }
    const Json::Value& section() const { return deviceSection_; }

private:
    Json::Value loadSection(const std::wstring& path, Json::Value& into);
    Json::Value sectionOf(const Json::Value& root) const;

    std::wstring profilePath_;
    std::wstring defaultProfilePath_;
    LightInfoRecord lightInfo_;
    AudioLightRecord audioLight_;
    std::vector<LedZoneRecord> lightList_;
    Json::Value deviceSection_;
    Json::Value scratchSection_;
    std::wstring lightConfigPath_;
    std::wstring effectFolder_;  // folder of the light list last loaded; effect files lie beside it
    std::vector<CustomEffectRecord> customEffects_;
    Json::Value lightConfig_;
    std::vector<KeyEntry> keyList_;
    std::vector<KeyEntry> scratchKeyList_;
    Json::ArrayIndex deviceIndex_ = 0;
};

} // namespace q9
