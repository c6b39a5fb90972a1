// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidchecksum.h"

namespace vortalex {

std::uint8_t edidChecksum(const std::uint8_t *block)
{
    std::uint8_t sum = 0;
    for (int i = 0; i < kEdidBlockSize - 1; ++i)
        sum = std::uint8_t(sum + block[i]);
    return std::uint8_t(0x100 - sum);
}

} // namespace vortalex
