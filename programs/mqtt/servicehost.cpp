// SPDX-License-Identifier: GPL-3.0-or-later
#include "servicehost.h"

#include "servicelog.h"

#include <QByteArrayList>

namespace vortalex {

void ServiceHost::writeOut(const QByteArray &bytes)
{
    writeErr(bytes);
}

void ServiceHost::writeErr(const QByteArray &bytes)
{
    // The session names the service in its own lines; the window's messages
    // it passes on get the name from the log.
    const QByteArray prefix = programName().toUtf8() + ": ";
    for (const QByteArray &line : bytes.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        logLine(QString::fromUtf8(line.startsWith(prefix) ? line.mid(prefix.size()) : line));
    }
}

} // namespace vortalex
