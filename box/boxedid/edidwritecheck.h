// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidtext.h"

#include <QString>

namespace vortalex {

// The fixed header that opens every EDID base block (VESA E-EDID 1.4,
// section 3.3: 00 FF FF FF FF FF FF 00).
bool hasEdidHeader(const EdidTable &table);

// What stands against uploading a parsed table, checked before anything is
// sent. Less than one block is never sent: the missing bytes would be zeros
// and the box would present no usable EDID. A table without the header may
// still be meant (a test pattern), so the user is asked.
enum class EdidWriteVerdict {
    Fine,
    TooShort, // fewer than 128 bytes: refuse, nothing to ask
    HeaderMissing, // ask before sending
};

struct EdidWriteCheck
{
    EdidWriteVerdict verdict = EdidWriteVerdict::Fine;
    int byteCount = 0;
};

// `byteCount` is the number of bytes the text gave, `table` the parsed table.
// A too-short table wins over a missing header: there is nothing to ask when
// nothing will be sent. The checksum question, if any, comes after both.
EdidWriteCheck checkEdidWrite(int byteCount, const EdidTable &table);

// Why the box cannot hold a table of `byteCount` bytes whose first 256 are
// `table`, or a null string when it can. The box holds a base block and one
// extension: the extension count (byte 126) must be 0 or 1 and the table
// exactly that many blocks, since the box would present the count as it is
// and any further block would be lost. A 256-byte table with count 0 is
// taken when its second block is blank (all 0x00 or all 0xFF): that is how a
// one-block table is saved from the box.
QString edidBoxFitProblem(int byteCount, const EdidTable &table);

} // namespace vortalex
