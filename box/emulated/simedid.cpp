// SPDX-License-Identifier: GPL-3.0-or-later
#include "simedid.h"

#include <algorithm>

namespace vortalex::simedid {

namespace {

constexpr int kBlockSize = 128;
constexpr int kTableSize = 256;

struct Timing
{
    std::uint8_t vic;
    int pixelClock10kHz;
    int hActive, hFront, hSync, hBack;
    int vActive, vFront, vSync, vBack;
    bool positiveSync;
};

// Video timings of the CTA-861 formats the emulated sinks use (CTA-861, 4.1).
constexpr Timing kTimings[] = {
    { 1, 2518, 640, 16, 96, 48, 480, 10, 2, 33, false },
    { 2, 2700, 720, 16, 62, 60, 480, 9, 6, 30, false },
    { 3, 2700, 720, 16, 62, 60, 480, 9, 6, 30, false },
    { 4, 7425, 1280, 110, 40, 220, 720, 5, 5, 20, true },
    { 16, 14850, 1920, 88, 44, 148, 1080, 4, 5, 36, true },
    { 17, 2700, 720, 12, 64, 68, 576, 5, 5, 39, false },
    { 18, 2700, 720, 12, 64, 68, 576, 5, 5, 39, false },
    { 19, 7425, 1280, 440, 40, 220, 720, 5, 5, 20, true },
    { 31, 14850, 1920, 528, 44, 148, 1080, 4, 5, 36, true },
    { 32, 7425, 1920, 638, 44, 148, 1080, 4, 5, 36, true },
    { 93, 29700, 3840, 1276, 88, 296, 2160, 8, 10, 72, true },
    { 94, 29700, 3840, 1056, 88, 296, 2160, 8, 10, 72, true },
    { 95, 29700, 3840, 176, 88, 296, 2160, 8, 10, 72, true },
    { 96, 59400, 3840, 1056, 88, 296, 2160, 8, 10, 72, true },
    { 97, 59400, 3840, 176, 88, 296, 2160, 8, 10, 72, true },
};

const Timing *timingOf(std::uint8_t vic)
{
    for (const Timing &t : kTimings)
        if (t.vic == vic)
            return &t;
    return nullptr;
}

int totalH(const Timing &t)
{
    return t.hActive + t.hFront + t.hSync + t.hBack;
}
int totalV(const Timing &t)
{
    return t.vActive + t.vFront + t.vSync + t.vBack;
}

// Line rate in kHz and frame rate in Hz, rounded the way a range check needs.
int lineRateKHz(const Timing &t)
{
    return t.pixelClock10kHz * 10 / totalH(t);
}
int frameRateHz(const Timing &t)
{
    return int(std::int64_t(t.pixelClock10kHz) * 10000 / (std::int64_t(totalH(t)) * totalV(t)));
}

void put(QByteArray &b, int at, int value)
{
    b[at] = char(std::uint8_t(value));
}

// Detailed timing descriptor (VESA E-EDID, 3.10.2).
QByteArray detailedTiming(const Timing &t, int widthMm, int heightMm)
{
    QByteArray d(18, '\0');
    const int hBlank = t.hFront + t.hSync + t.hBack;
    const int vBlank = t.vFront + t.vSync + t.vBack;
    put(d, 0, t.pixelClock10kHz & 0xFF);
    put(d, 1, t.pixelClock10kHz >> 8);
    put(d, 2, t.hActive & 0xFF);
    put(d, 3, hBlank & 0xFF);
    put(d, 4, ((t.hActive >> 8) << 4) | (hBlank >> 8));
    put(d, 5, t.vActive & 0xFF);
    put(d, 6, vBlank & 0xFF);
    put(d, 7, ((t.vActive >> 8) << 4) | (vBlank >> 8));
    put(d, 8, t.hFront & 0xFF);
    put(d, 9, t.hSync & 0xFF);
    put(d, 10, ((t.vFront & 0x0F) << 4) | (t.vSync & 0x0F));
    put(d, 11,
        ((t.hFront >> 8) << 6) | ((t.hSync >> 8) << 4) | ((t.vFront >> 4) << 2) | (t.vSync >> 4));
    put(d, 12, widthMm & 0xFF);
    put(d, 13, heightMm & 0xFF);
    put(d, 14, ((widthMm >> 8) << 4) | (heightMm >> 8));
    // Digital separate sync, sync polarities in bits 2 and 1.
    put(d, 17, 0x18 | (t.positiveSync ? 0x06 : 0x00));
    return d;
}

QByteArray rangeLimits(const QList<const Timing *> &timings)
{
    int minV = 1000, maxV = 0, minH = 1000, maxH = 0, maxClock = 0;
    for (const Timing *t : timings) {
        minV = std::min(minV, frameRateHz(*t));
        maxV = std::max(maxV, frameRateHz(*t) + 1);
        minH = std::min(minH, lineRateKHz(*t));
        maxH = std::max(maxH, lineRateKHz(*t) + 1);
        maxClock = std::max(maxClock, t->pixelClock10kHz);
    }
    QByteArray d(18, '\0');
    put(d, 3, 0xFD);
    put(d, 5, std::max(1, minV - 1));
    put(d, 6, maxV);
    put(d, 7, std::max(1, minH - 1));
    put(d, 8, maxH);
    put(d, 9, (maxClock + 999) / 1000); // in 10 MHz steps, rounded up
    put(d, 10, 0x00); // no secondary timing formula
    put(d, 11, 0x0A);
    for (int i = 12; i < 18; ++i)
        put(d, i, 0x20);
    return d;
}

QByteArray monitorName(const QByteArray &name)
{
    QByteArray d(18, '\0');
    put(d, 3, 0xFC);
    const QByteArray text = name.left(13);
    for (int i = 0; i < 13; ++i)
        put(d, 5 + i, i < text.size() ? text[i] : (i == text.size() ? 0x0A : 0x20));
    return d;
}

QByteArray baseBlock(const SinkProfile &p)
{
    QByteArray b(kBlockSize, '\0');
    for (int i = 1; i < 7; ++i)
        put(b, i, 0xFF);
    const int id = ((p.manufacturer[0] - '@') << 10) | ((p.manufacturer[1] - '@') << 5)
        | (p.manufacturer[2] - '@');
    put(b, 8, id >> 8);
    put(b, 9, id & 0xFF);
    put(b, 10, p.productCode & 0xFF);
    put(b, 11, p.productCode >> 8);
    for (int i = 0; i < 4; ++i)
        put(b, 12 + i, int(p.serial >> (8 * i)));
    put(b, 16, p.week);
    put(b, 17, p.year - 1990);
    // Version 1.3, as HDMI asks for.
    put(b, 18, 1);
    put(b, 19, 3);
    put(b, 20, 0x80); // digital input
    put(b, 21, p.widthCm);
    put(b, 22, p.heightCm);
    put(b, 23, 120); // gamma 2.2
    // RGB colour display, sRGB default colour space, preferred timing in DTD 1.
    put(b, 24, 0x08 | 0x04 | 0x02);
    // BT.709 primaries and D65 white point, 10-bit binary fractions.
    const int chroma[8] = { 655, 338, 307, 614, 154, 61, 320, 337 };
    put(b, 25,
        ((chroma[0] & 3) << 6) | ((chroma[1] & 3) << 4) | ((chroma[2] & 3) << 2) | (chroma[3] & 3));
    put(b, 26,
        ((chroma[4] & 3) << 6) | ((chroma[5] & 3) << 4) | ((chroma[6] & 3) << 2) | (chroma[7] & 3));
    for (int i = 0; i < 8; ++i)
        put(b, 27 + i, chroma[i] >> 2);
    put(b, 35, 0x20); // 640x480 at 60 Hz
    for (int i = 38; i < 54; ++i)
        put(b, i, 0x01); // no standard timings

    QList<const Timing *> timings;
    for (std::uint8_t vic : p.vics)
        if (const Timing *t = timingOf(vic))
            timings.append(t);
    const Timing *native = timings.isEmpty() ? timingOf(16) : timings.first();
    const Timing *second = native->vic == 16 ? timingOf(4) : timingOf(16);
    // The range limits cover every timing the table names.
    timings.append(native);
    timings.append(second);
    timings.append(timingOf(1));

    const int widthMm = p.widthCm * 10;
    const int heightMm = p.heightCm * 10;
    b.replace(54, 18, detailedTiming(*native, widthMm, heightMm));
    b.replace(72, 18, detailedTiming(*second, widthMm, heightMm));
    b.replace(90, 18, rangeLimits(timings));
    b.replace(108, 18, monitorName(p.name));
    put(b, 126, 1);
    put(b, 127, blockChecksum(b, 0));
    return b;
}

QByteArray dataBlock(int tag, const QByteArray &payload)
{
    return QByteArray(1, char((tag << 5) | payload.size())) + payload;
}

QByteArray extendedBlock(int extendedTag, const QByteArray &payload)
{
    return dataBlock(7, QByteArray(1, char(extendedTag)) + payload);
}

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray b;
    for (int v : list)
        b.append(char(std::uint8_t(v)));
    return b;
}

QByteArray ctaBlock(const SinkProfile &p)
{
    QByteArray blocks;
    QByteArray svds;
    // No native flags here: the preferred detailed timing already names the native format.
    for (std::uint8_t vic : p.vics)
        svds.append(char(vic));
    blocks += dataBlock(2, svds);
    QByteArray sads;
    for (const QByteArray &sad : p.audio)
        sads += sad.left(3);
    if (!sads.isEmpty())
        blocks += dataBlock(1, sads);
    blocks += dataBlock(4, bytes({ p.speakers, 0x00, 0x00 }));
    // HDMI 1.4 vendor block: OUI 00-0C-03, physical address, deep colour, TMDS limit.
    blocks += dataBlock(3,
        bytes({ 0x03, 0x0C, 0x00, p.physicalAddress >> 8, p.physicalAddress & 0xFF, 0xB8,
            std::min(p.maxTmdsMhz, 340) / 5 }));
    if (p.maxTmdsMhz > 340) {
        // HDMI Forum vendor block: OUI C4-5D-D8, version 1, TMDS character rate, SCDC.
        blocks += dataBlock(3, bytes({ 0xD8, 0x5D, 0xC4, 0x01, p.maxTmdsMhz / 5, 0x88, 0x00 }));
    }
    // Video capability: RGB and YCC quantization range selectable, IT and CE underscanned.
    blocks += extendedBlock(0, bytes({ 0xCA }));
    if (p.bt2020)
        blocks += extendedBlock(5, bytes({ 0xC0, 0x00 }));
    if (p.hdr) {
        // Static metadata type 1; SDR, SMPTE ST 2084 and HLG; luminance code values.
        blocks += extendedBlock(6, bytes({ 0x0D, 0x01, 0x70, 0x59, 0x3E }));
    }

    QByteArray b(kBlockSize, '\0');
    put(b, 0, 0x02);
    put(b, 1, 0x03);
    const int dtdOffset = 4 + int(blocks.size());
    put(b, 2, dtdOffset);
    // Underscan, basic audio, YCbCr 4:4:4 and 4:2:2; one native DTD (the preferred one).
    put(b, 3, 0x80 | (p.audio.isEmpty() ? 0 : 0x40) | (p.ycbcr ? 0x30 : 0x00) | 0x01);
    b.replace(4, int(blocks.size()), blocks);
    b.truncate(kBlockSize);
    put(b, 127, blockChecksum(b, 0));
    return b;
}

} // namespace

QByteArray lpcm(int channels)
{
    // LPCM, 32 to 192 kHz, 16/20/24 bit.
    return bytes({ 0x08 | (channels - 1), channels > 2 ? 0x7F : 0x07, 0x07 });
}

QByteArray ac3()
{
    return bytes({ (2 << 3) | 5, 0x07, 80 }); // 6 channels, up to 640 kbit/s
}

QByteArray eac3()
{
    return bytes({ (10 << 3) | 7, 0x07, 0x01 });
}

QByteArray dts()
{
    return bytes({ (7 << 3) | 5, 0x06, 192 }); // 6 channels, up to 1536 kbit/s
}

QByteArray trueHd()
{
    return bytes({ (12 << 3) | 7, 0x14, 0x01 }); // 8 channels, 48 and 192 kHz
}

std::uint8_t blockChecksum(const QByteArray &table, int blockStart)
{
    std::uint8_t sum = 0;
    for (int i = blockStart; i < blockStart + kBlockSize - 1 && i < table.size(); ++i)
        sum = std::uint8_t(sum + std::uint8_t(table[i]));
    return std::uint8_t(0x100 - sum);
}

QByteArray build(const SinkProfile &profile)
{
    QByteArray table = baseBlock(profile) + ctaBlock(profile);
    table.resize(kTableSize);
    return table;
}

SinkProfile tvAProfile()
{
    SinkProfile p;
    std::copy_n("KTV", 4, p.manufacturer);
    p.productCode = 0x6501;
    p.serial = 0x00A1B2C3;
    p.week = 14;
    p.year = 2022;
    p.widthCm = 143;
    p.heightCm = 80;
    p.name = "UHD TV 65";
    p.vics = { 97, 96, 95, 94, 93, 16, 31, 4, 19, 3, 18, 1 };
    p.audio = { lpcm(2), ac3(), eac3(), dts() };
    p.speakers = 0x0F; // 5.1
    p.maxTmdsMhz = 600;
    p.hdr = true;
    p.bt2020 = true;
    return p;
}

SinkProfile tvBProfile()
{
    SinkProfile p;
    std::copy_n("KTV", 4, p.manufacturer);
    p.productCode = 0x4302;
    p.serial = 0x00D4E5F6;
    p.week = 40;
    p.year = 2019;
    p.widthCm = 95;
    p.heightCm = 54;
    p.name = "FHD TV 43";
    p.vics = { 16, 31, 4, 19, 3, 18, 1 };
    p.audio = { lpcm(2), ac3() };
    p.speakers = 0x01; // stereo
    p.maxTmdsMhz = 225;
    return p;
}

SinkProfile boxFixedProfile()
{
    SinkProfile p;
    p.productCode = 0x2023;
    p.serial = 1;
    p.week = 10;
    p.year = 2023;
    p.widthCm = 160;
    p.heightCm = 90;
    p.name = "VORTALEX";
    p.vics = { 97, 96, 95, 94, 93, 16, 31, 4, 19, 3, 18, 1 };
    p.audio = { lpcm(8), ac3(), eac3(), dts(), trueHd() };
    p.speakers = 0x4F; // 7.1
    p.maxTmdsMhz = 600;
    p.hdr = true;
    p.bt2020 = true;
    return p;
}

Capabilities capabilities(const QByteArray &table)
{
    Capabilities caps;
    if (table.size() < kTableSize || std::uint8_t(table[kBlockSize]) != 0x02)
        return caps;
    const auto at = [&](int i) { return std::uint8_t(table[kBlockSize + i]); };
    int end = at(2);
    if (end < 4 || end > kBlockSize - 1)
        end = kBlockSize - 1;
    int i = 4;
    while (i < end) {
        const int tag = at(i) >> 5;
        const int length = at(i) & 0x1F;
        if (i + 1 + length > end)
            break;
        const int data = i + 1;
        if (tag == 2) {
            for (int k = 0; k < length; ++k) {
                const std::uint8_t svd = at(data + k);
                caps.vics.append((svd >= 129 && svd <= 192) ? std::uint8_t(svd & 0x7F) : svd);
            }
        } else if (tag == 1) {
            for (int k = 0; k + 3 <= length; k += 3)
                caps.audio.append(table.mid(kBlockSize + data + k, 3));
        } else if (tag == 4 && length >= 1) {
            caps.speakers = at(data);
        } else if (tag == 3 && length >= 5 && at(data) == 0x03 && at(data + 1) == 0x0C
            && at(data + 2) == 0x00) {
            if (length >= 7)
                caps.maxTmdsMhz = std::max(caps.maxTmdsMhz, at(data + 6) * 5);
        } else if (tag == 3 && length >= 5 && at(data) == 0xD8 && at(data + 1) == 0x5D
            && at(data + 2) == 0xC4) {
            caps.maxTmdsMhz = std::max(caps.maxTmdsMhz, at(data + 4) * 5);
        } else if (tag == 7 && length >= 2) {
            if (at(data) == 6)
                caps.hdr = true;
            if (at(data) == 5 && (at(data + 1) & 0xE0))
                caps.bt2020 = true;
        }
        i = data + length;
    }
    return caps;
}

namespace {

int audioFormat(const QByteArray &sad)
{
    return (std::uint8_t(sad[0]) >> 3) & 0x0F;
}

int audioChannels(const QByteArray &sad)
{
    return (std::uint8_t(sad[0]) & 0x07) + 1;
}

// Per audio format, the descriptor with the fewer (or more) channels.
QList<QByteArray> mixAudio(const QList<QByteArray> &a, const QList<QByteArray> &b, bool union_)
{
    QList<QByteArray> result;
    for (const QByteArray &sa : a) {
        const auto match = std::find_if(b.begin(), b.end(),
            [&](const QByteArray &sb) { return audioFormat(sb) == audioFormat(sa); });
        if (match == b.end()) {
            if (union_)
                result.append(sa);
            continue;
        }
        const bool takeA = union_ ? audioChannels(sa) >= audioChannels(*match)
                                  : audioChannels(sa) <= audioChannels(*match);
        result.append(takeA ? sa : *match);
    }
    if (union_) {
        for (const QByteArray &sb : b) {
            const bool known = std::any_of(result.begin(), result.end(),
                [&](const QByteArray &r) { return audioFormat(r) == audioFormat(sb); });
            if (!known)
                result.append(sb);
        }
    }
    return result;
}

} // namespace

QByteArray automix(const QByteArray &tvA, const QByteArray &tvB, const MixOptions &options)
{
    const Capabilities a = capabilities(tvA);
    const Capabilities b = capabilities(tvB);
    const bool minVideo = options.algorithm == 0 || options.algorithm == 1;
    const bool topOnly = options.algorithm == 2;
    const bool maxAudio = options.algorithm == 1 || options.algorithm == 3 || options.fullAudio;

    SinkProfile p = boxFixedProfile();
    p.name = "VORTALEX MIX";
    p.vics.clear();
    if (topOnly) {
        p.vics = a.vics;
    } else {
        for (std::uint8_t vic : a.vics)
            if (!minVideo || b.vics.contains(vic))
                p.vics.append(vic);
        if (!minVideo)
            for (std::uint8_t vic : b.vics)
                if (!p.vics.contains(vic))
                    p.vics.append(vic);
    }
    p.maxTmdsMhz = topOnly ? a.maxTmdsMhz
        : minVideo         ? std::min(a.maxTmdsMhz, b.maxTmdsMhz)
                           : std::max(a.maxTmdsMhz, b.maxTmdsMhz);
    p.maxTmdsMhz = std::clamp(p.maxTmdsMhz, 165, 600);
    // Keep only formats that fit through the mixed link and that the box knows.
    QList<std::uint8_t> usable;
    for (std::uint8_t vic : p.vics) {
        const Timing *t = timingOf(vic);
        if (t && t->pixelClock10kHz <= p.maxTmdsMhz * 100 && !usable.contains(vic))
            usable.append(vic);
    }
    if (!usable.contains(1))
        usable.append(1); // every HDMI sink takes 640x480
    p.vics = usable;

    p.audio = topOnly ? a.audio : mixAudio(a.audio, b.audio, maxAudio);
    p.speakers = topOnly ? a.speakers
        : maxAudio       ? std::uint8_t(a.speakers | b.speakers)
                         : std::uint8_t(a.speakers & b.speakers);
    if (options.surround51) {
        p.speakers |= 0x0F;
        if (!std::any_of(p.audio.begin(), p.audio.end(),
                [](const QByteArray &s) { return audioFormat(s) == 2; }))
            p.audio.append(ac3());
    }
    if (options.stereoOnly) {
        p.audio = { lpcm(2) };
        p.speakers = 0x01;
    }
    if (p.audio.isEmpty())
        p.audio = { lpcm(2) };
    if (p.speakers == 0)
        p.speakers = 0x01;

    p.hdr = options.hdr || (topOnly ? a.hdr : minVideo ? (a.hdr && b.hdr) : (a.hdr || b.hdr));
    p.bt2020 = options.bt2020
        || (topOnly        ? a.bt2020
                : minVideo ? (a.bt2020 && b.bt2020)
                           : (a.bt2020 || b.bt2020));
    p.ycbcr = options.ycbcr;
    return build(p);
}

} // namespace vortalex::simedid
