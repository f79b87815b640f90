#pragma once
// Window messages of the program: registered names with process-wide ids, the numbered private
// messages, and a message target (a window's handler on the UI thread) that other threads send
// and post to. Send from the UI thread is a direct call; from another thread it waits until the
// UI thread has handled the message, unless the target is shutting down.
#include <QObject>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class QTimer;

namespace q9 {

// Numbers the program shares with its companions.
enum : uint32_t {
    WM_CLOSE_MSG = 0x0010,
    WM_COPYDATA_MSG = 0x004A,
    WM_TIMER_MSG = 0x0113,
    kFirstRegisteredMessage = 0xC000,
};

// The same name gives the same id for the whole run; ids count up from 0xC000 in first-registration
// order. Returns 0 only when the id space is exhausted.
uint32_t registerWindowMessage(const std::string& name);
// The id of a name registered before; 0 when it never was (nothing is registered by asking).
uint32_t findRegisteredMessage(const std::string& name);
// The name of a registered id; empty when the id was never registered.
std::string registeredMessageName(uint32_t id);

struct CopyData {
    uint64_t dwData = 0;
    std::vector<uint8_t> bytes;
};

class MessageTarget {
public:
    MessageTarget();
    virtual ~MessageTarget();
    MessageTarget(const MessageTarget&) = delete;
    MessageTarget& operator=(const MessageTarget&) = delete;

    // Called on the UI thread for every message; data is set for copy-data messages.
    virtual intptr_t handleMessage(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* data) = 0;

    intptr_t send(uint32_t msg, uint64_t wParam, int64_t lParam, const CopyData* data = nullptr);
    void post(uint32_t msg, uint64_t wParam, int64_t lParam, CopyData data = {});

    // One-shot timers keyed by id: the handler gets the timer message with wParam = id.
    // Starting a running id restarts it.
    void setTimer(uint32_t id, int milliseconds);
    void killTimer(uint32_t id);
    bool timerActive(uint32_t id) const;

    // From now on cross-thread sends return 0 at once and waiting ones are released: a worker
    // blocked in send() must never keep the shut-down from joining it.
    void stopAcceptingSends();
    bool acceptingSends() const { return accepting_.load(); }

private:
    class Receiver;
    std::unique_ptr<Receiver> receiver_;
    std::atomic<bool> accepting_{true};
    std::mutex waitersMutex_;
    std::vector<std::weak_ptr<void>> waiters_; // senders waiting on another thread

};

} // namespace q9
