#pragma once
// Report descriptors of the emulated interfaces, shaped like the real devices': the vendor command
// collection (page 0xFF1C, usage 0x92, report ID 4, 64-byte reports) is not the first collection of
// its interface, and the consumer event collection is the third of the event interface.
#include <cstdint>
#include <vector>

namespace q9::sim {

constexpr uint8_t kVendorReportId = 0x04;
constexpr uint8_t kConsumerReportId = 0x03;

// Command interface: `leading` ordinary collections, then the vendor collection.
// The mouse has one in front (its vendor collection is collection 2), the keyboard three.
std::vector<uint8_t> commandInterfaceDescriptor(int leading);

// Event interface: keyboard (ID 1), system control (ID 2), consumer control (ID 3, one 16-bit
// usage per report, so a report carries a 16-bit event code in bytes 1-2).
std::vector<uint8_t> eventInterfaceDescriptor();

} // namespace q9::sim
