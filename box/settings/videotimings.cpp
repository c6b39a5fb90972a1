// SPDX-License-Identifier: GPL-3.0-or-later
#include "videotimings.h"

#include <iterator>

namespace vortalex {

namespace {

// CTA-861 Table 3 (Video Format Timings), VIC 1 to 107 in order; the
// 29.97/59.94 Hz variants are named by their nominal rate.
constexpr VideoTiming kVicTimings[] = {
    { 640, 480, 60, false }, { 720, 480, 60, false }, { 720, 480, 60, false }, // 1-3
    { 1280, 720, 60, false }, { 1920, 1080, 60, true }, { 720, 480, 60, true }, // 4-6
    { 720, 480, 60, true }, { 720, 240, 60, false }, { 720, 240, 60, false }, // 7-9
    { 2880, 480, 60, true }, { 2880, 480, 60, true }, { 2880, 240, 60, false }, // 10-12
    { 2880, 240, 60, false }, { 1440, 480, 60, false }, { 1440, 480, 60, false }, // 13-15
    { 1920, 1080, 60, false }, { 720, 576, 50, false }, { 720, 576, 50, false }, // 16-18
    { 1280, 720, 50, false }, { 1920, 1080, 50, true }, { 720, 576, 50, true }, // 19-21
    { 720, 576, 50, true }, { 720, 288, 50, false }, { 720, 288, 50, false }, // 22-24
    { 2880, 576, 50, true }, { 2880, 576, 50, true }, { 2880, 288, 50, false }, // 25-27
    { 2880, 288, 50, false }, { 1440, 576, 50, false }, { 1440, 576, 50, false }, // 28-30
    { 1920, 1080, 50, false }, { 1920, 1080, 24, false }, { 1920, 1080, 25, false }, // 31-33
    { 1920, 1080, 30, false }, { 2880, 480, 60, false }, { 2880, 480, 60, false }, // 34-36
    { 2880, 576, 50, false }, { 2880, 576, 50, false }, { 1920, 1080, 50, true }, // 37-39
    { 1920, 1080, 100, true }, { 1280, 720, 100, false }, { 720, 576, 100, false }, // 40-42
    { 720, 576, 100, false }, { 720, 576, 100, true }, { 720, 576, 100, true }, // 43-45
    { 1920, 1080, 120, true }, { 1280, 720, 120, false }, { 720, 480, 120, false }, // 46-48
    { 720, 480, 120, false }, { 720, 480, 120, true }, { 720, 480, 120, true }, // 49-51
    { 720, 576, 200, false }, { 720, 576, 200, false }, { 720, 576, 200, true }, // 52-54
    { 720, 576, 200, true }, { 720, 480, 240, false }, { 720, 480, 240, false }, // 55-57
    { 720, 480, 240, true }, { 720, 480, 240, true }, { 1280, 720, 24, false }, // 58-60
    { 1280, 720, 25, false }, { 1280, 720, 30, false }, { 1920, 1080, 120, false }, // 61-63
    { 1920, 1080, 100, false }, { 1280, 720, 24, false }, { 1280, 720, 25, false }, // 64-66
    { 1280, 720, 30, false }, { 1280, 720, 50, false }, { 1280, 720, 60, false }, // 67-69
    { 1280, 720, 100, false }, { 1280, 720, 120, false }, { 1920, 1080, 24, false }, // 70-72
    { 1920, 1080, 25, false }, { 1920, 1080, 30, false }, { 1920, 1080, 50, false }, // 73-75
    { 1920, 1080, 60, false }, { 1920, 1080, 100, false }, { 1920, 1080, 120, false }, // 76-78
    { 1680, 720, 24, false }, { 1680, 720, 25, false }, { 1680, 720, 30, false }, // 79-81
    { 1680, 720, 50, false }, { 1680, 720, 60, false }, { 1680, 720, 100, false }, // 82-84
    { 1680, 720, 120, false }, { 2560, 1080, 24, false }, { 2560, 1080, 25, false }, // 85-87
    { 2560, 1080, 30, false }, { 2560, 1080, 50, false }, { 2560, 1080, 60, false }, // 88-90
    { 2560, 1080, 100, false }, { 2560, 1080, 120, false }, { 3840, 2160, 24, false }, // 91-93
    { 3840, 2160, 25, false }, { 3840, 2160, 30, false }, { 3840, 2160, 50, false }, // 94-96
    { 3840, 2160, 60, false }, { 4096, 2160, 24, false }, { 4096, 2160, 25, false }, // 97-99
    { 4096, 2160, 30, false }, { 4096, 2160, 50, false }, { 4096, 2160, 60, false }, // 100-102
    { 3840, 2160, 24, false }, { 3840, 2160, 25, false }, { 3840, 2160, 30, false }, // 103-105
    { 3840, 2160, 50, false }, { 3840, 2160, 60, false }, // 106-107
};

// HDMI 1.4, 8.2.3.1: HDMI_VIC 1-4.
constexpr VideoTiming kHdmiVicTimings[] = {
    { 3840, 2160, 30, false },
    { 3840, 2160, 25, false },
    { 3840, 2160, 24, false },
    { 4096, 2160, 24, false },
};

} // namespace

std::optional<VideoTiming> videoTimingOfVic(int vic)
{
    if (vic < 1 || vic > int(std::size(kVicTimings)))
        return std::nullopt;
    return kVicTimings[vic - 1];
}

std::optional<VideoTiming> videoTimingOfHdmiVic(int hdmiVic)
{
    if (hdmiVic < 1 || hdmiVic > int(std::size(kHdmiVicTimings)))
        return std::nullopt;
    return kHdmiVicTimings[hdmiVic - 1];
}

} // namespace vortalex
