// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace vortalex {

// Dynamic Range and Mastering InfoFrame (CTA-861, 6.9): header, checksum and
// 26 data bytes of Static Metadata Type 1.
constexpr std::uint8_t kHdrInfoFrameTypeCode = 0x87;
constexpr std::uint8_t kHdrInfoFrameVersion = 1;
constexpr std::uint8_t kHdrInfoFrameLength = 26;
constexpr int kHdrInfoFrameHeaderLength = 4; // type, version, length, checksum

// Data byte 1, EOTF (CTA-861, table of EOTFs); 4-7 are reserved.
enum class Eotf : std::uint8_t { Sdr = 0, Hdr = 1, Pq = 2, Hlg = 3 };

// CIE 1931 x, y in units of 0.00002: 0-50000 is 0-1.0 (CTA-861, 6.9); the
// codes above are no colour, refused by the keys and reported by the decoder.
struct Chromaticity
{
    std::uint16_t x = 0;
    std::uint16_t y = 0;
    bool operator==(const Chromaticity &o) const { return x == o.x && y == o.y; }
};
constexpr int kChromaticityCodesPerUnit = 50000;

// The data bytes in real units. Zero luminance or light level means unknown.
struct HdrMetadata
{
    std::uint8_t eotf = std::uint8_t(Eotf::Pq); // bits 2-0 of data byte 1
    std::uint8_t descriptorId = 0; // data byte 2: 0 is Static Metadata Type 1
    // display_primaries 0, 1, 2 as sources send them: green, blue, red.
    Chromaticity green;
    Chromaticity blue;
    Chromaticity red;
    Chromaticity white;
    std::uint16_t maxLuminance = 0; // cd/m²
    std::uint16_t minLuminance = 0; // units of 0.0001 cd/m²
    std::uint16_t maxCll = 0; // cd/m²
    std::uint16_t maxFall = 0; // cd/m²
    bool operator==(const HdrMetadata &o) const;
};
constexpr int kMinLuminanceCodesPerUnit = 10000;

// What a decode found. `ok`: `values` hold the data bytes. `problem` says
// why the text does not decode, or, with `ok`, what is wrong with the frame
// around good data bytes (checksum, version) or in them (a reserved EOTF or
// metadata type, a chromaticity over 1.0). Data bytes of a metadata type
// other than 1 are not laid out.
struct HdrDecode
{
    bool ok = false;
    QString problem;
    bool hasHeader = false; // a whole frame, not the bare data bytes
    int paddingBytes = 0; // bytes after a whole frame's data bytes, not decoded
    bool checksumOk = false;
    std::uint8_t checksum = 0;
    std::uint8_t expectedChecksum = 0;
    HdrMetadata values;
};

// A whole frame (first byte 0x87: type, version, length, checksum, data) as
// the custom HDR field holds it, or the 26 data bytes as the capture shows
// them. Checks the length, the version and the checksum; bytes after a whole
// frame's 26 data bytes are padding.
HdrDecode decodeHdrInfoFrame(const QByteArray &bytes);
// The same from a field's hex text.
HdrDecode decodeHdrInfoFrameText(const QString &text);

// The whole frame for the custom HDR field: header, checksum, data bytes.
QByteArray encodeHdrInfoFrame(const HdrMetadata &values);

// Colour primaries and white points the builder and the keys offer.
enum class HdrPrimaries { Bt2020, DciP3, Bt709 };
void setHdrPrimaries(HdrMetadata &values, HdrPrimaries primaries);
// Whether red, green and blue are those of `primaries`, within 0.0005.
bool hdrPrimariesMatch(const HdrMetadata &values, HdrPrimaries primaries);
Chromaticity d65WhitePoint();

// Texts: one summary line ("PQ · BT.2020 · 1000 / 0.005 cd/m² · MaxCLL 1000 ·
// MaxFALL 400", or the problem), a report of every field, one per line, and
// the JSON object of the command line.
QString hdrSummary(const HdrDecode &decode);
QString hdrReport(const HdrDecode &decode);
QJsonObject hdrJson(const HdrDecode &decode);

// Values from KEY=VALUE arguments over the defaults (PQ, BT.2020, D65,
// 1000 / 0.005 cd/m², MaxCLL 1000, MaxFALL 400). Keys:
//   eotf=sdr|hdr|pq|hlg             metadata-type=1
//   primaries=bt2020|dci-p3|bt709   red=X,Y green=X,Y blue=X,Y
//   white=d65|dci|X,Y               (X, Y from 0 to 1)
//   max-lum=0-65535 (cd/m²)         min-lum=0-6.5535 (cd/m², steps of 0.0001)
//   max-cll=0-65535                 max-fall=0-65535
struct HdrKeyParse
{
    bool ok = false;
    QString error;
    HdrMetadata values;
};
HdrMetadata defaultHdrMetadata();
HdrKeyParse parseHdrKeyValues(const QStringList &arguments);
// The keys above, one "  key: words" line each, from the parser's own table.
QString hdrKeyHelp();
// The same keys as (key, words) pairs.
QList<QPair<QString, QString>> hdrKeyWords();

// Field readers shared by the keys and the builder's fields: false and a
// reason for text out of range.
bool readChromaticity(const QString &x, const QString &y, Chromaticity &out, QString &error);
bool readCoordinate(const QString &text, std::uint16_t &out, QString &error);
bool readMaxLuminance(const QString &text, std::uint16_t &out, QString &error);
bool readMinLuminance(const QString &text, std::uint16_t &out, QString &error);
bool readLightLevel(const QString &text, std::uint16_t &out, QString &error);

// Texts of values in their units: "0.3127", "0.005".
QString coordinateText(std::uint16_t code);
QString minLuminanceText(std::uint16_t code);
QString eotfName(std::uint8_t eotf);
// The EOTF in JSON: "SDR", "HDR", "PQ", "HLG", as the EDID JSON's
// hdr_static.eotfs spells them; the number for a reserved code.
QJsonValue eotfJson(std::uint8_t eotf);

} // namespace vortalex
