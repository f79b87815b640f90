#include "hid/HidPath.h"

#include <cstdio>

namespace q9 {

std::wstring makeInterfacePath(uint16_t vid, uint16_t pid, int interfaceNumber, int collection,
                               std::string_view node)
{
    char ids[64];
    int n = std::snprintf(ids, sizeof ids, "hid#vid_%04x&pid_%04x", vid, pid);
    if (interfaceNumber >= 0)
        n += std::snprintf(ids + n, sizeof ids - size_t(n), "&mi_%02x", interfaceNumber & 0xFF);
    if (collection > 0)
        n += std::snprintf(ids + n, sizeof ids - size_t(n), "&col%02x", collection & 0xFF);
    std::wstring path(ids, ids + n);
    path += L'#';
    for (char c : node)
        path += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return path;
}

std::string nodeOfPath(std::wstring_view path)
{
    if (path.substr(0, 4) != L"hid#")
        return {};
    const size_t sep = path.find(L'#', 4);
    if (sep == std::wstring_view::npos || sep + 1 >= path.size())
        return {};
    std::string node;
    for (wchar_t c : path.substr(sep + 1)) {
        if (c <= 0 || c > 0x7E)
            return {}; // node names are plain ASCII; anything else is not ours
        node += static_cast<char>(c);
    }
    return node;
}

} // namespace q9
