// SPDX-License-Identifier: GPL-3.0-or-later
// The HDR InfoFrame in words: summary line, report, JSON and KEY=VALUE input.
#include "hdrinfoframe.h"

#include "infoframehex.h"
#include "infoframevalues.h"

#include <QJsonArray>
#include <algorithm>
#include <cstdlib>

namespace vortalex {

namespace {

constexpr int kMaxCode = 0xffff;
constexpr int kCoordinateDecimals = 5;
constexpr int kMinLuminanceDecimals = 4;
// Sources round primaries differently (0.3127 or 0.31270...); a preset is
// recognised within 0.0005.
constexpr int kPresetTolerance = 25;
const Chromaticity kDciWhite { 15700, 17550 }; // 0.314, 0.351

// Key words of the EOTFs; the JSON spells them in capitals, as the EDID JSON does.
const QStringList kEotfKeys { QStringLiteral("sdr"), QStringLiteral("hdr"), QStringLiteral("pq"),
    QStringLiteral("hlg") };
const QStringList kPrimariesKeys { QStringLiteral("bt2020"), QStringLiteral("dci-p3"),
    QStringLiteral("bt709") };

bool near(const Chromaticity &a, const Chromaticity &b)
{
    return std::abs(a.x - b.x) <= kPresetTolerance && std::abs(a.y - b.y) <= kPresetTolerance;
}

QString pointText(const Chromaticity &p)
{
    return coordinateText(p.x) + QStringLiteral(", ") + coordinateText(p.y);
}

// "BT.2020", "DCI-P3 D65", "custom primaries, white 0.3, 0.3"...
QString primariesName(const HdrMetadata &v)
{
    if (v.red == Chromaticity() && v.green == Chromaticity() && v.blue == Chromaticity())
        return QStringLiteral("no primaries");
    const char *names[] = { "BT.2020", "DCI-P3", "BT.709" };
    QString name = QStringLiteral("custom primaries");
    for (int i = 0; i < 3; ++i) {
        if (hdrPrimariesMatch(v, HdrPrimaries(i)))
            name = QString::fromLatin1(names[i]);
    }
    const bool p3 = name == QLatin1String("DCI-P3");
    if (near(v.white, d65WhitePoint()))
        return p3 ? name + QStringLiteral(" D65") : name;
    if (p3 && near(v.white, kDciWhite))
        return name;
    return name + QStringLiteral(", white %1").arg(pointText(v.white));
}

QString lightLevelText(std::uint16_t value)
{
    return value == 0 ? QStringLiteral("unknown") : QString::number(value);
}

QJsonArray pointJson(const Chromaticity &p)
{
    return { double(p.x) / kChromaticityCodesPerUnit, double(p.y) / kChromaticityCodesPerUnit };
}

} // namespace

bool hdrPrimariesMatch(const HdrMetadata &v, HdrPrimaries primaries)
{
    HdrMetadata preset;
    setHdrPrimaries(preset, primaries);
    return near(v.red, preset.red) && near(v.green, preset.green) && near(v.blue, preset.blue);
}

QString coordinateText(std::uint16_t code)
{
    return scaledCodeText(code, kChromaticityCodesPerUnit, kCoordinateDecimals);
}

QString minLuminanceText(std::uint16_t code)
{
    return scaledCodeText(code, kMinLuminanceCodesPerUnit, kMinLuminanceDecimals);
}

QString eotfName(std::uint8_t eotf)
{
    switch (Eotf(eotf)) {
    case Eotf::Sdr:
        return QStringLiteral("SDR");
    case Eotf::Hdr:
        return QStringLiteral("HDR gamma");
    case Eotf::Pq:
        return QStringLiteral("PQ");
    case Eotf::Hlg:
        return QStringLiteral("HLG");
    }
    return QStringLiteral("EOTF %1 (reserved)").arg(eotf);
}

QJsonValue eotfJson(std::uint8_t eotf)
{
    return eotf < kEotfKeys.size() ? QJsonValue(kEotfKeys.at(eotf).toUpper()) : QJsonValue(eotf);
}

QString hdrSummary(const HdrDecode &d)
{
    if (!d.problem.isEmpty())
        return d.problem.left(1).toUpper() + d.problem.mid(1);
    const HdrMetadata &v = d.values;
    QStringList parts { eotfName(v.eotf), primariesName(v) };
    if (v.maxLuminance == 0 && v.minLuminance == 0)
        parts << QStringLiteral("mastering unknown");
    else
        parts << QStringLiteral("%1 / %2 cd/m²")
                     .arg(QString::number(v.maxLuminance), minLuminanceText(v.minLuminance));
    parts << QStringLiteral("MaxCLL %1").arg(lightLevelText(v.maxCll))
          << QStringLiteral("MaxFALL %1").arg(lightLevelText(v.maxFall));
    return parts.join(QStringLiteral(" · "));
}

QString hdrReport(const HdrDecode &d)
{
    if (!d.ok)
        return hdrSummary(d);
    const HdrMetadata &v = d.values;
    QStringList lines;
    lines << QStringLiteral("EOTF: %1").arg(eotfName(v.eotf))
          << QStringLiteral("Metadata: Static Metadata Type %1").arg(v.descriptorId + 1);
    // Only type 1 lays its data bytes out; the others are reserved.
    if (v.descriptorId == 0) {
        lines << QStringLiteral("Primaries: %1").arg(primariesName(v))
              << QStringLiteral("  red %1").arg(pointText(v.red))
              << QStringLiteral("  green %1").arg(pointText(v.green))
              << QStringLiteral("  blue %1").arg(pointText(v.blue))
              << QStringLiteral("  white %1").arg(pointText(v.white))
              << QStringLiteral("Mastering luminance: max %1 cd/m², min %2 cd/m²")
                     .arg(QString::number(v.maxLuminance), minLuminanceText(v.minLuminance))
              << QStringLiteral("MaxCLL: %1").arg(lightLevelText(v.maxCll))
              << QStringLiteral("MaxFALL: %1").arg(lightLevelText(v.maxFall));
    }
    if (!d.hasHeader)
        lines << QStringLiteral("Checksum: none (data bytes only)");
    else if (d.checksumOk)
        lines << QStringLiteral("Checksum: 0x%1, correct")
                     .arg(uint(d.checksum), 2, 16, QLatin1Char('0'));
    if (d.paddingBytes > 0)
        lines << QStringLiteral("Padding: %1 bytes after the frame").arg(d.paddingBytes);
    if (!d.problem.isEmpty())
        lines << QStringLiteral("Problem: %1").arg(d.problem);
    return lines.join(QLatin1Char('\n'));
}

QJsonObject hdrJson(const HdrDecode &d)
{
    if (!d.ok)
        return { { QStringLiteral("error"), d.problem } };
    const HdrMetadata &v = d.values;
    if (v.descriptorId != 0)
        return { { QStringLiteral("eotf"), eotfJson(v.eotf) },
            { QStringLiteral("metadata_type"), v.descriptorId + 1 },
            { QStringLiteral("checksum_ok"),
                d.hasHeader ? QJsonValue(d.checksumOk) : QJsonValue() },
            { QStringLiteral("problems"), problemsJson(d.problem) } };
    QJsonObject json {
        { QStringLiteral("eotf"), eotfJson(v.eotf) },
        { QStringLiteral("metadata_type"), v.descriptorId + 1 },
        { QStringLiteral("primaries"),
            QJsonObject { { QStringLiteral("red"), pointJson(v.red) },
                { QStringLiteral("green"), pointJson(v.green) },
                { QStringLiteral("blue"), pointJson(v.blue) } } },
        { QStringLiteral("white"), pointJson(v.white) },
        { QStringLiteral("max_mastering_luminance"), v.maxLuminance },
        { QStringLiteral("min_mastering_luminance"),
            double(v.minLuminance) / kMinLuminanceCodesPerUnit },
        { QStringLiteral("max_cll"), v.maxCll },
        { QStringLiteral("max_fall"), v.maxFall },
        // null for the bare data bytes, which carry no checksum
        { QStringLiteral("checksum_ok"), d.hasHeader ? QJsonValue(d.checksumOk) : QJsonValue() },
        { QStringLiteral("problems"), problemsJson(d.problem) },
    };
    return json;
}

bool readCoordinate(const QString &text, std::uint16_t &out, QString &error)
{
    const int code = readScaledCode(text, kChromaticityCodesPerUnit, kChromaticityCodesPerUnit);
    if (code < 0) {
        error = QStringLiteral("\"%1\": x and y go from 0 to 1").arg(text);
        return false;
    }
    out = std::uint16_t(code);
    return true;
}

bool readChromaticity(const QString &x, const QString &y, Chromaticity &out, QString &error)
{
    return readCoordinate(x, out.x, error) && readCoordinate(y, out.y, error);
}

bool readMaxLuminance(const QString &text, std::uint16_t &out, QString &error)
{
    const int code = readWholeNumber(text, kMaxCode);
    if (code < 0) {
        error = QStringLiteral("\"%1\": whole cd/m² from 0 to 65535").arg(text);
        return false;
    }
    out = std::uint16_t(code);
    return true;
}

bool readMinLuminance(const QString &text, std::uint16_t &out, QString &error)
{
    const int code = readScaledCode(text, kMinLuminanceCodesPerUnit, kMaxCode);
    if (code < 0) {
        error = QStringLiteral("\"%1\": from 0 to 6.5535 cd/m² in steps of 0.0001").arg(text);
        return false;
    }
    out = std::uint16_t(code);
    return true;
}

bool readLightLevel(const QString &text, std::uint16_t &out, QString &error)
{
    return readMaxLuminance(text, out, error);
}

HdrMetadata defaultHdrMetadata()
{
    HdrMetadata v;
    v.eotf = std::uint8_t(Eotf::Pq);
    setHdrPrimaries(v, HdrPrimaries::Bt2020);
    v.white = d65WhitePoint();
    v.maxLuminance = 1000;
    v.minLuminance = 50;
    v.maxCll = 1000;
    v.maxFall = 400;
    return v;
}

namespace {

bool readPoint(const QString &value, Chromaticity &point, QString &reason)
{
    const QStringList xy = value.split(QLatin1Char(','));
    return xy.size() == 2 && readChromaticity(xy.at(0), xy.at(1), point, reason);
}

// The keys of "infoframe encode hdr", in the order the help lists them.
const QList<InfoFrameKey<HdrMetadata>> &hdrKeys()
{
    static const QList<InfoFrameKey<HdrMetadata>> keys {
        { "eotf", kEotfKeys.join(QStringLiteral(", ")),
            [](HdrMetadata &v, const QString &value, QString &) {
                const int eotf = nameIndex(value, kEotfKeys);
                v.eotf = std::uint8_t(std::max(eotf, 0));
                return eotf >= 0;
            } },
        // Static Metadata Type 1 is the only one defined.
        { "metadata-type", QStringLiteral("1"),
            [](HdrMetadata &v, const QString &value, QString &) {
                v.descriptorId = 0;
                return readWholeNumber(value, 1) == 1;
            } },
        { "primaries", kPrimariesKeys.join(QStringLiteral(", ")),
            [](HdrMetadata &v, const QString &value, QString &) {
                const int preset = nameIndex(value, kPrimariesKeys);
                if (preset >= 0)
                    setHdrPrimaries(v, HdrPrimaries(preset));
                return preset >= 0;
            } },
        { "red", QStringLiteral("X,Y from 0 to 1"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readPoint(value, v.red, reason);
            } },
        { "green", QStringLiteral("X,Y from 0 to 1"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readPoint(value, v.green, reason);
            } },
        { "blue", QStringLiteral("X,Y from 0 to 1"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readPoint(value, v.blue, reason);
            } },
        { "white", QStringLiteral("d65, dci or X,Y from 0 to 1"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                const QString word = value.trimmed().toLower();
                if (word == QLatin1String("d65") || word == QLatin1String("dci")) {
                    v.white = word == QLatin1String("d65") ? d65WhitePoint() : kDciWhite;
                    return true;
                }
                return readPoint(value, v.white, reason);
            } },
        { "max-lum", QStringLiteral("whole cd/m² from 0 to 65535"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readMaxLuminance(value, v.maxLuminance, reason);
            } },
        { "min-lum", QStringLiteral("0 to 6.5535 cd/m² in steps of 0.0001"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readMinLuminance(value, v.minLuminance, reason);
            } },
        { "max-cll", QStringLiteral("whole cd/m² from 0 to 65535"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readLightLevel(value, v.maxCll, reason);
            } },
        { "max-fall", QStringLiteral("whole cd/m² from 0 to 65535"),
            [](HdrMetadata &v, const QString &value, QString &reason) {
                return readLightLevel(value, v.maxFall, reason);
            } },
    };
    return keys;
}

} // namespace

HdrKeyParse parseHdrKeyValues(const QStringList &arguments)
{
    HdrKeyParse result;
    result.values = defaultHdrMetadata();
    result.ok = applyInfoFrameKeys(arguments, hdrKeys(), result.values, result.error);
    return result;
}

QString hdrKeyHelp()
{
    return infoFrameKeyHelp(hdrKeys());
}

QList<QPair<QString, QString>> hdrKeyWords()
{
    return infoFrameKeyWords(hdrKeys());
}

} // namespace vortalex
