#include "hid/SysfsHid.h"

#include <cstdlib>
#include <fstream>

namespace q9 {

namespace {

std::string_view valueOf(std::string_view text, std::string_view key)
{
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(pos, end - pos);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
            return line.substr(key.size() + 1);
        pos = end + 1;
    }
    return {};
}

} // namespace

std::string sysfsDeviceDir(const std::string& node, const std::string& sysRoot)
{
    const std::string prefix = "/dev/";
    if (node.rfind(prefix, 0) != 0)
        return {};
    const std::string name = node.substr(prefix.size());
    if (name.rfind("hidraw", 0) != 0 || name.find('/') != std::string::npos)
        return {};
    return sysRoot + "/class/hidraw/" + name + "/device";
}

int interfaceFromUevent(std::string_view uevent)
{
    const std::string_view phys = valueOf(uevent, "HID_PHYS");
    const size_t at = phys.rfind("/input");
    if (at == std::string_view::npos)
        return -1;
    const std::string_view digits = phys.substr(at + 6);
    if (digits.empty() || digits.size() > 3)
        return -1;
    int n = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

bool idsFromUevent(std::string_view uevent, uint16_t& vid, uint16_t& pid)
{
    const std::string id(valueOf(uevent, "HID_ID"));
    const size_t a = id.find(':');
    const size_t b = a == std::string::npos ? a : id.find(':', a + 1);
    if (b == std::string::npos)
        return false;
    char* end = nullptr;
    const unsigned long v = std::strtoul(id.c_str() + a + 1, &end, 16);
    if (end != id.c_str() + b)
        return false;
    const unsigned long p = std::strtoul(id.c_str() + b + 1, &end, 16);
    if (end == id.c_str() + b + 1)
        return false;
    vid = uint16_t(v);
    pid = uint16_t(p);
    return true;
}

bool readSmallFile(const std::string& path, std::string& out, size_t limit)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(limit, '\0');
    in.read(out.data(), std::streamsize(limit));
    out.resize(size_t(in.gcount()));
    return !in.bad();
}

} // namespace q9
