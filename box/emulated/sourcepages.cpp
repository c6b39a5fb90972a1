// SPDX-License-Identifier: GPL-3.0-or-later
#include "sourcepages.h"

namespace vortalex::sourcepages {

namespace {

constexpr int kPageData = 64;

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(std::uint8_t(v)));
    return b;
}

QByteArray padded(QByteArray data)
{
    data.resize(kPageData, '\0');
    return data;
}

QByteArray field(const QByteArray &text, int width)
{
    QByteArray f = text.left(width);
    f.resize(width, '\0');
    return f;
}

// HDR static metadata of the player (CTA-861-G, 6.9): EOTF SMPTE ST 2084,
// descriptor type 1, BT.2020 primaries (green, blue, red) and D65 white point
// in 0.00002 steps, 1000 cd/m2 peak, 0.005 cd/m2 black, MaxCLL 1000, MaxFALL 400.
QByteArray playerHdrMetadata()
{
    return bytes({ 0x02, 0x00, 0x34, 0x21, 0xAA, 0x9B, 0x96, 0x19, 0xFC, 0x08, 0x48, 0x8A, 0x08,
        0x39, 0x13, 0x3D, 0x42, 0x40, 0xE8, 0x03, 0x32, 0x00, 0xE8, 0x03, 0x90, 0x01 });
}

// AVI InfoFrame data bytes 1 to 13 (CTA-861-G, 6.4).
QByteArray aviData(Source source)
{
    if (source == Source::PortA) {
        // YCbCr 4:4:4; extended colorimetry, 16:9, same aspect; BT.2020; VIC 97.
        return bytes({ 0x40, 0xE8, 0x60, 97, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
    }
    // RGB; BT.709, 16:9, same aspect; VIC 16.
    return bytes({ 0x00, 0xA8, 0x00, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
}

} // namespace

QByteArray statusPage(Source source)
{
    const QByteArray avi = aviData(source);
    QByteArray page(kPageData, '\0');
    const bool a = source == Source::PortA;
    page[0] = char(a ? 97 : 16); // video identification code
    page[1] = char(0x10); // HDMI signal
    page[2] = char(a ? 2 : 0); // 600 MHz link for the 4K60 player
    page[3] = char(0x60); // TX A and TX B live
    page[8] = avi[0]; // answer byte 10: AVI data byte 1
    page[9] = avi[1]; // answer byte 11: AVI data byte 2
    page[10] = avi[2]; // answer byte 12: AVI data byte 3
    return page;
}

QByteArray productPage(Source source)
{
    // Source product description InfoFrame (CTA-861-G, 6.5): type 0x83, length 25.
    const bool a = source == Source::PortA;
    QByteArray page = bytes({ 0x83, 25 });
    page += field(a ? "LUMIDISC" : "KESTREL", 8);
    page += field(a ? "UHD BD Player 4K" : "GX Console", 16);
    page += char(a ? 0x09 : 0x08); // Blu-ray disc player, game console
    return padded(page);
}

QByteArray hdrPage(Source source)
{
    if (source == Source::PortB)
        return padded(QByteArray());
    const QByteArray metadata = playerHdrMetadata();
    return padded(bytes({ 0x87, int(metadata.size()) }) + metadata);
}

QByteArray aviPage(Source source)
{
    return padded(bytes({ 0x82, 13 }) + aviData(source));
}

QByteArray factoryHdrInfoFrame()
{
    const QByteArray metadata = playerHdrMetadata();
    QByteArray frame = bytes({ 0x87, 0x01, int(metadata.size()), 0x00 }) + metadata;
    // InfoFrame checksum: all bytes including the checksum add up to 0 (CTA-861-G, 6.1).
    std::uint8_t sum = 0;
    for (char c : frame)
        sum = std::uint8_t(sum + std::uint8_t(c));
    frame[3] = char(std::uint8_t(0x100 - sum));
    frame.resize(31, '\0');
    return frame;
}

QByteArray factoryAviInfoFrame()
{
    // YCbCr 4:2:0, extended colorimetry BT.2020, VIC 97.
    return bytes({ 0x60, 0xC8, 0x60, 0x61, 0, 0, 0, 0, 0, 0, 0, 0, 0 });
}

} // namespace vortalex::sourcepages
