// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-mqtt against Debian's mosquitto on 127.0.0.1: the service runs as
// its own process on the emulated box (discovery, commands with the frame
// log, a burst, SIGTERM, kill -9, a broker restart), and in-process where the
// test must reach into the box (unplugged, held by another program).
#include "mqtt/mosquittobroker.h"

#include "bridge.h"

#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"
#include "link/clock.h"
#include "settings/settingstable.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace vortalex;
using namespace vortalex::test;

// AddressSanitizer keeps freed memory in quarantine, so resident memory says
// nothing about leaks there (its own leak check does).
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

namespace {

const QString kAvailability = QStringLiteral("vortalex/availability");
const QString kStatus = QStringLiteral("vortalex/status");

QString stateTopic(const QString &setting)
{
    return QStringLiteral("vortalex/%1/state").arg(setting);
}

QString commandTopic(const QString &setting)
{
    return QStringLiteral("vortalex/%1/set").arg(setting);
}

// Resident memory of a process in kB, from /proc.
long residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// The service's box connection in-process, on an emulated box the test
// unplugs and lets "another program" hold.
class TestHost : public CliHost
{
public:
    Clock &clock() override { return m_clock; }
    SimBridge &emulatedBridge() override { return sim; }
    UsbBridge &realBridge() override { return sim; }
    bool permissionDenied() const override { return false; }
    void writeOut(const QByteArray &) override { }
    void writeErr(const QByteArray &) override { }
    bool errIsTerminal() const override { return false; }

private:
    SystemClock m_clock;

public:
    EmulatedBox box { m_clock };
    SimBridge sim { m_clock, box };
};

} // namespace

class TestMqtt : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void refusedCommandLines_data();
    void refusedCommandLines();
    void discovery();
    void emulatedBoxHeld();
    void commands_data();
    void commands();
    void burstInOrder();
    void brokerRestart();
    void killGivesOffline();
    void sigtermSaysOffline();
    void unpluggedAndHeldBox();

private:
    // Starts the service on the emulated box; false when it did not come online.
    bool startService();
    // The write-setting frames of the frame log, as hex ("10 04 E0 00 02").
    QStringList writeFrames() const;
    // The service's last line on standard error.
    QString lastLogLine() const;

    QTemporaryDir m_dir;
    MosquittoBroker m_broker;
    QProcess m_service;
};

void TestMqtt::initTestCase()
{
    QVERIFY(m_broker.start());
    QVERIFY(startService());
}

void TestMqtt::cleanupTestCase()
{
    m_service.kill();
    m_service.waitForFinished();
}

bool TestMqtt::startService()
{
    MqttObserver observer(m_broker.port(), { kAvailability });
    m_service.setStandardErrorFile(
        m_dir.filePath(QStringLiteral("service.log")), QIODevice::Append);
    m_service.start(QStringLiteral(VORTALEX_MQTT_PROGRAM),
        { QStringLiteral("--host"), QStringLiteral("127.0.0.1"), QStringLiteral("--port"),
            QString::number(m_broker.port()), QStringLiteral("--emulated"),
            QStringLiteral("--emulated-state"), m_dir.filePath(QStringLiteral("state.json")),
            QStringLiteral("--frame-log"), m_dir.filePath(QStringLiteral("frames.log")),
            QStringLiteral("--interval"), QStringLiteral("0.5") });
    return m_service.waitForStarted() && observer.waitFor(kAvailability, "online");
}

QStringList TestMqtt::writeFrames() const
{
    QFile file(m_dir.filePath(QStringLiteral("frames.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList frames;
    static const QRegularExpression kWrite(QStringLiteral("^\\d+ > (10 04 E0 .*)$"));
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QRegularExpressionMatch match = kWrite.match(QString::fromLatin1(line));
        if (match.hasMatch())
            frames.append(match.captured(1));
    }
    return frames;
}

QString TestMqtt::lastLogLine() const
{
    QFile file(m_dir.filePath(QStringLiteral("service.log")));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll().trimmed().split('\n').constLast());
}

// Refused before anything is sent: exit 2 and one line saying why.
void TestMqtt::refusedCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("config"); // written to a file of mode 0644 when not empty
    QTest::addColumn<QString>("message");

    QTest::newRow("password readable by others")
        << QStringList() << QByteArray("username = u\npassword = p\n")
        << QStringLiteral("%1 holds a password and other users can read it; make it private "
                          "first: chmod 600 %1");
    QTest::newRow("no password option")
        << QStringList { QStringLiteral("--password"), QStringLiteral("p") } << QByteArray()
        << QStringLiteral("Unknown option 'password'. See vortalex-mqtt --help.");
    QTest::newRow("wildcard base topic")
        << QStringList { QStringLiteral("--base-topic"), QStringLiteral("home/#") } << QByteArray()
        << QStringLiteral("--base-topic \"home/#\" holds a wildcard (+ or #)");
    QTest::newRow("port out of range")
        << QStringList { QStringLiteral("--port"), QStringLiteral("70000") } << QByteArray()
        << QStringLiteral("--port takes 1 to 65535, not \"70000\"");
    QTest::newRow("unknown config key") << QStringList() << QByteArray("host = h\nretain = yes\n")
                                        << QStringLiteral("%1 line 2: unknown key \"retain\"");
}

void TestMqtt::refusedCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, config);
    QFETCH(QString, message);

    const QString configPath = m_dir.filePath(QStringLiteral("refused.conf"));
    if (!config.isEmpty()) {
        QFile file(configPath);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(config);
        file.close();
        QVERIFY(file.setPermissions(
            QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        arguments << QStringLiteral("--config") << configPath;
    }
    arguments << QStringLiteral("--emulated") << QStringLiteral("--host")
              << QStringLiteral("127.0.0.1");
    if (!arguments.contains(QStringLiteral("--port")))
        arguments << QStringLiteral("--port") << QString::number(m_broker.port());
    QProcess process;
    process.start(QStringLiteral(VORTALEX_MQTT_PROGRAM), arguments);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), 2);
    QCOMPARE(QString::fromUtf8(process.readAllStandardError()),
        QStringLiteral("vortalex-mqtt: ")
            + (message.contains(QLatin1String("%1")) ? message.arg(configPath) : message)
            + QLatin1Char('\n'));
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
}

// One config message per setting and per sensor: valid JSON, unique ids, the
// device block, and command and state topics that work.
void TestMqtt::discovery()
{
    MqttObserver observer(m_broker.port(), { QStringLiteral("homeassistant/#"), kStatus });
    const int settings = int(settingTable().size());
    const int sensors = 8;
    QVERIFY(observer.waitFor(kStatus));
    const auto configs = [&] {
        int n = 0;
        for (const MqttMessage &message : observer.messages())
            n += message.topic.endsWith(QLatin1String("/config"));
        return n;
    };
    QTRY_COMPARE_WITH_TIMEOUT(configs(), settings + sensors, 5000);

    QSet<QString> uniqueIds;
    QHash<QString, QJsonObject> controls; // by command topic
    QStringList sensorObjects;
    const QJsonObject status = QJsonDocument::fromJson(observer.last(kStatus)).object();
    QCOMPARE(status.value(QStringLiteral("status")).toArray().size(), 4);
    static const QRegularExpression kPath(QStringLiteral("value_json\\.([a-z_0-9.]+)"));
    for (const MqttMessage &message : observer.messages()) {
        if (message.topic == kStatus)
            continue;
        QVERIFY2(message.retained, qPrintable(message.topic));
        QJsonParseError error;
        const QJsonObject config = QJsonDocument::fromJson(message.payload, &error).object();
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(message.topic));
        const QString uniqueId = config.value(QStringLiteral("unique_id")).toString();
        QVERIFY2(!uniqueId.isEmpty() && !uniqueIds.contains(uniqueId), qPrintable(uniqueId));
        uniqueIds.insert(uniqueId);
        QCOMPARE(config.value(QStringLiteral("device")).toObject(),
            (QJsonObject { { QStringLiteral("identifiers"), QJsonArray { "vortalex" } },
                { QStringLiteral("name"), "VORTALEX" },
                { QStringLiteral("model"), "VORTALEX HDMI box" },
                { QStringLiteral("sw_version"), "1.2.0.15" } }));
        QCOMPARE(config.value(QStringLiteral("availability_topic")).toString(), kAvailability);
        const QString component = message.topic.section(QLatin1Char('/'), 1, 1);
        if (component == QLatin1String("sensor")) {
            QCOMPARE(config.value(QStringLiteral("state_topic")).toString(), kStatus);
            sensorObjects.append(message.topic.section(QLatin1Char('/'), 3, 3));
            // Every value a template reads is in the status message.
            auto paths
                = kPath.globalMatch(config.value(QStringLiteral("value_template")).toString());
            while (paths.hasNext()) {
                QJsonValue value = status;
                for (const QString &key : paths.next().captured(1).split(QLatin1Char('.')))
                    value = value.toObject().value(key);
                QVERIFY2(!value.isUndefined(), qPrintable(message.topic));
            }
        } else {
            controls.insert(config.value(QStringLiteral("command_topic")).toString(), config);
            QCOMPARE(config.value(QStringLiteral("state_topic")).toString(),
                config.value(QStringLiteral("command_topic"))
                    .toString()
                    .replace(QStringLiteral("/set"), QStringLiteral("/state")));
        }
    }
    sensorObjects.sort();
    QCOMPARE(sensorObjects,
        (QStringList { "colour_space", "hdr", "hdr_eotf", "hdr_max_cll", "input_format", "link",
            "outputs", "source" }));
    QCOMPARE(controls.size(), settings);
    QCOMPARE(controls.value(commandTopic(QStringLiteral("active-input")))
                 .value(QStringLiteral("options"))
                 .toArray(),
        (QJsonArray { "port-a", "port-b", "matrix-thru", "matrix-swap" }));
    QCOMPARE(controls.value(commandTopic(QStringLiteral("green-led")))
                 .value(QStringLiteral("payload_off"))
                 .toString(),
        QStringLiteral("off"));

    // Each control: a value other than the current one, through its command topic.
    MqttObserver states(m_broker.port(), { QStringLiteral("vortalex/+/state") });
    QVERIFY(states.waitFor(stateTopic(QStringLiteral("replace-avi"))));
    for (auto it = controls.cbegin(); it != controls.cend(); ++it) {
        const QString state = it.value().value(QStringLiteral("state_topic")).toString();
        QStringList values = it.value().contains(QStringLiteral("options"))
            ? QVariant(it.value().value(QStringLiteral("options")).toArray().toVariantList())
                  .toStringList()
            : QStringList { QStringLiteral("off"), QStringLiteral("on") };
        values.removeAll(QString::fromUtf8(states.last(state)));
        QVERIFY(publishMqtt(m_broker.port(), it.key(), values.first().toUtf8()));
        QVERIFY2(states.waitFor(state, values.first().toUtf8()), qPrintable(state));
    }
}

// A command is a value name of the settings table: written as one frame and
// read back; anything else sends nothing and publishes the state again.
// The service holds the emulated box as it holds a real one: a second user
// of the same state is told the box is in use (exit 3) and sends nothing.
void TestMqtt::emulatedBoxHeld()
{
    const QString state = m_dir.filePath(QStringLiteral("state.json"));
    QProcess second;
    second.start(QStringLiteral(VORTALEX_MQTT_PROGRAM),
        { QStringLiteral("--port"), QString::number(m_broker.port()), QStringLiteral("--emulated"),
            QStringLiteral("--emulated-state"), state });
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 3);
    QCOMPARE(QString::fromUtf8(second.readAllStandardError()),
        QStringLiteral("vortalex-mqtt: the emulated box is in use by another program (another "
                       "vortalex-mqtt or vortalex-cli --emulated on %1)\n")
            .arg(state));
}

void TestMqtt::commands_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("state"); // null: as it was
    QTest::addColumn<QString>("frame"); // empty: nothing sent
    QTest::addColumn<QString>("log");

    QTest::newRow("select") << "active-input" << QByteArray("matrix-swap")
                            << QByteArray("matrix-swap") << "10 04 E0 00 04"
                            << "set active-input to matrix-swap";
    QTest::newRow("switch") << "blue-leds" << QByteArray("off") << QByteArray("off")
                            << "10 04 E0 17 00"
                            << "set blue-leds to off";
    QTest::newRow("any case") << "hdr-mode" << QByteArray("Samsung") << QByteArray("samsung")
                              << "10 04 E0 13 01"
                              << "set hdr-mode to samsung";
    QTest::newRow("unnamed value by number")
        << "custom-edid" << QByteArray("5") << QByteArray("5") << "10 04 E0 0E 05"
        << "set custom-edid to 5";
    QTest::newRow("code of a named value") << "hdcp" << QByteArray("2") << QByteArray() << ""
                                           << "refused \"2\" for hdcp: it takes 1.4, 2.2";
    QTest::newRow("not a value")
        << "active-input" << QByteArray("port-c\x1b[2J") << QByteArray() << ""
        << "refused \"port-c\\x1b[2J\" for active-input: it takes port-a, port-b, "
           "matrix-thru, matrix-swap";
    QTest::newRow("trailing blank") << "cec" << QByteArray("on ") << QByteArray() << ""
                                    << "refused \"on \" for cec: it takes off, on";
    QTest::newRow("over the limit")
        << "active-input" << QByteArray("port-a") + QByteArray(59, ' ') << QByteArray() << ""
        << "dropped a command of 65 bytes on vortalex/active-input/set (the limit is 64)";
}

void TestMqtt::commands()
{
    QFETCH(QString, setting);
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, state);
    QFETCH(QString, frame);
    QFETCH(QString, log);

    MqttObserver observer(m_broker.port(), { stateTopic(setting) });
    QVERIFY(observer.waitFor(stateTopic(setting)));
    const QByteArray before = observer.last(stateTopic(setting));
    const QStringList framesBefore = writeFrames();
    QVERIFY(publishMqtt(m_broker.port(), commandTopic(setting), payload));
    // The answer: the state again, retained flag off.
    QVERIFY(observer.waitFor(stateTopic(setting), QByteArray(), 2));
    QCOMPARE(observer.messages().at(1).retained, false);
    QCOMPARE(observer.last(stateTopic(setting)), state.isNull() ? before : state);
    QCOMPARE(writeFrames().mid(framesBefore.size()),
        frame.isEmpty() ? QStringList() : QStringList { frame });
    QTRY_COMPARE(lastLogLine(), QStringLiteral("vortalex-mqtt: ") + log);
}

// 1,000 commands: every one written, in the order sent; the second burst
// leaves resident memory where the first left it.
void TestMqtt::burstInOrder()
{
    const QStringList names = settingValueNames(*findSetting(u"active-input"));
    QList<QByteArray> burst;
    QStringList expectedFrames;
    for (int i = 0; i < 1000; ++i) {
        // A sequence no reordering leaves alone: 0 1 2 3 0 2 1 3 ...
        const int value = (i * (i / 4 % 2 ? 2 : 1) + i / 8) % 4;
        burst.append(names[value].toUtf8());
        expectedFrames.append(QStringLiteral("10 04 E0 00 0%1").arg(value + 1));
    }
    long afterFirst = 0;
    for (int round = 0; round < 2; ++round) {
        MqttObserver observer(m_broker.port(), { stateTopic(QStringLiteral("active-input")) });
        QVERIFY(observer.waitFor(stateTopic(QStringLiteral("active-input"))));
        const qsizetype framesBefore = writeFrames().size();
        QVERIFY(
            publishMqttLines(m_broker.port(), commandTopic(QStringLiteral("active-input")), burst));
        QVERIFY(observer.waitFor(
            stateTopic(QStringLiteral("active-input")), QByteArray(), 1001, 60000));
        QCOMPARE(writeFrames().mid(framesBefore), expectedFrames);
        QCOMPARE(observer.payloads(stateTopic(QStringLiteral("active-input"))).mid(1), burst);
        const long rss = residentKb(m_service.processId());
        QVERIFY(rss > 0);
        if (round == 0)
            afterFirst = rss;
        else if (!kSanitized)
            QVERIFY2(rss - afterFirst < 1024,
                qPrintable(QStringLiteral("%1 kB after the first burst, %2 kB after the second")
                               .arg(afterFirst)
                               .arg(rss)));
    }
}

// A broker that restarts forgets every retained message: the service
// connects again and publishes discovery, state and availability anew.
void TestMqtt::brokerRestart()
{
    m_broker.stop();
    QVERIFY(m_broker.start());
    QTest::qWait(100);
    MqttObserver observer(
        m_broker.port(), { QStringLiteral("homeassistant/#"), QStringLiteral("vortalex/#") });
    QVERIFY(observer.waitFor(kAvailability, "online", 1, 40000));
    int configs = 0;
    for (const MqttMessage &message : observer.messages())
        configs += message.topic.endsWith(QLatin1String("/config"));
    QCOMPARE(configs, int(settingTable().size()) + 8);
    QVERIFY(!observer.last(stateTopic(QStringLiteral("active-input"))).isEmpty());
    QVERIFY(!observer.last(kStatus).isEmpty());
}

// No goodbye: the broker publishes the last will.
void TestMqtt::killGivesOffline()
{
    MqttObserver observer(m_broker.port(), { kAvailability });
    QVERIFY(observer.waitFor(kAvailability, "online"));
    m_service.kill();
    QVERIFY(m_service.waitForFinished());
    QVERIFY(observer.waitFor(kAvailability, "offline"));
    // A retained command the broker replays to the new service is not carried out.
    const QString greenLed = commandTopic(QStringLiteral("green-led"));
    QVERIFY(publishMqtt(m_broker.port(), greenLed, "off", true));
    const qsizetype framesBefore = writeFrames().size();
    QVERIFY(startService());
    QTRY_COMPARE(lastLogLine(),
        QStringLiteral("vortalex-mqtt: ignored a retained command on %1; send commands without "
                       "the retain flag")
            .arg(greenLed));
    QCOMPARE(writeFrames().size(), framesBefore);
    QVERIFY(publishMqtt(m_broker.port(), greenLed, QByteArray(), true));
}

void TestMqtt::sigtermSaysOffline()
{
    m_service.terminate();
    QVERIFY(m_service.waitForFinished());
    QCOMPARE(m_service.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_service.exitCode(), 0);
    MqttObserver observer(m_broker.port(), { kAvailability });
    QVERIFY(observer.waitFor(kAvailability, "offline"));
    QCOMPARE(observer.messages().constFirst().retained, true);
}

// In-process, on a box the test unplugs and lets another program hold:
// offline while it cannot be had, online again when it can, without a restart.
void TestMqtt::unpluggedAndHeldBox()
{
    const QString availability = QStringLiteral("inprocess/availability");
    TestHost host;
    MqttOptions options;
    options.baseTopic = QStringLiteral("inprocess");
    options.broker.host = QStringLiteral("127.0.0.1");
    options.broker.port = m_broker.port();
    options.broker.clientId = QStringLiteral("vortalex-mqtt-inprocess");
    options.intervalMs = 100;
    BoxConnection box(host, options);
    MqttClient mqtt;
    Bridge bridge(box, mqtt, options);
    MqttObserver observer(m_broker.port(), { availability });
    QString error;
    QVERIFY(mqtt.start(options.broker, availability, "offline", error));
    bridge.start();
    QVERIFY(observer.waitFor(availability, "online"));
    // The service may say "offline" while it first looks for the box: count
    // from here.
    const auto seen = [&](const char *payload) {
        return int(observer.payloads(availability).count(QByteArray(payload)));
    };
    const int offlineBefore = seen("offline");
    const int onlineBefore = seen("online");

    host.sim.setPlugged(false);
    QVERIFY(observer.waitFor(availability, "offline", offlineBefore + 1));
    host.sim.setInUse(true);
    host.sim.setPlugged(true);
    // Several looks at a held box: it stays offline.
    QTest::qWait(500);
    QVERIFY2(seen("online") == onlineBefore
            && observer.payloads(availability).constLast() == "offline",
        observer.payloads(availability).join(' ').constData());
    host.sim.setInUse(false);
    QVERIFY(observer.waitFor(availability, "online", onlineBefore + 1));
    // A command reaches the box that came back.
    QVERIFY(publishMqtt(m_broker.port(), QStringLiteral("inprocess/green-led/set"), "off"));
    QTRY_COMPARE(host.box.state().settings[26], std::uint8_t(0));
    bridge.shutdown();
}

QTEST_GUILESS_MAIN(TestMqtt)
#include "tst_mqtt.moc"
