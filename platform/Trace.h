#pragma once
// Diagnostic traces: the program's debugger output. Two listeners exist: standard error (when the
// environment variable Q9ZEN_TRACE=1 is set at start) and a bounded in-memory ring that tests and
// diagnostics switch on. With neither listening, callers skip formatting entirely (traceEnabled()).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace q9 {

// True when some listener wants traces; one relaxed atomic load.
bool traceEnabled();

// Writes one trace line to every listener. Cheap no-op when nothing listens.
void trace(std::string_view text);

// Formats only when something listens.
template <class MakeText>
inline void traceLazy(MakeText&& make)
{
    if (traceEnabled())
        trace(make());
}

// The in-memory ring.
void setTraceCapture(bool on);
std::vector<std::string> capturedTraces();
void clearCapturedTraces();
constexpr std::size_t kTraceRingCapacity = 4096;

// Standard-error listener (normally decided by Q9ZEN_TRACE at start).
void setTraceToStderr(bool on);

} // namespace q9
