#include "platform/Trace.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

namespace q9 {
namespace {

enum : unsigned { kStderr = 1, kRing = 2 };

unsigned initialListeners()
{
    const char* env = std::getenv("Q9ZEN_TRACE");
    return (env && std::strcmp(env, "1") == 0) ? kStderr : 0u;
}

std::atomic<unsigned> g_listeners{initialListeners()};
std::mutex g_mutex;
std::deque<std::string> g_ring;

void setListener(unsigned bit, bool on)
{
    if (on)
        g_listeners.fetch_or(bit, std::memory_order_relaxed);
    else
        g_listeners.fetch_and(~bit, std::memory_order_relaxed);
}

} // namespace

bool traceEnabled() { return g_listeners.load(std::memory_order_relaxed) != 0; }

void trace(std::string_view text)
{
    const unsigned listeners = g_listeners.load(std::memory_order_relaxed);
    if (!listeners)
        return;
    std::lock_guard lock(g_mutex);
    if (listeners & kStderr) {
        std::fwrite(text.data(), 1, text.size(), stderr);
        std::fputc('\n', stderr);
    }
    if (listeners & kRing) {
        if (g_ring.size() == kTraceRingCapacity)
            g_ring.pop_front();
        g_ring.emplace_back(text);
    }
}

void setTraceCapture(bool on) { setListener(kRing, on); }
void setTraceToStderr(bool on) { setListener(kStderr, on); }

std::vector<std::string> capturedTraces()
{
    std::lock_guard lock(g_mutex);
    return {g_ring.begin(), g_ring.end()};
}

void clearCapturedTraces()
{
    std::lock_guard lock(g_mutex);
    g_ring.clear();
}

} // namespace q9
