// SPDX-License-Identifier: GPL-3.0-or-later
#include "servicelog.h"

#include "text/echoedtext.h"

#include <cstdio>

namespace vortalex {

void logLine(const QString &line)
{
    const QByteArray bytes
        = (QStringLiteral("vortalex-mqtt: ") + escapeControlCharacters(line)).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

} // namespace vortalex
