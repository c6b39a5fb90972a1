// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidblocks.h"

#include <algorithm>

namespace vortalex {

namespace {

// VESA E-EDID 1.4, 3.3.
constexpr std::uint8_t kHeader[8] = { 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00 };
constexpr int kExtensionCountByte = 126;
constexpr std::uint8_t kCtaTag = 0x02;
constexpr std::uint8_t kDisplayIdTag = 0x70;

const std::uint8_t *blockAt(const QByteArray &bytes, int index)
{
    return reinterpret_cast<const std::uint8_t *>(bytes.constData()) + index * kEdidBlockSize;
}

} // namespace

bool decodeDetailedTiming(const std::uint8_t *d, DetailedTiming &t)
{
    const int clock10kHz = d[0] | d[1] << 8;
    if (clock10kHz == 0)
        return false;
    t.pixelClockMhz = clock10kHz / 100.0;
    t.width = d[2] | (d[4] >> 4) << 8;
    t.hBlank = d[3] | (d[4] & 0x0F) << 8;
    const int vActive = d[5] | (d[7] >> 4) << 8;
    t.vBlank = d[6] | (d[7] & 0x0F) << 8;
    t.hFront = d[8] | ((d[11] >> 6) & 3) << 8;
    t.hSync = d[9] | ((d[11] >> 4) & 3) << 8;
    t.vFront = (d[10] >> 4) | ((d[11] >> 2) & 3) << 4;
    t.vSync = (d[10] & 0x0F) | (d[11] & 3) << 4;
    t.widthMm = d[12] | (d[14] >> 4) << 8;
    t.heightMm = d[13] | (d[14] & 0x0F) << 8;
    t.interlaced = d[17] & 0x80;
    // Digital separate sync carries both polarities; the others carry
    // the horizontal one only (bit 1).
    t.hSyncPositive = d[17] & 0x02;
    t.vSyncPositive = (d[17] & 0x18) == 0x18 && (d[17] & 0x04);
    const double hTotal = t.width + t.hBlank;
    if (t.interlaced) {
        // Two fields of vActive + vBlank lines and one half line each.
        t.height = vActive * 2;
        const double frameLines = 2.0 * (vActive + t.vBlank) + 1;
        t.refreshHz = hTotal > 0 ? 2 * t.pixelClockMhz * 1e6 / (hTotal * frameLines) : 0;
    } else {
        t.height = vActive;
        const double vTotal = vActive + t.vBlank;
        t.refreshHz = hTotal * vTotal > 0 ? t.pixelClockMhz * 1e6 / (hTotal * vTotal) : 0;
    }
    return true;
}

EdidInfo decodeEdid(const QByteArray &bytes)
{
    EdidInfo info;
    info.byteCount = int(std::min<qsizetype>(bytes.size(), 0x7FFFFFFF));
    if (bytes.size() < kEdidBlockSize) {
        info.problems
            << QStringLiteral("Too short for a base block: %1 of 128 bytes").arg(bytes.size());
        return info;
    }
    const std::uint8_t *base = blockAt(bytes, 0);
    info.headerOk = std::equal(std::begin(kHeader), std::end(kHeader), base);
    if (!info.headerOk)
        info.problems << QStringLiteral(
            "Block 0: bad header (bytes 0-7 are not 00 FF FF FF FF FF FF 00)");
    info.base = decodeBaseBlock(base);

    const int announced = base[kExtensionCountByte];
    const int available = int(std::min<qsizetype>(bytes.size() / kEdidBlockSize - 1, 255));
    if (available < announced)
        info.problems << QStringLiteral(
            "Extension count is %1, but the table holds %2 complete extension blocks (%3 bytes)")
                             .arg(announced)
                             .arg(available)
                             .arg(bytes.size());
    int blocks = 1 + std::min(announced, available);
    // Zeros past the announced blocks are padding (the window always passes
    // 256 bytes); anything else is blocks the extension count leaves out,
    // decoded all the same as edid-decode does.
    const QByteArray rest = bytes.mid(qsizetype(blocks) * kEdidBlockSize);
    if (available > announced && rest.count('\0') != rest.size()) {
        info.problems << QStringLiteral("Extension count is %1, but %2 more blocks follow; they "
                                        "are decoded too")
                             .arg(announced)
                             .arg(available - announced);
        blocks = 1 + available;
    }
    const qsizetype partial = bytes.size() - qsizetype(blocks) * kEdidBlockSize;
    if (available >= announced && partial > 0 && partial < kEdidBlockSize
        && bytes.right(partial).count('\0') != partial)
        info.problems
            << QStringLiteral("%1 bytes after the last whole block are not decoded").arg(partial);
    for (int index = 0; index < blocks; ++index) {
        const std::uint8_t *block = blockAt(bytes, index);
        const std::uint8_t expected = edidChecksum(block);
        const bool ok = block[kEdidBlockSize - 1] == expected;
        info.checksumsOk << ok;
        if (!ok)
            info.problems << QStringLiteral("Block %1: bad checksum 0x%2, should be 0x%3")
                                 .arg(index)
                                 .arg(block[kEdidBlockSize - 1], 2, 16, QLatin1Char('0'))
                                 .arg(expected, 2, 16, QLatin1Char('0'));
        if (index == 0)
            continue;
        ExtensionBlock extension;
        extension.index = index;
        extension.tag = block[0];
        if (extension.tag == kCtaTag)
            extension.cta = decodeCtaBlock(block, index, info.problems);
        else if (extension.tag == kDisplayIdTag)
            extension.displayId = decodeDisplayIdBlock(block, index, info.problems);
        info.extensions << extension;
    }
    return info;
}

std::optional<DetailedTiming> preferredTiming(const EdidInfo &info)
{
    if (info.base && !info.base->detailed.isEmpty())
        return info.base->detailed.first();
    for (const ExtensionBlock &extension : info.extensions) {
        if (extension.cta && !extension.cta->detailed.isEmpty())
            return extension.cta->detailed.first();
    }
    for (const ExtensionBlock &extension : info.extensions) {
        if (extension.displayId && !extension.displayId->detailed.isEmpty())
            return extension.displayId->detailed.first().timing;
    }
    return std::nullopt;
}

} // namespace vortalex
