// SPDX-License-Identifier: GPL-3.0-or-later
// The AVI InfoFrame in words: summary line, report, JSON and KEY=VALUE input.
#include "aviinfoframe.h"

#include "infoframehex.h"
#include "infoframevalues.h"
#include "edid/edidvic.h"

#include <QJsonValue>
#include <type_traits>

namespace vortalex {

namespace {

constexpr int kMaxBar = 0xffff;

// Key words, indexed by the field's code (CTA-861, 6.4, AVI InfoFrame tables).
const QStringList kColourKeys { "rgb", "ycbcr422", "ycbcr444", "ycbcr420" };
const QStringList kColorimetryKeys { "none", "bt601", "bt709", "xvycc601", "xvycc709", "sycc601",
    "opycc601", "oprgb", "bt2020cl", "bt2020", "dci-p3-d65", "dci-p3-theater" };
const QStringList kRgbRangeKeys { "default", "limited", "full" };
const QStringList kYccRangeKeys { "limited", "full" };
const QStringList kContentKeys { "graphics", "photo", "cinema", "game" };
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
    return code < keys.size() ? keys.at(code) : trInfoFrame("reserved (%1)").arg(code);
}

QString colourName(int code)
{
    if (code < 4)
        return trInfoFrame(kColourNames[code]);
    return code == 7 ? trInfoFrame("IDO-defined colour format")
                     : trInfoFrame("reserved colour format %1").arg(code);
}

QString colorimetryName(const AviValues &v)
{
    switch (aviColorimetry(v)) {
    case AviColorimetry::Bt601:
        return trInfoFrame("BT.601 (SMPTE 170M)");
    case AviColorimetry::Bt2020ConstantLuminance:
        return trInfoFrame("BT.2020 YcCbcCrc (constant luminance)");
    case AviColorimetry::Bt2020:
        return trInfoFrame("BT.2020 RGB or YCbCr (non-constant luminance)");
    default:
        return trInfoFrame(kColorimetryNames[int(aviColorimetry(v))]);
    }
}

QString vicText(int vic)
{
    if (vic == 0)
        return trInfoFrame("none");
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
        text += named == 0 ? trInfoFrame(", same as the picture")
                           : trInfoFrame(", %1 centred").arg(kActiveKeys.at(named));
    if (!v.activeFormatPresent)
        text += trInfoFrame(" (not flagged)");
    return text;
}

QString rangeText(const AviValues &v, int dataBytes)
{
    if (v.colourFormat == 0)
        return trInfoFrame("%1 range").arg(keyText(kRgbRangeKeys, v.rgbQuantisation));
    if (dataBytes < 5)
        return QString();
    return trInfoFrame("%1 range").arg(keyText(kYccRangeKeys, v.yccQuantisation));
}

QString barsText(const AviValues &v)
{
    QStringList bars;
    if (v.barInfo & 2)
        bars << trInfoFrame("top ends at line %1, bottom starts at line %2")
                    .arg(v.topBarEnd)
                    .arg(v.bottomBarStart);
    if (v.barInfo & 1)
        bars << trInfoFrame("left ends at pixel %1, right starts at pixel %2")
                    .arg(v.leftBarEnd)
                    .arg(v.rightBarStart);
    return bars.isEmpty() ? trInfoFrame("none") : bars.join(QStringLiteral("; "));
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
        trInfoFrame(kColorimetryNames[int(aviColorimetry(v))]) };
    if (d.dataBytes >= 3) {
        const QString range = rangeText(v, d.dataBytes);
        if (!range.isEmpty())
            parts << range;
    }
    if (d.dataBytes >= 4)
        parts << trInfoFrame("VIC %1").arg(vicText(v.vic));
    parts << (v.pictureAspect == 0 ? trInfoFrame("no aspect")
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
    lines << trInfoFrame("Colour format: %1").arg(colourName(v.colourFormat))
          << trInfoFrame("Colorimetry: %1").arg(colorimetryName(v))
          << trInfoFrame("RGB quantisation: %1").arg(keyText(kRgbRangeKeys, v.rgbQuantisation))
          << trInfoFrame("YCbCr quantisation: %1").arg(keyText(kYccRangeKeys, v.yccQuantisation))
          << trInfoFrame("IT content: %1")
                 .arg(v.itContent ? kContentKeys.at(v.contentType) : trInfoFrame("no"))
          << trInfoFrame("Scaling: %1").arg(keyText(kScalingKeys, v.scaling))
          << trInfoFrame("VIC: %1").arg(vicText(v.vic))
          << trInfoFrame("Picture aspect: %1").arg(keyText(kAspectKeys, v.pictureAspect))
          << trInfoFrame("Active format: %1").arg(activeFormatText(v))
          << trInfoFrame("Bars: %1").arg(barsText(v))
          << trInfoFrame("Scan: %1").arg(keyText(kScanKeys, v.scan))
          << trInfoFrame("Pixel repetition: %1")
                 .arg(v.pixelRepetition == 0
                         ? trInfoFrame("none")
                         : trInfoFrame("each pixel sent %1 times").arg(v.pixelRepetition + 1))
          << trInfoFrame("Data bytes: %1").arg(d.dataBytes);
    if (!d.problem.isEmpty())
        lines << trInfoFrame("Problem: %1").arg(d.problem);
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
        { QStringLiteral("content_type"), keyJson(kContentKeys, v.contentType) },
        { QStringLiteral("scaling"), keyJson(kScalingKeys, v.scaling) },
        { QStringLiteral("vic"), v.vic },
        { QStringLiteral("picture_aspect"), keyJson(kAspectKeys, v.pictureAspect) },
        // null when A0 does not flag it
        { QStringLiteral("active_format"),
            v.activeFormatPresent ? QJsonValue(v.activeFormat) : QJsonValue() },
        { QStringLiteral("scan"), keyJson(kScanKeys, v.scan) },
        { QStringLiteral("pixel_repetition"), v.pixelRepetition },
        { QStringLiteral("data_bytes"), d.dataBytes },
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
    if (!d.problem.isEmpty())
        json.insert(QStringLiteral("problem"), d.problem);
    return json;
}

AviKeyParse parseAviKeyValues(const QStringList &arguments)
{
    AviKeyParse result;
    const InfoFrameKeyValues split = splitKeyValues(arguments);
    if (!split.ok) {
        result.error = split.error;
        return result;
    }
    AviValues &v = result.values;
    // Key, its words (empty for numbers), the field it sets.
    for (const auto &item : split.items) {
        const QString &key = item.first;
        const QString &value = item.second;
        auto pick = [&value](const QStringList &words, auto &field) {
            const int index = nameIndex(value, words);
            if (index >= 0)
                field = std::remove_reference_t<decltype(field)>(index);
            return index >= 0;
        };
        bool ok = false;
        QString expected;
        if (key == QLatin1String("color")) {
            ok = pick(kColourKeys, v.colourFormat);
            expected = kColourKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("colorimetry")) {
            const int index = nameIndex(value, kColorimetryKeys);
            ok = index >= 0;
            if (ok)
                setAviColorimetry(v, AviColorimetry(index));
            expected = kColorimetryKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("quant")) {
            ok = pick(kRgbRangeKeys, v.rgbQuantisation);
            expected = kRgbRangeKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("yquant")) {
            ok = pick(kYccRangeKeys, v.yccQuantisation);
            expected = kYccRangeKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("it")) {
            ok = pick(kYesNo, v.itContent);
            expected = kYesNo.join(QStringLiteral(", "));
        } else if (key == QLatin1String("content")) {
            ok = pick(kContentKeys, v.contentType);
            expected = kContentKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("scaling")) {
            ok = pick(kScalingKeys, v.scaling);
            expected = kScalingKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("aspect")) {
            ok = pick(kAspectKeys, v.pictureAspect);
            expected = kAspectKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("scan")) {
            ok = pick(kScanKeys, v.scan);
            expected = kScanKeys.join(QStringLiteral(", "));
        } else if (key == QLatin1String("vic")) {
            const int vic = readWholeNumber(value, 255);
            ok = vic >= 0;
            v.vic = std::uint8_t(qMax(vic, 0));
            expected = trInfoFrame("0-255");
        } else if (key == QLatin1String("repetition")) {
            const int repetition = readWholeNumber(value, 15);
            ok = repetition >= 0;
            v.pixelRepetition = std::uint8_t(qMax(repetition, 0));
            expected = trInfoFrame("0-15");
        } else if (key == QLatin1String("active")) {
            int code = nameIndex(value, kActiveKeys);
            code = code >= 0 ? code + kFirstNamedActiveFormat : readWholeNumber(value, 15);
            const bool none = value.trimmed().toLower() == QLatin1String("none");
            ok = code >= 0 || none;
            v.activeFormatPresent = !none;
            v.activeFormat = std::uint8_t(none ? kFirstNamedActiveFormat : qMax(code, 0));
            expected = trInfoFrame("none, same, 4:3, 16:9, 14:9 or 0-15");
        } else if (key == QLatin1String("top-bottom")) {
            ok = readBarPair(value, v.topBarEnd, v.bottomBarStart);
            v.barInfo |= 2;
            expected = trInfoFrame("END,START from 0 to 65535");
        } else if (key == QLatin1String("left-right")) {
            ok = readBarPair(value, v.leftBarEnd, v.rightBarStart);
            v.barInfo |= 1;
            expected = trInfoFrame("END,START from 0 to 65535");
        } else {
            result.error = trInfoFrame("unknown key %1; keys: color, colorimetry, quant, yquant, "
                                       "it, content, scaling, vic, aspect, active, scan, "
                                       "repetition, top-bottom, left-right")
                               .arg(key);
            return result;
        }
        if (!ok) {
            result.error = trInfoFrame("%1=%2: expected %3").arg(key, value, expected);
            return result;
        }
    }
    result.ok = true;
    return result;
}

} // namespace vortalex
