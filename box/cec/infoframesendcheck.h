// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// What stands against sending a typed InfoFrame to the box, checked with the
// decoders before anything is sent; a null string when nothing does. The
// box passes on whatever it is given, so a frame the decoders refuse would
// reach the TV as it is.

// The HDR field takes a whole frame (type 0x87, version 1, length 26, its
// checksum, the 26 data bytes) that decodes without a problem.
QString hdrSendProblem(const QString &text);

// AVI data bytes that decode without a problem and fit the box's field of
// kAviFieldDataBytes (13) data bytes.
QString aviSendProblem(const QString &text);

// Data bytes (made by encodeAviInfoFrame) that the box's AVI field cannot
// hold: more than 13; null when they fit.
QString aviFieldProblem(const QByteArray &dataBytes);

} // namespace vortalex
