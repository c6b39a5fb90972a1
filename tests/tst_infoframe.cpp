// SPDX-License-Identifier: GPL-3.0-or-later
// HDR and AVI InfoFrames in real units: decode, encode, KEY=VALUE input.
#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"
#include "infoframe/infoframehex.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QtTest>

using namespace vortalex;

namespace {

// CTA-861 worked example: PQ, DCI-P3 primaries, D65, 1000 / 0.005 cd/m², 1000 / 400.
const QString kHdrFrame = QStringLiteral(
    "87:01:1a:74:02:00:c2:33:c4:86:4c:1d:b8:0b:d0:84:80:3e:13:3d:42:40:e8:03:32:00:e8:03:90:01");
const QString kHdrData = kHdrFrame.mid(12);
const QString kHdrSummary
    = QStringLiteral("PQ · DCI-P3 D65 · 1000 / 0.005 cd/m² · MaxCLL 1000 · MaxFALL 400");
const QString kZeros24 = QStringLiteral(":00").repeated(24);
const QString kFfs24 = QStringLiteral(":ff").repeated(24);

QString json(const QJsonObject &object)
{
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

} // namespace

class TestInfoFrame : public QObject
{
    Q_OBJECT

private slots:
    void hdrDecode_data();
    void hdrDecode();
    void hdrJsonAndReport();
    void hdrEncode_data();
    void hdrEncode();
    void hdrRoundTrip_data();
    void hdrRoundTrip();
    void aviDecode_data();
    void aviDecode();
    void aviJsonAndReport();
    void aviFields_data();
    void aviFields();
    void aviEncode_data();
    void aviEncode();
    void aviRoundTrip_data();
    void aviRoundTrip();
};

void TestInfoFrame::hdrDecode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("summary");

    QTest::newRow("worked example") << kHdrFrame << kHdrSummary;
    QTest::newRow("capture: data bytes only") << kHdrData << kHdrSummary;
    QTest::newRow("blanks around") << " " + kHdrFrame.toUpper() + "\n" << kHdrSummary;
    QTest::newRow("bad checksum") << QString(kHdrFrame).replace(9, 2, "b5")
                                  << "Bad checksum 0xb5, should be 0x74";
    QTest::newRow("version 2") << QString(kHdrFrame).replace(3, 8, "02:1a:73")
                               << "Version 2, only version 1 is defined";
    QTest::newRow("one data byte short")
        << kHdrFrame.left(kHdrFrame.size() - 3) << "Too short: 25 data bytes, 26 needed";
    QTest::newRow("header only") << "87:01:1a"
                                 << "Too short: 0 data bytes, 26 needed";
    QTest::newRow("capture short") << "02:00"
                                   << "Too short: 2 data bytes, 26 needed";
    QTest::newRow("capture long") << kHdrData + ":00"
                                  << "Too long: 27 data bytes, 26 expected";
    QTest::newRow("stored frame: padding after it") << kHdrFrame + ":5a" << kHdrSummary;
    QTest::newRow("length byte 27") << QString(kHdrFrame).replace(6, 5, "1b:73") + ":00"
                                    << "Length byte says 27, Static Metadata Type 1 has 26";
    QTest::newRow("not hex") << "87:01:1g"
                             << "Byte 3 \"1g\" is not two hex digits";
    QTest::newRow("space inside") << "87: 01"
                                  << "Byte 2 \" 01\" is not two hex digits";
    QTest::newRow("empty") << "  "
                           << "Empty";
    QTest::newRow("HLG without metadata")
        << "03:00" + kZeros24
        << "HLG · no primaries · mastering unknown · MaxCLL unknown · MaxFALL unknown";
    QTest::newRow("all ones: reserved EOTF and metadata type")
        << "ff:ff" + kFfs24
        << "EOTF 7 is reserved; metadata type 8 is reserved; its data bytes are not decoded";
    QTest::newRow("x and y over 1.0")
        << "02:00:51:c3:00:00" + QString(":00").repeated(20) << "Green x is 1.00002, over 1.0";
    QTest::newRow("metadata type 2 with a checksum")
        << "87:01:1a:5b:02:01" + QString(":00").repeated(24)
        << "Metadata type 2 is reserved; its data bytes are not decoded";
    QTest::newRow("BT.709, DCI white") << infoFrameText(encodeHdrInfoFrame(
        parseHdrKeyValues({ "primaries=bt709", "white=dci", "eotf=sdr" }).values))
                                       << "SDR · BT.709, white 0.314, 0.351 · 1000 / 0.005 "
                                          "cd/m² · MaxCLL 1000 · MaxFALL 400";
}

void TestInfoFrame::hdrDecode()
{
    QFETCH(QString, text);
    QFETCH(QString, summary);
    QCOMPARE(hdrSummary(decodeHdrInfoFrameText(text)), summary);
}

void TestInfoFrame::hdrJsonAndReport()
{
    QCOMPARE(json(hdrJson(decodeHdrInfoFrameText(kHdrFrame))),
        "{\"checksum_ok\":true,\"eotf\":\"PQ\",\"max_cll\":1000,\"max_fall\":400,"
        "\"max_mastering_luminance\":1000,\"metadata_type\":1,\"min_mastering_luminance\":0.005,"
        "\"primaries\":{\"blue\":[0.15,0.06],\"green\":[0.265,0.69],\"red\":[0.68,0.32]},"
        "\"problems\":[],\"white\":[0.3127,0.329]}");
    QCOMPARE(
        json(hdrJson(decodeHdrInfoFrameText(kHdrData))).contains("\"checksum_ok\":null"), true);
    QCOMPARE(json(hdrJson(decodeHdrInfoFrameText("02"))),
        "{\"error\":\"too short: 1 data bytes, 26 needed\"}");
    QCOMPARE(hdrReport(decodeHdrInfoFrameText(QString(kHdrFrame).replace(9, 2, "b5"))),
        "EOTF: PQ\nMetadata: Static Metadata Type 1\nPrimaries: DCI-P3 D65\n"
        "  red 0.68, 0.32\n  green 0.265, 0.69\n  blue 0.15, 0.06\n  white 0.3127, 0.329\n"
        "Mastering luminance: max 1000 cd/m², min 0.005 cd/m²\nMaxCLL: 1000\nMaxFALL: 400\n"
        "Problem: bad checksum 0xb5, should be 0x74");
}

void TestInfoFrame::hdrEncode_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result"); // hex text or the error

    QTest::newRow("worked example")
        << "eotf=pq primaries=dci-p3 white=0.3127,0.3290 max-lum=1000 min-lum=0.005 "
           "max-cll=1000 max-fall=400"
        << kHdrFrame;
    QTest::newRow("defaults: BT.2020") << ""
                                       << "87:01:1a:91:02:00:34:21:aa:9b:96:19:fc:08:48:8a:08:39:"
                                          "13:3d:42:40:e8:03:32:00:e8:03:90:01";
    QTest::newRow("top codes") << "eotf=hlg metadata-type=1 red=1,0 green=0,1 "
                                  "blue=0.00002,1 white=1,1 max-lum=65535 "
                                  "min-lum=6.5535 max-cll=65535 max-fall=0"
                               << "87:01:1a:01:03:00:00:00:50:c3:01:00:50:c3:50:c3:00:00:50:c3:"
                                  "50:c3:ff:ff:ff:ff:ff:ff:00:00";
    QTest::newRow("x over 1") << "red=1.00002,0.3"
                              << "red=1.00002,0.3: \"1.00002\": x and y go from 0 to 1";
    QTest::newRow("y negative") << "white=0.3,-0.1"
                                << "white=0.3,-0.1: \"-0.1\": x and y go from 0 to 1";
    QTest::newRow("x, y not a pair") << "green=0.3"
                                     << "green=0.3: expected X,Y from 0 to 1";
    QTest::newRow("max-lum too large") << "max-lum=65536"
                                       << "max-lum=65536: \"65536\": whole cd/m² from 0 to 65535";
    QTest::newRow("max-cll fraction") << "max-cll=10.5"
                                      << "max-cll=10.5: \"10.5\": whole cd/m² from 0 to 65535";
    QTest::newRow("min-lum too large")
        << "min-lum=6.5536"
        << "min-lum=6.5536: \"6.5536\": from 0 to 6.5535 cd/m² in steps of 0.0001";
    QTest::newRow("unknown EOTF") << "eotf=dolby"
                                  << "eotf=dolby: expected sdr, hdr, pq, hlg";
    QTest::newRow("misspelt EOTF") << "eotf=qp"
                                   << "eotf=qp: expected sdr, hdr, pq, hlg (did you mean pq?)";
    QTest::newRow("reserved EOTF code") << "eotf=5"
                                        << "eotf=5: expected sdr, hdr, pq, hlg";
    QTest::newRow("metadata type 2") << "metadata-type=2"
                                     << "metadata-type=2: expected 1";
    QTest::newRow("unknown primaries") << "primaries=p3"
                                       << "primaries=p3: expected bt2020, dci-p3, bt709";
    QTest::newRow("unknown key") << "maxcll=3"
                                 << "unknown key maxcll (did you mean max-cll?); keys: eotf, "
                                    "metadata-type, primaries, "
                                    "red, green, blue, white, max-lum, min-lum, max-cll, max-fall";
    QTest::newRow("no value") << "eotf="
                              << "\"eotf=\" is not KEY=VALUE";
    QTest::newRow("twice") << "eotf=pq EOTF=hlg"
                           << "eotf is given twice";
}

void TestInfoFrame::hdrEncode()
{
    QFETCH(QString, keys);
    QFETCH(QString, result);
    const HdrKeyParse parse = parseHdrKeyValues(keys.split(' ', Qt::SkipEmptyParts));
    QCOMPARE(parse.ok ? infoFrameText(encodeHdrInfoFrame(parse.values)) : parse.error, result);
}

void TestInfoFrame::hdrRoundTrip_data()
{
    QTest::addColumn<QString>("keys");
    QTest::newRow("zero") << "eotf=sdr red=0,0 green=0,0 blue=0,0 white=0,0 max-lum=0 "
                             "min-lum=0 max-cll=0 max-fall=0";
    QTest::newRow("every field its own value")
        << "eotf=hlg metadata-type=1 red=0.1,0.2 green=0.3,0.4 blue=0.5,0.6 white=0.7,0.8 "
           "max-lum=4000 min-lum=0.0001 max-cll=1234 max-fall=567";
    QTest::newRow("top") << "eotf=hlg red=1,1 green=1,1 "
                            "blue=1,1 white=1,1 max-lum=65535 "
                            "min-lum=6.5535 max-cll=65535 max-fall=65535";
}

void TestInfoFrame::hdrRoundTrip()
{
    QFETCH(QString, keys);
    const HdrKeyParse parse = parseHdrKeyValues(keys.split(' '));
    QVERIFY2(parse.ok, qPrintable(parse.error));
    const QByteArray frame = encodeHdrInfoFrame(parse.values);
    const HdrDecode decoded = decodeHdrInfoFrame(frame);
    QVERIFY(decoded.ok && decoded.checksumOk && decoded.problem.isEmpty());
    QVERIFY(decoded.values == parse.values);
    // The bare data bytes, as the capture shows them, give the same values.
    QVERIFY(decodeHdrInfoFrame(frame.mid(4)).values == parse.values);
}

void TestInfoFrame::aviDecode_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("summary");

    QTest::newRow("worked example")
        << "60:c8:60:61:00"
        << "YCbCr 4:2:0 · BT.2020 · limited range · VIC 97 (3840x2160p60) · no aspect";
    QTest::newRow("RGB BT.709 full 16:9")
        << "00:a8:08:10"
        << "RGB · BT.709 · full range · VIC 16 (1920x1080p60) · 16:9";
    QTest::newRow("two bytes: BT.601 4:3") << "20:59"
                                           << "YCbCr 4:2:2 · BT.601 · 4:3";
    QTest::newRow("YCbCr full, VIC 0")
        << "40:e8:50:00:40"
        << "YCbCr 4:4:4 · BT.2020 YcCbcCrc · full range · VIC none · 16:9";
    QTest::newRow("DCI-P3 theater in data byte 14")
        << "00:c8:74:00:00:00:00:00:00:00:00:00:00:10"
        << "RGB · DCI-P3 theater · limited range · VIC none · no aspect";
    QTest::newRow("reserved ACE, format, VIC past the table")
        << "80:c8:7c:ff:00:00:00:00:00:00:00:00:00:20"
        << "Reserved colour format 4 · reserved colorimetry · limited range · VIC 255 · no aspect";
    QTest::newRow("ACE flagged, byte 14 missing")
        << "40:c8:70:00:00"
        << "Additional colorimetry flagged, but data byte 14 is missing";
    QTest::newRow("bars flagged, bytes missing")
        << "0c:08:00:00:00"
        << "Bar data flagged, but data bytes 6-13 are missing";
    QTest::newRow("one byte") << "60"
                              << "Too short: 1 data bytes, at least 2";
    QTest::newRow("15 bytes") << "00" + QString(":00").repeated(14)
                              << "Too long: 15 data bytes, at most 14";
    QTest::newRow("not hex") << "60:c8:6"
                             << "Byte 3 \"6\" is not two hex digits";
}

void TestInfoFrame::aviDecode()
{
    QFETCH(QString, text);
    QFETCH(QString, summary);
    QCOMPARE(aviSummary(decodeAviInfoFrameText(text)), summary);
}

void TestInfoFrame::aviJsonAndReport()
{
    const AviDecode example = decodeAviInfoFrameText("60:c8:60:61:00");
    QCOMPARE(aviReport(example),
        "Colour format: YCbCr 4:2:0\n"
        "Colorimetry: BT.2020 RGB or YCbCr (non-constant luminance)\n"
        "RGB quantisation: default\nYCbCr quantisation: limited\nIT content: no\n"
        "Content type: none\nScaling: none\nVIC: 97 (3840x2160p60)\nPicture aspect: none\n"
        "Active format: 8, same as the picture (not flagged)\nBars: none\nScan: none\n"
        "Pixel repetition: none\nData bytes: 5\nChecksum: none (data bytes only)");
    QCOMPARE(json(aviJson(example)),
        "{\"active_format\":null,\"bars\":null,\"checksum_ok\":null,\"color_format\":"
        "\"ycbcr420\",\"colorimetry\":\"bt2020\",\"content_type\":\"none\",\"data_bytes\":5,"
        "\"it_content\":false,\"picture_aspect\":\"none\",\"pixel_repetition\":0,"
        "\"problems\":[],"
        "\"rgb_quantization\":\"default\",\"scaling\":\"none\",\"scan\":\"none\","
        "\"vic\":97,\"ycc_quantization\":\"limited\"}");
    const AviDecode bars = decodeAviInfoFrameText("1a:1a:bb:04:61:8a:00:b6:03:00:00:00:00");
    QCOMPARE(aviReport(bars).split('\n').mid(2, 10).join('\n'),
        "RGB quantisation: full\nYCbCr quantisation: full\nIT content: yes\nContent type: cinema\n"
        "Scaling: both\nVIC: 4 (1280x720p60)\nPicture aspect: 4:3\n"
        "Active format: 10, 16:9 centred\n"
        "Bars: top ends at line 138, bottom starts at line 950\nScan: underscan");
}

void TestInfoFrame::aviFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fields"); // JSON keys and values, "key=value" by blanks

    QTest::newRow("ITC 0, CN 0: no data") << "00:08:00:00:00"
                                          << "content_type=none";
    QTest::newRow("ITC 1, CN 0: graphics") << "00:08:80:00:00"
                                           << "content_type=graphics";
    QTest::newRow("ITC 0, CN 3: game") << "00:08:00:00:30"
                                       << "content_type=game";
    QTest::newRow("ITC 1, CN 1: photo") << "00:08:80:00:10"
                                        << "content_type=photo";
    const QString data = QStringLiteral("60:c8:60:61:00") + QString(":00").repeated(8);
    QTest::newRow("whole frame") << "82:02:0d:86:" + data
                                 << "checksum_ok=true vic=97 data_bytes=13 problems=";
    QTest::newRow("whole frame, padding") << "82:02:0d:86:" + data + ":00:00"
                                          << "checksum_ok=true data_bytes=13 problems=";
    QTest::newRow("whole frame, bad checksum")
        << "82:02:0d:87:" + data << "checksum_ok=false problems=bad checksum 0x87, should be 0x86";
    QTest::newRow("version 4 with 13 bytes")
        << "82:04:0d:84:" + data << "checksum_ok=true problems=length 13, version 4 has 14";
    QTest::newRow("version 1") << "82:01:0d:87:" + data
                               << "problems=version 1, versions 2 to 4 are defined";
    QTest::newRow("length past the end")
        << "82:02:0d:86:60:c8"
        << "error=too short: the length byte says 13 data bytes, 2 follow";
}

void TestInfoFrame::aviFields()
{
    QFETCH(QString, text);
    QFETCH(QString, fields);
    const QJsonObject object = aviJson(decodeAviInfoFrameText(text));
    for (const QString &field : fields.split(QRegularExpression(" (?=[a-z_]+=)"))) {
        const QString key = field.section('=', 0, 0);
        const QJsonValue value = object.value(key);
        const QString shown = value.isArray() ? value.toVariant().toStringList().join("; ")
            : value.isBool()                  ? (value.toBool() ? "true" : "false")
            : value.isDouble()                ? QString::number(value.toInt())
                                              : value.toString();
        QCOMPARE(key + '=' + shown, field);
    }
}

void TestInfoFrame::aviEncode_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("result");

    QTest::newRow("worked example") << "color=ycbcr420 colorimetry=bt2020 vic=97"
                                    << "60:c8:60:61:00";
    QTest::newRow("nothing") << ""
                             << "00:08:00:00:00";
    QTest::newRow("every field of bytes 1-5")
        << "color=rgb scan=underscan colorimetry=bt709 aspect=4:3 active=16:9 it=yes "
           "content=cinema quant=full scaling=both vic=4 yquant=full repetition=1"
        << "12:9a:8b:04:61";
    QTest::newRow("bars") << "top-bottom=138,950 left-right=240,1680"
                          << "0c:08:00:00:00:8a:00:b6:03:f0:00:90:06";
    QTest::newRow("DCI-P3 D65: data byte 14") << "colorimetry=dci-p3-d65"
                                              << "00:c8:70:00:00:00:00:00:00:00:00:00:00:00";
    QTest::newRow("active none") << "active=none aspect=16:9"
                                 << "00:28:00:00:00";
    QTest::newRow("content graphics sets ITC") << "content=graphics"
                                               << "00:08:80:00:00";
    QTest::newRow("content game, no ITC") << "content=game"
                                          << "00:08:00:00:30";
    QTest::newRow("VIC too large") << "vic=256"
                                   << "vic=256: expected 0-255";
    QTest::newRow("unknown colour") << "color=yuv"
                                    << "color=yuv: expected rgb, ycbcr422, ycbcr444, ycbcr420";
    QTest::newRow("bar past 65535") << "top-bottom=1,65536"
                                    << "top-bottom=1,65536: expected END,START from 0 to 65535";
    QTest::newRow("unknown key")
        << "colour=rgb"
        << "unknown key colour (did you mean color?); keys: color, colorimetry, quant, yquant, "
           "it, content, scaling, vic, aspect, active, scan, "
           "repetition, top-bottom, left-right";
}

void TestInfoFrame::aviEncode()
{
    QFETCH(QString, keys);
    QFETCH(QString, result);
    const AviKeyParse parse = parseAviKeyValues(keys.split(' ', Qt::SkipEmptyParts));
    QCOMPARE(parse.ok ? infoFrameText(encodeAviInfoFrame(parse.values)) : parse.error, result);
}

void TestInfoFrame::aviRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("worked example") << "60:c8:60:61:00";
    QTest::newRow("every bit set, 14 bytes") << "ff:ff:ff:ff:ff:ff:ff:ff:ff:ff:ff:ff:ff:f0";
    QTest::newRow("bars") << "1e:1a:b3:04:b1:8a:00:b6:03:f0:00:90:06";
}

void TestInfoFrame::aviRoundTrip()
{
    QFETCH(QString, text);
    const AviDecode decoded = decodeAviInfoFrameText(text);
    QVERIFY(decoded.ok);
    QCOMPARE(infoFrameText(encodeAviInfoFrame(decoded.values)), text);
}

QTEST_GUILESS_MAIN(TestInfoFrame)
#include "tst_infoframe.moc"
