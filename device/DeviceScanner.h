#pragma once
// One pass of the device watch: find interfaces that match a free live-list row and claim them,
// release rows whose interface has gone. Arrivals and removals are reported through a callback
// while the pass waits, so the receiver handles each one before the scan goes on.
#include "device/DeviceCatalogue.h"
#include "device/HidTransport.h"

#include <functional>
#include <string>

namespace q9 {

enum class ScanEvent { Arrival, Removal };

class DeviceScanner {
public:
    using Notify = std::function<void(ScanEvent, int row)>;

    DeviceScanner(HidTransport& enumerator, LiveInterfaceList& live) : hid_(enumerator), live_(live) {}

    struct PassResult {
        bool enumerated = false; // false when every row was claimed and the enumeration was skipped
        int arrivals = 0;
        int removals = 0;
    };
    PassResult pass(const Notify& notify);

    // Steps 1-5 for one path: the claimed live-list index, or -1.
    int probe(const std::wstring& path);
    // Releases the rows whose interface can no longer be opened.
    int releaseGone(const Notify& notify);

private:
    bool anyRowFree() const;

    HidTransport& hid_;
    LiveInterfaceList& live_;
};

} // namespace q9
