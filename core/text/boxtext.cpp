// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxtext.h"

#include <QList>

namespace vortalex {

QByteArray toBoxText(const QString &plainText)
{
    // Code points, not UTF-16 units: a character beyond the BMP is one
    // character and one '?'. A lone surrogate arrives as U+FFFD, also '?'.
    const QList<uint> codePoints = plainText.toUpper().toUcs4();
    QByteArray text;
    text.reserve(codePoints.size());
    for (const uint codePoint : codePoints)
        text.append(codePoint <= 0xFF ? char(codePoint) : '?');
    return text;
}

} // namespace vortalex
