// SPDX-License-Identifier: GPL-3.0-or-later
#include "hexlist.h"

#include "hexdigit.h"

namespace vortalex {

namespace {

// The character at `position`, or '0' outside the text: a list whose first
// colon stands at its first or second character, or that ends with a colon,
// reads those missing digits as zeros instead of memory around the text.
char charAt(const QByteArray &text, qsizetype position)
{
    return position >= 0 && position < text.size() ? text.at(position) : '0';
}

} // namespace

std::uint8_t hexPairToByte(char first, char second)
{
    return std::uint8_t(16 * hexDigitValue(first) + hexDigitValue(second));
}

HexByteList parseHexByteList(const QByteArray &textWithCr, bool cecLayout)
{
    HexByteList list;
    int i = 0;
    qsizetype last = 0;
    for (qsizetype p = 0; p < textWithCr.size(); ++p) {
        if (textWithCr.at(p) != ':')
            continue;
        list.bytes[std::size_t(i)]
            = hexPairToByte(charAt(textWithCr, p - 2), charAt(textWithCr, p - 1));
        ++i;
        if (cecLayout && i == 1)
            i = 2; // index 1 is the count byte
        last = p;
        if (charAt(textWithCr, p + 3) != ':')
            break;
        // A run of colons keeps the scan going; stop while the last index is
        // still free for the final byte.
        if (i >= kHexListCapacity - 1)
            break;
    }
    list.bytes[std::size_t(i)]
        = hexPairToByte(charAt(textWithCr, last + 1), charAt(textWithCr, last + 2));
    if (cecLayout)
        list.bytes[1] = std::uint8_t(i - 1);
    list.count = std::uint8_t(i + 1);
    return list;
}

} // namespace vortalex
