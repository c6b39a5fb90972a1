// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace vortalex {

// AVI InfoFrame data bytes (CTA-861, 6.4), from data byte 1 on, without
// header or checksum: the custom AVI field's form. Data byte 14 (version 4)
// only carries the additional colorimetry; the field takes 13.
constexpr int kAviMinDataBytes = 2;
constexpr int kAviMaxDataBytes = 14;
constexpr int kAviFieldDataBytes = 13;
// A whole AVI InfoFrame starts with its header (CTA-861, 6.4): type code,
// version, length, then the checksum. Versions 2 and 3 carry 13 data bytes,
// version 4 carries 14.
constexpr std::uint8_t kAviInfoFrameTypeCode = 0x82;
constexpr int kAviHeaderLength = 4;

// The fields as their bits are coded, so that every frame round-trips.
struct AviValues
{
    std::uint8_t colourFormat = 0; // Y2-Y0: RGB, YCbCr 4:2:2, 4:4:4, 4:2:0
    bool activeFormatPresent = false; // A0
    std::uint8_t barInfo = 0; // B1-B0: bit 1 top/bottom bars, bit 0 left/right
    std::uint8_t scan = 0; // S1-S0: no data, overscanned, underscanned
    std::uint8_t colorimetry = 0; // C1-C0: no data, SMPTE 170M, BT.709, extended
    std::uint8_t pictureAspect = 0; // M1-M0: no data, 4:3, 16:9
    std::uint8_t activeFormat = 8; // R3-R0: 8 is "same as the picture"
    bool itContent = false; // ITC: with CN1-CN0 = 0, graphics rather than no data
    std::uint8_t extendedColorimetry = 0; // EC2-EC0
    std::uint8_t rgbQuantisation = 0; // Q1-Q0: default, limited, full
    std::uint8_t scaling = 0; // SC1-SC0: none, horizontal, vertical, both
    std::uint8_t vic = 0; // data byte 4
    std::uint8_t yccQuantisation = 0; // YQ1-YQ0: limited, full
    std::uint8_t contentType = 0; // CN1-CN0: no data or graphics (by ITC), photo, cinema, game
    std::uint8_t pixelRepetition = 0; // PR3-PR0: 0 none, n sent n + 1 times
    std::uint16_t topBarEnd = 0; // data bytes 6-13, lines and pixels
    std::uint16_t bottomBarStart = 0;
    std::uint16_t leftBarEnd = 0;
    std::uint16_t rightBarStart = 0;
    std::uint8_t additionalColorimetry = 0; // ACE3-ACE0, data byte 14
    bool operator==(const AviValues &o) const;
};

// Colorimetry as one choice over C1-C0, EC2-EC0 and ACE3-ACE0.
enum class AviColorimetry {
    None,
    Bt601,
    Bt709,
    XvYcc601,
    XvYcc709,
    SYcc601,
    OpYcc601,
    OpRgb,
    Bt2020ConstantLuminance, // YcCbcCrc
    Bt2020, // RGB or YCbCr
    DciP3D65,
    DciP3Theater,
    Reserved,
};
AviColorimetry aviColorimetry(const AviValues &values);
void setAviColorimetry(AviValues &values, AviColorimetry colorimetry);

// Quantisation range as one choice: Q1-Q0 for RGB, YQ1-YQ0 for YCbCr
// (which has no "default": that reads as limited).
enum class AviRange { Default, Limited, Full };
void setAviRange(AviValues &values, AviRange range);

// Content type as CTA-861-G words it from ITC and CN1-CN0: no data (ITC 0,
// CN 0), graphics (ITC 1, CN 0), photo, cinema, game (CN 1-3, whatever ITC).
enum class AviContent { None, Graphics, Photo, Cinema, Game };
AviContent aviContent(const AviValues &values);
void setAviContent(AviValues &values, AviContent content);

// What a decode found: `ok` with `values` and the number of data bytes given
// (missing bytes read as zero); `problem` says why not, or, with `ok`, which
// flagged field lacks its data bytes or what is wrong with the frame around
// them (checksum, version, length).
struct AviDecode
{
    bool ok = false;
    QString problem;
    int dataBytes = 0;
    bool hasHeader = false; // a whole frame, not the bare data bytes
    std::uint8_t version = 0;
    int paddingBytes = 0; // bytes after a whole frame's data bytes, not decoded
    bool checksumOk = false;
    std::uint8_t checksum = 0;
    std::uint8_t expectedChecksum = 0;
    AviValues values;
};

// A whole frame (first byte 0x82: type, version, length, checksum, data
// bytes; what follows is padding) or the data bytes alone.
AviDecode decodeAviInfoFrame(const QByteArray &bytes);
AviDecode decodeAviInfoFrameText(const QString &text);

// The data bytes: 5, 13 with bar data, 14 with additional colorimetry.
QByteArray encodeAviInfoFrame(const AviValues &values);

// One summary line ("YCbCr 4:2:0 · BT.2020 · limited range · VIC 97
// (3840x2160p60) · no aspect", or the problem), a report of every field and
// the JSON object of the command line, whose values are the key words below.
QString aviSummary(const AviDecode &decode);
QString aviReport(const AviDecode &decode);
QJsonObject aviJson(const AviDecode &decode);

// Values from KEY=VALUE arguments over all-zero fields with active format 8.
// Keys:
//   color=rgb|ycbcr422|ycbcr444|ycbcr420
//   colorimetry=none|bt601|bt709|xvycc601|xvycc709|sycc601|opycc601|oprgb|
//               bt2020cl|bt2020|dci-p3-d65|dci-p3-theater
//   quant=default|limited|full (RGB)   yquant=limited|full (YCbCr)
//   it=no|yes   content=none|graphics|photo|cinema|game (graphics sets ITC)
//   scaling=none|horizontal|vertical|both
//   vic=0-255   aspect=none|4:3|16:9   active=none|same|4:3|16:9|14:9|0-15
//   scan=none|overscan|underscan       repetition=0-15
//   top-bottom=END,START  left-right=END,START (bar lines and pixels, 0-65535)
// aviKeyHelp() gives these lines from the same table the parser reads.
struct AviKeyParse
{
    bool ok = false;
    QString error;
    AviValues values;
};
AviKeyParse parseAviKeyValues(const QStringList &arguments);
QString aviKeyHelp();
// The same keys as (key, words) pairs.
QList<QPair<QString, QString>> aviKeyWords();

} // namespace vortalex
