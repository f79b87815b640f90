#include "device/DeviceScanner.h"

namespace q9 {

bool DeviceScanner::anyRowFree() const
{
    for (const HidInterfaceEntry& row : live_)
        if (row.isFree())
            return true;
    return false;
}

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
        return -1;
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

} // namespace q9
