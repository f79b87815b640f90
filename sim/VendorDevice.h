#pragma once
// The device side of the 64-byte vendor protocol, shared by the emulated 0x320F devices. It checks
// each request's framing and checksum, records every report it receives, applies the fault knobs
// and answers as the firmware does; a subclass holds the device's memory and executes commands.
#include "sim/SimBus.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace q9::sim {

struct ReceivedReport {
    std::string link;                 // "cable" or "receiver"
    std::array<uint8_t, 64> bytes{};  // as written, zero-padded
    size_t length = 0;
    bool wellFramed = false;
};

// One way to reach the device: a USB product with a command and an event interface.
struct LinkSetup {
    std::string name;      // "cable", "receiver"
    uint16_t pid = 0;
    bool receiver = false; // answers for the device only while the radio link is up
};

class VendorDevice {
public:
    VendorDevice(std::shared_ptr<SimBus> bus, std::string deviceName, uint16_t vid, uint16_t version,
                 int leadingCommandCollections);
    virtual ~VendorDevice();
    VendorDevice(const VendorDevice&) = delete;
    VendorDevice& operator=(const VendorDevice&) = delete;

    // Links.
    void plug(const LinkSetup& link);
    void unplug(const std::string& linkName);
    bool isPlugged(const std::string& linkName) const;
    // A plugged link's interface (0: events, 1: commands); null when the link is not plugged.
    std::shared_ptr<SimInterface> interfaceOf(const std::string& linkName, int number) const;
    void setRadioLink(bool up); // receiver ↔ device (device switched on and in range)
    bool radioLink() const;

    // Sends a 16-bit event code on the event interface of the link the device is reached by
    // (the cable when plugged, else the receiver while the radio link is up).
    bool sendEvent(uint16_t code);
    // Sends raw bytes as an input report on a link's command interface (tests of stray reports).
    void sendCommandInput(const std::string& linkName, const std::vector<uint8_t>& report);

    // Fault knobs.
    void setLatency(std::chrono::microseconds perReport);
    void failCommand(uint8_t code, uint8_t status, int afterSuccesses = 0); // status 0xFF or 0xFE
    void clearFailures();
    void setSilent(bool on, std::optional<uint8_t> onlyCode = std::nullopt); // no answer
    void mismatchNext(int staleReports, bool thenAnswer = true); // reports with another command byte first
    void setAnswerReportId(std::optional<uint8_t> id);           // answer with another report ID
    void unplugAfter(int reports);                               // pull the link in the middle of a transfer

    // What the device received.
    std::vector<ReceivedReport> received() const;
    std::vector<ReceivedReport> receivedCommands(uint8_t code) const;
    void clearReceived();
    int framingErrors() const;

protected:
    // Executes one well-framed request. Returns the status byte (0 success, 0xFF / 0xFE errors) and
    // fills the answer payload of read commands.
    virtual uint8_t execute(uint8_t code, uint16_t address, uint8_t length, const uint8_t* payload,
                            uint8_t* answerPayload) = 0;

    mutable std::recursive_mutex mutex_; // the device's state; subclasses take it too

private:
    class Link;
    void handle(Link& link, const uint8_t* data, size_t length);
    Link* findLink(const std::string& name) const;

    std::shared_ptr<SimBus> bus_;
    std::string deviceName_;
    uint16_t vid_;
    uint16_t version_;
    int leading_;
    std::vector<std::unique_ptr<Link>> links_;
    std::vector<std::unique_ptr<Link>> retired_; // pulled from inside a transfer
    bool radioLink_ = true;

    std::chrono::microseconds latency_{0};
    struct Failure {
        uint8_t code;
        uint8_t status;
        int remainingSuccesses;
    };
    std::vector<Failure> failures_;
    bool silent_ = false;
    std::optional<uint8_t> silentCode_;
    int staleBefore_ = 0;
    bool answerAfterStale_ = true;
    std::optional<uint8_t> answerReportId_;
    int unplugCountdown_ = 0;

    // The latest reports only: a simulated device driven for hours must not grow without end.
    std::deque<ReceivedReport> received_;
    int framingErrors_ = 0;
};

} // namespace q9::sim
