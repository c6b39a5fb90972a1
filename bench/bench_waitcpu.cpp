// SPDX-License-Identifier: GPL-3.0-or-later
// CPU used while a transaction waits the full 4000 ms for an answer that never
// comes: a write setting through the request operations and the link to the
// emulated box on the system clock, with the answer withheld. The receive
// queue is polled for the whole time; what that costs is the CPU time of the
// process (getrusage) against the wall time. Three runs.
#include "link/requests.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include <sys/resource.h>

using namespace vortalex;

namespace {

class NoObserver : public RequestObserver
{
public:
    void requestEvent(RequestEvent) override { }
};

double cpuMs()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

} // namespace

int main()
{
    SystemClock clock;
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    UsbLink link(bridge, clock, [](LinkNotice) {});
    NoObserver observer;
    BoxRequests requests(link, observer);
    std::uint32_t index = 0;
    if (!link.findDevice(UsbLink::kBoxIdString, index) || !link.openDevice(index))
        return 2;

    double worst = 0;
    double wallSum = 0;
    double cpuSum = 0;
    for (int run = 0; run < 3; ++run) {
        bridge.injectFault(Fault::NoAnswer);
        const double cpuBefore = cpuMs();
        const auto wallBefore = std::chrono::steady_clock::now();
        const bool answered = requests.writeSetting(27, 1);
        const double wall = std::chrono::duration<double, std::milli>(
            std::chrono::steady_clock::now() - wallBefore)
                                .count();
        const double cpu = cpuMs() - cpuBefore;
        if (answered)
            return 1;
        std::printf("# run %d: %.0f ms wall, %.1f ms CPU\n", run + 1, wall, cpu);
        wallSum += wall;
        cpuSum += cpu;
        worst = std::max(worst, cpu / wall);
    }
    std::printf("waitcpu_wall_ms=%.0f\nwaitcpu_cpu_ms=%.1f\nwaitcpu_core_fraction=%.4f\n"
                "waitcpu_worst_core_fraction=%.4f\n",
        wallSum / 3, cpuSum / 3, cpuSum / wallSum, worst);
    return 0;
}
