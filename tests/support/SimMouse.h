#pragma once
// A simulated mouse on its own bus, and a command channel opened on it the way a device object does.
#include "hid/CommandChannel.h"
#include "hid/DeviceCatalogue.h"
#include "hid/HidTransport.h"
#include "sim/MouseEmulator.h"
#include "sim/SimBus.h"

#include <memory>
#include <string>
#include <vector>

namespace q9::test {

inline std::vector<std::wstring> simPaths(const std::shared_ptr<sim::SimBackend>& backend)
{
    HidTransport t(backend);
    t.enumerate();
    std::vector<std::wstring> out;
    while (const std::wstring* p = t.nextPath())
        out.push_back(*p);
    return out;
}

// The path of a collection of an emulated interface ("sim:<device>/<link>/if<n>").
inline std::wstring simPath(const std::shared_ptr<sim::SimBackend>& backend, const std::string& node, int collection)
{
    for (const std::wstring& p : simPaths(backend))
        if (parseCol(p) == collection && p.size() > node.size()
            && p.compare(p.size() - node.size(), node.size(), std::wstring(node.begin(), node.end())) == 0)
            return p;
    return {};
}

struct SimMouse {
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>(bus);
    std::unique_ptr<sim::MouseEmulator> mouse;

    explicit SimMouse(sim::MouseConfig config = {}) : mouse(std::make_unique<sim::MouseEmulator>(bus, config)) {}

    // The enumerated paths of the bus.
    std::vector<std::wstring> paths() const { return simPaths(backend); }

    // The path of the collection the catalogue uses on a link's interface ("cable"/"receiver";
    // interface 1: the vendor collection 2; interface 0: the consumer collection 3).
    std::wstring path(const std::string& link, int interfaceNumber) const
    {
        return simPath(backend, "sim:mouse/" + link + "/if" + std::to_string(interfaceNumber), interfaceNumber == 1 ? 2 : 3);
    }

    // Opens the command interface of a link on a channel in that link's mode.
    bool openChannel(CommandChannel& channel, bool receiver) const
    {
        HidTransport& t = receiver ? channel.receiverTransport() : channel.cableTransport();
        if (!t.open(path(receiver ? "receiver" : "cable", 1), true, true, true, false))
            return false;
        channel.setOpen(true);
        channel.setMode(receiver ? 2 : 1);
        return true;
    }
};

} // namespace q9::test
