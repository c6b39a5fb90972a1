// SPDX-License-Identifier: GPL-3.0-or-later
#include "statuslines.h"

#include "settings/videoformats.h"

namespace vortalex {

namespace {

QString videoOpening(const SignalStatusFacts &facts, const QString &name, const QString &kind)
{
    // HDMI_VIC 1-4 (HDMI 1.4, 8.2.3.1).
    switch (facts.hdmiVic) {
    case 1:
        return QStringLiteral("Input : 3840x2160p30 300MHz %1,").arg(kind);
    case 2:
        return QStringLiteral("Input : 3840x2160p25 300MHz %1,").arg(kind);
    case 3:
        return QStringLiteral("Input : 3840x2160p24 300MHz %1,").arg(kind);
    case 4:
        return QStringLiteral("Input : 4096x2160p24 300MHz %1,").arg(kind);
    }
    // 3D_Structure (HDMI 1.4, 8.2.3.2).
    if (facts.structure3d == QLatin1String("frame-packing"))
        return QStringLiteral("Input : %1 Frame Packed 3D,").arg(name);
    if (facts.structure3d == QLatin1String("top-and-bottom"))
        return QStringLiteral("Input : %1 Top/Bottom 3D,").arg(name);
    if (facts.structure3d == QLatin1String("side-by-side"))
        return QStringLiteral("Input : %1 Side-by-side 3D,").arg(name);
    // Also for an HDMI_VIC or 3D structure that has no opening of its own.
    return QStringLiteral("Input : %1 %2,").arg(name, kind);
}

// The extended colorimetry (AVI InfoFrame EC2-EC0) by the AVI decoder's name;
// empty for the reserved value.
QString extendedColorimetry(const QString &colorimetry)
{
    static const struct
    {
        const char *name;
        const char *text;
    } kNames[] = {
        { "xvycc601", " xvYCC601" },
        { "xvycc709", " xvYCC709" },
        { "sycc601", " sYCC601" },
        { "opycc601", " AdobeYCC601" },
        { "oprgb", " AdobeRGB" },
        { "bt2020cl", " ITU-R BT.2020 YcCbcCrc" },
        { "bt2020", " ITU-R BT.2020 RGB" },
    };
    for (const auto &n : kNames) {
        if (colorimetry == QLatin1String(n.name))
            return QString::fromLatin1(n.text);
    }
    return QString();
}

} // namespace

QString videoFormatLine(const SignalStatusFacts &facts)
{
    const QString name = videoFormatName(facts.vic);
    const QString kind = facts.hdmi ? QStringLiteral("HDMI") : QStringLiteral("non-HDMI");
    QString line = videoOpening(facts, name, kind);

    if (facts.link == QLatin1String("600mhz"))
        line += QStringLiteral(" [600MHz],");
    else if (facts.link == QLatin1String("420-10bit"))
        line += QStringLiteral(" [4:2:0 10-bit],");
    else if (facts.link == QLatin1String("420-300mhz"))
        line += QStringLiteral(" [4:2:0 300MHz],");

    line += QStringLiteral(" Output:");
    if (facts.outputA && facts.outputB)
        line += QStringLiteral(" TX A, TX B");
    else if (facts.outputA)
        line += QStringLiteral(" TX A");
    else if (facts.outputB)
        line += QStringLiteral(" TX B");
    else
        line += QStringLiteral(" none");
    return line;
}

QString colourLine(const SignalStatusFacts &facts)
{
    QString line;
    if (facts.colorFormat == QLatin1String("rgb"))
        line = QStringLiteral("Color Space: RGB");
    else if (facts.colorFormat == QLatin1String("ycbcr422"))
        line = QStringLiteral("Color Space: YCbCr 4:2:2");
    else if (facts.colorFormat == QLatin1String("ycbcr444"))
        line = QStringLiteral("Color Space: YCbCr 4:4:4");
    else
        line = QStringLiteral("Color Space: YCbCr 4:2:0");

    if (facts.colorimetry == QLatin1String("bt601"))
        line += QStringLiteral(", SMPTE 170M");
    else if (facts.colorimetry == QLatin1String("bt709"))
        line += QStringLiteral(", ITU-R BT.709");
    else if (facts.colorimetry != QLatin1String("none"))
        line += QStringLiteral(", Extended:") + extendedColorimetry(facts.colorimetry);
    return line;
}

QString sourceLine(const SignalStatusFacts &facts)
{
    return QStringLiteral("Source Info: %1 %2").arg(facts.vendor, facts.product);
}

QString hdrLine(const SignalStatusFacts &facts)
{
    QString line = QStringLiteral("HDR input: ");
    // EOTF of the Dynamic Range and Mastering InfoFrame (CTA-861), whatever
    // the type byte says.
    switch (facts.eotf) {
    case 0:
        line += QStringLiteral(" Not Active");
        break;
    case 1:
        line += QStringLiteral(" HDR Luminance Range");
        break;
    case 2:
        line += QStringLiteral(" SMPTE ST 2084");
        break;
    }
    return line;
}

QString capturedHdrInfoFrame(const QByteArray &hdrData)
{
    return QString::fromLatin1(hdrData.toHex(':'));
}

SignalStatusTexts decodeSignalStatus(const QByteArray &statusPage,
    const QByteArray &sourceProductPage, const QByteArray &hdrInfoFramePage)
{
    const SignalStatusFacts facts
        = decodeSignalFacts(statusPage, sourceProductPage, hdrInfoFramePage);
    return { videoFormatLine(facts), colourLine(facts), sourceLine(facts), hdrLine(facts),
        capturedHdrInfoFrame(capturedHdrData(hdrInfoFramePage)) };
}

} // namespace vortalex
