#pragma once
// The keyboard's firmware as the host sees it over the vendor protocol, on its cable (0x505B) and
// through its 2.4 GHz receiver (0x50EC): key block and LED block, the settings area, five pages of
// custom key colours, the host light stream and host light control, the battery on the receiver.
#include "sim/VendorDevice.h"

#include <array>
#include <cstdint>
#include <vector>

namespace q9::sim {

class KeyboardEmulator final : public VendorDevice {
public:
    static constexpr uint16_t kVid = 0x320F;
    static constexpr uint16_t kCablePid = 0x505B;
    static constexpr uint16_t kReceiverPid = 0x50EC;
    static constexpr int kColourPages = 5;
    static constexpr size_t kPageStride = 512;

    // One key of the board: its factory action and where it sits (row 0 at the top).
    struct Key {
        std::array<uint8_t, 3> action;
        int row, column;
    };

    explicit KeyboardEmulator(std::shared_ptr<SimBus> bus, std::string name = "keyboard");

    void plugCable() { plug({"cable", kCablePid, false}); }
    void unplugCable() { unplug("cable"); }
    void plugReceiver() { plug({"receiver", kReceiverPid, true}); }
    void unplugReceiver() { unplug("receiver"); }

    // The board as the firmware scans it: device key k is keys()[k]; its LED is ledBlock()[k].
    const std::vector<Key>& keys() const { return keys_; }
    std::vector<uint8_t> ledBlock() const;
    // Device memory, for tests.
    std::array<uint8_t, 34> deviceInfo() const;
    std::vector<uint8_t> settingsMemory() const;
    std::vector<uint8_t> keyBlock(int profile) const;
    std::vector<uint8_t> colourPage(int page) const; // 3 bytes per LED
    std::vector<uint8_t> macroMemory() const;
    // The last whole frame of the host light stream (3 bytes per LED) and how many came.
    std::vector<uint8_t> lastLightFrame() const;
    int lightFrames() const;
    bool hostLightControl() const;
    bool inTransaction() const;
    void setBattery(uint8_t percent, uint8_t chargeState);
    // A key pressed or let go on the board: the event its firmware sends for the reactive effects.
    bool pressKey(int deviceKey, bool down);

protected:
    uint8_t execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload,
                    uint8_t* answerPayload) override;

private:
    static constexpr size_t kKeyBlockBytes = 512;
    static constexpr int kProfileSlots = 4;
    uint8_t readFrom(const std::vector<uint8_t>& memory, uint16_t address, uint8_t length, uint8_t* out) const;
    uint8_t writeTo(std::vector<uint8_t>& memory, uint16_t address, uint8_t length, const uint8_t* in);

    std::vector<Key> keys_;
    std::vector<uint8_t> leds_;
    std::array<uint8_t, 34> info_{};
    std::vector<uint8_t> settings_;
    std::vector<std::vector<uint8_t>> keyBlocks_;
    std::vector<uint8_t> colours_;
    std::vector<uint8_t> macro_;
    std::vector<uint8_t> frame_, lastFrame_;
    int frames_ = 0;
    bool hostLight_ = false;
    bool transaction_ = false;
    uint8_t battery_ = 70;
    uint8_t chargeState_ = 2;
};

} // namespace q9::sim
