// SPDX-License-Identifier: GPL-3.0-or-later
// The strict reader of tables and dumps that vortalex-edid and vortalex-cli
// share, and vortalex-edid's runs over several files and standard input.
#include "edid/edidinput.h"

#include <QFile>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortalex;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Three blocks: more than the window's 256 bytes.
QByteArray table()
{
    return readFile(QStringLiteral(VORTALEX_TEST_DATA "/all_vics.bin"));
}

// 16 bytes a line in `hex` spelling joined by `between`, each line led by
// `indent` and ended by `end`; `blockGap` after every 8th line.
QByteArray dump(const QByteArray &bytes, const char *between, const char *indent, const char *end,
    const char *blockGap = "")
{
    QByteArray out;
    for (int i = 0; i < bytes.size(); i += 16) {
        out += indent + bytes.mid(i, 16).toHex(*between ? *between : '\0') + end;
        if (!*between)
            out.replace(QByteArray(1, '\0'), QByteArray());
        if ((i / 16) % 8 == 7 && i + 16 < bytes.size())
            out += blockGap;
    }
    return out;
}

} // namespace

class TestEdidInput : public QObject
{
    Q_OBJECT

private slots:
    void layouts_data();
    void layouts();
    void badInput_data();
    void badInput();
    void program_data();
    void program();
};

void TestEdidInput::layouts_data()
{
    QTest::addColumn<QByteArray>("content");
    const QByteArray t = table();
    QVERIFY(t.size() == 384);
    QTest::newRow("raw") << t;
    QTest::newRow("utility text") << dump(t, " ", "", " \n").toUpper();
    QTest::newRow("CR LF") << dump(t, " ", "", " \r\n").toUpper();
    QTest::newRow("byte-order mark") << "\xEF\xBB\xBF" + dump(t, " ", "", "\n");
    QTest::newRow("tabs") << dump(t, "\t", "\t", "\t\n");
    QTest::newRow("colons") << dump(t, ":", "", ":");
    QTest::newRow("commas") << dump(t, ",", "", ", \n");
    QTest::newRow("one string") << t.toHex();
    QTest::newRow("edid-decode hex") << "edid-decode (hex):\n\n" + dump(t, " ", "", "\n", "\n")
            + "\n----------------\n\nBlock 0, Base EDID:\n  EDID Structure Version & "
              "Revision: 1.3\n  Vendor & Product Identification: Manufacturer: KTV\n";
    QTest::newRow("xrandr --verbose")
        << "Screen 0: minimum 320 x 200, current 3840 x 2160\nHDMI-1 connected primary "
           "3840x2160+0+0 (0x48) normal (normal left inverted right x axis y axis) 1600mm x "
           "900mm\n\tIdentifier: 0x42 \n\tEDID: \n"
            + dump(t, "", "\t\t", "\n")
            + "\tBroadcast RGB: Automatic \n\t\tsupported: Automatic, Full, Limited 16:235\n";
    // The reference decoder's own dump, where it is installed.
    const QString edidDecode = QStandardPaths::findExecutable(QStringLiteral("edid-decode"));
    if (!edidDecode.isEmpty()) {
        QProcess process;
        process.start(edidDecode, { QStringLiteral(VORTALEX_TEST_DATA "/all_vics.bin") });
        QVERIFY(process.waitForFinished(30000));
        QTest::newRow("edid-decode output") << process.readAllStandardOutput();
    }
}

void TestEdidInput::layouts()
{
    QFETCH(QByteArray, content);
    QByteArray bytes;
    QString error;
    QVERIFY2(edidBytesFromContent(content, bytes, error), qPrintable(error));
    QCOMPARE(bytes, table());
}

void TestEdidInput::badInput_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("error");
    QTest::newRow("letter") << QByteArray("00 FF FF FF\nFF FF FF 00\n1E 6D 01 00 01 01 G1 01")
                            << "line 3, column 19: 'G' is not a hex digit";
    QTest::newRow("after a byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                           "00 FF x")
                                             << "line 1, column 7: 'x' is not a hex digit";
    QTest::newRow("a 0x prefix") << QByteArray("0x00, 0xff")
                                 << "line 1, column 2: 'x' is not a hex digit";
    QTest::newRow("accented letter") << QByteArray("00 \xC3\xA9\xC3\xA9 FF")
                                     << "line 1, column 4: '\xC3\xA9' is not a hex digit";
    QTest::newRow("control character")
        << QByteArray("00 FF\x01") << "line 1, column 6: U+0001 is not a hex digit";
    QTest::newRow("byte-order mark inside a line")
        << QByteArray("00 \xEF\xBB\xBF FF") << "line 1, column 4: U+FEFF is not a hex digit";
    QTest::newRow("broken UTF-8") << QByteArray("00 \xFF")
                                  << "line 1, column 4: byte 0xff is not a hex digit";
    QTest::newRow("odd digits") << QByteArray("00 FF\n  FFF FF")
                                << "line 2, column 3: \"FFF\" is an odd number of hex digits, "
                                   "not whole bytes";
    QTest::newRow("in an xrandr block")
        << QByteArray("\tEDID: \n\t\t00ffffffffffff00\n\t\t00ffffffffffff0Q\n\tnext: 1\nZZ")
        << "line 3, column 18: 'Q' is not a hex digit";
    QTest::newRow("two xrandr blocks")
        << QByteArray("\tEDID: \n\t\t00ff\n\tEDID: \n\t\t00ff\n")
        << "line 3: a second \"EDID:\" block; keep the one of the output you mean";
    QTest::newRow("in an edid-decode dump") << QByteArray(
        "edid-decode (hex):\n\n00 ff ff ff ff ff ff 00\n00 ff  ff ff ff ff ff "
        "0o\n\n----\nBlock 0") << "line 4, column 24: 'o' is not a hex digit";
    QTest::newRow("empty") << QByteArray() << "the file is empty";
    QTest::newRow("blanks only") << QByteArray(" \r\n\t\n")
                                 << "no hex bytes: neither a raw table nor a hex dump (\"00 FF "
                                    "FF FF FF FF FF 00 ...\")";
    QTest::newRow("too many bytes") << QByteArray(kEdidMaxBytes + 1, 'a').repeated(2)
                                    << "line 1, column 1: more than 32768 bytes, too large for "
                                       "an EDID table";
    QTest::newRow("raw, too large") << QByteArray(kEdidMaxBytes + 128, '\0')
                                    << "more than 32768 bytes, too large for an EDID table";
}

void TestEdidInput::badInput()
{
    QFETCH(QByteArray, content);
    QByteArray bytes("x");
    QString error;
    QVERIFY(!edidBytesFromContent(content, bytes, error));
    QTEST(error, "error");
    QVERIFY(bytes.isEmpty());
}

void TestEdidInput::program_data()
{
    QTest::addColumn<QStringList>("args"); // "good", "bad" and "missing" stand for files
    QTest::addColumn<QByteArray>("input"); // standard input; null: none
    QTest::addColumn<int>("exitCode");
    // its first lines, or for --json its "file" keys; null: nothing; "^" or
    // "{": the whole output ("..." at the end: its start)
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("several files, text")
        << QStringList { "good", "bad" } << QByteArray() << 1
        << "==> good <==\nUHD TV 65 · ...\n==> bad <==\n"
        << "vortalex-edid: bad: Block 0: bad checksum 0xc3, should be 0xc2\n";
    QTest::newRow("several files, JSON Lines")
        << QStringList { "--json", "good", "missing", "bad" } << QByteArray() << 2
        << "good missing bad"
        << "vortalex-edid: missing: No such file or directory\n"
           "vortalex-edid: bad: Block 0: bad checksum 0xc3, should be 0xc2\n";
    QTest::newRow("standard input without FILE")
        << QStringList { "--json" } << QByteArray("edid-decode (hex):\n\n") + table().toHex(' ')
        << 0 << "-" << QString();
    QTest::newRow("unknown option")
        << QStringList { "--bogus", "good" } << QByteArray() << 2 << QString()
        << "vortalex-edid: unknown option \"--bogus\"; see vortalex-edid --help\n";
    // One command table: a misspelt command runs nothing, options belong
    // to their command, the message names what is missing.
    QTest::newRow("misspelt command runs nothing")
        << QStringList { "edti", "good" } << QByteArray() << 2 << QString()
        << "vortalex-edid: unknown command \"edti\" (did you mean edit?); the commands are "
           "decode, edit, merge, diff, help\n";
    QTest::newRow("misspelt edit")
        << QStringList { "edit", "good", "-o", "out", "--nmae", "X" } << QByteArray() << 2
        << QString()
        << "vortalex-edid: unknown option \"--nmae\" (did you mean --name?); see vortalex-edid "
           "--help\n";
    QTest::newRow("edit without -o")
        << QStringList { "edit", "good", "--name", "X" } << QByteArray() << 2 << QString()
        << "vortalex-edid: edit needs -o OUT, - for standard output\n";
    QTest::newRow("option of another command")
        << QStringList { "--hex", "good" } << QByteArray() << 2 << QString()
        << "vortalex-edid: --hex belongs to edit and merge\n";
    QTest::newRow("diff, a word too many")
        << QStringList { "diff", "good", "bad", "good" } << QByteArray() << 2 << QString()
        << "vortalex-edid: unexpected \"good\" after \"diff good bad\"\n";
    QTest::newRow("option given twice")
        << QStringList { "--json", "--json", "good" } << QByteArray() << 2 << QString()
        << "vortalex-edid: --json is given twice\n";
    QTest::newRow("version as JSON") << QStringList { "--json", "--version" } << QByteArray() << 0
                                     << "{\"program\":\"vortalex-edid\",\"version\":\"1.8\"}\n"
                                     << QString();
    QTest::newRow("complete commands") << QStringList { "--complete", "words", "--", "" }
                                       << QByteArray() << 0 << "^decode\nedit\nmerge\ndiff\nhelp\n"
                                       << QString();
    QTest::newRow("complete the options of edit, past an option's value")
        << QStringList { "--complete", "options", "--", "edit", "--name", "good", "--" }
        << QByteArray() << 0 << "^--help\n--version\n--output\n--hex\n--name\n..." << QString();
}

void TestEdidInput::program()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QTemporaryDir dir;
    QByteArray good = readFile(QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin"));
    QByteArray bad = good;
    bad[127] = char(bad[127] + 1);
    for (const auto &[name, bytes] : { std::pair { "good", good }, std::pair { "bad", bad } }) {
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(VORTALEX_EDID_PROGRAM), args);
    if (!input.isNull())
        process.write(input);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished(30000));
    QTEST(process.exitCode(), "exitCode");
    QTEST(QString::fromUtf8(process.readAllStandardError()), "err");
    QFETCH(QString, out);
    const QString output = QString::fromUtf8(process.readAllStandardOutput());
    // "^": the whole output, or with "..." its start.
    if (out.isNull() || out.startsWith(QLatin1Char('^')) || out.startsWith(QLatin1Char('{'))) {
        const QString expected = out.startsWith(QLatin1Char('^')) ? out.mid(1) : out;
        if (expected.endsWith(QLatin1String("...")))
            QVERIFY2(output.startsWith(expected.chopped(3)), qPrintable(output));
        else
            QCOMPARE(output, expected.isNull() ? QString(QLatin1String("")) : expected);
        return;
    }
    if (!args.contains(QLatin1String("--json"))) {
        QStringList lines;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (line.endsWith(QLatin1String("...")))
                QVERIFY2(output.contains(line.chopped(3)), qPrintable(output));
            else
                QVERIFY2(output.contains(QLatin1Char('\n') + line + QLatin1Char('\n'))
                        || output.startsWith(line + QLatin1Char('\n')),
                    qPrintable(output));
        }
        return;
    }
    QStringList files;
    for (const QString &line : output.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        files << QJsonDocument::fromJson(line.toUtf8())[QStringLiteral("file")].toString();
    QCOMPARE(files.join(QLatin1Char(' ')), out);
}

QTEST_GUILESS_MAIN(TestEdidInput)
#include "tst_edidinput.moc"
