#include "sim/Simulation.h"

#include "sim/MouseEmulator.h"

#include <sstream>

namespace q9::sim {

std::unique_ptr<Simulation> startSimulation(const std::string& list)
{
    auto s = std::make_unique<Simulation>();
    MouseEmulator* mouse = nullptr;
    auto theMouse = [&]() {
        if (!mouse) {
            auto m = std::make_unique<MouseEmulator>(s->bus);
            mouse = m.get();
            s->devices.push_back(std::move(m));
        }
        return mouse;
    };
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ',')) {
        if (name.empty())
            continue;
        if (name == "mouse")
            theMouse()->plugCable();
        else if (name == "mouse-receiver")
            theMouse()->plugReceiver();
        else if (name == "keyboard" || name == "keyboard-receiver" || name == "mousepad" || name == "headset")
            s->notYet.push_back(name);
        else
            s->unknown.push_back(name);
    }
    return s;
}

} // namespace q9::sim
