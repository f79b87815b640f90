#include "app/DeviceListing.h"

#include "hid/CommandChannel.h"
#include "hid/DeviceCatalogue.h"
#include "hid/DeviceScanner.h"

#include <cstdio>
#include <string>

namespace q9 {

namespace {

std::string narrow(const std::wstring& w)
{
    std::string s;
    for (wchar_t c : w)
        s += c < 0x80 ? char(c) : '?';
    return s;
}

const char* kindName(int kind)
{
    switch (kind) {
    case KindKeyboard: return "keyboard, cable";
    case KindKeyboardReceiver: return "keyboard, receiver";
    case KindMouse: return "mouse, cable";
    case KindMouseReceiver: return "mouse, receiver";
    case KindMousePad: return "mouse pad";
    case KindHeadset: return "headset";
    default: return "?";
    }
}

std::string hex(unsigned v, int width)
{
    char b[16];
    std::snprintf(b, sizeof b, "0x%0*X", width, v);
    return b;
}

bool knownInterface(const std::wstring& path)
{
    for (const HidInterfaceEntry& row : interfaceTable())
        if (row.vid == parseVid(path) && row.pid == parsePid(path) && row.mi == parseMi(path) && row.col == parseCol(path))
            return true;
    return false;
}

void printMouse(const std::shared_ptr<HidBackend>& backend, const HidInterfaceEntry& row, std::ostream& out)
{
    const bool receiver = isReceiverKind(row.kind);
    out << "\nMouse (" << (receiver ? "through its receiver" : "on its cable") << ")\n";
    CommandChannel channel(backend);
    HidTransport& t = receiver ? channel.receiverTransport() : channel.cableTransport();
    if (!t.open(row.path, true, true, true, false)) {
        out << "  cannot open " << narrow(row.path) << " for writing (see the udev rule in the README)\n";
        return;
    }
    channel.setOpen(true);
    channel.setMode(receiver ? 2 : 1);
    out << "  firmware version (" << (receiver ? "receiver" : "mouse") << "): " << hex(t.attributes().version, 4) << "\n";
    if (receiver && !channel.linkQuery()) {
        out << "  the mouse does not answer through the receiver (switched off or out of range)\n";
        return;
    }
    uint8_t info[34] = {};
    const int r = channel.readDeviceInfo(info);
    if (r != ResultOk) {
        out << "  reading the device information failed (result " << r << ")\n";
        return;
    }
    const unsigned sensor = unsigned(info[9] | info[10] << 8);
    out << "  keys: " << int(info[5]) << ", macro memory: " << int(info[6]) * 128 << " bytes\n"
        << "  sensor: " << hex(sensor, 4) << ", DPI step " << int(info[11]) << ", " << (info[12] | info[13] << 8)
        << " steps, base " << (info[14] | info[15] << 8) << "\n";
    uint8_t current = 0;
    if (channel.readSettings(0, &current, 1) == ResultOk)
        out << "  current on-board profile: " << int(current) << "\n";
    uint8_t power[2] = {};
    if (channel.readStatus(0, power, 2) == ResultOk) {
        static const char* states[] = {"external power", "charging", "on battery"};
        out << "  battery: " << int(power[0]) << "%, " << (power[1] < 3 ? states[power[1]] : "unknown") << "\n";
    }
}

} // namespace

int printDeviceListing(std::shared_ptr<HidBackend> backend, std::ostream& out)
{
    HidTransport enumerator(backend);
    LiveInterfaceList live = buildLiveInterfaceList();
    DeviceScanner scanner(enumerator, live);
    scanner.pass(nullptr);

    out << "Supported HID interfaces:\n";
    int found = 0;
    for (size_t i = 0; i < live.size(); ++i) {
        const HidInterfaceEntry& row = live[i];
        if (!row.claimed)
            continue;
        ++found;
        out << "  row " << i << "  " << kindName(row.kind) << ", " << (row.role == RoleCommand ? "command" : "event")
            << " interface  " << narrow(row.path) << "\n";
    }
    // Interfaces that look like ours but could not be opened: usually missing access rights.
    enumerator.enumerate();
    while (const std::wstring* path = enumerator.nextPath()) {
        if (!knownInterface(*path))
            continue;
        bool claimed = false;
        for (const HidInterfaceEntry& row : live)
            claimed = claimed || row.path == *path;
        if (!claimed) {
            ++found;
            out << "  " << narrow(*path) << "  (cannot be opened: install the udev rule, see the README)\n";
        }
    }
    if (!found)
        out << "  none found\n";

    // The details of every device found, by its command interface, in the table's order.
    for (const HidInterfaceEntry& row : live) {
        if (!row.claimed || row.role != RoleCommand)
            continue;
        if (row.kind == KindMouse || row.kind == KindMouseReceiver)
            printMouse(backend, row, out);
        else
            out << "\n" << kindName(row.kind) << ": found; this build does not read its details yet\n";
    }
    return found;
}

} // namespace q9
