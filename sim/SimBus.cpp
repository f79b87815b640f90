#include "sim/SimBus.h"

#include <algorithm>
#include <cstring>

namespace q9::sim {

using Clock = std::chrono::steady_clock;

SimInterface::SimInterface(SimInterfaceInfo info, SimDeviceEndpoint* device)
    : info_(std::move(info)), device_(device)
{
    if (!info_.attributeVid && !info_.attributePid) {
        info_.attributeVid = info_.vid;
        info_.attributePid = info_.pid;
    }
}

bool SimInterface::plugged() const
{
    std::lock_guard lock(mutex_);
    return plugged_;
}

void SimInterface::sendInput(const uint8_t* data, size_t length, std::chrono::microseconds delay)
{
    const auto now = Clock::now();
    const auto due = now + delay;
    std::lock_guard lock(mutex_);
    if (!plugged_)
        return;
    for (SimHandle* h : handles_)
        h->push(std::vector<uint8_t>(data, data + length), due);
    while (!inFlight_.empty() && inFlight_.front().first <= now)
        inFlight_.pop_front();
    if (due > now)
        inFlight_.emplace_back(due, std::vector<uint8_t>(data, data + length));
}

std::shared_ptr<SimHandle> SimInterface::open(bool wantRead, bool wantWrite)
{
    auto handle = std::make_shared<SimHandle>(shared_from_this(), wantRead, wantWrite);
    std::lock_guard lock(mutex_);
    if (!plugged_)
        return nullptr;
    if (wantRead) {
        handles_.push_back(handle.get());
        const auto now = Clock::now();
        for (const auto& [due, bytes] : inFlight_)
            if (due > now)
                handle->push(bytes, due);
    }
    return handle;
}

void SimInterface::forget(SimHandle* handle)
{
    std::lock_guard lock(mutex_);
    handles_.erase(std::remove(handles_.begin(), handles_.end(), handle), handles_.end());
}

bool SimInterface::hostWrite(const uint8_t* data, size_t length, bool control)
{
    std::shared_lock deviceLock(deviceMutex_);
    if (!plugged() || !device_)
        return false;
    if (control)
        device_->onSetOutputReport(*this, data, length);
    else
        device_->onOutputReport(*this, data, length);
    return true;
}

void SimInterface::setPlugged(bool on)
{
    std::lock_guard lock(mutex_);
    plugged_ = on;
    if (!on)
        for (SimHandle* h : handles_)
            h->markGone();
}

void SimInterface::detachDevice()
{
    setPlugged(false);
    std::unique_lock deviceLock(deviceMutex_);
    device_ = nullptr;
}

SimHandle::SimHandle(std::shared_ptr<SimInterface> iface, bool wantRead, bool wantWrite)
    : iface_(std::move(iface)), wantRead_(wantRead), wantWrite_(wantWrite)
{
}

SimHandle::~SimHandle() { iface_->forget(this); }

HidAttributes SimHandle::attributes() const
{
    const auto& info = iface_->info();
    return {info.attributeVid, info.attributePid, info.version};
}

std::vector<uint8_t> SimHandle::descriptor() const { return iface_->info().descriptor; }

void SimHandle::push(std::vector<uint8_t> report, Clock::time_point due)
{
    {
        std::lock_guard lock(mutex_);
        queue_.push_back({due, std::move(report)});
    }
    cv_.notify_all();
}

void SimHandle::markGone()
{
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
    }
    cv_.notify_all();
}

void SimHandle::abort()
{
    {
        std::lock_guard lock(mutex_);
        aborted_ = true;
    }
    cv_.notify_all();
}

IoStatus SimHandle::readReport(uint8_t* buffer, size_t capacity, size_t& length, int timeoutMs)
{
    length = 0;
    if (!wantRead_)
        return IoStatus::Error;
    std::unique_lock lock(mutex_);
    const bool forever = timeoutMs < 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(forever ? 0 : timeoutMs);
    for (;;) {
        if (aborted_)
            return IoStatus::Aborted;
        if (gone_)
            return IoStatus::Error;
        const auto now = Clock::now();
        if (!queue_.empty() && queue_.front().due <= now) {
            const std::vector<uint8_t>& r = queue_.front().bytes;
            length = std::min(capacity, r.size());
            std::memcpy(buffer, r.data(), length);
            queue_.pop_front();
            return IoStatus::Ok;
        }
        if (!forever && now >= deadline)
            return IoStatus::Timeout;
        // Wake at the earliest of: the next report falling due, the deadline, a push or an abort.
        auto until = forever ? Clock::time_point::max() : deadline;
        if (!queue_.empty())
            until = std::min(until, queue_.front().due);
        if (until == Clock::time_point::max())
            cv_.wait(lock);
        else
            cv_.wait_until(lock, until);
    }
}

IoStatus SimHandle::writeReport(const uint8_t* data, size_t length, int)
{
    {
        std::lock_guard lock(mutex_);
        if (aborted_)
            return IoStatus::Aborted;
        if (gone_ || !wantWrite_)
            return IoStatus::Error;
    }
    return iface_->hostWrite(data, length, false) ? IoStatus::Ok : IoStatus::Error;
}

bool SimHandle::setOutputReport(const uint8_t* data, size_t length)
{
    {
        std::lock_guard lock(mutex_);
        if (aborted_ || gone_ || !wantWrite_)
            return false;
    }
    return iface_->hostWrite(data, length, true);
}

std::shared_ptr<SimInterface> SimBus::add(SimInterfaceInfo info, SimDeviceEndpoint* device)
{
    auto iface = std::make_shared<SimInterface>(std::move(info), device);
    iface->setPlugged(true);
    {
        std::lock_guard lock(mutex_);
        interfaces_.push_back(iface);
    }
    changes_.raise();
    return iface;
}

void SimBus::remove(const std::shared_ptr<SimInterface>& iface)
{
    if (!iface)
        return;
    iface->setPlugged(false);
    {
        std::lock_guard lock(mutex_);
        interfaces_.erase(std::remove(interfaces_.begin(), interfaces_.end(), iface), interfaces_.end());
    }
    changes_.raise();
}

std::vector<std::shared_ptr<SimInterface>> SimBus::plugged() const
{
    std::lock_guard lock(mutex_);
    std::vector<std::shared_ptr<SimInterface>> out;
    for (const auto& i : interfaces_)
        if (i->plugged())
            out.push_back(i);
    return out;
}

std::shared_ptr<SimInterface> SimBus::find(const std::string& node) const
{
    std::lock_guard lock(mutex_);
    for (const auto& i : interfaces_)
        if (i->info().node == node)
            return i;
    return nullptr;
}

bool SimBackend::listNodes(std::vector<HidNodeInfo>& nodes)
{
    nodes.clear();
    for (const auto& iface : bus_->plugged()) {
        const SimInterfaceInfo& i = iface->info();
        nodes.push_back({i.node, i.vid, i.pid, i.version, i.interfaceNumber, i.descriptor});
    }
    return true;
}

std::shared_ptr<HidNode> SimBackend::openNode(const std::string& node, bool wantRead, bool wantWrite)
{
    auto iface = bus_->find(node);
    return iface ? iface->open(wantRead, wantWrite) : nullptr;
}

bool SimBackend::nodePresent(const std::string& node, uint16_t vid, uint16_t pid)
{
    auto iface = bus_->find(node);
    return iface && iface->plugged() && iface->info().vid == vid && iface->info().pid == pid;
}

bool SimBackend::ownsNode(const std::string& node) const { return node.rfind("sim:", 0) == 0; }

} // namespace q9::sim
