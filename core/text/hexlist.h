// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <array>
#include <cstdint>

namespace vortalex {

// Room of the parser's output: 100 bytes, zero-filled on every parse.
constexpr int kHexListCapacity = 100;

// What parseHexByteList produces: the zero-filled buffer and the count r of
// meaningful bytes at its start (1 to kHexListCapacity).
struct HexByteList
{
    std::array<std::uint8_t, kHexListCapacity> bytes {};
    std::uint8_t count = 0;

    // The first `count` bytes: the payload of a data request.
    QByteArray payload() const
    {
        return QByteArray(reinterpret_cast<const char *>(bytes.data()), count);
    }
};

// Two hex digits to one byte. Only a-z are upper-cased; a character up to '9'
// counts as code - 0x30, any other as code - 0x37, so nothing is rejected
// ("5G" gives 0x60, "0x" gives 0x21).
std::uint8_t hexPairToByte(char first, char second);

// Reads a hex byte list such as "50:04" around its colons: each colon ends a
// byte made of the two characters before it, the scan stops at the first
// colon that has no colon three characters later, and the two characters
// after that colon give the final byte. `textWithCr` is the text with the
// carriage return that callers append; positions outside it read as '0'.
//
// With `cecLayout`, index 1 of the output is the count byte (number of list
// bytes after the first), so n list bytes give a count of n + 1.
HexByteList parseHexByteList(const QByteArray &textWithCr, bool cecLayout);

} // namespace vortalex
