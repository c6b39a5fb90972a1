// SPDX-License-Identifier: GPL-3.0-or-later
// One start-up of the utility against the emulated box, along the programs'
// own path (runApplication: the window finds the box and syncs with it, the
// style sheet is set, the window is shown, the event loop runs) on the system
// clock with the box answering at once (latency 0, or --latency MS). Once the
// event loop has run it reports when that was, whether the ready flag was
// set, how long the pauses of the sync slept, and its peak memory, then ends.
#include "benchreport.h"

#include "app/appcontext.h"
#include "app/dialogs.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

// The system clock, adding up what the program sleeps.
class PauseCountingClock : public vortalex::SystemClock
{
public:
    void sleep(std::uint32_t ms) override
    {
        sleptMs += ms;
        SystemClock::sleep(ms);
    }
    std::uint64_t sleptMs = 0;
};

} // namespace

int main(int argc, char *argv[])
{
    const std::int64_t mainNs = benchreport::monotonicNs();
    unsigned latencyMs = 0;
    if (argc == 3 && std::strcmp(argv[1], "--latency") == 0)
        latencyMs = unsigned(std::strtoul(argv[2], nullptr, 10));

    QApplication app(argc, argv);
    PauseCountingClock clock;
    vortalex::EmulatedBox box(clock);
    vortalex::SimBridge bridge(clock, box);
    bridge.setLatency(latencyMs);
    vortalex::QtDialogs dialogs;
    vortalex::AppContext context { bridge, clock, dialogs, vortalex::writeDiagnosticLine,
        vortalex::exitProcessNow, {} };

    // Runs in the event loop that runApplication starts, after the window is shown.
    QTimer::singleShot(0, &app, [&] {
        const double shownMs = benchreport::msSinceLaunch(mainNs);
        bool ready = false;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<MainWindow *>(widget))
                ready = window->isReady() && window->isVisible();
        }
        std::printf("shown_ms=%.3f\nready=%d\npauses_ms=%llu\nexchanges=%d\npeak_kib=%ld\n",
            shownMs, ready ? 1 : 0, static_cast<unsigned long long>(clock.sleptMs),
            bridge.exchangeCount(), benchreport::peakResidentKiB());
        std::fflush(stdout);
        app.quit();
    });
    return vortalex::runApplication(app, context);
}
