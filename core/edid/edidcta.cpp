// SPDX-License-Identifier: GPL-3.0-or-later
// A CTA-861 extension block (CTA-861-H, 7.5): header, data block collection,
// detailed timing descriptors.
#include "edidblocks.h"

namespace vortalex {

namespace {

constexpr int kFirstDataBlock = 4;
constexpr int kDetailedTimingSize = 18;
constexpr int kChecksumByte = kEdidBlockSize - 1;

} // namespace

CtaBlock decodeCtaBlock(const std::uint8_t *block, int blockIndex, QStringList &problems)
{
    CtaBlock cta;
    cta.revision = block[1];
    const int dtdOffset = block[2];
    cta.underscan = block[3] & 0x80;
    cta.basicAudio = block[3] & 0x40;
    cta.ycbcr444 = block[3] & 0x20;
    cta.ycbcr422 = block[3] & 0x10;
    cta.nativeDetailedCount = block[3] & 0x0F;

    // Offset 0: no data blocks and no detailed timings; 4: timings only.
    if (dtdOffset == 0)
        return cta;
    if (dtdOffset < kFirstDataBlock || dtdOffset > kChecksumByte) {
        problems << QStringLiteral("Block %1: detailed timing offset %2 is out of range (4-127)")
                        .arg(blockIndex)
                        .arg(dtdOffset);
        return cta;
    }
    int offset = kFirstDataBlock;
    while (offset < dtdOffset) {
        const int tag = block[offset] >> 5;
        const int length = block[offset] & 0x1F;
        if (offset + 1 + length > dtdOffset) {
            problems << QStringLiteral(
                "Block %1: data block at byte %2 (tag %3, %4 bytes) runs past the data area, "
                "which ends at byte %5")
                            .arg(blockIndex)
                            .arg(offset)
                            .arg(tag)
                            .arg(length)
                            .arg(dtdOffset);
            break;
        }
        decodeCtaDataBlock(block + offset, length, cta);
        cta.blocks.last().offset = offset;
        offset += 1 + length;
    }
    for (offset = dtdOffset; offset + kDetailedTimingSize <= kChecksumByte;
         offset += kDetailedTimingSize) {
        DetailedTiming timing;
        if (!decodeDetailedTiming(block + offset, timing))
            break;
        cta.detailed << timing;
    }
    return cta;
}

} // namespace vortalex
