#pragma once
// Interface paths in the form the catalogue parses: "hid#vid_320f&pid_226e&mi_01&col02#<node>".
// The collection part is left out when the interface has a single top-level collection.
#include <cstdint>
#include <string>
#include <string_view>

namespace q9 {

// Longest path the transport accepts, terminator excluded.
constexpr size_t kMaxPathLength = 259;

std::wstring makeInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber, int collection,
                               std::string_view node);

// The backend node named by a path; empty when the path is not of this form.
std::string nodeOfPath(std::wstring_view path);

} // namespace q9
