// SPDX-License-Identifier: GPL-3.0-or-later
#include "hdrinfoframe.h"

#include "infoframehex.h"

#include <QStringList>
#include <utility>

namespace vortalex {

namespace {

// Data byte positions (CTA-861, 6.9, Static Metadata Type 1); each value
// is 16 bits, least significant byte first.
constexpr int kEotfByte = 0;
constexpr int kDescriptorIdByte = 1;
constexpr int kPrimariesByte = 2; // three x, y pairs, then the white point
constexpr int kMaxLuminanceByte = 18;
constexpr int kMinLuminanceByte = 20;
constexpr int kMaxCllByte = 22;
constexpr int kMaxFallByte = 24;
constexpr std::uint8_t kEotfMask = 0x07;
constexpr std::uint8_t kDescriptorIdMask = 0x07;

Chromaticity pointAt(const QByteArray &data, int at)
{
    return { infoFrameWord(data, at), infoFrameWord(data, at + 2) };
}

HdrMetadata valuesOf(const QByteArray &data)
{
    HdrMetadata v;
    v.eotf = std::uint8_t(data.at(kEotfByte)) & kEotfMask;
    v.descriptorId = std::uint8_t(data.at(kDescriptorIdByte)) & kDescriptorIdMask;
    v.green = pointAt(data, kPrimariesByte);
    v.blue = pointAt(data, kPrimariesByte + 4);
    v.red = pointAt(data, kPrimariesByte + 8);
    v.white = pointAt(data, kPrimariesByte + 12);
    v.maxLuminance = infoFrameWord(data, kMaxLuminanceByte);
    v.minLuminance = infoFrameWord(data, kMinLuminanceByte);
    v.maxCll = infoFrameWord(data, kMaxCllByte);
    v.maxFall = infoFrameWord(data, kMaxFallByte);
    return v;
}

QString hexByte(std::uint8_t byte)
{
    return QStringLiteral("0x%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
}

// Problems of a frame whose data bytes decode: checksum and version.
QStringList frameProblems(const HdrDecode &d, std::uint8_t version)
{
    QStringList problems;
    if (!d.checksumOk)
        problems << QStringLiteral("bad checksum %1, should be %2")
                        .arg(hexByte(d.checksum), hexByte(d.expectedChecksum));
    if (version != kHdrInfoFrameVersion)
        problems << QStringLiteral("version %1, only version 1 is defined").arg(version);
    return problems;
}

// Problems of the data bytes: codes CTA-861 reserves, and chromaticities
// beyond 1.0, which no colour has.
QStringList dataProblems(const HdrMetadata &v)
{
    QStringList problems;
    if (v.eotf > std::uint8_t(Eotf::Hlg))
        problems << QStringLiteral("EOTF %1 is reserved").arg(v.eotf);
    if (v.descriptorId != 0) {
        problems << QStringLiteral("metadata type %1 is reserved; its data bytes are not decoded")
                        .arg(v.descriptorId + 1);
        return problems;
    }
    const std::pair<const char *, Chromaticity> points[]
        = { { "red", v.red }, { "green", v.green }, { "blue", v.blue }, { "white", v.white } };
    for (const auto &[name, point] : points) {
        for (const auto &[axis, code] :
            { std::pair { 'x', point.x }, std::pair { 'y', point.y } }) {
            if (code > kChromaticityCodesPerUnit)
                problems << QStringLiteral("%1 %2 is %3, over 1.0")
                                .arg(QString::fromUtf8(name), QChar::fromLatin1(axis),
                                    coordinateText(code));
        }
    }
    return problems;
}

} // namespace

bool HdrMetadata::operator==(const HdrMetadata &o) const
{
    return eotf == o.eotf && descriptorId == o.descriptorId && green == o.green && blue == o.blue
        && red == o.red && white == o.white && maxLuminance == o.maxLuminance
        && minLuminance == o.minLuminance && maxCll == o.maxCll && maxFall == o.maxFall;
}

HdrDecode decodeHdrInfoFrame(const QByteArray &bytes)
{
    HdrDecode d;
    if (bytes.isEmpty()) {
        d.problem = QStringLiteral("empty");
        return d;
    }
    // A frame starts with its type code; data byte 1 (the EOTF) never reads 0x87.
    d.hasHeader = std::uint8_t(bytes.at(0)) == kHdrInfoFrameTypeCode;
    const QByteArray data = d.hasHeader ? bytes.mid(kHdrInfoFrameHeaderLength) : bytes;
    if (data.size() < kHdrInfoFrameLength) {
        d.problem = QStringLiteral("too short: %1 data bytes, %2 needed")
                        .arg(data.size())
                        .arg(kHdrInfoFrameLength);
        return d;
    }
    if (d.hasHeader && std::uint8_t(bytes.at(2)) != kHdrInfoFrameLength) {
        d.problem = QStringLiteral("length byte says %1, Static Metadata Type 1 has %2")
                        .arg(std::uint8_t(bytes.at(2)))
                        .arg(kHdrInfoFrameLength);
        return d;
    }
    if (!d.hasHeader && data.size() > kHdrInfoFrameLength) {
        d.problem = QStringLiteral("too long: %1 data bytes, %2 expected")
                        .arg(data.size())
                        .arg(kHdrInfoFrameLength);
        return d;
    }
    d.ok = true;
    d.values = valuesOf(data);
    QStringList problems;
    if (d.hasHeader) {
        // The window fills the field with the box's 31 stored bytes: what
        // follows the frame is padding, outside the checksum.
        d.paddingBytes = int(data.size()) - kHdrInfoFrameLength;
        QByteArray withoutChecksum = bytes.left(kHdrInfoFrameHeaderLength + kHdrInfoFrameLength);
        withoutChecksum.remove(3, 1);
        d.checksum = std::uint8_t(bytes.at(3));
        d.expectedChecksum = infoFrameChecksum(withoutChecksum);
        d.checksumOk = d.checksum == d.expectedChecksum;
        problems = frameProblems(d, std::uint8_t(bytes.at(1)));
    }
    d.problem = (problems + dataProblems(d.values)).join(QStringLiteral("; "));
    return d;
}

HdrDecode decodeHdrInfoFrameText(const QString &text)
{
    return decodeInfoFrameText(text, &decodeHdrInfoFrame);
}

QByteArray encodeHdrInfoFrame(const HdrMetadata &v)
{
    QByteArray data;
    data.append(char(v.eotf & kEotfMask));
    data.append(char(v.descriptorId & kDescriptorIdMask));
    for (const Chromaticity &point : { v.green, v.blue, v.red, v.white }) {
        appendInfoFrameWord(data, point.x);
        appendInfoFrameWord(data, point.y);
    }
    for (const std::uint16_t value : { v.maxLuminance, v.minLuminance, v.maxCll, v.maxFall })
        appendInfoFrameWord(data, value);

    QByteArray frame;
    frame.append(char(kHdrInfoFrameTypeCode));
    frame.append(char(kHdrInfoFrameVersion));
    frame.append(char(kHdrInfoFrameLength));
    frame.append(char(infoFrameChecksum(frame + data)));
    return frame + data;
}

Chromaticity d65WhitePoint()
{
    return { 15635, 16450 }; // 0.3127, 0.3290
}

void setHdrPrimaries(HdrMetadata &v, HdrPrimaries primaries)
{
    // ITU-R BT.2020, SMPTE EG 432-1 (DCI-P3) and ITU-R BT.709 primaries.
    switch (primaries) {
    case HdrPrimaries::Bt2020:
        v.red = { 35400, 14600 }; // 0.708, 0.292
        v.green = { 8500, 39850 }; // 0.170, 0.797
        v.blue = { 6550, 2300 }; // 0.131, 0.046
        break;
    case HdrPrimaries::DciP3:
        v.red = { 34000, 16000 }; // 0.680, 0.320
        v.green = { 13250, 34500 }; // 0.265, 0.690
        v.blue = { 7500, 3000 }; // 0.150, 0.060
        break;
    case HdrPrimaries::Bt709:
        v.red = { 32000, 16500 }; // 0.640, 0.330
        v.green = { 15000, 30000 }; // 0.300, 0.600
        v.blue = { 7500, 3000 }; // 0.150, 0.060
        break;
    }
}

} // namespace vortalex
