// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidtext.h"

#include <QByteArray>
#include <QString>

namespace vortalex {

// Loading looks at no more than the first 1024 bytes of a file, so its size
// does not matter.
constexpr int kEdidFileProbeSize = 1024;
// Column of the space after the 16th "%02X " byte of a text file line.
constexpr int kEdidTextFileLineEnd = kEdidBytesPerLine * 3;

// What a loaded file holds: a raw table (first byte 0x00, as the EDID header
// begins) or hex text.
struct EdidFileContent
{
    bool binary = true;
    EdidTable table {}; // binary: bytes 0-255, zeros past the end of the file
    QString text; // text: the converted text, up to its first zero byte
};

// Recognises and converts the first bytes of a file (further bytes beyond
// kEdidFileProbeSize are ignored). An empty head is a table of zeros.
EdidFileContent recogniseEdidFile(const QByteArray &head);

// Turns each "space, line end" at column 48 of a line into one line feed
// (line ends CR LF or LF alone). From the first line without such an end on,
// the rest is copied unchanged. Works on at most kEdidFileProbeSize bytes.
QByteArray convertEdidTextLayout(const QByteArray &text);

} // namespace vortalex
