// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// An EDID has at most 256 blocks of 128 bytes (VESA E-EDID 1.4, 2.2); a file
// larger than that is not a table.
constexpr int kEdidMaxBytes = 256 * 128;
// A hex dump may carry more than its table: edid-decode's report follows its
// hex, xrandr's other properties surround its EDID block.
constexpr int kEdidDumpMaxBytes = 4 * 1024 * 1024;

// The table in a file's content, read strictly, as the command-line programs
// read it:
// - a raw table: the first byte is 0x00, or the file is 128 x n bytes and
//   holds control bytes no text has;
// - edid-decode's hex dump ("edid-decode (hex):", its hex lines, then the
//   "----" line that ends it);
// - the "EDID:" block of `xrandr --verbose` (the indented hex lines after it);
// - any other hex text: bytes of two digits with blanks, tabs, line ends,
//   colons or commas between them, or one unbroken string of digits, with or
//   without a UTF-8 byte-order mark (the utility's own text is such a text).
// Anything else in the hex is refused with its place: "line 3, column 17:
// 'G' is not a hex digit". False with a message also for an empty file, no
// hex at all, or more than kEdidMaxBytes bytes.
bool edidBytesFromContent(const QByteArray &content, QByteArray &bytes, QString &error);

// Reads `path` ("-" for standard input) and extracts its table. False with a
// message naming the file for a directory, an unreadable or missing file,
// one too large for a table or a dump, or any case edidBytesFromContent
// refuses.
bool readEdidInput(const QString &path, QByteArray &bytes, QString &error);

} // namespace vortalex
