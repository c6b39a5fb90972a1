// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of the CTA-861 extension block (CTA-861-H, 7.5): video data blocks,
// audio, the HDMI blocks, HDR static metadata, colorimetry, flags.
#include "edideditlayout.h"

#include "edidchecksum.h"
#include "edidvic.h"
#include "text/echoedtext.h"

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
constexpr int VideoPreferenceExtTag = 13;
constexpr int VendorAudioExtTag = 17;
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
void capFrlRate(QByteArray &forum, int mhz, QStringList &notes)
{
    if (forum.size() <= kForumFrlByte)
        return;
    const std::uint8_t frl = byteAt(forum, kForumFrlByte);
    const int allowed = highestFrlCodeFor(mhz);
    if ((frl >> 4) <= allowed)
        return;
    forum[kForumFrlByte] = char((frl & 0x0F) | allowed << 4);
    notes << (allowed == 0 ? QStringLiteral("FRL is off: it needs an HDMI Forum TMDS character "
                                            "rate of 300 MHz or more")
                           : QStringLiteral("FRL is lowered to 3 Gbit/s on 3 lanes: more needs an "
                                            "HDMI Forum TMDS character rate of 600 MHz"));
}

} // namespace

namespace {

// The index among all video descriptors of the first one holding `vic`, or -1.
int videoIndexOf(const CtaLayout &cta, int vic)
{
    const auto where = videoDescriptors(cta);
    for (int i = 0; i < where.size(); ++i) {
        if (vicOfCode(byteAt(cta.blocks.at(where[i].first), where[i].second)) == vic)
            return i;
    }
    return -1;
}

bool isYcbcr420Only(const CtaLayout &cta, int vic)
{
    const int block = cta.find(ExtendedBlockTag, Ycbcr420VideoExtTag);
    if (block < 0)
        return false;
    for (int at = 2; at < cta.blocks.at(block).size(); ++at) {
        if (vicOfCode(byteAt(cta.blocks.at(block), at)) == vic)
            return true;
    }
    return false;
}

// Takes `vic` out of the YCbCr 4:2:0 video data block (the block goes when
// it empties); false when it was not there.
bool dropYcbcr420Only(CtaLayout &cta, int vic)
{
    const int block = cta.find(ExtendedBlockTag, Ycbcr420VideoExtTag);
    if (block < 0)
        return false;
    QByteArray &b = cta.blocks[block];
    int at = int(b.size()) - 1;
    while (at >= 2 && vicOfCode(byteAt(b, at)) != vic)
        --at;
    if (at < 2)
        return false;
    b.remove(at, 1);
    if (b.size() <= 2)
        cta.blocks.removeAt(block);
    return true;
}

// The capability map with explicit bits (a map without bits marks every
// VIC), or -1.
int explicitCapabilityMap(const CtaLayout &cta)
{
    const int map = cta.find(ExtendedBlockTag, Ycbcr420MapExtTag);
    return map >= 0 && cta.blocks.at(map).size() > 2 ? map : -1;
}

bool capabilityBit(const QByteArray &map, int index)
{
    return 2 + index / 8 < map.size() && (byteAt(map, 2 + index / 8) >> (index % 8)) & 1;
}

void storeCapabilityBit(QByteArray &map, int index, bool on)
{
    ensureLength(map, 2 + index / 8 + 1);
    std::uint8_t byte = byteAt(map, 2 + index / 8);
    byte = on ? byte | (1 << (index % 8)) : byte & ~(1 << (index % 8));
    map[2 + index / 8] = char(byte);
}

// A video descriptor was inserted at `index`: the marks of the ones after
// it move up one, and the new one gets `on`.
void insertCapabilityBit(CtaLayout &cta, int index, bool on)
{
    const int map = explicitCapabilityMap(cta);
    if (map < 0) {
        if (on && cta.find(ExtendedBlockTag, Ycbcr420MapExtTag) < 0) {
            cta.blocks.append(makeDataBlock(ExtendedBlockTag, QByteArray(), Ycbcr420MapExtTag));
            storeCapabilityBit(cta.blocks.last(), index, true);
        }
        return;
    }
    QByteArray &b = cta.blocks[map];
    const int bits = int(b.size() - 2) * 8;
    if (index < bits && capabilityBit(b, bits - 1))
        ensureLength(b, int(b.size()) + 1);
    for (int i = int(b.size() - 2) * 8 - 1; i > index; --i)
        storeCapabilityBit(b, i, capabilityBit(b, i - 1));
    if (on || index < bits)
        storeCapabilityBit(b, index, on);
}

// Marks the VIC at `index` 4:2:0-capable, adding the map when there is none.
void markCapable(CtaLayout &cta, int index)
{
    const int any = cta.find(ExtendedBlockTag, Ycbcr420MapExtTag);
    if (any >= 0 && cta.blocks.at(any).size() <= 2)
        return; // a map without bits marks every VIC already
    if (any < 0)
        cta.blocks.append(makeDataBlock(ExtendedBlockTag, QByteArray(), Ycbcr420MapExtTag));
    storeCapabilityBit(cta.blocks[cta.find(ExtendedBlockTag, Ycbcr420MapExtTag)], index, true);
}

// Inserts `vic` as descriptor `index` of the first video data block (added
// when there is none).
void insertVic(CtaLayout &cta, int index, int vic, bool capable)
{
    int vdb = cta.find(VideoBlockTag);
    if (vdb < 0) {
        cta.blocks.prepend(makeDataBlock(VideoBlockTag, QByteArray()));
        vdb = 0;
    }
    cta.blocks[vdb].insert(1 + std::min(index, int(cta.blocks.at(vdb).size()) - 1), char(vic));
    insertCapabilityBit(cta, index, capable);
}

// The VIC whose timing `t` is, or 0.
int vicOfTiming(const DetailedTiming &t)
{
    for (int vic = 1; vic <= 219; ++vic) {
        const std::optional<DetailedTiming> v = vicTiming(vic);
        if (v && v->width == t.width && v->height == t.height && v->interlaced == t.interlaced
            && v->hBlank == t.hBlank && v->vBlank == t.vBlank && v->hFront == t.hFront
            && v->vFront == t.vFront && std::abs(v->pixelClockMhz - t.pixelClockMhz) < 0.01)
            return vic;
    }
    return 0;
}

int firstVideoBlockSize(const CtaLayout &cta)
{
    const int vdb = cta.find(VideoBlockTag);
    return vdb < 0 ? 0 : int(cta.blocks.at(vdb).size()) - 1;
}

// The timing a VIC adds to what the range limits must cover: a 4:2:0-only
// one at half the pixel clock.
QString coverVic(CtaLayout &cta, int vic, bool ycbcr420Only)
{
    const std::optional<DetailedTiming> timing = vicTiming(vic);
    if (!timing)
        return QString();
    return widenRangeLimits(
        cta.base, *timing, QStringLiteral("VIC %1").arg(vic), cta.notes, ycbcr420Only ? 2 : 1);
}

} // namespace

QString hdmi3dPositionsProblem(const CtaLayout &cta, int firstShifted)
{
    // The places the 3D fields can name: 4-bit indices and a 16-bit mask.
    constexpr int kNamedPlaces = 16;
    const int at = cta.findVendor(kHdmiOui);
    if (at < 0 || firstShifted >= kNamedPlaces)
        return QString();
    const QByteArray &b = cta.blocks.at(at);
    // Header byte, OUI, address, flags, TMDS clock, then the field flags.
    constexpr int kFieldFlags = 8;
    if (b.size() <= kFieldFlags)
        return QString();
    const int flags = byteAt(b, kFieldFlags);
    if (!(flags & 0x20)) // no HDMI_Video_present
        return QString();
    const int i = kFieldFlags + 1 + ((flags & 0x80) ? 2 : 0) + ((flags & 0x40) ? 2 : 0);
    // HDMI_3D_LEN 0 (or no such byte): no per-VIC 3D fields.
    if (i + 1 >= b.size() || (byteAt(b, i + 1) & 0x1F) == 0)
        return QString();
    return QStringLiteral("the HDMI vendor block names its 3D formats by their place among the "
                          "first 16 VICs; this edit would move them and give 3D to other "
                          "formats");
}

void makeVicPreferred(CtaLayout &cta, int vic)
{
    bool capable = dropYcbcr420Only(cta, vic);
    const int index = videoIndexOf(cta, vic);
    if (index >= 0) {
        const int any = cta.find(ExtendedBlockTag, Ycbcr420MapExtTag);
        capable = capable || (any >= 0 && capabilityBit(cta.blocks.at(any), index));
        const auto where = videoDescriptors(cta);
        cta.blocks[where[index].first].remove(where[index].second, 1);
        dropCapabilityBit(cta, index);
    }
    insertVic(cta, 0, vic, capable);
    // The preferred detailed timing is the one native timing: a native VIC
    // besides it would be a second one.
    for (const auto &[block, at] : videoDescriptors(cta))
        cta.blocks[block][at] = char(vicOfCode(byteAt(cta.blocks.at(block), at)));
    const int preference = cta.find(ExtendedBlockTag, VideoPreferenceExtTag);
    if (preference >= 0) {
        QByteArray &b = cta.blocks[preference];
        for (int at = int(b.size()) - 1; at >= 2; --at) {
            if (byteAt(b, at) == vic)
                b.remove(at, 1);
        }
        b.insert(2, char(vic));
    }
    cta.header[3] = char((byteAt(cta.header, 3) & 0xF0) | 1);
}

EdidEditResult addVics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        if (cta.find(VideoBlockTag) < 0) {
            // The first VIC of a video data block counts as preferred too:
            // a new block starts with the preferred timing's VIC, or with
            // one no larger.
            const std::optional<DetailedTiming> preferred = firstDetailedTiming(cta.base);
            const int lead = preferred ? vicOfTiming(*preferred) : 0;
            const VicFormat *first = vicFormat(vics.first());
            if (lead && !vics.contains(lead)) {
                insertVic(cta, 0, lead, false);
                cta.notes << QStringLiteral("VIC %1, the preferred timing, leads the new video "
                                            "data block")
                                 .arg(lead);
            } else if (!lead && preferred
                && (first->width > preferred->width || first->height > preferred->height)) {
                return QStringLiteral("a new video data block would start with VIC %1 (%2), "
                                      "larger than the preferred timing %3x%4; give a VIC no "
                                      "larger first")
                    .arg(vics.first())
                    .arg(vicName(vics.first()))
                    .arg(preferred->width)
                    .arg(preferred->height);
            }
        }
        for (int vic : vics) {
            if (videoIndexOf(cta, vic) >= 0)
                continue;
            // A 4:2:0-only VIC becomes a regular one that keeps 4:2:0.
            const bool was420 = dropYcbcr420Only(cta, vic);
            if (was420)
                cta.notes << QStringLiteral("VIC %1 was YCbCr 4:2:0-only; it is now a regular "
                                            "VIC marked 4:2:0-capable")
                                 .arg(vic);
            insertVic(cta, firstVideoBlockSize(cta), vic, was420);
            const QString refusal = coverVic(cta, vic, false);
            if (!refusal.isNull())
                return refusal;
        }
        return QString();
    });
}

EdidEditResult removeVics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return removeInCta(table, QStringLiteral("the table has no video data block; nothing removed"),
        [&](CtaLayout &cta) {
            for (int vic : vics) {
                const int index = videoIndexOf(cta, vic);
                if (index < 0) {
                    cta.notes << QStringLiteral("VIC %1 is not in the video data block; not "
                                                "removed")
                                     .arg(vic);
                    continue;
                }
                const QString moved = hdmi3dPositionsProblem(cta, index);
                if (!moved.isNull())
                    return QStringLiteral("VIC %1: %2").arg(vic).arg(moved);
                // CTA-861 requires 640x480@60 of every sink: in the video
                // list or among the base block's established timings.
                constexpr int kEstablishedTimings1 = 0x23;
                constexpr int k640x480At60 = 0x20;
                if (vic == 1 && !(byteAt(cta.base, kEstablishedTimings1) & k640x480At60))
                    return QStringLiteral("VIC 1 (640x480@60) is required and the base block's "
                                          "established timings do not list it; not removed");
                const auto where = videoDescriptors(cta);
                if (index == 0 && !(byteAt(cta.header, 3) & 0x0F)) {
                    // Without a native detailed timing the first VIC counts as
                    // preferred: the first detailed timing takes that over
                    // rather than the next VIC.
                    cta.header[3] = char(byteAt(cta.header, 3) | 1);
                    cta.notes << QStringLiteral("VIC %1 led the video data block; the first "
                                                "detailed timing is now marked native, so the "
                                                "next VIC does not become preferred")
                                     .arg(vic);
                }
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
    const auto change = [&](CtaLayout &cta) {
        if (vic != 0 && (byteAt(cta.header, 3) & 0x0F))
            return (byteAt(cta.header, 3) & 0x0F) == 1
                ? QStringLiteral("the table marks its first detailed timing native; a native VIC "
                                 "would be another native timing")
                : QStringLiteral("the table marks its first %1 detailed timings native; a native "
                                 "VIC would be another native timing")
                      .arg(byteAt(cta.header, 3) & 0x0F);
        if (vic != 0) {
            const VicFormat *format = vicFormat(vic);
            const std::optional<DetailedTiming> preferred = firstDetailedTiming(cta.base);
            if (!preferred || preferred->width != format->width
                || preferred->height != format->height
                || preferred->interlaced != format->interlaced)
                return QStringLiteral("VIC %1 (%2) is not the size of the preferred timing; "
                                      "make it preferred with --preferred-vic %1")
                    .arg(vic)
                    .arg(vicName(vic));
        }
        if (vic == 0 && !(byteAt(cta.header, 3) & 0x0F)) {
            for (const auto &[block, at] : videoDescriptors(cta)) {
                if (byteAt(cta.blocks.at(block), at) >= 129
                    && byteAt(cta.blocks.at(block), at) <= 192)
                    return QStringLiteral("VIC %1 is the table's only native timing (no detailed "
                                          "timing is marked native); it keeps its mark")
                        .arg(vicOfCode(byteAt(cta.blocks.at(block), at)));
            }
        }
        // The first VIC counts as preferred too: once no VIC is native, the
        // native detailed timing must be no smaller.
        const std::optional<DetailedTiming> first = firstDetailedTiming(cta.base);
        const auto where = videoDescriptors(cta);
        const bool anyMarked = std::any_of(where.begin(), where.end(), [&cta](const auto &w) {
            const int code = byteAt(cta.blocks.at(w.first), w.second);
            return code >= 129 && code <= 192;
        });
        if (vic == 0 && anyMarked && first) {
            const int lead = vicOfCode(byteAt(cta.blocks.at(where[0].first), where[0].second));
            const VicFormat *f = vicFormat(lead);
            if (f && f->width * f->height > first->width * first->height)
                return QStringLiteral("VIC %1 (%2) leads the video data block and is larger "
                                      "than the first detailed timing (%3x%4); with no native "
                                      "VIC the native timing would be smaller than a preferred "
                                      "one")
                    .arg(lead)
                    .arg(vicName(lead))
                    .arg(first->width)
                    .arg(first->height);
        }
        bool found = vic == 0;
        for (const auto &[block, at] : videoDescriptors(cta)) {
            const int v = vicOfCode(byteAt(cta.blocks.at(block), at));
            const bool native = v == vic && !found;
            found = found || native;
            cta.blocks[block][at] = char(native ? v + 128 : v);
        }
        return found ? QString() : QStringLiteral("VIC %1 is not in the video data block").arg(vic);
    };
    if (vic == 0)
        return removeInCta(
            table, QStringLiteral("no VIC is marked native; nothing changed"), change);
    return editCta(table, change);
}

EdidEditResult addYcbcr420Vics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return editCta(table, [&](CtaLayout &cta) {
        for (int vic : vics) {
            const std::optional<DetailedTiming> timing = vicTiming(vic);
            if (timing && timing->pixelClockMhz < 590)
                return QStringLiteral("VIC %1 (%2) runs at %3 MHz; HDMI carries YCbCr 4:2:0 only "
                                      "for formats of 590 MHz or more")
                    .arg(vic)
                    .arg(vicName(vic))
                    .arg(timing->pixelClockMhz);
            const int regular = videoIndexOf(cta, vic);
            if (regular >= 0) {
                // A VIC is either regular or 4:2:0-only: a regular one is
                // marked in the capability map instead.
                const int map = cta.find(ExtendedBlockTag, Ycbcr420MapExtTag);
                if (map >= 0
                    && (cta.blocks.at(map).size() <= 2
                        || capabilityBit(cta.blocks.at(map), regular)))
                    continue;
                markCapable(cta, regular);
                cta.notes << QStringLiteral("VIC %1 is in the video data block; it is marked "
                                            "4:2:0-capable there instead of 4:2:0-only")
                                 .arg(vic);
            } else if (!isYcbcr420Only(cta, vic)) {
                int block = cta.find(ExtendedBlockTag, Ycbcr420VideoExtTag);
                if (block < 0) {
                    cta.blocks.append(
                        makeDataBlock(ExtendedBlockTag, QByteArray(), Ycbcr420VideoExtTag));
                    block = int(cta.blocks.size()) - 1;
                }
                cta.blocks[block].append(char(vic));
            }
            const QString refusal = coverVic(cta, vic, regular < 0);
            if (!refusal.isNull())
                return refusal;
        }
        return QString();
    });
}

EdidEditResult removeYcbcr420Vics(const QByteArray &table, const QList<int> &vics)
{
    const QString bad = checkVics(vics);
    if (!bad.isNull())
        return editRefused(bad);
    return removeInCta(table,
        QStringLiteral("the table has no YCbCr 4:2:0 video data block; nothing removed"),
        [&](CtaLayout &cta) {
            for (int vic : vics) {
                if (!dropYcbcr420Only(cta, vic))
                    cta.notes << QStringLiteral("VIC %1 is not in the YCbCr 4:2:0 video data "
                                                "block; not removed")
                                     .arg(vic);
            }
            return QString();
        });
}

namespace {

bool isAudioBlock(const QByteArray &b)
{
    const int tag = byteAt(b, 0) >> 5;
    return tag == AudioBlockTag || tag == SpeakerBlockTag
        || (tag == ExtendedBlockTag && b.size() > 1 && byteAt(b, 1) == VendorAudioExtTag);
}

// CTA-861-H, 7.5.2: format codes 1-14, and the extension types 4-8 and
// 10-13 of code 15; the rest are reserved or obsolete, or newer than
// what edid-decode knows.
bool isValidShortAudio(const char *d)
{
    const int code = (std::uint8_t(d[0]) >> 3) & 0x0F;
    const int extended = std::uint8_t(d[2]) >> 3;
    return (code >= 1 && code <= 14)
        || (code == 15 && ((extended >= 4 && extended <= 8) || (extended >= 10 && extended <= 13)));
}

// Appends the data blocks of a collection of `length` bytes.
void collectBlocks(const QByteArray &bytes, int from, int length, QList<QByteArray> &blocks)
{
    for (int at = from; at < from + length && at < bytes.size();) {
        const int size = 1 + (byteAt(bytes, at) & 0x1F);
        if (at + size > from + length || at + size > bytes.size())
            break;
        blocks << bytes.mid(at, size);
        at += size;
    }
}

// The CTA-861 data blocks of every extension of `source`: CTA-861 blocks
// and the CTA-861 data block collections of DisplayID sections (tag 0x81).
// `basicAudio` is the flag of the first CTA-861 block, when there is one.
bool sourceBlocks(
    const QByteArray &source, QList<QByteArray> &blocks, std::optional<bool> &basicAudio)
{
    bool any = false;
    for (int start = kEdidBlockSize; start + kEdidBlockSize <= source.size();
         start += kEdidBlockSize) {
        const QByteArray block = source.mid(start, kEdidBlockSize);
        if (byteAt(block, 0) == 0x02) {
            any = true;
            const int dtd = byteAt(block, 2);
            if (!basicAudio)
                basicAudio = (byteAt(block, 3) & 0x40) != 0;
            if (dtd >= kCtaFirstDataBlock && dtd <= kCtaDataEnd)
                collectBlocks(block, kCtaFirstDataBlock, dtd - kCtaFirstDataBlock, blocks);
        } else if (byteAt(block, 0) == 0x70) {
            const int end = std::min(5 + int(byteAt(block, 2)), kCtaDataEnd - 1);
            for (int at = 5; at + 3 <= end;) {
                const int length = byteAt(block, at + 2);
                if (at + 3 + length > end)
                    break;
                if (byteAt(block, at) == 0x81) {
                    any = true;
                    collectBlocks(block, at + 3, length, blocks);
                }
                at += 3 + length;
            }
        }
    }
    return any;
}

} // namespace

EdidEditResult takeAudio(const QByteArray &table, const QByteArray &source)
{
    if (source.size() < kEdidBlockSize || source.size() % kEdidBlockSize)
        return editRefused(QStringLiteral("the audio table has %1 bytes; an EDID has a multiple "
                                          "of 128")
                               .arg(source.size()));
    QList<QByteArray> from;
    std::optional<bool> basicAudio;
    if (!sourceBlocks(source, from, basicAudio))
        return editRefused(QStringLiteral("the audio table has no CTA-861 data blocks"));
    QList<QByteArray> audio;
    int dropped = 0;
    bool anyAudio = false;
    for (const QByteArray &b : std::as_const(from)) {
        if (!isAudioBlock(b))
            continue;
        if (byteAt(b, 0) >> 5 != AudioBlockTag) {
            audio << b;
            continue;
        }
        // Only the descriptors a sink may give: a reserved one would be a
        // new problem of the result.
        QByteArray kept(1, b.at(0));
        for (int at = 1; at + 3 <= b.size(); at += 3) {
            if (isValidShortAudio(b.constData() + at))
                kept += b.mid(at, 3);
            else
                ++dropped;
        }
        if (kept.size() > 1) {
            audio << kept;
            anyAudio = true;
        }
    }
    return editCta(table, [&](CtaLayout &cta) {
        int at = -1;
        for (int i = int(cta.blocks.size()) - 1; i >= 0; --i) {
            if (isAudioBlock(cta.blocks.at(i))) {
                cta.blocks.removeAt(i);
                at = i;
            }
        }
        if (at < 0)
            at = cta.find(VideoBlockTag) + 1;
        for (const QByteArray &b : std::as_const(audio))
            cta.blocks.insert(at++, b);
        // A table with audio descriptors has basic audio.
        const bool basic = anyAudio || basicAudio.value_or(false);
        cta.header[3] = char((byteAt(cta.header, 3) & ~0x40) | (basic ? 0x40 : 0));
        if (dropped)
            cta.notes << QStringLiteral("%1 reserved short audio %2 of the audio table left out")
                             .arg(dropped)
                             .arg(dropped == 1 ? QStringLiteral("descriptor")
                                               : QStringLiteral("descriptors"));
        return QString();
    });
}

EdidEditResult mergeEdid(const QByteArray &video, const QByteArray &audio)
{
    return takeAudio(video, audio);
}

namespace {

// The words of the command line and the editor for audio format codes 1-14.
const char *const kAudioFormatWords[] = { "lpcm", "ac3", "mpeg1", "mp3", "mpeg2", "aac", "dts",
    "atrac", "dsd", "eac3", "dtshd", "truehd", "dst", "wma" };

} // namespace

int audioFormatCode(const QString &word)
{
    for (int code = 1; code <= 14; ++code) {
        if (word.compare(QLatin1String(kAudioFormatWords[code - 1]), Qt::CaseInsensitive) == 0)
            return code;
    }
    return word.compare(QLatin1String("mat"), Qt::CaseInsensitive) == 0 ? 12 : 0;
}

QString audioFormatWord(int code)
{
    return code >= 1 && code <= 14 ? QLatin1String(kAudioFormatWords[code - 1])
                                   : QString::number(code);
}

EdidEditResult addAudioFormat(const QByteArray &table, const ShortAudio &a)
{
    static const double rates[7] = { 32, 44.1, 48, 88.2, 96, 176.4, 192 };
    if (a.formatCode < 1 || a.formatCode > 14)
        return editRefused(QStringLiteral("audio format code %1: give 1-14").arg(a.formatCode));
    if (a.channels < 1 || a.channels > 8)
        return editRefused(QStringLiteral("%1 channels: give 1-8").arg(a.channels));
    int rateBits = 0;
    for (double rate : a.ratesKhz) {
        int bit = 0;
        while (bit < 7 && rates[bit] != rate)
            ++bit;
        if (bit == 7)
            return editRefused(QStringLiteral("sample rate %1 kHz: give 32, 44.1, 48, 88.2, 96, "
                                              "176.4 or 192")
                                   .arg(rate));
        rateBits |= 1 << bit;
    }
    if (!rateBits)
        return editRefused(QStringLiteral("give at least one sample rate"));
    int third = 0;
    if (a.formatCode == 1) {
        for (int depth : a.bitDepths) {
            if (depth != 16 && depth != 20 && depth != 24)
                return editRefused(
                    QStringLiteral("LPCM bit depth %1: give 16, 20 or 24").arg(depth));
            third |= 1 << (depth - 16) / 4;
        }
        if (!third)
            return editRefused(QStringLiteral("LPCM needs its bit depths (16, 20, 24)"));
    } else if (a.formatCode <= 8) {
        if (a.maxBitrateKbps < 8 || a.maxBitrateKbps > 2040 || a.maxBitrateKbps % 8)
            return editRefused(QStringLiteral("maximum bit rate %1 kbit/s: give a multiple of 8 "
                                              "from 8 to 2040")
                                   .arg(a.maxBitrateKbps));
        third = a.maxBitrateKbps / 8;
    } else {
        if (a.formatValue < 0 || a.formatValue > 255)
            return editRefused(QStringLiteral("format value %1: give 0-255").arg(a.formatValue));
        third = a.formatValue;
    }
    QByteArray sad(3, '\0');
    sad[0] = char(a.formatCode << 3 | (a.channels - 1));
    sad[1] = char(rateBits);
    sad[2] = char(third);
    return editCta(table, [&](CtaLayout &cta) {
        int block = cta.find(AudioBlockTag);
        if (block < 0) {
            block = cta.find(VideoBlockTag) + 1;
            cta.blocks.insert(block, makeDataBlock(AudioBlockTag, QByteArray()));
        }
        QByteArray &b = cta.blocks[block];
        int at = 1;
        while (at + 3 <= b.size() && ((byteAt(b, at) >> 3) & 0x0F) != a.formatCode)
            at += 3;
        if (at + 3 <= b.size())
            b.replace(at, 3, sad);
        else
            b += sad;
        if (!(byteAt(cta.header, 3) & 0x40)) {
            cta.header[3] = char(byteAt(cta.header, 3) | 0x40);
            cta.notes << QStringLiteral("basic audio is set (2-channel LPCM): a table with audio "
                                        "descriptors has it");
        }
        return QString();
    });
}

EdidEditResult removeAudioFormat(const QByteArray &table, int formatCode)
{
    if (formatCode < 1 || formatCode > 15)
        return editRefused(QStringLiteral("audio format code %1: give 1-15").arg(formatCode));
    return removeInCta(table,
        QStringLiteral("the table has no audio descriptor of format %1; nothing removed")
            .arg(audioFormatWord(formatCode)),
        [&](CtaLayout &cta) {
            for (int i = cta.find(AudioBlockTag); i >= 0; i = cta.find(AudioBlockTag, -1, i + 1)) {
                QByteArray &b = cta.blocks[i];
                for (int at = int(b.size()) - 3; at >= 1; at -= 3) {
                    if (((byteAt(b, at) >> 3) & 0x0F) == formatCode)
                        b.remove(at, 3);
                }
            }
            for (int i = cta.find(AudioBlockTag); i >= 0; i = cta.find(AudioBlockTag, -1, i)) {
                if (cta.blocks.at(i).size() > 1)
                    ++i;
                else
                    cta.blocks.removeAt(i);
            }
            return QString();
        });
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
                               .arg(echoedText(address)));
    // A device's address ends at its first 0: 1.0.2.0 names no device.
    for (int i = 1; i < 4; ++i) {
        if (digits[i - 1] == 0 && digits[i] != 0)
            return editRefused(QStringLiteral("physical address \"%1\": after a 0 every number "
                                              "is 0 (as 1.2.0.0)")
                                   .arg(echoedText(address)));
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
            const int forumMhz = mhz > kHdmiMaxTmdsMhz ? mhz : 0;
            cta.blocks[forum][kForumTmdsByte] = char(forumMhz / 5);
            capFrlRate(cta.blocks[forum], forumMhz, cta.notes);
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
EdidEditResult editForum(const QByteArray &table,
    const std::function<QString(QByteArray &forum, QStringList &notes)> &change)
{
    return editCta(table, [&](CtaLayout &cta) {
        const int forum = findForum(cta);
        if (forum < 0)
            return needBlock(forum, "HDMI Forum block");
        ensureLength(cta.blocks[forum], kForumVersionByte + 1);
        return change(cta.blocks[forum], cta.notes);
    });
}


} // namespace

EdidEditResult setForumMaxTmds(const QByteArray &table, int mhz)
{
    if (mhz != 0 && (mhz <= kHdmiMaxTmdsMhz || mhz > kForumMaxTmdsMhz || mhz % 5))
        return editRefused(QStringLiteral("TMDS character rate %1 MHz: give 0 or a multiple of "
                                          "5 from 345 to 600")
                               .arg(mhz));
    return editForum(table, [&](QByteArray &forum, QStringList &notes) {
        ensureLength(forum, kForumTmdsByte + 1);
        forum[kForumTmdsByte] = char(mhz / 5);
        capFrlRate(forum, mhz, notes);
        return QString();
    });
}

EdidEditResult setForumScdc(const QByteArray &table, bool scdc)
{
    return editForum(table, [&](QByteArray &forum, QStringList &) {
        ensureLength(forum, kForumFlagsByte + 1);
        forum[kForumFlagsByte] = char((byteAt(forum, kForumFlagsByte) & 0x7F) | (scdc ? 0x80 : 0));
        return QString();
    });
}

EdidEditResult setForumFrlRate(const QByteArray &table, int code)
{
    if (code < 0 || code > 6)
        return editRefused(QStringLiteral("FRL rate code %1: give 0-6").arg(code));
    return editForum(table, [&](QByteArray &forum, QStringList &) {
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

namespace {

// CTA-861-H, 7.5.13: maximum and frame average 50 * 2^(CV/32) cd/m2.
bool luminanceCode(std::optional<double> nits, int &code)
{
    code = -1;
    if (!nits)
        return true;
    if (!(*nits >= 50 && *nits < 12526))
        return false;
    code = int(std::lround(32 * std::log2(*nits / 50)));
    return code >= 0 && code <= 255;
}

// The HDR static metadata edits: EOTF bits when given, luminances when
// given; `add` adds the block when it is missing.
EdidEditResult editHdr(const QByteArray &table, std::optional<std::uint8_t> eotfBits,
    std::optional<double> maxLuminance, std::optional<double> maxFrameAvg,
    std::optional<double> minLuminance, bool add)
{
    int maxCode = -1;
    int avgCode = -1;
    if (!luminanceCode(maxLuminance, maxCode) || !luminanceCode(maxFrameAvg, avgCode))
        return editRefused(QStringLiteral("luminance out of range: give 50 to 12 525 cd/m²"));
    if (minLuminance && !(*minLuminance >= 0))
        return editRefused(
            QStringLiteral("minimum luminance %1 cd/m²: give 0 or more").arg(*minLuminance));
    const auto change = [&](CtaLayout &cta) {
        int hdr = cta.find(ExtendedBlockTag, HdrStaticExtTag);
        if (hdr < 0) {
            if (!add)
                return QStringLiteral("the table has no HDR static metadata block; give "
                                      "--hdr-eotfs first");
            // EOTFs and static metadata type 1.
            cta.blocks.append(
                makeDataBlock(ExtendedBlockTag, QByteArray("\0\x01", 2), HdrStaticExtTag));
            hdr = int(cta.blocks.size()) - 1;
        }
        QByteArray &b = cta.blocks[hdr];
        ensureLength(b, 4);
        if (eotfBits)
            b[2] = char((byteAt(b, 2) & 0xF0) | *eotfBits);
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
            if (b.size() <= 4 || byteAt(b, 4) == 0)
                return QStringLiteral("the HDR block gives no maximum luminance; give --hdr-max "
                                      "first");
            const double max = 50 * std::pow(2.0, byteAt(b, 4) / 32.0);
            const double ratio = *minLuminance * 100 / max;
            if (ratio < 0 || ratio > 1)
                return QStringLiteral("minimum luminance %1 cd/m²: give 0 up to a hundredth "
                                      "of the maximum (%2 cd/m²)")
                    .arg(*minLuminance)
                    .arg(max / 100);
            ensureLength(b, 7);
            b[6] = char(std::lround(255 * std::sqrt(ratio)));
        }
        return QString();
    };
    if (eotfBits == 0 && !maxLuminance && !maxFrameAvg && !minLuminance)
        return removeInCta(table,
            QStringLiteral("the table has no HDR static metadata block; nothing cleared"),
            [&](CtaLayout &cta) {
                return cta.find(ExtendedBlockTag, HdrStaticExtTag) < 0 ? QString() : change(cta);
            });
    return editCta(table, change);
}

} // namespace

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
            return editRefused(QStringLiteral("EOTF \"%1\": give words from sdr, hdr, pq, hlg")
                                   .arg(echoedText(word)));
        eotfBits |= 1 << bit;
    }
    return editHdr(table, eotfBits, maxLuminance, maxFrameAvg, minLuminance, true);
}

EdidEditResult setHdrLuminance(const QByteArray &table, std::optional<double> maxLuminance,
    std::optional<double> maxFrameAvg, std::optional<double> minLuminance)
{
    return editHdr(table, std::nullopt, maxLuminance, maxFrameAvg, minLuminance, false);
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
            return editRefused(QStringLiteral("unknown colorimetry \"%1\"").arg(echoedText(name)));
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

namespace {

QString dataBlockName(int tag, int extendedTag)
{
    switch (extendedTag < 0 ? tag : 0x100 | extendedTag) {
    case AudioBlockTag:
        return QStringLiteral("audio data block");
    case VideoBlockTag:
        return QStringLiteral("video data block");
    case VendorBlockTag:
        return QStringLiteral("vendor-specific data block");
    case SpeakerBlockTag:
        return QStringLiteral("speaker allocation block");
    case 0x100 | ColorimetryExtTag:
        return QStringLiteral("colorimetry block");
    case 0x100 | HdrStaticExtTag:
        return QStringLiteral("HDR static metadata block");
    case 0x100 | Ycbcr420VideoExtTag:
        return QStringLiteral("YCbCr 4:2:0 video data block");
    case 0x100 | Ycbcr420MapExtTag:
        return QStringLiteral("YCbCr 4:2:0 capability map");
    default:
        return extendedTag < 0 ? QStringLiteral("data block with tag %1").arg(tag)
                               : QStringLiteral("data block with extended tag %1").arg(extendedTag);
    }
}

} // namespace

EdidEditResult removeDataBlocks(const QByteArray &table, int tag, int extendedTag)
{
    if (tag < 0 || tag > 7 || extendedTag > 255)
        return editRefused(QStringLiteral("data block tag %1: give 0-7").arg(tag));
    return removeInCta(table,
        QStringLiteral("the table has no %1; nothing removed").arg(dataBlockName(tag, extendedTag)),
        [&](CtaLayout &cta) {
            for (int i = cta.find(tag, extendedTag); i >= 0; i = cta.find(tag, extendedTag, i))
                cta.blocks.removeAt(i);
            return QString();
        });
}

EdidEditResult removeHdmiForumBlock(const QByteArray &table)
{
    return removeInCta(table, QStringLiteral("the table has no HDMI Forum block; nothing removed"),
        [&](CtaLayout &cta) {
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
