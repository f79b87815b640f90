#include "profile/ProfileList.h"

#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"

#include <algorithm>

namespace q9 {

void ProfileList::SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath)
{
    folder_ = profileFolder;
    defaultPath_ = defaultProfilePath;
}

void ProfileList::Init()
{
    list_ = ReadJsonFile(ListPath());
    if (ElementCount(Member(list_, "profilelist")) == 0) {
        const std::string id = TimeStampName();
        Json::Value entry(Json::objectValue);
        entry["profilename"] = "Profile1";
        entry["profileUUID"] = id;
        entry["profileislink"] = 0;
        entry["profilelinkmame"] = "";
        list_ = Json::Value(Json::objectValue);
        list_["profilelist"].append(entry);
        list_["profileselect"] = 0;
        WriteJsonFile(ListPath(), list_);
        Json::Value profile = ReadJsonFile(defaultPath_);
        if (!profile.isObject())
            profile = Json::Value(Json::objectValue);
        profile["profilename"] = "Profile1";
        profile["profileUUID"] = id;
        WriteJsonFile(folder_ + Utf8ToWide(id) + L".Json", profile);
    }
    const int count = int(ElementCount(Member(list_, "profilelist")));
    Select(std::clamp(ReadInt(Member(list_, "profileselect")), 0, count - 1));
}

int ProfileList::Count()
{
    const Json::Value fresh = ReadJsonFile(ListPath());
    if (ElementCount(Member(fresh, "profilelist")) > 0)
        list_ = fresh;
    return int(ElementCount(Member(list_, "profilelist")));
}

std::wstring ProfileList::idAt(int index) const
{
    if (index < 0)
        return {};
    const std::wstring id =
        Utf8ToWide(ReadString(Member(Element(Member(list_, "profilelist"), Json::ArrayIndex(index)), "profileUUID")));
    // An id names a file in the profile folder; a hand-edited list must not point elsewhere.
    if (id.empty() || id.find_first_of(L"/\\:") != std::wstring::npos || id.find(L"..") != std::wstring::npos
        || id.find(L'\0') != std::wstring::npos)
        return {};
    return id;
}

void ProfileList::Select(int index)
{
    const int count = Count();
    if (index < 0 || index >= count)
        return;
    selected_ = index;
    currentId_ = idAt(index);
    WritableMember(list_, "profileselect") = index;
    WriteJsonFile(ListPath(), list_);
}

std::wstring ProfileList::ProfilePathAt(int index) const
{
    const std::wstring id = idAt(index);
    return id.empty() ? std::wstring() : folder_ + id + L".Json";
}

bool ProfileList::ResetSelected()
{
    Count();
    const std::wstring path = ProfilePathAt(selected_);
    if (path.empty())
        return false;
    const Json::Value& entry = Element(Member(list_, "profilelist"), Json::ArrayIndex(selected_));
    Json::Value profile = ReadJsonFile(defaultPath_);
    if (!profile.isObject())
        return false; // without a default there is nothing to reset to; the profile stays
    profile["profilename"] = ReadString(Member(entry, "profilename"));
    profile["profileUUID"] = ReadString(Member(entry, "profileUUID"));
    return WriteJsonFile(path, profile) == 0;
}

std::vector<std::wstring> ProfileList::Names() const
{
    std::vector<std::wstring> out;
    const Json::Value& l = Member(list_, "profilelist");
    for (Json::ArrayIndex i = 0; i < ElementCount(l); ++i)
        out.push_back(Utf8ToWide(ReadString(Member(Element(l, i), "profilename"))));
    return out;
}

} // namespace q9
