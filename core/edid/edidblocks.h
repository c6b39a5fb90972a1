// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The per-block decoders behind decodeEdid(). Each takes one 128-byte block
// and appends what it cannot make sense of to `problems`.

#include "edidchecksum.h"
#include "edidinfo.h"

#include <cstdint>

namespace vortalex {

// 18 bytes of a detailed timing descriptor; false for a display descriptor
// (pixel clock 0).
bool decodeDetailedTiming(const std::uint8_t *descriptor, DetailedTiming &timing);

// Base block (VESA E-EDID 1.4, section 3): edidbase.cpp.
BaseBlock decodeBaseBlock(const std::uint8_t *block);

// CTA-861 extension block (CTA-861, 7.5): edidcta.cpp. `blockIndex` names
// the block in problems.
CtaBlock decodeCtaBlock(const std::uint8_t *block, int blockIndex, QStringList &problems);

// One data block of a CTA-861 extension: edidcta_datablocks.cpp. `data`
// points at its header byte; `length` payload bytes follow it.
void decodeCtaDataBlock(const std::uint8_t *data, int length, CtaBlock &cta);

// DisplayID section in an extension block with tag 0x70: ediddisplayid.cpp.
DisplayIdBlock decodeDisplayIdBlock(
    const std::uint8_t *block, int blockIndex, QStringList &problems);

// The timing data blocks of a DisplayID section: ediddisplayid_timings.cpp.
// `data` points at the data block's tag byte.
void decodeDisplayIdTimings(
    const std::uint8_t *data, DisplayIdDataBlock &summary, DisplayIdBlock &displayId);

} // namespace vortalex
