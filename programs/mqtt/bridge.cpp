// SPDX-License-Identifier: GPL-3.0-or-later
#include "bridge.h"

#include "servicelog.h"

#include "cli/statusjson.h"
#include "settings/statusread.h"
#include "text/echoedtext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace vortalex {

namespace {

const QByteArray kOnline = QByteArrayLiteral("online");
const QByteArray kOffline = QByteArrayLiteral("offline");

std::uint8_t blockValue(const Response &block, const Setting &setting)
{
    // The block answer: echo, status byte, then the forty positions.
    return block[2 + setting.position];
}

QString seconds(unsigned ms)
{
    return QString::number(ms / 1000.0);
}

} // namespace

Bridge::Bridge(BoxConnection &box, MqttClient &mqtt, const MqttOptions &options, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_mqtt(mqtt)
    , m_topics(options.baseTopic)
    , m_discoveryPrefix(options.discoveryPrefix)
    , m_intervalMs(options.intervalMs)
    , m_device { deviceIdForBaseTopic(options.baseTopic), QString() }
{
    m_mqtt.setPayloadLimit(kCommandLimit);
    connect(&m_mqtt, &MqttClient::connected, this, &Bridge::onBrokerConnected);
    connect(&m_mqtt, &MqttClient::connectionLost, this, &Bridge::onBrokerLost);
    connect(&m_mqtt, &MqttClient::messageReceived, this, &Bridge::onMessage);
    connect(&m_mqtt, &MqttClient::oversizedMessage, this, &Bridge::onOversizedMessage);
    connect(&m_pollTimer, &QTimer::timeout, this, &Bridge::poll);
    m_pollTimer.setInterval(int(m_intervalMs));
    m_wanted.insert(m_topics.availability(), kOffline);
    updateDiscovery();
}

void Bridge::start()
{
    m_pollTimer.start();
    poll();
}

void Bridge::shutdown()
{
    m_pollTimer.stop();
    m_box.close();
    m_mqtt.stop(m_topics.availability(), kOffline);
}

void Bridge::poll()
{
    if (!m_box.isOpen()) {
        lookForBox();
        return;
    }
    if (!readStatus() || !readSettings())
        boxFailed();
}

void Bridge::lookForBox()
{
    const BoxConnection::Outcome outcome = m_box.open();
    if (outcome == BoxConnection::Outcome::BadFrameLog) {
        emit failed(CliExit::BadUsage);
        return;
    }
    const bool news = m_searching || outcome != m_lastOutcome;
    m_lastOutcome = outcome;
    m_searching = false;
    const QString retry = QStringLiteral("; looking again every %1 s").arg(seconds(m_intervalMs));
    switch (outcome) {
    case BoxConnection::Outcome::Open: {
        const std::optional<QString> firmware = readFirmwareVersion(m_box.requests());
        if (!firmware || !readStatus() || !readSettings()) {
            boxFailed();
            return;
        }
        logLine(QStringLiteral("the box is here (firmware %1)").arg(*firmware));
        m_device.firmware = *firmware;
        updateDiscovery();
        setOnline(true);
        return;
    }
    case BoxConnection::Outcome::Absent:
        if (news)
            logLine(QStringLiteral("no VORTALEX box found") + retry);
        break;
    case BoxConnection::Outcome::InUse:
        if (news)
            logLine(QStringLiteral("the box is in use by another program (a running "
                                   "vortalex-utility?); taking it when it is free")
                + retry);
        break;
    case BoxConnection::Outcome::CannotOpen:
        if (news)
            logLine((m_box.permissionDenied()
                            ? QStringLiteral("no permission to open the box; install the udev rule "
                                             "%1 and replug the box")
                                  .arg(QLatin1String(kUdevRulePath))
                            : QStringLiteral("cannot open the box"))
                + retry);
        break;
    case BoxConnection::Outcome::BadFrameLog:
        break;
    }
    setOnline(false);
}

void Bridge::boxFailed()
{
    if (m_box.closeIfGone()) {
        logLine(QStringLiteral("the box was unplugged; looking for it every %1 s")
                    .arg(seconds(m_intervalMs)));
        m_lastOutcome = BoxConnection::Outcome::Absent;
        setOnline(false);
        return;
    }
    // Still on the bus: the next poll asks again.
    logLine(QStringLiteral("the box did not answer"));
}

bool Bridge::readSettings(const QString &answerTopic)
{
    Response block;
    if (!m_box.requests().readSettingsBlock(block))
        return false;
    for (const Setting &setting : settingTable())
        m_wanted.insert(m_topics.state(setting),
            settingValueName(setting, blockValue(block, setting)).toUtf8());
    publishChanged(answerTopic);
    return true;
}

bool Bridge::readStatus()
{
    const std::optional<SignalStatusPages> pages = readSignalStatusPages(m_box.requests());
    if (!pages)
        return false;
    const QJsonObject status { { QStringLiteral("status"),
                                   QJsonArray::fromStringList(signalStatusLines(*pages)) },
        { QStringLiteral("signal"), signalStatusJson(*pages) } };
    m_wanted.insert(m_topics.status(), QJsonDocument(status).toJson(QJsonDocument::Compact));
    publishChanged();
    return true;
}

void Bridge::setOnline(bool online)
{
    m_wanted.insert(m_topics.availability(), online ? kOnline : kOffline);
    publishChanged();
}

void Bridge::updateDiscovery()
{
    for (const DiscoveryMessage &message : discoveryMessages(m_topics, m_discoveryPrefix, m_device))
        m_wanted.insert(message.topic, message.payload);
    publishChanged();
}

void Bridge::publishChanged(const QString &alwaysTopic)
{
    if (!m_mqtt.isConnected())
        return;
    // Discovery first, so that Home Assistant knows an entity before its
    // state comes; availability last, once the states are there.
    const QString availability = m_topics.availability();
    const QString discovery = m_discoveryPrefix + QLatin1Char('/');
    for (int pass = 0; pass < 3; ++pass) {
        for (auto it = m_wanted.cbegin(); it != m_wanted.cend(); ++it) {
            const int rank = it.key().startsWith(discovery) ? 0 : it.key() == availability ? 2 : 1;
            if (rank != pass)
                continue;
            const auto sent = m_sent.constFind(it.key());
            if (sent != m_sent.cend() && *sent == it.value() && it.key() != alwaysTopic)
                continue;
            m_mqtt.publish(it.key(), it.value(), true);
            m_sent.insert(it.key(), it.value());
        }
    }
}

void Bridge::onBrokerConnected()
{
    logLine(QStringLiteral("connected to the broker"));
    // A broker that restarted may have lost every retained message.
    m_sent.clear();
    m_mqtt.subscribe(m_topics.commandFilter());
    publishChanged();
}

void Bridge::onBrokerLost(const QString &why)
{
    logLine(QStringLiteral("no connection to the broker (%1); trying again").arg(why));
}

void Bridge::onOversizedMessage(const QString &topic, int bytes)
{
    logLine(QStringLiteral("dropped a command of %1 bytes on %2 (the limit is %3)")
                .arg(bytes)
                .arg(echoedText(topic))
                .arg(kCommandLimit));
    if (const Setting *setting = m_topics.settingOfCommand(topic))
        publishChanged(m_topics.state(*setting));
}

void Bridge::onMessage(const QString &topic, const QByteArray &payload, bool retained)
{
    const Setting *setting = m_topics.settingOfCommand(topic);
    if (!setting) {
        logLine(QStringLiteral("ignored %1: no such setting").arg(echoedText(topic)));
        return;
    }
    // An empty message is how a retained message is cleared, not a command.
    if (payload.isEmpty())
        return;
    // A retained command would be carried out again at every reconnect.
    if (retained) {
        logLine(QStringLiteral("ignored a retained command on %1; send commands without "
                               "the retain flag")
                    .arg(topic));
        return;
    }
    runCommand(*setting, payload);
}

void Bridge::runCommand(const Setting &setting, const QByteArray &payload)
{
    const QString name = QString::fromLatin1(setting.name);
    const QString text = QString::fromUtf8(payload);
    const QString stateTopic = m_topics.state(setting);
    const std::optional<std::uint8_t> value = settingValueFromText(setting, text);
    if (!value) {
        logLine(
            QStringLiteral("refused \"%1\" for %2: it takes %3")
                .arg(echoedText(text), name, settingValueNames(setting).join(QLatin1String(", "))));
        publishChanged(stateTopic);
        return;
    }
    if (!m_box.isOpen()) {
        logLine(QStringLiteral("cannot set %1: the box is not there").arg(name));
        publishChanged(stateTopic);
        return;
    }
    // The state as read back is the answer, sent even when it did not change.
    if (!m_box.requests().writeSetting(setting.id, *value) || !readSettings(stateTopic)) {
        boxFailed();
        publishChanged(stateTopic);
        return;
    }
    logLine(
        QStringLiteral("set %1 to %2").arg(name, QString::fromUtf8(m_wanted.value(stateTopic))));
    const QString problem = m_box.keepEmulatedState(
        { QStringLiteral("set"), name, QString::fromUtf8(m_wanted.value(stateTopic)) });
    if (!problem.isNull())
        logLine(problem);
}

} // namespace vortalex
