#pragma once
// A simulated keyboard on its own bus, and a command channel opened on it the way a device object does.
#include "sim/KeyboardEmulator.h"
#include "support/SimMouse.h"

namespace q9::test {

struct SimKeyboard {
    std::shared_ptr<sim::SimBus> bus = std::make_shared<sim::SimBus>();
    std::shared_ptr<sim::SimBackend> backend = std::make_shared<sim::SimBackend>(bus);
    std::unique_ptr<sim::KeyboardEmulator> keyboard = std::make_unique<sim::KeyboardEmulator>(bus);

    // Opens the command interface (the vendor collection 4) of a link on a channel in that link's mode.
    bool openChannel(CommandChannel& channel, bool receiver) const
    {
        const std::string link = receiver ? "receiver" : "cable";
        HidTransport& t = receiver ? channel.receiverTransport() : channel.cableTransport();
        if (!t.open(simPath(backend, "sim:keyboard/" + link + "/if1", 4), true, true, true, false))
            return false;
        channel.setOpen(true);
        channel.setMode(receiver ? 2 : 1);
        return true;
    }
};

} // namespace q9::test
