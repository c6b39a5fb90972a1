// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vortalex {

// EDID 1.4 (VESA E-EDID), section 3: a 128-byte block whose last byte makes
// the sum of all 128 bytes 0 modulo 256.
constexpr int kEdidBlockSize = 128;

// The byte that byte 127 of `block` (128 bytes) must hold.
std::uint8_t edidChecksum(const std::uint8_t *block);

} // namespace vortalex
