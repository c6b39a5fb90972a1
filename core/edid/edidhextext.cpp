// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidhextext.h"

namespace vortalex {

QByteArray edidHexText(const QByteArray &table)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    constexpr int kBytesPerLine = 16;
    QByteArray text;
    text.reserve(table.size() * 3);
    for (int i = 0; i < table.size(); ++i) {
        const auto byte = std::uint8_t(table[i]);
        text.append(kDigits[byte >> 4]);
        text.append(kDigits[byte & 0x0F]);
        const bool lineEnd = i % kBytesPerLine == kBytesPerLine - 1 || i == table.size() - 1;
        text.append(lineEnd ? '\n' : ' ');
    }
    return text;
}

} // namespace vortalex
