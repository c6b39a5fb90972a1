// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace vortalex {

// The active picture of a video format as CTA-861 defines it: width and
// height in pixels (without pixel repetition), nominal field or frame rate
// in Hz, and whether it is interlaced.
struct VideoTiming
{
    int width;
    int height;
    int refresh;
    bool interlaced;
};

// CTA-861 Video Identification Code 1-107; nothing for other codes.
std::optional<VideoTiming> videoTimingOfVic(int vic);
// HDMI 1.4 HDMI_VIC 1-4 (the extended resolution formats); nothing otherwise.
std::optional<VideoTiming> videoTimingOfHdmiVic(int hdmiVic);

} // namespace vortalex
