// vortalex-demo: the same window against the emulated box, for trying the
// program without hardware and for bug reports (frame log).
#include "appcontext.h"
#include "device/clock.h"
#include "device/framelog.h"
#include "dialogs.h"
#include "sim/emulatedbox.h"
#include "sim/simbridge.h"
#include "startup.h"

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

const char kUsage[]
    = "Usage: vortalex-demo [--frame-log FILE] [--latency MS] [--help]\n"
      "Runs the VORTALEX Utility against an emulated box.\n"
      "  --frame-log FILE  append one line per frame to FILE:\n"
      "                    <ms since start> <'>' to box | '<' from box> <hex bytes>\n"
      "  --latency MS      answer delay of the emulated box (default 2)\n"
      "  --help            show this text\n";

struct DemoOptions
{
    QString frameLog;
    unsigned latencyMs = 2;
};

bool parseLatency(const char *text, unsigned &value)
{
    char *end = nullptr;
    const unsigned long parsed = std::strtoul(text, &end, 10);
    if (*text == '\0' || *end != '\0' || *text == '-' || parsed > 60000)
        return false;
    value = unsigned(parsed);
    return true;
}

// Returns -1 to go on, otherwise the exit code.
int parseOptions(int argc, char *argv[], DemoOptions &options)
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        if (std::strcmp(arg, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(arg, "--frame-log") == 0 && i + 1 < argc) {
            options.frameLog = QString::fromLocal8Bit(argv[++i]);
            continue;
        }
        if (std::strcmp(arg, "--latency") == 0 && i + 1 < argc
            && parseLatency(argv[i + 1], options.latencyMs)) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "vortalex-demo: bad option '%s'\n", arg);
        std::fputs(kUsage, stderr);
        return 2;
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    DemoOptions options;
    const int exitCode = parseOptions(argc, argv, options);
    if (exitCode >= 0)
        return exitCode;

    QApplication app(argc, argv);
    vortalex::SystemClock clock;
    vortalex::EmulatedBox box(clock);
    vortalex::SimBridge bridge(clock, box);
    bridge.setLatency(options.latencyMs);

    vortalex::FrameLogFile log;
    if (!options.frameLog.isEmpty()) {
        QString error;
        if (!log.open(options.frameLog, error)) {
            std::fprintf(stderr, "vortalex-demo: cannot open frame log %s: %s\n",
                qPrintable(options.frameLog), qPrintable(error));
            return 2;
        }
        log.setStart(clock.tickCount());
        bridge.setFrameObserver(log.observer());
    }

    vortalex::QtDialogs dialogs;
    vortalex::AppContext context { bridge, clock, dialogs, vortalex::writeDiagnosticLine,
        vortalex::exitProcessNow, {} };
    return vortalex::runApplication(app, context);
}
