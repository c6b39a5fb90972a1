// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli for scripts: the JSON of every command against the shapes
// written down here, several settings at once, watch on the virtual clock,
// settings save and load, and the emulated box that remembers.
#include "cli/clirun.h"
#include "support/memoryclihost.h"

#include "emulated/emulatedstatelock.h"
#include "settings/settingstable.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortalex;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(data);
}

QString typeName(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
        return "null";
    case QJsonValue::Bool:
        return "bool";
    case QJsonValue::Double:
        return "number";
    case QJsonValue::String:
        return "string";
    case QJsonValue::Array:
        return "array";
    case QJsonValue::Object:
        return "object";
    default:
        return "missing";
    }
}

// `schema`: "key:type ..." where a key may be a path (a.b) and a type may
// be "number|null". The top-level keys must be exactly those named.
void checkSchema(const QByteArray &json, const QString &schema)
{
    const QJsonObject object = QJsonDocument::fromJson(json).object();
    QVERIFY2(!object.isEmpty(), json);
    QStringList topKeys;
    for (const QString &entry : schema.split(' ', Qt::SkipEmptyParts)) {
        const QString path = entry.section(':', 0, 0);
        const QStringList types = entry.section(':', 1).split('|');
        QJsonValue value = object;
        for (const QString &key : path.split('.'))
            value = value.toObject().value(key);
        QVERIFY2(types.contains(typeName(value)),
            qPrintable(QString("%1 is %2 in %3").arg(path, typeName(value), json)));
        if (!path.contains('.'))
            topKeys.append(path);
    }
    QStringList actual = object.keys();
    topKeys.sort();
    QCOMPARE(actual, topKeys);
}

} // namespace

class TestCliScripting : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void json_data();
    void json();
    void messages_data();
    void messages();
    void watch_data();
    void watch();
    void saveAndLoad();
    void loadRefusals_data();
    void loadRefusals();
    void emulatedState();
    void emulatedBoxInUse();
    void helpEntries();

private:
    int run(MemoryCliHost &host, const QStringList &args);
    QStringList frameLog() const;

    QTemporaryDir m_dir;
};

void TestCliScripting::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

int TestCliScripting::run(MemoryCliHost &host, const QStringList &args)
{
    QFile::remove(m_dir.filePath("frames.log"));
    return runCli(
        QStringList { "vortalex-cli", "--emulated", "--frame-log", m_dir.filePath("frames.log") }
            + args,
        host);
}

QStringList TestCliScripting::frameLog() const
{
    return QString::fromLatin1(readFile(m_dir.filePath("frames.log")))
        .split('\n', Qt::SkipEmptyParts);
}

void TestCliScripting::json_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("schema");

    const QString hdr = VORTALEX_TEST_DATA "/sim_tv_b.bin";
    QTest::newRow("status") << QStringList { "status" } << "" << 0
                            << "firmware:string status:array settings:object "
                               "settings.active-input:string settings.custom-edid:number "
                               "settings.hdcp:string signal:object signal.vic:number "
                               "signal.hdmi_vic:null signal.width:number signal.height:number "
                               "signal.refresh:number signal.interlaced:bool signal.hdmi:bool "
                               "signal.structure_3d:null signal.link:string "
                               "signal.outputs.tx_a:bool signal.outputs.tx_b:bool "
                               "signal.color_format:string signal.colorimetry:string "
                               "signal.source.vendor:string signal.source.product:string "
                               "signal.hdr_active:bool signal.eotf:string "
                               "signal.hdr_infoframe.max_cll:number "
                               "signal.avi_infoframe.vic:number";
    QTest::newRow("get all") << QStringList { "get" } << "" << 0
                             << "active-input:string custom-edid:number cec-device:string "
                                "automix:string audio-source:string edid-mode:string hdcp:string "
                                "output-420:string auto-switch:string edid-2ch:string "
                                "edid-51:string edid-full-audio:string edid-no-3d:string "
                                "edid-hdr:string priority:string hdr-hotkey:string "
                                "hdr-mode:string force-hdr:string green-led:string "
                                "blue-leds:string cec:string edid-ycbcr:string "
                                "edid-bt2020:string avr-audio:string replace-avi:string";
    QTest::newRow("get two") << QStringList { "get", "hdcp", "custom-edid" } << "" << 0
                             << "hdcp:string custom-edid:number";
    QTest::newRow("settings") << QStringList { "settings" } << "" << 0
                              << "active-input:object active-input.values:array "
                                 "active-input.value:string custom-edid:object "
                                 "custom-edid.value:number cec-device:object automix:object "
                                 "audio-source:object edid-mode:object hdcp:object "
                                 "output-420:object auto-switch:object edid-2ch:object "
                                 "edid-51:object edid-full-audio:object edid-no-3d:object "
                                 "edid-hdr:object priority:object hdr-hotkey:object "
                                 "hdr-mode:object force-hdr:object green-led:object "
                                 "blue-leds:object cec:object edid-ycbcr:object "
                                 "edid-bt2020:object avr-audio:object replace-avi:object";
    QTest::newRow("set") << QStringList { "set", "green-led=off" } << "" << 0 << "ok:bool";
    QTest::newRow("reset") << QStringList { "reset", "both", "--yes" } << "" << 0 << "ok:bool";
    QTest::newRow("cec send") << QStringList { "cec", "send", "40:04" } << "" << 0 << "ok:bool";
    QTest::newRow("edid read") << QStringList { "edid", "read" } << "" << 0
                               << "ok:bool source:string edid:string";
    QTest::newRow("edid check") << QStringList { "edid", "check", hdr } << "" << 0
                                << "ok:bool header:bool blocks:array problems:array";
    QTest::newRow("edid decode") << QStringList { "edid", "decode", hdr } << "" << 0
                                 << ""; // the decoder's own object, tested with the decoder
    QTest::newRow("infoframe encode")
        << QStringList { "infoframe", "encode", "hdr" } << "" << 0 << "ok:bool hex:string";
    QTest::newRow("infoframe decode avi")
        << QStringList { "infoframe", "decode", "avi", "40:a8:00:61:00" } << "" << 0
        << "active_format:null bars:null checksum_ok:null color_format:string colorimetry:string "
           "content_type:string data_bytes:number it_content:bool picture_aspect:string "
           "pixel_repetition:number problems:array rgb_quantization:string scaling:string "
           "scan:string vic:number ycc_quantization:string";
    QTest::newRow("settings save -") << QStringList { "settings", "save", "-" } << "" << 0
                                     << "format:string version:number settings:object "
                                        "settings.custom-edid:number";
    QTest::newRow("usage error") << QStringList { "stauts" } << "" << 2
                                 << "error:string exit:number";
    QTest::newRow("box did not answer")
        << QStringList { "get" } << "silent" << 1 << "error:string exit:number";
    QTest::newRow("no box") << QStringList { "status" } << "none" << 3
                            << "error:string exit:number";
}

void TestCliScripting::json()
{
    QFETCH(QStringList, args);
    QFETCH(QString, fault);
    MemoryCliHost host;
    if (fault == "silent")
        host.sim.injectFault(Fault::NoAnswer, FaultWhen::always());
    else if (fault == "none")
        host.sim.setDevices({});
    QTEST(run(host, QStringList { "--json" } + args), "exitCode");
    QVERIFY2(host.out.count('\n') == 1 || args.contains("save"), host.out);
    QFETCH(QString, schema);
    if (schema.isEmpty())
        QVERIFY(QJsonDocument::fromJson(host.out).isObject());
    else
        checkSchema(host.out, schema);
    if (schema.startsWith("error:"))
        QTEST(QJsonDocument::fromJson(host.out).object().value("exit").toInt(), "exitCode");
}

void TestCliScripting::messages_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::addColumn<QStringList>("frames");

    QTest::newRow("command misspelt")
        << QStringList { "stauts" } << 2 << ""
        << "vortalex-cli: unknown command \"stauts\" (did you mean status?); the commands are "
           "status, settings, get, set, watch, edid, cec, infoframe, reset, help\n"
        << QStringList {};
    QTest::newRow("setting misspelt")
        << QStringList { "set", "greenled=off" } << 2 << ""
        << "vortalex-cli: unknown setting \"greenled\" (did you mean green-led?); the settings "
           "are active-input, custom-edid, cec-device, automix, audio-source, edid-mode, hdcp, "
           "output-420, auto-switch, edid-2ch, edid-51, edid-full-audio, edid-no-3d, edid-hdr, "
           "priority, hdr-hotkey, hdr-mode, force-hdr, green-led, blue-leds, cec, edid-ycbcr, "
           "edid-bt2020, avr-audio, replace-avi\n"
        << QStringList {};
    QTest::newRow("second pair bad: nothing sent")
        << QStringList { "set", "green-led=off", "hdcp=3.0" } << 2 << ""
        << "vortalex-cli: hdcp takes 1.4, 2.2 (with --raw also the number 2 to 3), not \"3.0\"\n"
        << QStringList {};
    QTest::newRow("pairs in order")
        << QStringList { "set", "green-led=off", "blue-leds=off", "active-input=port-b" } << 0 << ""
        << ""
        << QStringList { "0 > 10 04 E0 16 00", "2 < E0 00", "2 > 10 04 E0 17 00", "4 < E0 00",
               "4 > 10 04 E0 00 02", "6 < E0 00" };
    QTest::newRow("get two, one read")
        << QStringList { "get", "hdcp", "edid-mode" } << 0 << "hdcp: 2.2\nedid-mode: automix\n"
        << ""
        << QStringList { "0 > 11 2A E1",
               "2 < E1 00 01 01 01 03 00 01 01 00 00 01 01 01 "
               "00 00 00 00 01 00 00 00 00 00 00 00 00 00 01 "
               "01 01 01 00 00 00 00 00 00 00 00 00 00" };
    QTest::newRow("option of another command")
        << QStringList { "status", "--interval", "1" } << 2 << ""
        << "vortalex-cli: --interval belongs to watch\n"
        << QStringList {};
    QTest::newRow("help COMMAND")
        << QStringList { "help", "reset" } << 0
        << "Usage: vortalex-cli [options] reset settings|edid|both --yes\n\n"
           "  reset settings|edid|both --yes  factory reset of the settings, the EDID or\n"
           "                                  both\n\n"
           "Options:\n"
           "  --emulated            Use the emulated box instead of the box on USB.\n"
           "  --json                Print one JSON object on standard output.\n"
           "  --quiet               No progress and no messages, except when the command\n"
           "                        fails.\n"
           "  --yes                 reset: confirm the factory reset.\n\n"
           "Examples:\n  vortalex-cli reset both --yes\n"
        << "" << QStringList {};
    QTest::newRow("COMMAND --help") << QStringList { "cec", "--help" } << 0
                                    << "Usage: vortalex-cli [options] cec send HEX\n"
                                       "Usage: vortalex-cli [options] cec store sp|lp HEX\n..."
                                    << "" << QStringList {};
    // One JSON document a command: problems inside, the error object only
    // when nothing else was printed, warnings on standard error.
    QTest::newRow("json: frame with problems")
        << QStringList { "--json", "infoframe", "decode", "hdr",
               "87:01:1a:00:02:00:c2:33:c4:86:4c:1d:b8:0b:d0:84:80:3e:13:3d:42:40:e8:03:32:00:e8:"
               "03:90:01" }
        << 1
        << "{\"checksum_ok\":false,\"eotf\":\"PQ\",\"max_cll\":1000,\"max_fall\":400,"
           "\"max_mastering_luminance\":1000,\"metadata_type\":1,\"min_mastering_luminance\":"
           "0.005,\"primaries\":{\"blue\":[0.15,0.06],\"green\":[0.265,0.69],\"red\":[0.68,"
           "0.32]},\"problems\":[\"bad checksum 0x00, should be 0x74\"],\"white\":[0.3127,"
           "0.329]}\n"
        << "vortalex-cli: bad checksum 0x00, should be 0x74\n"
        << QStringList {};
    QTest::newRow("json: a state file that cannot be kept is refused")
        << QStringList { "--emulated-state", "/nonexistent/state.json", "--json", "get",
               "green-led" }
        << 2
        << "{\"error\":\"cannot keep the emulated box's state in /nonexistent/state.json: the "
           "folder /nonexistent does not exist\",\"exit\":2}\n"
        << "vortalex-cli: cannot keep the emulated box's state in /nonexistent/state.json: the "
           "folder /nonexistent does not exist\n"
        << QStringList {};
    QTest::newRow("json: version") << QStringList { "--json", "--version" } << 0
                                   << "{\"program\":\"vortalex-cli\",\"version\":\"1.8\"}\n"
                                   << "" << QStringList {};
    QTest::newRow("json: help COMMAND")
        << QStringList { "--json", "help", "reset" } << 0
        << "{\"examples\":[\"vortalex-cli reset both --yes\"],\"forms\":[{\"description\":"
           "\"factory reset of the settings, the EDID or both\",\"usage\":\"reset "
           "settings|edid|both --yes\"}],\"name\":\"reset\",\"options\":[{\"description\":"
           "\"reset: confirm the factory reset.\",\"names\":[\"--yes\"],\"value\":null}]}\n"
        << "" << QStringList {};
    QTest::newRow("json: help") << QStringList { "--json", "help" } << 0
                                << "{\"commands\":[{\"examples\":[\"vortalex-cli status\",..."
                                << "" << QStringList {};
    QTest::newRow("json: usage error, the error object")
        << QStringList { "--json", "--json", "get" } << 2
        << "{\"error\":\"--json is given twice\",\"exit\":2}\n"
        << "vortalex-cli: --json is given twice\n"
        << QStringList {};
    QTest::newRow("complete values")
        << QStringList { "--complete", "words", "--", "set", "hdr-mode", "" } << 0
        << "full\nsamsung\n"
        << "" << QStringList {};
    QTest::newRow("complete pairs")
        << QStringList { "--complete", "words", "--", "set", "cec=" } << 0 << "cec=off\ncec=on\n"
        << "" << QStringList {};
    QTest::newRow("complete --yes after reset")
        << QStringList { "--complete", "options", "--", "reset", "both", "-" } << 0
        << "--help\n--version\n--emulated\n--latency\n--frame-log\n--verbose\n--json\n--quiet\n"
           "--emulated-state\n--yes\n"
        << "" << QStringList {};
    QTest::newRow("complete encode keys")
        << QStringList { "--complete", "words", "--", "infoframe", "encode", "avi", "sc" } << 0
        << "color=\n..."
        << "" << QStringList {};
}

void TestCliScripting::messages()
{
    QFETCH(QStringList, args);
    MemoryCliHost host;
    QTEST(run(host, args), "exitCode");
    QFETCH(QString, out);
    if (out.endsWith("..."))
        QVERIFY2(host.out.startsWith(out.chopped(3).toUtf8()), host.out);
    else
        QCOMPARE(QString::fromUtf8(host.out), out);
    QTEST(QString::fromUtf8(host.err), "err");
    QTEST(frameLog(), "frames");
}

void TestCliScripting::watch_data()
{
    QTest::addColumn<bool>("json");
    QTest::newRow("lines") << false;
    QTest::newRow("json lines") << true;
}

// The source on the active input changes at given times; watch polls every
// 3 s and prints a line for each change it sees, then the box goes.
void TestCliScripting::watch()
{
    QFETCH(bool, json);
    MemoryCliHost host;
    const int inputPos = settingRow(SettingId::ActiveInput).position;
    // ms after the start: input (1 port A, 2 port B), 0 unplugs.
    const QList<QPair<std::uint32_t, int>> script { { 4000, 2 }, { 7000, 2 }, { 10000, 1 },
        { 13500, 2 }, { 14000, 1 }, { 16000, 0 } };
    const std::uint32_t start = host.virtualClock.tickCount();
    int next = 0;
    host.virtualClock.onSleep = [&](std::uint32_t now) {
        while (next < script.size() && now - start >= script[next].first) {
            if (script[next].second == 0)
                host.sim.setPlugged(false);
            else
                host.box.setSetting(inputPos, std::uint8_t(script[next].second));
            ++next;
        }
    };
    QCOMPARE(run(host, json ? QStringList { "--json", "watch" } : QStringList { "watch" }), 3);
    QCOMPARE(host.err, QByteArray("vortalex-cli: the box is gone\n"));
    const QList<QByteArray> lines = host.out.split('\n');
    // Three lines and the end; the error is on standard error only, after
    // the documents that watch printed.
    QVERIFY2(lines.size() == 4, host.out);
    const QStringList sources { "LUMIDISC UHD BD Player 4K", "KESTREL GX Console",
        "LUMIDISC UHD BD Player 4K" };
    for (int i = 0; i < 3; ++i) {
        if (json)
            QCOMPARE(QJsonDocument::fromJson(lines[i])
                         .object()["signal"]
                         .toObject()["source"]
                         .toObject()["vendor"]
                         .toString(),
                sources[i].section(' ', 0, 0));
        else
            QVERIFY2(lines[i].contains(sources[i].toUtf8()), lines[i]);
    }
    // A read every 3 s on the virtual clock, whatever a read takes.
    QStringList reads;
    for (const QString &line : frameLog())
        if (line.endsWith("> 11 0F E0 06"))
            reads.append(line.section(' ', 0, 0));
    QCOMPARE(reads, QStringList({ "0", "3000", "6000", "9000", "12000", "15000" }));
}

// save, change every setting, load, save again: the same file; a dry run
// before the load sends no write.
void TestCliScripting::saveAndLoad()
{
    MemoryCliHost host;
    const QString first = m_dir.filePath("first.json");
    const QString second = m_dir.filePath("second.json");
    QCOMPARE(run(host, { "settings", "save", first, "--edid" }), 0);

    QStringList pairs { "set" };
    for (const Setting &setting : settingTable()) {
        const std::uint8_t now = host.box.setting(setting.position);
        for (const SettingValue &value : setting.values) {
            if (value.number != now) {
                pairs.append(QString("%1=%2").arg(setting.name, settingValueName(setting, value.number)));
                break;
            }
        }
    }
    QCOMPARE(pairs.size(), settingTable().size() + 1);
    QCOMPARE(run(host, pairs), 0);
    const auto changed = host.box.settings();

    QCOMPARE(run(host, { "settings", "load", first, "--dry-run" }), 0);
    QCOMPARE(host.box.settings(), changed);
    QCOMPARE(host.out.count("> 10 04 E0"), settingTable().size());
    for (const QString &line : frameLog())
        QVERIFY2(!line.contains("> 10 04 E0") && !line.contains("> 10 08 B0"), qPrintable(line));

    host.out.clear();
    QCOMPARE(run(host, { "settings", "load", first }), 0);
    QCOMPARE(run(host, { "settings", "save", second, "--edid" }), 0);
    QCOMPARE(readFile(second), readFile(first));
    // Nothing differs now: a load writes nothing.
    QCOMPARE(run(host, { "--json", "settings", "load", second }), 0);
    QVERIFY2(host.out.endsWith("{\"changed\":[],\"dry_run\":false,\"edid_changed\":false,"
                               "\"frames\":[]}\n"),
        host.out);
}

void TestCliScripting::loadRefusals_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("err");

    QTest::newRow("unknown setting")
        << QByteArray(R"({"format":"vortalex-settings","version":1,"settings":{"greenled":"on"}})")
        << "unknown setting \"settings.greenled\" (did you mean green-led?)";
    QTest::newRow("wrong value") << QByteArray(R"({"format":"vortalex-settings","version":1,
        "settings":{"green-led":"off","hdcp":true}})")
                                 << "settings.hdcp takes 1.4, 2.2, not true";
    QTest::newRow("newer version")
        << QByteArray(R"({"format":"vortalex-settings","version":2,"settings":{}})")
        << "version 2 is newer than this program reads (1)";
    QTest::newRow("unknown key") << QByteArray(
        R"({"format":"vortalex-settings","version":1,"settings":{},"edd":""})")
                                 << "unknown key \"edd\" (did you mean edid?)";
    QTest::newRow("bad edid") << QByteArray(
        R"({"format":"vortalex-settings","version":1,"settings":{},"edid":"00"})")
                              << "edid takes the 256 bytes of an EDID table as 512 hex digits";
    // The checks of edid write: the box is never given what it refuses.
    const auto withEdid = [](const QByteArray &table) {
        return R"({"format":"vortalex-settings","version":1,"settings":{},"edid":")"
            + table.toHex() + R"("})";
    };
    QTest::newRow("edid all zeros") << withEdid(QByteArray(256, '\0'))
                                    << "edid: the table does not start with the EDID header";
    QByteArray threeExtensions = readFile(QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin"));
    threeExtensions[126] = 3;
    threeExtensions[127] = char(threeExtensions[127] - 2);
    QTest::newRow("edid announces 3 extensions")
        << withEdid(threeExtensions)
        << "edid: the box holds a base block and one extension; this table's extension count "
           "(byte 126) says 4 blocks";
    QTest::newRow("empty file") << QByteArray("\n") << "the file is empty";
    QTest::newRow("not a settings file") << QByteArray("[1, 2]")
                                         << "not a settings file of vortalex-cli settings save";
}

void TestCliScripting::loadRefusals()
{
    QFETCH(QByteArray, file);
    const QString path = m_dir.filePath("refused.json");
    writeFile(path, file);
    MemoryCliHost host;
    QCOMPARE(run(host, { "settings", "load", path }), 2);
    QFETCH(QString, err);
    QCOMPARE(QString::fromUtf8(host.err),
        QString("vortalex-cli: %1: %2; nothing was sent\n").arg(path, err));
    QCOMPARE(host.sim.exchangeCount(), 0);
    QCOMPARE(host.box.settings(), MemoryCliHost().box.settings());
}

// With --emulated-state a run finds what the last one left; reset both
// forgets it.
void TestCliScripting::emulatedState()
{
    const QString state = m_dir.filePath("state.json");
    const auto runFresh = [&](const QStringList &args) {
        MemoryCliHost host;
        run(host, QStringList { "--emulated-state", state } + args);
        return host.out;
    };
    runFresh({ "set", "active-input", "port-b" });
    runFresh({ "cec", "store", "sp", "40:04" });
    QCOMPARE(runFresh({ "get", "active-input" }), QByteArray("port-b\n"));
    QVERIFY(QFile::exists(state));
    runFresh({ "reset", "both", "--yes" });
    QVERIFY(!QFile::exists(state));
    QCOMPARE(runFresh({ "get", "active-input" }), QByteArray("port-a\n"));
    QVERIFY(QFile::remove(state));
    MemoryCliHost fresh;
    QCOMPARE(run(fresh, { "set", "hdcp", "1.4" }), 0);
    QVERIFY(!QFile::exists(state)); // without the option the test host keeps nothing
}

// While another run holds the emulated box, a command waits 2 s on the
// clock, then ends as on a real box in use: exit 3, nothing sent, the
// state untouched.
void TestCliScripting::emulatedBoxInUse()
{
    const QString state = m_dir.filePath("held.json");
    VirtualClock otherClock;
    EmulatedStateLock other;
    QCOMPARE(other.lock(state, otherClock, 0), EmulatedStateLock::Outcome::Locked);
    MemoryCliHost host;
    const std::uint32_t start = host.virtualClock.tickCount();
    QCOMPARE(run(host, { "--emulated-state", state, "set", "green-led", "off" }), 3);
    QCOMPARE(QString::fromUtf8(host.err),
        QString("vortalex-cli: the box is in use by another program (another vortalex-cli "
                "--emulated on %1); try again when it ends\n")
            .arg(state));
    QCOMPARE(host.virtualClock.tickCount() - start, 2000u);
    QCOMPARE(host.sim.exchangeCount(), 0);
    QVERIFY(!QFile::exists(state));
}

// help2man reads an entry as a term and its text only when the text starts
// on the term's line, two spaces on, and its further lines line up with it.
void TestCliScripting::helpEntries()
{
    const QStringList lines = cliHelpText().split('\n');
    const QRegularExpression entry("^  (\\S.*?)  +(\\S)");
    int column = -1;
    for (const QString &line : lines) {
        const QRegularExpressionMatch match = entry.match(line);
        if (line.startsWith("  ") && !line.startsWith("   ")) {
            QVERIFY2(match.hasMatch(), qPrintable(line));
            column = int(match.capturedStart(2));
        } else if (line.startsWith("   ") && column > 0) {
            QCOMPARE(line.indexOf(QRegularExpression("\\S")), column);
        } else {
            column = -1;
        }
    }
}

QTEST_GUILESS_MAIN(TestCliScripting)
#include "tst_cliscripting.moc"
