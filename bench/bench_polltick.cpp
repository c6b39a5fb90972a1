// SPDX-License-Identifier: GPL-3.0-or-later
// Host CPU time of one quiet poll tick: the settings refresh and the signal
// status display against the emulated box at zero latency on a virtual clock,
// so that only the program's own work (six exchanges through the link, the
// refresh plan, the widget updates and the status decoding) is measured.

#include "support/windowharness.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

void quietPollTick(benchmark::State &state)
{
    WindowHarness h;
    MainWindow *window = h.start();
    // The first tick re-reads the EDID (the pending flag is set at start);
    // the ticks after it are the steady 3000 ms load.
    h.tick();
    h.clearLogs();
    h.tick();
    if (window->edidPending() || h.bridge.sentFrames().size() != 6) {
        state.SkipWithError("the tick is not quiet: EDID pending or not six exchanges");
        return;
    }
    for (auto _ : state) {
        h.tick();
        // Keeps the frame log from growing over millions of ticks.
        h.bridge.clearFrameLog();
    }
    state.counters["exchanges/tick"] = 6;
}

BENCHMARK(quietPollTick)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
