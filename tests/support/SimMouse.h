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

struct SimMouse {
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>(bus);
    std::unique_ptr<sim::MouseEmulator> mouse;

    explicit SimMouse(sim::MouseConfig config = {}) : mouse(std::make_unique<sim::MouseEmulator>(bus, config)) {}

    // The enumerated paths of the bus.
    std::vector<std::wstring> paths() const
    {
        HidTransport t(backend);
        t.enumerate();
        std::vector<std::wstring> out;
        while (const std::wstring* p = t.nextPath())
            out.push_back(*p);
        return out;
    }

    // The path of the collection the catalogue uses on a link's interface ("cable"/"receiver";
    // interface 1: the vendor collection 2; interface 0: the consumer collection 3).
    std::wstring path(const std::string& link, int interfaceNumber) const
    {
        const std::string node = "sim:mouse/" + link + "/if" + std::to_string(interfaceNumber);
        const int collection = interfaceNumber == 1 ? 2 : 3;
        for (const std::wstring& p : paths())
            if (parseCol(p) == collection && p.size() > node.size()
                && p.compare(p.size() - node.size(), node.size(), std::wstring(node.begin(), node.end())) == 0)
                return p;
        return {};
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
