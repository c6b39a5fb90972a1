// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vortalex {

// The signal status as facts: the status display reads four pages of the box
// and decodes what they say about the signal. The decoders take the page
// answers as read (byte 0 is the read page echo); bytes past the end of a
// page count as zero, so any page, however short or odd, gives defined facts.

constexpr std::uint8_t kStatusPageLength = 15;
constexpr std::uint8_t kSourceProductPageLength = 31;
constexpr std::uint8_t kHdrInfoFramePageLength = 31;
constexpr std::uint8_t kAviInfoFramePageLength = 31;

// The facts the status lines show, each as a value of its own, named by the
// words the InfoFrame decoders use.
struct SignalStatusFacts
{
    int vic = 0; // CTA-861 VIC of the input; 0 for none
    bool hdmi = false; // an HDMI signal, not DVI
    int hdmiVic = 0; // HDMI 1.4 HDMI_VIC; 0 for none
    QString structure3d; // "frame-packing", "top-and-bottom", "side-by-side"; empty for 2D
    QString link; // "600mhz", "420-10bit", "420-300mhz"; empty for none
    bool outputA = false; // TX A carries the picture
    bool outputB = false; // TX B
    QString colorFormat; // rgb, ycbcr422, ycbcr444, ycbcr420
    QString colorimetry; // none, bt601, bt709, xvycc601, ... bt2020, "extended" for reserved
    QString vendor; // Source Product Description names
    QString product;
    int eotf = 0; // EOTF of the captured HDR InfoFrame
};

SignalStatusFacts decodeSignalFacts(const QByteArray &statusPage,
    const QByteArray &sourceProductPage, const QByteArray &hdrInfoFramePage);

// The data bytes of the captured HDR (26 or fewer) and AVI (13) InfoFrames;
// empty when the page holds none of its type.
QByteArray capturedHdrData(const QByteArray &hdrInfoFramePage);
QByteArray capturedAviData(const QByteArray &aviInfoFramePage);

} // namespace vortalex
