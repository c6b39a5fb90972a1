// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/statusfacts.h"

#include <QByteArray>
#include <QString>

namespace vortalex {

// The signal status in words, as the window's status labels and
// `vortalex-cli status` print it: four lines and the captured HDR InfoFrame,
// worded from the facts the box layer decodes.

// The first line: video format with 3D and link details, then the live outputs.
QString videoFormatLine(const SignalStatusFacts &facts);
// Colour space and colorimetry, from the AVI InfoFrame the box forwards.
QString colourLine(const SignalStatusFacts &facts);
// Vendor and product names from the Source Product Description InfoFrame.
QString sourceLine(const SignalStatusFacts &facts);
// The HDR state from the captured InfoFrame's EOTF byte.
QString hdrLine(const SignalStatusFacts &facts);
// The captured HDR InfoFrame's data bytes (capturedHdrData) as a lower-case
// hex byte list ("02:00:6b"); empty when none was captured, which the window
// shows by clearing the text.
QString capturedHdrInfoFrame(const QByteArray &hdrData);

struct SignalStatusTexts
{
    QString videoFormat;
    QString colour;
    QString source;
    QString hdr;
    QString hdrInfoFrame; // empty: clear the captured InfoFrame text
};

// The lines of three status pages as read (see decodeSignalFacts).
SignalStatusTexts decodeSignalStatus(const QByteArray &statusPage,
    const QByteArray &sourceProductPage, const QByteArray &hdrInfoFramePage);

} // namespace vortalex
