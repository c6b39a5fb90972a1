// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidinfo.h"

#include <optional>

namespace vortalex {

// VESA CVT 1.2 reduced blanking version 2 for a progressive format: 80
// pixels of horizontal blanking (front porch 8, sync 32), 8 sync and at
// least 6 back porch lines, at least 460 us of vertical blanking, the pixel
// clock in 1 kHz steps; horizontal sync positive, vertical negative.
DetailedTiming cvtReducedBlankingV2(int width, int height, double refreshHz);

// A preferred timing for a size and rate as a user gives it: the CTA-861
// timing of a progressive VIC of that size and rate (within 0.1 Hz, so 60
// finds the 59.94 formats too), else CVT reduced blanking v2. `vic` is the
// VIC taken, 0 for CVT.
DetailedTiming timingForSize(int width, int height, double refreshHz, int *vic = nullptr);

} // namespace vortalex
