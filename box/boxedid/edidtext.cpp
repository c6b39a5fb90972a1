// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidtext.h"
#include "edid/edidhextext.h"

#include "text/hexdigit.h"

#include <QByteArray>
#include <algorithm>

namespace vortalex {

bool tablePassesChecksums(const EdidTable &table)
{
    return table[kEdidBlockSize - 1] == edidChecksum(table.data())
        && table[kEdidSize - 1] == edidChecksum(table.data() + kEdidBlockSize);
}

void repairChecksums(EdidTable &table)
{
    table[kEdidBlockSize - 1] = edidChecksum(table.data());
    table[kEdidSize - 1] = edidChecksum(table.data() + kEdidBlockSize);
}

bool hexGroupToByte(const char *group, int available, std::uint8_t &out)
{
    if (available < 2)
        return false;
    if (available > 2 && group[2] != ' ' && group[2] != '\n')
        return false;
    out = std::uint8_t(hexDigitValue(group[0]) * 16 + hexDigitValue(group[1]));
    return true;
}

int parseEdidText(const QString &text, EdidParseBuffer &out)
{
    // Upper-casing never shortens a text, so an overlong one is refused
    // before any work is done on it.
    if (text.size() > kEdidTextLimit)
        return -1;
    const QByteArray latin1 = text.toUpper().toLatin1();
    if (latin1.size() > kEdidTextLimit)
        return -1;

    const int length = int(latin1.size());
    int count = 0;
    for (int pos = 0; pos < length; pos += 3) {
        const int available = length - pos;
        // A lone character after the last group (a second final line feed,
        // a final blank) carries no byte.
        if (available == 1)
            break;
        std::uint8_t byte = 0;
        if (!hexGroupToByte(latin1.constData() + pos, available, byte))
            return -1;
        out[std::size_t(count++)] = byte;
    }
    return count;
}

bool parseEdidTable(const QString &text, EdidTable &table)
{
    int byteCount = 0;
    return parseEdidTable(text, table, byteCount);
}

bool parseEdidTable(const QString &text, EdidTable &table, int &byteCount)
{
    EdidParseBuffer parsed {};
    const int count = parseEdidText(text, parsed);
    if (count < 0)
        return false;
    table.fill(0);
    std::copy_n(parsed.begin(), std::min(count, kEdidSize), table.begin());
    byteCount = count;
    return true;
}

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

} // namespace

QString formatEdidText(const EdidTable &table)
{
    return QString::fromLatin1(edidHexText(
        QByteArray(reinterpret_cast<const char *>(table.data()), int(table.size()))));
}

QString edidByteText(std::uint8_t byte)
{
    const char digits[] = { kDigits[byte >> 4], kDigits[byte & 0x0F] };
    return QString::fromLatin1(digits, 2);
}

EdidBytePlace edidBytePlace(int index)
{
    if (index % kEdidBytesPerLine != kEdidBytesPerLine - 1)
        return EdidBytePlace::MidLine;
    const bool checksum = index == kEdidBlockSize - 1 || index == kEdidSize - 1;
    return checksum ? EdidBytePlace::Checksum : EdidBytePlace::LineEnd;
}

} // namespace vortalex
