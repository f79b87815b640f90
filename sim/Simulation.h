#pragma once
// The emulated devices that --simulate plugs at start.
#include "sim/HeadsetEmulator.h"
#include "sim/SimBus.h"
#include "sim/VendorDevice.h"

#include <memory>
#include <string>
#include <vector>

namespace q9::sim {

struct Simulation {
    std::shared_ptr<SimBus> bus = std::make_shared<SimBus>();
    std::vector<std::unique_ptr<VendorDevice>> devices;
    std::unique_ptr<HeadsetEmulator> headset; // not a vendor-protocol device
    // The headset's sound chip as its configuration library sees it.
    std::shared_ptr<SoundChipEmulator> soundChip = std::make_shared<SoundChipEmulator>();
    // The headset, made at first use with the sound chip.
    HeadsetEmulator& theHeadset();
    std::vector<std::string> unknown;    // names that are not devices at all
    std::vector<std::string> notYet;     // devices this build cannot emulate yet
};

// A comma-separated list of "mouse", "mouse-receiver", "keyboard", "keyboard-receiver",
// "mousepad", "headset".
std::unique_ptr<Simulation> startSimulation(const std::string& list);
// The names of such a list that are no device at all.
std::vector<std::string> unknownDeviceNames(const std::string& list);

} // namespace q9::sim
