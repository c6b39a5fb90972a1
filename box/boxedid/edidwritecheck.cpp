// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidwritecheck.h"

#include <algorithm>

namespace vortalex {

namespace {

constexpr std::array<std::uint8_t, 8> kEdidHeader { 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0x00 };

constexpr int kExtensionCountByte = 126;
constexpr int kBoxBlocks = 2;

bool blankBlock(const std::uint8_t *block)
{
    const auto same = [block](std::uint8_t value) {
        return std::all_of(
            block, block + kEdidBlockSize, [value](std::uint8_t b) { return b == value; });
    };
    return same(0x00) || same(0xFF);
}

QString blocksText(int blocks)
{
    return blocks == 1 ? QStringLiteral("1 block") : QStringLiteral("%1 blocks").arg(blocks);
}

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

QString edidBoxFitProblem(int byteCount, const EdidTable &table)
{
    const QString boxHolds = QStringLiteral("the box holds a base block and one extension");
    if (byteCount < kEdidBlockSize)
        return QStringLiteral("the table holds only %1 bytes; %2 of 128 bytes each")
            .arg(byteCount)
            .arg(boxHolds);
    if (byteCount % kEdidBlockSize != 0)
        return QStringLiteral("the table holds %1 bytes, not whole blocks of 128 bytes")
            .arg(byteCount);
    const int blocks = byteCount / kEdidBlockSize;
    const int counted = 1 + table[kExtensionCountByte];
    if (blocks > kBoxBlocks)
        return QStringLiteral("%1; this table has %2").arg(boxHolds, blocksText(blocks));
    if (counted > kBoxBlocks)
        return QStringLiteral("%1; this table's extension count (byte 126) says %2")
            .arg(boxHolds, blocksText(counted));
    if (counted == blocks || (blocks == 2 && blankBlock(table.data() + kEdidBlockSize)))
        return QString();
    return QStringLiteral("the table has %1 but its extension count (byte 126) says %2")
        .arg(blocksText(blocks), blocksText(counted));
}

} // namespace vortalex
