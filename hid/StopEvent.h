#pragma once
// A manual-reset stop event for worker threads: they wait on it with their real period, and are
// woken at once by a stop or by a change they must see (never a spin).
//
// One thread waits on an event. A wake() that comes while that thread is busy is kept and ends its
// next wait at once, so a change made just before the thread goes to sleep is never lost.
// A thread that also waits on file descriptors (the device watch) polls descriptor(), which is
// readable while a stop or a wake is pending.
#include <chrono>
#include <condition_variable>
#include <mutex>

#ifdef __linux__
#include <sys/eventfd.h>
#include <unistd.h>
#endif

namespace q9 {

class StopEvent {
public:
    StopEvent() = default;
    StopEvent(const StopEvent&) = delete;
    StopEvent& operator=(const StopEvent&) = delete;
    ~StopEvent()
    {
#ifdef __linux__
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }

    // True when stopped; returns early on wake().
    bool waitFor(int milliseconds)
    {
        std::unique_lock lock(mutex_);
        auto due = [&] { return stopped_ || wakes_ != consumed_; };
        if (milliseconds < 0)
            cv_.wait(lock, due);
        else
            cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), due);
        consumed_ = wakes_;
        return stopped_;
    }
    void set()
    {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
            signalDescriptor();
        }
        cv_.notify_all();
    }
    void reset()
    {
        std::lock_guard lock(mutex_);
        stopped_ = false;
        consumed_ = wakes_;
        drainDescriptor();
    }
    void wake()
    {
        {
            std::lock_guard lock(mutex_);
            ++wakes_;
            signalDescriptor();
        }
        cv_.notify_all();
    }
    bool isSet()
    {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

    // A descriptor that polls readable while a stop or a wake is pending; -1 where the platform has
    // none. consume() takes the pending wake after such a poll and says whether the event is set.
    int descriptor()
    {
        std::lock_guard lock(mutex_);
#ifdef __linux__
        if (fd_ < 0) {
            fd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
            if (fd_ >= 0 && (stopped_ || wakes_ != consumed_))
                signalDescriptor();
        }
#endif
        return fd_;
    }
    bool consume()
    {
        std::lock_guard lock(mutex_);
        consumed_ = wakes_;
        if (!stopped_)
            drainDescriptor();
        return stopped_;
    }

private:
    void signalDescriptor()
    {
#ifdef __linux__
        if (fd_ >= 0) {
            const uint64_t one = 1;
            [[maybe_unused]] const auto n = ::write(fd_, &one, sizeof one);
        }
#endif
    }
    void drainDescriptor()
    {
#ifdef __linux__
        if (fd_ >= 0) {
            uint64_t value;
            [[maybe_unused]] const auto n = ::read(fd_, &value, sizeof value);
        }
#endif
    }

    std::mutex mutex_;
    std::condition_variable cv_;
    bool stopped_ = false;
    unsigned wakes_ = 0;
    unsigned consumed_ = 0;
    int fd_ = -1;
};

} // namespace q9
