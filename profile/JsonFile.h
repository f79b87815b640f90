#pragma once
// Every JSON file of the program is read and written here: profiles, profile lists, light files,
// macro files. Reading never throws and never fails loudly: anything unusable reads as null.
// Writing is atomic: the old file stays whole until the new one is complete on disk.
#include <json/value.h>

#include <cstddef>
#include <string>

namespace q9 {

// Files above this size read as empty. The largest file the program writes, a keyboard profile
// with its five colour groups, is about 200 KB; parsing a hostile 1 MiB file of tiny values
// already takes some 50 MB of JSON nodes, so the bound keeps that cost small.
constexpr std::size_t kMaxJsonFileBytes = 1024 * 1024;
// Nesting deeper than this fails the parse; the program's own files nest about six levels.
constexpr int kMaxJsonDepth = 64;

// The whole file in binary; empty when it cannot be read, is not a regular file or is too large.
std::string ReadFileText(const std::wstring& path);

// The parsed file, comments kept; null when the text is empty or not JSON.
Json::Value ReadJsonFile(const std::wstring& path);

// Parses text as ReadJsonFile does.
Json::Value ParseJsonText(const std::string& text);

// The styled text a write puts on disk: three-space indentation, CR LF line ends, one empty line
// at the end.
std::string StyledJsonText(const Json::Value& value);

// Writes the value as the whole file through a temporary file in the same folder that is flushed
// to disk and then renamed over the old one. 0 when written; -1 when not, the old file untouched.
int WriteJsonFile(const std::wstring& path, const Json::Value& value);

// Removes what writes of processes that no longer run left behind in `folder` and its sub-folders
// (two levels): temporary files named "<file>.tmp<pid>_<n>". A running process's files stay.
// Returns how many were removed.
int RemoveStaleTemporaries(const std::wstring& folder);

// Keeps a copy of the file beside it, for a file about to be replaced because it cannot be used:
// "p.bad", then "p.1.bad" … "p.9.bad", so that a second unusable version does not replace the
// first; when every name is taken the oldest copy gives way. Nothing when this very content is
// kept already or the file is missing. Returns the copy's path, or empty.
std::wstring KeepBadCopy(const std::wstring& path);

// Local time as "yyyy_MM_dd_hh_mm_ss_mmm", the id of a new profile. Never the same id twice in one
// run: a call in the same millisecond as the previous one gets the next millisecond.
std::string TimeStampName();

// The file name of a path without its folder and extension.
std::wstring FileTitle(const std::wstring& path);

} // namespace q9
