// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusfacts.h"

namespace vortalex {

namespace {

// Status page (page 6) bytes.
constexpr int kVicByte = 2;
constexpr int kSignalByte = 3;
constexpr int kLinkByte = 4;
constexpr int kOutputsByte = 5;
constexpr int kHdmiVsifPb5Byte = 9; // HDMI_VIC or 3D_Structure
constexpr int kAviPb1Byte = 10;
constexpr int kAviPb2Byte = 11;
constexpr int kAviPb3Byte = 12;
constexpr int kHdmiVsifPb4Byte = 14; // HDMI_Video_Format

constexpr std::uint8_t kHdmiSignal = 0x10;
constexpr std::uint8_t kLink600MHz = 2;
constexpr std::uint8_t kLink420TenBit = 1;
constexpr int kVic3840x2160p60 = 97;
constexpr std::uint8_t kOutputTxA = 0x20;
constexpr std::uint8_t kOutputTxB = 0x40;

// HDMI 1.4 Vendor-Specific InfoFrame, HDMI_Video_Format (PB4 compared whole).
constexpr std::uint8_t kExtendedResolutionFormat = 0x20;
constexpr std::uint8_t k3DFormat = 0x40;

// Source product page (page 21): CTA-861 Source Product Description.
constexpr int kVendorOffset = 4;
constexpr int kVendorLength = 8;
constexpr int kProductOffset = 12;
constexpr int kProductLength = 16;

// HDR InfoFrame page (page 30): CTA-861 Dynamic Range and Mastering InfoFrame.
constexpr int kInfoFrameTypeByte = 2;
constexpr int kInfoFrameLengthByte = 3;
constexpr int kInfoFrameDataByte = 4;
constexpr int kInfoFrameMaxData = 27; // bytes 4-30 of the page
constexpr std::uint8_t kHdrInfoFrameType = 0x87;

std::uint8_t byteAt(const QByteArray &page, int i)
{
    return i >= 0 && i < page.size() ? std::uint8_t(page.at(i)) : 0;
}

// Characters from `offset` up to the first zero byte, at most `length`.
QString paddedName(const QByteArray &page, int offset, int length)
{
    QByteArray name;
    for (int i = offset; i < offset + length; ++i) {
        const std::uint8_t c = byteAt(page, i);
        if (c == 0)
            break;
        name.append(char(c));
    }
    return QString::fromLatin1(name);
}

} // namespace

SignalStatusFacts decodeSignalFacts(const QByteArray &statusPage,
    const QByteArray &sourceProductPage, const QByteArray &hdrInfoFramePage)
{
    SignalStatusFacts facts;
    facts.vic = byteAt(statusPage, kVicByte);
    facts.hdmi = byteAt(statusPage, kSignalByte) & kHdmiSignal;
    const std::uint8_t format = byteAt(statusPage, kHdmiVsifPb4Byte);
    const std::uint8_t pb5 = byteAt(statusPage, kHdmiVsifPb5Byte);
    if (format == kExtendedResolutionFormat)
        facts.hdmiVic = pb5;
    else if (format == k3DFormat && pb5 == 0x00)
        facts.structure3d = QStringLiteral("frame-packing");
    else if (format == k3DFormat && pb5 == 0x60)
        facts.structure3d = QStringLiteral("top-and-bottom");
    else if (format == k3DFormat && pb5 == 0x80)
        facts.structure3d = QStringLiteral("side-by-side");
    const std::uint8_t link = byteAt(statusPage, kLinkByte);
    if (link == kLink600MHz)
        facts.link = QStringLiteral("600mhz");
    else if (link == kLink420TenBit)
        facts.link = QStringLiteral("420-10bit");
    else if (facts.vic == kVic3840x2160p60 && link == 0)
        facts.link = QStringLiteral("420-300mhz");
    facts.outputA = byteAt(statusPage, kOutputsByte) & kOutputTxA;
    facts.outputB = byteAt(statusPage, kOutputsByte) & kOutputTxB;

    // AVI InfoFrame Y, C and EC (CTA-861), in the words of the AVI decoder.
    static const char *const kFormats[] = { "rgb", "ycbcr422", "ycbcr444", "ycbcr420" };
    facts.colorFormat = QString::fromLatin1(kFormats[(byteAt(statusPage, kAviPb1Byte) >> 5) & 3]);
    static const char *const kColorimetry[] = { "none", "bt601", "bt709" };
    static const char *const kExtended[] = { "xvycc601", "xvycc709", "sycc601", "opycc601", "oprgb",
        "bt2020cl", "bt2020", "extended" };
    const int c = byteAt(statusPage, kAviPb2Byte) >> 6;
    facts.colorimetry = QString::fromLatin1(
        c < 3 ? kColorimetry[c] : kExtended[(byteAt(statusPage, kAviPb3Byte) >> 4) & 7]);

    facts.vendor = paddedName(sourceProductPage, kVendorOffset, kVendorLength);
    facts.product = paddedName(sourceProductPage, kProductOffset, kProductLength);
    facts.eotf = byteAt(hdrInfoFramePage, kInfoFrameDataByte);
    return facts;
}

namespace {

QByteArray capturedData(const QByteArray &page, std::uint8_t type)
{
    const int count = qMin(int(byteAt(page, kInfoFrameLengthByte)), kInfoFrameMaxData);
    if (byteAt(page, kInfoFrameTypeByte) != type)
        return QByteArray();
    QByteArray data;
    for (int i = 0; i < count; ++i)
        data.append(char(byteAt(page, kInfoFrameDataByte + i)));
    return data;
}

} // namespace

QByteArray capturedHdrData(const QByteArray &hdrInfoFramePage)
{
    return capturedData(hdrInfoFramePage, kHdrInfoFrameType);
}

QByteArray capturedAviData(const QByteArray &aviInfoFramePage)
{
    // The AVI InfoFrame's type (CTA-861).
    return capturedData(aviInfoFramePage, 0x82);
}

} // namespace vortalex
