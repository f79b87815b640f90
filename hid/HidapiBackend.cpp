#include "hid/HidapiBackend.h"

#include "hid/SysfsHid.h"

#include <hidapi/hidapi.h>
#include <libudev.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <set>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace q9 {

namespace {

using Clock = std::chrono::steady_clock;

class HidrawNode final : public HidNode {
public:
    HidrawNode(int fd, int abortFd, HidAttributes attrs, std::vector<uint8_t> descriptor)
        : fd_(fd), abortFd_(abortFd), attrs_(attrs), descriptor_(std::move(descriptor))
    {
    }
    ~HidrawNode() override
    {
        ::close(fd_);
        ::close(abortFd_);
    }

    HidAttributes attributes() const override { return attrs_; }
    std::vector<uint8_t> descriptor() const override { return descriptor_; }

    IoStatus readReport(uint8_t* buffer, size_t capacity, size_t& length, int timeoutMs) override
    {
        length = 0;
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            const IoStatus ready = waitFor(POLLIN, timeoutMs < 0 ? -1 : remaining(deadline));
            if (ready != IoStatus::Ok)
                return ready;
            const ssize_t n = ::read(fd_, buffer, capacity);
            if (n > 0) {
                length = size_t(n);
                return IoStatus::Ok;
            }
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                return IoStatus::Error;
            if (n == 0)
                return IoStatus::Error;
            // Another reader took the report: wait again for what is left of the time.
        }
    }

    IoStatus writeReport(const uint8_t* data, size_t length, int timeoutMs) override
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            const IoStatus ready = waitFor(POLLOUT, timeoutMs < 0 ? -1 : remaining(deadline));
            if (ready != IoStatus::Ok)
                return ready;
            // hidraw hands the report to the device synchronously; the kernel bounds that wait.
            const ssize_t n = ::write(fd_, data, length);
            if (n == ssize_t(length))
                return IoStatus::Ok;
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            return IoStatus::Error;
        }
    }

    bool setOutputReport(const uint8_t* data, size_t length) override
    {
        if (aborted_)
            return false;
#ifdef HIDIOCSOUTPUT
        if (::ioctl(fd_, HIDIOCSOUTPUT(length), data) >= 0)
            return true;
        if (errno != EINVAL && errno != ENOTTY)
            return false;
#endif
        return ::write(fd_, data, length) == ssize_t(length);
    }

    void abort() override
    {
        aborted_ = true;
        const uint64_t one = 1;
        // The counter stays readable: every waiting and every later transfer sees it.
        [[maybe_unused]] ssize_t n = ::write(abortFd_, &one, sizeof one);
    }

private:
    static int remaining(Clock::time_point deadline)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        return int(std::clamp<long long>(left, 0, 0x7FFFFFFF));
    }

    IoStatus waitFor(short events, int timeoutMs)
    {
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
        for (;;) {
            if (aborted_)
                return IoStatus::Aborted;
            pollfd fds[2] = {{fd_, events, 0}, {abortFd_, POLLIN, 0}};
            const int r = ::poll(fds, 2, timeoutMs < 0 ? -1 : remaining(deadline));
            if (r < 0) {
                if (errno == EINTR)
                    continue;
                return IoStatus::Error;
            }
            if (fds[1].revents)
                return IoStatus::Aborted;
            if (r == 0)
                return IoStatus::Timeout;
            if (fds[0].revents & events)
                return IoStatus::Ok;
            return IoStatus::Error; // POLLERR / POLLHUP: the device is gone
        }
    }

    int fd_;
    int abortFd_;
    std::atomic<bool> aborted_{false};
    HidAttributes attrs_;
    std::vector<uint8_t> descriptor_;
};

std::vector<uint8_t> readDescriptorFromSysfs(const std::string& node)
{
    const std::string dir = sysfsDeviceDir(node);
    std::string bytes;
    if (dir.empty() || !readSmallFile(dir + "/report_descriptor", bytes, HID_MAX_DESCRIPTOR_SIZE))
        return {};
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

std::shared_ptr<HidNode> makeHidrawNode(int fd, HidAttributes attributes, std::vector<uint8_t> descriptor)
{
    const int abortFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (abortFd < 0) {
        ::close(fd);
        return nullptr;
    }
    return std::make_shared<HidrawNode>(fd, abortFd, attributes, std::move(descriptor));
}

HidapiBackend::HidapiBackend() { hid_init(); }

HidapiBackend::~HidapiBackend()
{
    if (monitor_)
        udev_monitor_unref(monitor_);
    if (udev_)
        udev_unref(udev_);
}

bool HidapiBackend::watchChanges()
{
    if (monitor_)
        return true;
    if (!udev_ && !(udev_ = udev_new()))
        return false;
    // udevd announces a node after its rules have run, so the access rights for the user are set
    // by then. Where no udevd runs (a bare system, a guest), the kernel's own events are taken;
    // devtmpfs has made the node before the kernel announces it.
    const bool udevd = ::access("/run/udev/control", F_OK) == 0;
    monitor_ = udev_monitor_new_from_netlink(udev_, udevd ? "udev" : "kernel");
    if (!monitor_)
        return false;
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0
        || udev_monitor_enable_receiving(monitor_) < 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
        return false;
    }
    return true;
}

void HidapiBackend::changeDescriptors(std::vector<int>& out) const
{
    if (monitor_)
        out.push_back(udev_monitor_get_fd(monitor_));
}

void HidapiBackend::takeChanges()
{
    // What changed does not matter: the watch looks at the whole bus again. A lost event (a full
    // socket buffer) still wakes the watch, because the socket reports the error as readable.
    if (!monitor_)
        return;
    for (int i = 0; i < 256; ++i) {
        udev_device* d = udev_monitor_receive_device(monitor_);
        if (!d) {
            // An error such as ENOBUFS is taken off the socket by the failed receive; only an empty
            // socket ends the loop for good.
            pollfd p{udev_monitor_get_fd(monitor_), POLLIN, 0};
            if (::poll(&p, 1, 0) <= 0)
                break;
            continue;
        }
        udev_device_unref(d);
    }
}

bool HidapiBackend::ownsNode(const std::string& node) const { return !sysfsDeviceDir(node).empty(); }

bool HidapiBackend::listNodes(std::vector<HidNodeInfo>& nodes)
{
    nodes.clear();
    hid_device_info* all = hid_enumerate(0, 0);
    std::set<std::string> seen;
    std::map<std::string, uint16_t> versions;
    // hidapi lists an interface once per top-level collection; the transport splits it again itself.
    for (hid_device_info* d = all; d; d = d->next) {
        if (!d->path || !seen.insert(d->path).second)
            continue;
        HidNodeInfo info;
        info.node = d->path;
        info.vid = d->vendor_id;
        info.pid = d->product_id;
        info.version = d->release_number;
        info.interfaceNumber = d->interface_number;
        if (info.interfaceNumber < 0) {
            // No USB parent (uhid, some virtual devices): the kernel's physical path names it.
            std::string uevent;
            const std::string dir = sysfsDeviceDir(info.node);
            if (!dir.empty() && readSmallFile(dir + "/uevent", uevent))
                info.interfaceNumber = interfaceFromUevent(uevent);
        }
        info.descriptor = readDescriptorFromSysfs(info.node);
        versions[info.node] = info.version;
        nodes.push_back(std::move(info));
    }
    hid_free_enumeration(all);
    std::lock_guard lock(mutex_);
    versions_ = std::move(versions);
    return true;
}

std::shared_ptr<HidNode> HidapiBackend::openNode(const std::string& node, bool wantRead, bool wantWrite)
{
    if (!ownsNode(node))
        return nullptr;
    const int mode = wantRead && wantWrite ? O_RDWR : wantWrite ? O_WRONLY : O_RDONLY;
    const int fd = ::open(node.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    hidraw_devinfo devinfo{};
    int descSize = 0;
    hidraw_report_descriptor desc{};
    if (::ioctl(fd, HIDIOCGRAWINFO, &devinfo) < 0 || ::ioctl(fd, HIDIOCGRDESCSIZE, &descSize) < 0
        || descSize <= 0 || descSize > HID_MAX_DESCRIPTOR_SIZE) {
        ::close(fd);
        return nullptr;
    }
    desc.size = uint32_t(descSize);
    if (::ioctl(fd, HIDIOCGRDESC, &desc) < 0) {
        ::close(fd);
        return nullptr;
    }
    HidAttributes attrs;
    attrs.vid = uint16_t(devinfo.vendor);
    attrs.pid = uint16_t(devinfo.product);
    {
        std::lock_guard lock(mutex_);
        auto it = versions_.find(node);
        attrs.version = it == versions_.end() ? 0 : it->second;
    }
    return makeHidrawNode(fd, attrs, std::vector<uint8_t>(desc.value, desc.value + desc.size));
}

bool HidapiBackend::nodePresent(const std::string& node, uint16_t vid, uint16_t pid)
{
    struct stat st{};
    if (!ownsNode(node) || ::stat(node.c_str(), &st) != 0 || !S_ISCHR(st.st_mode))
        return false;
    // A node name is reused by the next device that appears: check that it is still the same one.
    std::string uevent;
    uint16_t v = 0, p = 0;
    if (readSmallFile(sysfsDeviceDir(node) + "/uevent", uevent) && idsFromUevent(uevent, v, p))
        return v == vid && p == pid;
    return true;
}

} // namespace q9
