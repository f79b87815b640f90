#pragma once
// What the HID transport needs from the machine: a list of HID interface nodes and open nodes that
// read and write whole reports. HidapiBackend serves real devices, SimBackend the simulated bus.
//
// A node is one interface of a device (one hidraw node on Linux). It may hold several top-level
// collections; the transport splits it into one interface path per collection.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace q9 {

struct HidNodeInfo {
    std::string node;          // backend-specific name, e.g. "/dev/hidraw3"
    uint16_t vid = 0;          // as the bus names the device (the path's vid_/pid_)
    uint16_t pid = 0;
    uint16_t version = 0;      // release number (firmware version)
    int interfaceNumber = -1;  // USB interface number; -1 when unknown
    std::vector<uint8_t> descriptor; // the interface's report descriptor
};

struct HidAttributes {
    uint16_t vid = 0;
    uint16_t pid = 0;
    uint16_t version = 0;
};

enum class IoStatus {
    Ok,
    Timeout,
    Aborted, // abort() was called on the node
    Error,   // the device is gone or the call failed
};

constexpr int kWaitForever = -1;

// One open node. Reads and writes may come from two threads at once; abort() may come from a third.
class HidNode {
public:
    virtual ~HidNode() = default;

    virtual HidAttributes attributes() const = 0;
    virtual std::vector<uint8_t> descriptor() const = 0;

    // Reads one input report (report ID first). Waits at most timeoutMs (kWaitForever: no limit).
    virtual IoStatus readReport(uint8_t* buffer, size_t capacity, size_t& length, int timeoutMs) = 0;
    // Writes one output report (report ID first) on the interrupt pipe.
    virtual IoStatus writeReport(const uint8_t* data, size_t length, int timeoutMs) = 0;
    // Sends an output report as a control transfer (SET_REPORT).
    virtual bool setOutputReport(const uint8_t* data, size_t length) = 0;

    // Ends every transfer that waits now and fails every later one: the node is being closed.
    virtual void abort() = 0;
};

class HidBackend {
public:
    virtual ~HidBackend() = default;

    // Lists the HID interface nodes present now. False when the listing itself failed.
    virtual bool listNodes(std::vector<HidNodeInfo>& nodes) = 0;
    // Opens a node listed before; null when it cannot be opened.
    virtual std::shared_ptr<HidNode> openNode(const std::string& node, bool wantRead, bool wantWrite) = 0;
    // Whether the node is still present as the same device (an open with no access rights).
    virtual bool nodePresent(const std::string& node, uint16_t vid, uint16_t pid) = 0;
    // Whether this backend serves the node name.
    virtual bool ownsNode(const std::string& node) const = 0;

    // Hot-plug. watchChanges() starts watching for nodes that come and go; it is false when this
    // backend cannot tell, and the bus must then be looked at on a period. While watching,
    // changeDescriptors() poll readable after a change and takeChanges() empties them again.
    virtual bool watchChanges() { return false; }
    virtual void changeDescriptors(std::vector<int>& out) const { static_cast<void>(out); }
    virtual void takeChanges() {}
};

// Several backends seen as one bus (real devices and the simulated ones side by side).
class CompositeBackend final : public HidBackend {
public:
    void add(std::shared_ptr<HidBackend> backend) { backends_.push_back(std::move(backend)); }

    bool listNodes(std::vector<HidNodeInfo>& nodes) override;
    std::shared_ptr<HidNode> openNode(const std::string& node, bool wantRead, bool wantWrite) override;
    bool nodePresent(const std::string& node, uint16_t vid, uint16_t pid) override;
    bool ownsNode(const std::string& node) const override;
    bool watchChanges() override;
    void changeDescriptors(std::vector<int>& out) const override;
    void takeChanges() override;

private:
    HidBackend* owner(const std::string& node) const;
    std::vector<std::shared_ptr<HidBackend>> backends_;
};

} // namespace q9
