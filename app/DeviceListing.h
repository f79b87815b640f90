#pragma once
// The --list diagnostic: the supported HID interfaces found, and what the mouse says about itself.
#include "hid/HidBackend.h"

#include <memory>
#include <ostream>

namespace q9 {

// Returns the number of supported interfaces found.
int printDeviceListing(std::shared_ptr<HidBackend> backend, std::ostream& out);

} // namespace q9
