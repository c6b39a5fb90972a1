// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/boxtext.h"
#include "text/hexlist.h"

#include <QtTest>

using namespace vortalex;

class TestHexList : public QObject
{
    Q_OBJECT

private slots:
    void pairToByte_data();
    void pairToByte();
    void parse_data();
    void parse();
    void longTexts_data();
    void longTexts();
    void boxText_data();
    void boxText();
};

void TestHexList::pairToByte_data()
{
    QTest::addColumn<QByteArray>("pair");
    QTest::addColumn<int>("byte");
    QTest::newRow("digits") << QByteArray("50") << 0x50;
    QTest::newRow("lower case") << QByteArray("0f") << 0x0F;
    QTest::newRow("upper case") << QByteArray("FF") << 0xFF;
    QTest::newRow("G is 16") << QByteArray("5G") << 0x60;
    QTest::newRow("x is 33") << QByteArray("0x") << 0x21;
    QTest::newRow("colon is 3") << QByteArray("4:") << 0x43;
    QTest::newRow("wraps modulo 256") << QByteArray("zz") << 0x53;
    QTest::newRow("carriage return") << QByteArray("\r0") << 0xD0;
    QTest::newRow("Latin-1 byte counts unsigned") << QByteArray("\xC9"
                                                                "0")
                                                  << 0x20;
}

void TestHexList::pairToByte()
{
    QFETCH(QByteArray, pair);
    QFETCH(int, byte);
    QCOMPARE(int(hexPairToByte(pair.at(0), pair.at(1))), byte);
}

void TestHexList::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("cecLayout");
    QTest::addColumn<QByteArray>("payload");

    // Worked examples.
    QTest::newRow("50:04 cec") << QByteArray("50:04") << true << QByteArray::fromHex("500104");
    QTest::newRow("50:04 plain") << QByteArray("50:04") << false << QByteArray::fromHex("5004");
    QTest::newRow("54:44:01 cec") << QByteArray("54:44:01") << true
                                  << QByteArray::fromHex("54024401");
    QTest::newRow("54:44:01 plain")
        << QByteArray("54:44:01") << false << QByteArray::fromHex("544401");
    QTest::newRow("0f:36 cec") << QByteArray("0f:36") << true << QByteArray::fromHex("0f0136");
    QTest::newRow("AVI example") << QByteArray("60:C8:60:61:00") << false
                                 << QByteArray::fromHex("60c8606100");
    QTest::newRow("text around the list")
        << QByteArray("  50:04 HELLO") << true << QByteArray::fromHex("500104");
    QTest::newRow("scan stops at a short byte")
        << QByteArray("50:4:01") << true << QByteArray::fromHex("500143");
    QTest::newRow("no colon: second and third character")
        << QByteArray("X50") << false << QByteArray::fromHex("50");
    QTest::newRow("no colon, cec: one byte")
        << QByteArray("ABCDE") << true << QByteArray::fromHex("bc");

    // Positions outside the text (the carriage return included) read as '0'.
    QTest::newRow("colon first") << QByteArray(":1234") << false << QByteArray::fromHex("0012");
    QTest::newRow("colon second") << QByteArray("5:678") << false << QByteArray::fromHex("0567");
    QTest::newRow("colon second, cec")
        << QByteArray("5:678") << true << QByteArray::fromHex("050167");
    QTest::newRow("ends with colon") << QByteArray("50:") << false << QByteArray::fromHex("50d0");
    QTest::newRow("colon chain ends with colon")
        << QByteArray("50:04:") << false << QByteArray::fromHex("5004d0");
    QTest::newRow("one digit after the colon")
        << QByteArray("50:0") << false << QByteArray::fromHex("50dd");
    QTest::newRow("colon only") << QByteArray(":") << true << QByteArray::fromHex("0001d0");
    QTest::newRow("empty") << QByteArray() << false << QByteArray::fromHex("00");
}

void TestHexList::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, cecLayout);
    QFETCH(QByteArray, payload);
    const HexByteList list = parseHexByteList(text + '\r', cecLayout);
    QCOMPARE(list.payload().toHex(' '), payload.toHex(' '));
    // Everything past the count stays zero, except the unused count byte of a
    // one-byte CEC list.
    for (int i = list.count; i < kHexListCapacity; ++i) {
        if (!(cecLayout && list.count == 1 && i == 1))
            QCOMPARE(int(list.bytes[std::size_t(i)]), 0);
    }
}

void TestHexList::longTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("cecLayout");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("lastByte");

    QByteArray list31;
    for (int i = 0; i < 31; ++i)
        list31 += QByteArray::number(0x10 + i, 16) + ':';
    list31.chop(1);
    QCOMPARE(list31.size(), 92);
    QTest::newRow("31 bytes plain") << list31 << false << 31 << 0x2E;
    QTest::newRow("31 bytes cec") << list31 << true << 32 << 0x2E;
    // Colons three apart with nothing else: every colon counts, all in range.
    QTest::newRow("ab and 90 colons")
        << QByteArray("AB") + QByteArray(90, ':') << false << 89 << 0x33;
    QTest::newRow("10000 colons plain")
        << QByteArray(10000, ':') << false << kHexListCapacity << 0x33;
    QTest::newRow("10000 colons cec") << QByteArray(10000, ':') << true << kHexListCapacity << 0x33;
    QTest::newRow("10000 digits") << QByteArray(10000, '7') << true << 1 << 0x77;
}

void TestHexList::longTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, cecLayout);
    QFETCH(int, count);
    QFETCH(int, lastByte);
    const HexByteList list = parseHexByteList(text + '\r', cecLayout);
    QCOMPARE(int(list.count), count);
    QCOMPARE(int(list.bytes[std::size_t(count - 1)]), lastByte);
    if (cecLayout && count > 1)
        QCOMPARE(int(list.bytes[1]), count - 2);
}

void TestHexList::boxText_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QByteArray>("box");
    QTest::newRow("upper-cased") << QStringLiteral("0f:3a") << QByteArray("0F:3A");
    QTest::newRow("Latin-1 letter") << QStringLiteral(u"\u00e9") << QByteArray("\xC9");
    QTest::newRow("outside Latin-1") << QStringLiteral(u"50\u20ac04") << QByteArray("50?04");
    QTest::newRow("beyond the BMP is one character")
        << QStringLiteral(u"5\U0001F600:04") << QByteArray("5?:04");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
    QTest::newRow("upper case outside Latin-1") << QStringLiteral(u"\u00ff") << QByteArray("?");
    QTest::newRow("control characters kept")
        << QStringLiteral("\t\x01\n") << QByteArray("\t\x01\n");
}

void TestHexList::boxText()
{
    QFETCH(QString, plain);
    QFETCH(QByteArray, box);
    QCOMPARE(toBoxText(plain), box);
}

QTEST_APPLESS_MAIN(TestHexList)
#include "tst_hexlist.moc"
