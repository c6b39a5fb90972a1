// SPDX-License-Identifier: GPL-3.0-or-later
// The AVI InfoFrame in words: summary line, report, JSON and KEY=VALUE input.
#include "aviinfoframe.h"

#include "infoframehex.h"
#include "infoframevalues.h"
#include "edid/edidvic.h"

#include <QJsonValue>
#include <algorithm>

namespace vortalex {

namespace {

constexpr int kMaxBar = 0xffff;

// Key words, indexed by the field's code (CTA-861, 6.4, AVI InfoFrame tables).
const QStringList kColourKeys { "rgb", "ycbcr422", "ycbcr444", "ycbcr420" };
const QStringList kColorimetryKeys { "none", "bt601", "bt709", "xvycc601", "xvycc709", "sycc601",
    "opycc601", "oprgb", "bt2020cl", "bt2020", "dci-p3-d65", "dci-p3-theater" };
const QStringList kRgbRangeKeys { "default", "limited", "full" };
const QStringList kYccRangeKeys { "limited", "full" };
// Indexed by AviContent: ITC and CN1-CN0 together.
const QStringList kContentKeys { "none", "graphics", "photo", "cinema", "game" };
const QStringList kScalingKeys { "none", "horizontal", "vertical", "both" };
const QStringList kAspectKeys { "none", "4:3", "16:9" };
const QStringList kScanKeys { "none", "overscan", "underscan" };
const QStringList kYesNo { "no", "yes" };
// Active format words for R3-R0 = 8 to 11.
const QStringList kActiveKeys { "same", "4:3", "16:9", "14:9" };
constexpr int kFirstNamedActiveFormat = 8;

const char *const kColourNames[] = { "RGB", "YCbCr 4:2:2", "YCbCr 4:4:4", "YCbCr 4:2:0" };
const char *const kColorimetryNames[] = { "no colorimetry", "BT.601", "BT.709", "xvYCC601",
    "xvYCC709", "sYCC601", "opYCC601", "opRGB", "BT.2020 YcCbcCrc", "BT.2020", "DCI-P3 D65",
    "DCI-P3 theater", "reserved colorimetry" };

// A key word for a code, or the code itself where the table has none (reserved).
QJsonValue keyJson(const QStringList &keys, int code)
{
    return code < keys.size() ? QJsonValue(keys.at(code)) : QJsonValue(code);
}

QString keyText(const QStringList &keys, int code)
{
    return code < keys.size() ? keys.at(code) : QStringLiteral("reserved (%1)").arg(code);
}

QString colourName(int code)
{
    if (code < 4)
        return QString::fromUtf8(kColourNames[code]);
    return code == 7 ? QStringLiteral("IDO-defined colour format")
                     : QStringLiteral("reserved colour format %1").arg(code);
}

QString colorimetryName(const AviValues &v)
{
    switch (aviColorimetry(v)) {
    case AviColorimetry::Bt601:
        return QStringLiteral("BT.601 (SMPTE 170M)");
    case AviColorimetry::Bt2020ConstantLuminance:
        return QStringLiteral("BT.2020 YcCbcCrc (constant luminance)");
    case AviColorimetry::Bt2020:
        return QStringLiteral("BT.2020 RGB or YCbCr (non-constant luminance)");
    default:
        return QString::fromUtf8(kColorimetryNames[int(aviColorimetry(v))]);
    }
}

QString vicText(int vic)
{
    if (vic == 0)
        return QStringLiteral("none");
    // Named from the EDID decoder's complete VIC table: "3840x2160p60".
    const VicFormat *format = vicFormat(vic);
    if (!format)
        return QString::number(vic);
    return QStringLiteral("%1 (%2x%3%4%5)")
        .arg(vic)
        .arg(format->width)
        .arg(format->height)
        .arg(QLatin1Char(format->interlaced ? 'i' : 'p'))
        .arg(format->refreshHz, 0, 'g', 5);
}

QString activeFormatText(const AviValues &v)
{
    const int r = v.activeFormat;
    const int named = r - kFirstNamedActiveFormat;
    QString text = QString::number(r);
    if (named >= 0 && named < kActiveKeys.size())
        text += named == 0 ? QStringLiteral(", same as the picture")
                           : QStringLiteral(", %1 centred").arg(kActiveKeys.at(named));
    if (!v.activeFormatPresent)
        text += QStringLiteral(" (not flagged)");
    return text;
}

QString rangeText(const AviValues &v, int dataBytes)
{
    if (v.colourFormat == 0)
        return QStringLiteral("%1 range").arg(keyText(kRgbRangeKeys, v.rgbQuantisation));
    if (dataBytes < 5)
        return QString();
    return QStringLiteral("%1 range").arg(keyText(kYccRangeKeys, v.yccQuantisation));
}

QString barsText(const AviValues &v)
{
    QStringList bars;
    if (v.barInfo & 2)
        bars << QStringLiteral("top ends at line %1, bottom starts at line %2")
                    .arg(v.topBarEnd)
                    .arg(v.bottomBarStart);
    if (v.barInfo & 1)
        bars << QStringLiteral("left ends at pixel %1, right starts at pixel %2")
                    .arg(v.leftBarEnd)
                    .arg(v.rightBarStart);
    return bars.isEmpty() ? QStringLiteral("none") : bars.join(QStringLiteral("; "));
}

// A bar pair "END,START" into two words.
bool readBarPair(const QString &value, std::uint16_t &end, std::uint16_t &start)
{
    const QStringList pair = value.split(QLatin1Char(','));
    if (pair.size() != 2)
        return false;
    const int first = readWholeNumber(pair.at(0), kMaxBar);
    const int second = readWholeNumber(pair.at(1), kMaxBar);
    if (first < 0 || second < 0)
        return false;
    end = std::uint16_t(first);
    start = std::uint16_t(second);
    return true;
}

} // namespace

QString aviSummary(const AviDecode &d)
{
    if (!d.problem.isEmpty())
        return d.problem.left(1).toUpper() + d.problem.mid(1);
    const AviValues &v = d.values;
    QStringList parts { colourName(v.colourFormat),
        QString::fromUtf8(kColorimetryNames[int(aviColorimetry(v))]) };
    if (d.dataBytes >= 3) {
        const QString range = rangeText(v, d.dataBytes);
        if (!range.isEmpty())
            parts << range;
    }
    if (d.dataBytes >= 4)
        parts << QStringLiteral("VIC %1").arg(vicText(v.vic));
    parts << (v.pictureAspect == 0 ? QStringLiteral("no aspect")
                                   : keyText(kAspectKeys, v.pictureAspect));
    const QString line = parts.join(QStringLiteral(" · "));
    return line.left(1).toUpper() + line.mid(1);
}

QString aviReport(const AviDecode &d)
{
    if (!d.ok)
        return aviSummary(d);
    const AviValues &v = d.values;
    QStringList lines;
    lines << QStringLiteral("Colour format: %1").arg(colourName(v.colourFormat))
          << QStringLiteral("Colorimetry: %1").arg(colorimetryName(v))
          << QStringLiteral("RGB quantisation: %1").arg(keyText(kRgbRangeKeys, v.rgbQuantisation))
          << QStringLiteral("YCbCr quantisation: %1").arg(keyText(kYccRangeKeys, v.yccQuantisation))
          << QStringLiteral("IT content: %1").arg(kYesNo.at(v.itContent))
          << QStringLiteral("Content type: %1").arg(kContentKeys.at(int(aviContent(v))))
          << QStringLiteral("Scaling: %1").arg(keyText(kScalingKeys, v.scaling))
          << QStringLiteral("VIC: %1").arg(vicText(v.vic))
          << QStringLiteral("Picture aspect: %1").arg(keyText(kAspectKeys, v.pictureAspect))
          << QStringLiteral("Active format: %1").arg(activeFormatText(v))
          << QStringLiteral("Bars: %1").arg(barsText(v))
          << QStringLiteral("Scan: %1").arg(keyText(kScanKeys, v.scan))
          << QStringLiteral("Pixel repetition: %1")
                 .arg(v.pixelRepetition == 0
                         ? QStringLiteral("none")
                         : QStringLiteral("each pixel sent %1 times").arg(v.pixelRepetition + 1))
          << QStringLiteral("Data bytes: %1").arg(d.dataBytes);
    if (!d.hasHeader)
        lines << QStringLiteral("Checksum: none (data bytes only)");
    else if (d.checksumOk)
        lines << QStringLiteral("Version %1, checksum 0x%2, correct")
                     .arg(d.version)
                     .arg(uint(d.checksum), 2, 16, QLatin1Char('0'));
    if (d.paddingBytes > 0)
        lines << QStringLiteral("Padding: %1 bytes after the frame").arg(d.paddingBytes);
    if (!d.problem.isEmpty())
        lines << QStringLiteral("Problem: %1").arg(d.problem);
    return lines.join(QLatin1Char('\n'));
}

QJsonObject aviJson(const AviDecode &d)
{
    if (!d.ok)
        return { { QStringLiteral("error"), d.problem } };
    const AviValues &v = d.values;
    const int colorimetry = int(aviColorimetry(v));
    QJsonObject json {
        { QStringLiteral("color_format"), keyJson(kColourKeys, v.colourFormat) },
        { QStringLiteral("colorimetry"),
            colorimetry < kColorimetryKeys.size() ? QJsonValue(kColorimetryKeys.at(colorimetry))
                                                  : QJsonValue(QStringLiteral("reserved")) },
        { QStringLiteral("rgb_quantization"), keyJson(kRgbRangeKeys, v.rgbQuantisation) },
        { QStringLiteral("ycc_quantization"), keyJson(kYccRangeKeys, v.yccQuantisation) },
        { QStringLiteral("it_content"), v.itContent },
        { QStringLiteral("content_type"), kContentKeys.at(int(aviContent(v))) },
        { QStringLiteral("scaling"), keyJson(kScalingKeys, v.scaling) },
        { QStringLiteral("vic"), v.vic },
        { QStringLiteral("picture_aspect"), keyJson(kAspectKeys, v.pictureAspect) },
        // null when A0 does not flag it
        { QStringLiteral("active_format"),
            v.activeFormatPresent ? QJsonValue(v.activeFormat) : QJsonValue() },
        { QStringLiteral("scan"), keyJson(kScanKeys, v.scan) },
        { QStringLiteral("pixel_repetition"), v.pixelRepetition },
        { QStringLiteral("data_bytes"), d.dataBytes },
        // null for the bare data bytes, which carry no checksum
        { QStringLiteral("checksum_ok"), d.hasHeader ? QJsonValue(d.checksumOk) : QJsonValue() },
    };
    QJsonObject bars;
    if (v.barInfo & 2) {
        bars.insert(QStringLiteral("top_end"), v.topBarEnd);
        bars.insert(QStringLiteral("bottom_start"), v.bottomBarStart);
    }
    if (v.barInfo & 1) {
        bars.insert(QStringLiteral("left_end"), v.leftBarEnd);
        bars.insert(QStringLiteral("right_start"), v.rightBarStart);
    }
    json.insert(QStringLiteral("bars"), bars.isEmpty() ? QJsonValue() : QJsonValue(bars));
    json.insert(QStringLiteral("problems"), problemsJson(d.problem));
    return json;
}

namespace {

QString joined(const QStringList &words)
{
    return words.join(QStringLiteral(", "));
}

// Sets `field` to the index of one of `words`.
template<typename Field> bool pickWord(const QStringList &words, const QString &value, Field &field)
{
    const int index = nameIndex(value, words);
    if (index >= 0)
        field = Field(index);
    return index >= 0;
}

template<typename Field> bool pickNumber(const QString &value, int maxValue, Field &field)
{
    const int number = readWholeNumber(value, maxValue);
    if (number >= 0)
        field = Field(number);
    return number >= 0;
}

// The keys of "infoframe encode avi", in the order the help lists them.
const QList<InfoFrameKey<AviValues>> &aviKeys()
{
    static const QList<InfoFrameKey<AviValues>> keys {
        { "color", joined(kColourKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kColourKeys, value, v.colourFormat);
            } },
        { "colorimetry", joined(kColorimetryKeys),
            [](AviValues &v, const QString &value, QString &) {
                AviColorimetry colorimetry = AviColorimetry::None;
                const bool ok = pickWord(kColorimetryKeys, value, colorimetry);
                if (ok)
                    setAviColorimetry(v, colorimetry);
                return ok;
            } },
        { "quant", joined(kRgbRangeKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kRgbRangeKeys, value, v.rgbQuantisation);
            } },
        { "yquant", joined(kYccRangeKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kYccRangeKeys, value, v.yccQuantisation);
            } },
        { "it", joined(kYesNo),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kYesNo, value, v.itContent);
            } },
        { "content", joined(kContentKeys),
            [](AviValues &v, const QString &value, QString &) {
                AviContent content = AviContent::None;
                const bool ok = pickWord(kContentKeys, value, content);
                if (ok)
                    setAviContent(v, content);
                return ok;
            } },
        { "scaling", joined(kScalingKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kScalingKeys, value, v.scaling);
            } },
        { "vic", QStringLiteral("0-255"),
            [](AviValues &v, const QString &value, QString &) {
                return pickNumber(value, 255, v.vic);
            } },
        { "aspect", joined(kAspectKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kAspectKeys, value, v.pictureAspect);
            } },
        { "active", QStringLiteral("none, same, 4:3, 16:9, 14:9 or 0-15"),
            [](AviValues &v, const QString &value, QString &) {
                if (value.trimmed().toLower() == QLatin1String("none")) {
                    v.activeFormatPresent = false;
                    v.activeFormat = kFirstNamedActiveFormat;
                    return true;
                }
                const int named = nameIndex(value, kActiveKeys);
                const int code
                    = named >= 0 ? named + kFirstNamedActiveFormat : readWholeNumber(value, 15);
                v.activeFormatPresent = true;
                v.activeFormat = std::uint8_t(std::max(code, 0));
                return code >= 0;
            } },
        { "scan", joined(kScanKeys),
            [](AviValues &v, const QString &value, QString &) {
                return pickWord(kScanKeys, value, v.scan);
            } },
        { "repetition", QStringLiteral("0-15"),
            [](AviValues &v, const QString &value, QString &) {
                return pickNumber(value, 15, v.pixelRepetition);
            } },
        { "top-bottom", QStringLiteral("END,START from 0 to 65535"),
            [](AviValues &v, const QString &value, QString &) {
                v.barInfo |= 2;
                return readBarPair(value, v.topBarEnd, v.bottomBarStart);
            } },
        { "left-right", QStringLiteral("END,START from 0 to 65535"),
            [](AviValues &v, const QString &value, QString &) {
                v.barInfo |= 1;
                return readBarPair(value, v.leftBarEnd, v.rightBarStart);
            } },
    };
    return keys;
}

} // namespace

AviKeyParse parseAviKeyValues(const QStringList &arguments)
{
    AviKeyParse result;
    result.ok = applyInfoFrameKeys(arguments, aviKeys(), result.values, result.error);
    return result;
}

QString aviKeyHelp()
{
    return infoFrameKeyHelp(aviKeys());
}

QList<QPair<QString, QString>> aviKeyWords()
{
    return infoFrameKeyWords(aviKeys());
}

} // namespace vortalex
