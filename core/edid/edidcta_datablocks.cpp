// SPDX-License-Identifier: GPL-3.0-or-later
// The data blocks of a CTA-861 extension (CTA-861-H, 7.5.1 to 7.5.15) and
// the HDMI vendor blocks they carry (HDMI 1.4b, 8.3.2; HDMI 2.1, 10.3.2).
#include "edidblocks.h"

#include <cmath>
#include <utility>

namespace vortalex {

namespace {

// CTA-861-H, table 54: data block tag codes.
enum Tag { AudioTag = 1, VideoTag = 2, VendorTag = 3, SpeakerTag = 4, ExtendedTag = 7 };
// Table 55: extended tag codes.
enum ExtendedTagCode {
    VideoCapability = 0,
    Colorimetry = 5,
    HdrStatic = 6,
    Ycbcr420Video = 14,
    Ycbcr420CapabilityMap = 15,
    HdmiForumSink = 0x79,
};

constexpr quint32 kHdmiOui = 0x000C03;
constexpr quint32 kHdmiForumOui = 0xC45DD8;

QString tagName(int tag)
{
    switch (tag) {
    case AudioTag:
        return QStringLiteral("Audio data block");
    case VideoTag:
        return QStringLiteral("Video data block");
    case VendorTag:
        return QStringLiteral("Vendor-specific data block");
    case SpeakerTag:
        return QStringLiteral("Speaker allocation data block");
    case 5:
        return QStringLiteral("VESA display transfer characteristic data block");
    default:
        return QStringLiteral("Reserved data block, tag %1").arg(tag);
    }
}

QString extendedTagName(int code)
{
    switch (code) {
    case VideoCapability:
        return QStringLiteral("Video capability data block");
    case 1:
        return QStringLiteral("Vendor-specific video data block");
    case 2:
        return QStringLiteral("VESA display device data block");
    case 3:
        return QStringLiteral("VESA video timing block extension");
    case Colorimetry:
        return QStringLiteral("Colorimetry data block");
    case HdrStatic:
        return QStringLiteral("HDR static metadata data block");
    case 7:
        return QStringLiteral("HDR dynamic metadata data block");
    case 13:
        return QStringLiteral("Video format preference data block");
    case Ycbcr420Video:
        return QStringLiteral("YCbCr 4:2:0 video data block");
    case Ycbcr420CapabilityMap:
        return QStringLiteral("YCbCr 4:2:0 capability map data block");
    case 17:
        return QStringLiteral("Vendor-specific audio data block");
    case 18:
        return QStringLiteral("Room configuration data block");
    case 19:
        return QStringLiteral("Speaker location data block");
    case 32:
        return QStringLiteral("InfoFrame data block");
    case 0x78:
        return QStringLiteral("HDMI Forum EDID extension override data block");
    case HdmiForumSink:
        return QStringLiteral("HDMI Forum sink capability data block");
    default:
        return QStringLiteral("Extended data block, extended tag %1").arg(code);
    }
}

// CTA-861-H, 7.5.1: a short video descriptor. Codes 129-192 are VICs 1-64
// with the native flag; 0 and 128 are reserved and skipped, as edid-decode
// skips them.
bool isReservedSvd(int code)
{
    return code == 0 || code == 128;
}

VideoDescriptor shortVideoDescriptor(int code)
{
    if (code >= 129 && code <= 192)
        return { code & 0x7F, true };
    return { code, false };
}

// Audio format codes and audio format code extension types (CTA-861-H,
// 7.5.2); extension types by edid-decode's names.
enum AudioExtension {
    MpegH3d = 11,
    Ac4 = 12,
    Lpcm3d = 13,
    AuroCx = 14,
};


// One three-byte short audio descriptor. Byte 0 bits 2-0 are the channel
// count less one, except for MPEG-H 3D Audio (its level) and AC-4 and
// Auro-Cx (their own fields); L-PCM 3D Audio adds two high bits, byte 0
// bit 7 and byte 1 bit 7, for up to 32 channels. Byte 1 bits 6-0 are the
// sample rates; byte 2 depends on the format.
AudioDescriptor shortAudioDescriptor(const std::uint8_t *d)
{
    static const double rates[7] = { 32, 44.1, 48, 88.2, 96, 176.4, 192 };
    AudioDescriptor sad;
    sad.formatCode = (d[0] >> 3) & 0x0F;
    sad.extendedCode = sad.formatCode == 15 ? d[2] >> 3 : 0;
    sad.format = audioFormatName(sad.formatCode, sad.extendedCode);
    if (sad.formatCode == 0)
        return sad;
    if (sad.formatCode != 15)
        sad.channels = (d[0] & 0x07) + 1;
    else if (sad.extendedCode == Lpcm3d)
        sad.channels = ((d[0] & 0x07) | (d[0] & 0x80) >> 4 | (d[1] & 0x80) >> 3) + 1;
    else if (sad.extendedCode == MpegH3d)
        sad.mpeghLevel = d[0] & 0x07;
    else if (sad.extendedCode != Ac4 && sad.extendedCode != AuroCx)
        sad.channels = (d[0] & 0x07) + 1;
    for (int bit = 0; bit < 7; ++bit) {
        if (d[1] & (1 << bit))
            sad.ratesKhz << rates[bit];
    }
    if (sad.formatCode == 1 || sad.extendedCode == Lpcm3d) {
        for (int bit = 0; bit < 3; ++bit) {
            if (d[2] & (1 << bit))
                sad.bitDepths << 16 + 4 * bit;
        }
    } else if (sad.formatCode >= 2 && sad.formatCode <= 8) {
        sad.maxBitrateKbps = d[2] * 8;
    } else if (sad.formatCode >= 9 && sad.formatCode <= 14) {
        sad.formatValue = d[2];
    }
    return sad;
}

void decodeAudio(const std::uint8_t *p, int length, CtaBlock &cta)
{
    for (int i = 0; i + 3 <= length; i += 3)
        cta.audio << shortAudioDescriptor(p + i);
}

// Table 34: speaker allocation, bytes 1 and 2, least significant bit first.
void decodeSpeakers(const std::uint8_t *p, int length, CtaBlock &cta)
{
    static const char *const speakers[16]
        = { "FL/FR", "LFE1", "FC", "BL/BR", "BC", "FLC/FRC", "RLC/RRC", "FLW/FRW", "TpFL/TpFR",
              "TpC", "TpFC", "LS/RS", "LFE2", "TpBC", "SiL/SiR", "TpSiL/TpSiR" };
    const int bits = (length > 0 ? p[0] : 0) | (length > 1 ? p[1] << 8 : 0);
    for (int bit = 0; bit < 16; ++bit) {
        if (bits & (1 << bit))
            cta.speakers << QLatin1String(speakers[bit]);
    }
}

// HDMI 1.4b, 8.3.2; latency bytes: 0 not given, 255 no video or audio,
// otherwise (value - 1) * 2 ms.
int latencyMs(int value)
{
    return value == 0 ? -1 : value == 255 ? -2 : (value - 1) * 2;
}

HdmiBlock decodeHdmi(const std::uint8_t *p, int length)
{
    HdmiBlock hdmi;
    if (length >= 5)
        hdmi.physicalAddress = QStringLiteral("%1.%2.%3.%4")
                                   .arg(p[3] >> 4)
                                   .arg(p[3] & 0x0F)
                                   .arg(p[4] >> 4)
                                   .arg(p[4] & 0x0F);
    if (length >= 6) {
        hdmi.supportsAi = p[5] & 0x80;
        for (const auto &[bit, depth] : { std::pair { 0x10, 30 }, { 0x20, 36 }, { 0x40, 48 } }) {
            if (p[5] & bit)
                hdmi.deepColor << depth;
        }
        hdmi.deepColorY444 = p[5] & 0x08;
        hdmi.dualDvi = p[5] & 0x01;
    }
    if (length >= 7)
        hdmi.maxTmdsMhz = p[6] * 5;
    if (length >= 8) {
        int next = 8;
        if ((p[7] & 0x80) && length >= next + 2) {
            hdmi.videoLatencyMs = latencyMs(p[next]);
            hdmi.audioLatencyMs = latencyMs(p[next + 1]);
            next += 2;
        }
        if ((p[7] & 0xC0) == 0xC0 && length >= next + 2) {
            hdmi.interlacedVideoLatencyMs = latencyMs(p[next]);
            hdmi.interlacedAudioLatencyMs = latencyMs(p[next + 1]);
        }
    }
    return hdmi;
}

// HDMI 2.1, table 10-6: `p` points at the version byte (payload byte 3).
HdmiForumBlock decodeHdmiForum(const std::uint8_t *p, int length)
{
    // Max_FRL_Rate: lanes x Gbps per lane.
    static const int frlGbps[7] = { 0, 9, 18, 24, 32, 40, 48 };
    HdmiForumBlock forum;
    forum.version = length >= 1 ? p[0] : 0;
    if (length >= 2)
        forum.maxTmdsMhz = p[1] * 5;
    if (length >= 3) {
        forum.scdc = p[2] & 0x80;
        forum.readRequest = p[2] & 0x40;
        forum.scrambling340 = p[2] & 0x08;
    }
    if (length >= 4) {
        const int frl = p[3] >> 4;
        forum.maxFrlGbps = frl < 7 ? frlGbps[frl] : 0;
        for (const auto &[bit, depth] : { std::pair { 0x01, 30 }, { 0x02, 36 }, { 0x04, 48 } }) {
            if (p[3] & bit)
                forum.deepColor420 << depth;
        }
    }
    if (length >= 5)
        forum.allm = p[4] & 0x02;
    if (length >= 8)
        forum.dsc = p[7] & 0x80;
    return forum;
}

void decodeVendor(const std::uint8_t *p, int length, CtaBlock &cta, DataBlockSummary &summary)
{
    if (length < 3)
        return;
    const quint32 oui = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16;
    summary.name += QString::asprintf(", OUI %02X-%02X-%02X", p[2], p[1], p[0]);
    if (oui == kHdmiOui && !cta.hdmi) {
        summary.name = QStringLiteral("HDMI vendor-specific data block");
        cta.hdmi = decodeHdmi(p, length);
    } else if (oui == kHdmiForumOui && !cta.hdmiForum) {
        summary.name = QStringLiteral("HDMI Forum vendor-specific data block");
        cta.hdmiForum = decodeHdmiForum(p + 3, length - 3);
    }
}

// 7.5.6: video capability data block.
void decodeVideoCapability(const std::uint8_t *p, int length, CtaBlock &cta)
{
    if (length < 1)
        return;
    static const char *const scan[4]
        = { "no data", "always overscanned", "always underscanned", "over- and underscan" };
    if (p[0] & 0x80)
        cta.videoCapability << QStringLiteral("YCbCr quantization selectable");
    if (p[0] & 0x40)
        cta.videoCapability << QStringLiteral("RGB quantization selectable");
    cta.videoCapability << QStringLiteral("PT: %1").arg(QLatin1String(scan[(p[0] >> 4) & 3]))
                        << QStringLiteral("IT: %1").arg(QLatin1String(scan[(p[0] >> 2) & 3]))
                        << QStringLiteral("CE: %1").arg(QLatin1String(scan[p[0] & 3]));
}

// 7.5.5: colorimetry data block, byte 3 then byte 4, least significant bit
// first, named as edid-decode prints them (byte 4 bits 3-0 are the former
// gamut metadata profiles MD0-MD3, now reserved; bit 7 was DCI-P3).
void decodeColorimetry(const std::uint8_t *p, int length, CtaBlock &cta)
{
    static const char *const names[16] = { "xvYCC601", "xvYCC709", "sYCC601", "opYCC601", "opRGB",
        "BT2020cYCC", "BT2020YCC", "BT2020RGB", "Reserved MD0", "Reserved MD1", "Reserved MD2",
        "Reserved MD3", "Default", "sRGB", "ICtCp", "ST2113RGB" };
    const int bits = (length > 0 ? p[0] : 0) | (length > 1 ? p[1] << 8 : 0);
    for (int bit = 0; bit < 16; ++bit) {
        if (bits & (1 << bit))
            cta.colorimetry << QLatin1String(names[bit]);
    }
}

// 7.5.13: luminance code values; maximum and frame average 50 * 2^(CV/32)
// cd/m2, minimum max * (CV/255)^2 / 100.
HdrStaticBlock decodeHdrStatic(const std::uint8_t *p, int length)
{
    static const char *const eotfs[4] = { "SDR", "HDR", "PQ", "HLG" };
    HdrStaticBlock hdr;
    for (int bit = 0; bit < 4 && length > 0; ++bit) {
        if (p[0] & (1 << bit))
            hdr.eotfs << QLatin1String(eotfs[bit]);
    }
    for (int bit = 0; bit < 8 && length > 1; ++bit) {
        if (p[1] & (1 << bit))
            hdr.metadataTypes << bit + 1;
    }
    if (length > 2)
        hdr.maxLuminance = 50.0 * std::pow(2.0, p[2] / 32.0);
    if (length > 3)
        hdr.maxFrameAvg = 50.0 * std::pow(2.0, p[3] / 32.0);
    if (length > 4 && hdr.maxLuminance)
        hdr.minLuminance = *hdr.maxLuminance * (p[4] / 255.0) * (p[4] / 255.0) / 100.0;
    return hdr;
}

// 7.5.11: one bit per short video descriptor of the video data blocks, in
// their order, reserved codes counted too; an empty map means every one.
void decodeCapabilityMap(const std::uint8_t *p, int length, CtaBlock &cta)
{
    for (int i = 0; i < cta.svdCodes.size(); ++i) {
        const bool marked = length == 0 || (i / 8 < length && (p[i / 8] & (1 << (i % 8))));
        if (marked && !isReservedSvd(cta.svdCodes.at(i)))
            cta.ycbcr420CapableVics << shortVideoDescriptor(cta.svdCodes.at(i)).vic;
    }
}

void decodeExtended(const std::uint8_t *p, int length, CtaBlock &cta)
{
    switch (p[0]) {
    case VideoCapability:
        decodeVideoCapability(p + 1, length - 1, cta);
        break;
    case Colorimetry:
        decodeColorimetry(p + 1, length - 1, cta);
        break;
    case HdrStatic:
        if (!cta.hdrStatic)
            cta.hdrStatic = decodeHdrStatic(p + 1, length - 1);
        break;
    case Ycbcr420Video:
        for (int i = 1; i < length; ++i) {
            if (!isReservedSvd(p[i]))
                cta.ycbcr420OnlyVics << shortVideoDescriptor(p[i]).vic;
        }
        break;
    case Ycbcr420CapabilityMap:
        decodeCapabilityMap(p + 1, length - 1, cta);
        break;
    case 1: {
        // Vendor-specific video data block: the OUI, least significant byte first.
        const int oui = length >= 4 ? p[1] | p[2] << 8 | p[3] << 16 : -1;
        const QString name = oui == 0x00D046 ? QStringLiteral("Dolby Vision")
            : oui == 0x90848B                ? QStringLiteral("HDR10+")
                                             : QString();
        if (!name.isEmpty() && !cta.dynamicHdr.contains(name))
            cta.dynamicHdr << name;
        break;
    }
    case HdmiForumSink:
        // Two reserved bytes, then the fields of the HDMI Forum vendor block.
        if (!cta.hdmiForum && length >= 4)
            cta.hdmiForum = decodeHdmiForum(p + 3, length - 3);
        break;
    default:
        break;
    }
}

} // namespace

QString audioFormatName(int code, int extended)
{
    static const char *const names[16]
        = { "Reserved", "LPCM", "AC-3", "MPEG-1", "MP3", "MPEG-2", "AAC LC", "DTS", "ATRAC",
              "One Bit Audio", "E-AC-3", "DTS-HD", "MAT (MLP)", "DST", "WMA Pro", "Extended" };
    if (code != 15)
        return QLatin1String(names[code]);
    switch (extended) {
    case 1:
        return QStringLiteral("HE AAC (Obsolete)");
    case 2:
        return QStringLiteral("HE AAC v2 (Obsolete)");
    case 3:
        return QStringLiteral("MPEG Surround (Obsolete)");
    case 4:
        return QStringLiteral("MPEG-4 HE AAC");
    case 5:
        return QStringLiteral("MPEG-4 HE AAC v2");
    case 6:
        return QStringLiteral("MPEG-4 AAC LC");
    case 7:
        return QStringLiteral("DRA");
    case 8:
        return QStringLiteral("MPEG-4 HE AAC + MPEG Surround");
    case 10:
        return QStringLiteral("MPEG-4 AAC LC + MPEG Surround");
    case 11:
        return QStringLiteral("MPEG-H 3D Audio");
    case 12:
        return QStringLiteral("AC-4");
    case 13:
        return QStringLiteral("L-PCM 3D Audio");
    case 14:
        return QStringLiteral("Auro-Cx");
    case 15:
        return QStringLiteral("MPEG-D USAC");
    default:
        return QStringLiteral("Unknown Audio Ext Format (0x%1)")
            .arg(extended, 2, 16, QLatin1Char('0'));
    }
}

void decodeCtaDataBlock(const std::uint8_t *data, int length, CtaBlock &cta)
{
    DataBlockSummary summary;
    summary.tag = data[0] >> 5;
    summary.length = length;
    summary.name = tagName(summary.tag);
    const std::uint8_t *p = data + 1;
    switch (summary.tag) {
    case AudioTag:
        decodeAudio(p, length, cta);
        break;
    case VideoTag:
        for (int i = 0; i < length; ++i) {
            cta.svdCodes << p[i];
            if (!isReservedSvd(p[i]))
                cta.vics << shortVideoDescriptor(p[i]);
        }
        break;
    case VendorTag:
        decodeVendor(p, length, cta, summary);
        break;
    case SpeakerTag:
        decodeSpeakers(p, length, cta);
        break;
    case ExtendedTag:
        if (length >= 1) {
            summary.extendedTag = p[0];
            summary.name = extendedTagName(p[0]);
            decodeExtended(p, length, cta);
        }
        break;
    default:
        break;
    }
    cta.blocks << summary;
}

} // namespace vortalex
