// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortalex {

// The value of one hex digit, either case. Other characters are not refused:
// they give whatever the digit arithmetic makes of them, as the box's texts
// have always been read.
constexpr int hexDigitValue(char c)
{
    int code = static_cast<unsigned char>(c);
    if (code >= 'a' && code <= 'z')
        code -= 'a' - 'A';
    return code <= '9' ? code - 0x30 : code - 0x37;
}

} // namespace vortalex
