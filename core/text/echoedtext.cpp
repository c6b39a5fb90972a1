// SPDX-License-Identifier: GPL-3.0-or-later
#include "echoedtext.h"

namespace vortalex {

QString escapeControlCharacters(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code == '\n')
            out += QLatin1String("\\n");
        else if (code == '\t')
            out += QLatin1String("\\t");
        else if (code == '\r')
            out += QLatin1String("\\r");
        else if (code < 0x20 || code == 0x7F)
            out += QStringLiteral("\\x%1").arg(int(code), 2, 16, QLatin1Char('0'));
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format)
            out += QStringLiteral("\\u%1").arg(int(code), 4, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

QString echoedText(const QString &text)
{
    const bool cut = text.size() > kEchoedTextLimit;
    const QString escaped = escapeControlCharacters(cut ? text.left(kEchoedTextLimit) : text);
    return cut ? escaped + QLatin1String("...") : escaped;
}

} // namespace vortalex
