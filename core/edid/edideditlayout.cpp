// SPDX-License-Identifier: GPL-3.0-or-later
// A table opened for editing: size checks, checksums, and the CTA-861
// extension block (CTA-861-H, 7.5) taken apart and put together again.
#include "edideditlayout.h"

#include "edidchecksum.h"

namespace vortalex {

namespace {

constexpr int kExtensionCountByte = 126;
constexpr int kCtaExtensionTag = 0x02;
constexpr int kCtaRevision = 3;
constexpr int kVideoCapabilityExtTag = 0;
constexpr int kSerialTextTag = 0xFF;

void storeChecksum(QByteArray &table, int block)
{
    auto *bytes = reinterpret_cast<std::uint8_t *>(table.data()) + block * kEdidBlockSize;
    bytes[kEdidBlockSize - 1] = edidChecksum(bytes);
}

} // namespace

EdidEditResult editRefused(const QString &reason)
{
    return { QByteArray(), reason };
}

EdidEditResult editDone(QByteArray table)
{
    for (int block = 0; block * kEdidBlockSize < table.size(); ++block)
        storeChecksum(table, block);
    return { table, QString() };
}

EdidEditResult checkEditableTable(const QByteArray &table)
{
    if (table.size() > 2 * kEdidBlockSize)
        return editRefused(QStringLiteral("the table has %1 bytes; the box holds at most 256 "
                                          "(the base block and one extension)")
                               .arg(table.size()));
    if (table.size() != kEdidBlockSize && table.size() != 2 * kEdidBlockSize)
        return editRefused(
            QStringLiteral("the table has %1 bytes; an EDID has 128 or 256").arg(table.size()));
    const int extensions = std::uint8_t(table.at(kExtensionCountByte));
    if (extensions > 1)
        return editRefused(QStringLiteral("the table announces %1 extension blocks; the box "
                                          "holds one")
                               .arg(extensions));
    if (extensions == 1 && table.size() < 2 * kEdidBlockSize)
        return editRefused(
            QStringLiteral("the table announces an extension block but has only 128 bytes"));
    return editDone(table);
}

int CtaLayout::usedBytes() const
{
    int used = kCtaFirstDataBlock;
    for (const QByteArray &block : blocks)
        used += int(block.size());
    return used + int(timings.size()) * kDetailedTimingBytes;
}

int CtaLayout::find(int tag, int extendedTag, int from) const
{
    for (int i = from; i < blocks.size(); ++i) {
        const QByteArray &b = blocks.at(i);
        const int blockTag = std::uint8_t(b.at(0)) >> 5;
        if (blockTag != tag)
            continue;
        if (extendedTag < 0 || (b.size() > 1 && std::uint8_t(b.at(1)) == extendedTag))
            return i;
    }
    return -1;
}

int CtaLayout::findVendor(quint32 oui) const
{
    for (int i = find(VendorBlockTag); i >= 0; i = find(VendorBlockTag, -1, i + 1)) {
        const QByteArray &b = blocks.at(i);
        if (b.size() >= 4
            && (quint32(std::uint8_t(b.at(1))) | quint32(std::uint8_t(b.at(2))) << 8
                   | quint32(std::uint8_t(b.at(3))) << 16)
                == oui)
            return i;
    }
    return -1;
}

bool openCta(const QByteArray &table, CtaLayout &layout, QString &refusal)
{
    layout = CtaLayout();
    const EdidEditResult checked = checkEditableTable(table);
    if (!checked.ok()) {
        refusal = checked.refusal;
        return false;
    }
    layout.base = checked.table.left(kEdidBlockSize);
    if (std::uint8_t(table.at(kExtensionCountByte)) == 0) {
        // IT formats underscanned and the first detailed timing native; the
        // YCbCr encodings the base block of a digital display gives. The
        // video capability block: RGB and YCbCr quantization selectable, IT
        // and CE formats always underscanned.
        const std::uint8_t input = std::uint8_t(table.at(20));
        const std::uint8_t features = std::uint8_t(table.at(24));
        const bool edid14 = table.at(18) == 1 && table.at(19) >= 4;
        const int ycbcr = (input & 0x80) && edid14 ? (features >> 3) & 0x03 : 0;
        layout.header = QByteArray("\x02\x03\x04\x00", 4);
        layout.header[1] = char(kCtaRevision);
        layout.header[3] = char(0x81 | (ycbcr & 1 ? 0x20 : 0) | (ycbcr & 2 ? 0x10 : 0));
        layout.blocks << makeDataBlock(
            ExtendedBlockTag, QByteArray(1, char(0xCA)), kVideoCapabilityExtTag);
        layout.added = true;
        return true;
    }
    const auto *block = reinterpret_cast<const std::uint8_t *>(table.constData()) + kEdidBlockSize;
    if (block[0] != kCtaExtensionTag) {
        refusal = QStringLiteral("the extension block (tag 0x%1) is not a CTA-861 block")
                      .arg(block[0], 2, 16, QLatin1Char('0'));
        return false;
    }
    layout.header = table.mid(kEdidBlockSize, kCtaFirstDataBlock);
    const int dtdOffset = block[2];
    if (dtdOffset == 0) {
        layout.hadNoDataArea = true;
        return true;
    }
    if (dtdOffset < kCtaFirstDataBlock || dtdOffset > kCtaDataEnd) {
        refusal = QStringLiteral("the extension block's timing offset %1 is out of range (4-127)")
                      .arg(dtdOffset);
        return false;
    }
    for (int offset = kCtaFirstDataBlock; offset < dtdOffset;) {
        const int length = block[offset] & 0x1F;
        if (offset + 1 + length > dtdOffset) {
            refusal = QStringLiteral("the data block at byte %1 of the extension block runs "
                                     "past its area, which ends at byte %2")
                          .arg(offset)
                          .arg(dtdOffset);
            return false;
        }
        layout.blocks << QByteArray(reinterpret_cast<const char *>(block + offset), 1 + length);
        offset += 1 + length;
    }
    for (int offset = dtdOffset; offset + kDetailedTimingBytes <= kCtaDataEnd;
         offset += kDetailedTimingBytes) {
        if (block[offset] == 0 && block[offset + 1] == 0)
            break;
        layout.timings << QByteArray(
            reinterpret_cast<const char *>(block + offset), kDetailedTimingBytes);
    }
    return true;
}

// A serial number in the base block and a serial number descriptor: with a
// CTA-861 block, edid-decode wants the number 0.
bool hasTwoSerialNumbers(const QByteArray &base)
{
    if (base.mid(12, 4) == QByteArray(4, '\0'))
        return false;
    for (int at = 54; at < 126; at += kDetailedTimingBytes) {
        if (base.at(at) == 0 && base.at(at + 1) == 0
            && std::uint8_t(base.at(at + 3)) == kSerialTextTag)
            return true;
    }
    return false;
}

EdidEditResult closeCta(const QByteArray &table, const CtaLayout &before, const CtaLayout &after)
{
    if (after.added && hasTwoSerialNumbers(after.base))
        return editRefused(QStringLiteral(
            "the table has no CTA-861 extension block, and adding one would make its serial "
            "number and serial number text contradict each other (edid-decode then wants the "
            "serial number 0)"));
    for (const QByteArray &b : after.blocks) {
        if (b.size() - 1 > kMaxDataBlockPayload)
            return editRefused(QStringLiteral("a data block holds at most 31 bytes; this edit "
                                              "needs %1")
                                   .arg(b.size() - 1));
    }
    if (after.usedBytes() > kCtaDataEnd) {
        return editRefused(
            QStringLiteral("the extension block has %1 %2 left; this edit needs %3")
                .arg(before.bytesLeft())
                .arg(before.bytesLeft() == 1 ? QStringLiteral("byte") : QStringLiteral("bytes"))
                .arg(after.usedBytes() - before.usedBytes()));
    }
    QByteArray block = after.header;
    for (QByteArray b : after.blocks) {
        b[0] = char((std::uint8_t(b.at(0)) & 0xE0) | (b.size() - 1));
        block += b;
    }
    const bool empty = after.blocks.isEmpty() && after.timings.isEmpty();
    block[2] = char(empty && after.hadNoDataArea ? 0 : int(block.size()));
    for (const QByteArray &t : after.timings)
        block += t;
    block += QByteArray(kEdidBlockSize - block.size(), '\0');
    QByteArray result = after.base.isEmpty() ? table.left(kEdidBlockSize) : after.base;
    result[kExtensionCountByte] = 1;
    result += block;
    EdidEditResult done = editDone(result);
    done.notes = after.notes;
    if (after.added)
        done.notes << QStringLiteral("the table had no extension block; a CTA-861 block is added");
    return done;
}

EdidEditResult editCta(const QByteArray &table, const std::function<QString(CtaLayout &)> &change)
{
    CtaLayout before;
    QString refusal;
    if (!openCta(table, before, refusal))
        return editRefused(refusal);
    CtaLayout after = before;
    refusal = change(after);
    if (!refusal.isNull())
        return editRefused(refusal);
    return closeCta(table, before, after);
}

bool hasCtaExtension(const QByteArray &table)
{
    return table.size() >= 2 * kEdidBlockSize && std::uint8_t(table.at(kExtensionCountByte)) == 1;
}

EdidEditResult removeInCta(const QByteArray &table, const QString &absent,
    const std::function<QString(CtaLayout &)> &change)
{
    EdidEditResult unchanged = checkEditableTable(table);
    if (!unchanged.ok())
        return unchanged;
    if (!hasCtaExtension(table)) {
        unchanged.notes << absent;
        return unchanged;
    }
    CtaLayout before;
    QString refusal;
    if (!openCta(table, before, refusal))
        return editRefused(refusal);
    CtaLayout after = before;
    refusal = change(after);
    if (!refusal.isNull())
        return editRefused(refusal);
    if (after.blocks == before.blocks && after.header == before.header
        && after.timings == before.timings && after.base == before.base) {
        unchanged.notes = after.notes.isEmpty() ? QStringList { absent } : after.notes;
        return unchanged;
    }
    return closeCta(table, before, after);
}

int ctaBytesLeft(const QByteArray &table)
{
    CtaLayout layout;
    QString refusal;
    if (!hasCtaExtension(table) || !openCta(table, layout, refusal))
        return -1;
    return layout.bytesLeft();
}

QByteArray makeDataBlock(int tag, const QByteArray &payload, int extendedTag)
{
    QByteArray body = payload;
    if (extendedTag >= 0)
        body.prepend(char(extendedTag));
    body.prepend(char(tag << 5 | (body.size() & 0x1F)));
    return body;
}

} // namespace vortalex
