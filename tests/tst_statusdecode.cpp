// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/videoformats.h"
#include "words/statuslines.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vortalex;

namespace {

// A page answer of `length` bytes: echo 0xE0, then zeros, with `set` as
// {byte number, value} pairs.
QByteArray page(int length, std::initializer_list<std::pair<int, int>> set = {})
{
    QByteArray bytes(length, '\0');
    bytes[0] = char(0xE0);
    for (const auto &[at, value] : set)
        bytes[at] = char(value);
    return bytes;
}

QByteArray statusPage(std::initializer_list<std::pair<int, int>> set = {})
{
    return page(kStatusPageLength, set);
}

// The facts of a status page, or of a source product or HDR InfoFrame page.
SignalStatusFacts statusFacts(const QByteArray &status)
{
    return decodeSignalFacts(status, QByteArray(), QByteArray());
}

SignalStatusFacts productFacts(const QByteArray &product)
{
    return decodeSignalFacts(QByteArray(), product, QByteArray());
}

SignalStatusFacts hdrFacts(const QByteArray &hdr)
{
    return decodeSignalFacts(QByteArray(), QByteArray(), hdr);
}

QByteArray hdrPage(const QByteArray &typeLengthData)
{
    QByteArray bytes = page(kHdrInfoFramePageLength);
    bytes.replace(2, typeLengthData.size(), typeLengthData);
    return bytes;
}

} // namespace

class TestStatusDecode : public QObject
{
    Q_OBJECT

private slots:
    void videoFormatLine_data();
    void videoFormatLine();
    void colourLine_data();
    void colourLine();
    void sourceLine_data();
    void sourceLine();
    void hdrInfoFrame_data();
    void hdrInfoFrame();
    void videoFormatNames_data();
    void videoFormatNames();
    void anyPageBytesGiveTexts_data();
    void anyPageBytesGiveTexts();
};

void TestStatusDecode::videoFormatLine_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QString>("line");

    QTest::newRow("all zero") << statusPage() << "Input :  non-HDMI, Output: none";
    QTest::newRow("97 is 4:2:0 at 300MHz")
        << statusPage({ { 2, 97 }, { 3, 0x10 }, { 5, 0x60 } })
        << "Input : 3840x2160p60 HDMI, [4:2:0 300MHz], Output: TX A, TX B";
    QTest::newRow("97 on a 600MHz link")
        << statusPage({ { 2, 97 }, { 3, 0x10 }, { 4, 2 }, { 5, 0x60 } })
        << "Input : 3840x2160p60 HDMI, [600MHz], Output: TX A, TX B";
    QTest::newRow("10-bit 4:2:0") << statusPage({ { 2, 96 }, { 3, 0x10 }, { 4, 1 }, { 5, 0x20 } })
                                  << "Input : 3840x2160p50 HDMI, [4:2:0 10-bit], Output: TX A";
    QTest::newRow("other link value") << statusPage({ { 2, 97 }, { 4, 3 }, { 5, 0x40 } })
                                      << "Input : 3840x2160p60 non-HDMI, Output: TX B";
    QTest::newRow("HDMI_VIC 1") << statusPage({ { 2, 16 }, { 3, 0x10 }, { 9, 1 }, { 14, 0x20 } })
                                << "Input : 3840x2160p30 300MHz HDMI, Output: none";
    QTest::newRow("HDMI_VIC 2") << statusPage({ { 9, 2 }, { 14, 0x20 } })
                                << "Input : 3840x2160p25 300MHz non-HDMI, Output: none";
    QTest::newRow("HDMI_VIC 3") << statusPage({ { 3, 0x10 }, { 9, 3 }, { 14, 0x20 } })
                                << "Input : 3840x2160p24 300MHz HDMI, Output: none";
    QTest::newRow("HDMI_VIC 4 whatever the code")
        << statusPage({ { 2, 4 }, { 3, 0x10 }, { 9, 4 }, { 14, 0x20 } })
        << "Input : 4096x2160p24 300MHz HDMI, Output: none";
    QTest::newRow("HDMI_VIC 5 has no opening")
        << statusPage({ { 2, 4 }, { 3, 0x10 }, { 9, 5 }, { 14, 0x20 } })
        << "Input : 1280x720p60 HDMI, Output: none";
    QTest::newRow("frame packed") << statusPage({ { 2, 4 }, { 3, 0x10 }, { 9, 0x00 },
        { 14, 0x40 } }) << "Input : 1280x720p60 Frame Packed 3D, Output: none";
    QTest::newRow("top/bottom") << statusPage({ { 2, 4 }, { 3, 0x10 }, { 9, 0x60 }, { 14, 0x40 } })
                                << "Input : 1280x720p60 Top/Bottom 3D, Output: none";
    QTest::newRow("side-by-side") << statusPage({ { 2, 16 }, { 9, 0x80 }, { 14, 0x40 } })
                                  << "Input : 1920x1080p60 Side-by-side 3D, Output: none";
    QTest::newRow("3D structure 0x20 has no opening") << statusPage(
        { { 2, 16 }, { 9, 0x20 }, { 14, 0x40 } }) << "Input : 1920x1080p60 non-HDMI, Output: none";
    QTest::newRow("format byte 0x60 is neither") << statusPage(
        { { 2, 16 }, { 9, 1 }, { 14, 0x60 } }) << "Input : 1920x1080p60 non-HDMI, Output: none";
    QTest::newRow("2650 as shown")
        << statusPage({ { 2, 87 }, { 3, 0x10 } }) << "Input : 2650x1080p25 HDMI, Output: none";
    QTest::newRow("code 108 has no name")
        << statusPage({ { 2, 108 }, { 3, 0x10 } }) << "Input :  HDMI, Output: none";
    QTest::newRow("only bits 5 and 6 are outputs")
        << statusPage({ { 3, 0xEF }, { 5, 0x9F } }) << "Input :  non-HDMI, Output: none";
}

void TestStatusDecode::videoFormatLine()
{
    QFETCH(QByteArray, status);
    QFETCH(QString, line);
    QCOMPARE(vortalex::videoFormatLine(statusFacts(status)), line);
}

void TestStatusDecode::colourLine_data()
{
    QTest::addColumn<int>("pb1");
    QTest::addColumn<int>("pb2");
    QTest::addColumn<int>("pb3");
    QTest::addColumn<QString>("line");

    QTest::newRow("all zero") << 0 << 0 << 0 << "Color Space: RGB";
    QTest::newRow("4:2:2 SMPTE 170M")
        << 0x20 << 0x40 << 0 << "Color Space: YCbCr 4:2:2, SMPTE 170M";
    QTest::newRow("4:2:0 BT.709") << 0x60 << 0x80 << 0 << "Color Space: YCbCr 4:2:0, ITU-R BT.709";
    QTest::newRow("other bits ignored") << 0x9F << 0x3F << 0xFF << "Color Space: RGB";
    QTest::newRow("xvYCC601") << 0x40 << 0xC0 << 0x00
                              << "Color Space: YCbCr 4:4:4, Extended: xvYCC601";
    QTest::newRow("xvYCC709") << 0x40 << 0xC0 << 0x10
                              << "Color Space: YCbCr 4:4:4, Extended: xvYCC709";
    QTest::newRow("sYCC601") << 0x40 << 0xC0 << 0x20
                             << "Color Space: YCbCr 4:4:4, Extended: sYCC601";
    QTest::newRow("AdobeYCC601") << 0x40 << 0xC0 << 0x30
                                 << "Color Space: YCbCr 4:4:4, Extended: AdobeYCC601";
    QTest::newRow("AdobeRGB") << 0x00 << 0xC0 << 0x40 << "Color Space: RGB, Extended: AdobeRGB";
    QTest::newRow("BT.2020 YcCbcCrc")
        << 0x40 << 0xC0 << 0x50 << "Color Space: YCbCr 4:4:4, Extended: ITU-R BT.2020 YcCbcCrc";
    QTest::newRow("BT.2020 RGB") << 0x00 << 0xC0 << 0x6F
                                 << "Color Space: RGB, Extended: ITU-R BT.2020 RGB";
    QTest::newRow("reserved 0x70") << 0x40 << 0xC0 << 0x70 << "Color Space: YCbCr 4:4:4, Extended:";
}

void TestStatusDecode::colourLine()
{
    QFETCH(int, pb1);
    QFETCH(int, pb2);
    QFETCH(int, pb3);
    QFETCH(QString, line);
    QCOMPARE(
        vortalex::colourLine(statusFacts(statusPage({ { 10, pb1 }, { 11, pb2 }, { 12, pb3 } }))),
        line);
}

void TestStatusDecode::sourceLine_data()
{
    QTest::addColumn<QByteArray>("product");
    QTest::addColumn<QString>("line");

    QByteArray named = page(kSourceProductPageLength);
    named.replace(4, 6, "NVIDIA");
    named.replace(12, 6, "SHIELD");
    QTest::newRow("zero padded") << named << "Source Info: NVIDIA SHIELD";
    QTest::newRow("all zero") << page(kSourceProductPageLength) << "Source Info:  ";

    // Full-length names have no zero after them: the fields still end at 8 and 16.
    QByteArray full = page(kSourceProductPageLength);
    full.replace(4, 27, "ABCDEFGHabcdefghijklmnopXYZ");
    QTest::newRow("no terminator") << full << "Source Info: ABCDEFGH abcdefghijklmnop";

    QByteArray gap = page(kSourceProductPageLength);
    gap.replace(4, 4, "AB\0C", 4);
    QTest::newRow("stops at the first zero") << gap << "Source Info: AB ";
}

void TestStatusDecode::sourceLine()
{
    QFETCH(QByteArray, product);
    QFETCH(QString, line);
    QCOMPARE(vortalex::sourceLine(productFacts(product)), line);
}

void TestStatusDecode::hdrInfoFrame_data()
{
    QTest::addColumn<QByteArray>("hdr");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("infoFrame");

    QTest::newRow("all zero") << page(kHdrInfoFramePageLength) << "HDR input:  Not Active"
                              << "";
    QTest::newRow("captured") << hdrPage(QByteArray::fromHex("8703"
                                                             "02006b"))
                              << "HDR input:  SMPTE ST 2084"
                              << "02:00:6b";
    QTest::newRow("no data bytes") << hdrPage(QByteArray::fromHex("8700"
                                                                  "02"))
                                   << "HDR input:  SMPTE ST 2084"
                                   << "";
    QTest::newRow("other type still decodes EOTF") << hdrPage(QByteArray::fromHex("8603"
                                                                                  "010203"))
                                                   << "HDR input:  HDR Luminance Range"
                                                   << "";
    QTest::newRow("unknown EOTF") << hdrPage(QByteArray::fromHex("8701"
                                                                 "03"))
                                  << "HDR input: "
                                  << "03";
    QByteArray longest = hdrPage(QByteArray::fromHex("87ff"));
    for (int i = 4; i < longest.size(); ++i)
        longest[i] = char(i);
    QTest::newRow("at most the 27 bytes of the page")
        << longest << "HDR input: "
        << "04:05:06:07:08:09:0a:0b:0c:0d:0e:0f:10:11:12:13:14:15:16:17:18:19:1a:1b:1c:1d:1e";
}

void TestStatusDecode::hdrInfoFrame()
{
    QFETCH(QByteArray, hdr);
    QFETCH(QString, line);
    QFETCH(QString, infoFrame);
    QCOMPARE(hdrLine(hdrFacts(hdr)), line);
    QCOMPARE(capturedHdrInfoFrame(capturedHdrData(hdr)), infoFrame);
}

void TestStatusDecode::videoFormatNames_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");

    QTest::newRow("0") << 0 << "";
    QTest::newRow("1") << 1 << "640x480p60";
    QTest::newRow("39 repeats 20") << 39 << "1920x1080i50";
    QTest::newRow("64") << 64 << "1920x1080p100";
    QTest::newRow("72") << 72 << "1920x1080p100";
    QTest::newRow("80") << 80 << "1920x1080p100";
    QTest::newRow("81") << 81 << "1680x720p30";
    QTest::newRow("86") << 86 << "2560x1080p24";
    QTest::newRow("88") << 88 << "2650x1080p30";
    QTest::newRow("89") << 89 << "2560x1080p50";
    QTest::newRow("90") << 90 << "2650x1080p60";
    QTest::newRow("91") << 91 << "1080p100";
    QTest::newRow("98") << 98 << "4096x2160p24";
    QTest::newRow("103 repeats 93") << 103 << "3840x2160p24";
    QTest::newRow("107") << 107 << "3840x2160p60";
    QTest::newRow("108") << 108 << "";
    QTest::newRow("255") << 255 << "";
}

void TestStatusDecode::videoFormatNames()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QCOMPARE(videoFormatName(code), name);
}

void TestStatusDecode::anyPageBytesGiveTexts_data()
{
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<QByteArray>("product");
    QTest::addColumn<QByteArray>("hdr");
    QTest::addColumn<QStringList>("texts"); // empty: only the lengths are checked

    const QByteArray ff31(31, char(0xFF));
    const QString latin8(8, QChar(0xFF));
    const QString latin16(16, QChar(0xFF));
    QTest::newRow("all 0xFF") << QByteArray(15, char(0xFF)) << ff31 << ff31
                              << QStringList { "Input :  HDMI, Output: TX A, TX B",
                                     "Color Space: YCbCr 4:2:0, Extended:",
                                     "Source Info: " + latin8 + " " + latin16, "HDR input: ", "" };
    QTest::newRow("empty answers")
        << QByteArray() << QByteArray() << QByteArray()
        << QStringList { "Input :  non-HDMI, Output: none", "Color Space: RGB",
               "Source Info:  ", "HDR input:  Not Active", "" };
    QRandomGenerator random(20240611); // fixed seed: the same pages on every run
    for (int run = 0; run < 50; ++run) {
        QByteArray pages[3];
        for (QByteArray &p : pages) {
            p.resize(int(random.bounded(0, 64)));
            for (char &c : p)
                c = char(random.bounded(256));
        }
        QTest::addRow("random %d", run) << pages[0] << pages[1] << pages[2] << QStringList();
    }
}

void TestStatusDecode::anyPageBytesGiveTexts()
{
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, product);
    QFETCH(QByteArray, hdr);
    QFETCH(QStringList, texts);

    const SignalStatusTexts decoded = decodeSignalStatus(status, product, hdr);
    if (!texts.isEmpty()) {
        QCOMPARE(decoded.videoFormat, texts[0]);
        QCOMPARE(decoded.colour, texts[1]);
        QCOMPARE(decoded.source, texts[2]);
        QCOMPARE(decoded.hdr, texts[3]);
        QCOMPARE(decoded.hdrInfoFrame, texts[4]);
    }
    QVERIFY(decoded.videoFormat.startsWith("Input : "));
    QVERIFY(decoded.source.size() <= int(strlen("Source Info:  ")) + 8 + 16);
    QVERIFY(decoded.hdrInfoFrame.size() <= 27 * 3 - 1);
}

QTEST_GUILESS_MAIN(TestStatusDecode)
#include "tst_statusdecode.moc"
