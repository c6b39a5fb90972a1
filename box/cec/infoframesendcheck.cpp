// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframesendcheck.h"

#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"

namespace vortalex {

QString hdrSendProblem(const QString &text)
{
    const HdrDecode decode = decodeHdrInfoFrameText(text);
    if (!decode.ok)
        return decode.problem;
    if (!decode.hasHeader)
        return QStringLiteral("26 data bytes without the frame's header; the box takes a "
                              "whole frame: 87:01:1a, the checksum, then the data bytes");
    return decode.problem;
}

QString aviSendProblem(const QString &text)
{
    const AviDecode decode = decodeAviInfoFrameText(text);
    if (decode.dataBytes > kAviFieldDataBytes)
        return QStringLiteral("%1 data bytes; the box's AVI field holds %2")
            .arg(decode.dataBytes)
            .arg(kAviFieldDataBytes);
    return decode.problem;
}

QString aviFieldProblem(const QByteArray &dataBytes)
{
    if (dataBytes.size() <= kAviFieldDataBytes)
        return QString();
    return QStringLiteral("these values take %1 data bytes (the additional colorimetry is data "
                          "byte 14); the box's AVI field holds %2")
        .arg(dataBytes.size())
        .arg(kAviFieldDataBytes);
}

} // namespace vortalex
