#pragma once
// Real HID devices: hidapi's hidraw backend lists them; the transfers go straight to the hidraw node,
// because a read blocked inside hidapi cannot be interrupted by another thread, and the transport
// must end a read without limit when its device object closes it.
#include "hid/HidBackend.h"

#include <map>
#include <mutex>

struct udev;
struct udev_monitor;

namespace q9 {

// An open node on a hidraw file descriptor (taken over). Exposed for tests, which drive it over a
// packet socket pair: hidraw, too, hands out one whole report per read.
std::shared_ptr<HidNode> makeHidrawNode(int fd, HidAttributes attributes, std::vector<uint8_t> descriptor);

class HidapiBackend final : public HidBackend {
public:
    HidapiBackend();
    ~HidapiBackend() override;

    bool listNodes(std::vector<HidNodeInfo>& nodes) override;
    std::shared_ptr<HidNode> openNode(const std::string& node, bool wantRead, bool wantWrite) override;
    bool nodePresent(const std::string& node, uint16_t vid, uint16_t pid) override;
    bool ownsNode(const std::string& node) const override;
    // hidraw nodes coming and going, from udev's monitor.
    bool watchChanges() override;
    void changeDescriptors(std::vector<int>& out) const override;
    void takeChanges() override;

private:
    ::udev* udev_ = nullptr;
    ::udev_monitor* monitor_ = nullptr;
    std::mutex mutex_;
    std::map<std::string, uint16_t> versions_; // release numbers seen by the last listing
};

} // namespace q9
