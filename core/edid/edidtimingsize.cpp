// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidtimingsize.h"

#include "edidedit.h"
#include "edidvic.h"

#include <cmath>

namespace vortalex {

DetailedTiming cvtReducedBlankingV2(int width, int height, double refreshHz)
{
    constexpr int kHBlank = 80;
    constexpr int kHFront = 8;
    constexpr int kHSync = 32;
    constexpr int kVSync = 8;
    constexpr int kVBackPorch = 6;
    constexpr int kVFrontMin = 1;
    constexpr double kMinVBlankUs = 460;
    DetailedTiming t;
    t.width = width;
    t.height = height;
    t.refreshHz = refreshHz;
    t.hBlank = kHBlank;
    t.hFront = kHFront;
    t.hSync = kHSync;
    t.hSyncPositive = true;
    if (width <= 0 || height <= 0 || refreshHz <= 0)
        return t;
    // The line period estimated from the active lines gives the blanking lines.
    const double linePeriodUs = (1e6 / refreshHz - kMinVBlankUs) / height;
    const int vBlank = linePeriodUs > 0 ? std::max(int(std::floor(kMinVBlankUs / linePeriodUs)) + 1,
                           kVFrontMin + kVSync + kVBackPorch)
                                        : kVFrontMin + kVSync + kVBackPorch;
    t.vBlank = vBlank;
    t.vSync = kVSync;
    t.vFront = vBlank - kVSync - kVBackPorch;
    const double clockHz = refreshHz * (height + vBlank) * (width + kHBlank);
    t.pixelClockMhz = std::floor(clockHz / 1000.0) / 1000.0;
    return t;
}

DetailedTiming timingForSize(int width, int height, double refreshHz, int *vic)
{
    for (int code = 1; code < 256; ++code) {
        const VicFormat *f = vicFormat(code);
        const auto timing = f ? vicTiming(code) : std::nullopt;
        if (timing && !f->interlaced && f->width == width && f->height == height
            && std::abs(f->refreshHz - refreshHz) < 0.1) {
            if (vic)
                *vic = code;
            return *timing;
        }
    }
    if (vic)
        *vic = 0;
    return cvtReducedBlankingV2(width, height, refreshHz);
}

} // namespace vortalex
