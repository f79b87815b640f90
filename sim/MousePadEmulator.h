#pragma once
// The lit mouse pad's firmware as the host sees it over the vendor protocol, on its one cable
// (0x1004): device information, the settings memory holding the light record of each profile
// with the current profile number in byte 0, the power report with the phone on its charger, and
// the event it sends when its own light button changed the record.
#include "sim/VendorDevice.h"

#include <array>
#include <cstdint>
#include <vector>

namespace q9::sim {

class MousePadEmulator final : public VendorDevice {
public:
    static constexpr uint16_t kVid = 0x320F;
    static constexpr uint16_t kCablePid = 0x1004;
    static constexpr size_t kAreaBytes = 45;     // a profile's settings area
    static constexpr size_t kReadStride = 25;    // the area of profile p is read at 25·p
    static constexpr size_t kWriteStride = 64;   // a record is written at 64·slot
    static constexpr int kSlots = 4;
    static constexpr uint8_t kEffects = 9;       // effect codes 0-8

    explicit MousePadEmulator(std::shared_ptr<SimBus> bus, std::string name = "mousepad");

    void plugCable() { plug({"cable", kCablePid, false}); }
    void unplugCable() { unplug("cable"); }

    // Device memory, for tests.
    std::array<uint8_t, 34> deviceInfo() const;
    std::vector<uint8_t> settingsMemory() const;
    // Puts bytes into the settings memory as the pad's own controls would (no event is sent).
    void setSettingsBytes(uint16_t address, const std::vector<uint8_t>& bytes);
    void setCurrentProfile(uint8_t profile);
    bool inTransaction() const;
    int writesOutsideTransaction() const;
    // The phone lying on the charger: 0 none, 1 iPhone, 2 Samsung, 3 other.
    void setPhone(uint8_t type);
    // The pad's light button: the next effect of the current profile, and the event that tells
    // the host to read the record again.
    bool pressLightButton();

protected:
    uint8_t execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload,
                    uint8_t* answerPayload) override;

private:
    std::array<uint8_t, 34> info_{};
    std::vector<uint8_t> settings_;
    bool transaction_ = false;
    int writesOutside_ = 0;
    uint8_t phone_ = 0;
};

} // namespace q9::sim
