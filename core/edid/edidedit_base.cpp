// SPDX-License-Identifier: GPL-3.0-or-later
// Edits of the base block (VESA E-EDID 1.4, section 3): identity, the
// display descriptors and the preferred detailed timing.
#include "edideditlayout.h"

#include "edidchecksum.h"

#include <cmath>

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

EdidEditResult editBase(const QByteArray &table, const BaseChange &change)
{
    EdidEditResult checked = checkEditableTable(table);
    if (!checked.ok())
        return checked;
    const QString refusal = change(checked.table);
    return refusal.isNull() ? editDone(checked.table) : editRefused(refusal);
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
    return editBase(table, [&](QByteArray &t) {
        const int slot = descriptorSlot(t, tag);
        if (text.isEmpty()) {
            if (slot >= 0 && descriptorTag(t, slot) == tag)
                writeDescriptor(
                    t, slot, displayDescriptor(kDummyDescriptorTag, QByteArray(13, '\0')));
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
            QStringLiteral("manufacturer \"%1\": give three letters A-Z").arg(pnpId));
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
    return setDescriptorText(table, kNameTag, name, "name");
}

EdidEditResult setSerialString(const QByteArray &table, const QString &serial)
{
    return setDescriptorText(table, kSerialTag, serial, "serial string");
}

EdidEditResult setPreferredTiming(const QByteArray &table, const DetailedTiming &timing)
{
    const QString bad = checkTiming(timing);
    if (!bad.isNull())
        return editRefused(bad);
    return editBase(table, [&](QByteArray &t) {
        if (isDisplayDescriptor(t, 0))
            return QStringLiteral("the first descriptor of the base block is not a timing");
        DetailedTiming sized = timing;
        if (sized.widthMm == 0 && sized.heightMm == 0) {
            // Keep the image size the table gave.
            const auto *d
                = reinterpret_cast<const std::uint8_t *>(t.constData()) + kFirstDescriptor;
            sized.widthMm = d[12] | (d[14] >> 4) << 8;
            sized.heightMm = d[13] | (d[14] & 0x0F) << 8;
        }
        writeDescriptor(t, 0, encodeTiming(sized));
        return QString();
    });
}

std::optional<DetailedTiming> vicTiming(int vic)
{
    // CTA-861-H, table 1 and 2: the common formats' timings.
    struct Row
    {
        int vics[2];
        double clock;
        int width, height, hFront, hSync, hBlank, vFront, vSync, vBlank;
        bool interlaced, positive;
    };
    static const Row rows[] = {
        { { 1, 1 }, 25.175, 640, 480, 16, 96, 160, 10, 2, 45, false, false },
        { { 2, 3 }, 27.0, 720, 480, 16, 62, 138, 9, 6, 45, false, false },
        { { 4, 4 }, 74.25, 1280, 720, 110, 40, 370, 5, 5, 30, false, true },
        { { 5, 5 }, 74.25, 1920, 1080, 88, 44, 280, 2, 5, 22, true, true },
        { { 16, 16 }, 148.5, 1920, 1080, 88, 44, 280, 4, 5, 45, false, true },
        { { 17, 18 }, 27.0, 720, 576, 12, 64, 144, 5, 5, 49, false, false },
        { { 19, 19 }, 74.25, 1280, 720, 440, 40, 700, 5, 5, 30, false, true },
        { { 20, 20 }, 74.25, 1920, 1080, 528, 44, 720, 2, 5, 22, true, true },
        { { 31, 31 }, 148.5, 1920, 1080, 528, 44, 720, 4, 5, 45, false, true },
        { { 32, 32 }, 74.25, 1920, 1080, 638, 44, 830, 4, 5, 45, false, true },
        { { 33, 33 }, 74.25, 1920, 1080, 528, 44, 720, 4, 5, 45, false, true },
        { { 34, 34 }, 74.25, 1920, 1080, 88, 44, 280, 4, 5, 45, false, true },
        { { 93, 103 }, 297.0, 3840, 2160, 1276, 88, 1660, 8, 10, 90, false, true },
        { { 94, 104 }, 297.0, 3840, 2160, 1056, 88, 1440, 8, 10, 90, false, true },
        { { 95, 105 }, 297.0, 3840, 2160, 176, 88, 560, 8, 10, 90, false, true },
        { { 96, 106 }, 594.0, 3840, 2160, 1056, 88, 1440, 8, 10, 90, false, true },
        { { 97, 107 }, 594.0, 3840, 2160, 176, 88, 560, 8, 10, 90, false, true },
    };
    for (const Row &r : rows) {
        if (vic != r.vics[0] && vic != r.vics[1])
            continue;
        DetailedTiming t;
        t.pixelClockMhz = r.clock;
        t.width = r.width;
        t.height = r.height;
        t.hFront = r.hFront;
        t.hSync = r.hSync;
        t.hBlank = r.hBlank;
        t.vFront = r.vFront;
        t.vSync = r.vSync;
        t.vBlank = r.vBlank;
        t.interlaced = r.interlaced;
        t.hSyncPositive = t.vSyncPositive = r.positive;
        return t;
    }
    return std::nullopt;
}

EdidEditResult setPreferredVic(const QByteArray &table, int vic)
{
    const auto timing = vicTiming(vic);
    if (!timing)
        return editRefused(
            QStringLiteral("VIC %1 has no timing here (1-5, 16-20, 31-34, 93-97, 103-107)")
                .arg(vic));
    return setPreferredTiming(table, *timing);
}

EdidEditResult setRangeLimits(const QByteArray &table, const RangeLimits &r)
{
    const int clock = (r.maxPixelClockMhz + 9) / 10;
    if (r.vMinHz < 1 || r.vMinHz > r.vMaxHz || r.vMaxHz > 255 || r.hMinKhz < 1
        || r.hMinKhz > r.hMaxKhz || r.hMaxKhz > 255 || clock < 1 || clock > 255)
        return editRefused(QStringLiteral("range limits: give rates 1-255 (minimum up to "
                                          "maximum) and a pixel clock 10-2550 MHz"));
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
