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

#include "device/KeyboardRecords.h"
#include "support/SimKeyboard.h"

namespace {

// One frame of the host light stream: the 170 zone colours made into the keyboard's frame and
// sent to the emulated keyboard on its cable.
void BM_HostLightFrame(benchmark::State& state)
{
    q9::test::SimKeyboard sim;
    sim.keyboard->plugCable();
    q9::CommandChannel channel(sim.backend);
    if (!sim.openChannel(channel, false)) {
        state.SkipWithError("cannot open the simulated keyboard");
        return;
    }
    const size_t leds = sim.keyboard->keys().size();
    channel.setBlockSize(3 * leds);
    std::vector<uint8_t> ledOf(170, 255);
    for (size_t k = 0; k < leds; ++k)
        ledOf[k] = sim.keyboard->ledBlock()[k];
    std::array<uint32_t, 170> zones{};
    std::array<uint8_t, 3 * 170> frame{};
    uint32_t phase = 0;
    size_t n = 0;
    for (auto _ : state) {
        for (size_t i = 0; i < zones.size(); ++i)
            zones[i] = (phase + uint32_t(i)) * 0x01030507u | 0xFF;
        q9::buildHostFrame(zones.data(), ledOf.data(), zones.size(), leds, frame.data());
        if (channel.writeLightFrame(frame.data(), 3 * leds) != q9::ResultOk) {
            state.SkipWithError("frame refused");
            break;
        }
        ++phase;
        if (++n % 1024 == 0)
            sim.keyboard->clearReceived();
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

BENCHMARK(BM_HostLightFrame)->MeasureProcessCPUTime();

} // namespace
