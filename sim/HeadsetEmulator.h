#pragma once
// The USB headset's light control as the host sees it: one consumer-control collection on
// interface 3 that takes 17-byte colour output reports (report ID 0xFF). Byte 1 (0x22 or 0x44)
// picks one of two colour sets, byte 2 the channel and the half of the zones, bytes 4-10 the
// values. The emulator records every report and keeps the last value of each zone and channel per
// colour set, so tests can read what the headset shows.
#include "sim/SimBus.h"
#include "sim/SoundChipEmulator.h"

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace q9::sim {

class HeadsetEmulator final : public SimDeviceEndpoint {
public:
    static constexpr uint16_t kVid = 0x0C76;
    static constexpr uint16_t kPid = 0x1630;
    static constexpr int kInterface = 3;
    static constexpr int kZones = 13;
    static constexpr size_t kReportBytes = 17;
    static constexpr uint8_t kReportId = 0xFF;

    struct Colour {
        uint8_t r = 0, g = 0, b = 0;
        bool operator==(const Colour&) const = default;
    };

    // The sound chip, when given, is present exactly while the cable is plugged.
    explicit HeadsetEmulator(std::shared_ptr<SimBus> bus, std::string name = "headset",
                             std::shared_ptr<SoundChipEmulator> soundChip = nullptr);
    ~HeadsetEmulator() override;
    HeadsetEmulator(const HeadsetEmulator&) = delete;
    HeadsetEmulator& operator=(const HeadsetEmulator&) = delete;

    // The headset has one cable; "cable" is its only link name.
    void plugCable();
    void unplugCable();
    void plug(const std::string& link) { if (link == "cable") plugCable(); }
    void unplug(const std::string& link) { if (link == "cable") unplugCable(); }
    bool isPlugged(const std::string& link) const;
    // The interface on the bus while plugged (for presenting it to the kernel through uhid).
    std::shared_ptr<SimInterface> cableInterface() const;

    // Every output report as written, in order (malformed ones included).
    std::vector<std::vector<uint8_t>> received() const;
    void clearReceived();
    // Reports that were not 17 bytes with ID 0xFF and a known byte 1 and byte 2.
    int malformedReports() const;
    // What the zone shows in the colour set of byte 1 (0x22 or 0x44).
    Colour zone(uint8_t set, int index) const;

    void onOutputReport(SimInterface& from, const uint8_t* data, size_t length) override;

private:
    std::shared_ptr<SimBus> bus_;
    std::string name_;
    std::shared_ptr<SoundChipEmulator> soundChip_;
    mutable std::mutex mutex_;
    std::shared_ptr<SimInterface> iface_;
    std::deque<std::vector<uint8_t>> received_; // the latest kRecordedReports
    int malformed_ = 0;
    // [set][zone][channel]
    std::array<std::array<std::array<uint8_t, 3>, kZones>, 2> zones_{};
};

} // namespace q9::sim
