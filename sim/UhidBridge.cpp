#include "sim/UhidBridge.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/uhid.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace q9::sim {

namespace {

bool send(int fd, const uhid_event& ev)
{
    return ::write(fd, &ev, sizeof ev) == ssize_t(sizeof ev);
}

void copyString(uint8_t* to, size_t capacity, const std::string& from)
{
    std::strncpy(reinterpret_cast<char*>(to), from.c_str(), capacity - 1);
}

} // namespace

std::unique_ptr<UhidDevice> UhidDevice::create(std::shared_ptr<SimInterface> iface, const std::string& name,
                                               const std::string& phys, std::string& error)
{
    const SimInterfaceInfo& info = iface->info();
    if (info.descriptor.size() > UHID_DATA_MAX) {
        error = "report descriptor too long";
        return nullptr;
    }
    // The bridge is the host of the simulated interface: it reads what the emulator sends.
    auto handle = iface->open(true, true);
    if (!handle) {
        error = "the emulated interface is not plugged";
        return nullptr;
    }
    const int fd = ::open("/dev/uhid", O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("/dev/uhid: ") + std::strerror(errno);
        return nullptr;
    }
    uhid_event ev{};
    ev.type = UHID_CREATE2;
    copyString(ev.u.create2.name, sizeof ev.u.create2.name, name);
    copyString(ev.u.create2.phys, sizeof ev.u.create2.phys, phys);
    ev.u.create2.rd_size = uint16_t(info.descriptor.size());
    ev.u.create2.bus = 0x03; // BUS_USB
    ev.u.create2.vendor = info.attributeVid;
    ev.u.create2.product = info.attributePid;
    ev.u.create2.version = info.version;
    std::memcpy(ev.u.create2.rd_data, info.descriptor.data(), info.descriptor.size());
    if (!send(fd, ev)) {
        error = std::string("UHID_CREATE2: ") + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    const int stopFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (stopFd < 0) {
        error = "eventfd";
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<UhidDevice>(new UhidDevice(fd, stopFd, std::move(iface), std::move(handle)));
}

UhidDevice::UhidDevice(int fd, int stopFd, std::shared_ptr<SimInterface> iface, std::shared_ptr<HidNode> handle)
    : fd_(fd), stopFd_(stopFd), iface_(std::move(iface)), handle_(std::move(handle))
{
    kernelThread_ = std::thread([this] { kernelLoop(); });
    deviceThread_ = std::thread([this] { deviceLoop(); });
}

UhidDevice::~UhidDevice()
{
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(stopFd_, &one, sizeof one);
    handle_->abort();
    kernelThread_.join();
    deviceThread_.join();
    uhid_event ev{};
    ev.type = UHID_DESTROY;
    send(fd_, ev);
    ::close(fd_);
    ::close(stopFd_);
}

void UhidDevice::kernelLoop()
{
    for (;;) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        if (fds[1].revents)
            return;
        uhid_event ev{};
        const ssize_t n = ::read(fd_, &ev, sizeof ev);
        if (n <= 0) {
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            return;
        }
        switch (ev.type) {
        case UHID_START:
            started_ = true;
            break;
        case UHID_OUTPUT:
            handle_->writeReport(ev.u.output.data, ev.u.output.size, 1000);
            break;
        case UHID_SET_REPORT: {
            const uint32_t id = ev.u.set_report.id;
            bool ok = false;
            if (ev.u.set_report.rtype == UHID_OUTPUT_REPORT)
                ok = handle_->setOutputReport(ev.u.set_report.data, ev.u.set_report.size);
            uhid_event reply{};
            reply.type = UHID_SET_REPORT_REPLY;
            reply.u.set_report_reply.id = id;
            reply.u.set_report_reply.err = ok ? 0 : EIO;
            send(fd_, reply);
            break;
        }
        case UHID_GET_REPORT: {
            uhid_event reply{};
            reply.type = UHID_GET_REPORT_REPLY;
            reply.u.get_report_reply.id = ev.u.get_report.id;
            reply.u.get_report_reply.err = EIO; // the emulated devices have no feature reports
            send(fd_, reply);
            break;
        }
        default:
            break;
        }
    }
}

void UhidDevice::deviceLoop()
{
    for (;;) {
        uhid_event ev{};
        ev.type = UHID_INPUT2;
        size_t length = 0;
        if (handle_->readReport(ev.u.input2.data, sizeof ev.u.input2.data, length, kWaitForever) != IoStatus::Ok)
            return;
        ev.u.input2.size = uint16_t(length);
        send(fd_, ev);
    }
}

} // namespace q9::sim
