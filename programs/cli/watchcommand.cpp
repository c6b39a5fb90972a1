// SPDX-License-Identifier: GPL-3.0-or-later
// watch: the signal status display, polled as the window polls it, printed
// each time it changes.
#include "clicommands.h"
#include "clisession.h"
#include "statusjson.h"

#include "program/commandline.h"

#include <QJsonArray>

namespace vortalex {

int runWatchCommand(CliSession &session, const QStringList &args)
{
    if (!args.isEmpty())
        return session.fail(
            CliExit::BadUsage, unexpectedWord({ QStringLiteral("watch") }, args[0]));
    if (!session.connect())
        return session.exitCode();
    const std::uint32_t interval = session.options().intervalMs;
    std::uint32_t next = session.clock().tickCount();
    QJsonObject last;
    for (bool first = true;; first = false) {
        const std::optional<SignalStatusPages> pages = readSignalStatusPages(session.requests());
        if (!pages) {
            if (!session.boxPresent())
                return session.fail(CliExit::NoBox, QStringLiteral("the box is gone"));
            return session.boxFailed();
        }
        const QJsonObject signal = signalStatusJson(*pages);
        if (first || signal != last) {
            const QStringList lines = signalStatusLines(*pages);
            if (session.options().json)
                session.printJson({ { QStringLiteral("status"), QJsonArray::fromStringList(lines) },
                    { QStringLiteral("signal"), signal } });
            else
                session.printLine(lines.join(QLatin1String(" | ")));
            last = signal;
            // Nobody reads a watch whose output fails (a full disk); main
            // says why.
            if (session.outFailed())
                return CliExit::BadUsage;
        }
        // Reads start every interval, however long a read took.
        next += interval;
        const std::int32_t wait = std::int32_t(next - session.clock().tickCount());
        if (wait > 0)
            session.clock().sleep(std::uint32_t(wait));
    }
}

} // namespace vortalex
