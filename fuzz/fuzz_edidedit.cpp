// SPDX-License-Identifier: GPL-3.0-or-later
// The EDID table edits on any table and any sequence of edits. The first
// byte picks the table size (128 or 256), the next bytes are the table,
// the rest are edits of three bytes: which edit and two parameters. Each
// edit either is refused (with a reason, no table) or gives a table of 128
// or 256 bytes with right checksums whose extension block still parses.
#include "edid/ediddiff.h"
#include "edid/edidedit.h"
#include "edid/edidinfo.h"
#include "edid/edidchecksum.h"
#include "fuzzrequire.h"

#include <QByteArray>

using namespace vortalex;

namespace {

EdidEditResult applyEdit(const QByteArray &t, int op, int a, int b, const QByteArray &other)
{
    const QString text = QString::fromLatin1(QByteArray(a % 16, char('A' + b % 26)));
    switch (op % 24) {
    case 0:
        return setDisplayName(t, text);
    case 1:
        return setSerialString(t, text);
    case 2:
        return setManufacturer(t, QString::fromLatin1(QByteArray(3, char('@' + a % 28))));
    case 3:
        return setProductCode(t, a << 8 | b);
    case 4:
        return setManufactureDate(t, a % 60, 1985 + b);
    case 5:
        return setPreferredVic(t, a);
    case 6:
        return addVics(t, { a, b });
    case 7:
        return removeVics(t, { a });
    case 8:
        return setNativeVic(t, a % 70);
    case 9:
        return addYcbcr420Vics(t, { a });
    case 10:
        return removeYcbcr420Vics(t, { a });
    case 11:
        return takeAudio(t, other);
    case 12:
        return setPhysicalAddress(
            t, QStringLiteral("%1.%2.0.%3").arg(a % 17).arg(b % 16).arg(a / 16));
    case 13:
        return setMaxTmds(t, a * 5);
    case 14:
        return setDeepColour(t, { 30 + 6 * (a % 4) }, b & 1);
    case 15:
        return setForumMaxTmds(t, (a + 60) * 5);
    case 16:
        return setForumScdc(t, a & 1);
    case 17:
        return setForumFrlRate(t, a % 8);
    case 18:
        return setHdrStatic(t, b & 1 ? QStringList { "pq", "hlg" } : QStringList { "sdr" },
            a ? std::optional<double>(a * 20) : std::nullopt, std::nullopt,
            b > 128 ? std::optional<double>(b / 100.0) : std::nullopt);
    case 19:
        return setColorimetry(t, a & 1 ? QStringList { "BT2020RGB", "DCI-P3" } : QStringList());
    case 20:
        return removeDataBlocks(t, a % 9, b % 3 ? b : -1);
    case 21:
        return setCtaFlags(t, a & 1, a & 2, a & 4, a & 8);
    case 22:
        return removeHdmiForumBlock(t);
    default:
        return mergeEdid(other, t);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int tableSize = data[0] & 1 ? 2 * kEdidBlockSize : kEdidBlockSize;
    const std::size_t taken = std::min<std::size_t>(size - 1, std::size_t(tableSize));
    QByteArray table(reinterpret_cast<const char *>(data + 1), qsizetype(taken));
    table.append(QByteArray(tableSize - table.size(), '\0'));
    const QByteArray other = table;
    EdidEditResult current = checkEditableTable(table);
    if (!current.ok())
        return 0;
    for (std::size_t at = 1 + taken; at + 3 <= size; at += 3) {
        const EdidEditResult next
            = applyEdit(current.table, data[at], data[at + 1], data[at + 2], other);
        if (!next.ok()) {
            require(next.table.isEmpty() && !next.refusal.isEmpty());
            continue;
        }
        const QByteArray &t = next.table;
        require(t.size() == kEdidBlockSize || t.size() == 2 * kEdidBlockSize);
        for (int block = 0; block < t.size(); block += kEdidBlockSize) {
            int sum = 0;
            for (int i = 0; i < kEdidBlockSize; ++i)
                sum += std::uint8_t(t.at(block + i));
            require(sum % 256 == 0);
        }
        require(std::uint8_t(t.at(126)) <= 1);
        // An extension block that parsed still parses (a base block edit
        // keeps a broken one as it was).
        if (ctaBytesLeft(current.table) >= 0)
            require(ctaBytesLeft(t) >= 0);
        current = next;
    }
    // The decoder agrees on the checksums, and the diff runs on the result.
    require(!decodeEdid(current.table).checksumsOk.contains(false));
    diffEdid(table, current.table);
    return 0;
}
