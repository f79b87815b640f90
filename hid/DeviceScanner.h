#pragma once
// One pass of the device watch: find interfaces that match a free live-list row and claim them,
// release rows whose interface has gone. Arrivals and removals are reported through a callback
// while the pass waits, so the receiver handles each one before the scan goes on.
#include "hid/DeviceCatalogue.h"
#include "hid/HidTransport.h"

#include <functional>
#include <memory>
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

class StopEvent;

// What ended a wait of the device watch.
enum class WatchWake { Stopped, Changed, TimedOut };

// Waits until the stop event is set, the bus announces a change or timeoutMs pass (kWaitForever:
// no limit). A bus that does not watch its changes is only timed out.
WatchWake waitForBusChange(HidBackend& backend, bool watching, StopEvent& stop, int timeoutMs);

// The device watch: a pass at once, then a pass whenever the bus announces a change, and one more
// shortly after (a device announces its interfaces one by one, and a node can be announced before
// it can be opened). Nothing runs while nothing changes. A bus that cannot announce its changes is
// looked at every 100 ms instead. firstPass runs after the first enumeration. Returns on stop.
void runDeviceWatch(const std::shared_ptr<HidBackend>& backend, LiveInterfaceList& live, StopEvent& stop,
                    const DeviceScanner::Notify& notify, const std::function<void()>& firstPass);

constexpr int kPollPeriodMs = 100;
constexpr int kSettlePassMs = 250;

} // namespace q9
