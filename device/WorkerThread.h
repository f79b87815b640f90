#pragma once
// A device object's worker: started with a body that waits on its stop event, stopped with a
// bounded wait whose outcome is traced. A thread cannot be killed safely in C++: every blocking
// call a body makes is abortable (the abort callback closes what it waits on), so the wait ends;
// should it not within the bound, the stop is traced as a time-out and then waited out, because
// letting the thread run on over a freed object would be worse than a late return.
#include "hid/StopEvent.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace q9 {

class WorkerThread {
public:
    WorkerThread() = default;
    ~WorkerThread() { stop(1000); }
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void start(std::function<void(StopEvent&)> body);
    // Returns true when the thread ended within the bound.
    bool stop(int timeoutMs, const std::function<void()>& abort = {});
    bool running() const;
    StopEvent& stopEvent() { return stop_; }
    void wake() { stop_.wake(); }

private:
    std::thread thread_;
    StopEvent stop_;
    mutable std::mutex mutex_;
    std::condition_variable ended_;
    bool finished_ = true;
};

} // namespace q9
