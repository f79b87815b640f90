// Q9 Zen 1K Gaming Mouse configuration utility.
#include "app/DeviceListing.h"
#include "device/HidapiBackend.h"
#include "sim/Simulation.h"

#include <cstring>
#include <iostream>
#include <memory>
#include <string>

namespace {

void usage(std::ostream& out)
{
    out << "Usage: q9zen [--list] [--simulate DEVICES]\n"
           "  --list              print the supported HID interfaces found and the mouse's device information\n"
           "  --simulate DEVICES  plug emulated devices at start: a comma-separated list of mouse,\n"
           "                      mouse-receiver, keyboard, keyboard-receiver, mousepad, headset\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::string simulate;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--list") {
            // the only mode until the window exists
        } else if (arg == "--simulate" && i + 1 < argc) {
            simulate = argv[++i];
        } else if (arg.rfind("--simulate=", 0) == 0) {
            simulate = arg.substr(11);
        } else if (arg == "--help" || arg == "-h") {
            usage(std::cout);
            return 0;
        } else {
            std::cerr << "q9zen: unknown argument \"" << arg << "\"\n";
            usage(std::cerr);
            return 2;
        }
    }

    auto backend = std::make_shared<q9::CompositeBackend>();
    backend->add(std::make_shared<q9::HidapiBackend>());
    std::unique_ptr<q9::sim::Simulation> simulation;
    if (!simulate.empty()) {
        simulation = q9::sim::startSimulation(simulate);
        for (const auto& name : simulation->unknown)
            std::cerr << "q9zen: \"" << name << "\" is not a device that can be simulated; ignored\n";
        for (const auto& name : simulation->notYet)
            std::cerr << "q9zen: the " << name << " emulator does not exist yet; ignored\n";
        backend->add(std::make_shared<q9::sim::SimBackend>(simulation->bus));
    }
    q9::printDeviceListing(backend, std::cout);
    return 0;
}
