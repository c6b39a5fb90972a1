// SPDX-License-Identifier: GPL-3.0-or-later
// The EDID decoder: hand-built corner cases with exact results, agreement
// with edid-decode on every table of tests/data, and vortalex-edid on bad input.
#include "edid/edidinfo.h"
#include "edid/edidreport.h"
#include "edid/edidchecksum.h"
#include "edid/edidhextext.h"
#include "edid/edidvic.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <unistd.h>

using namespace vortalex;

namespace {

QByteArray readData(const QString &name)
{
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void fixChecksums(QByteArray &bytes)
{
    for (int block = 0; block + kEdidBlockSize <= bytes.size(); block += kEdidBlockSize) {
        auto *data = reinterpret_cast<std::uint8_t *>(bytes.data()) + block;
        data[kEdidBlockSize - 1] = edidChecksum(data);
    }
}

// sim_tv_a.bin with `byte` set to `value` and, unless told otherwise, the
// checksums made right again.
QByteArray tvA(int byte = -1, int value = 0, bool fix = true)
{
    QByteArray bytes = readData(QStringLiteral("sim_tv_a.bin"));
    if (byte >= 0)
        bytes[byte] = char(value);
    if (fix)
        fixChecksums(bytes);
    return bytes;
}

// A CTA-861 extension block holding the data blocks `hex`.
QByteArray ctaBlock(const char *hex)
{
    const QByteArray data = QByteArray::fromHex(hex);
    QByteArray block(kEdidBlockSize, '\0');
    block[0] = 0x02;
    block[1] = 0x03;
    block[2] = char(4 + data.size());
    block.replace(4, data.size(), data);
    return block;
}

// A DisplayID section of `version` (0x12, 0x20) holding the data blocks
// `data`, with its section checksum.
QByteArray displayIdBlock(int version, const QByteArray &data)
{
    QByteArray block(kEdidBlockSize, '\0');
    block[0] = 0x70;
    block[1] = char(version);
    block[2] = char(data.size());
    block.replace(5, data.size(), data);
    std::uint8_t sum = 0;
    for (int i = 1; i < 5 + data.size(); ++i)
        sum += std::uint8_t(block[i]);
    block[5 + data.size()] = char(-sum);
    return block;
}

// TV A's base block followed by `extension`, checksums made right.
QByteArray withExtension(const QByteArray &extension)
{
    QByteArray bytes = tvA().left(kEdidBlockSize) + extension;
    fixChecksums(bytes);
    return bytes;
}

// A product identification block (DisplayID 1.x) and a type I timing of
// 1920x2160 at 143.839 Hz, from a tiled monitor's table.
const QByteArray kProduct = QByteArray::fromHex("000012414352b106010000000a1606") + "XB271H";
const QByteArray kTypeI = QByteArray::fromHex("030014e0f600847f0759002f801f006f08190001000300");

QJsonValue atPath(QJsonValue value, const QString &path)
{
    for (const QString &key : path.split(u'/', Qt::SkipEmptyParts)) {
        bool isIndex = false;
        const int index = key.toInt(&isIndex);
        value = isIndex ? value.toArray().at(index) : value.toObject().value(key);
    }
    return value;
}

QString three(double value)
{
    return QString::number(value, 'f', 3);
}

// Facts grouped by kind ("vic", "audio", ...), each kind in table order:
// edid-decode prints data blocks in the order the table holds them.
QStringList sortedByKind(QStringList facts)
{
    std::stable_sort(facts.begin(), facts.end(), [](const QString &a, const QString &b) {
        return a.section(u':', 0, 0) < b.section(u':', 0, 0);
    });
    return facts;
}

// Our decoder's facts, one "key: value" line each.
QStringList ourFacts(const EdidInfo &info)
{
    const BaseBlock &b = *info.base;
    QStringList facts { QStringLiteral("manufacturer: ") + b.manufacturer,
        QStringLiteral("model: %1").arg(b.productCode) };
    if (b.modelYear)
        facts << QStringLiteral("model year: %1").arg(b.modelYear);
    else if (b.week)
        facts << QStringLiteral("made: week %1 of %2").arg(b.week).arg(b.year);
    else
        facts << QStringLiteral("made: %1").arg(b.year);
    if (!b.name.isEmpty())
        facts << QStringLiteral("name: ") + b.name;
    // edid-decode's "DTD 1" is the first of the base block or a CTA block.
    const bool dtdFirst = !b.detailed.isEmpty()
        || std::any_of(info.extensions.begin(), info.extensions.end(),
            [](const ExtensionBlock &e) { return e.cta && !e.cta->detailed.isEmpty(); });
    if (const auto t = preferredTiming(info); t && dtdFirst)
        facts << QStringLiteral("preferred: %1x%2%3 %4 Hz %5 MHz")
                     .arg(t->width)
                     .arg(t->height)
                     .arg(t->interlaced ? QStringLiteral("i") : QString())
                     .arg(three(t->refreshHz), three(t->pixelClockMhz));
    for (const ExtensionBlock &e : info.extensions) {
        if (const auto &d = e.displayId) {
            if (d->product)
                facts << QStringLiteral("displayid product: %1 %2%3")
                             .arg(d->product->manufacturer)
                             .arg(d->product->productCode)
                             .arg(d->product->name.isEmpty() ? QString() : u' ' + d->product->name);
            for (const DisplayIdTiming &t : d->detailed)
                facts << QStringLiteral("displayid: %1x%2%3 %4 Hz %5 MHz")
                             .arg(t.timing.width)
                             .arg(t.timing.height)
                             .arg(t.timing.interlaced ? QStringLiteral("i") : QString())
                             .arg(three(t.timing.refreshHz), three(t.timing.pixelClockMhz));
        }
        const std::optional<CtaBlock> &cta = e.cta || !e.displayId ? e.cta : e.displayId->cta;
        if (!cta)
            continue;
        for (const VideoDescriptor &v : cta->vics) {
            const VicFormat *f = vicFormat(v.vic);
            facts << QStringLiteral("vic: %1 %2x%3%4 %5 Hz %6%7")
                         .arg(v.vic)
                         .arg(f ? f->width : 0)
                         .arg(f ? f->height : 0)
                         .arg(f && f->interlaced ? QStringLiteral("i") : QString())
                         .arg(f ? f->refreshHz : 0, 0, 'f', 2)
                         .arg(QLatin1String(f ? f->aspect : ""))
                         .arg(v.native ? QStringLiteral(" native") : QString());
        }
        for (const AudioDescriptor &a : cta->audio) {
            if (a.formatCode == 0)
                continue;
            QStringList parts { a.format };
            if (a.channels)
                parts << QStringLiteral("%1ch").arg(a.channels);
            if (a.mpeghLevel >= 0)
                parts << QStringLiteral("level %1").arg(a.mpeghLevel);
            for (double rate : a.ratesKhz)
                parts << QString::number(rate);
            facts << QStringLiteral("audio: ") + parts.join(u' ');
        }
        for (const QString &name : cta->colorimetry)
            facts << QStringLiteral("colorimetry: ") + name;
        for (int vic : cta->ycbcr420OnlyVics)
            facts << QStringLiteral("420 only: %1").arg(vic);
        for (int vic : cta->ycbcr420CapableVics)
            facts << QStringLiteral("420 capable: %1").arg(vic);
        if (cta->hdmi) {
            facts << QStringLiteral("physical address: ") + cta->hdmi->physicalAddress;
            if (cta->hdmi->maxTmdsMhz)
                facts << QStringLiteral("tmds: %1").arg(cta->hdmi->maxTmdsMhz);
        }
        if (cta->hdmiForum && cta->hdmiForum->maxTmdsMhz)
            facts << QStringLiteral("tmds: %1").arg(cta->hdmiForum->maxTmdsMhz);
        if (const auto &h = cta->hdrStatic) {
            for (const auto &value : { h->maxLuminance, h->maxFrameAvg, h->minLuminance }) {
                if (value)
                    facts << QStringLiteral("luminance: ") + three(*value);
            }
        }
    }
    const QRegularExpression checksum(QStringLiteral("checksum (0x..), should be (0x..)"));
    for (const QString &problem : info.problems) {
        if (const auto m = checksum.match(problem); m.hasMatch())
            facts << QStringLiteral("checksum: %1 should be %2").arg(m.captured(1), m.captured(2));
    }
    return sortedByKind(facts);
}

// The same facts read from edid-decode's report.
QStringList referenceFacts(const QString &report)
{
    static const QHash<QString, QString> audioNames {
        { QStringLiteral("Linear PCM"), QStringLiteral("LPCM") },
        { QStringLiteral("Enhanced AC-3 (DD+)"), QStringLiteral("E-AC-3") },
        { QStringLiteral("Dolby Digital+"), QStringLiteral("E-AC-3") },
        { QStringLiteral("MPEG 1 (Layers 1 & 2)"), QStringLiteral("MPEG-1") },
        { QStringLiteral("MPEG 1 Layer 3 (MP3)"), QStringLiteral("MP3") },
        { QStringLiteral("MPEG2 (multichannel)"), QStringLiteral("MPEG-2") },
    };
    const QRegularExpression displayIdDtd(
        QStringLiteral(R"(^DTD:\s+(\d+x\d+i?)\s+([\d.]+) Hz.*?([\d.]+) MHz)"));
    const QRegularExpression vicNumber(QStringLiteral(R"(^VIC\s+(\d+):)"));
    const QRegularExpression badChecksum(
        QStringLiteral(R"(^Checksum: (0x..) \(should be (0x..)\))"));
    const QRegularExpression productHeader(
        QStringLiteral(R"(^Product Identification Data Block.*(?:PNP ID '(...)'|OUI (\S+)):$)"));
    QString product;
    const QRegularExpression dtd(
        QStringLiteral(R"(DTD 1:\s+(\d+x\d+i?)\s+([\d.]+) Hz.*?([\d.]+) MHz)"));
    const QRegularExpression vic(QStringLiteral(
        R"(^    VIC\s+(\d+):\s+(\d+x\d+i?)\s+([\d.]+) Hz\s+(\S+).*?( \(native\))?$)"));
    QStringList facts;
    QString block;
    QString audio;
    for (const QString &line : report.split(u'\n')) {
        const QString text = line.trimmed();
        if (line.startsWith(QLatin1String("  ")) && !line.startsWith(QLatin1String("   ")))
            block = text;
        auto after = [&text](const char *prefix) { return text.mid(int(qstrlen(prefix))); };
        if (text.startsWith(QLatin1String("Manufacturer: ")))
            facts << QStringLiteral("manufacturer: ") + after("Manufacturer: ");
        else if (text.startsWith(QLatin1String("Model: ")))
            facts << QStringLiteral("model: ") + after("Model: ");
        else if (text.startsWith(QLatin1String("Made in: ")))
            facts << QStringLiteral("made: ") + after("Made in: ");
        else if (text.startsWith(QLatin1String("Model year: ")))
            facts << QStringLiteral("model year: ") + after("Model year: ");
        else if (text.startsWith(QLatin1String("Display Product Name: ")))
            // Blanks that pad the name are not part of it.
            facts << QStringLiteral("name: ")
                    + after("Display Product Name: ").chopped(1).mid(1).trimmed();
        else if (const auto m = dtd.match(text); m.hasMatch())
            facts << QStringLiteral("preferred: %1 %2 Hz %3 MHz")
                         .arg(m.captured(1), three(m.captured(2).toDouble()),
                             three(m.captured(3).toDouble()));
        else if (const auto m = vic.match(line);
                 m.hasMatch() && block == QLatin1String("Video Data Block:"))
            facts << QStringLiteral("vic: %1 %2 %3 Hz %4%5")
                         .arg(m.captured(1), m.captured(2),
                             QString::number(m.captured(3).toDouble(), 'f', 2), m.captured(4),
                             m.captured(5).isEmpty() ? QString() : QStringLiteral(" native"));
        else if (block == QLatin1String("Audio Data Block:")
            && line.startsWith(QLatin1String("    ")) && !line.startsWith(QLatin1String("     ")))
            audio = audioNames.value(text.chopped(1), text.chopped(1));
        else if (block == QLatin1String("Audio Data Block:")
            && text.startsWith(QLatin1String("Max channels: ")))
            audio += QStringLiteral(" %1ch").arg(after("Max channels: "));
        else if (block == QLatin1String("Audio Data Block:")
            && text.startsWith(QLatin1String("MPEG-H 3D Audio Level: ")))
            audio += QStringLiteral(" level %1")
                         .arg(QRegularExpression(QStringLiteral("Level (\\d+)"))
                                  .match(text)
                                  .captured(1)
                                  .toInt());
        else if (block == QLatin1String("Colorimetry Data Block:")
            && line.startsWith(QLatin1String("    ")))
            facts << QStringLiteral("colorimetry: ") + text;
        else if (const auto m = vicNumber.match(text);
                 m.hasMatch() && block == QLatin1String("YCbCr 4:2:0 Video Data Block:"))
            facts << QStringLiteral("420 only: ") + m.captured(1);
        else if (const auto m = vicNumber.match(text);
                 m.hasMatch() && block == QLatin1String("YCbCr 4:2:0 Capability Map Data Block:"))
            facts << QStringLiteral("420 capable: ") + m.captured(1);
        else if (const auto m = displayIdDtd.match(text); m.hasMatch())
            facts << QStringLiteral("displayid: %1 %2 Hz %3 MHz")
                         .arg(m.captured(1), three(m.captured(2).toDouble()),
                             three(m.captured(3).toDouble()));
        else if (const auto m = badChecksum.match(text); m.hasMatch())
            facts << QStringLiteral("checksum: %1 should be %2").arg(m.captured(1), m.captured(2));
        else if (const auto m = productHeader.match(text); m.hasMatch())
            product = m.captured(1) + m.captured(2);
        else if (text.startsWith(QLatin1String("Product Code: ")) && !product.isEmpty())
            facts
                << QStringLiteral("displayid product: %1 %2").arg(product, after("Product Code: "));
        else if (text.startsWith(QLatin1String("Product ID: ")) && !product.isEmpty()) {
            facts.last() += u' ' + after("Product ID: ");
            product.clear();
        } else if (block == QLatin1String("Audio Data Block:")
            && text.startsWith(QLatin1String("Supported sample rates (kHz): "))) {
            QList<double> rates;
            for (const QString &rate : after("Supported sample rates (kHz): ").split(u' '))
                rates << rate.toDouble();
            std::sort(rates.begin(), rates.end());
            QStringList sorted;
            for (double rate : rates)
                sorted << QString::number(rate);
            facts << QStringLiteral("audio: %1 %2").arg(audio, sorted.join(u' '));
        } else if (text.startsWith(QLatin1String("Source physical address: ")))
            facts << QStringLiteral("physical address: ") + after("Source physical address: ");
        else if (text.startsWith(QLatin1String("Maximum TMDS clock: ")))
            facts << QStringLiteral("tmds: ") + after("Maximum TMDS clock: ").chopped(4);
        else if (text.startsWith(QLatin1String("Maximum TMDS Character Rate: ")))
            facts << QStringLiteral("tmds: ") + after("Maximum TMDS Character Rate: ").chopped(4);
        else if (text.startsWith(QLatin1String("Desired content "))
            && text.contains(QLatin1String("cd/m^2")))
            facts << QStringLiteral("luminance: ") + text.section(u'(', 1).section(u' ', 0, 0);
    }
    // Several name descriptors make one name.
    QStringList names;
    for (const QString &fact : std::as_const(facts)) {
        if (fact.startsWith(QLatin1String("name: ")))
            names << fact.mid(6);
    }
    facts.erase(std::remove_if(facts.begin(), facts.end(),
                    [](const QString &f) { return f.startsWith(QLatin1String("name: ")); }),
        facts.end());
    if (!names.isEmpty())
        facts.insert(
            std::min<qsizetype>(3, facts.size()), QStringLiteral("name: ") + names.join(QString()));
    return sortedByKind(facts);
}

QString edidProgram()
{
    return QStringLiteral(VORTALEX_EDID_PROGRAM);
}

} // namespace

class TestEdidDecode : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void json_data();
    void json();
    void extensionFacts_data();
    void extensionFacts();
    void agreesWithEdidDecode_data();
    void agreesWithEdidDecode();
    void commandLine_data();
    void commandLine();
};

void TestEdidDecode::decodes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("summary");
    QTest::addColumn<QList<bool>>("checksums");
    QTest::addColumn<QStringList>("problems");

    const QString tvASummary
        = QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60 · HDMI 2.0 600 MHz · "
                         "HDR10, HLG · LPCM 2ch, AC-3 6ch, E-AC-3 8ch, DTS 6ch");
    QTest::newRow("TV A") << tvA() << tvASummary << QList<bool> { true, true } << QStringList();
    QTest::newRow("TV B")
        << readData(QStringLiteral("sim_tv_b.bin"))
        << QStringLiteral(
               "FHD TV 43 · KTV · 2019 · 1920x1080@60 · HDMI 225 MHz · LPCM 2ch, AC-3 6ch")
        << QList<bool> { true, true } << QStringList();
    QTest::newRow("box fixed")
        << readData(QStringLiteral("sim_box_fixed.bin"))
        << QStringLiteral("VORTALEX · VTX · 2023 · 3840x2160@60 · HDMI 2.0 600 MHz · "
                          "HDR10, HLG · LPCM 8ch, AC-3 6ch, E-AC-3 8ch, DTS 6ch, MAT (MLP) 8ch")
        << QList<bool> { true, true } << QStringList();
    QTest::newRow("bad extension checksum")
        << tvA(255, 0x6D, false) << tvASummary << QList<bool> { true, false }
        << QStringList { QStringLiteral("Block 1: bad checksum 0x6d, should be 0x6c") };
    QTest::newRow("bad header")
        << tvA(0, 0x01) << tvASummary << QList<bool> { true, true }
        << QStringList { QStringLiteral(
               "Block 0: bad header (bytes 0-7 are not 00 FF FF FF FF FF FF 00)") };
    QTest::newRow("truncated extension")
        << tvA().left(200) << QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60")
        << QList<bool> { true }
        << QStringList { QStringLiteral("Extension count is 1, but the table holds 0 complete "
                                        "extension blocks (200 bytes)") };
    QByteArray alone = tvA(126, 0).left(128);
    fixChecksums(alone);
    QTest::newRow("128-byte table")
        << alone << QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60") << QList<bool> { true }
        << QStringList();
    // The data area ends at byte 16, inside the 12 VICs of the first block.
    QTest::newRow("block overrun")
        << tvA(128 + 2, 16) << QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60")
        << QList<bool> { true, true }
        << QStringList { QStringLiteral(
               "Block 1: data block at byte 4 (tag 2, 12 bytes) runs past the data "
               "area, which ends at byte 16") };
    QTest::newRow("timing offset out of range")
        << tvA(128 + 2, 2) << QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60")
        << QList<bool> { true, true }
        << QStringList { QStringLiteral(
               "Block 1: detailed timing offset 2 is out of range (4-127)") };
    // TV A's table with TV B's CTA block as a second extension: the summary
    // keeps the first HDMI blocks and merges the audio.
    QByteArray two = tvA(126, 2) + readData(QStringLiteral("sim_tv_b.bin")).mid(128);
    fixChecksums(two);
    QTest::newRow("two CTA extensions")
        << two << tvASummary << QList<bool> { true, true, true } << QStringList();
    QTest::newRow("more blocks than announced")
        << tvA() + tvA().left(128) << tvASummary << QList<bool> { true, true, true }
        << QStringList { QStringLiteral(
               "Extension count is 1, but 1 more blocks follow; they are decoded too") };
    QTest::newRow("zero padding after the blocks") << tvA() + QByteArray(256, '\0') << tvASummary
                                                   << QList<bool> { true, true } << QStringList();
    QTest::newRow("unknown extension")
        << tvA(128, 0x50) << QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60")
        << QList<bool> { true, true } << QStringList();
    // A laptop panel's table: its timing and HDR come from DisplayID 2.0.
    QTest::newRow("DisplayID only") << readData(QStringLiteral("edid/edo_edo0142.bin"))
                                    << QStringLiteral("EDO142 · EDO · 2024 · 2880x1920@120 · HDR10")
                                    << QList<bool> { true, true } << QStringList();
    QTest::newRow("empty") << QByteArray() << QStringLiteral("No EDID table") << QList<bool>()
                           << QStringList { QStringLiteral(
                                  "Too short for a base block: 0 of 128 bytes") };
    QTest::newRow("one byte") << QByteArray(1, '\0') << QStringLiteral("No EDID table")
                              << QList<bool>()
                              << QStringList { QStringLiteral(
                                     "Too short for a base block: 1 of 128 bytes") };
}

void TestEdidDecode::decodes()
{
    QFETCH(QByteArray, bytes);
    const EdidInfo info = decodeEdid(bytes);
    QTEST(edidSummary(info), "summary");
    QTEST(info.checksumsOk, "checksums");
    QTEST(info.problems, "problems");
}

void TestEdidDecode::json_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected"); // compact JSON

    const QByteArray a = tvA();
    QTest::newRow("keys")
        << a << QString()
        << QStringLiteral(
               R"(["aspect_ratio","checksums_ok","detailed","extensions","header_ok","manufacturer","model_year","name","preferred","problems","product_code","range","serial_number","serial_string","size_cm","version","week","year"])");
    QTest::newRow("preferred")
        << a << QStringLiteral("preferred")
        << QStringLiteral(
               R"({"height":2160,"interlaced":false,"pixel_clock_mhz":594,"refresh_hz":60,"width":3840})");
    QTest::newRow("range")
        << a << QStringLiteral("range")
        << QStringLiteral(
               R"({"h_max_khz":136,"h_min_khz":30,"max_pixel_clock_mhz":600,"v_max_hz":61,"v_min_hz":23})");
    QTest::newRow("size, version, model year")
        << a << QStringLiteral("/") << QStringLiteral(R"([[143,80],"1.3",null,"UHD TV 65"])");
    QTest::newRow("first VIC and audio")
        << a << QStringLiteral("extensions/0")
        << QStringLiteral(
               R"([{"native":false,"vic":97},{"bit_depths":[16,20,24],"channels":2,"format":"LPCM","rates_khz":[32,44.1,48]}])");
    QTest::newRow("HDMI")
        << a << QStringLiteral("extensions/0/hdmi")
        << QStringLiteral(
               R"({"deep_color":[30,36],"max_tmds_mhz":340,"physical_address":"1.0.0.0"})");
    QTest::newRow("HDMI Forum")
        << a << QStringLiteral("extensions/0/hdmi_forum")
        << QStringLiteral(R"({"max_frl_gbps":0,"max_tmds_mhz":600,"scdc":true,"version":1})");
    QTest::newRow("colorimetry") << a << QStringLiteral("extensions/0/colorimetry")
                                 << QStringLiteral(R"(["BT2020YCC","BT2020RGB"])");
    QTest::newRow("HDR")
        << a << QStringLiteral("extensions/0/hdr_static")
        << QStringLiteral(
               R"({"eotfs":["SDR","PQ","HLG"],"max_frame_avg":343.724,"max_luminance":565.685,"min_luminance":0.334})");
    QTest::newRow("unknown extension")
        << tvA(128, 0x50) << QStringLiteral("extensions") << QStringLiteral(R"([{"tag":80}])");
    // Byte 21 or 22 alone in EDID 1.4: an aspect ratio, not a size.
    QByteArray landscape = tvA(19, 4);
    landscape[22] = 0;
    fixChecksums(landscape);
    QTest::newRow("EDID 1.4 landscape aspect ratio")
        << landscape << QStringLiteral("/") << QStringLiteral(R"([null,"1.4",null,"UHD TV 65"])");
    QTest::newRow("aspect_ratio") << landscape << QStringLiteral("aspect_ratio")
                                  << QStringLiteral("\"2.42 (landscape)\"");
    QByteArray portrait = tvA(19, 4);
    portrait[21] = 0;
    fixChecksums(portrait);
    QTest::newRow("portrait") << portrait << QStringLiteral("aspect_ratio")
                              << QStringLiteral("\"0.56 (portrait)\"");
    QTest::newRow("EDID 1.3 size byte 0")
        << tvA(22, 0) << QStringLiteral("aspect_ratio") << QStringLiteral("null");
    // VIC 97 is in the video data block and marked by the capability map;
    // VIC 96 is in the 4:2:0 video data block only.
    const QByteArray ycbcr420 = withExtension(ctaBlock("42 10 61 e2 0e 60 e2 0f 02"));
    QTest::newRow("4:2:0 only") << ycbcr420 << QStringLiteral("extensions/0/ycbcr420_vics")
                                << QStringLiteral("[96]");
    QTest::newRow("4:2:0 capable")
        << ycbcr420 << QStringLiteral("extensions/0/ycbcr420_capable_vics")
        << QStringLiteral("[97]");
    QTest::newRow("DisplayID")
        << withExtension(displayIdBlock(0x12, kProduct + kTypeI)) << QStringLiteral("extensions/0")
        << QStringLiteral(
               R"({"detailed":[{"height":2160,"interlaced":false,"pixel_clock_mhz":632.01,"refresh_hz":143.839,"width":1920}],"product":{"manufacturer":"ACR","name":"XB271H","product_code":1713},"tag":112,"version":"1.2"})");
    QTest::newRow("no base block")
        << QByteArray(5, '\0') << QStringLiteral("/") << QStringLiteral(R"([null,null,null,null])");
}

void TestEdidDecode::json()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, path);
    const QJsonObject json = edidToJson(decodeEdid(bytes));
    QJsonValue actual;
    if (path.isEmpty()) {
        actual = QJsonArray::fromStringList(json.keys());
    } else if (path == QLatin1String("/")) {
        actual = QJsonArray { json[QStringLiteral("size_cm")], json[QStringLiteral("version")],
            json[QStringLiteral("model_year")], json[QStringLiteral("name")] };
    } else if (path == QLatin1String("extensions/0") && bytes[128] == 0x02) {
        const QJsonObject cta = atPath(json, path).toObject();
        actual = QJsonArray { cta[QStringLiteral("vics")].toArray().first(),
            cta[QStringLiteral("audio")].toArray().first() };
    } else {
        actual = atPath(json, path);
    }
    QFETCH(QString, expected);
    const QJsonValue wanted
        = QJsonDocument::fromJson("[" + expected.toUtf8() + "]").array().first();
    QCOMPARE(actual, wanted);
}

// Each row's facts are what edid-decode prints for the same block.
void TestEdidDecode::extensionFacts_data()
{
    QTest::addColumn<QByteArray>("extension");
    QTest::addColumn<QStringList>("facts");

    const QString all = QStringLiteral("32 44.1 48 88.2 96 176.4 192");
    QTest::newRow("L-PCM 3D Audio, 32 channels") << ctaBlock(
        "23 ff 86 69") << QStringList { QStringLiteral("audio: L-PCM 3D Audio 32ch 44.1 48") };
    QTest::newRow("L-PCM 3D Audio, 25 channels") << ctaBlock(
        "23 f8 86 69") << QStringList { QStringLiteral("audio: L-PCM 3D Audio 25ch 44.1 48") };
    QTest::newRow("LPCM ignores the high channel bits")
        << ctaBlock("23 8d ff 07") << QStringList { QStringLiteral("audio: LPCM 6ch ") + all };
    QTest::newRow("MPEG-H 3D Audio level, no channels")
        << ctaBlock("26 7d 7f 5f 78 07 58")
        << QStringList { QStringLiteral("audio: MPEG-H 3D Audio level 5 ") + all,
               QStringLiteral("audio: MPEG-H 3D Audio level 0 32 44.1 48") };
    QTest::newRow("AC-4 and Auro-Cx, no channels")
        << ctaBlock("26 ff ff 60 ff ff 70")
        << QStringList { QStringLiteral("audio: AC-4 ") + all,
               QStringLiteral("audio: Auro-Cx ") + all };
    QTest::newRow("other extension types")
        << ctaBlock("2c 7d 7f 0f 7d 7f 7f 7d 7f 87 0d 7f 57")
        << QStringList { QStringLiteral("audio: HE AAC (Obsolete) 6ch ") + all,
               QStringLiteral("audio: MPEG-D USAC 6ch ") + all,
               QStringLiteral("audio: Unknown Audio Ext Format (0x10) 6ch ") + all,
               QStringLiteral("audio: LPCM 6ch ") + all };
    QTest::newRow("colorimetry byte 3")
        << ctaBlock("e3 05 ff 00")
        << QStringList { QStringLiteral("colorimetry: xvYCC601"),
               QStringLiteral("colorimetry: xvYCC709"), QStringLiteral("colorimetry: sYCC601"),
               QStringLiteral("colorimetry: opYCC601"), QStringLiteral("colorimetry: opRGB"),
               QStringLiteral("colorimetry: BT2020cYCC"), QStringLiteral("colorimetry: BT2020YCC"),
               QStringLiteral("colorimetry: BT2020RGB") };
    QTest::newRow("colorimetry byte 4")
        << ctaBlock("e3 05 00 ff")
        << QStringList { QStringLiteral("colorimetry: Reserved MD0"),
               QStringLiteral("colorimetry: Reserved MD1"),
               QStringLiteral("colorimetry: Reserved MD2"),
               QStringLiteral("colorimetry: Reserved MD3"), QStringLiteral("colorimetry: Default"),
               QStringLiteral("colorimetry: sRGB"), QStringLiteral("colorimetry: ICtCp"),
               QStringLiteral("colorimetry: ST2113RGB") };
    QTest::newRow("SVD codes 0 and 128 are skipped")
        << ctaBlock("43 00 80 10 e4 0e 00 80 61")
        << QStringList { QStringLiteral("420 only: 97"),
               QStringLiteral("vic: 16 1920x1080 60.00 Hz 16:9") };
    // The map's bits count the reserved code too: bit 2 is VIC 97.
    QTest::newRow("4:2:0 map over a reserved code")
        << ctaBlock("44 10 00 61 60 e2 0f 06")
        << QStringList { QStringLiteral("420 capable: 97"),
               QStringLiteral("vic: 16 1920x1080 60.00 Hz 16:9"),
               QStringLiteral("vic: 97 3840x2160 60.00 Hz 16:9"),
               QStringLiteral("vic: 96 3840x2160 50.00 Hz 16:9") };
    QTest::newRow("DisplayID 1.2 product and type I timing")
        << displayIdBlock(0x12, kProduct + kTypeI)
        << QStringList { QStringLiteral("block: Product Identification Data Block"),
               QStringLiteral("block: Video Timing Modes Type 1 - Detailed Timings Data Block"),
               QStringLiteral("displayid: 1920x2160 143.839 Hz 632.010 MHz"),
               QStringLiteral("displayid product: ACR 1713 XB271H") };
    QTest::newRow("DisplayID 2.0 OUI and type VII timing")
        << displayIdBlock(0x20,
               QByteArray::fromHex("2000120010fab106010000000a1606") + "XB271H"
                   + QByteArray::fromHex("2200141bdd0b85ff099f002f801f003f06830009000900"))
        << QStringList { QStringLiteral("block: Product Identification Data Block"),
               QStringLiteral("block: Video Timing Modes Type 7 - Detailed Timings Data Block"),
               QStringLiteral("displayid: 2560x1600 165.038 Hz 777.500 MHz"),
               QStringLiteral("displayid product: 00-10-FA 1713 XB271H") };
    QTest::newRow("DisplayID interlaced type I timing")
        << displayIdBlock(
               0x12, QByteArray::fromHex("030014001d00947f07170157802b001b02150001800400"))
        << QStringList { QStringLiteral(
                             "block: Video Timing Modes Type 1 - Detailed Timings Data Block"),
               QStringLiteral("displayid: 1920x540i 120.321 Hz 74.250 MHz") };
    QTest::newRow("DisplayID counts and names the other blocks")
        << displayIdBlock(0x20, QByteArray::fromHex("23000310406124000600ff0e6f083b500000"))
        << QStringList { QStringLiteral("block: Video Timing Modes Type 8 - Enumerated Timing "
                                        "Codes Data Block (3 timings)"),
               QStringLiteral("block: Video Timing Modes Type 9 - Formula-based Timings Data Block "
                              "(1 timings)"),
               QStringLiteral("block: Unknown DisplayID Data Block (0x50)") };
}

void TestEdidDecode::extensionFacts()
{
    QFETCH(QByteArray, extension);
    const EdidInfo info = decodeEdid(withExtension(extension));
    QCOMPARE(info.problems, QStringList());
    const QStringList baseFacts = ourFacts(decodeEdid(withExtension(QByteArray())));
    QStringList facts = ourFacts(info);
    facts.removeIf([&](const QString &fact) { return baseFacts.contains(fact); });
    if (const auto &displayId = info.extensions.first().displayId) {
        for (const DisplayIdDataBlock &block : displayId->blocks)
            facts << QStringLiteral("block: ") + block.name
                    + (block.timingCount >= 0
                            ? QStringLiteral(" (%1 timings)").arg(block.timingCount)
                            : QString());
        facts = sortedByKind(facts);
    }
    QTEST(facts, "facts");
}

void TestEdidDecode::agreesWithEdidDecode_data()
{
    QTest::addColumn<QString>("file");
    const QDir data(QStringLiteral(VORTALEX_TEST_DATA));
    for (const QString &name : data.entryList({ QStringLiteral("*.bin") }, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(name)) << data.filePath(name);
    const QDir realWorld(data.filePath(QStringLiteral("edid")));
    for (const QString &name :
        realWorld.entryList({ QStringLiteral("*.bin") }, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(QStringLiteral("edid/") + name)) << realWorld.filePath(name);
}

void TestEdidDecode::agreesWithEdidDecode()
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("edid-decode"));
    if (program.isEmpty())
        QSKIP(
            "edid-decode is not installed: the comparison with the reference decoder did not run");
    QFETCH(QString, file);
    QProcess process;
    process.start(program, { file });
    QVERIFY(process.waitForFinished(30000));
    const QStringList reference
        = referenceFacts(QString::fromUtf8(process.readAllStandardOutput()));

    QFile input(file);
    QVERIFY(input.open(QIODevice::ReadOnly));
    const EdidInfo info = decodeEdid(input.readAll());
    // Published tables with a bad checksum are compared as facts below.
    QStringList problems = info.problems;
    problems.removeIf([](const QString &p) { return p.contains(QLatin1String("checksum 0x")); });
    QCOMPARE(problems, QStringList());
    QCOMPARE(ourFacts(info), reference);
}

void TestEdidDecode::commandLine_data()
{
    QTest::addColumn<QString>("setup"); // what the input file is
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error"); // standard error; %1 is the file name

    QTest::newRow("raw table") << QStringLiteral("raw") << 0 << QString();
    QTest::newRow("hex text") << QStringLiteral("text") << 0 << QString();
    QTest::newRow("standard input") << QStringLiteral("stdin") << 0 << QString();
    QTest::newRow("0 bytes") << QStringLiteral("empty") << 2
                             << QStringLiteral("vortalex-edid: %1: the file is empty\n");
    QTest::newRow("1 byte") << QStringLiteral("one") << 1
                            << QStringLiteral(
                                   "vortalex-edid: Too short for a base block: 1 of 128 bytes\n");
    QTest::newRow("10 MB")
        << QStringLiteral("huge") << 2
        << QStringLiteral(
               "vortalex-edid: %1: more than 32768 bytes, too large for an EDID table\n");
    QTest::newRow("directory") << QStringLiteral("directory") << 2
                               << QStringLiteral("vortalex-edid: %1: is a directory\n");
    QTest::newRow("missing file") << QStringLiteral(
        "missing") << 2 << QStringLiteral("vortalex-edid: %1: No such file or directory\n");
    QTest::newRow("unreadable file") << QStringLiteral("unreadable") << 2
                                     << QStringLiteral("vortalex-edid: %1: Permission denied\n");
    QTest::newRow("read error") << QStringLiteral("proc mem") << 2
                                << QStringLiteral("vortalex-edid: %1: Input/output error\n");
    QTest::newRow("not hex") << QStringLiteral("garbage") << 2
                             << QStringLiteral(
                                    "vortalex-edid: %1: line 1, column 1: 'h' is not a hex digit\n");
}

void TestEdidDecode::commandLine()
{
    QFETCH(QString, setup);
    if (setup == QLatin1String("unreadable") && geteuid() == 0)
        QSKIP("running as root, which reads any file");
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("table.bin"));
    const QHash<QString, QByteArray> contents {
        { QStringLiteral("raw"), tvA() },
        { QStringLiteral("text"), edidHexText(tvA()) },
        { QStringLiteral("empty"), QByteArray() },
        { QStringLiteral("one"), QByteArray(1, '\0') },
        { QStringLiteral("huge"), QByteArray(10 * 1024 * 1024, '\0') },
        { QStringLiteral("unreadable"), tvA() },
        { QStringLiteral("garbage"), QByteArrayLiteral("hello, world\n") },
    };
    QByteArray bytes = contents.value(setup);
    if (contents.contains(setup)) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        if (setup == QLatin1String("unreadable"))
            file.setPermissions({});
    } else if (setup == QLatin1String("directory")) {
        path = dir.path();
    } else if (setup == QLatin1String("proc mem")) {
        // Opens, but reading its first page fails.
        path = QStringLiteral("/proc/self/mem");
    } else if (setup == QLatin1String("missing")) {
        path = dir.filePath(QStringLiteral("none.bin"));
    }

    QProcess process;
    if (setup == QLatin1String("stdin")) {
        process.start(edidProgram(), { QStringLiteral("--json"), QStringLiteral("-") });
        process.write(tvA());
        process.closeWriteChannel();
    } else {
        process.start(edidProgram(), { QStringLiteral("--json"), path });
    }
    QVERIFY(process.waitForFinished(30000));
    QFETCH(QString, error);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
        error.contains(QLatin1String("%1")) ? error.arg(path) : error);
    QTEST(process.exitCode(), "exitCode");
    const QJsonDocument json = QJsonDocument::fromJson(process.readAllStandardOutput());
    if (process.exitCode() == 0)
        QCOMPARE(json[QStringLiteral("name")].toString(), QStringLiteral("UHD TV 65"));
}

QTEST_GUILESS_MAIN(TestEdidDecode)
#include "tst_ediddecode.moc"
