// SPDX-License-Identifier: GPL-3.0-or-later
// Wall time of one EDID read and one EDID write against the emulated box on
// the system clock, with 1 ms latency per exchange. The "floor_ms" counter is
// what the fixed pauses and that latency alone cost; the rest is the program.
#include "boxedid/edidtransfer.h"
#include "emulated/simbridge.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

using namespace vortalex;

namespace {

constexpr std::uint32_t kLatencyMs = 1;

class NoObserver : public RequestObserver
{
public:
    void requestEvent(RequestEvent) override { }
};

struct Bench
{
    SystemClock clock;
    EmulatedBox box { clock };
    SimBridge bridge { clock, box };
    NoObserver observer;
    UsbLink link { bridge, clock, [](LinkNotice) {} };
    BoxRequests requests { link, observer };

    Bench()
    {
        bridge.setLatency(kLatencyMs);
        std::uint32_t index = 0;
        if (!link.findDevice(UsbLink::kBoxIdString, index) || !link.openDevice(index))
            std::abort();
    }
};

void noProgress(int, int) { }

void BM_EdidRead(benchmark::State &state)
{
    Bench b;
    EdidTable table {};
    for (auto _ : state) {
        if (!readEdid(b.requests, b.clock, EdidSource::TvA, noProgress, table))
            state.SkipWithError("read failed");
    }
    // Fetch, one settings read (the box is idle again within the 100 ms
    // pause), 16 chunk reads; 100 ms and 10 ms of pauses.
    const int exchanges = 1 + 1 + kEdidSize / kEdidReadChunk;
    state.counters["floor_ms"]
        = double(kEdidFetchPauseMs + kEdidBusyPollPauseMs) + exchanges * double(kLatencyMs);
    state.counters["exchanges"] = exchanges;
}

void BM_EdidWrite(benchmark::State &state)
{
    Bench b;
    const EdidTable table = [&] {
        EdidTable t {};
        const QByteArray edid = b.box.edid(EdidSource::TvB);
        std::copy_n(edid.constData(), kEdidSize, t.begin());
        return t;
    }();
    for (auto _ : state) {
        if (!writeEdid(b.requests, b.clock, table, noProgress).applied)
            state.SkipWithError("write failed");
    }
    // 32 chunk writes, each followed by 30 ms, and the apply request.
    const int exchanges = kEdidWriteChunkCount + 1;
    state.counters["floor_ms"]
        = kEdidWriteChunkCount * double(kEdidChunkWritePauseMs) + exchanges * double(kLatencyMs);
    state.counters["exchanges"] = exchanges;
}

} // namespace

BENCHMARK(BM_EdidRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_EdidWrite)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK_MAIN();
