#pragma once
// A device's macros as files, without any UI: the list file "macro.config" naming every macro in
// key-action order, one ".mac" file per macro, and the rule that keeps key assignments pointing at
// the right macro when one is deleted. Files come from the user's folder or from an import and may
// hold anything: nothing read here throws, and no id from a file can name a path outside the folder.
#include "profile/JsonFile.h"
#include "profile/ProfileRecords.h"

#include <json/value.h>

#include <string>
#include <vector>

namespace q9::editors {

constexpr int kMaxMacros = 50;
constexpr int kMaxEventsPerMacro = 60;

// One event of a macro, as the files hold it.
struct MacroEvent {
    std::string action = "down"; // "down": a press or a movement left / up; "up": the opposite
    int button = 0;              // read as the device's byte: 0-255
    int type = 0;                // 10 key, 9 modifier, 1 mouse button, 4/5 movement, 2/3 accepted
    int delay = 0;               // 0-65535 (a larger value in a file reads as 65535)
    // "Delay" as a string or an integer; its leading digits count, as they do for the device.
    static MacroEvent fromJson(const Json::Value& v);
    Json::Value toJson() const;  // "Delay" as a decimal string
    friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

struct MacroEntry {
    std::string id;              // the base name of the macro's ".mac" file
    std::wstring name;
};

enum class RenameResult { Renamed, Blank, Duplicate, NoSuchMacro };
// Why an import is refused; Ok when it is not. Unreadable also covers a copy that could not be
// written into the folder.
enum class ImportProblem { Ok, Full, Unreadable, NotAMacro, TooLarge };

// The list file is the authority: every change re-reads it first and rewrites it whole at once.
class MacroStore {
public:
    void SetFolder(const std::wstring& folder); // ends in a separator
    const std::wstring& folder() const { return folder_; }
    const std::vector<MacroEntry>& LoadList();  // re-reads "macro.config"; missing/unreadable: empty
    const std::vector<MacroEntry>& list() const { return entries_; }
    std::vector<std::wstring> names() const;
    // The first free "macro_<n>", appended with a new id; empty when 50 exist or the list could not
    // be written. The ".mac" file is made by the first SaveEvents.
    std::wstring AddMacro();
    // The file's title (or 2, 3, … on a clash, case-insensitive) names the new entry; the file's
    // bytes are copied unchanged to folder + id + ".mac". Refused (nothing created, nothing
    // overwritten) when the list is full or the file is not a macro file.
    ImportProblem AddMacroFromFile(const std::wstring& path, std::wstring* name);
    // Names are stored trimmed. NoSuchMacro also when the list could not be written.
    RenameResult RenameMacro(int index, const std::wstring& name);
    // The .mac file (unless another entry names the same one) and the entry.
    bool DeleteMacro(int index);
    std::vector<MacroEvent> LoadEvents(const std::string& id) const; // unreadable: empty
    // "Events", "Guid", "MacroName", "Version" 64; at most kMaxEventsPerMacro events are written.
    bool SaveEvents(const std::string& id, const std::wstring& name, const std::vector<MacroEvent>& events);
    bool ExportMacro(int index, const std::wstring& path) const; // byte copy

private:
    std::wstring macroPath(const std::string& id) const;
    std::wstring listPath() const { return folder_ + L"macro.config"; }
    std::string freshId() const;
    bool append(const std::wstring& name, const std::string& id);
    bool writeList();

    std::wstring folder_;
    Json::Value doc_;            // the list file as read: members the program does not know stay
    std::vector<MacroEntry> entries_;
};

// "%d_%02d_%02d_%02d_%02d_%02d_%03d" from the local time; never the same twice in one run. The
// profile files are named by the same function.
using q9::TimeStampName;


// Case-insensitive, Unicode-aware: "ÄRGER" equals "ärger".
bool sameName(const std::wstring& a, const std::wstring& b);

// The checks every imported macro or gun file passes: at most kMaxJsonFileBytes, a JSON object
// with an "Events" array. On Ok, bytes holds the file unchanged.
ImportProblem readEventFile(const std::wstring& path, std::string* bytes);
// The whole file, unchanged; false when it cannot be read.
bool readFileBytes(const std::wstring& path, std::string* bytes);
// Replaces the file through a temporary file beside it: the old file stays whole on failure.
bool replaceFileBytes(const std::wstring& path, const std::string& bytes);

} // namespace q9::editors
