// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// An EDID has at most 256 blocks of 128 bytes (VESA E-EDID 1.4, 2.2); a file
// larger than that is not a table.
constexpr int kEdidMaxBytes = 256 * 128;

// The table in a file's content: a raw table (first byte 0x00, any number of
// bytes) or the utility's hex text, recognised as the window's Load does.
// False with a message for an empty file or text that is not hex.
bool edidBytesFromContent(const QByteArray &content, QByteArray &bytes, QString &error);

// Reads `path` ("-" for standard input) and extracts its table. False with a
// message naming the file for a directory, an unreadable or missing file,
// one larger than kEdidMaxBytes, or any case edidBytesFromContent refuses.
bool readEdidInput(const QString &path, QByteArray &bytes, QString &error);

} // namespace vortalex
