#include "profile/ProfileList.h"

#include "platform/Trace.h"
#include "profile/BasicProfiledata.h"
#include "profile/JsonAccess.h"
#include "profile/JsonFile.h"
#include "profile/TextConvert.h"

#include <algorithm>
#include <cwctype>
#include <filesystem>

namespace q9 {
namespace {

namespace fs = std::filesystem;

std::wstring lowered(std::wstring s)
{
    for (wchar_t& c : s)
        c = wchar_t(std::towlower(std::wint_t(c)));
    return s;
}

bool taken(const std::wstring& name, const std::vector<std::wstring>& names)
{
    const std::wstring l = lowered(name);
    return std::any_of(names.begin(), names.end(), [&](const std::wstring& n) { return lowered(n) == l; });
}

std::wstring trimmed(const std::wstring& s)
{
    const auto first = std::find_if_not(s.begin(), s.end(), [](wchar_t c) { return std::iswspace(std::wint_t(c)); });
    const auto last = std::find_if_not(s.rbegin(), s.rend(), [](wchar_t c) { return std::iswspace(std::wint_t(c)); }).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

Json::Value entryOf(const std::wstring& name, const std::string& id)
{
    Json::Value entry(Json::objectValue);
    entry["profilename"] = WideToUtf8(name);
    entry["profileUUID"] = id;
    entry["profileislink"] = 0;
    entry["profilelinkmame"] = "";
    return entry;
}

} // namespace

void ProfileList::SetPaths(const std::wstring& profileFolder, const std::wstring& defaultProfilePath)
{
    folder_ = profileFolder;
    defaultPath_ = defaultProfilePath;
}

bool ProfileList::PlainId(const std::string& id)
{
    return !id.empty() && id.size() <= 200 && id.find_first_of("/\\:") == std::string::npos && id.find("..") == std::string::npos
        && id.find('\0') == std::string::npos && id != ".";
}

std::wstring ProfileList::pathOfId(const std::string& id) const { return folder_ + Utf8ToWide(id) + L".Json"; }

void ProfileList::write() { WriteJsonFile(ListPath(), list_); }

void ProfileList::Init()
{
    list_ = ReadJsonFile(ListPath());
    const Json::Value& entries = Member(list_, "profilelist");
    if (!list_.isObject() || !entries.isArray() || entries.empty()) {
        const std::wstring bad = KeepBadCopy(ListPath());
        if (!bad.empty())
            traceLazy([&] { return "profile list unusable, kept as " + WideToUtf8(bad); });
        rebuildFromFolder();
        if (ElementCount(Member(list_, "profilelist")) == 0)
            createFirst();
        else
            write();
    } else if (repair()) {
        write();
    }
    const int count = int(ElementCount(Member(list_, "profilelist")));
    const Json::Value& stored = Member(list_, "profileselect");
    const int wanted = stored.isInt() ? stored.asInt() : 0;
    Select(std::clamp(wanted, 0, count - 1)); // written back, corrected when it was off
}

// A list is made again from the profile files present: each file whose content is a profile becomes
// an entry under its own file name as id, in the order of their names (ids are time stamps).
void ProfileList::rebuildFromFolder()
{
    std::vector<std::pair<std::string, Json::Value>> found;
    std::error_code ec;
    for (fs::directory_iterator it(ToFsPath(folder_), ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path p = it->path();
        if (p.extension() != ".Json" || !it->is_regular_file(ec))
            continue;
        const std::string id = p.stem().string();
        if (!PlainId(id) || fs::equivalent(p, ToFsPath(defaultPath_), ec))
            continue; // the default profile is no profile of the user's
        Json::Value content = ReadJsonFile(p.wstring());
        if (content.isObject())
            found.emplace_back(id, std::move(content));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    if (found.size() > size_t(kMaxProfiles))
        found.resize(size_t(kMaxProfiles));
    list_ = Json::Value(Json::objectValue);
    list_["profilelist"] = Json::Value(Json::arrayValue);
    std::vector<std::wstring> names;
    for (const auto& [id, content] : found) {
        std::wstring name = trimmed(Utf8ToWide(ReadString(Member(content, "profilename"))));
        name = name.empty() ? FreeAddName(names) : taken(name, names) ? FreeImportName(name, names) : name;
        names.push_back(name);
        list_["profilelist"].append(entryOf(name, id));
    }
    list_["profileselect"] = 0;
    traceLazy([&] { return "profile list rebuilt from " + std::to_string(found.size()) + " profile files"; });
}

void ProfileList::createFirst()
{
    const std::string id = TimeStampName();
    list_ = Json::Value(Json::objectValue);
    list_["profilelist"].append(entryOf(L"Profile1", id));
    list_["profileselect"] = 0;
    write();
    Json::Value profile = ReadJsonFile(defaultPath_);
    if (!profile.isObject())
        profile = Json::Value(Json::objectValue);
    profile["profilename"] = "Profile1";
    profile["profileUUID"] = id;
    WriteJsonFile(pathOfId(id), profile);
}

// Entries are made whole: at most 50, each an object with a unique plain id and a unique name.
bool ProfileList::repair()
{
    Json::Value& entries = list_["profilelist"];
    bool changed = false;
    if (entries.size() > Json::ArrayIndex(kMaxProfiles)) {
        const std::wstring bad = KeepBadCopy(ListPath());
        traceLazy([&] { return "profile list cut to " + std::to_string(kMaxProfiles) + " entries, the whole list kept as " + WideToUtf8(bad); });
        entries.resize(Json::ArrayIndex(kMaxProfiles));
        changed = true;
    }
    std::vector<std::string> ids;
    std::vector<std::wstring> names;
    for (Json::ArrayIndex i = 0; i < entries.size(); ++i) {
        Json::Value& entry = entries[i];
        if (!entry.isObject()) {
            entry = Json::Value(Json::objectValue);
            changed = true;
        }
        std::string id = ReadString(Member(entry, "profileUUID"));
        const bool repeated = std::find(ids.begin(), ids.end(), id) != ids.end();
        if (!PlainId(id) || repeated) {
            // Its settings come along where a file of it can be found inside the folder: the file a
            // repeated id shares, or the one an empty id was read from.
            Json::Value content;
            if (repeated)
                content = ReadJsonFile(pathOfId(id));
            else if (id.empty())
                content = ReadJsonFile(folder_ + L".Json");
            if (!content.isObject())
                content = ReadJsonFile(defaultPath_);
            if (!content.isObject())
                content = Json::Value(Json::objectValue);
            const std::string fresh = TimeStampName();
            content["profileUUID"] = fresh;
            WriteJsonFile(pathOfId(fresh), content);
            traceLazy([&] { return "profile entry " + std::to_string(i) + " had the id \"" + id + "\", now " + fresh; });
            entry["profileUUID"] = id = fresh;
            changed = true;
        }
        std::wstring name = trimmed(Utf8ToWide(ReadString(Member(entry, "profilename"))));
        if (name.empty() || taken(name, names)) {
            name = name.empty() ? FreeAddName(names) : FreeImportName(name, names);
            entry["profilename"] = WideToUtf8(name);
            changed = true;
        }
        ids.push_back(id);
        names.push_back(name);
    }
    const Json::Value& stored = Member(list_, "profileselect");
    if (!stored.isInt() || stored.asInt() < 0 || stored.asInt() >= int(entries.size())) {
        list_["profileselect"] = 0;
        changed = true;
    }
    return changed;
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
    const std::string id = ReadString(Member(Element(Member(list_, "profilelist"), Json::ArrayIndex(index)), "profileUUID"));
    return PlainId(id) ? Utf8ToWide(id) : std::wstring(); // never a path outside the folder, never ".Json"
}

void ProfileList::Select(int index)
{
    const int count = Count();
    if (index < 0 || index >= count)
        return;
    selected_ = index;
    currentId_ = idAt(index);
    WritableMember(list_, "profileselect") = index;
    write();
}

std::wstring ProfileList::ProfilePathAt(int index) const
{
    const std::wstring id = idAt(index);
    return id.empty() ? std::wstring() : folder_ + id + L".Json";
}

std::vector<std::wstring> ProfileList::Names() const
{
    std::vector<std::wstring> out;
    const Json::Value& l = Member(list_, "profilelist");
    for (Json::ArrayIndex i = 0; i < ElementCount(l); ++i)
        out.push_back(Utf8ToWide(ReadString(Member(Element(l, i), "profilename"))));
    return out;
}

std::wstring ProfileList::FreeAddName(const std::vector<std::wstring>& names)
{
    std::wstring candidate = L"Profile1";
    for (int n = 1; taken(candidate, names);)
        candidate = L"profile" + std::to_wstring(++n);
    return candidate;
}

std::wstring ProfileList::FreeCopyName(const std::wstring& of, const std::vector<std::wstring>& names)
{
    std::wstring candidate = of + L" copy";
    while (taken(candidate, names))
        candidate += L" copy";
    return candidate;
}

std::wstring ProfileList::FreeImportName(const std::wstring& title, const std::vector<std::wstring>& names)
{
    std::wstring candidate = title;
    for (int n = 1; taken(candidate, names); ++n)
        candidate += L"(" + std::to_wstring(n) + L")";
    return candidate;
}

bool ProfileList::append(const std::wstring& name, Json::Value content)
{
    if (!content.isObject())
        content = Json::Value(Json::objectValue);
    const std::string id = TimeStampName();
    content["profilename"] = WideToUtf8(name);
    content["profileUUID"] = id;
    if (WriteJsonFile(pathOfId(id), content) != 0)
        return false;
    list_["profilelist"].append(entryOf(name, id));
    write();
    return true;
}

bool ProfileList::Add()
{
    if (Count() >= kMaxProfiles)
        return false;
    if (!append(FreeAddName(Names()), ReadJsonFile(defaultPath_)))
        return false;
    list_["profileselect"] = Count() - 1; // taken up at the next start
    write();
    return true;
}

bool ProfileList::Copy()
{
    if (Count() >= kMaxProfiles || selected_ < 0 || selected_ >= int(Names().size()))
        return false;
    Json::Value content = ReadJsonFile(ProfilePathAt(selected_));
    if (!content.isObject())
        content = ReadJsonFile(defaultPath_);
    return append(FreeCopyName(Names()[size_t(selected_)], Names()), content);
}

bool ProfileList::Importable(const Json::Value& content)
{
    return content.isObject() && !Member(content, "profilename").isNull() && !Member(content, "profileUUID").isNull();
}

bool ProfileList::Import(const std::wstring& path)
{
    if (Count() >= kMaxProfiles)
        return false;
    const Json::Value content = ReadJsonFile(path);
    if (!Importable(content))
        return false;
    if (!append(FreeImportName(FileTitle(path), Names()), content))
        return false;
    std::error_code ec;
    fs::remove(ToFsPath(folder_ + L".Json"), ec); // what a profile without id was kept in
    return true;
}

bool ProfileList::Export(const std::wstring& path)
{
    Count();
    const std::wstring from = ProfilePathAt(selected_);
    std::error_code ec;
    return !from.empty() && !path.empty() && fs::copy_file(ToFsPath(from), ToFsPath(path), fs::copy_options::overwrite_existing, ec);
}

bool ProfileList::Delete()
{
    const int count = Count();
    if (selected_ < 0 || selected_ >= count || count < 2)
        return false;
    const std::wstring file = ProfilePathAt(selected_);
    const int next = selected_ > 0 ? selected_ - 1 : 0;
    Json::Value removed;
    list_["profilelist"].removeIndex(Json::ArrayIndex(selected_), &removed);
    list_["profileselect"] = next;
    write();
    std::error_code ec;
    if (!file.empty())
        fs::remove(ToFsPath(file), ec);
    selected_ = next;
    currentId_ = idAt(next);
    return true;
}

ProfileList::Rename ProfileList::RenameSelected(const std::wstring& name)
{
    const std::wstring n = trimmed(name);
    if (n.empty())
        return Rename::Blank;
    const int count = Count();
    const std::vector<std::wstring> names = Names();
    for (int i = 0; i < count; ++i)
        if (i != selected_ && taken(n, {names[size_t(i)]}))
            return Rename::Taken;
    if (selected_ < 0 || selected_ >= count)
        return Rename::Taken;
    list_["profilelist"][Json::ArrayIndex(selected_)]["profilename"] = WideToUtf8(n);
    write();
    const std::wstring path = ProfilePathAt(selected_);
    Json::Value content = ReadJsonFile(path);
    if (content.isObject()) {
        content["profilename"] = WideToUtf8(n);
        WriteJsonFile(path, content);
    }
    return Rename::Done;
}

int ProfileList::RemoveMacroFromOtherProfiles(CBasicProfiledata& doc, int deleted)
{
    int changedProfiles = 0;
    const int count = Count();
    for (int j = 0; j < count; ++j) {
        const std::wstring path = ProfilePathAt(j);
        if (j == selected_ || path.empty())
            continue;
        doc.LoadScratchSection(path);
        std::vector<KeyEntry> keys = doc.GetScratchKeyList();
        const bool changed = dropMacroFromKeys(keys, deleted);
        if (changed) {
            doc.SetScratchKeyList(keys);
            doc.SaveScratchSection(path);
            ++changedProfiles;
        }
    }
    return changedProfiles;
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

} // namespace q9
