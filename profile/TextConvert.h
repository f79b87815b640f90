#pragma once
// Strings in files are UTF-8; the program's own strings and paths are wide. Invalid input never
// fails a conversion: each bad sequence becomes U+FFFD, so a hand-edited name still shows.
#include <filesystem>
#include <string>
#include <string_view>

namespace q9 {

std::wstring Utf8ToWide(std::string_view bytes);
std::string WideToUtf8(std::wstring_view wide);

// The file-system path named by a wide path string (UTF-8 bytes on POSIX).
std::filesystem::path ToFsPath(const std::wstring& path);
std::wstring FromFsPath(const std::filesystem::path& path);

} // namespace q9
