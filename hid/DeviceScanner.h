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
        int notReady = 0;  // interfaces of a known device that could not be opened (yet)
    };
    PassResult pass(const Notify& notify);

    // Steps 1-5 for one path: the claimed live-list index, or -1 (-2: an interface of a known
    // device, with its row free, that could not be opened).
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

// The device watch: a pass at once, then a pass whenever the bus announces a change, and two more
// shortly after (a device announces its interfaces one by one, and a node can be announced before
// it can be listed or opened; a busy machine can take a while), and again while a known interface
// is listed but cannot be opened yet, a few times. Nothing runs while nothing changes. A bus that cannot announce its changes is
// looked at every 100 ms instead. firstPass runs after the first enumeration. Returns on stop.
void runDeviceWatch(const std::shared_ptr<HidBackend>& backend, LiveInterfaceList& live, StopEvent& stop,
                    const DeviceScanner::Notify& notify, const std::function<void()>& firstPass);

constexpr int kPollPeriodMs = 100;
constexpr int kSettlePassMs = 250;
constexpr int kLateSettlePassMs = 1000; // the second pass after a change
constexpr int kNotReadyRetries = 5;     // passes, kLateSettlePassMs apart, for an interface not openable yet

} // namespace q9
