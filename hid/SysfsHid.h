#pragma once
// Facts about hidraw nodes that the kernel keeps in sysfs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace q9 {

// "/dev/hidraw3" -> "<sysRoot>/class/hidraw/hidraw3/device"; empty for other names.
std::string sysfsDeviceDir(const std::string& node, const std::string& sysRoot = "/sys");

// The interface number N of "HID_PHYS=…/inputN" in a uevent file's text; -1 when absent.
int interfaceFromUevent(std::string_view uevent);

// Vendor and product of "HID_ID=0003:0000320F:0000226E"; false when absent.
bool idsFromUevent(std::string_view uevent, uint16_t& vid, uint16_t& pid);

// Whole small file (sysfs attributes); false when it cannot be read.
bool readSmallFile(const std::string& path, std::string& out, size_t limit = 1 << 16);

} // namespace q9
