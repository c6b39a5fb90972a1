// SPDX-License-Identifier: GPL-3.0-or-later
#include "intervalargument.h"

#include "text/echoedtext.h"

namespace vortalex {

QString parseIntervalArgument(const QString &text, unsigned &ms)
{
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds >= 0.1 && seconds <= 3600))
        return QStringLiteral("--interval takes seconds from 0.1 to 3600, not \"%1\"")
            .arg(echoedText(text));
    ms = unsigned(seconds * 1000 + 0.5);
    return QString();
}

} // namespace vortalex
