// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxedid/edidfile.h"
#include "boxedid/edidtext.h"
#include "boxedid/edidwritecheck.h"
#include "emulated/simedid.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QtTest>

using namespace vortalex;

Q_DECLARE_METATYPE(EdidTable)
Q_DECLARE_METATYPE(EdidWriteVerdict)

namespace {

EdidTable tableFrom(const QByteArray &bytes)
{
    EdidTable table {};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    return table;
}

QByteArray bytesOf(const EdidTable &table)
{
    return QByteArray(reinterpret_cast<const char *>(table.data()), kEdidSize);
}

EdidTable sampleTable()
{
    return tableFrom(simedid::build(simedid::tvAProfile()));
}

// The canonical text of `table` with every line written as two lines of 8.
QString eightPerLine(const EdidTable &table)
{
    QString text = formatEdidText(table);
    for (int line = 15; line >= 0; --line)
        text[line * 48 + 23] = QLatin1Char('\n');
    return text;
}

// True when edid-decode finds no checksum fault in `table`.
bool edidDecodeAcceptsChecksums(const QByteArray &table)
{
    QProcess decode;
    decode.start(QStringLiteral("/usr/bin/edid-decode"), { QStringLiteral("--check") });
    decode.write(table);
    decode.closeWriteChannel();
    decode.waitForFinished();
    const QByteArray out = decode.readAllStandardOutput();
    return !out.contains("Checksum") || !out.contains("should be");
}

} // namespace

class TestEdidText : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void shortAndLongTexts_data();
    void shortAndLongTexts();
    void writeCheck_data();
    void writeCheck();
    void checksum_data();
    void checksum();
    void canonicalLayout();
    void loadRecognition_data();
    void loadRecognition();
    void arbitraryInput();
};

void TestEdidText::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("bytes"); // the first bytes expected

    const EdidTable table = sampleTable();
    const QString canonical = formatEdidText(table);
    const QByteArray all = bytesOf(table);

    QTest::newRow("canonical") << canonical << 256 << all;
    QTest::newRow("lower case") << canonical.toLower() << 256 << all;
    QTest::newRow("8 bytes per line") << eightPerLine(table) << 256 << all;
    QTest::newRow("no final line feed") << canonical.chopped(1) << 256 << all;
    QTest::newRow("second final line feed") << canonical + QLatin1Char('\n') << 256 << all;
    QTest::newRow("final blank") << canonical + QLatin1Char(' ') << 256 << all;
    QTest::newRow("G0 and 0G") << QStringLiteral("G0 0G 1f") << 3 << QByteArray("\x00\x10\x1F", 3);
    QTest::newRow("non-Latin-1 digit") << QStringLiteral("\u20AC0") << 1 << QByteArray("\x80", 1);
    QTest::newRow("empty") << QString() << 0 << QByteArray();
    QTest::newRow("one character") << QStringLiteral("A") << 0 << QByteArray();
    QTest::newRow("two spaces") << QStringLiteral("00  FF") << -1 << QByteArray();
    QTest::newRow("tab") << QStringLiteral("00\tFF") << -1 << QByteArray();
    QTest::newRow("leading blank") << QStringLiteral(" 00 FF") << -1 << QByteArray();
    QTest::newRow("CR LF") << QStringLiteral("00 FF\r\n01") << -1 << QByteArray();
    QTest::newRow("three digits") << QStringLiteral("001 FF") << -1 << QByteArray();
    QTest::newRow("1023 characters")
        << QStringLiteral("01 ").repeated(341) << 341 << QByteArray(341, '\x01');
    QTest::newRow("1024 characters")
        << QStringLiteral("01 ").repeated(341) + QLatin1Char('\n') << -1 << QByteArray();
    QTest::newRow("1 million characters")
        << QString(1 << 20, QLatin1Char('0')) << -1 << QByteArray();
    // "ß" upper-cases to "SS": 1022 characters become 1024.
    QTest::newRow("limit after upper-casing")
        << QString(1021, QLatin1Char('\n')) + QChar(0xDF) << -1 << QByteArray();
}

void TestEdidText::parse()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QByteArray, bytes);

    EdidParseBuffer out {};
    QCOMPARE(parseEdidText(text, out), count);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(out.data()), bytes.size()), bytes);
}

void TestEdidText::shortAndLongTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("table");

    QByteArray twoBytes(kEdidSize, '\0');
    twoBytes[0] = char(0x01);
    twoBytes[1] = char(0xFE);
    QTest::newRow("two bytes, rest zero") << QStringLiteral("01 FE\n") << twoBytes;

    QString longText;
    QByteArray first256;
    for (int i = 0; i < 300; ++i) {
        longText += QString::asprintf("%02X ", i & 0xFF);
        if (i < kEdidSize)
            first256.append(char(i));
    }
    QTest::newRow("300 bytes, first 256 kept") << longText << first256;
}

void TestEdidText::shortAndLongTexts()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, table);

    EdidTable parsed;
    parsed.fill(0xAA);
    QVERIFY(parseEdidTable(text, parsed));
    QCOMPARE(bytesOf(parsed), table);
}

void TestEdidText::writeCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<EdidWriteVerdict>("verdict");

    const QString header = QStringLiteral("00 FF FF FF FF FF FF 00 ");
    QTest::newRow("empty") << QString() << 0 << EdidWriteVerdict::TooShort;
    QTest::newRow("header, 127 bytes")
        << header + QStringLiteral("01 ").repeated(119) << 127 << EdidWriteVerdict::TooShort;
    QTest::newRow("header, 128 bytes")
        << header + QStringLiteral("01 ").repeated(120) << 128 << EdidWriteVerdict::Fine;
    QTest::newRow("canonical") << formatEdidText(sampleTable()) << 256 << EdidWriteVerdict::Fine;
    QTest::newRow("header, 300 bytes")
        << header + QStringLiteral("01 ").repeated(292) << 300 << EdidWriteVerdict::Fine;
    QTest::newRow("256 zeros") << formatEdidText(EdidTable {}) << 256
                               << EdidWriteVerdict::HeaderMissing;
    QTest::newRow("last header byte 01")
        << QStringLiteral("00 FF FF FF FF FF FF 01 ") + QStringLiteral("01 ").repeated(120) << 128
        << EdidWriteVerdict::HeaderMissing;
}

void TestEdidText::writeCheck()
{
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(EdidWriteVerdict, verdict);

    EdidTable table {};
    int parsed = -1;
    QVERIFY(parseEdidTable(text, table, parsed));
    QCOMPARE(parsed, count);
    const EdidWriteCheck check = checkEdidWrite(parsed, table);
    QCOMPARE(check.byteCount, count);
    QCOMPARE(check.verdict, verdict);
}

void TestEdidText::checksum_data()
{
    QTest::addColumn<QByteArray>("table");

    QTest::newRow("TV A") << simedid::build(simedid::tvAProfile());
    QTest::newRow("TV B") << simedid::build(simedid::tvBProfile());
    QTest::newRow("box fixed") << simedid::build(simedid::boxFixedProfile());
}

void TestEdidText::checksum()
{
    QFETCH(QByteArray, table);
    if (!QFile::exists(QStringLiteral("/usr/bin/edid-decode")))
        QSKIP("edid-decode is not installed");

    QVERIFY(edidDecodeAcceptsChecksums(table));
    EdidTable good = tableFrom(table);
    QVERIFY(tablePassesChecksums(good));
    QCOMPARE(edidChecksum(good.data()), good[127]);
    QCOMPARE(edidChecksum(good.data() + 128), good[255]);

    // Block 1 is tested even when byte 126 claims no extension.
    EdidTable broken = good;
    broken[200] ^= 0x5A;
    QVERIFY(!tablePassesChecksums(broken));
    QVERIFY(!edidDecodeAcceptsChecksums(bytesOf(broken)));
    EdidTable repaired = broken;
    repairChecksums(repaired);
    QCOMPARE(repaired[127], good[127]);
    QVERIFY(repaired[255] != good[255]);
    QVERIFY(tablePassesChecksums(repaired));
    QVERIFY(edidDecodeAcceptsChecksums(bytesOf(repaired)));
}

void TestEdidText::canonicalLayout()
{
    const EdidTable table = sampleTable();
    const QString text = formatEdidText(table);
    QCOMPARE(text.size(), 768);
    const QStringList lines = text.split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 17);
    QCOMPARE(lines.last(), QString());
    QCOMPARE(lines.first(), QStringLiteral("00 FF FF FF FF FF FF 00") + text.mid(23, 24));
    EdidTable parsed {};
    QVERIFY(parseEdidTable(text, parsed));
    QCOMPARE(bytesOf(parsed), bytesOf(table));
}

void TestEdidText::loadRecognition_data()
{
    QTest::addColumn<QByteArray>("head");
    QTest::addColumn<bool>("binary");
    QTest::addColumn<QByteArray>("expected"); // table bytes or Latin-1 text

    const QByteArray edid = simedid::build(simedid::tvBProfile());
    QTest::newRow("empty file") << QByteArray() << true << QByteArray(256, '\0');
    QTest::newRow("1 byte") << QByteArray(1, '\0') << true << QByteArray(256, '\0');
    QTest::newRow("128 bytes") << edid.left(128) << true << edid.left(128) + QByteArray(128, '\0');
    QTest::newRow("300 bytes") << edid + QByteArray(44, '\x77') << true << edid;
    QTest::newRow("binary garbage")
        << QByteArray("\x8A\xFF\x01\x00\x44", 5) << false << QByteArray("\x8A\xFF\x01", 3);

    QString canonical = formatEdidText(tableFrom(edid));
    QByteArray spaceCrLf = canonical.toLatin1().replace("\n", " \r\n");
    QByteArray spaceLf = canonical.toLatin1().replace("\n", " \n");
    QTest::newRow("space CR LF") << spaceCrLf << false << canonical.toLatin1();
    QTest::newRow("space LF") << spaceLf << false << canonical.toLatin1();
    QByteArray crLf = canonical.toLatin1().replace("\n", "\r\n");
    QTest::newRow("CR LF without space") << crLf << false << crLf;

    // Once one line lacks the space-plus-line-end at column 48, the rest is
    // copied unchanged.
    QByteArray mixed = spaceLf;
    mixed[47] = 'X';
    QTest::newRow("stray first line") << mixed << false << mixed;

    // Bytes past the 1024th are never looked at: 20 lines of 50 characters
    // and 24 characters of the 21st.
    QByteArray longText;
    for (int line = 0; line < 40; ++line)
        longText += QByteArray(47, char('A' + line % 26)) + " \r\n";
    QByteArray expectedLong = longText.left(1024);
    expectedLong.replace(" \r\n", "\n");
    QTest::newRow("2000 bytes") << longText << false << expectedLong;
}

void TestEdidText::loadRecognition()
{
    QFETCH(QByteArray, head);
    QFETCH(bool, binary);
    QFETCH(QByteArray, expected);

    const EdidFileContent content = recogniseEdidFile(head);
    QCOMPARE(content.binary, binary);
    if (binary)
        QCOMPARE(bytesOf(content.table), expected);
    else
        QCOMPARE(content.text.toLatin1(), expected);
}

// Texts and file heads of any content and length give a result within
// bounds; run under the sanitizers this also shows that nothing is read
// outside the input.
void TestEdidText::arbitraryInput()
{
    const QString pool = QStringLiteral("0123456789abcdefABCDEFGz \n\r\t\u00DF\u00FF\u20AC");
    QRandomGenerator random(4711);
    for (int round = 0; round < 2000; ++round) {
        const int length = int(random.bounded(1100));
        QString text;
        QByteArray bytes;
        for (int i = 0; i < length; ++i) {
            text += pool.at(int(random.bounded(pool.size())));
            bytes += char(random.bounded(256));
        }
        EdidParseBuffer out {};
        const int count = parseEdidText(text, out);
        QVERIFY(count >= -1 && count <= (length + 1) / 3);
        const EdidFileContent content = recogniseEdidFile(bytes);
        QVERIFY(content.text.size() <= kEdidFileProbeSize);
        QVERIFY(convertEdidTextLayout(bytes).size() <= kEdidFileProbeSize);
    }
}

QTEST_GUILESS_MAIN(TestEdidText)
#include "tst_edidtext.moc"
