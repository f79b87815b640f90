#include "hid/DeviceScanner.h"

#include "hid/StopEvent.h"
#include "platform/Trace.h"

#include <algorithm>
#include <chrono>
#include <vector>

#ifdef __linux__
#include <cerrno>
#include <poll.h>
#endif

namespace q9 {

bool DeviceScanner::anyRowFree() const
{
    for (const HidInterfaceEntry& row : live_)
        if (row.isFree())
            return true;
    return false;
}

namespace {
constexpr int kNotOpenable = -2; // probe: a known, free interface that could not be opened
} // namespace

int DeviceScanner::probe(const std::wstring& path)
{
    HidInterfaceEntry probe;
    probe.vid = parseVid(path);
    probe.pid = parsePid(path);
    probe.mi = parseMi(path);
    probe.col = parseCol(path);
    probe.path = path;

    // Pre-check on the path alone, so that foreign interfaces are never opened.
    bool known = false;
    for (const HidInterfaceEntry& row : interfaceTable())
        known = known || (row.vid == probe.vid && row.pid == probe.pid && row.col == probe.col && row.mi == probe.mi);
    bool free = false;
    for (const HidInterfaceEntry& row : live_)
        free = free || (row.vid == probe.vid && row.pid == probe.pid && row.col == probe.col && row.mi == probe.mi
                        && row.isFree());
    if (!known || !free)
        return -1;

    if (!hid_.open(path, true, false, true, false))
        return kNotOpenable;
    const HidAttributes attrs = hid_.attributes();
    const HidCapabilities caps = hid_.capabilities();
    probe.vid = attrs.vid;
    probe.pid = attrs.pid;
    probe.usagePage = caps.usagePage;
    probe.usage = caps.usage;

    int claimed = -1;
    for (const HidInterfaceEntry& row : interfaceTable()) {
        if (!row.sameInterface(probe))
            continue;
        probe.kind = row.kind;
        probe.role = row.role;
        for (size_t i = 0; i < live_.size(); ++i) {
            HidInterfaceEntry& liveRow = live_[i];
            if (liveRow.sameInterface(probe) && liveRow.isFree()) {
                liveRow.claimed = 1;
                liveRow.path = path;
                claimed = int(i);
                break;
            }
        }
        break;
    }
    hid_.close();
    return claimed;
}

int DeviceScanner::releaseGone(const Notify& notify)
{
    int removals = 0;
    for (size_t i = 0; i < live_.size(); ++i) {
        HidInterfaceEntry& row = live_[i];
        if (!row.claimed || hid_.pathPresent(row.path))
            continue;
        row.claimed = 0;
        row.path.clear();
        ++removals;
        if (notify)
            notify(ScanEvent::Removal, int(i));
    }
    return removals;
}

DeviceScanner::PassResult DeviceScanner::pass(const Notify& notify)
{
    PassResult result;
    if (anyRowFree() && hid_.enumerate()) {
        result.enumerated = true;
        while (const std::wstring* path = hid_.nextPath()) {
            const int row = probe(*path);
            if (row == kNotOpenable)
                ++result.notReady;
            if (row < 0)
                continue;
            ++result.arrivals;
            if (notify)
                notify(ScanEvent::Arrival, row);
        }
    }
    result.removals = releaseGone(notify);
    return result;
}

WatchWake waitForBusChange(HidBackend& backend, bool watching, StopEvent& stop, int timeoutMs)
{
#ifdef __linux__
    const int stopFd = watching ? stop.descriptor() : -1;
    if (stopFd >= 0) {
        std::vector<pollfd> fds{{stopFd, POLLIN, 0}};
        std::vector<int> changeFds;
        backend.changeDescriptors(changeFds);
        for (int fd : changeFds)
            fds.push_back({fd, POLLIN, 0});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            int wait = -1;
            if (timeoutMs >= 0)
                wait = int(std::max<int64_t>(0, std::chrono::duration_cast<std::chrono::milliseconds>(
                                                    deadline - std::chrono::steady_clock::now()).count()));
            const int n = ::poll(fds.data(), fds.size(), wait);
            if (n < 0 && errno == EINTR)
                continue;
            if (fds[0].revents)
                return stop.consume() ? WatchWake::Stopped : WatchWake::Changed;
            if (n > 0) {
                backend.takeChanges();
                return WatchWake::Changed;
            }
            return n == 0 ? WatchWake::TimedOut : (stop.waitFor(timeoutMs) ? WatchWake::Stopped : WatchWake::TimedOut);
        }
    }
#endif
    static_cast<void>(backend);
    return stop.waitFor(timeoutMs) ? WatchWake::Stopped : WatchWake::TimedOut;
}

void runDeviceWatch(const std::shared_ptr<HidBackend>& backend, LiveInterfaceList& live, StopEvent& stop,
                    const DeviceScanner::Notify& notify, const std::function<void()>& firstPass)
{
    HidTransport enumerator(backend);
    DeviceScanner scanner(enumerator, live);
    // Watching starts before the first pass, so a device plugged during it is not missed.
    const bool watching = backend->watchChanges();
    if (!watching)
        trace("device watch: no hot-plug announcements here, the bus is scanned every 100 ms");
    bool first = true;
    int settle = 0;   // passes still due after the last change: 2 after a change
    int retries = 0;  // passes left for interfaces that could not be opened yet
    while (!stop.isSet()) {
        const auto result = scanner.pass(notify);
        if (result.enumerated && first) {
            first = false;
            if (firstPass)
                firstPass();
        }
        int wait = kPollPeriodMs;
        if (watching) {
            retries = result.notReady > 0 ? (retries > 0 ? retries - 1 : kNotReadyRetries) : 0;
            if (settle == 2)
                wait = kSettlePassMs;
            else if (settle == 1 || retries > 0)
                wait = kLateSettlePassMs;
            else
                wait = kWaitForever;
            settle = std::max(0, settle - 1);
        }
        const WatchWake w = waitForBusChange(*backend, watching, stop, wait);
        if (w == WatchWake::Stopped)
            break;
        if (w == WatchWake::Changed)
            settle = 2;
    }
}

} // namespace q9
