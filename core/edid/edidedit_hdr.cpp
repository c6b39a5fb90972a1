// SPDX-License-Identifier: GPL-3.0-or-later
#include "edideditlayout.h"

namespace vortalex {

namespace {

constexpr int kDynamicHdrExtTag = 7;
constexpr int kVendorVideoExtTag = 1;

// Vendor-specific video data blocks that announce dynamic HDR, by OUI as
// stored (least significant byte first): Dolby Vision, HDR10+.
bool isHdrVendorVideoBlock(const QByteArray &block)
{
    if (block.size() < 5)
        return false;
    const quint32 oui = quint8(block[2]) | quint8(block[3]) << 8 | quint32(quint8(block[4])) << 16;
    return oui == 0x00D046 || oui == 0x90848B;
}

} // namespace

EdidEditResult removeHdr(const QByteArray &table)
{
    return editCta(table, [](CtaLayout &cta) {
        for (int i = int(cta.blocks.size()) - 1; i >= 0; --i) {
            const QByteArray &block = cta.blocks.at(i);
            const bool extended = (quint8(block[0]) >> 5) == ExtendedBlockTag && block.size() > 1;
            const int extendedTag = extended ? quint8(block[1]) : -1;
            if (extendedTag == HdrStaticExtTag || extendedTag == kDynamicHdrExtTag
                || (extendedTag == kVendorVideoExtTag && isHdrVendorVideoBlock(block)))
                cta.blocks.removeAt(i);
        }
        return QString();
    });
}

} // namespace vortalex
