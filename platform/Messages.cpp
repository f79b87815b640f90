#include "platform/Messages.h"

#include "platform/HandOver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>

namespace q9 {

namespace {

std::mutex g_namesMutex;
std::map<std::string, uint32_t>& names()
{
    static std::map<std::string, uint32_t> m;
    return m;
}
std::vector<std::string>& idsInOrder()
{
    static std::vector<std::string> v;
    return v;
}

struct SendState {
    std::mutex mutex;
    std::condition_variable cv;
    bool done = false;
    intptr_t result = 0;

    void finish(intptr_t r)
    {
        {
            std::lock_guard lock(mutex);
            if (done)
                return;
            done = true;
            result = r;
        }
        cv.notify_all();
    }
};

const QEvent::Type kMessageEvent = QEvent::Type(QEvent::registerEventType());

class MessageEvent final : public QEvent {
public:
    MessageEvent(uint32_t m, uint64_t w, int64_t l, CopyData d, bool withData, std::shared_ptr<SendState> s)
        : QEvent(kMessageEvent), msg(m), wParam(w), lParam(l), data(std::move(d)), hasData(withData), state(std::move(s))
    {
    }
    // A send whose event is dropped unhandled (target gone) must not leave its sender waiting.
    ~MessageEvent() override
    {
        if (state)
            state->finish(0);
    }
    uint32_t msg;
    uint64_t wParam;
    int64_t lParam;
    CopyData data;
    bool hasData;
    std::shared_ptr<SendState> state;
};

} // namespace

uint32_t registerWindowMessage(const std::string& name)
{
    std::lock_guard lock(g_namesMutex);
    auto it = names().find(name);
    if (it != names().end())
        return it->second;
    if (idsInOrder().size() >= 0x4000)
        return 0;
    const uint32_t id = kFirstRegisteredMessage + uint32_t(idsInOrder().size());
    names().emplace(name, id);
    idsInOrder().push_back(name);
    return id;
}

uint32_t findRegisteredMessage(const std::string& name)
{
    std::lock_guard lock(g_namesMutex);
    auto it = names().find(name);
    return it == names().end() ? 0 : it->second;
}

std::string registeredMessageName(uint32_t id)
{
    std::lock_guard lock(g_namesMutex);
    if (id < kFirstRegisteredMessage || id - kFirstRegisteredMessage >= idsInOrder().size())
        return {};
    return idsInOrder()[id - kFirstRegisteredMessage];
}

class MessageTarget::Receiver final : public QObject {
public:
    explicit Receiver(MessageTarget& target) : target_(target) {}

    bool event(QEvent* e) override
    {
        markTakeOver(e);
        if (e->type() != kMessageEvent)
            return QObject::event(e);
        auto* m = static_cast<MessageEvent*>(e);
        const intptr_t r = target_.handleMessage(m->msg, m->wParam, m->lParam, m->hasData ? &m->data : nullptr);
        if (m->state)
            m->state->finish(r);
        return true;
    }

    QTimer* timer(uint32_t id, bool create)
    {
        auto it = timers_.find(id);
        if (it != timers_.end() || !create)
            return it == timers_.end() ? nullptr : it->second;
        auto* t = new QTimer(this);
        t->setSingleShot(true);
        QObject::connect(t, &QTimer::timeout, this, [this, id] { target_.handleMessage(WM_TIMER_MSG, id, 0, nullptr); });
        timers_.emplace(id, t);
        return t;
    }

private:
    MessageTarget& target_;
    std::map<uint32_t, QTimer*> timers_;
};

MessageTarget::MessageTarget() : receiver_(std::make_unique<Receiver>(*this)) {}

MessageTarget::~MessageTarget() { stopAcceptingSends(); }

intptr_t MessageTarget::send(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* data)
{
    if (QThread::currentThread() == receiver_->thread())
        return handleMessage(msg, wParam, lParam, data);
    if (!accepting_)
        return 0;
    auto state = std::make_shared<SendState>();
    {
        std::lock_guard lock(waitersMutex_);
        if (!accepting_)
            return 0;
        waiters_.erase(std::remove_if(waiters_.begin(), waiters_.end(), [](const auto& w) { return w.expired(); }),
                       waiters_.end());
        waiters_.push_back(state);
    }
    auto* e = new MessageEvent(msg, wParam, lParam, data ? *data : CopyData{}, data != nullptr, state);
    markHandOver(e);
    QCoreApplication::postEvent(receiver_.get(), e);
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return state->done; });
    return state->result;
}

void MessageTarget::post(uint32_t msg, uint64_t wParam, int64_t lParam, CopyData data)
{
    const bool hasData = !data.bytes.empty() || data.dwData != 0;
    auto* e = new MessageEvent(msg, wParam, lParam, std::move(data), hasData, nullptr);
    markHandOver(e);
    QCoreApplication::postEvent(receiver_.get(), e);
}

void MessageTarget::setTimer(uint32_t id, int milliseconds)
{
    QTimer* t = receiver_->timer(id, true);
    t->start(std::max(0, milliseconds));
}

void MessageTarget::killTimer(uint32_t id)
{
    if (QTimer* t = receiver_->timer(id, false))
        t->stop();
}

bool MessageTarget::timerActive(uint32_t id) const
{
    QTimer* t = receiver_->timer(id, false);
    return t && t->isActive();
}

void MessageTarget::stopAcceptingSends()
{
    std::vector<std::weak_ptr<void>> waiters;
    {
        std::lock_guard lock(waitersMutex_);
        accepting_ = false;
        waiters.swap(waiters_);
    }
    for (const auto& w : waiters)
        if (auto state = std::static_pointer_cast<SendState>(w.lock()))
            state->finish(0);
}

} // namespace q9
