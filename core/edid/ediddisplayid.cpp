// SPDX-License-Identifier: GPL-3.0-or-later
// A DisplayID section in an EDID extension block (tag 0x70): the section
// header and checksum (DisplayID 1.3 and 2.0), its data blocks by
// tag, and the product identification, display parameters and tiled display
// topology blocks. The timing blocks are in ediddisplayid_timings.cpp.
#include "edidblocks.h"

#include <algorithm>

namespace vortalex {

namespace {

constexpr int kSectionHeader = 5; // extension tag, version, bytes, product type, extensions
constexpr int kDataBlockHeader = 3; // tag, revision, payload bytes
constexpr int kLastSectionByte = kEdidBlockSize - 2; // byte 127 is the EDID checksum

enum Tag {
    ProductId1 = 0x00,
    DisplayParameters1 = 0x01,
    TimingType1 = 0x03,
    TiledDisplay1 = 0x12,
    ProductId2 = 0x20,
    DisplayParameters2 = 0x21,
    TimingType7 = 0x22,
    TimingType8 = 0x23,
    TimingType9 = 0x24,
    TiledDisplay2 = 0x28,
    CtaDataBlocks = 0x81,
};

// Data block names as edid-decode prints them; the tag tells the DisplayID
// version (1.x below 0x20, 2.x from 0x20).
QString dataBlockName(int tag)
{
    switch (tag) {
    case ProductId1:
    case ProductId2:
        return QStringLiteral("Product Identification Data Block");
    case DisplayParameters1:
    case DisplayParameters2:
        return QStringLiteral("Display Parameters Data Block");
    case 0x02:
        return QStringLiteral("Color Characteristics Data Block");
    case TimingType1:
        return QStringLiteral("Video Timing Modes Type 1 - Detailed Timings Data Block");
    case 0x04:
        return QStringLiteral("Video Timing Modes Type 2 - Detailed Timings Data Block");
    case 0x05:
        return QStringLiteral("Video Timing Modes Type 3 - Short Timings Data Block");
    case 0x06:
        return QStringLiteral("Video Timing Modes Type 4 - DMT Timings Data Block");
    case 0x07:
        return QStringLiteral("Supported Timing Modes Type 1 - VESA DMT Timings Data Block");
    case 0x08:
        return QStringLiteral("Supported Timing Modes Type 2 - CTA-861 Timings Data Block");
    case 0x09:
        return QStringLiteral("Video Timing Range Data Block");
    case 0x0A:
        return QStringLiteral("Product Serial Number Data Block");
    case 0x0B:
        return QStringLiteral("GP ASCII String Data Block");
    case 0x0C:
        return QStringLiteral("Display Device Data Data Block");
    case 0x0D:
        return QStringLiteral("Interface Power Sequencing Data Block");
    case 0x0E:
        return QStringLiteral("Transfer Characteristics Data Block");
    case 0x0F:
        return QStringLiteral("Display Interface Data Block");
    case 0x10:
    case 0x27:
        return QStringLiteral("Stereo Display Interface Data Block");
    case 0x11:
        return QStringLiteral("Video Timing Modes Type 5 - Short Timings Data Block");
    case TiledDisplay1:
    case TiledDisplay2:
        return QStringLiteral("Tiled Display Topology Data Block");
    case 0x13:
        return QStringLiteral("Video Timing Modes Type 6 - Detailed Timings Data Block");
    case TimingType7:
        return QStringLiteral("Video Timing Modes Type 7 - Detailed Timings Data Block");
    case TimingType8:
        return QStringLiteral("Video Timing Modes Type 8 - Enumerated Timing Codes Data Block");
    case TimingType9:
        return QStringLiteral("Video Timing Modes Type 9 - Formula-based Timings Data Block");
    case 0x25:
        return QStringLiteral("Dynamic Video Timing Range Limits Data Block");
    case 0x26:
        return QStringLiteral("Display Interface Features Data Block");
    case 0x29:
        return QStringLiteral("ContainerID Data Block");
    case 0x2B:
        return QStringLiteral("Adaptive Sync Data Block");
    case 0x7E:
    case 0x7F:
        return QStringLiteral("Vendor-Specific Data Block");
    case CtaDataBlocks:
        return QStringLiteral("CTA-861 DisplayID Data Block");
    default:
        return QStringLiteral("Unknown DisplayID Data Block (0x%1)")
            .arg(QString::number(tag, 16).toUpper().rightJustified(2, u'0'));
    }
}

// Byte 3 of the section: display product type (1.x) or primary use case (2.x).
QString productTypeName(int version, int code)
{
    static const char *const types[7] = { "Extension Section",
        "Test Structure; test equipment only",
        "Display panel or other transducer, LCD or PDP module, etc.", "Standalone display device",
        "Television receiver", "Repeater/translator", "DIRECT DRIVE monitor" };
    static const char *const useCases[9]
        = { "Same primary use case as the base section", "Test Structure; test equipment only",
              "None of the listed primary use cases; generic display", "Television (TV) display",
              "Desktop productivity display", "Desktop gaming display", "Presentation display",
              "Head-mounted Virtual Reality (VR) display",
              "Head-mounted Augmented Reality (AR) display" };
    if (version < 2 && code < 7)
        return QLatin1String(types[code]);
    if (version >= 2 && code < 9)
        return QLatin1String(useCases[code]);
    return QStringLiteral("Reserved (%1)").arg(code);
}

// Tags 0x00 and 0x20: a PNP id (1.x) or an OUI (2.x), then product code,
// serial number, week, year - 2000 and the product name.
std::optional<DisplayIdProduct> decodeProduct(const std::uint8_t *p, int length, bool oui)
{
    if (length < 12)
        return std::nullopt;
    DisplayIdProduct product;
    product.manufacturer = oui ? QString::asprintf("%02X-%02X-%02X", p[0], p[1], p[2])
                               : QString::fromLatin1(reinterpret_cast<const char *>(p), 3);
    product.productCode = p[3] | p[4] << 8;
    product.serialNumber
        = quint32(p[5]) | quint32(p[6]) << 8 | quint32(p[7]) << 16 | quint32(p[8]) << 24;
    product.week = p[9];
    product.year = 2000 + p[10];
    const int nameLength = std::min<int>(p[11], length - 12);
    product.name = QString::fromLatin1(reinterpret_cast<const char *>(p + 12), nameLength);
    return product;
}

// Tags 0x01 and 0x21: image size in 0.1 mm (1 mm when bit 7 of a 2.x block's
// revision says so) and the native pixel format.
std::optional<DisplayIdParameters> decodeParameters(
    const std::uint8_t *p, int length, bool millimetres)
{
    if (length < 8)
        return std::nullopt;
    const double unit = millimetres ? 1.0 : 0.1;
    DisplayIdParameters parameters;
    parameters.widthMm = (p[0] | p[1] << 8) * unit;
    parameters.heightMm = (p[2] | p[3] << 8) * unit;
    parameters.width = p[4] | p[5] << 8;
    parameters.height = p[6] | p[7] << 8;
    return parameters;
}

// Tags 0x12 and 0x28: tile counts and location (six bits each, the top two
// in byte 3) and the tile's size in pixels.
std::optional<DisplayIdTiles> decodeTiles(const std::uint8_t *p, int length)
{
    if (length < 8)
        return std::nullopt;
    DisplayIdTiles tiles;
    tiles.horizontal = ((p[1] >> 4) | ((p[3] >> 6) & 3) << 4) + 1;
    tiles.vertical = ((p[1] & 0x0F) | ((p[3] >> 4) & 3) << 4) + 1;
    tiles.column = (p[2] >> 4) | ((p[3] >> 2) & 3) << 4;
    tiles.row = (p[2] & 0x0F) | (p[3] & 3) << 4;
    tiles.width = (p[4] | p[5] << 8) + 1;
    tiles.height = (p[6] | p[7] << 8) + 1;
    return tiles;
}

// Tag 0x81: a CTA-861 data block collection, decoded as in a CTA extension.
void decodeCtaDataBlocks(const std::uint8_t *p, int length, CtaBlock &cta)
{
    int offset = 0;
    while (offset < length) {
        const int blockLength = p[offset] & 0x1F;
        if (offset + 1 + blockLength > length)
            break;
        decodeCtaDataBlock(p + offset, blockLength, cta);
        cta.blocks.last().offset = offset;
        offset += 1 + blockLength;
    }
}

void decodeDataBlock(const std::uint8_t *data, DisplayIdDataBlock &summary, DisplayIdBlock &id)
{
    const std::uint8_t *p = data + kDataBlockHeader;
    const int length = summary.length;
    const int revision = data[1];
    switch (summary.tag) {
    case ProductId1:
    case ProductId2:
        if (!id.product)
            id.product = decodeProduct(p, length, summary.tag == ProductId2);
        break;
    case DisplayParameters1:
    case DisplayParameters2:
        if (!id.parameters)
            id.parameters = decodeParameters(
                p, length, summary.tag == DisplayParameters2 && (revision & 0x80));
        break;
    case TiledDisplay1:
    case TiledDisplay2:
        if (!id.tiles)
            id.tiles = decodeTiles(p, length);
        break;
    case CtaDataBlocks:
        if (!id.cta)
            id.cta = CtaBlock {};
        decodeCtaDataBlocks(p, length, *id.cta);
        break;
    case TimingType1:
    case TimingType7:
    case TimingType8:
    case TimingType9:
        decodeDisplayIdTimings(data, summary, id);
        break;
    default:
        break;
    }
}

bool allZero(const std::uint8_t *from, const std::uint8_t *to)
{
    return std::all_of(from, to, [](std::uint8_t byte) { return byte == 0; });
}

} // namespace

DisplayIdBlock decodeDisplayIdBlock(
    const std::uint8_t *block, int blockIndex, QStringList &problems)
{
    DisplayIdBlock id;
    id.version = block[1] >> 4;
    id.revision = block[1] & 0x0F;
    id.productType = productTypeName(id.version, block[3]);
    id.extensionCount = block[4];
    int sectionEnd = kSectionHeader + block[2]; // the section checksum byte
    if (sectionEnd > kLastSectionByte) {
        problems << QStringLiteral("Block %1: DisplayID section of %2 bytes runs past the block")
                        .arg(blockIndex)
                        .arg(block[2]);
        sectionEnd = kLastSectionByte;
    }
    std::uint8_t sum = 0;
    for (int i = 1; i <= sectionEnd; ++i)
        sum += block[i];
    id.checksumOk = sum == 0;
    if (!id.checksumOk)
        problems << QStringLiteral("Block %1: bad DisplayID checksum 0x%2, should be 0x%3")
                        .arg(blockIndex)
                        .arg(block[sectionEnd], 2, 16, QLatin1Char('0'))
                        .arg(std::uint8_t(block[sectionEnd] - sum), 2, 16, QLatin1Char('0'));

    int offset = kSectionHeader;
    while (offset + kDataBlockHeader <= sectionEnd) {
        // Zeros after the last data block fill the section.
        if (block[offset] == 0 && allZero(block + offset, block + sectionEnd))
            break;
        DisplayIdDataBlock summary;
        summary.offset = offset;
        summary.tag = block[offset];
        summary.length = block[offset + 2];
        summary.name = dataBlockName(summary.tag);
        if (offset + kDataBlockHeader + summary.length > sectionEnd) {
            problems << QStringLiteral(
                "Block %1: DisplayID data block at byte %2 (tag 0x%3, %4 bytes) runs past the "
                "section, which ends at byte %5")
                            .arg(blockIndex)
                            .arg(offset)
                            .arg(QString::number(summary.tag, 16).toUpper().rightJustified(2, u'0'))
                            .arg(summary.length)
                            .arg(sectionEnd);
            break;
        }
        decodeDataBlock(block + offset, summary, id);
        id.blocks << summary;
        offset += kDataBlockHeader + summary.length;
    }
    return id;
}

} // namespace vortalex
