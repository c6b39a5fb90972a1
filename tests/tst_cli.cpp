// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli's commands run in-process against the emulated box on a
// virtual clock: exit status, standard output and error, and the frame log.
#include "cli/clirun.h"
#include "support/memoryclihost.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace vortalex;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Expected frame log lines; "..." stands for any number of lines.
void compareFrames(const QStringList &log, const QStringList &expected)
{
    qsizetype at = 0;
    bool skipping = false;
    for (const QString &line : expected) {
        if (line == "...") {
            skipping = true;
            continue;
        }
        if (skipping)
            while (at < log.size() && log[at] != line)
                ++at;
        QVERIFY2(at < log.size(), qPrintable("missing: " + line));
        QCOMPARE(log[at], line);
        ++at;
        skipping = false;
    }
    if (!skipping)
        QCOMPARE(at, log.size());
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void commands_data();
    void commands();
    void usageErrors_data();
    void usageErrors();
    void boxFailures_data();
    void boxFailures();
    void noBox_data();
    void noBox();
    void progress_data();
    void progress();
    void realBoxFrameLog();
    void edidSizes_data();
    void edidSizes();
    void saveTargets_data();
    void saveTargets();
    void frameLogs_data();
    void frameLogs();

private:
    int run(MemoryCliHost &host, const QStringList &args, bool emulated = true);
    QStringList frameLog() const;

    QTemporaryDir m_dir;
    QString m_goodEdid;
    QString m_badChecksum;
    QString m_binary;
    QString m_noHeader;
};

void TestCli::init()
{
    QFile::remove(m_dir.filePath("frames.log"));
    QFile::remove(m_dir.filePath("read.bin"));
}

void TestCli::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_goodEdid = QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_b.bin");
    QByteArray table = readFile(m_goodEdid);
    table[255] = char(table[255] + 1);
    m_badChecksum = m_dir.filePath("bad.bin");
    QFile bad(m_badChecksum);
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write(table) == 256);
    QFile oneBlock(m_dir.filePath("oneblock.bin"));
    // The base block alone, its extension count 0 as a one-block table has.
    QByteArray base = table.left(128);
    base[127] = char(base[127] + base[126]);
    base[126] = 0;
    QVERIFY(oneBlock.open(QIODevice::WriteOnly) && oneBlock.write(base) == 128);
    table[1] = char(0xFE);
    m_noHeader = m_dir.filePath("noheader.bin");
    QFile noHeader(m_noHeader);
    QVERIFY(noHeader.open(QIODevice::WriteOnly) && noHeader.write(table) == 256);
    m_binary = m_dir.filePath("program");
    QFile binary(m_binary);
    QVERIFY(binary.open(QIODevice::WriteOnly));
    // Starts as a program does: neither a raw table (first byte 0) nor hex text.
    const QByteArray programHead = QByteArray::fromHex("7f454c4602010100fffe");
    binary.write(programHead.repeated(40));
}

int TestCli::run(MemoryCliHost &host, const QStringList &args, bool emulated)
{
    QStringList arguments { "vortalex-cli" };
    // A row may name its own frame log: an option is given once.
    if (!args.contains("--frame-log"))
        arguments << "--frame-log" << m_dir.filePath("frames.log");
    if (emulated)
        arguments << "--emulated";
    return runCli(arguments + args, host);
}

QStringList TestCli::frameLog() const
{
    return QString::fromLatin1(readFile(m_dir.filePath("frames.log")))
        .split('\n', Qt::SkipEmptyParts);
}

void TestCli::commands_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("frames");

    const QStringList statusFrames { "0 > 11 08 E0 07", "2 < E0 00 01 02 00 0F 00 00",
        "2 > 11 0F E0 06", "4 < E0 00 61 10 02 60 00 00 00 00 40 E8 60 00 00", "4 > 11 1F E0 15",
        "...", "8 > 11 1F E0 1F",
        "10 < E0 00 82 0D 40 E8 60 61 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 "
        "00 00 00",
        "10 > 11 2A E1", "..." };
    QTest::newRow("status") << QStringList { "status" } << 0
                            << "firmware: 1.2.0.15\n"
                               "Input : 3840x2160p60 HDMI, [600MHz], Output: TX A, TX B\n"
                               "Color Space: YCbCr 4:4:4, Extended: ITU-R BT.2020 RGB\n"
                               "Source Info: LUMIDISC UHD BD Player 4K\n"
                               "HDR input:  SMPTE ST 2084\n"
                               "active-input: port-a\ncustom-edid: 0\n..."
                            << "" << statusFrames;
    QTest::newRow("status json")
        << QStringList { "--json", "status" } << 0
        << "{\"firmware\":\"1.2.0.15\",\"settings\":{\"active-input\":\"port-a\",\"audio-source\":"
           "\"hdmi\",\"auto-switch\":\"on\",\"automix\":\"min-mixed\",\"avr-audio\":\"off\","
           "\"blue-leds\":\"on\",\"cec\":\"on\",\"cec-device\":\"video-processor\",\"custom-edid\":"
           "0,\"edid-2ch\":\"off\",\"edid-51\":\"off\",\"edid-bt2020\":\"on\",\"edid-full-audio\":"
           "\"off\",\"edid-hdr\":\"on\",\"edid-mode\":\"automix\",\"edid-no-3d\":\"off\","
           "\"edid-ycbcr\":\"on\",\"force-hdr\":\"off\",\"green-led\":\"on\",\"hdcp\":\"2.2\","
           "\"hdr-hotkey\":\"off\",\"hdr-mode\":\"full\",\"output-420\":\"off\",\"priority\":"
           "\"normal\",\"replace-avi\":\"off\"},\"signal\":{..."
        << "" << statusFrames;
    QTest::newRow("get json") << QStringList { "get", "hdcp", "--json" } << 0
                              << "{\"hdcp\":\"2.2\"}\n"
                              << "" << QStringList { "0 > 11 2A E1", "..." };
    QTest::newRow("set name") << QStringList { "set", "active-input", "matrix-swap" } << 0 << ""
                              << "" << QStringList { "0 > 10 04 E0 00 04", "2 < E0 00" };
    QTest::newRow("set number json")
        << QStringList { "--json", "set", "blue-leds", "0", "--raw" } << 0 << "{\"ok\":true}\n"
        << "" << QStringList { "0 > 10 04 E0 17 00", "2 < E0 00" };
    QTest::newRow("cec send") << QStringList { "cec", "send", "40:04" } << 0 << ""
                              << "CEC values written...\n"
                              << QStringList { "0 > 10 03 B2 40 01 04", "2 < B2 00",
                                     "102 > 10 03 B3 10", "104 < B3 00" };
    QTest::newRow("cec store lp json")
        << QStringList { "cec", "store", "lp", "4f:82:10:00", "--json" } << 0 << "{\"ok\":true}\n"
        << "CEC values written...\n"
        << QStringList { "0 > 10 10 E4 43 45 43 20 34 46 3A 38 32 3A 31 30 3A 30 30 0D",
               "2 < E4 00" };
    QTest::newRow("infoframe hdr --force")
        << QStringList { "infoframe", "hdr", "87:01:02:03", "--force", "--raw" } << 0 << ""
        << "Infoframe values written...\n"
        << QStringList { "0 > 10 04 E5 87 01 02 03", "2 < E5 00", "102 > 10 04 B3 20",
               "104 < B3 00", "104 > 10 04 E0 11 01", "106 < E0 00" };
    QTest::newRow("infoframe avi")
        << QStringList { "infoframe", "avi", "12:34" } << 0 << ""
        << "AVI values written...\n"
        << QStringList { "0 > 10 02 E6 12 34", "2 < E6 00", "102 > 10 02 B3 80", "104 < B3 00",
               "104 > 10 04 E0 21 00", "106 < E0 00" };
    QTest::newRow("infoframe avi --replace")
        << QStringList { "infoframe", "avi", "12:34", "--replace" } << 0 << ""
        << "AVI values written...\n"
        << QStringList { "...", "104 > 10 04 E0 21 01", "106 < E0 00" };
    QTest::newRow("infoframe encode")
        << QStringList { "infoframe", "encode", "avi", "color=ycbcr420", "vic=97" } << 0
        << "60:08:00:61:00\n"
        << "" << QStringList {};
    QTest::newRow("infoframe decode, bad checksum")
        << QStringList { "infoframe", "decode", "hdr",
               "87:01:1a:75:02:00:c2:33:c4:86:4c:1d:b8:0b:d0:84:80:3e:13:3d:42:40:e8:03:32:00:"
               "e8:03:90:01" }
        << 1 << "EOTF: PQ\n..."
        << "vortalex-cli: bad checksum 0x75, should be 0x74\n"
        << QStringList {};
    QTest::newRow("version") << QStringList { "--version" } << 0 << "vortalex-cli 1.8\n"
                             << "" << QStringList {};
    QTest::newRow("reset both") << QStringList { "reset", "edid", "settings", "--yes" } << 0 << ""
                                << "" << QStringList { "0 > 10 04 E0 19 03", "2 < E0 01" };
    QTest::newRow("edid check") << QStringList { "edid", "check", m_goodEdid } << 0
                                << "header: correct\nblock 0: checksum 0x05 correct\n"
                                   "block 1: checksum 0x01 correct\n"
                                << "" << QStringList {};
    QTest::newRow("edid check bad json")
        << QStringList { "--json", "edid", "check", m_badChecksum } << 1
        << "{\"blocks\":[{\"checksum\":5,\"correct\":true,\"expected\":5},"
           "{\"checksum\":2,\"correct\":false,\"expected\":1}],\"header\":true,"
           "\"ok\":false,\"problems\":[\"block 1: checksum 0x02 wrong, should be 0x01\"]}\n"
        << "vortalex-cli: block 1: checksum 0x02 wrong, should be 0x01\n"
        << QStringList {};
    QTest::newRow("edid check, one block")
        << QStringList { "edid", "check", m_dir.filePath("oneblock.bin") } << 0
        << "header: correct\nblock 0: checksum 0x06 correct\n"
        << "" << QStringList {};
    QTest::newRow("edid decode, bad checksum")
        << QStringList { "edid", "decode", m_badChecksum } << 1 << "FHD TV 43 ..."
        << "vortalex-cli: Block 1: bad checksum 0x02, should be 0x01\n"
        << QStringList {};
    QTest::newRow("edid decode")
        << QStringList { "edid", "decode", m_goodEdid } << 0
        << QString::fromUtf8("FHD TV 43 · KTV · 2019 · 1920x1080@60 · HDMI 225 MHz · LPCM 2ch, "
                             "AC-3 6ch\n\nBlock 0: base block\n  Header: ok\n...")
        << "" << QStringList {};
    QTest::newRow("edid read top")
        << QStringList { "edid", "read", "top", "-o", m_dir.filePath("read.bin") } << 0 << ""
        << "TV EDID values read.\n"
        << QStringList { "0 > 10 01 B5", "2 < B5 01", "102 > 11 2A E1",
               "104 < E1 00 01 01 01 03 00 01 01 00 00 01 01 01 00 00 00 00 01 00 00 00 00 00 00 "
               "00 00 00 01 01 01 01 00 00 00 00 00 00 00 00 00 00",
               "114 > 11 10 B0 00", "116 < 00 FF FF FF FF FF FF 00 2E 96 01 65 C3 B2 A1 00", "...",
               "144 > 11 10 B0 F0", "146 < 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 6C" };
    QTest::newRow("edid write fixed")
        << QStringList { "edid", "write", m_badChecksum, "--fix-checksums", "-q" } << 0 << ""
        << ""
        << QStringList { "0 > 10 08 B0 00 00 FF FF FF FF FF FF 00", "2 < B0 00",
               "32 > 10 08 B0 08 2E 96 02 43 F6 E5 D4 00", "...",
               "992 > 10 08 B0 F8 00 00 00 00 00 00 00 01", "994 < B0 00", "1024 > 10 08 B1",
               "1026 < B1 00" };
}

void TestCli::commands()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    MemoryCliHost host;
    QCOMPARE(run(host, args), exitCode);
    // An expected output that ends in "..." gives its first lines only.
    QFETCH(QString, out);
    if (out.endsWith("..."))
        QVERIFY2(host.out.startsWith(out.chopped(3).toUtf8()), host.out);
    else
        QCOMPARE(QString::fromUtf8(host.out), out);
    QTEST(QString::fromUtf8(host.err), "err");
    QFETCH(QStringList, frames);
    compareFrames(frameLog(), frames);
    if (args.contains("-o"))
        QCOMPARE(readFile(m_dir.filePath("read.bin")),
            readFile(QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin")));
}

void TestCli::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("err");

    QTest::newRow("no command") << QStringList {}
                                << "vortalex-cli: no command given. See vortalex-cli --help.\n";
    QTest::newRow("unknown command")
        << QStringList { "frobnicate" }
        << "vortalex-cli: unknown command \"frobnicate\"; the commands are status, settings, "
           "get, set, watch, edid, cec, infoframe, reset, help\n";
    QTest::newRow("unknown option") << QStringList { "--colour", "status" }
                                    << "vortalex-cli: unknown option \"--colour\"; see "
                                       "vortalex-cli --help\n";
    QTest::newRow("missing option value")
        << QStringList { "edid", "read", "-o" } << "vortalex-cli: -o needs FILE\n";
    QTest::newRow("missing hex list") << QStringList { "cec",
        "send" } << "vortalex-cli: cec takes \"send HEX\" or \"store sp|lp HEX\"\n";
    QTest::newRow("10000 characters")
        << QStringList { "cec", "send", QString("40:04:").repeated(1666) + "0000" }
        << "vortalex-cli: the hex list holds 10000 characters, more than the 92 the box takes; "
           "give 2 to 16 hex bytes separated by colons, such as 50:04\n";
    QTest::newRow("not hex") << QStringList { "infoframe", "avi", "12:3g" }
                             << "vortalex-cli: bad hex list \"12:3g\": byte 2 \"3g\" is not two "
                                "hex digits; give 2 to 13 hex bytes separated by colons, such as "
                                "50:04\n";
    QTest::newRow("encode key") << QStringList { "infoframe", "encode", "avi", "colr=x" }
                                << "vortalex-cli: unknown key colr (did you mean color?); keys: "
                                   "color, colorimetry, quant, yquant, it, content, scaling, vic, "
                                   "aspect, active, scan, repetition, top-bottom, left-right\n";
    QTest::newRow("encode value, 100 characters")
        << QStringList { "infoframe", "encode", "hdr", "eotf=" + QString(100, 'k') }
        << "vortalex-cli: eotf=" + QString(64, 'k') + "...: expected sdr, hdr, pq, hlg\n";
    QTest::newRow("decode, 100 characters")
        << QStringList { "infoframe", "decode", "avi", QString(100, 'k') }
        << "vortalex-cli: byte 1 \"" + QString(64, 'k') + "...\" is not two hex digits\n";
    QTest::newRow("unknown setting")
        << QStringList { "get", "volume" }
        << "vortalex-cli: unknown setting \"volume\"; the settings are active-input, "
           "custom-edid, cec-device, automix, audio-source, edid-mode, hdcp, output-420, "
           "auto-switch, edid-2ch, edid-51, edid-full-audio, edid-no-3d, edid-hdr, priority, "
           "hdr-hotkey, hdr-mode, force-hdr, green-led, blue-leds, cec, edid-ycbcr, edid-bt2020, "
           "avr-audio, replace-avi\n";
    QTest::newRow("unknown value") << QStringList { "set", "active-input", "port-c" }
                                   << "vortalex-cli: active-input takes port-a, port-b, "
                                      "matrix-thru, matrix-swap (with --raw also the number 1 "
                                      "to 4), not \"port-c\" (did you mean port-a?)\n";
    QTest::newRow("raw code") << QStringList { "set", "hdcp", "2" }
                              << "vortalex-cli: hdcp takes 1.4, 2.2 (with --raw also the number 2 "
                                 "to 3), not \"2\"\n";
    QTest::newRow("echoed text escaped and cut")
        << QStringList { "fr\x1b[2Job\n" + QString(100, 'x') }
        << "vortalex-cli: unknown command \"fr\\x1b[2Job\\n" + QString(55, 'x')
            + "...\"; the commands are status, settings, get, set, watch, edid, cec, infoframe, "
              "reset, help\n";
    QTest::newRow("hdr too short") << QStringList { "infoframe", "hdr", "87:01:1a:00:02" }
                                   << "vortalex-cli: not a good HDR InfoFrame: too short: 1 data "
                                      "bytes, 26 needed; nothing was sent (--raw sends it as it "
                                      "is)\n";
    QTest::newRow("hdr bad checksum")
        << QStringList { "infoframe", "hdr",
               "87:01:1a:00:02:00:c2:33:c4:86:4c:1d:b8:0b:d0:84:80:3e:13:3d:42:40:e8:03:32:00:e8:"
               "03:90:01" }
        << "vortalex-cli: not a good HDR InfoFrame: bad checksum 0x00, should be 0x74; nothing "
           "was sent (--raw sends it as it is)\n";
    QTest::newRow("avi payload as hdr")
        << QStringList { "infoframe", "hdr", "40:e8:60:61:00" }
        << "vortalex-cli: not a good HDR InfoFrame: too short: 5 data bytes, 26 needed; nothing "
           "was sent (--raw sends it as it is)\n";
    QTest::newRow("avi bar data missing") << QStringList { "infoframe", "avi", "0c:08:00:61:00" }
                                          << "vortalex-cli: not a good AVI InfoFrame: bar data "
                                             "flagged, but data bytes 6-13 are missing; nothing "
                                             "was sent (--raw sends it as it is)\n";
    QTest::newRow("cec over 16 bytes")
        << QStringList { "cec", "send", "40:04" + QString(":00").repeated(15) }
        << "vortalex-cli: a CEC message holds at most 16 bytes; this one has 17\n";
    QTest::newRow("encode avi past the field")
        << QStringList { "infoframe", "encode", "avi", "colorimetry=dci-p3-d65" }
        << "vortalex-cli: these values take 14 data bytes (the additional colorimetry is data "
           "byte 14); the box's AVI field holds 13\n";
    QTest::newRow("output folder missing")
        << QStringList { "edid", "read", "-o", m_dir.filePath("none/edid.bin") }
        << QString("vortalex-cli: cannot write file %1: the folder %2 does not exist\n")
               .arg(m_dir.filePath("none/edid.bin"), m_dir.filePath("none"));
    QTest::newRow("output is a folder") << QStringList { "edid", "read", "-o", m_dir.path() }
                                        << QString("vortalex-cli: cannot write file %1: it is a "
                                                   "folder\n")
                                               .arg(m_dir.path());
    QTest::newRow("standard output twice")
        << QStringList { "edid", "read", "-o", "-", "--json" }
        << "vortalex-cli: -o - and --json both write to standard output; give one\n";
    QTest::newRow("missing value")
        << QStringList { "set", "hdcp" } << "vortalex-cli: set takes a setting name and a value\n";
    QTest::newRow("store slot") << QStringList { "cec", "store", "xp", "40:04" }
                                << "vortalex-cli: unknown CEC slot \"xp\" (did you mean sp?); give "
                                   "sp or lp\n";
    QTest::newRow("binary file") << QStringList {
        "edid", "write", m_binary
    } << QString("vortalex-cli: %1: line 1, column 1: U+007F is not a hex digit\n").arg(m_binary);
    QTest::newRow("directory") << QStringList { "edid", "write", m_dir.path() }
                               << QString("vortalex-cli: %1: is a directory\n").arg(m_dir.path());
    QTest::newRow("three blocks for the box")
        << QStringList { "edid", "write", VORTALEX_TEST_DATA "/all_vics.bin" }
        << "vortalex-cli: the box holds a base block and one extension; this table has 3 "
           "blocks; nothing was written\n";
    QTest::newRow("bad checksum") << QStringList { "edid", "write", m_badChecksum }
                                  << "vortalex-cli: The EDID Checksum is not correct. Nothing "
                                     "was written; --fix-checksums repairs it before writing.\n";
    QTest::newRow("no header")
        << QStringList { "edid", "write", m_noHeader, "--fix-checksums" }
        << "vortalex-cli: The table does not start with the EDID header. Nothing was written; "
           "--force writes it anyway.\n";
    QTest::newRow("edid source") << QStringList { "edid", "read", "left" }
                                 << "vortalex-cli: unknown EDID source \"left\"; give box, top "
                                    "or bot\n";
    QTest::newRow("reset unconfirmed") << QStringList { "reset",
        "settings" } << "vortalex-cli: a factory reset cannot be undone; add --yes to confirm it\n";
    QTest::newRow("option of another command")
        << QStringList { "status", "--yes" } << "vortalex-cli: --yes belongs to reset\n";
    // A misspelt word anywhere gets the word that was probably meant.
    QTest::newRow("subcommand misspelt")
        << QStringList { "edid", "raed" }
        << "vortalex-cli: unknown edid command \"raed\" (did you mean read?); give read, write, "
           "check or decode\n";
    QTest::newRow("cec subcommand misspelt")
        << QStringList { "cec", "sned", "40:04" }
        << "vortalex-cli: unknown cec command \"sned\" (did you mean send?); give send or store\n";
    QTest::newRow("reset target misspelt")
        << QStringList { "reset", "setings", "--yes" }
        << "vortalex-cli: unknown reset target \"setings\" (did you mean settings?); give "
           "settings, edid or both\n";
    QTest::newRow("infoframe subcommand misspelt")
        << QStringList { "infoframe", "decod", "hdr", "00:00" }
        << "vortalex-cli: unknown infoframe command \"decod\" (did you mean decode?); give hdr, "
           "avi, decode or encode\n";
    QTest::newRow("value misspelt, the one it starts as")
        << QStringList { "set", "green-led", "of" }
        << "vortalex-cli: green-led takes off, on (with --raw also the number 0 to 1), not \"of\" "
           "(did you mean off?)\n";
    QTest::newRow("value without its dash")
        << QStringList { "set", "active-input", "portb" }
        << "vortalex-cli: active-input takes port-a, port-b, matrix-thru, matrix-swap (with --raw "
           "also the number 1 to 4), not \"portb\" (did you mean port-b?)\n";
    QTest::newRow("option misspelt")
        << QStringList { "watch", "--intervall", "1" }
        << "vortalex-cli: unknown option \"--intervall\" (did you mean "
           "--interval?); see vortalex-cli --help\n";
    QTest::newRow("long option with one dash")
        << QStringList { "-json", "get" }
        << "vortalex-cli: unknown option \"-json\" (did you mean --json?); see vortalex-cli "
           "--help\n";
    // The word at fault, with the words before it.
    QTest::newRow("set, a word too many") << QStringList { "set", "hdcp", "2.2",
        "extra" } << "vortalex-cli: unexpected \"extra\" after \"set hdcp 2.2\"\n";
    QTest::newRow("reset, a word too many") << QStringList { "reset", "both", "--yes",
        "extra" } << "vortalex-cli: unexpected \"extra\" after \"reset both\"\n";
    QTest::newRow("one hex byte") << QStringList { "cec", "send", "40" }
                                  << "vortalex-cli: the hex list \"40\" holds 1 byte; give 2 to 16 "
                                     "hex bytes separated by colons, such as 50:04\n";
    // A name given twice, the same way everywhere; nothing is sent.
    QTest::newRow("setting given twice") << QStringList { "set", "green-led=on", "green-led=off" }
                                         << "vortalex-cli: green-led is given twice\n";
    QTest::newRow("name read twice")
        << QStringList { "get", "hdcp", "hdcp" } << "vortalex-cli: hdcp is given twice\n";
    QTest::newRow("encode key given twice") << QStringList { "infoframe", "encode", "hdr",
        "eotf=pq", "eotf=hlg" } << "vortalex-cli: eotf is given twice\n";
    QTest::newRow("option given twice") << QStringList { "watch", "--interval", "1", "--interval",
        "2" } << "vortalex-cli: --interval is given twice\n";
    // NaN passes every range check unless it is refused by name.
    QTest::newRow("interval nan") << QStringList { "watch", "--interval", "nan" }
                                  << "vortalex-cli: --interval takes seconds from 0.1 to 3600, not "
                                     "\"nan\"\n";
    QTest::newRow("interval inf") << QStringList { "watch", "--interval", "-inf" }
                                  << "vortalex-cli: --interval takes seconds from 0.1 to 3600, not "
                                     "\"-inf\"\n";
}

void TestCli::usageErrors()
{
    QFETCH(QStringList, args);
    MemoryCliHost host;
    QCOMPARE(run(host, args), 2);
    QTEST(QString::fromUtf8(host.err), "err");
    // Under --json the error is also a JSON object on standard output.
    if (args.contains("--json"))
        QVERIFY(host.out.startsWith("{\"error\":"));
    else
        QCOMPARE(host.out, QByteArray());
    QCOMPARE(host.sim.exchangeCount(), 0);
    QCOMPARE(frameLog(), QStringList());
}

void TestCli::boxFailures_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QString>("err");

    QTest::newRow("status, no answer") << QStringList { "status" } << "silent"
                                       << "vortalex-cli: the box did not answer\n";
    QTest::newRow("reset quiet, no answer")
        << QStringList { "reset", "edid", "--yes", "--quiet" } << "silent"
        << "Error Writing values\n";
    QTest::newRow("set refused") << QStringList { "set", "green-led", "off" } << "setting"
                                 << "Error Writing values\n";
    QTest::newRow("cec send refused") << QStringList { "cec", "send", "40:04" } << "cec"
                                      << "Error Writing CEC command.\n";
    QTest::newRow("edid write, chunk refused")
        << QStringList { "edid", "write", m_goodEdid } << "chunk"
        << "Error Writing EDID values.\nEDID values written...\n";
}

void TestCli::boxFailures()
{
    QFETCH(QStringList, args);
    QFETCH(QString, fault);
    MemoryCliHost host;
    if (fault == "silent")
        host.sim.injectFault(Fault::NoAnswer, FaultWhen::always());
    else if (fault == "setting")
        host.sim.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::Page, 1, FrameType::Set));
    else if (fault == "cec")
        host.sim.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::CecSend, 1));
    else
        host.sim.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::Chunk, 5));
    QCOMPARE(run(host, args), 1);
    QTEST(QString::fromUtf8(host.err), "err");
    QCOMPARE(host.out, QByteArray());
}

void TestCli::noBox_data()
{
    QTest::addColumn<bool>("listed");
    QTest::addColumn<bool>("denied");
    QTest::addColumn<QString>("err");

    QTest::newRow("none") << false << false
                          << "vortalex-cli: no VORTALEX box found; is it plugged in and "
                             "switched on?\n";
    QTest::newRow("held") << true << false
                          << "vortalex-cli: cannot open the box: another program may be using "
                             "it, or the udev rule /usr/lib/udev/rules.d/60-vortalex.rules is "
                             "missing (packaging/60-vortalex.rules in the source tree)\n";
    QTest::newRow("no permission")
        << true << true
        << "vortalex-cli: no permission to open the box; install the udev rule "
           "/usr/lib/udev/rules.d/60-vortalex.rules (packaging/60-vortalex.rules in the source "
           "tree) and replug the box\n";
}

void TestCli::noBox()
{
    QFETCH(bool, listed);
    MemoryCliHost host;
    QFETCH(bool, denied);
    host.denied = denied;
    if (!listed)
        host.real.setDevices({});
    host.real.setOpenFails(listed);
    QCOMPARE(run(host, { "cec", "send", "40:04" }, false), 3);
    QTEST(QString::fromUtf8(host.err), "err");
    QCOMPARE(host.real.exchangeCount(), 0);
    QCOMPARE(frameLog(), QStringList());
}

void TestCli::progress_data()
{
    QTest::addColumn<bool>("quiet");
    QTest::newRow("terminal") << false;
    QTest::newRow("terminal, quiet") << true;
}

// On a terminal the progress line counts up on standard error; --quiet
// silences it with the messages.
void TestCli::progress()
{
    QFETCH(bool, quiet);
    MemoryCliHost host;
    host.terminal = true;
    QCOMPARE(run(host,
                 QStringList { "edid", "read", "-o", m_dir.filePath("read.bin") }
                     + (quiet ? QStringList { "-q" } : QStringList {})),
        0);
    if (quiet) {
        QCOMPARE(host.err, QByteArray());
        return;
    }
    QVERIFY2(host.err.startsWith("\rReading EDID   0%\rReading EDID   6%"), host.err);
    QVERIFY2(
        host.err.endsWith("\rReading EDID  94%\rReading EDID 100%\nEDID values read.\n"), host.err);
}

// Without --emulated the frames are logged by the bridge wrapped around the
// box on USB: each answer when it is read.
void TestCli::realBoxFrameLog()
{
    MemoryCliHost host;
    host.real.setLatency(3);
    QCOMPARE(run(host, { "set", "green-led", "off" }, false), 0);
    QCOMPARE(frameLog(), QStringList({ "0 > 10 04 E0 16 00", "3 < E0 00" }));
    QCOMPARE(host.sim.exchangeCount(), 0);
}

// A table the box cannot hold is refused by edid write and edid check alike,
// before anything is sent.
void TestCli::edidSizes_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QString>("writeErr");
    QTest::addColumn<QString>("checkErr");

    const QByteArray full = readFile(m_goodEdid); // base block and one extension
    QCOMPARE(int(full[126]), 1);
    const auto withCount = [](QByteArray table, int count) {
        table[126] = char(count);
        std::uint8_t sum = 0;
        for (int i = 0; i < 127; ++i)
            sum += std::uint8_t(table[i]);
        table[127] = char(std::uint8_t(256 - sum));
        return table;
    };
    const QString holds = "the box holds a base block and one extension; this table has %1 blocks";
    const QString nothing = "; nothing was written";
    QTest::newRow("0 bytes") << QByteArray() << "%1: the file is empty"
                             << "%1: the file is empty";
    QTest::newRow("127 bytes") << full.left(127)
                               << "The EDID table holds only 127 bytes; nothing was written."
                               << "the table holds only 127 bytes; the box holds a base block "
                                  "and one extension of 128 bytes each";
    QTest::newRow("128 bytes, count 0") << withCount(full.left(128), 0) << "" << "";
    const QString oneOfTwo
        = "the table has 1 block but its extension count (byte 126) says 2 blocks";
    QTest::newRow("128 bytes, count 1") << full.left(128) << oneOfTwo + nothing << oneOfTwo;
    QTest::newRow("256 bytes") << full << "" << "";
    QTest::newRow("256 bytes, count 0, blank extension")
        << withCount(full.left(128), 0) + QByteArray(128, '\0') << "" << "";
    QTest::newRow("384 bytes") << withCount(full, 2) + full.mid(128)
                               << holds.arg(3) + nothing << holds.arg(3);
    QTest::newRow("512 bytes") << withCount(full, 3) + full.mid(128) + full.mid(128)
                               << holds.arg(4) + nothing << holds.arg(4);
}

void TestCli::edidSizes()
{
    QFETCH(QByteArray, table);
    QFETCH(QString, writeErr);
    QFETCH(QString, checkErr);
    const QString path = m_dir.filePath("sized.bin");
    writeErr.replace(QLatin1String("%1"), path);
    checkErr.replace(QLatin1String("%1"), path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(table), table.size());
    file.close();

    MemoryCliHost host;
    QCOMPARE(run(host, { "edid", "write", path, "-q" }), writeErr.isEmpty() ? 0 : 2);
    QCOMPARE(QString::fromUtf8(host.err),
        writeErr.isEmpty() ? QString() : "vortalex-cli: " + writeErr + "\n");
    // Refused: nothing sent. Written: the whole table, zeros after one block.
    QCOMPARE(host.sim.exchangeCount(), writeErr.isEmpty() ? 33 : 0);
    if (writeErr.isEmpty())
        QCOMPARE(host.box.customEdid(), table.leftJustified(256, '\0'));

    MemoryCliHost checker;
    QCOMPARE(run(checker, { "edid", "check", path }), checkErr.isEmpty() ? 0 : 2);
    QCOMPARE(QString::fromUtf8(checker.err),
        checkErr.isEmpty() ? QString() : "vortalex-cli: " + checkErr + "\n");
}

// edid read -o writes a FIFO or a device node as it is (cp does the same),
// "-" to standard output, and a regular file by an atomic replace.
void TestCli::saveTargets_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("regular file") << "file";
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("character device") << "char";
    QTest::newRow("standard output") << "-";
}

void TestCli::saveTargets()
{
    QFETCH(QString, kind);
    const QString path = kind == "-" ? "-" : m_dir.filePath("target-" + kind);
    const QByteArray encoded = QFile::encodeName(path);
    int reader = -1;
    if (kind == "file") {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    } else if (kind == "fifo") {
        QCOMPARE(mkfifo(encoded.constData(), 0600), 0);
        reader = ::open(encoded.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
    } else if (kind == "char") {
        // The null device's numbers, in the test's own folder.
        if (mknod(encoded.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("no permission to make a device node here");
    }

    MemoryCliHost host;
    QCOMPARE(run(host, { "edid", "read", "top", "-o", path, "-q" }), 0);
    QCOMPARE(host.err, QByteArray());
    const QByteArray expected = readFile(QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin"));
    struct stat info {};
    if (kind != "-")
        QCOMPARE(::stat(encoded.constData(), &info), 0);
    if (kind == "-") {
        QCOMPARE(host.out, expected);
    } else if (kind == "file") {
        QVERIFY(S_ISREG(info.st_mode));
        QCOMPARE(readFile(path), expected);
    } else if (kind == "fifo") {
        QVERIFY(S_ISFIFO(info.st_mode));
        QByteArray got(512, '\0');
        const ssize_t n = ::read(reader, got.data(), std::size_t(got.size()));
        ::close(reader);
        QCOMPARE(got.left(int(std::max<ssize_t>(n, 0))), expected);
    } else {
        QVERIFY(S_ISCHR(info.st_mode));
    }
    QFile::remove(path);
}

void TestCli::frameLogs_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("frames");

    // The answer comes 5000 ms after the request; the link gave up at 4000.
    QTest::newRow("withdrawn answer") << QStringList { "--latency", "5000", "get", "hdcp" } << 1
                                      << "Error Reading values\n"
                                      << QStringList { "0 > 11 2A E1" };
    QTest::newRow("answer read late")
        << QStringList { "--latency", "3999", "set", "green-led", "off" } << 0 << ""
        << QStringList { "0 > 10 04 E0 16 00", "3999 < E0 00" };
    QTest::newRow("log cannot be written")
        << QStringList { "--frame-log", "/dev/full", "set", "green-led", "off" } << 0
        << "vortalex-cli: cannot write the frame log /dev/full: No space left on device\n"
        << QStringList {};
}

void TestCli::frameLogs()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    MemoryCliHost host;
    QCOMPARE(run(host, args), exitCode);
    QTEST(QString::fromUtf8(host.err), "err");
    QTEST(frameLog(), "frames");
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
