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

QString hexListProblem(const QString &text, int maxChars, int maxBytes)
{
    if (maxBytes < 0)
        maxBytes = bytesInChars(maxChars);
    const int minBytes = bytesInChars(kMinListChars);
    const QString limits = QStringLiteral("%1 to %2 hex bytes separated by colons, such as 50:04")
                               .arg(minBytes)
                               .arg(maxBytes);
    if (text.size() > maxChars)
        return QStringLiteral("the hex list holds %1 characters, more than the %2 the box takes; "
                              "give %3")
            .arg(text.size())
            .arg(maxChars)
            .arg(limits);
    const InfoFrameBytes list = readInfoFrameText(text);
    if (!list.ok)
        return QStringLiteral("bad hex list \"%1\": %2; give %3")
            .arg(echoedText(text), list.error, limits);
    if (list.bytes.size() < minBytes)
        return QStringLiteral("the hex list \"%1\" holds %2 byte; give %3")
            .arg(echoedText(text))
            .arg(list.bytes.size())
            .arg(limits);
    return QString();
}

} // namespace vortalex
