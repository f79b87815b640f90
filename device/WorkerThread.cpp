#include "device/WorkerThread.h"

#include "platform/Trace.h"

namespace q9 {

void WorkerThread::start(std::function<void(StopEvent&)> body)
{
    stop(1000);
    stop_.reset();
    {
        std::lock_guard lock(mutex_);
        finished_ = false;
    }
    thread_ = std::thread([this, body = std::move(body)] {
        body(stop_);
        {
            std::lock_guard lock(mutex_);
            finished_ = true;
        }
        ended_.notify_all();
    });
}

bool WorkerThread::stop(int timeoutMs, const std::function<void()>& abort)
{
    if (!thread_.joinable())
        return true;
    stop_.set();
    if (abort)
        abort();
    bool inTime;
    {
        std::unique_lock lock(mutex_);
        inTime = ended_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return finished_; });
    }
    trace(inTime ? "线程退出：：对象处于激发状态\n" : "线程退出：：对象处于非激发状态，超时\n");
    thread_.join();
    return inTime;
}

bool WorkerThread::running() const
{
    std::lock_guard lock(mutex_);
    return !finished_;
}

} // namespace q9
