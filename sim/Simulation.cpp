#include "sim/Simulation.h"

#include "sim/KeyboardEmulator.h"
#include "sim/MouseEmulator.h"
#include "sim/MousePadEmulator.h"

#include <array>
#include <sstream>

namespace q9::sim {

namespace {

// Devices that are named but not emulated by this build; none at present.
constexpr std::array<const char*, 0> kNotYet{};

bool notEmulatedYet(const std::string& name)
{
    for (const char* n : kNotYet)
        if (name == n)
            return true;
    return false;
}

std::vector<std::string> names(const std::string& list)
{
    std::vector<std::string> out;
    std::stringstream in(list);
    std::string name;
    while (std::getline(in, name, ','))
        if (!name.empty())
            out.push_back(name);
    return out;
}

} // namespace

std::vector<std::string> unknownDeviceNames(const std::string& list)
{
    std::vector<std::string> out;
    for (const std::string& name : names(list))
        if (name != "mouse" && name != "mouse-receiver" && name != "keyboard" && name != "keyboard-receiver" && name != "mousepad"
            && name != "headset"
            && !notEmulatedYet(name))
            out.push_back(name);
    return out;
}

HeadsetEmulator& Simulation::theHeadset()
{
    if (!headset)
        headset = std::make_unique<HeadsetEmulator>(bus, "headset", soundChip);
    return *headset;
}

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
    KeyboardEmulator* keyboard = nullptr;
    auto theKeyboard = [&]() {
        if (!keyboard) {
            auto k = std::make_unique<KeyboardEmulator>(s->bus);
            keyboard = k.get();
            s->devices.push_back(std::move(k));
        }
        return keyboard;
    };
    MousePadEmulator* pad = nullptr;
    auto thePad = [&]() {
        if (!pad) {
            auto p = std::make_unique<MousePadEmulator>(s->bus);
            pad = p.get();
            s->devices.push_back(std::move(p));
        }
        return pad;
    };
    for (const std::string& name : names(list)) {
        if (name == "mouse")
            theMouse()->plugCable();
        else if (name == "mouse-receiver")
            theMouse()->plugReceiver();
        else if (name == "keyboard")
            theKeyboard()->plugCable();
        else if (name == "keyboard-receiver")
            theKeyboard()->plugReceiver();
        else if (name == "mousepad")
            thePad()->plugCable();
        else if (name == "headset") {
            s->theHeadset().plugCable();
        }
        else if (notEmulatedYet(name))
            s->notYet.push_back(name);
        else
            s->unknown.push_back(name);
    }
    return s;
}

} // namespace q9::sim
