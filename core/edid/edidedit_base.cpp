// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of the base block (VESA E-EDID 1.4, section 3): identity, the
// display descriptors and the preferred detailed timing.
#include "edideditlayout.h"

#include "edidblocks.h"
#include "edidchecksum.h"
#include "edidvic.h"
#include "text/echoedtext.h"

#include <cmath>
#include <limits>

namespace vortalex {

namespace {

constexpr int kFirstDescriptor = 54;
constexpr int kDescriptorCount = 4;
constexpr int kDescriptorTextLength = 13;
constexpr int kDummyDescriptorTag = 0x10;
constexpr int kNameTag = 0xFC;
constexpr int kSerialTag = 0xFF;
constexpr int kRangeTag = 0xFD;

using BaseChange = std::function<QString(QByteArray &table)>;

EdidEditResult editBase(const QByteArray &table, const BaseChange &change, QStringList notes = {})
{
    EdidEditResult checked = checkEditableTable(table);
    if (!checked.ok())
        return checked;
    const QString refusal = change(checked.table);
    if (!refusal.isNull())
        return editRefused(refusal);
    EdidEditResult done = editDone(checked.table);
    done.notes = notes;
    return done;
}

bool isDisplayDescriptor(const QByteArray &table, int slot)
{
    const int at = kFirstDescriptor + slot * kDetailedTimingBytes;
    return table.at(at) == 0 && table.at(at + 1) == 0;
}

int descriptorTag(const QByteArray &table, int slot)
{
    return isDisplayDescriptor(table, slot)
        ? std::uint8_t(table.at(kFirstDescriptor + slot * kDetailedTimingBytes + 3))
        : -1;
}

// The slot holding the descriptor `tag`, else the first dummy one, else -1.
int descriptorSlot(const QByteArray &table, int tag)
{
    for (int slot = 0; slot < kDescriptorCount; ++slot) {
        if (descriptorTag(table, slot) == tag)
            return slot;
    }
    for (int slot = 0; slot < kDescriptorCount; ++slot) {
        if (descriptorTag(table, slot) == kDummyDescriptorTag)
            return slot;
    }
    return -1;
}

void writeDescriptor(QByteArray &table, int slot, const QByteArray &descriptor)
{
    table.replace(kFirstDescriptor + slot * kDetailedTimingBytes, kDetailedTimingBytes, descriptor);
}

QByteArray displayDescriptor(int tag, const QByteArray &data)
{
    QByteArray d(5, '\0');
    d[3] = char(tag);
    return d + data;
}

// 3.10.3: text ends with a line feed, padded with spaces.
EdidEditResult setDescriptorText(
    const QByteArray &table, int tag, const QString &text, const char *what)
{
    if (text.size() > kDescriptorTextLength)
        return editRefused(QStringLiteral("the %1 has %2 characters; a descriptor holds 13")
                               .arg(QLatin1String(what))
                               .arg(text.size()));
    for (QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return editRefused(QStringLiteral("the %1 may hold printable ASCII characters only")
                                   .arg(QLatin1String(what)));
    }
    QStringList notes;
    EdidEditResult result = editBase(table, [&](QByteArray &t) {
        const int slot = descriptorSlot(t, tag);
        if (text.isEmpty()) {
            if (slot >= 0 && descriptorTag(t, slot) == tag)
                writeDescriptor(
                    t, slot, displayDescriptor(kDummyDescriptorTag, QByteArray(13, '\0')));
            else
                notes << QStringLiteral("the table has no %1; nothing removed")
                             .arg(QLatin1String(what));
            return QString();
        }
        if (slot < 0)
            return QStringLiteral("the base block has no free descriptor for the %1")
                .arg(QLatin1String(what));
        QByteArray data = text.toLatin1();
        if (data.size() < kDescriptorTextLength)
            data += '\n';
        data += QByteArray(kDescriptorTextLength - data.size(), ' ');
        writeDescriptor(t, slot, displayDescriptor(tag, data));
        return QString();
    });
    result.notes << notes;
    return result;
}

// 3.10.2: an 18-byte detailed timing descriptor.
QByteArray encodeTiming(const DetailedTiming &t)
{
    const int clock = int(std::lround(t.pixelClockMhz * 100));
    const int vActive = t.interlaced ? t.height / 2 : t.height;
    QByteArray d(kDetailedTimingBytes, '\0');
    d[0] = char(clock & 0xFF);
    d[1] = char(clock >> 8);
    d[2] = char(t.width & 0xFF);
    d[3] = char(t.hBlank & 0xFF);
    d[4] = char((t.width >> 8) << 4 | (t.hBlank >> 8));
    d[5] = char(vActive & 0xFF);
    d[6] = char(t.vBlank & 0xFF);
    d[7] = char((vActive >> 8) << 4 | (t.vBlank >> 8));
    d[8] = char(t.hFront & 0xFF);
    d[9] = char(t.hSync & 0xFF);
    d[10] = char((t.vFront & 0x0F) << 4 | (t.vSync & 0x0F));
    d[11]
        = char((t.hFront >> 8) << 6 | (t.hSync >> 8) << 4 | (t.vFront >> 4) << 2 | (t.vSync >> 4));
    d[12] = char(t.widthMm & 0xFF);
    d[13] = char(t.heightMm & 0xFF);
    d[14] = char((t.widthMm >> 8) << 4 | (t.heightMm >> 8));
    // Digital separate sync with both polarities.
    d[17] = char((t.interlaced ? 0x80 : 0) | 0x18 | (t.vSyncPositive ? 0x04 : 0)
        | (t.hSyncPositive ? 0x02 : 0));
    return d;
}

QString checkTiming(const DetailedTiming &t)
{
    const int vActive = t.interlaced ? t.height / 2 : t.height;
    const bool fits = t.pixelClockMhz >= 0.01 && t.pixelClockMhz <= 655.35 && t.width > 0
        && t.width < 4096 && t.hBlank >= 0 && t.hBlank < 4096 && vActive > 0 && vActive < 4096
        && t.vBlank >= 0 && t.vBlank < 4096 && t.hFront >= 0 && t.hFront < 1024 && t.hSync >= 0
        && t.hSync < 1024 && t.vFront >= 0 && t.vFront < 64 && t.vSync >= 0 && t.vSync < 64
        && t.widthMm >= 0 && t.widthMm < 4096 && t.heightMm >= 0 && t.heightMm < 4096;
    return fits ? QString()
                : QStringLiteral("the timing does not fit a detailed timing descriptor (pixel "
                                 "clock up to 655.35 MHz, active and blank below 4096)");
}

} // namespace

EdidEditResult setManufacturer(const QByteArray &table, const QString &pnpId)
{
    const QString id = pnpId.toUpper();
    if (id.size() != 3
        || !std::all_of(id.begin(), id.end(), [](QChar c) { return c >= u'A' && c <= u'Z'; }))
        return editRefused(
            QStringLiteral("manufacturer \"%1\": give three letters A-Z").arg(echoedText(pnpId)));
    return editBase(table, [&](QByteArray &t) {
        const int code = (id[0].unicode() - '@') << 10 | (id[1].unicode() - '@') << 5
            | (id[2].unicode() - '@');
        t[8] = char(code >> 8);
        t[9] = char(code & 0xFF);
        return QString();
    });
}

EdidEditResult setProductCode(const QByteArray &table, int code)
{
    if (code < 0 || code > 0xFFFF)
        return editRefused(QStringLiteral("product code %1: give 0-65535").arg(code));
    return editBase(table, [&](QByteArray &t) {
        t[10] = char(code & 0xFF);
        t[11] = char(code >> 8);
        return QString();
    });
}

EdidEditResult setSerialNumber(const QByteArray &table, quint32 serial)
{
    return editBase(table, [&](QByteArray &t) {
        for (int i = 0; i < 4; ++i)
            t[12 + i] = char((serial >> (8 * i)) & 0xFF);
        return QString();
    });
}

EdidEditResult setManufactureDate(const QByteArray &table, int week, int year)
{
    if (week < 0 || week > 54 || year < 1990 || year > 2245)
        return editRefused(QStringLiteral("week %1 of %2: give a week 0-54 and a year 1990-2245")
                               .arg(week)
                               .arg(year));
    return editBase(table, [&](QByteArray &t) {
        t[16] = char(week);
        t[17] = char(year - 1990);
        return QString();
    });
}

EdidEditResult setDisplayName(const QByteArray &table, const QString &name)
{
    if (name.isEmpty())
        return editRefused(QStringLiteral("a table needs a display name; give 1-13 characters"));
    return setDescriptorText(table, kNameTag, name, "name");
}

EdidEditResult setSerialString(const QByteArray &table, const QString &serial)
{
    return setDescriptorText(table, kSerialTag, serial, "serial string");
}

namespace {

// Same pixel clock, sizes, blanking, sync and flags; the image size aside.
bool sameTiming(const QByteArray &a, const QByteArray &b)
{
    return a.left(12) == b.left(12) && a.at(17) == b.at(17);
}

// Writes `timing` as the first detailed timing (keeping the image size the
// table gave), drops the other base block timings identical to it and
// widens the range limits.
QString writePreferred(
    QByteArray &base, const DetailedTiming &timing, const QString &what, QStringList &notes)
{
    if (isDisplayDescriptor(base, 0))
        return QStringLiteral("the first descriptor of the base block is not a timing");
    DetailedTiming sized = timing;
    if (sized.widthMm == 0 && sized.heightMm == 0) {
        const auto *d = reinterpret_cast<const std::uint8_t *>(base.constData()) + kFirstDescriptor;
        sized.widthMm = d[12] | (d[14] >> 4) << 8;
        sized.heightMm = d[13] | (d[14] & 0x0F) << 8;
    }
    const QByteArray first = encodeTiming(sized);
    writeDescriptor(base, 0, first);
    for (int slot = 1; slot < kDescriptorCount; ++slot) {
        const int at = kFirstDescriptor + slot * kDetailedTimingBytes;
        if (!isDisplayDescriptor(base, slot)
            && sameTiming(base.mid(at, kDetailedTimingBytes), first)) {
            writeDescriptor(
                base, slot, displayDescriptor(kDummyDescriptorTag, QByteArray(13, '\0')));
            notes << QStringLiteral("detailed timing %1 was the same timing; it is removed")
                         .arg(slot + 1);
        }
    }
    return widenRangeLimits(base, timing, what, notes);
}

} // namespace

namespace {

// The rates of a timing, and the whole units of range limits that cover them.
struct TimingRates
{
    TimingRates(const DetailedTiming &t, int clockDivider = 1)
    {
        const double hTotal = t.width + t.hBlank;
        const double vTotal = t.interlaced ? t.height / 2.0 + t.vBlank + 0.5 : t.height + t.vBlank;
        hKhz = t.pixelClockMhz * 1000 / hTotal;
        vHz = hKhz * 1000 / vTotal;
        clockMhz = t.pixelClockMhz / clockDivider;
        constexpr double kSlack = 1e-6;
        vMin = int(std::floor(vHz + kSlack));
        vMax = int(std::ceil(vHz - kSlack));
        hMin = int(std::floor(hKhz + kSlack));
        hMax = int(std::ceil(hKhz - kSlack));
        clock = int(std::ceil(clockMhz / 10 - kSlack)) * 10;
    }
    double vHz = 0;
    double hKhz = 0;
    double clockMhz = 0;
    int vMin = 0;
    int vMax = 0;
    int hMin = 0;
    int hMax = 0;
    int clock = 0;
};

} // namespace

std::optional<DetailedTiming> firstDetailedTiming(const QByteArray &base)
{
    DetailedTiming timing;
    if (base.size() < kEdidBlockSize || isDisplayDescriptor(base, 0)
        || !decodeDetailedTiming(
            reinterpret_cast<const std::uint8_t *>(base.constData()) + kFirstDescriptor, timing))
        return std::nullopt;
    return timing;
}

QString widenRangeLimits(QByteArray &base, const DetailedTiming &t, const QString &what,
    QStringList &notes, int clockDivider)
{
    int slot = 0;
    while (slot < kDescriptorCount && descriptorTag(base, slot) != kRangeTag)
        ++slot;
    if (slot == kDescriptorCount)
        return QString();
    auto *d = reinterpret_cast<std::uint8_t *>(base.data()) + kFirstDescriptor
        + slot * kDetailedTimingBytes;
    // 3.10.3.3: byte 4 adds 255 to the maximum (bit 1, 3) and the minimum
    // too (bits 0-1, 2-3 both set) of the vertical and horizontal rates.
    const int flags = d[4];
    const bool edid14 = base.at(18) == 1 && base.at(19) >= 4;
    const auto offset = [flags](int shift, bool max) {
        const int f = (flags >> shift) & 3;
        return (max ? f & 2 : f == 3) ? 255 : 0;
    };
    const int vMin = d[5] + offset(0, false);
    const int vMax = d[6] + offset(0, true);
    const int hMin = d[7] + offset(2, false);
    const int hMax = d[8] + offset(2, true);
    const int clock = d[9] * 10;
    const TimingRates rates(t, clockDivider);
    const double vHz = rates.vHz;
    const double hKhz = rates.hKhz;
    const double pixelClock = rates.clockMhz;
    const int newVMin = std::min(vMin, rates.vMin);
    const int newVMax = std::max(vMax, rates.vMax);
    const int newHMin = std::min(hMin, rates.hMin);
    const int newHMax = std::max(hMax, rates.hMax);
    const int newClock = std::max(clock, rates.clock);
    if (newVMin == vMin && newVMax == vMax && newHMin == hMin && newHMax == hMax
        && newClock == clock)
        return QString();
    const int limit = edid14 ? 510 : 255;
    if (newVMax > limit || newHMax > limit || newClock > 2550)
        return QStringLiteral("%1 (%2 Hz, %3 kHz, %4 MHz) is outside the range limits, and "
                              "they cannot reach it (rates up to %5, clock up to 2550 MHz)")
            .arg(what)
            .arg(vHz, 0, 'f', 2)
            .arg(hKhz, 0, 'f', 3)
            .arg(pixelClock)
            .arg(limit);
    const auto flagsFor = [](int min, int max) { return min > 255 ? 3 : max > 255 ? 2 : 0; };
    const int vFlags = flagsFor(newVMin, newVMax);
    const int hFlags = flagsFor(newHMin, newHMax);
    d[4] = std::uint8_t((flags & 0xF0) | hFlags << 2 | vFlags);
    d[5] = std::uint8_t(newVMin - (vFlags == 3 ? 255 : 0));
    d[6] = std::uint8_t(newVMax - (vFlags ? 255 : 0));
    d[7] = std::uint8_t(newHMin - (hFlags == 3 ? 255 : 0));
    d[8] = std::uint8_t(newHMax - (hFlags ? 255 : 0));
    d[9] = std::uint8_t(newClock / 10);
    if (d[10] == 0x04) {
        // CVT: no finer clock step below the new maximum, and room for the width.
        if (newClock != clock)
            d[12] &= 0x03;
        const int maxWidth = ((d[12] & 0x03) << 8 | d[13]) * 8;
        if (maxWidth && maxWidth < t.width) {
            const int units = (t.width + 7) / 8;
            d[12] = std::uint8_t((d[12] & 0xFC) | units >> 8);
            d[13] = std::uint8_t(units & 0xFF);
        }
    }
    notes << QStringLiteral("range limits widened to %1-%2 Hz, %3-%4 kHz, %5 MHz for %6")
                 .arg(newVMin)
                 .arg(newVMax)
                 .arg(newHMin)
                 .arg(newHMax)
                 .arg(newClock)
                 .arg(what);
    return QString();
}

EdidEditResult setPreferredTiming(const QByteArray &table, const DetailedTiming &timing)
{
    const QString bad = checkTiming(timing);
    if (!bad.isNull())
        return editRefused(bad);
    QStringList notes;
    EdidEditResult result = editBase(table, [&](QByteArray &t) {
        return writePreferred(t, timing, QStringLiteral("the preferred timing"), notes);
    });
    result.notes = notes;
    return result;
}

EdidEditResult setPreferredVic(const QByteArray &table, int vic)
{
    const auto timing = vicTiming(vic);
    if (!timing)
        return editRefused(
            QStringLiteral("VIC %1 is not in the CTA-861 table (1-127, 193-219)").arg(vic));
    if (!checkTiming(*timing).isNull())
        return editRefused(QStringLiteral("VIC %1 (%2) needs a pixel clock of %3 MHz; a "
                                          "detailed timing holds at most 655.35 MHz")
                               .arg(vic)
                               .arg(vicName(vic))
                               .arg(timing->pixelClockMhz));
    const QString what = QStringLiteral("VIC %1").arg(vic);
    if (!hasCtaExtension(table)) {
        QStringList notes;
        EdidEditResult result = editBase(
            table, [&](QByteArray &t) { return writePreferred(t, *timing, what, notes); });
        result.notes = notes;
        return result;
    }
    return editCta(table, [&](CtaLayout &cta) {
        const QString moved = hdmi3dPositionsProblem(cta, 0);
        if (!moved.isNull())
            return moved;
        const QString refusal = writePreferred(cta.base, *timing, what, cta.notes);
        if (!refusal.isNull())
            return refusal;
        const QByteArray first = cta.base.mid(kFirstDescriptor, kDetailedTimingBytes);
        for (int i = int(cta.timings.size()) - 1; i >= 0; --i) {
            if (sameTiming(cta.timings.at(i), first)) {
                cta.timings.removeAt(i);
                cta.notes << QStringLiteral("a detailed timing of the extension block was the "
                                            "same timing; it is removed");
            }
        }
        makeVicPreferred(cta, vic);
        return QString();
    });
}

EdidEditResult setRangeLimits(const QByteArray &table, const RangeLimits &r)
{
    const int clock = (r.maxPixelClockMhz + 9) / 10;
    if (r.vMinHz < 1 || r.vMinHz > r.vMaxHz || r.vMaxHz > 255 || r.hMinKhz < 1
        || r.hMinKhz > r.hMaxKhz || r.hMaxKhz > 255 || clock < 1 || clock > 255)
        return editRefused(QStringLiteral("range limits: give rates 1-255 (minimum up to "
                                          "maximum) and a pixel clock 10-2550 MHz"));
    // Only wider: the established and standard timings count in edid-decode's
    // check too, and their rates are not all known here, so limits that
    // cover the table's timings stay covering them.
    const EdidInfo info = decodeEdid(table);
    if (!info.base || !info.base->range)
        return editRefused(QStringLiteral("the table has no range limits; only limits a table "
                                          "gives can be changed"));
    const RangeLimits &had = *info.base->range;
    if (r.vMinHz > had.vMinHz || r.vMaxHz < had.vMaxHz || r.hMinKhz > had.hMinKhz
        || r.hMaxKhz < had.hMaxKhz || clock * 10 < had.maxPixelClockMhz)
        return editRefused(QStringLiteral("range limits only widen: give at most %1 Hz and "
                                          "%2 kHz as minimums, at least %3 Hz, %4 kHz and %5 MHz "
                                          "as maximums")
                               .arg(had.vMinHz)
                               .arg(had.hMinKhz)
                               .arg(had.vMaxHz)
                               .arg(had.hMaxKhz)
                               .arg(had.maxPixelClockMhz));
    return editBase(table, [&](QByteArray &t) {
        const int slot = descriptorSlot(t, kRangeTag);
        if (slot < 0)
            return QStringLiteral("the base block has no free descriptor for the range limits");
        QByteArray data;
        data += char(r.vMinHz);
        data += char(r.vMaxHz);
        data += char(r.hMinKhz);
        data += char(r.hMaxKhz);
        data += char(clock);
        const int at = kFirstDescriptor + slot * kDetailedTimingBytes;
        if (descriptorTag(t, slot) == kRangeTag) {
            // The timing formula the table gave stays.
            data += t.mid(at + 10, 8);
        } else {
            // EDID 1.4 may give the limits alone; before 1.4 they come with
            // the default GTF.
            const bool edid14 = t.at(18) == 1 && t.at(19) >= 4;
            data += char(edid14 ? 0x01 : 0x00);
            data += '\n';
            data += QByteArray(6, ' ');
        }
        writeDescriptor(t, slot, displayDescriptor(kRangeTag, data));
        return QString();
    });
}

} // namespace vortalex
