// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-demo: the same window against the emulated box, for trying the
// program without hardware and for bug reports (frame log).
#include "app/appcontext.h"
#include "app/commandline.h"
#include "link/clock.h"
#include "link/framelog.h"
#include "app/dialogs.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"
#include "app/startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

namespace {

constexpr unsigned kDefaultLatencyMs = 2;
constexpr unsigned kMaxLatencyMs = 60000;

bool parseLatency(const QString &text, unsigned &value)
{
    bool ok = false;
    const unsigned parsed = text.toUInt(&ok);
    if (!ok || parsed > kMaxLatencyMs || text.startsWith(QLatin1Char('+')))
        return false;
    value = parsed;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString description
        = QStringLiteral("Runs the VORTALEX Utility against an emulated box.");
    const QCommandLineOption latencyOption(QStringLiteral("latency"),
        QStringLiteral("Answer delay of the emulated box, 0 to %1 (default %2).")
            .arg(kMaxLatencyMs)
            .arg(kDefaultLatencyMs),
        QStringLiteral("ms"), QString::number(kDefaultLatencyMs));
    vortalex::answerHelpAndVersionWithoutGui(argc, argv, "vortalex-demo", description,
        [&latencyOption](QCommandLineParser &parser) { parser.addOption(latencyOption); });
    QApplication app(argc, argv);
    vortalex::setWindowProgramInfo("vortalex-demo");

    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    vortalex::addWindowProgramOptions(parser);
    parser.addOption(latencyOption);
    parser.process(app);

    unsigned latencyMs = kDefaultLatencyMs;
    if (!parseLatency(parser.value(latencyOption), latencyMs)) {
        std::fprintf(stderr, "vortalex-demo: bad latency '%s': give whole milliseconds, 0 to %u\n",
            qPrintable(parser.value(latencyOption)), kMaxLatencyMs);
        return 1;
    }

    vortalex::SystemClock clock;
    vortalex::EmulatedBox box(clock);
    vortalex::SimBridge bridge(clock, box);
    bridge.setLatency(latencyMs);

    vortalex::FrameLogFile log;
    if (!vortalex::applyWindowProgramOptions(parser, log, clock.tickCount()))
        return 1;
    if (log.isOpen())
        bridge.setFrameObserver(log.observer());

    vortalex::QtDialogs dialogs;
    vortalex::AppContext context { bridge, clock, dialogs, vortalex::writeDiagnosticLine,
        vortalex::exitProcessNow, {} };
    return vortalex::runApplication(app, context);
}
