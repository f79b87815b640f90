#include "editors/MacroStore.h"

#include "platform/Trace.h"
#include "profile/JsonAccess.h"
#include "profile/ProfileList.h"
#include "profile/TextConvert.h"

#include <QFile>
#include <QSaveFile>
#include <QString>

#include <algorithm>
#include <cctype>
#include <cwctype>
#include <filesystem>

namespace q9::editors {
namespace {

namespace fs = std::filesystem;

constexpr int kMacroFileVersion = 64;
constexpr int kMaxDelay = 65535;

QString qtPath(const std::wstring& path) { return QString::fromStdWString(path); }

std::wstring trimmed(const std::wstring& s)
{
    const auto first = std::find_if_not(s.begin(), s.end(), [](wchar_t c) { return std::iswspace(std::wint_t(c)); });
    const auto last = std::find_if_not(s.rbegin(), s.rend(), [](wchar_t c) { return std::iswspace(std::wint_t(c)); }).base();
    return first < last ? std::wstring(first, last) : std::wstring();
}

bool taken(const std::wstring& name, const std::vector<MacroEntry>& entries)
{
    return std::any_of(entries.begin(), entries.end(), [&](const MacroEntry& e) { return sameName(e.name, name); });
}

std::wstring freeNewName(const std::vector<MacroEntry>& entries)
{
    std::wstring name = L"macro_1";
    for (int n = 1; taken(name, entries);)
        name = L"macro_" + std::to_wstring(++n);
    return name;
}

bool usableList(const Json::Value& doc) { return doc.isObject() && Member(doc, "MacroInfo").isArray(); }

Json::Value entryOf(const std::wstring& name, const std::string& id)
{
    Json::Value entry(Json::objectValue);
    entry["Guid"] = id;
    entry["MacroName"] = WideToUtf8(name);
    return entry;
}

} // namespace

MacroEvent MacroEvent::fromJson(const Json::Value& v)
{
    MacroEvent e;
    e.action = ReadString(Member(v, "Action")) == "down" ? "down" : "up";
    e.button = ReadClamped<uint8_t>(Member(v, "Button"));
    e.type = ReadClamped<uint8_t>(Member(v, "Type"));
    // The same reading as the device form's: an integer as its decimal text, then the leading
    // digits, so that the editor shows what the device is sent.
    const Json::Value& d = Member(v, "Delay");
    const std::string text = d.isString() ? ReadString(d) : std::to_string(ReadInt(d));
    int delay = 0;
    for (const char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            break;
        delay = std::min(delay * 10 + (c - '0'), kMaxDelay);
    }
    e.delay = delay;
    return e;
}

Json::Value MacroEvent::toJson() const
{
    Json::Value v(Json::objectValue);
    v["Action"] = action;
    v["Button"] = button;
    v["Delay"] = std::to_string(std::clamp(delay, 0, kMaxDelay));
    v["Type"] = type;
    return v;
}

bool sameName(const std::wstring& a, const std::wstring& b)
{
    return QString::compare(QString::fromStdWString(a), QString::fromStdWString(b), Qt::CaseInsensitive) == 0;
}

bool readFileBytes(const std::wstring& path, std::string* bytes)
{
    QFile f(qtPath(path));
    if (path.empty() || !f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray all = f.readAll();
    if (f.error() != QFileDevice::NoError)
        return false;
    bytes->assign(all.constData(), size_t(all.size()));
    return true;
}

bool replaceFileBytes(const std::wstring& path, const std::string& bytes)
{
    if (path.empty())
        return false;
    QSaveFile f(qtPath(path));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (f.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size())) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

ImportProblem readEventFile(const std::wstring& path, std::string* bytes)
{
    const fs::path p = ToFsPath(path);
    std::error_code ec;
    // A folder or a pipe is no file to import; opening a pipe could block for ever.
    if (path.empty() || !fs::is_regular_file(p, ec))
        return ImportProblem::Unreadable;
    const auto size = fs::file_size(p, ec);
    if (ec)
        return ImportProblem::Unreadable;
    if (size > kMaxJsonFileBytes)
        return ImportProblem::TooLarge;
    std::string text;
    if (!readFileBytes(path, &text))
        return ImportProblem::Unreadable;
    if (text.size() > kMaxJsonFileBytes) // grown since it was measured
        return ImportProblem::TooLarge;
    const Json::Value content = ParseJsonText(text);
    if (!content.isObject() || !Member(content, "Events").isArray())
        return ImportProblem::NotAMacro;
    *bytes = std::move(text);
    return ImportProblem::Ok;
}

void MacroStore::SetFolder(const std::wstring& folder)
{
    folder_ = folder;
    doc_ = Json::Value();
    entries_.clear();
}

const std::vector<MacroEntry>& MacroStore::LoadList()
{
    entries_.clear();
    doc_ = ReadJsonFile(listPath());
    if (!usableList(doc_)) {
        doc_ = Json::Value();
        return entries_;
    }
    const Json::Value& info = Member(doc_, "MacroInfo");
    // Every element keeps its place, even one that is no object: positions are what keys play.
    for (Json::ArrayIndex i = 0; i < ElementCount(info); ++i) {
        const Json::Value& e = Element(info, i);
        entries_.push_back({ReadString(Member(e, "Guid")), Utf8ToWide(ReadString(Member(e, "MacroName")))});
    }
    return entries_;
}

std::vector<std::wstring> MacroStore::names() const
{
    std::vector<std::wstring> out;
    for (const MacroEntry& e : entries_)
        out.push_back(e.name);
    return out;
}

std::wstring MacroStore::macroPath(const std::string& id) const
{
    // An id from the list file names a file in this folder and nothing else.
    return ProfileList::PlainId(id) ? folder_ + Utf8ToWide(id) + L".mac" : std::wstring();
}

std::string MacroStore::freshId() const
{
    // Time stamps never repeat within this run; a file or an entry from an earlier run or another
    // process may still have the next one, so those are passed over.
    for (int tries = 0; tries < 10000; ++tries) {
        const std::string id = TimeStampName();
        std::error_code ec;
        const bool inList = std::any_of(entries_.begin(), entries_.end(), [&](const MacroEntry& e) { return e.id == id; });
        if (!inList && !fs::exists(ToFsPath(macroPath(id)), ec) && !ec)
            return id;
    }
    return {};
}

bool MacroStore::writeList()
{
    // A list file that cannot be used is kept before it is replaced: its names are the user's.
    if (!usableList(ReadJsonFile(listPath()))) {
        const std::wstring bad = KeepBadCopy(listPath());
        if (!bad.empty())
            traceLazy([&] { return "macro list unusable, kept as " + WideToUtf8(bad); });
    }
    return WriteJsonFile(listPath(), doc_) == 0;
}

bool MacroStore::append(const std::wstring& name, const std::string& id)
{
    if (!doc_.isObject())
        doc_ = Json::Value(Json::objectValue);
    WritableMember(doc_, "MacroInfo").append(entryOf(name, id));
    const bool written = writeList();
    LoadList();
    return written;
}

std::wstring MacroStore::AddMacro()
{
    LoadList();
    if (int(entries_.size()) >= kMaxMacros)
        return {};
    const std::wstring name = freeNewName(entries_);
    const std::string id = freshId();
    if (id.empty() || !append(name, id))
        return {};
    return name;
}

ImportProblem MacroStore::AddMacroFromFile(const std::wstring& path, std::wstring* name)
{
    LoadList();
    if (int(entries_.size()) >= kMaxMacros)
        return ImportProblem::Full;
    std::string bytes;
    const ImportProblem problem = readEventFile(path, &bytes);
    if (problem != ImportProblem::Ok)
        return problem;

    // A clash gives the bare numbers 2, 3, …; a path without a title gives a new macro's name.
    std::wstring candidate = trimmed(FileTitle(path));
    if (candidate.empty())
        candidate = freeNewName(entries_);
    for (int n = 1; taken(candidate, entries_);)
        candidate = std::to_wstring(++n);

    const std::string id = freshId();
    const std::wstring target = macroPath(id);
    if (id.empty() || !replaceFileBytes(target, bytes))
        return ImportProblem::Unreadable;
    if (!append(candidate, id)) {
        std::error_code ec;
        fs::remove(ToFsPath(target), ec);
        return ImportProblem::Unreadable;
    }
    if (name)
        *name = candidate;
    return ImportProblem::Ok;
}

RenameResult MacroStore::RenameMacro(int index, const std::wstring& name)
{
    LoadList();
    if (index < 0 || index >= int(entries_.size()))
        return RenameResult::NoSuchMacro;
    const std::wstring n = trimmed(name);
    if (n.empty())
        return RenameResult::Blank;
    if (taken(n, entries_)) // the macro's own name too: nothing would change
        return RenameResult::Duplicate;
    WritableMember(WritableElement(WritableMember(doc_, "MacroInfo"), Json::ArrayIndex(index)), "MacroName") = WideToUtf8(n);
    if (!writeList()) {
        LoadList();
        return RenameResult::NoSuchMacro;
    }
    LoadList();
    return RenameResult::Renamed;
}

bool MacroStore::DeleteMacro(int index)
{
    LoadList();
    if (index < 0 || index >= int(entries_.size()))
        return false;
    const std::string id = entries_[size_t(index)].id;
    Json::Value removed;
    doc_["MacroInfo"].removeIndex(Json::ArrayIndex(index), &removed);
    // The list first: when it cannot be written, the macro is still whole.
    if (!writeList()) {
        LoadList();
        return false;
    }
    LoadList();
    // A hand-edited list may name one file twice; the file stays while an entry still names it.
    const std::wstring file = macroPath(id);
    const bool shared = std::any_of(entries_.begin(), entries_.end(), [&](const MacroEntry& e) { return e.id == id; });
    std::error_code ec;
    if (!file.empty() && !shared)
        fs::remove(ToFsPath(file), ec);
    return true;
}

std::vector<MacroEvent> MacroStore::LoadEvents(const std::string& id) const
{
    const std::wstring path = macroPath(id);
    if (path.empty())
        return {};
    const Json::Value file = ReadJsonFile(path);
    const Json::Value& all = Member(file, "Events");
    std::vector<MacroEvent> events;
    for (Json::ArrayIndex i = 0; i < ElementCount(all); ++i)
        events.push_back(MacroEvent::fromJson(Element(all, i)));
    return events;
}

bool MacroStore::SaveEvents(const std::string& id, const std::wstring& name, const std::vector<MacroEvent>& events)
{
    const std::wstring path = macroPath(id);
    if (path.empty())
        return false;
    Json::Value file(Json::objectValue);
    Json::Value& list = file["Events"] = Json::Value(Json::arrayValue);
    for (size_t i = 0; i < events.size() && i < size_t(kMaxEventsPerMacro); ++i)
        list.append(events[i].toJson());
    file["Guid"] = id;
    file["MacroName"] = WideToUtf8(name);
    file["Version"] = kMacroFileVersion;
    return WriteJsonFile(path, file) == 0;
}

bool MacroStore::ExportMacro(int index, const std::wstring& path) const
{
    if (index < 0 || index >= int(entries_.size()))
        return false;
    const std::wstring from = macroPath(entries_[size_t(index)].id);
    std::string bytes;
    return !from.empty() && readFileBytes(from, &bytes) && replaceFileBytes(path, bytes);
}

} // namespace q9::editors
