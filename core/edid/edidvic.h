// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// One video format of the CTA-861 video identification code table
// (CTA-861-H, table 3 and table 4: VICs 1-127 and 193-219).
struct VicFormat
{
    int vic = 0;
    int width = 0;
    int height = 0; // lines per frame
    bool interlaced = false;
    // Field rate: 59.94 for the 1000/1001 formats, 60.05 and 50.08 for the
    // 262- and 312-line progressive formats of 240 and 288 lines.
    double refreshHz = 0;
    const char *aspect = ""; // picture aspect ratio
};

// The format of `vic`, or nullptr for a reserved or unknown code.
const VicFormat *vicFormat(int vic);

// "3840x2160@60 16:9", "1920x1080i@50 16:9", or "unknown" for a reserved code.
QString vicName(int vic);

} // namespace vortalex
