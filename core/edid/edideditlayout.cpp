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
    if (std::uint8_t(table.at(kExtensionCountByte)) == 0) {
        layout.header = QByteArray("\x02\x03\x04\x00", 4);
        layout.header[1] = char(kCtaRevision);
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

EdidEditResult closeCta(const QByteArray &table, const CtaLayout &before, const CtaLayout &after)
{
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
    QByteArray result = table.left(kEdidBlockSize);
    result[kExtensionCountByte] = 1;
    result += block;
    return editDone(result);
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

int ctaBytesLeft(const QByteArray &table)
{
    CtaLayout layout;
    QString refusal;
    if (table.size() < 2 * kEdidBlockSize || std::uint8_t(table.at(kExtensionCountByte)) != 1
        || !openCta(table, layout, refusal))
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
