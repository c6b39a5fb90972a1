// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace vortalex {

// What an EDID table says, as plain values. decodeEdid() fills it from
// 128 x n bytes: the base block (VESA E-EDID 1.4) and its extension blocks,
// of which CTA-861 blocks are decoded and any other is reported by its tag.

// An 18-byte detailed timing descriptor (VESA E-EDID 1.4, 3.10.2).
struct DetailedTiming
{
    double pixelClockMhz = 0;
    int width = 0; // active pixels per line
    int height = 0; // active lines per frame (both fields when interlaced)
    int hBlank = 0;
    int vBlank = 0; // per field when interlaced
    int hFront = 0;
    int hSync = 0;
    int vFront = 0;
    int vSync = 0;
    int widthMm = 0;
    int heightMm = 0;
    bool interlaced = false;
    bool hSyncPositive = false;
    bool vSyncPositive = false;
    double refreshHz = 0; // field rate when interlaced
};

// Display range limits descriptor (VESA E-EDID 1.4, 3.10.3.3).
struct RangeLimits
{
    int vMinHz = 0;
    int vMaxHz = 0;
    int hMinKhz = 0;
    int hMaxKhz = 0;
    int maxPixelClockMhz = 0;
};

// A standard timing (VESA E-EDID 1.4, 3.9).
struct StandardTiming
{
    int width = 0;
    int height = 0;
    int refreshHz = 0;
    QString aspect; // "16:9"
};

// The base block, bytes 0-127.
struct BaseBlock
{
    QString manufacturer; // three-letter PNP id
    int productCode = 0;
    quint32 serialNumber = 0;
    int week = 0; // 0: not given
    int year = 0; // year of manufacture, 0 when a model year is given
    int modelYear = 0; // 0 when a year of manufacture is given
    int version = 0;
    int revision = 0;
    bool digital = false;
    int bitDepth = 0; // bits per primary colour, 0: not given (EDID 1.4 digital only)
    QString interface; // "HDMI-a", "DisplayPort", ... (EDID 1.4 digital only)
    int widthCm = 0;
    int heightCm = 0;
    QString aspectRatio; // EDID 1.4 with one size byte 0: "1.78 (landscape)", "0.56 (portrait)"
    double gamma = 0; // 0: given elsewhere
    bool dpmsStandby = false;
    bool dpmsSuspend = false;
    bool dpmsActiveOff = false;
    QString colourFormats; // "RGB 4:4:4, YCbCr 4:4:4, YCbCr 4:2:2" or the analogue colour type
    bool srgbDefault = false;
    bool preferredIsNative = false;
    bool continuousFrequency = false;
    // x and y of red, green, blue and white, in that order.
    double chromaticity[8] = {};
    QStringList establishedTimings; // "640x480@60"
    QList<StandardTiming> standardTimings;
    QList<DetailedTiming> detailed; // in descriptor order; the first is preferred
    QString name;
    QString serialString;
    QStringList texts; // unspecified text descriptors
    std::optional<RangeLimits> range;
    QStringList otherDescriptors; // other display descriptors by tag, "0xF7"
    int extensionCount = 0;
};

// A short video descriptor of a video data block (CTA-861, 7.5.1).
struct VideoDescriptor
{
    int vic = 0;
    bool native = false;
};

// A short audio descriptor (CTA-861, 7.5.2).
struct AudioDescriptor
{
    int formatCode = 0; // 0 reserved, 1 LPCM ... 15 extension type
    int extendedCode = 0; // for format code 15
    QString format; // "LPCM", "AC-3", "E-AC-3", "MAT (MLP)", "MPEG-H 3D Audio", ...
    int channels = 0; // 0: the format gives none (reserved, MPEG-H 3D Audio, AC-4, Auro-Cx)
    int mpeghLevel = -1; // MPEG-H 3D Audio only: 0 unspecified, 1-5, 6-7 reserved
    QList<double> ratesKhz; // ascending
    QList<int> bitDepths; // LPCM and L-PCM 3D Audio only, ascending
    int maxBitrateKbps = 0; // format codes 2-8
    int formatValue = 0; // byte 3 of format codes 9-14 (E-AC-3, MAT: bit 0 Dolby Atmos)
};

// The name of an audio format code (and extended code for 15): "LPCM",
// "E-AC-3", "MAT (MLP)", ...
QString audioFormatName(int code, int extended = 0);

// HDMI vendor-specific data block, OUI 00-0C-03 (HDMI 1.4b, 8.3.2).
struct HdmiBlock
{
    QString physicalAddress; // "1.0.0.0"
    bool supportsAi = false;
    QList<int> deepColor; // 30, 36, 48
    bool deepColorY444 = false;
    bool dualDvi = false;
    int maxTmdsMhz = 0; // 0: not given
    // Latencies in ms; -1 not given, -2 the path does not carry video or audio.
    int videoLatencyMs = -1;
    int audioLatencyMs = -1;
    int interlacedVideoLatencyMs = -1;
    int interlacedAudioLatencyMs = -1;
};

// HDMI Forum vendor-specific data block, OUI C4-5D-D8, or the HDMI Forum
// sink capability data block that carries the same fields (HDMI 2.1, 10.3.2).
struct HdmiForumBlock
{
    int version = 0;
    int maxTmdsMhz = 0; // 0: not above 340 MHz
    bool scdc = false;
    bool readRequest = false;
    bool scrambling340 = false;
    QList<int> deepColor420; // 30, 36, 48
    int maxFrlGbps = 0; // total over all lanes, 0: no FRL
    bool allm = false;
    bool dsc = false;
};

// HDR static metadata data block (CTA-861, 7.5.13).
struct HdrStaticBlock
{
    QStringList eotfs; // "SDR", "HDR", "PQ", "HLG"
    QList<int> metadataTypes;
    std::optional<double> maxLuminance; // cd/m2
    std::optional<double> maxFrameAvg;
    std::optional<double> minLuminance;
};

// Any data block, as found, for the list of blocks.
struct DataBlockSummary
{
    int offset = 0; // byte of the block header within its extension block
    int tag = 0;
    int extendedTag = -1; // tag 7 only
    int length = 0; // payload bytes after the header byte
    QString name;
};

// A CTA-861 extension block (CTA-861, 7.5).
struct CtaBlock
{
    int revision = 0;
    bool underscan = false;
    bool basicAudio = false;
    bool ycbcr444 = false;
    bool ycbcr422 = false;
    int nativeDetailedCount = 0;
    QList<DataBlockSummary> blocks;
    QList<VideoDescriptor> vics; // reserved codes 0 and 128 left out
    QList<int> svdCodes; // every short video descriptor as found, for the 4:2:0 map
    QList<int> ycbcr420OnlyVics; // YCbCr 4:2:0 video data block
    QList<int> ycbcr420CapableVics; // video data block VICs the 4:2:0 capability map marks
    QList<AudioDescriptor> audio;
    QStringList speakers; // "FL/FR", "LFE1", ...
    std::optional<HdmiBlock> hdmi;
    std::optional<HdmiForumBlock> hdmiForum;
    QStringList videoCapability; // "RGB quantization selectable", ...
    QStringList colorimetry; // "BT2020RGB", "ST2113RGB", ... in bit order
    std::optional<HdrStaticBlock> hdrStatic;
    // Dynamic HDR named by vendor-specific video data blocks: "Dolby Vision",
    // "HDR10+".
    QStringList dynamicHdr;
    QList<DetailedTiming> detailed;
};

// DisplayID product identification data block (DisplayID 1.3 tag 0x00, 2.0 tag 0x20).
struct DisplayIdProduct
{
    QString manufacturer; // PNP id "ACR" (1.x) or OUI "00-10-FA" (2.x)
    int productCode = 0;
    quint32 serialNumber = 0;
    int week = 0;
    int year = 0;
    QString name;
};

// Display parameters data block (DisplayID 1.3 tag 0x01, 2.0 tag 0x21).
struct DisplayIdParameters
{
    double widthMm = 0;
    double heightMm = 0;
    int width = 0; // native pixel format
    int height = 0;
};

// Tiled display topology data block (DisplayID 1.3 tag 0x12,
// 2.0 tag 0x28).
struct DisplayIdTiles
{
    int horizontal = 0; // tiles across
    int vertical = 0;
    int column = 0; // this tile's location
    int row = 0;
    int width = 0; // this tile's pixels
    int height = 0;
};

// A type I or type VII detailed timing (DisplayID 1.3 tag 0x03,
// 2.0 tag 0x22).
struct DisplayIdTiming
{
    DetailedTiming timing;
    bool preferred = false;
};

// One data block of a DisplayID section, by tag.
struct DisplayIdDataBlock
{
    int offset = 0; // byte of the block header within its extension block
    int tag = 0;
    int length = 0; // payload bytes after the three header bytes
    QString name;
    int timingCount = -1; // type VIII and IX timing blocks: how many timings
};

// A DisplayID section carried in an extension block with tag 0x70.
struct DisplayIdBlock
{
    int version = 0; // 1 or 2
    int revision = 0; // 2 for "1.2"
    QString productType; // 1.x display product type or 2.x primary use case
    int extensionCount = 0;
    bool checksumOk = false; // the section's own checksum
    QList<DisplayIdDataBlock> blocks;
    std::optional<DisplayIdProduct> product;
    std::optional<DisplayIdParameters> parameters;
    std::optional<DisplayIdTiles> tiles;
    QList<DisplayIdTiming> detailed;
    // CTA-861 data blocks carried in a CTA-861 DisplayID data block (tag
    // 0x81): colorimetry, HDR static metadata, ... (no header flags, no
    // detailed timings).
    std::optional<CtaBlock> cta;
};

struct ExtensionBlock
{
    int index = 0; // block number, 1 for the first extension
    int tag = 0; // byte 0: 0x02 CTA-861, 0x70 DisplayID, 0xF0 block map, ...
    std::optional<CtaBlock> cta;
    std::optional<DisplayIdBlock> displayId;
};

struct EdidInfo
{
    int byteCount = 0;
    bool headerOk = false;
    QList<bool> checksumsOk; // one per block present, base block first
    std::optional<BaseBlock> base; // absent when fewer than 128 bytes are given
    QList<ExtensionBlock> extensions;
    QStringList problems;
};

// Decodes any number of bytes. Blocks beyond the extension count are decoded
// too (a problem, as the count is wrong) unless they are zero padding; every
// defect (short table, bad header, bad checksum, a data block running
// past its data area, ...) becomes a line in `problems`, never a failure.
EdidInfo decodeEdid(const QByteArray &bytes);

// The first detailed timing of the base block, else of the first CTA block,
// else the first type I or VII timing of a DisplayID block.
std::optional<DetailedTiming> preferredTiming(const EdidInfo &info);

} // namespace vortalex
