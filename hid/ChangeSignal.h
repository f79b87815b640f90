#pragma once
// A level that one side raises and a waiting thread polls for, as a file descriptor: the simulated
// bus raises it when an interface comes or goes, as the kernel's hot-plug events do for hidraw.
#ifdef __linux__
#include <sys/eventfd.h>
#include <unistd.h>
#endif

#include <cstdint>

namespace q9 {

class ChangeSignal {
public:
    ChangeSignal()
    {
#ifdef __linux__
        fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
#endif
    }
    ~ChangeSignal()
    {
#ifdef __linux__
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }
    ChangeSignal(const ChangeSignal&) = delete;
    ChangeSignal& operator=(const ChangeSignal&) = delete;

    // -1 where the platform has no such descriptor.
    int descriptor() const { return fd_; }
    void raise()
    {
#ifdef __linux__
        const uint64_t one = 1;
        if (fd_ >= 0)
            [[maybe_unused]] const auto n = ::write(fd_, &one, sizeof one);
#endif
    }
    void take()
    {
#ifdef __linux__
        uint64_t value;
        if (fd_ >= 0)
            [[maybe_unused]] const auto n = ::read(fd_, &value, sizeof value);
#endif
    }

private:
    int fd_ = -1;
};

} // namespace q9
