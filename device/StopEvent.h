#pragma once
// A manual-reset stop event for worker threads: they wait on it with their real period, and are
// woken at once by a stop or by a change they must see (never a spin).
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace q9 {

class StopEvent {
public:
    // True when stopped; returns early on wake().
    bool waitFor(int milliseconds)
    {
        std::unique_lock lock(mutex_);
        const unsigned seen = wakes_;
        if (milliseconds < 0)
            cv_.wait(lock, [&] { return stopped_ || wakes_ != seen; });
        else
            cv_.wait_for(lock, std::chrono::milliseconds(milliseconds), [&] { return stopped_ || wakes_ != seen; });
        return stopped_;
    }
    void set()
    {
        {
            std::lock_guard lock(mutex_);
            stopped_ = true;
        }
        cv_.notify_all();
    }
    void reset()
    {
        std::lock_guard lock(mutex_);
        stopped_ = false;
    }
    void wake()
    {
        {
            std::lock_guard lock(mutex_);
            ++wakes_;
        }
        cv_.notify_all();
    }
    bool isSet()
    {
        std::lock_guard lock(mutex_);
        return stopped_;
    }

private:
    std::mutex mutex_;
    std::condition_variable cv_;
    bool stopped_ = false;
    unsigned wakes_ = 0;
};

} // namespace q9
