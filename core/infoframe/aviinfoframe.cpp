// SPDX-License-Identifier: GPL-3.0-or-later
#include "aviinfoframe.h"

#include "infoframehex.h"

#include <QStringList>
#include <algorithm>

namespace vortalex {

namespace {

constexpr int kBarDataBytes = 13; // data bytes 6-13 hold the bars
constexpr std::uint8_t kExtendedColorimetry = 3; // C1-C0 = 11
constexpr std::uint8_t kAdditionalColorimetry = 7; // EC2-EC0 = 111

std::uint8_t byteAt(const QByteArray &data, int index)
{
    return index < data.size() ? std::uint8_t(data.at(index)) : 0;
}

bool needsAce(const AviValues &v)
{
    return v.colorimetry == kExtendedColorimetry && v.extendedColorimetry == kAdditionalColorimetry;
}

bool hasBars(const AviValues &v)
{
    return v.barInfo != 0 || v.topBarEnd != 0 || v.bottomBarStart != 0 || v.leftBarEnd != 0
        || v.rightBarStart != 0;
}

AviDecode decodeAviData(const QByteArray &data)
{
    AviDecode d;
    d.dataBytes = int(data.size());
    if (data.size() < kAviMinDataBytes) {
        d.problem = QStringLiteral("too short: %1 data bytes, at least %2")
                        .arg(data.size())
                        .arg(kAviMinDataBytes);
        return d;
    }
    if (data.size() > kAviMaxDataBytes) {
        d.problem = QStringLiteral("too long: %1 data bytes, at most %2")
                        .arg(data.size())
                        .arg(kAviMaxDataBytes);
        return d;
    }
    d.ok = true;
    AviValues &v = d.values;
    const std::uint8_t b1 = byteAt(data, 0);
    v.colourFormat = b1 >> 5;
    v.activeFormatPresent = (b1 >> 4) & 1;
    v.barInfo = (b1 >> 2) & 3;
    v.scan = b1 & 3;
    const std::uint8_t b2 = byteAt(data, 1);
    v.colorimetry = b2 >> 6;
    v.pictureAspect = (b2 >> 4) & 3;
    v.activeFormat = b2 & 0x0f;
    const std::uint8_t b3 = byteAt(data, 2);
    v.itContent = b3 >> 7;
    v.extendedColorimetry = (b3 >> 4) & 7;
    v.rgbQuantisation = (b3 >> 2) & 3;
    v.scaling = b3 & 3;
    v.vic = byteAt(data, 3);
    const std::uint8_t b5 = byteAt(data, 4);
    v.yccQuantisation = b5 >> 6;
    v.contentType = (b5 >> 4) & 3;
    v.pixelRepetition = b5 & 0x0f;
    v.topBarEnd = infoFrameWord(data, 5);
    v.bottomBarStart = infoFrameWord(data, 7);
    v.leftBarEnd = infoFrameWord(data, 9);
    v.rightBarStart = infoFrameWord(data, 11);
    v.additionalColorimetry = byteAt(data, 13) >> 4;

    if (v.barInfo != 0 && data.size() < kBarDataBytes)
        d.problem = QStringLiteral("bar data flagged, but data bytes 6-13 are missing");
    else if (needsAce(v) && data.size() < kAviMaxDataBytes)
        d.problem = QStringLiteral("additional colorimetry flagged, but data byte 14 is missing");
    return d;
}

} // namespace

bool AviValues::operator==(const AviValues &o) const
{
    return colourFormat == o.colourFormat && activeFormatPresent == o.activeFormatPresent
        && barInfo == o.barInfo && scan == o.scan && colorimetry == o.colorimetry
        && pictureAspect == o.pictureAspect && activeFormat == o.activeFormat
        && itContent == o.itContent && extendedColorimetry == o.extendedColorimetry
        && rgbQuantisation == o.rgbQuantisation && scaling == o.scaling && vic == o.vic
        && yccQuantisation == o.yccQuantisation && contentType == o.contentType
        && pixelRepetition == o.pixelRepetition && topBarEnd == o.topBarEnd
        && bottomBarStart == o.bottomBarStart && leftBarEnd == o.leftBarEnd
        && rightBarStart == o.rightBarStart && additionalColorimetry == o.additionalColorimetry;
}

AviColorimetry aviColorimetry(const AviValues &v)
{
    if (v.colorimetry != kExtendedColorimetry)
        return AviColorimetry(v.colorimetry); // None, Bt601, Bt709
    if (v.extendedColorimetry != kAdditionalColorimetry)
        return AviColorimetry(int(AviColorimetry::XvYcc601) + v.extendedColorimetry);
    // ACE3-ACE0 (CTA-861-G and later): 0 DCI-P3 D65, 1 DCI-P3 theater.
    if (v.additionalColorimetry <= 1)
        return AviColorimetry(int(AviColorimetry::DciP3D65) + v.additionalColorimetry);
    return AviColorimetry::Reserved;
}

void setAviColorimetry(AviValues &v, AviColorimetry colorimetry)
{
    const int c = int(colorimetry);
    v.extendedColorimetry = 0;
    v.additionalColorimetry = 0;
    if (c <= int(AviColorimetry::Bt709)) {
        v.colorimetry = std::uint8_t(c);
        return;
    }
    v.colorimetry = kExtendedColorimetry;
    if (c <= int(AviColorimetry::Bt2020)) {
        v.extendedColorimetry = std::uint8_t(c - int(AviColorimetry::XvYcc601));
        return;
    }
    v.extendedColorimetry = kAdditionalColorimetry;
    v.additionalColorimetry = colorimetry == AviColorimetry::DciP3Theater ? 1 : 0;
}

AviContent aviContent(const AviValues &v)
{
    if (v.contentType == 0)
        return v.itContent ? AviContent::Graphics : AviContent::None;
    return AviContent(v.contentType + 1);
}

void setAviContent(AviValues &v, AviContent content)
{
    if (content == AviContent::None || content == AviContent::Graphics) {
        v.contentType = 0;
        v.itContent = content == AviContent::Graphics;
    } else {
        v.contentType = std::uint8_t(int(content) - 1);
    }
}

void setAviRange(AviValues &v, AviRange range)
{
    if (v.colourFormat == 0) {
        v.rgbQuantisation = std::uint8_t(range);
        v.yccQuantisation = 0;
    } else {
        v.rgbQuantisation = 0;
        v.yccQuantisation = range == AviRange::Full ? 1 : 0;
    }
}

AviDecode decodeAviInfoFrame(const QByteArray &bytes)
{
    // A frame starts with its type code; as data byte 1, 0x82 would be a
    // reserved colour format.
    const bool hasHeader = !bytes.isEmpty() && std::uint8_t(bytes.at(0)) == kAviInfoFrameTypeCode;
    if (!hasHeader)
        return decodeAviData(bytes);
    const int length = bytes.size() >= 3 ? std::uint8_t(bytes.at(2)) : 0;
    const int given = int(bytes.size()) - kAviHeaderLength;
    if (given < length || bytes.size() < kAviHeaderLength) {
        AviDecode d;
        d.hasHeader = true;
        d.problem = QStringLiteral("too short: the length byte says %1 data bytes, %2 follow")
                        .arg(length)
                        .arg(std::max(given, 0));
        return d;
    }
    AviDecode d = decodeAviData(bytes.mid(kAviHeaderLength, length));
    d.hasHeader = true;
    d.version = std::uint8_t(bytes.at(1));
    d.paddingBytes = given - length;
    QByteArray withoutChecksum = bytes.left(kAviHeaderLength + length);
    withoutChecksum.remove(3, 1);
    d.checksum = std::uint8_t(bytes.at(3));
    d.expectedChecksum = infoFrameChecksum(withoutChecksum);
    d.checksumOk = d.checksum == d.expectedChecksum;
    if (!d.ok)
        return d;
    // Versions 2 and 3 have 13 data bytes, version 4 (additional colorimetry) 14.
    QStringList problems;
    if (!d.checksumOk)
        problems << QStringLiteral("bad checksum 0x%1, should be 0x%2")
                        .arg(uint(d.checksum), 2, 16, QLatin1Char('0'))
                        .arg(uint(d.expectedChecksum), 2, 16, QLatin1Char('0'));
    if (d.version < 2 || d.version > 4)
        problems << QStringLiteral("version %1, versions 2 to 4 are defined").arg(d.version);
    else if (length != (d.version == 4 ? kAviMaxDataBytes : kAviFieldDataBytes))
        problems << QStringLiteral("length %1, version %2 has %3")
                        .arg(length)
                        .arg(d.version)
                        .arg(d.version == 4 ? kAviMaxDataBytes : kAviFieldDataBytes);
    if (!d.problem.isEmpty())
        problems << d.problem;
    d.problem = problems.join(QStringLiteral("; "));
    return d;
}

AviDecode decodeAviInfoFrameText(const QString &text)
{
    return decodeInfoFrameText(text, &decodeAviInfoFrame);
}

QByteArray encodeAviInfoFrame(const AviValues &v)
{
    QByteArray data;
    data.append(char((v.colourFormat & 7) << 5 | int(v.activeFormatPresent) << 4
        | (v.barInfo & 3) << 2 | (v.scan & 3)));
    data.append(
        char((v.colorimetry & 3) << 6 | (v.pictureAspect & 3) << 4 | (v.activeFormat & 0x0f)));
    data.append(char(int(v.itContent) << 7 | (v.extendedColorimetry & 7) << 4
        | (v.rgbQuantisation & 3) << 2 | (v.scaling & 3)));
    data.append(char(v.vic));
    data.append(
        char((v.yccQuantisation & 3) << 6 | (v.contentType & 3) << 4 | (v.pixelRepetition & 0x0f)));
    if (!hasBars(v) && !needsAce(v) && v.additionalColorimetry == 0)
        return data;
    for (const std::uint16_t bar : { v.topBarEnd, v.bottomBarStart, v.leftBarEnd, v.rightBarStart })
        appendInfoFrameWord(data, bar);
    if (needsAce(v) || v.additionalColorimetry != 0)
        data.append(char((v.additionalColorimetry & 0x0f) << 4));
    return data;
}

} // namespace vortalex
