// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidreport.h"

#include "edidvic.h"

#include <QJsonArray>
#include <algorithm>
#include <cmath>

namespace vortalex {

namespace {

// 60 -> "60", 59.94 -> "59.94", 23.976 -> "23.98".
QString shortNumber(double value)
{
    QString text = QString::number(value, 'f', 2);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    return text;
}

QString joinNumbers(const QList<int> &values, const QString &separator = QStringLiteral(", "))
{
    QStringList parts;
    for (int value : values)
        parts << QString::number(value);
    return parts.join(separator);
}

QString timingText(const DetailedTiming &t)
{
    const auto sign = [](bool positive) { return QString(positive ? u'+' : u'-'); };
    return QStringLiteral("%1x%2%3 %4 Hz, %5 MHz, %6x%7 mm; H: front %8, sync %9 (%10), "
                          "blank %11; V: front %12, sync %13 (%14), blank %15")
        .arg(t.width)
        .arg(t.height)
        .arg(t.interlaced ? QStringLiteral("i") : QString())
        .arg(t.refreshHz, 0, 'f', 3)
        .arg(t.pixelClockMhz, 0, 'f', 2)
        .arg(t.widthMm)
        .arg(t.heightMm)
        .arg(t.hFront)
        .arg(t.hSync)
        .arg(sign(t.hSyncPositive))
        .arg(t.hBlank)
        .arg(t.vFront)
        .arg(t.vSync)
        .arg(sign(t.vSyncPositive))
        .arg(t.vBlank);
}

// Chromaticity coordinates are n/1024; four decimals, cut rather than rounded.
QString coordinate(double value)
{
    return QString::number(std::floor(value * 10000 + 1e-9) / 10000, 'f', 4);
}

} // namespace

QString audioDescriptorText(const AudioDescriptor &sad)
{
    QStringList rates;
    for (double rate : sad.ratesKhz)
        rates << shortNumber(rate);
    QStringList parts;
    if (sad.channels > 0)
        parts << QStringLiteral("%1 channels").arg(sad.channels);
    if (sad.mpeghLevel == 0)
        parts << QStringLiteral("level unspecified");
    else if (sad.mpeghLevel > 0)
        parts << (sad.mpeghLevel <= 5 ? QStringLiteral("level %1")
                                      : QStringLiteral("reserved level %1"))
                     .arg(sad.mpeghLevel);
    if (!rates.isEmpty())
        parts << QStringLiteral("%1 kHz").arg(rates.join(u' '));
    QString text = parts.join(QStringLiteral("; "));
    if (!sad.bitDepths.isEmpty())
        text += QStringLiteral("; %1 bit").arg(joinNumbers(sad.bitDepths, QStringLiteral(" ")));
    if (sad.maxBitrateKbps > 0)
        text += QStringLiteral("; up to %1 kb/s").arg(sad.maxBitrateKbps);
    if ((sad.formatCode == 10 || sad.formatCode == 12) && sad.formatValue & 1)
        text += QStringLiteral("; Dolby Atmos");
    return text;
}

namespace {

QString latencyText(int ms)
{
    return ms == -2 ? QStringLiteral("not supported") : QStringLiteral("%1 ms").arg(ms);
}

QString luminance(const std::optional<double> &value)
{
    return value ? QStringLiteral("%1 cd/m²").arg(*value, 0, 'f', 3) : QStringLiteral("-");
}

ReportSection baseSection(const EdidInfo &info)
{
    const BaseBlock &b = *info.base;
    ReportSection s { QStringLiteral("Block 0: base block"), {} };
    auto add = [&s](const QString &label, const QString &value, bool problem = false) {
        s.lines << ReportLine { label, value, problem };
    };
    add(QStringLiteral("Header"), info.headerOk ? QStringLiteral("ok") : QStringLiteral("bad"),
        !info.headerOk);
    const bool checksumOk = !info.checksumsOk.isEmpty() && info.checksumsOk.first();
    add(QStringLiteral("Checksum"), checksumOk ? QStringLiteral("ok") : QStringLiteral("bad"),
        !checksumOk);
    add(QStringLiteral("Manufacturer"), b.manufacturer);
    add(QStringLiteral("Product code"), QString::number(b.productCode));
    add(QStringLiteral("Serial number"), QString::number(b.serialNumber));
    if (b.modelYear)
        add(QStringLiteral("Model year"), QString::number(b.modelYear));
    else if (b.week > 0 && b.week <= 54)
        add(QStringLiteral("Made in"), QStringLiteral("week %1 of %2").arg(b.week).arg(b.year));
    else
        add(QStringLiteral("Made in"), QString::number(b.year));
    add(QStringLiteral("EDID version"), QStringLiteral("%1.%2").arg(b.version).arg(b.revision));
    QString input = b.digital ? QStringLiteral("digital") : QStringLiteral("analogue");
    if (b.bitDepth)
        input += QStringLiteral(", %1 bits per colour").arg(b.bitDepth);
    if (!b.interface.isEmpty())
        input += QStringLiteral(", ") + b.interface;
    add(QStringLiteral("Input"), input);
    add(QStringLiteral("Screen size"),
        b.widthCm && b.heightCm ? QStringLiteral("%1 x %2 cm").arg(b.widthCm).arg(b.heightCm)
                                : QStringLiteral("not given"));
    if (!b.aspectRatio.isEmpty())
        add(QStringLiteral("Aspect ratio"), b.aspectRatio);
    add(QStringLiteral("Gamma"),
        b.gamma > 0 ? QString::number(b.gamma, 'f', 2) : QStringLiteral("not given"));
    QStringList features;
    if (b.dpmsStandby)
        features << QStringLiteral("DPMS standby");
    if (b.dpmsSuspend)
        features << QStringLiteral("DPMS suspend");
    if (b.dpmsActiveOff)
        features << QStringLiteral("DPMS off");
    features << b.colourFormats;
    if (b.srgbDefault)
        features << QStringLiteral("sRGB default");
    if (b.preferredIsNative)
        features << QStringLiteral("preferred timing is native");
    if (b.continuousFrequency)
        features << QStringLiteral("continuous frequency");
    add(QStringLiteral("Features"), features.join(QStringLiteral(", ")));
    static const char *const colours[4] = { "Red", "Green", "Blue", "White" };
    for (int i = 0; i < 4; ++i)
        add(QLatin1String(colours[i]),
            QStringLiteral("x %1, y %2")
                .arg(coordinate(b.chromaticity[2 * i]), coordinate(b.chromaticity[2 * i + 1])));
    add(QStringLiteral("Established timings"),
        b.establishedTimings.isEmpty() ? QStringLiteral("none")
                                       : b.establishedTimings.join(QStringLiteral(", ")));
    QStringList standard;
    for (const StandardTiming &t : b.standardTimings)
        standard << QStringLiteral("%1x%2@%3 %4")
                        .arg(t.width)
                        .arg(t.height)
                        .arg(t.refreshHz)
                        .arg(t.aspect);
    add(QStringLiteral("Standard timings"),
        standard.isEmpty() ? QStringLiteral("none") : standard.join(QStringLiteral(", ")));
    for (int i = 0; i < b.detailed.size(); ++i)
        add(i == 0 ? QStringLiteral("Preferred timing")
                   : QStringLiteral("Detailed timing %1").arg(i + 1),
            timingText(b.detailed.at(i)));
    if (!b.name.isEmpty())
        add(QStringLiteral("Name"), b.name);
    if (!b.serialString.isEmpty())
        add(QStringLiteral("Serial string"), b.serialString);
    for (const QString &text : b.texts)
        add(QStringLiteral("Text"), text);
    if (b.range)
        add(QStringLiteral("Range limits"),
            QStringLiteral("%1-%2 Hz V, %3-%4 kHz H, up to %5 MHz")
                .arg(b.range->vMinHz)
                .arg(b.range->vMaxHz)
                .arg(b.range->hMinKhz)
                .arg(b.range->hMaxKhz)
                .arg(b.range->maxPixelClockMhz));
    if (!b.otherDescriptors.isEmpty())
        add(QStringLiteral("Other descriptors"), b.otherDescriptors.join(QStringLiteral(", ")));
    add(QStringLiteral("Extension blocks"), QString::number(b.extensionCount));
    return s;
}

void addCtaDataLines(const CtaBlock &c, QList<ReportLine> &lines, const QString &blocksLabel);

void addCtaLines(const CtaBlock &c, QList<ReportLine> &lines)
{
    auto add = [&lines](const QString &label, const QString &value) {
        lines << ReportLine { label, value, false };
    };
    QStringList flags;
    if (c.underscan)
        flags << QStringLiteral("underscans IT formats");
    if (c.basicAudio)
        flags << QStringLiteral("basic audio");
    if (c.ycbcr444)
        flags << QStringLiteral("YCbCr 4:4:4");
    if (c.ycbcr422)
        flags << QStringLiteral("YCbCr 4:2:2");
    add(QStringLiteral("Supports"),
        flags.isEmpty() ? QStringLiteral("none") : flags.join(QStringLiteral(", ")));
    add(QStringLiteral("Native detailed timings"), QString::number(c.nativeDetailedCount));
    addCtaDataLines(c, lines, QStringLiteral("Data blocks"));
    for (int i = 0; i < c.detailed.size(); ++i)
        add(QStringLiteral("Detailed timing %1").arg(i + 1), timingText(c.detailed.at(i)));
}

// The data block collection: in a CTA-861 extension, or carried by DisplayID.
void addCtaDataLines(const CtaBlock &c, QList<ReportLine> &lines, const QString &blocksLabel)
{
    auto add = [&lines](const QString &label, const QString &value) {
        lines << ReportLine { label, value, false };
    };
    QStringList blocks;
    for (const DataBlockSummary &block : c.blocks)
        blocks << block.name;
    add(blocksLabel, blocks.isEmpty() ? QStringLiteral("none") : blocks.join(QStringLiteral("; ")));
    for (const VideoDescriptor &v : c.vics)
        add(QStringLiteral("VIC %1").arg(v.vic),
            vicName(v.vic) + (v.native ? QStringLiteral(" (native)") : QString()));
    for (int vic : c.ycbcr420OnlyVics)
        add(QStringLiteral("VIC %1").arg(vic), vicName(vic) + QStringLiteral(" (4:2:0 only)"));
    if (!c.ycbcr420CapableVics.isEmpty())
        add(QStringLiteral("YCbCr 4:2:0 also"), joinNumbers(c.ycbcr420CapableVics));
    for (const AudioDescriptor &sad : c.audio)
        add(sad.format, audioDescriptorText(sad));
    if (!c.speakers.isEmpty())
        add(QStringLiteral("Speakers"), c.speakers.join(QStringLiteral(", ")));
    if (c.hdmi) {
        const HdmiBlock &h = *c.hdmi;
        add(QStringLiteral("Physical address"), h.physicalAddress);
        QStringList caps;
        if (h.supportsAi)
            caps << QStringLiteral("AI");
        for (int depth : h.deepColor)
            caps << QStringLiteral("%1 bit").arg(depth);
        if (h.deepColorY444)
            caps << QStringLiteral("deep colour Y444");
        if (h.dualDvi)
            caps << QStringLiteral("dual-link DVI");
        if (!caps.isEmpty())
            add(QStringLiteral("HDMI"), caps.join(QStringLiteral(", ")));
        if (h.maxTmdsMhz)
            add(QStringLiteral("Max TMDS clock"), QStringLiteral("%1 MHz").arg(h.maxTmdsMhz));
        if (h.videoLatencyMs != -1)
            add(QStringLiteral("Latency"),
                QStringLiteral("video %1, audio %2")
                    .arg(latencyText(h.videoLatencyMs), latencyText(h.audioLatencyMs)));
        if (h.interlacedVideoLatencyMs != -1)
            add(QStringLiteral("Interlaced latency"),
                QStringLiteral("video %1, audio %2")
                    .arg(latencyText(h.interlacedVideoLatencyMs),
                        latencyText(h.interlacedAudioLatencyMs)));
    }
    if (c.hdmiForum) {
        const HdmiForumBlock &f = *c.hdmiForum;
        QStringList caps { QStringLiteral("version %1").arg(f.version) };
        if (f.maxTmdsMhz)
            caps << QStringLiteral("max TMDS character rate %1 MHz").arg(f.maxTmdsMhz);
        if (f.scdc)
            caps << QStringLiteral("SCDC");
        if (f.readRequest)
            caps << QStringLiteral("read request");
        if (f.scrambling340)
            caps << QStringLiteral("scrambling below 340 Mcsc");
        for (int depth : f.deepColor420)
            caps << QStringLiteral("4:2:0 %1 bit").arg(depth);
        caps << (f.maxFrlGbps ? QStringLiteral("FRL %1 Gbps").arg(f.maxFrlGbps)
                              : QStringLiteral("no FRL"));
        if (f.allm)
            caps << QStringLiteral("ALLM");
        if (f.dsc)
            caps << QStringLiteral("DSC 1.2");
        add(QStringLiteral("HDMI Forum"), caps.join(QStringLiteral(", ")));
    }
    if (!c.videoCapability.isEmpty())
        add(QStringLiteral("Video capability"), c.videoCapability.join(QStringLiteral(", ")));
    if (!c.colorimetry.isEmpty())
        add(QStringLiteral("Colorimetry"), c.colorimetry.join(QStringLiteral(", ")));
    if (c.hdrStatic) {
        const HdrStaticBlock &h = *c.hdrStatic;
        add(QStringLiteral("HDR EOTFs"), h.eotfs.join(QStringLiteral(", ")));
        add(QStringLiteral("HDR metadata types"), joinNumbers(h.metadataTypes));
        add(QStringLiteral("HDR luminance"),
            QStringLiteral("max %1, frame average %2, min %3")
                .arg(luminance(h.maxLuminance), luminance(h.maxFrameAvg),
                    luminance(h.minLuminance)));
    }
}

void addDisplayIdLines(const DisplayIdBlock &d, QList<ReportLine> &lines)
{
    auto add = [&lines](const QString &label, const QString &value, bool problem = false) {
        lines << ReportLine { label, value, problem };
    };
    add(QStringLiteral("Section checksum"),
        d.checksumOk ? QStringLiteral("ok") : QStringLiteral("bad"), !d.checksumOk);
    add(d.version >= 2 ? QStringLiteral("Primary use case") : QStringLiteral("Product type"),
        d.productType);
    QStringList blocks;
    for (const DisplayIdDataBlock &block : d.blocks)
        blocks << (block.timingCount >= 0
                ? QStringLiteral("%1 (%2 timings)").arg(block.name).arg(block.timingCount)
                : block.name);
    add(QStringLiteral("Data blocks"),
        blocks.isEmpty() ? QStringLiteral("none") : blocks.join(QStringLiteral("; ")));
    if (d.product) {
        const DisplayIdProduct &p = *d.product;
        QStringList parts { p.manufacturer, QStringLiteral("product code %1").arg(p.productCode) };
        if (!p.name.isEmpty())
            parts << QStringLiteral("\"%1\"").arg(p.name);
        parts << (p.week ? QStringLiteral("week %1 of %2").arg(p.week).arg(p.year)
                         : QString::number(p.year));
        add(QStringLiteral("Product"), parts.join(QStringLiteral(", ")));
    }
    if (d.parameters)
        add(QStringLiteral("Display"),
            QStringLiteral("%1x%2 pixels, %3 x %4 mm")
                .arg(d.parameters->width)
                .arg(d.parameters->height)
                .arg(d.parameters->widthMm, 0, 'f', 1)
                .arg(d.parameters->heightMm, 0, 'f', 1));
    if (d.tiles)
        add(QStringLiteral("Tiles"),
            QStringLiteral("%1 x %2 tiles of %3x%4, this one at %5, %6")
                .arg(d.tiles->horizontal)
                .arg(d.tiles->vertical)
                .arg(d.tiles->width)
                .arg(d.tiles->height)
                .arg(d.tiles->column)
                .arg(d.tiles->row));
    for (int i = 0; i < d.detailed.size(); ++i)
        add(QStringLiteral("Detailed timing %1").arg(i + 1),
            timingText(d.detailed.at(i).timing)
                + (d.detailed.at(i).preferred ? QStringLiteral(" (preferred)") : QString()));
    if (d.cta)
        addCtaDataLines(*d.cta, lines, QStringLiteral("CTA-861 data blocks"));
}

// Extension block tags (VESA E-EDID 1.4, 2.2.4), as edid-decode names them.
QString extensionName(int tag)
{
    switch (tag) {
    case 0x10:
        return QStringLiteral("Video Timing Extension Block");
    case 0x20:
        return QStringLiteral("EDID 2.0 Extension Block");
    case 0x40:
        return QStringLiteral("Display Information Extension Block");
    case 0x50:
        return QStringLiteral("Localized String Extension Block");
    case 0x60:
        return QStringLiteral("Microdisplay Interface Extension Block");
    case 0xF0:
        return QStringLiteral("Block Map Extension Block");
    case 0xFF:
        return QStringLiteral("Manufacturer-Specific Extension Block");
    default:
        return QStringLiteral("Unknown EDID Extension Block");
    }
}

ReportSection extensionSection(const EdidInfo &info, const ExtensionBlock &e)
{
    ReportSection s;
    const bool checksumOk = e.index < info.checksumsOk.size() && info.checksumsOk.at(e.index);
    if (e.cta)
        s.title = QStringLiteral("Block %1: CTA-861 extension, revision %2")
                      .arg(e.index)
                      .arg(e.cta->revision);
    else if (e.displayId)
        s.title = QStringLiteral("Block %1: DisplayID %2.%3 extension")
                      .arg(e.index)
                      .arg(e.displayId->version)
                      .arg(e.displayId->revision);
    else
        s.title = QStringLiteral("Block %1: %2 (tag 0x%3), not decoded")
                      .arg(e.index)
                      .arg(extensionName(e.tag))
                      .arg(QString::number(e.tag, 16).toUpper().rightJustified(2, u'0'));
    s.lines << ReportLine { QStringLiteral("Checksum"),
        checksumOk ? QStringLiteral("ok") : QStringLiteral("bad"), !checksumOk };
    if (e.cta)
        addCtaLines(*e.cta, s.lines);
    if (e.displayId)
        addDisplayIdLines(*e.displayId, s.lines);
    return s;
}

QString refreshShort(const DetailedTiming &t)
{
    return QStringLiteral("%1x%2%3@%4")
        .arg(t.width)
        .arg(t.height)
        .arg(t.interlaced ? QStringLiteral("i") : QString())
        .arg(shortNumber(t.refreshHz));
}

// Rates and luminances to three decimals, as edid-decode prints them.
double rounded(double value)
{
    return std::round(value * 1000) / 1000;
}

QJsonValue optionalNumber(const std::optional<double> &value)
{
    return value ? QJsonValue(rounded(*value)) : QJsonValue();
}

QJsonValue nonZero(int value)
{
    return value ? QJsonValue(value) : QJsonValue();
}

QJsonValue nonEmpty(const QString &value)
{
    return value.isEmpty() ? QJsonValue() : QJsonValue(value);
}

QJsonArray intArray(const QList<int> &values)
{
    QJsonArray array;
    for (int value : values)
        array << value;
    return array;
}

QJsonObject timingJson(const DetailedTiming &t)
{
    return QJsonObject { { QStringLiteral("pixel_clock_mhz"), t.pixelClockMhz },
        { QStringLiteral("width"), t.width }, { QStringLiteral("height"), t.height },
        { QStringLiteral("interlaced"), t.interlaced },
        { QStringLiteral("refresh_hz"), rounded(t.refreshHz) } };
}

QJsonArray timingsJson(const QList<DetailedTiming> &timings)
{
    QJsonArray array;
    for (const DetailedTiming &t : timings)
        array << timingJson(t);
    return array;
}

QJsonObject ctaJson(const ExtensionBlock &e)
{
    const CtaBlock &c = *e.cta;
    QJsonArray vics;
    for (const VideoDescriptor &v : c.vics)
        vics << QJsonObject { { QStringLiteral("vic"), v.vic },
            { QStringLiteral("native"), v.native } };
    QJsonArray audio;
    for (const AudioDescriptor &sad : c.audio) {
        QJsonArray rates;
        for (double rate : sad.ratesKhz)
            rates << rate;
        QJsonObject entry { { QStringLiteral("format"), sad.format },
            { QStringLiteral("channels"), nonZero(sad.channels) },
            { QStringLiteral("rates_khz"), rates } };
        // What else the descriptor gives, for the formats that give it.
        if (!sad.bitDepths.isEmpty())
            entry.insert(QStringLiteral("bit_depths"), intArray(sad.bitDepths));
        if (sad.maxBitrateKbps)
            entry.insert(QStringLiteral("max_bitrate_kbps"), sad.maxBitrateKbps);
        if (sad.formatCode == 10 || sad.formatCode == 12)
            entry.insert(QStringLiteral("dolby_atmos"), bool(sad.formatValue & 1));
        audio << entry;
    }
    QJsonValue hdmi;
    if (c.hdmi)
        hdmi = QJsonObject { { QStringLiteral("physical_address"),
                                 nonEmpty(c.hdmi->physicalAddress) },
            { QStringLiteral("max_tmds_mhz"), nonZero(c.hdmi->maxTmdsMhz) },
            { QStringLiteral("deep_color"), intArray(c.hdmi->deepColor) } };
    QJsonValue forum;
    if (c.hdmiForum)
        forum = QJsonObject { { QStringLiteral("version"), c.hdmiForum->version },
            { QStringLiteral("max_tmds_mhz"), nonZero(c.hdmiForum->maxTmdsMhz) },
            { QStringLiteral("scdc"), c.hdmiForum->scdc },
            { QStringLiteral("max_frl_gbps"), c.hdmiForum->maxFrlGbps } };
    QJsonValue hdr;
    if (c.hdrStatic)
        hdr = QJsonObject { { QStringLiteral("eotfs"),
                                QJsonArray::fromStringList(c.hdrStatic->eotfs) },
            { QStringLiteral("max_luminance"), optionalNumber(c.hdrStatic->maxLuminance) },
            { QStringLiteral("max_frame_avg"), optionalNumber(c.hdrStatic->maxFrameAvg) },
            { QStringLiteral("min_luminance"), optionalNumber(c.hdrStatic->minLuminance) } };
    return QJsonObject { { QStringLiteral("tag"), e.tag },
        { QStringLiteral("revision"), c.revision }, { QStringLiteral("vics"), vics },
        { QStringLiteral("ycbcr420_vics"), intArray(c.ycbcr420OnlyVics) },
        { QStringLiteral("ycbcr420_capable_vics"), intArray(c.ycbcr420CapableVics) },
        { QStringLiteral("audio"), audio },
        { QStringLiteral("speakers"), QJsonArray::fromStringList(c.speakers) },
        { QStringLiteral("hdmi"), hdmi }, { QStringLiteral("hdmi_forum"), forum },
        { QStringLiteral("colorimetry"), QJsonArray::fromStringList(c.colorimetry) },
        { QStringLiteral("hdr_static"), hdr },
        { QStringLiteral("detailed"), timingsJson(c.detailed) } };
}

QJsonObject displayIdJson(const ExtensionBlock &e)
{
    const DisplayIdBlock &d = *e.displayId;
    QJsonValue product;
    if (d.product)
        product = QJsonObject { { QStringLiteral("manufacturer"), d.product->manufacturer },
            { QStringLiteral("product_code"), d.product->productCode },
            { QStringLiteral("name"), nonEmpty(d.product->name) } };
    QJsonArray detailed;
    for (const DisplayIdTiming &t : d.detailed)
        detailed << timingJson(t.timing);
    return QJsonObject { { QStringLiteral("tag"), e.tag },
        { QStringLiteral("version"), QStringLiteral("%1.%2").arg(d.version).arg(d.revision) },
        { QStringLiteral("product"), product }, { QStringLiteral("detailed"), detailed } };
}

} // namespace

QString edidSummary(const EdidInfo &info)
{
    QStringList parts;
    if (!info.base)
        return QStringLiteral("No EDID table");
    const BaseBlock &b = *info.base;
    if (!b.name.isEmpty())
        parts << b.name;
    parts << b.manufacturer;
    parts << QString::number(b.modelYear ? b.modelYear : b.year);
    if (const auto preferred = preferredTiming(info))
        parts << refreshShort(*preferred);

    const CtaBlock *hdmiBlock = nullptr;
    const CtaBlock *forumBlock = nullptr;
    QStringList hdr;
    QStringList audio;
    QList<int> channels;
    for (const ExtensionBlock &e : info.extensions) {
        // DisplayID carries CTA-861 data blocks too (HDR, audio).
        const std::optional<CtaBlock> &cta = e.cta || !e.displayId ? e.cta : e.displayId->cta;
        if (!cta)
            continue;
        if (cta->hdmi && !hdmiBlock)
            hdmiBlock = &*cta;
        if (cta->hdmiForum && !forumBlock)
            forumBlock = &*cta;
        if (cta->hdrStatic) {
            if (cta->hdrStatic->eotfs.contains(QLatin1String("PQ"))
                && !hdr.contains(QLatin1String("HDR10")))
                hdr << QStringLiteral("HDR10");
            if (cta->hdrStatic->eotfs.contains(QLatin1String("HLG"))
                && !hdr.contains(QLatin1String("HLG")))
                hdr << QStringLiteral("HLG");
        }
        for (const QString &name : cta->dynamicHdr) {
            if (!hdr.contains(name))
                hdr << name;
        }
        for (const AudioDescriptor &sad : cta->audio) {
            const int at = int(audio.indexOf(sad.format));
            if (at < 0) {
                audio << sad.format;
                channels << sad.channels;
            } else {
                channels[at] = std::max(channels[at], sad.channels);
            }
        }
    }
    if (forumBlock) {
        const HdmiForumBlock &f = *forumBlock->hdmiForum;
        const int tmds = std::max(f.maxTmdsMhz, hdmiBlock ? hdmiBlock->hdmi->maxTmdsMhz : 0);
        parts << QStringLiteral("HDMI %1 %2 MHz")
                     .arg(f.maxFrlGbps ? QStringLiteral("2.1") : QStringLiteral("2.0"))
                     .arg(tmds);
    } else if (hdmiBlock) {
        const int tmds = hdmiBlock->hdmi->maxTmdsMhz;
        parts << (tmds ? QStringLiteral("HDMI %1 MHz").arg(tmds) : QStringLiteral("HDMI"));
    }
    if (!hdr.isEmpty())
        parts << hdr.join(QStringLiteral(", "));
    QStringList audioParts;
    for (int i = 0; i < audio.size(); ++i)
        audioParts << (channels.at(i)
                ? QStringLiteral("%1 %2ch").arg(audio.at(i)).arg(channels.at(i))
                : audio.at(i));
    if (!audioParts.isEmpty())
        parts << audioParts.join(QStringLiteral(", "));
    return parts.join(QStringLiteral(" · "));
}

QList<ReportSection> edidReportSections(const EdidInfo &info)
{
    QList<ReportSection> sections;
    if (info.base)
        sections << baseSection(info);
    for (const ExtensionBlock &e : info.extensions)
        sections << extensionSection(info, e);
    ReportSection problems { QStringLiteral("Problems"), {} };
    for (const QString &problem : info.problems)
        problems.lines << ReportLine { QString(), problem, true };
    if (problems.lines.isEmpty())
        problems.lines << ReportLine { QString(), QStringLiteral("none"), false };
    sections << problems;
    return sections;
}

QString edidReportText(const EdidInfo &info)
{
    QString text = edidSummary(info) + u'\n';
    for (const ReportSection &section : edidReportSections(info)) {
        text += u'\n' + section.title + u'\n';
        for (const ReportLine &line : section.lines)
            text += line.label.isEmpty() ? QStringLiteral("  %1\n").arg(line.value)
                                         : QStringLiteral("  %1: %2\n").arg(line.label, line.value);
    }
    return text;
}

QJsonObject edidToJson(const EdidInfo &info)
{
    QJsonObject json;
    json[QStringLiteral("header_ok")] = info.headerOk;
    QJsonArray checksums;
    for (bool ok : info.checksumsOk)
        checksums << ok;
    json[QStringLiteral("checksums_ok")] = checksums;
    const std::optional<BaseBlock> &b = info.base;
    json[QStringLiteral("manufacturer")] = b ? QJsonValue(b->manufacturer) : QJsonValue();
    json[QStringLiteral("product_code")] = b ? QJsonValue(b->productCode) : QJsonValue();
    json[QStringLiteral("serial_number")] = b ? QJsonValue(qint64(b->serialNumber)) : QJsonValue();
    json[QStringLiteral("week")] = b ? nonZero(b->week) : QJsonValue();
    json[QStringLiteral("year")] = b ? nonZero(b->year) : QJsonValue();
    json[QStringLiteral("model_year")] = b ? nonZero(b->modelYear) : QJsonValue();
    json[QStringLiteral("version")]
        = b ? QJsonValue(QStringLiteral("%1.%2").arg(b->version).arg(b->revision)) : QJsonValue();
    json[QStringLiteral("name")] = b ? nonEmpty(b->name) : QJsonValue();
    json[QStringLiteral("serial_string")] = b ? nonEmpty(b->serialString) : QJsonValue();
    json[QStringLiteral("size_cm")] = b && b->widthCm && b->heightCm
        ? QJsonValue(QJsonArray { b->widthCm, b->heightCm })
        : QJsonValue();
    json[QStringLiteral("aspect_ratio")] = b ? nonEmpty(b->aspectRatio) : QJsonValue();
    const auto preferred = preferredTiming(info);
    json[QStringLiteral("preferred")]
        = preferred ? QJsonValue(timingJson(*preferred)) : QJsonValue();
    json[QStringLiteral("detailed")] = b ? timingsJson(b->detailed) : QJsonArray();
    json[QStringLiteral("range")] = b && b->range
        ? QJsonValue(QJsonObject { { QStringLiteral("v_min_hz"), b->range->vMinHz },
            { QStringLiteral("v_max_hz"), b->range->vMaxHz },
            { QStringLiteral("h_min_khz"), b->range->hMinKhz },
            { QStringLiteral("h_max_khz"), b->range->hMaxKhz },
            { QStringLiteral("max_pixel_clock_mhz"), b->range->maxPixelClockMhz } })
        : QJsonValue();
    QJsonArray extensions;
    for (const ExtensionBlock &e : info.extensions)
        extensions << (e.cta  ? ctaJson(e)
                : e.displayId ? displayIdJson(e)
                              : QJsonObject { { QStringLiteral("tag"), e.tag } });
    json[QStringLiteral("extensions")] = extensions;
    json[QStringLiteral("problems")] = QJsonArray::fromStringList(info.problems);
    return json;
}

} // namespace vortalex
