// SPDX-License-Identifier: GPL-3.0-or-later
// DisplayID timing data blocks: type I detailed timings (DisplayID 1.3, tag
// 0x03), type VII detailed timings (DisplayID 2.0, tag 0x22), and the type
// VIII timing codes (tag 0x23) and type IX formula timings (tag 0x24), which
// are counted.
#include "edidblocks.h"

namespace vortalex {

namespace {

constexpr int kDetailedSize = 20;
constexpr int kFormulaSize = 6;

int word(const std::uint8_t *p)
{
    return p[0] | p[1] << 8;
}

// 20 bytes; every count is stored minus one, the front porches carry the
// sync polarity in their top bit. Type I counts the pixel clock in 10 kHz,
// type VII in 1 kHz.
DisplayIdTiming decodeDetailed(const std::uint8_t *d, double clockUnitMhz)
{
    DisplayIdTiming result;
    DetailedTiming &t = result.timing;
    t.pixelClockMhz = ((d[0] | d[1] << 8 | d[2] << 16) + 1) * clockUnitMhz;
    result.preferred = d[3] & 0x80;
    t.interlaced = d[3] & 0x10;
    t.width = word(d + 4) + 1;
    t.hBlank = word(d + 6) + 1;
    t.hFront = (word(d + 8) & 0x7FFF) + 1;
    t.hSyncPositive = d[9] & 0x80;
    t.hSync = word(d + 10) + 1;
    t.height = word(d + 12) + 1;
    t.vBlank = word(d + 14) + 1;
    t.vFront = (word(d + 16) & 0x7FFF) + 1;
    t.vSyncPositive = d[17] & 0x80;
    t.vSync = word(d + 18) + 1;
    const double hTotal = t.width + t.hBlank;
    // Interlaced: the vertical counts are per frame, two fields of half the
    // lines less the half line each, as edid-decode reads them.
    const double lines = t.interlaced ? (t.height + t.vBlank - 1) / 2.0 : t.height + t.vBlank;
    t.refreshHz = hTotal * lines > 0 ? t.pixelClockMhz * 1e6 / (hTotal * lines) : 0;
    return result;
}

} // namespace

void decodeDisplayIdTimings(
    const std::uint8_t *data, DisplayIdDataBlock &summary, DisplayIdBlock &id)
{
    const std::uint8_t *p = data + 3;
    const int length = summary.length;
    switch (summary.tag) {
    case 0x03:
    case 0x22: {
        const double unit = summary.tag == 0x03 ? 0.01 : 0.001;
        for (int at = 0; at + kDetailedSize <= length; at += kDetailedSize)
            id.detailed << decodeDetailed(p + at, unit);
        break;
    }
    case 0x23:
        // Bit 3 of the block revision: two-byte codes.
        summary.timingCount = length / ((data[1] & 0x08) ? 2 : 1);
        break;
    case 0x24:
        summary.timingCount = length / kFormulaSize;
        break;
    default:
        break;
    }
}

} // namespace vortalex
