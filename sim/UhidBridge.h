#pragma once
// Presents an emulated interface as a real kernel HID device through /dev/uhid (Linux only), so the
// host talks to the emulator through hidraw exactly as to hardware: output reports written to the
// hidraw node reach the emulator, its answers and events come back as input reports.
#include "sim/SimBus.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

namespace q9::sim {

class UhidDevice {
public:
    // phys is the kernel's physical path; end it in "/inputN" to name interface N.
    static std::unique_ptr<UhidDevice> create(std::shared_ptr<SimInterface> iface, const std::string& name,
                                              const std::string& phys, std::string& error);
    ~UhidDevice(); // destroys the kernel device: its hidraw node disappears
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // The kernel has started the device (its hidraw node can appear).
    bool started() const { return started_.load(); }

private:
    UhidDevice(int fd, int stopFd, std::shared_ptr<SimInterface> iface, std::shared_ptr<HidNode> handle);
    void kernelLoop();  // requests from the kernel: output reports, SET_REPORT, GET_REPORT
    void deviceLoop();  // the emulator's input reports to the kernel

    int fd_;
    int stopFd_;
    std::shared_ptr<SimInterface> iface_;
    std::shared_ptr<HidNode> handle_;
    std::atomic<bool> started_{false};
    std::thread kernelThread_;
    std::thread deviceThread_;
};

} // namespace q9::sim
