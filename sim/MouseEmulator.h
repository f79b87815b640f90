#pragma once
// The mouse's firmware as the host sees it over the vendor protocol, reachable on its cable
// (0x226E) and through its 2.4 GHz receiver (0x226F).
#include "sim/VendorDevice.h"

#include <array>
#include <cstdint>
#include <vector>

namespace q9::sim {

struct MouseConfig {
    uint16_t sensor = 0x3325;
    uint8_t dpiStep = 100;
    uint16_t dpiSteps = 73;       // the DPI sliders' maximum
    uint16_t dpiBase = 100;
    uint8_t macroUnits = 32;      // macro memory in units of 128 bytes
    uint16_t version = 0x0102;    // USB release number (firmware version)
    int profileSlots = 4;         // on-board profiles of 128 bytes each
    size_t shootMemory = 4096;    // four guns of thirty bullets (720 events) and the table
    // The device's keys in key-block order: (type, param1, param2) of each key's factory action.
    std::vector<std::array<uint8_t, 3>> factoryKeys = {
        {0x10, 0x01, 0x00}, {0x10, 0x02, 0x00}, {0x10, 0x04, 0x00}, {0x10, 0x10, 0x00},
        {0x10, 0x08, 0x00}, {0x13, 0x01, 0x00}, {0x13, 0x02, 0x00}, {0x13, 0x03, 0x00},
        {0xA0, 0x1B, 0x00}, {0x16, 0x90, 0x01}, {0x14, 0x78, 0x02},
    };
    uint8_t batteryPercent = 85;
};

class MouseEmulator final : public VendorDevice {
public:
    static constexpr uint16_t kVid = 0x320F;
    static constexpr uint16_t kCablePid = 0x226E;
    static constexpr uint16_t kReceiverPid = 0x226F;

    MouseEmulator(std::shared_ptr<SimBus> bus, MouseConfig config = {}, std::string name = "mouse");
    const MouseConfig& config() const { return config_; }

    void plugCable() { plug({"cable", kCablePid, false}); }
    void unplugCable() { unplug("cable"); }
    void plugReceiver() { plug({"receiver", kReceiverPid, true}); }
    void unplugReceiver() { unplug("receiver"); }

    // Device memory, for tests.
    std::array<uint8_t, 34> deviceInfo() const;
    std::vector<uint8_t> settingsMemory() const;
    std::vector<uint8_t> keyBlock(int profile) const;
    std::vector<uint8_t> macroMemory() const;
    std::vector<uint8_t> shootMemory() const;
    bool inTransaction() const;
    int writesOutsideTransaction() const;
    void setBattery(uint8_t percent, uint8_t chargeState);

protected:
    uint8_t execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload,
                    uint8_t* answerPayload) override;

private:
    static constexpr size_t kKeyBlockBytes = 512;
    uint8_t readFrom(const uint8_t* memory, size_t size, uint16_t address, uint8_t length, uint8_t* out) const;
    uint8_t writeTo(uint8_t* memory, size_t size, uint16_t address, uint8_t length, const uint8_t* in);

    MouseConfig config_;
    std::array<uint8_t, 34> info_{};
    std::vector<uint8_t> settings_;
    std::vector<std::vector<uint8_t>> keyBlocks_; // one per on-board profile
    std::vector<uint8_t> macro_;
    std::vector<uint8_t> shoot_;
    bool transaction_ = false;
    int writesOutside_ = 0;
    uint8_t battery_ = 85;
    uint8_t chargeState_ = 2;
};

} // namespace q9::sim
