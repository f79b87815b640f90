#pragma once
// The simulated HID bus: interfaces that emulated devices plug in and pull out, opened by the host
// through SimBackend like hidraw nodes. Every open handle of an interface gets its own copy of each
// input report, as with hidraw.
#include "hid/ChangeSignal.h"
#include "hid/HidBackend.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

namespace q9::sim {

class SimInterface;

// How many of the latest received reports an emulator keeps for tests to read.
constexpr size_t kRecordedReports = 20000;

// The device side of an interface: receives what the host writes.
class SimDeviceEndpoint {
public:
    virtual ~SimDeviceEndpoint() = default;
    virtual void onOutputReport(SimInterface& from, const uint8_t* data, size_t length) = 0;
    virtual void onSetOutputReport(SimInterface& from, const uint8_t* data, size_t length)
    {
        onOutputReport(from, data, length);
    }
};

struct SimInterfaceInfo {
    std::string node;     // "sim:" + a unique name
    uint16_t vid = 0;     // as the bus names it
    uint16_t pid = 0;
    uint16_t version = 0;
    int interfaceNumber = -1;
    std::vector<uint8_t> descriptor;
    // What the device reports as its attributes when opened; normally the same as vid/pid.
    uint16_t attributeVid = 0;
    uint16_t attributePid = 0;
};

class SimHandle;

class SimInterface : public std::enable_shared_from_this<SimInterface> {
public:
    SimInterface(SimInterfaceInfo info, SimDeviceEndpoint* device);

    const SimInterfaceInfo& info() const { return info_; }
    bool plugged() const;

    // Device side: an input report to every open handle, due after the given delay.
    void sendInput(const uint8_t* data, size_t length,
                   std::chrono::microseconds delay = std::chrono::microseconds(0));

    // Host side (through SimHandle).
    std::shared_ptr<SimHandle> open(bool wantRead, bool wantWrite);
    bool hostWrite(const uint8_t* data, size_t length, bool control);

    void setPlugged(bool on); // pulling the interface fails every open handle
    void detachDevice();      // the device object is going away

private:
    friend class SimHandle;
    void forget(SimHandle* handle);

    SimInterfaceInfo info_;
    mutable std::mutex mutex_;
    std::shared_mutex deviceMutex_; // held while the device handles a report, so it cannot go away
    SimDeviceEndpoint* device_;
    bool plugged_ = false;
    std::vector<SimHandle*> handles_;
    // Reports still travelling: a handle opened before one falls due receives it too.
    std::deque<std::pair<std::chrono::steady_clock::time_point, std::vector<uint8_t>>> inFlight_;
};

class SimHandle final : public HidNode {
public:
    SimHandle(std::shared_ptr<SimInterface> iface, bool wantRead, bool wantWrite);
    ~SimHandle() override;

    HidAttributes attributes() const override;
    std::vector<uint8_t> descriptor() const override;
    IoStatus readReport(uint8_t* buffer, size_t capacity, size_t& length, int timeoutMs) override;
    IoStatus writeReport(const uint8_t* data, size_t length, int timeoutMs) override;
    bool setOutputReport(const uint8_t* data, size_t length) override;
    void abort() override;

    // Called by the interface.
    void push(std::vector<uint8_t> report, std::chrono::steady_clock::time_point due);
    void markGone();

private:
    struct Pending {
        std::chrono::steady_clock::time_point due;
        std::vector<uint8_t> bytes;
    };
    std::shared_ptr<SimInterface> iface_;
    bool wantRead_;
    bool wantWrite_;
    std::mutex mutex_;
    std::condition_variable cv_;
    std::deque<Pending> queue_;
    bool aborted_ = false;
    bool gone_ = false;
};

class SimBus {
public:
    std::shared_ptr<SimInterface> add(SimInterfaceInfo info, SimDeviceEndpoint* device);
    void remove(const std::shared_ptr<SimInterface>& iface);
    std::vector<std::shared_ptr<SimInterface>> plugged() const;
    std::shared_ptr<SimInterface> find(const std::string& node) const;
    // Raised whenever an interface is added or removed, as the kernel announces hidraw nodes.
    ChangeSignal& changes() { return changes_; }

private:
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<SimInterface>> interfaces_;
    ChangeSignal changes_;
};

// The host's view of a SimBus.
class SimBackend final : public HidBackend {
public:
    explicit SimBackend(std::shared_ptr<SimBus> bus) : bus_(std::move(bus)) {}

    bool listNodes(std::vector<HidNodeInfo>& nodes) override;
    std::shared_ptr<HidNode> openNode(const std::string& node, bool wantRead, bool wantWrite) override;
    bool nodePresent(const std::string& node, uint16_t vid, uint16_t pid) override;
    bool ownsNode(const std::string& node) const override;
    bool watchChanges() override { return bus_->changes().descriptor() >= 0; }
    void changeDescriptors(std::vector<int>& out) const override { out.push_back(bus_->changes().descriptor()); }
    void takeChanges() override { bus_->changes().take(); }

private:
    std::shared_ptr<SimBus> bus_;
};

} // namespace q9::sim
