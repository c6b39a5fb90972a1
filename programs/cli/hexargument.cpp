// SPDX-License-Identifier: GPL-3.0-or-later
#include "hexargument.h"

#include "cec/cecrequests.h"
#include "infoframe/infoframehex.h"
#include "text/echoedtext.h"

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
    const InfoFrameBytes list = readInfoFrameText(text);
    if (!list.ok)
        return QStringLiteral("bad hex list \"%1\": %2; give %3")
            .arg(echoedText(text), list.error, limits);
    return QString();
}

} // namespace vortalex
