// SPDX-License-Identifier: GPL-3.0-or-later
#include "hexargument.h"

#include "cec/cecrequests.h"

#include <QRegularExpression>

namespace vortalex {

namespace {

// "XX:XX" takes five characters, each further byte three.
int bytesInChars(int chars)
{
    return (chars + 1) / 3;
}

} // namespace

QString hexListProblem(const QString &text, int maxChars)
{
    const QString limits = QStringLiteral("%1 to %2 hex bytes separated by colons, such as 50:04")
                               .arg(bytesInChars(kMinListChars))
                               .arg(bytesInChars(maxChars));
    if (text.size() < kMinListChars || text.size() > maxChars)
        return QStringLiteral("the hex list holds %1 characters; give %2")
            .arg(text.size())
            .arg(limits);
    static const QRegularExpression pattern(QStringLiteral("^[0-9A-Fa-f]{2}(:[0-9A-Fa-f]{2})+$"));
    if (!pattern.match(text).hasMatch())
        return QStringLiteral("bad hex list \"%1\"; give %2").arg(text, limits);
    return QString();
}

} // namespace vortalex
