// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/requests.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <benchmark/benchmark.h>

using namespace vortalex;

namespace {

class NoObserver : public RequestObserver
{
public:
    void requestEvent(RequestEvent) override { }
};

// The whole host path of one exchange: request operation, link, bridge and
// the box's answer, at zero latency on a virtual clock.
struct Path
{
    VirtualClock clock;
    EmulatedBox box { clock };
    SimBridge bridge { clock, box };
    UsbLink link { bridge, clock, [](LinkNotice) {} };
    NoObserver observer;
    BoxRequests requests { link, observer };

    Path()
    {
        std::uint32_t index = 0;
        link.findDevice(UsbLink::kBoxIdString, index);
        link.openDevice(index);
    }
};

void readSettingsBlock(benchmark::State &state)
{
    Path path;
    Response response;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.requests.readSettingsBlock(response));
        path.bridge.clearFrameLog(); // keep the log from growing without bound
    }
}

void writeSetting(benchmark::State &state)
{
    Path path;
    std::uint8_t value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(path.requests.writeSetting(27, value ^= 1));
        path.bridge.clearFrameLog();
    }
}

} // namespace

BENCHMARK(readSettingsBlock);
BENCHMARK(writeSetting);

BENCHMARK_MAIN();
