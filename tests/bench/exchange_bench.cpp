// Host cost of one command exchange against a zero-latency emulated mouse. The emulator answers in
// the writing thread, so the figure is the host's framing, transport and locking plus the emulator.
#include "hid/CommandChannel.h"
#include "platform/Trace.h"
#include "support/SimMouse.h"

#include <benchmark/benchmark.h>

namespace {

void exchangeLoop(benchmark::State& state, bool traces)
{
    q9::test::SimMouse sim;
    sim.mouse->plugCable();
    q9::CommandChannel channel(sim.backend);
    if (!sim.openChannel(channel, false)) {
        state.SkipWithError("cannot open the simulated mouse");
        return;
    }
    q9::setTraceCapture(traces);
    uint8_t current = 0;
    size_t n = 0;
    for (auto _ : state) {
        if (channel.readSettings(0, &current, 1) != q9::ResultOk) {
            state.SkipWithError("exchange failed");
            break;
        }
        if (++n % 4096 == 0) {
            sim.mouse->clearReceived(); // the emulator records every report
            q9::clearCapturedTraces();
        }
    }
    q9::setTraceCapture(false);
    q9::clearCapturedTraces();
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_ExchangeTracesOff(benchmark::State& state) { exchangeLoop(state, false); }
void BM_ExchangeTracesOn(benchmark::State& state) { exchangeLoop(state, true); }

BENCHMARK(BM_ExchangeTracesOff);
BENCHMARK(BM_ExchangeTracesOn);

} // namespace
