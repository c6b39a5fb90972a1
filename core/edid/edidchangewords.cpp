// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidchangewords.h"

#include "ediddiff.h"
#include "edidinfo.h"
#include "edidreport.h"
#include "edidvic.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <functional>

namespace vortalex {

namespace {

// Names of the report's keys, by their path without "extensions[N].".
QString factLabel(const QString &key)
{
    static const QHash<QString, QString> labels {
        { QStringLiteral("name"), QStringLiteral("Name") },
        { QStringLiteral("manufacturer"), QStringLiteral("Manufacturer") },
        { QStringLiteral("product_code"), QStringLiteral("Product code") },
        { QStringLiteral("serial_number"), QStringLiteral("Serial number") },
        { QStringLiteral("serial_string"), QStringLiteral("Serial text") },
        { QStringLiteral("week"), QStringLiteral("Week") },
        { QStringLiteral("year"), QStringLiteral("Year") },
        { QStringLiteral("model_year"), QStringLiteral("Model year") },
        { QStringLiteral("size_cm"), QStringLiteral("Size (cm)") },
        { QStringLiteral("preferred"), QStringLiteral("Preferred timing") },
        { QStringLiteral("detailed"), QStringLiteral("Detailed timing") },
        { QStringLiteral("range"), QStringLiteral("Range limits") },
        { QStringLiteral("problems"), QStringLiteral("Problem") },
        { QStringLiteral("vics"), QStringLiteral("VIC") },
        { QStringLiteral("ycbcr420_vics"), QStringLiteral("4:2:0-only VIC") },
        { QStringLiteral("ycbcr420_capable_vics"), QStringLiteral("4:2:0-capable VIC") },
        { QStringLiteral("audio"), QStringLiteral("Audio") },
        { QStringLiteral("colorimetry"), QStringLiteral("Colorimetry") },
        { QStringLiteral("hdr_static"), QStringLiteral("HDR static metadata block") },
        { QStringLiteral("hdr_static.eotfs"), QStringLiteral("HDR EOTF") },
        { QStringLiteral("hdr_static.max_luminance"), QStringLiteral("HDR max luminance (cd/m²)") },
        { QStringLiteral("hdr_static.max_frame_avg"),
            QStringLiteral("HDR max frame-average luminance (cd/m²)") },
        { QStringLiteral("hdr_static.min_luminance"), QStringLiteral("HDR min luminance (cd/m²)") },
        { QStringLiteral("hdmi"), QStringLiteral("HDMI vendor block") },
        { QStringLiteral("hdmi.physical_address"), QStringLiteral("Physical address") },
        { QStringLiteral("hdmi.max_tmds_mhz"), QStringLiteral("Max TMDS clock (MHz)") },
        { QStringLiteral("hdmi.deep_color"), QStringLiteral("Deep colour (bits)") },
        { QStringLiteral("hdmi_forum"), QStringLiteral("HDMI Forum block") },
        { QStringLiteral("hdmi_forum.max_tmds_mhz"),
            QStringLiteral("HDMI Forum max TMDS clock (MHz)") },
        { QStringLiteral("hdmi_forum.scdc"), QStringLiteral("SCDC") },
        { QStringLiteral("hdmi_forum.max_frl_gbps"), QStringLiteral("Max FRL rate (Gbit/s)") },
        { QStringLiteral("hdmi_forum.version"), QStringLiteral("HDMI Forum block version") },
    };
    return labels.value(key, key);
}

QString number(double value)
{
    return QString::number(value, 'g', 8);
}

QString vicWords(int vic)
{
    const VicFormat *f = vicFormat(vic);
    return f ? QStringLiteral("VIC %1 %2x%3%4@%5")
                   .arg(vic)
                   .arg(f->width)
                   .arg(f->height)
                   .arg(f->interlaced ? QStringLiteral("i") : QString())
                   .arg(number(f->refreshHz))
             : QStringLiteral("VIC %1").arg(vic);
}

// One value of the report in words: a timing, an audio format, a VIC, a list.
QString valueWords(const QJsonValue &value)
{
    if (value.isNull() || value.isUndefined())
        return QStringLiteral("none");
    if (value.isBool())
        return value.toBool() ? QStringLiteral("yes") : QStringLiteral("no");
    if (value.isDouble())
        return number(value.toDouble());
    if (value.isString())
        return value.toString();
    if (value.isArray()) {
        QStringList items;
        for (const QJsonValue &item : value.toArray())
            items << valueWords(item);
        return items.isEmpty() ? QStringLiteral("none") : items.join(QStringLiteral(", "));
    }
    const QJsonObject o = value.toObject();
    if (o.contains(QLatin1String("vic")))
        return vicWords(o.value(QLatin1String("vic")).toInt())
            + (o.value(QLatin1String("native")).toBool() ? QStringLiteral(" (native)") : QString());
    if (o.contains(QLatin1String("pixel_clock_mhz")))
        return QStringLiteral("%1x%2%3@%4")
            .arg(o.value(QLatin1String("width")).toInt())
            .arg(o.value(QLatin1String("height")).toInt())
            .arg(o.value(QLatin1String("interlaced")).toBool() ? QStringLiteral("i") : QString())
            .arg(number(o.value(QLatin1String("refresh_hz")).toDouble()));
    if (o.contains(QLatin1String("format"))) {
        QStringList rates;
        for (const QJsonValue &rate : o.value(QLatin1String("rates_khz")).toArray())
            rates << number(rate.toDouble());
        const int channels = o.value(QLatin1String("channels")).toInt();
        QStringList depths;
        for (const QJsonValue &depth : o.value(QLatin1String("bit_depths")).toArray())
            depths << number(depth.toDouble());
        const int kbps = o.value(QLatin1String("max_bitrate_kbps")).toInt();
        return QStringLiteral("%1%2%3%4%5%6")
            .arg(o.value(QLatin1String("format")).toString(),
                channels ? QStringLiteral(" %1ch").arg(channels) : QString(),
                rates.isEmpty() ? QString() : QStringLiteral(" %1 kHz").arg(rates.join(u'/')),
                depths.isEmpty() ? QString() : QStringLiteral(" %1 bit").arg(depths.join(u'/')),
                kbps ? QStringLiteral(" %1 kb/s").arg(kbps) : QString(),
                o.value(QLatin1String("dolby_atmos")).toBool() ? QStringLiteral(" Dolby Atmos")
                                                               : QString());
    }
    if (o.contains(QLatin1String("v_min_hz")))
        return QStringLiteral("%1-%2 Hz, %3-%4 kHz, %5 MHz")
            .arg(o.value(QLatin1String("v_min_hz")).toInt())
            .arg(o.value(QLatin1String("v_max_hz")).toInt())
            .arg(o.value(QLatin1String("h_min_khz")).toInt())
            .arg(o.value(QLatin1String("h_max_khz")).toInt())
            .arg(o.value(QLatin1String("max_pixel_clock_mhz")).toInt());
    return factText(value);
}

// A VIC list: native marks that moved are one change each, not two.
void vicListWords(const QJsonArray &before, const QJsonArray &after, QStringList &lines)
{
    const auto vicsOf = [](const QJsonArray &list) {
        QMap<int, bool> vics;
        for (const QJsonValue &v : list)
            vics.insert(v[QLatin1String("vic")].toInt(), v[QLatin1String("native")].toBool());
        return vics;
    };
    const QMap<int, bool> a = vicsOf(before);
    const QMap<int, bool> b = vicsOf(after);
    for (const QJsonValue &v : after) {
        const int vic = v[QLatin1String("vic")].toInt();
        if (!a.contains(vic))
            lines << valueWords(v) + QStringLiteral(" added");
        else if (a.value(vic) != b.value(vic))
            lines << vicWords(vic)
                    + (b.value(vic) ? QStringLiteral(" marked native")
                                    : QStringLiteral(" no longer native"));
    }
    for (const QJsonValue &v : before) {
        if (!b.contains(v[QLatin1String("vic")].toInt()))
            lines << valueWords(v) + QStringLiteral(" removed");
    }
}

void listWords(const QString &label, const QJsonArray &before, const QJsonArray &after,
    const std::function<QString(const QJsonValue &)> &words, QStringList &lines)
{
    const int start = int(lines.size());
    for (const QJsonValue &item : after) {
        if (!before.contains(item))
            lines << QStringLiteral("%1 %2 added").arg(label, words(item));
    }
    for (const QJsonValue &item : before) {
        if (!after.contains(item))
            lines << QStringLiteral("%1 %2 removed").arg(label, words(item));
    }
    if (lines.size() == start)
        lines << QStringLiteral("%1: order changed").arg(label);
}

void factWords(const EdidFact &fact, QStringList &lines)
{
    static const QRegularExpression extension(QStringLiteral("^extensions\\[(\\d+)\\]\\.?"));
    QString key = fact.fact;
    QString prefix;
    const QRegularExpressionMatch match = extension.match(key);
    if (match.hasMatch()) {
        if (match.captured(1) != QLatin1String("0"))
            prefix = QStringLiteral("Extension %1: ").arg(match.captured(1).toInt() + 1);
        key.remove(0, match.capturedLength());
    }
    key.remove(QRegularExpression(QStringLiteral("\\[\\d+\\]$")));
    const QString label = factLabel(key);
    QStringList found;
    if (fact.before.isArray() && fact.after.isArray()) {
        if (key == QLatin1String("vics")) {
            vicListWords(fact.before.toArray(), fact.after.toArray(), found);
        } else if (key.endsWith(QLatin1String("420_vics"))
            || key.endsWith(QLatin1String("capable_vics"))) {
            listWords(
                label.chopped(4), fact.before.toArray(), fact.after.toArray(),
                [](const QJsonValue &v) { return vicWords(v.toInt()); }, found);
        } else if (key != QLatin1String("size_cm") && key != QLatin1String("deep_color")
            && !key.endsWith(QLatin1String("deep_color"))) {
            listWords(
                label, fact.before.toArray(), fact.after.toArray(),
                [](const QJsonValue &v) { return valueWords(v); }, found);
        }
    }
    if (found.isEmpty()) {
        if (fact.before.isNull() && fact.after.isObject())
            found << label + QStringLiteral(" added");
        else if (fact.before.isObject() && fact.after.isNull())
            found << label + QStringLiteral(" removed");
        else
            found << QStringLiteral("%1: %2 → %3")
                         .arg(label, valueWords(fact.before), valueWords(fact.after));
    }
    for (const QString &line : std::as_const(found))
        lines << prefix + line;
}

// A fact inside one audio descriptor, timing or the range limits belongs to
// the whole of it: one line with the whole value before and after. Returns
// the whole value's path, or an empty string.
QString wholeValuePath(const QString &fact)
{
    static const QRegularExpression whole(
        QStringLiteral("^((?:extensions\\[\\d+\\]\\.)?(?:audio\\[\\d+\\]|detailed\\[\\d+\\]|range|"
                       "preferred))\\."));
    const QRegularExpressionMatch match = whole.match(fact);
    return match.hasMatch() ? match.captured(1) : QString();
}

// The value at a path of the JSON report ("extensions[0].audio[1]").
QJsonValue valueAt(const QJsonObject &report, const QString &path)
{
    static const QRegularExpression part(QStringLiteral("^([^\\[]+)(?:\\[(\\d+)\\])?$"));
    QJsonValue value = report;
    for (const QString &step : path.split(u'.')) {
        const QRegularExpressionMatch match = part.match(step);
        value = value.toObject().value(match.captured(1));
        if (!match.captured(2).isEmpty())
            value = value.toArray().at(match.captured(2).toInt());
    }
    return value;
}

CtaBlock firstCta(const EdidInfo &info)
{
    for (const ExtensionBlock &e : info.extensions) {
        if (e.cta)
            return *e.cta;
    }
    return CtaBlock();
}

} // namespace

QStringList edidChangesInWords(const QByteArray &before, const QByteArray &after)
{
    QStringList lines;
    const EdidInfo infoBefore = decodeEdid(before);
    const EdidInfo infoAfter = decodeEdid(after);
    const QJsonObject reportBefore = edidToJson(infoBefore);
    const QJsonObject reportAfter = edidToJson(infoAfter);
    QStringList worded; // whole values already given a line
    for (const EdidFact &fact : diffEdidJson(reportBefore, reportAfter)) {
        // The speaker allocation gets one line of its own below.
        if (fact.fact.endsWith(QLatin1String(".speakers")))
            continue;
        const QString whole = wholeValuePath(fact.fact);
        if (whole.isEmpty()) {
            factWords(fact, lines);
        } else if (!worded.contains(whole)) {
            worded << whole;
            factWords({ whole, valueAt(reportBefore, whole), valueAt(reportAfter, whole) }, lines);
        }
    }
    const CtaBlock a = firstCta(infoBefore);
    const CtaBlock b = firstCta(infoAfter);
    QStringList added;
    QStringList removed;
    for (const QString &speaker : b.speakers)
        if (!a.speakers.contains(speaker))
            added << speaker;
    for (const QString &speaker : a.speakers)
        if (!b.speakers.contains(speaker))
            removed << speaker;
    if (!added.isEmpty())
        lines
            << QStringLiteral("Speaker allocation: %1 added").arg(added.join(QStringLiteral(", ")));
    if (!removed.isEmpty())
        lines << QStringLiteral("Speaker allocation: %1 removed")
                     .arg(removed.join(QStringLiteral(", ")));
    for (const QString &name : b.dynamicHdr) {
        if (!a.dynamicHdr.contains(name))
            lines << QStringLiteral("%1 added").arg(name);
    }
    for (const QString &name : a.dynamicHdr) {
        if (!b.dynamicHdr.contains(name))
            lines << QStringLiteral("%1 removed").arg(name);
    }
    return lines;
}

} // namespace vortalex
