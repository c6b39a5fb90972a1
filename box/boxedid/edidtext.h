// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edid/edidchecksum.h"

#include "link/frames.h"

#include <QString>
#include <array>
#include <cstdint>

namespace vortalex {

// The hex text form holds at most this many characters (a 1024-byte buffer
// with its terminating zero), hence at most 341 three-character groups.
constexpr int kEdidTextLimit = 1023;
constexpr int kEdidParseCapacity = (kEdidTextLimit + 2) / 3;
// Canonical layout: 16 lines of 16 "%02X" bytes, one space between bytes,
// a line feed after the 16th.
constexpr int kEdidBytesPerLine = 16;
constexpr int kEdidCanonicalTextLength = kEdidSize * 3;

using EdidTable = std::array<std::uint8_t, kEdidSize>;
using EdidParseBuffer = std::array<std::uint8_t, kEdidParseCapacity>;

// Both blocks are tested, whatever the extension count in byte 126 says.
bool tablePassesChecksums(const EdidTable &table);
// Stores the checksums of both blocks into bytes 127 and 255.
void repairChecksums(EdidTable &table);

// One group of the hex text: two digits and a separator. `available` is the
// number of characters from `group` to the end of the text; with 2 the group
// ends the text and needs no separator. The separator must be a space or a
// line feed. The digits are not validated: a digit is its code minus '0'
// up to '9', minus 0x37 above, so "0G" gives 0x10.
bool hexGroupToByte(const char *group, int available, std::uint8_t &out);

// Parses the hex text into `out`; returns the number of bytes, or -1 on a
// format error (a bad separator, or a text longer than kEdidTextLimit once
// upper-cased and converted to Latin-1). A single character after the last
// complete group is ignored.
int parseEdidText(const QString &text, EdidParseBuffer &out);
// Parses and keeps the first 256 bytes; bytes the text does not give are 0x00.
// False on a format error.
bool parseEdidTable(const QString &text, EdidTable &table);
// The same, and `byteCount` tells how many bytes the text gave (up to 341,
// so more than the table keeps); it is set only when the parse succeeds.
bool parseEdidTable(const QString &text, EdidTable &table, int &byteCount);

// The canonical layout of `table`: 768 characters, the last a line feed.
QString formatEdidText(const EdidTable &table);

// Pieces of the canonical layout for a styled display: a byte's two digits,
// and where byte `index` of the table stands: mid-line (a space follows), at
// a line end (a line feed follows), or at the line end that is a block's
// checksum.
enum class EdidBytePlace { MidLine, LineEnd, Checksum };
QString edidByteText(std::uint8_t byte);
EdidBytePlace edidBytePlace(int index);

} // namespace vortalex
