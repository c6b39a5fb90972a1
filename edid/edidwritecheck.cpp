// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidwritecheck.h"

#include "texts/windowtext.h"

#include <algorithm>

namespace vortalex {

namespace {

constexpr std::array<std::uint8_t, 8> kEdidHeader { 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0x00 };

} // namespace

bool hasEdidHeader(const EdidTable &table)
{
    return std::equal(kEdidHeader.begin(), kEdidHeader.end(), table.begin());
}

EdidWriteCheck checkEdidWrite(int byteCount, const EdidTable &table)
{
    if (byteCount < kEdidBlockSize)
        return { EdidWriteVerdict::TooShort, byteCount };
    if (!hasEdidHeader(table))
        return { EdidWriteVerdict::HeaderMissing, byteCount };
    return { EdidWriteVerdict::Fine, byteCount };
}

QString edidWriteCheckText(const EdidWriteCheck &check)
{
    switch (check.verdict) {
    case EdidWriteVerdict::TooShort:
        return trWindow("The EDID table holds only %1 bytes; nothing was written.")
            .arg(check.byteCount);
    case EdidWriteVerdict::HeaderMissing:
        return trWindow("The table does not start with the EDID header. Write anyway?");
    case EdidWriteVerdict::Fine:
        break;
    }
    return QString();
}

} // namespace vortalex
