// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of the CTA-861 extension block (CTA-861-H, 7.5): video data blocks,
// audio, the HDMI blocks, HDR static metadata, colorimetry, flags.
#include "edideditlayout.h"

#include "edidchecksum.h"
#include "edidvic.h"

#include <cmath>

namespace vortalex {

namespace {

// HDMI 1.4b, 8.3.2 and HDMI 2.1, 10.3.2: the OUIs as the blocks store them.
constexpr quint32 kHdmiOui = 0x000C03;
constexpr quint32 kHdmiForumOui = 0xC45DD8;
// Byte of the HDMI vendor block (header byte 0) holding each field.
constexpr int kHdmiAddressByte = 4;
constexpr int kHdmiFlagsByte = 6;
constexpr int kHdmiTmdsByte = 7;
// The HDMI Forum fields start at byte 4 in both of its blocks: after the
// OUI of the vendor block, or after the extended tag and two reserved bytes.
constexpr int kForumVersionByte = 4;
constexpr int kForumTmdsByte = 5;
constexpr int kForumFlagsByte = 6;
constexpr int kForumFrlByte = 7;
constexpr int kHdmiMaxTmdsMhz = 340;
constexpr int kForumMaxTmdsMhz = 600;

std::uint8_t byteAt(const QByteArray &b, int i)
{
    return std::uint8_t(b.at(i));
}

void ensureLength(QByteArray &block, int bytes)
{
    if (block.size() < bytes)
        block.append(QByteArray(bytes - block.size(), '\0'));
}

// CTA-861-H, 7.5.1: codes 129-192 are VICs 1-64 marked native.
int vicOfCode(int code)
{
    return code >= 129 && code <= 192 ? code - 128 : code;
}

QString checkVics(const QList<int> &vics)
{
    for (int vic : vics) {
        if (!vicFormat(vic))
            return QStringLiteral("VIC %1 is not in the CTA-861 table (1-127, 193-219)").arg(vic);
    }
    return QString();
}

// The video data blocks' descriptors in order: (block, byte) pairs.
QList<std::pair<int, int>> videoDescriptors(const CtaLayout &cta)
{
    QList<std::pair<int, int>> where;
    for (int i = cta.find(VideoBlockTag); i >= 0; i = cta.find(VideoBlockTag, -1, i + 1)) {
        for (int at = 1; at < cta.blocks.at(i).size(); ++at)
            where.append({ i, at });
    }
    return where;
}

int findForum(const CtaLayout &cta)
{
    const int vendor = cta.findVendor(kHdmiForumOui);
    return vendor >= 0 ? vendor : cta.find(ExtendedBlockTag, HdmiForumSinkExtTag);
}

// Drops bit `index` of the 4:2:0 capability map, so that every other VIC
// keeps its mark once a video descriptor is removed.
void dropCapabilityBit(CtaLayout &cta, int index)
{
    const int map = cta.find(ExtendedBlockTag, Ycbcr420MapExtTag);
    if (map < 0)
        return;
    QByteArray &b = cta.blocks[map];
    const int bits = int(b.size() - 2) * 8;
    for (int i = index; i < bits; ++i) {
        const bool next = i + 1 < bits && (byteAt(b, 2 + (i + 1) / 8) >> ((i + 1) % 8)) & 1;
        std::uint8_t byte = byteAt(b, 2 + i / 8);
        byte = next ? byte | (1 << (i % 8)) : byte & ~(1 << (i % 8));
        b[2 + i / 8] = char(byte);
    }
}

QString needBlock(int index, const char *what)
{
    return index < 0 ? QStringLiteral("the table has no %1").arg(QLatin1String(what)) : QString();
}

// HDMI 2.1: a sink offering FRL at 3 Gbit/s takes TMDS up to 300 MHz, one
// offering 6 Gbit/s or more up to 600 MHz. The highest FRL rate code a
// maximum TMDS clock of `mhz` goes with.
int highestFrlCodeFor(int mhz)
{
    return mhz >= kForumMaxTmdsMhz ? 15 : mhz >= 300 ? 1 : 0;
}

// Lowers the FRL rate of an HDMI Forum block to what `mhz` goes with: a
// lower TMDS cap is for a link that cannot carry the higher rates either.
void capFrlRate(QByteArray &forum, int mhz)
{
    if (forum.size() <= kForumFrlByte)
        return;
    const std::uint8_t frl = byteAt(forum, kForumFrlByte);
    const int allowed = highestFrlCodeFor(mhz);
    if ((frl >> 4) > allowed)
        forum[kForumFrlByte] = char((frl & 0x0F) | allowed << 4);
}

} // namespace

EdidEditResult addVics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        int vdb = cta.find(VideoBlockTag);
        if (vdb < 0) {
            cta.blocks.prepend(makeDataBlock(VideoBlockTag, QByteArray()));
            vdb = 0;
        }
        for (int vic : vics) {
            bool present = false;
            for (const auto &[block, at] : videoDescriptors(cta))
                present = present || vicOfCode(byteAt(cta.blocks.at(block), at)) == vic;
            if (!present)
                cta.blocks[vdb].append(char(vic));
        }
        return QString();
    });
}

EdidEditResult removeVics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        for (int vic : vics) {
            const auto where = videoDescriptors(cta);
            int index = int(where.size()) - 1;
            while (index >= 0
                && vicOfCode(byteAt(cta.blocks.at(where[index].first), where[index].second)) != vic)
                --index;
            if (index < 0)
                return QStringLiteral("VIC %1 is not in the video data block").arg(vic);
            cta.blocks[where[index].first].remove(where[index].second, 1);
            dropCapabilityBit(cta, index);
        }
        for (int i = cta.find(VideoBlockTag); i >= 0; i = cta.find(VideoBlockTag, -1, i)) {
            if (cta.blocks.at(i).size() > 1) {
                ++i;
                continue;
            }
            cta.blocks.removeAt(i);
        }
        return QString();
    });
}

EdidEditResult setNativeVic(const QByteArray &table, int vic)
{
    if (vic != 0 && (vic < 1 || vic > 64))
        return editRefused(
            QStringLiteral("only VICs 1-64 can be marked native in a video data block; not %1")
                .arg(vic));
    return editCta(table, [&](CtaLayout &cta) {
        bool found = vic == 0;
        for (const auto &[block, at] : videoDescriptors(cta)) {
            const int v = vicOfCode(byteAt(cta.blocks.at(block), at));
            const bool native = v == vic && !found;
            found = found || native;
            cta.blocks[block][at] = char(native ? v + 128 : v);
        }
        return found ? QString() : QStringLiteral("VIC %1 is not in the video data block").arg(vic);
    });
}

EdidEditResult addYcbcr420Vics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        int block = cta.find(ExtendedBlockTag, Ycbcr420VideoExtTag);
        if (block < 0) {
            cta.blocks.append(makeDataBlock(ExtendedBlockTag, QByteArray(), Ycbcr420VideoExtTag));
            block = int(cta.blocks.size()) - 1;
        }
        for (int vic : vics) {
            bool present = false;
            for (int at = 2; at < cta.blocks.at(block).size(); ++at)
                present = present || vicOfCode(byteAt(cta.blocks.at(block), at)) == vic;
            if (!present)
                cta.blocks[block].append(char(vic));
        }
        return QString();
    });
}

EdidEditResult removeYcbcr420Vics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        const int block = cta.find(ExtendedBlockTag, Ycbcr420VideoExtTag);
        for (int vic : vics) {
            int at = block < 0 ? -1 : int(cta.blocks.at(block).size()) - 1;
            while (at >= 2 && vicOfCode(byteAt(cta.blocks.at(block), at)) != vic)
                --at;
            if (at < 2)
                return QStringLiteral("VIC %1 is not in the YCbCr 4:2:0 video data block").arg(vic);
            cta.blocks[block].remove(at, 1);
        }
        if (block >= 0 && cta.blocks.at(block).size() <= 2)
            cta.blocks.removeAt(block);
        return QString();
    });
}

EdidEditResult takeAudio(const QByteArray &table, const QByteArray &source)
{
    const EdidEditResult checked = checkEditableTable(source);
    if (!checked.ok())
        return editRefused(QStringLiteral("the audio table: %1").arg(checked.refusal));
    if (source.size() < 2 * kEdidBlockSize || source.at(126) != 1)
        return editRefused(QStringLiteral("the audio table has no CTA-861 extension block"));
    CtaLayout from;
    QString refusal;
    if (!openCta(source, from, refusal))
        return editRefused(QStringLiteral("the audio table: %1").arg(refusal));
    return editCta(table, [&](CtaLayout &cta) {
        int at = -1;
        for (int i = int(cta.blocks.size()) - 1; i >= 0; --i) {
            const int tag = byteAt(cta.blocks.at(i), 0) >> 5;
            if (tag == AudioBlockTag || tag == SpeakerBlockTag) {
                cta.blocks.removeAt(i);
                at = i;
            }
        }
        if (at < 0)
            at = cta.find(VideoBlockTag) + 1;
        for (const QByteArray &b : from.blocks) {
            const int tag = byteAt(b, 0) >> 5;
            if (tag == AudioBlockTag || tag == SpeakerBlockTag)
                cta.blocks.insert(at++, b);
        }
        cta.header[3] = char((byteAt(cta.header, 3) & ~0x40) | (byteAt(from.header, 3) & 0x40));
        return QString();
    });
}

EdidEditResult mergeEdid(const QByteArray &video, const QByteArray &audio)
{
    return takeAudio(video, audio);
}

EdidEditResult setPhysicalAddress(const QByteArray &table, const QString &address)
{
    const QStringList parts = address.split(u'.');
    QList<int> digits;
    for (const QString &part : parts) {
        bool ok = false;
        const int digit = part.toInt(&ok);
        if (ok && digit >= 0 && digit <= 15)
            digits << digit;
    }
    if (parts.size() != 4 || digits.size() != 4)
        return editRefused(QStringLiteral("physical address \"%1\": give four numbers 0-15 as "
                                          "A.B.C.D")
                               .arg(address));
    // A device's address ends at its first 0: 1.0.2.0 names no device.
    for (int i = 1; i < 4; ++i) {
        if (digits[i - 1] == 0 && digits[i] != 0)
            return editRefused(QStringLiteral("physical address \"%1\": after a 0 every number "
                                              "is 0 (as 1.2.0.0)")
                                   .arg(address));
    }
    return editCta(table, [&](CtaLayout &cta) {
        const int hdmi = cta.findVendor(kHdmiOui);
        if (hdmi < 0)
            return needBlock(hdmi, "HDMI vendor block");
        ensureLength(cta.blocks[hdmi], kHdmiAddressByte + 2);
        cta.blocks[hdmi][kHdmiAddressByte] = char(digits[0] << 4 | digits[1]);
        cta.blocks[hdmi][kHdmiAddressByte + 1] = char(digits[2] << 4 | digits[3]);
        return QString();
    });
}

EdidEditResult setMaxTmds(const QByteArray &table, int mhz)
{
    if (mhz < 25 || mhz > kForumMaxTmdsMhz || mhz % 5)
        return editRefused(
            QStringLiteral("TMDS clock %1 MHz: give a multiple of 5 from 25 to 600").arg(mhz));
    return editCta(table, [&](CtaLayout &cta) {
        const int hdmi = cta.findVendor(kHdmiOui);
        if (hdmi < 0)
            return needBlock(hdmi, "HDMI vendor block");
        const int forum = findForum(cta);
        if (mhz > kHdmiMaxTmdsMhz && forum < 0)
            return QStringLiteral("above 340 MHz needs the HDMI Forum block, which the table "
                                  "does not have");
        ensureLength(cta.blocks[hdmi], kHdmiTmdsByte + 1);
        cta.blocks[hdmi][kHdmiTmdsByte] = char(std::min(mhz, kHdmiMaxTmdsMhz) / 5);
        if (forum >= 0) {
            ensureLength(cta.blocks[forum], kForumTmdsByte + 1);
            cta.blocks[forum][kForumTmdsByte] = char(mhz > kHdmiMaxTmdsMhz ? mhz / 5 : 0);
            capFrlRate(cta.blocks[forum], mhz);
        }
        return QString();
    });
}

EdidEditResult setDeepColour(const QByteArray &table, const QList<int> &bits, bool ycbcr444)
{
    std::uint8_t flags = ycbcr444 ? 0x08 : 0;
    for (int depth : bits) {
        if (depth != 30 && depth != 36 && depth != 48)
            return editRefused(QStringLiteral("deep colour %1 bits: give 30, 36 or 48").arg(depth));
        flags |= depth == 30 ? 0x10 : depth == 36 ? 0x20 : 0x40;
    }
    return editCta(table, [&](CtaLayout &cta) {
        const int hdmi = cta.findVendor(kHdmiOui);
        if (hdmi < 0)
            return needBlock(hdmi, "HDMI vendor block");
        ensureLength(cta.blocks[hdmi], kHdmiFlagsByte + 1);
        const std::uint8_t kept = byteAt(cta.blocks.at(hdmi), kHdmiFlagsByte) & 0x87;
        cta.blocks[hdmi][kHdmiFlagsByte] = char(kept | flags);
        return QString();
    });
}

namespace {

// `change` returns a refusal, or an empty text when it changed the block.
EdidEditResult editForum(
    const QByteArray &table, const std::function<QString(QByteArray &forum)> &change)
{
    return editCta(table, [&](CtaLayout &cta) {
        const int forum = findForum(cta);
        if (forum < 0)
            return needBlock(forum, "HDMI Forum block");
        ensureLength(cta.blocks[forum], kForumVersionByte + 1);
        return change(cta.blocks[forum]);
    });
}


} // namespace

EdidEditResult setForumMaxTmds(const QByteArray &table, int mhz)
{
    if (mhz != 0 && (mhz <= kHdmiMaxTmdsMhz || mhz > kForumMaxTmdsMhz || mhz % 5))
        return editRefused(QStringLiteral("TMDS character rate %1 MHz: give 0 or a multiple of "
                                          "5 from 345 to 600")
                               .arg(mhz));
    return editForum(table, [&](QByteArray &forum) {
        ensureLength(forum, kForumTmdsByte + 1);
        forum[kForumTmdsByte] = char(mhz / 5);
        capFrlRate(forum, mhz);
        return QString();
    });
}

EdidEditResult setForumScdc(const QByteArray &table, bool scdc)
{
    return editForum(table, [&](QByteArray &forum) {
        ensureLength(forum, kForumFlagsByte + 1);
        forum[kForumFlagsByte] = char((byteAt(forum, kForumFlagsByte) & 0x7F) | (scdc ? 0x80 : 0));
        return QString();
    });
}

EdidEditResult setForumFrlRate(const QByteArray &table, int code)
{
    if (code < 0 || code > 6)
        return editRefused(QStringLiteral("FRL rate code %1: give 0-6").arg(code));
    return editForum(table, [&](QByteArray &forum) {
        const int tmds = byteAt(forum, kForumTmdsByte) * 5;
        if (code > highestFrlCodeFor(tmds))
            return QStringLiteral("FRL rate code %1 needs a TMDS character rate of %2 MHz in "
                                  "the HDMI Forum block; it gives %3 MHz")
                .arg(code)
                .arg(code == 1 ? 300 : kForumMaxTmdsMhz)
                .arg(tmds);
        ensureLength(forum, kForumFrlByte + 1);
        forum[kForumFrlByte] = char((byteAt(forum, kForumFrlByte) & 0x0F) | code << 4);
        return QString();
    });
}

EdidEditResult setHdrStatic(const QByteArray &table, const QStringList &eotfs,
    std::optional<double> maxLuminance, std::optional<double> maxFrameAvg,
    std::optional<double> minLuminance)
{
    static const char *const words[4] = { "SDR", "HDR", "PQ", "HLG" };
    std::uint8_t eotfBits = 0;
    for (const QString &word : eotfs) {
        int bit = 0;
        while (bit < 4 && word.compare(QLatin1String(words[bit]), Qt::CaseInsensitive) != 0)
            ++bit;
        if (bit == 4)
            return editRefused(
                QStringLiteral("EOTF \"%1\": give words from sdr, hdr, pq, hlg").arg(word));
        eotfBits |= 1 << bit;
    }
    // CTA-861-H, 7.5.13: maximum and frame average 50 * 2^(CV/32) cd/m2.
    const auto codeOf = [](double nits, int &code) {
        code = int(std::lround(32 * std::log2(nits / 50)));
        return nits > 0 && code >= 0 && code <= 255;
    };
    int maxCode = -1;
    int avgCode = -1;
    if ((maxLuminance && !codeOf(*maxLuminance, maxCode))
        || (maxFrameAvg && !codeOf(*maxFrameAvg, avgCode)))
        return editRefused(QStringLiteral("luminance out of range: give 50 to 12 800 cd/m²"));
    return editCta(table, [&](CtaLayout &cta) {
        int hdr = cta.find(ExtendedBlockTag, HdrStaticExtTag);
        if (hdr < 0) {
            // EOTFs and static metadata type 1.
            cta.blocks.append(
                makeDataBlock(ExtendedBlockTag, QByteArray("\0\x01", 2), HdrStaticExtTag));
            hdr = int(cta.blocks.size()) - 1;
        }
        QByteArray &b = cta.blocks[hdr];
        ensureLength(b, 4);
        b[2] = char((byteAt(b, 2) & 0xF0) | eotfBits);
        if (maxCode >= 0) {
            ensureLength(b, 5);
            b[4] = char(maxCode);
        }
        if (avgCode >= 0) {
            ensureLength(b, 6);
            b[5] = char(avgCode);
        }
        if (minLuminance) {
            // Minimum: max * (CV/255)^2 / 100.
            const double max = b.size() > 4 ? 50 * std::pow(2.0, byteAt(b, 4) / 32.0) : 0;
            const double ratio = max > 0 ? *minLuminance * 100 / max : -1;
            if (ratio < 0 || ratio > 1)
                return QStringLiteral("minimum luminance %1 cd/m²: give 0 up to a hundredth "
                                      "of the maximum")
                    .arg(*minLuminance);
            ensureLength(b, 7);
            b[6] = char(std::lround(255 * std::sqrt(ratio)));
        }
        return QString();
    });
}

EdidEditResult setColorimetry(const QByteArray &table, const QStringList &names)
{
    static const char *const known[11] = { "xvYCC601", "xvYCC709", "sYCC601", "opYCC601", "opRGB",
        "BT2020cYCC", "BT2020YCC", "BT2020RGB", "ST2113RGB", "ICtCp", "DCI-P3" };
    int bits = 0;
    for (const QString &name : names) {
        int bit = 0;
        while (bit < 11 && name.compare(QLatin1String(known[bit]), Qt::CaseInsensitive) != 0)
            ++bit;
        if (bit == 11)
            return editRefused(QStringLiteral("unknown colorimetry \"%1\"").arg(name));
        bits |= 1 << bit;
    }
    if (bits == 0)
        return removeDataBlocks(table, ExtendedBlockTag, ColorimetryExtTag);
    return editCta(table, [&](CtaLayout &cta) {
        int block = cta.find(ExtendedBlockTag, ColorimetryExtTag);
        if (block < 0) {
            cta.blocks.append(
                makeDataBlock(ExtendedBlockTag, QByteArray(2, '\0'), ColorimetryExtTag));
            block = int(cta.blocks.size()) - 1;
        }
        QByteArray &b = cta.blocks[block];
        ensureLength(b, 4);
        b[2] = char(bits & 0xFF);
        b[3] = char((byteAt(b, 3) & 0x1F) | (bits >> 8) << 5);
        return QString();
    });
}

EdidEditResult removeDataBlocks(const QByteArray &table, int tag, int extendedTag)
{
    if (tag < 0 || tag > 7 || extendedTag > 255)
        return editRefused(QStringLiteral("data block tag %1: give 0-7").arg(tag));
    return editCta(table, [&](CtaLayout &cta) {
        for (int i = cta.find(tag, extendedTag); i >= 0; i = cta.find(tag, extendedTag, i))
            cta.blocks.removeAt(i);
        return QString();
    });
}

EdidEditResult removeHdmiForumBlock(const QByteArray &table)
{
    return editCta(table, [&](CtaLayout &cta) {
        for (int i = findForum(cta); i >= 0; i = findForum(cta))
            cta.blocks.removeAt(i);
        return QString();
    });
}

EdidEditResult setCtaFlags(
    const QByteArray &table, bool underscan, bool basicAudio, bool ycbcr444, bool ycbcr422)
{
    return editCta(table, [&](CtaLayout &cta) {
        const int flags = (underscan ? 0x80 : 0) | (basicAudio ? 0x40 : 0) | (ycbcr444 ? 0x20 : 0)
            | (ycbcr422 ? 0x10 : 0);
        cta.header[3] = char((byteAt(cta.header, 3) & 0x0F) | flags);
        return QString();
    });
}

} // namespace vortalex
