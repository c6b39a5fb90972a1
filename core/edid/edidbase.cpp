// SPDX-License-Identifier: GPL-3.0-or-later
// The base block of an EDID table (VESA E-EDID 1.4, section 3).
#include "edidblocks.h"

namespace vortalex {

namespace {

// VESA E-EDID 1.4, 3.8: bytes 35-37, most significant bit first.
const char *const kEstablishedTimings[17] = {
    "720x400@70",
    "720x400@88",
    "640x480@60",
    "640x480@67",
    "640x480@72",
    "640x480@75",
    "800x600@56",
    "800x600@60",
    "800x600@72",
    "800x600@75",
    "832x624@75",
    "1024x768i@87",
    "1024x768@60",
    "1024x768@70",
    "1024x768@75",
    "1280x1024@75",
    "1152x870@75",
};

// VESA E-EDID 1.4, 3.6.1, digital video interface standard (bits 3-0).
QString interfaceName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("DVI");
    case 2:
        return QStringLiteral("HDMI-a");
    case 3:
        return QStringLiteral("HDMI-b");
    case 4:
        return QStringLiteral("MDDI");
    case 5:
        return QStringLiteral("DisplayPort");
    default:
        return QString();
    }
}

// Display descriptor text: up to 13 characters, ended by a line feed.
QString descriptorText(const std::uint8_t *descriptor)
{
    QByteArray text(reinterpret_cast<const char *>(descriptor + 5), 13);
    const int end = int(text.indexOf('\n'));
    if (end >= 0)
        text.truncate(end);
    return QString::fromLatin1(text).trimmed();
}

void decodeStandardTimings(const std::uint8_t *block, int version, int revision, BaseBlock &base)
{
    for (int i = 38; i < 54; i += 2) {
        const std::uint8_t first = block[i];
        const std::uint8_t second = block[i + 1];
        if ((first == 0x01 && second == 0x01) || first == 0x00)
            continue;
        StandardTiming timing;
        timing.width = (first + 31) * 8;
        switch (second >> 6) {
        case 0:
            // EDID before 1.3 meant 1:1 here.
            if (version == 1 && revision < 3) {
                timing.aspect = QStringLiteral("1:1");
                timing.height = timing.width;
            } else {
                timing.aspect = QStringLiteral("16:10");
                timing.height = timing.width * 10 / 16;
            }
            break;
        case 1:
            timing.aspect = QStringLiteral("4:3");
            timing.height = timing.width * 3 / 4;
            break;
        case 2:
            timing.aspect = QStringLiteral("5:4");
            timing.height = timing.width * 4 / 5;
            break;
        default:
            timing.aspect = QStringLiteral("16:9");
            timing.height = timing.width * 9 / 16;
            break;
        }
        timing.refreshHz = (second & 0x3F) + 60;
        base.standardTimings << timing;
    }
}

// VESA E-EDID 1.4, 3.10.3.3: rate offsets in byte 4 add 255 to a limit.
RangeLimits decodeRangeLimits(const std::uint8_t *d)
{
    const int offsets = d[4];
    RangeLimits range;
    range.vMinHz = d[5] + ((offsets & 0x03) == 0x03 ? 255 : 0);
    range.vMaxHz = d[6] + ((offsets & 0x02) ? 255 : 0);
    range.hMinKhz = d[7] + ((offsets & 0x0C) == 0x0C ? 255 : 0);
    range.hMaxKhz = d[8] + ((offsets & 0x08) ? 255 : 0);
    range.maxPixelClockMhz = d[9] * 10;
    return range;
}

void decodeDescriptor(const std::uint8_t *d, BaseBlock &base)
{
    DetailedTiming timing;
    if (decodeDetailedTiming(d, timing)) {
        base.detailed << timing;
        return;
    }
    switch (d[3]) {
    case 0xFC:
        base.name += descriptorText(d);
        break;
    case 0xFF:
        base.serialString += descriptorText(d);
        break;
    case 0xFE:
        base.texts << descriptorText(d);
        break;
    case 0xFD:
        base.range = decodeRangeLimits(d);
        break;
    case 0x10: // dummy descriptor
        break;
    default:
        base.otherDescriptors << QStringLiteral("0x")
                + QString::number(d[3], 16).toUpper().rightJustified(2, u'0');
        break;
    }
}

} // namespace

BaseBlock decodeBaseBlock(const std::uint8_t *b)
{
    BaseBlock base;
    // VESA E-EDID 1.4, 3.4: three 5-bit letters, 1 = 'A'.
    const int id = b[8] << 8 | b[9];
    for (int shift : { 10, 5, 0 })
        base.manufacturer += QChar(char('@' + ((id >> shift) & 0x1F)));
    base.productCode = b[10] | b[11] << 8;
    base.serialNumber
        = quint32(b[12]) | quint32(b[13]) << 8 | quint32(b[14]) << 16 | quint32(b[15]) << 24;
    if (b[16] == 0xFF) {
        base.modelYear = b[17] + 1990;
    } else {
        base.week = b[16];
        base.year = b[17] + 1990;
    }
    base.version = b[18];
    base.revision = b[19];
    const bool v14 = base.version == 1 && base.revision >= 4;

    // 3.6.1: video input definition.
    base.digital = b[20] & 0x80;
    if (base.digital && v14) {
        const int depth = (b[20] >> 4) & 0x07;
        base.bitDepth = depth >= 1 && depth <= 6 ? 4 + depth * 2 : 0;
        base.interface = interfaceName(b[20] & 0x0F);
    }
    base.widthCm = b[21];
    base.heightCm = b[22];
    // 3.6.2: in EDID 1.4 one size byte of 0 turns the other into an aspect
    // ratio, worded as edid-decode words it.
    if (v14 && base.widthCm && !base.heightCm)
        base.aspectRatio = QStringLiteral("%1 (landscape)").arg((b[21] + 99) / 100.0, 0, 'f', 2);
    else if (v14 && !base.widthCm && base.heightCm)
        base.aspectRatio = QStringLiteral("%1 (portrait)").arg(100.0 / (b[22] + 99), 0, 'f', 2);
    base.gamma = b[23] == 0xFF ? 0 : (b[23] + 100) / 100.0;

    // 3.6.4: feature support.
    const int features = b[24];
    base.dpmsStandby = features & 0x80;
    base.dpmsSuspend = features & 0x40;
    base.dpmsActiveOff = features & 0x20;
    const int colour = (features >> 3) & 0x03;
    if (base.digital && v14) {
        static const char *const formats[4] = { "RGB 4:4:4", "RGB 4:4:4, YCbCr 4:4:4",
            "RGB 4:4:4, YCbCr 4:2:2", "RGB 4:4:4, YCbCr 4:4:4, YCbCr 4:2:2" };
        base.colourFormats = QLatin1String(formats[colour]);
    } else {
        static const char *const types[4]
            = { "monochrome or greyscale", "RGB colour", "non-RGB colour", "undefined" };
        base.colourFormats = QLatin1String(types[colour]);
    }
    base.srgbDefault = features & 0x04;
    base.preferredIsNative = features & 0x02;
    base.continuousFrequency = features & 0x01;

    // 3.7: ten-bit chromaticity coordinates, low bits packed in bytes 25-26.
    const int low[8]
        = { b[25] >> 6, b[25] >> 4, b[25] >> 2, b[25], b[26] >> 6, b[26] >> 4, b[26] >> 2, b[26] };
    for (int i = 0; i < 8; ++i)
        base.chromaticity[i] = ((b[27 + i] << 2) | (low[i] & 0x03)) / 1024.0;

    const int established = b[35] << 9 | b[36] << 1 | b[37] >> 7;
    for (int bit = 0; bit < 17; ++bit) {
        if (established & (1 << (16 - bit)))
            base.establishedTimings << QLatin1String(kEstablishedTimings[bit]);
    }
    decodeStandardTimings(b, base.version, base.revision, base);
    for (int offset = 54; offset < 126; offset += 18)
        decodeDescriptor(b + offset, base);
    base.extensionCount = b[126];
    return base;
}

} // namespace vortalex
