// SPDX-License-Identifier: GPL-3.0-or-later
#include "cecmessage.h"

namespace vortalex {

QString cecMessageLengthProblem(int byteCount)
{
    if (byteCount <= kMaxCecMessageBytes)
        return QString();
    return QStringLiteral("a CEC message holds at most %1 bytes; this one has %2")
        .arg(kMaxCecMessageBytes)
        .arg(byteCount);
}

} // namespace vortalex
