// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace vortalex::sourcepages {

// Page data (data[0] is answer byte 2) of the two emulated sources, as the
// box reports them while the source is on the active input.
enum class Source { PortA, PortB };

// Status block: video code, HDMI flag, link mode, live outputs, the HDMI
// vendor-specific and AVI InfoFrame bytes.
QByteArray statusPage(Source source);
// Source product description: InfoFrame type, length, vendor (8), product (16).
QByteArray productPage(Source source);
// Captured HDR InfoFrame: type, data length n, n data bytes.
QByteArray hdrPage(Source source);
// Captured AVI InfoFrame: type, length, 13 data bytes.
QByteArray aviPage(Source source);

// The InfoFrames the box leaves the factory with: 31 bytes of HDR InfoFrame
// (type, version, length, checksum, data) and 13 AVI data bytes.
QByteArray factoryHdrInfoFrame();
QByteArray factoryAviInfoFrame();

} // namespace vortalex::sourcepages
