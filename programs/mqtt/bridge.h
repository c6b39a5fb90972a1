// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "boxconnection.h"
#include "discovery.h"
#include "mqttclient.h"
#include "mqttoptions.h"
#include "topics.h"

#include <QHash>
#include <QObject>
#include <QTimer>

namespace vortalex {

// The box as an MQTT device: polls it every interval, keeps the retained
// discovery, availability and state messages up to date, and carries out
// the commands that arrive. Runs on the Qt event loop; the box's exchanges
// block it for their few milliseconds.
class Bridge : public QObject
{
    Q_OBJECT

public:
    // A command is a value name; anything longer is not read at all.
    static constexpr int kCommandLimit = 64;

    Bridge(BoxConnection &box, MqttClient &mqtt, const MqttOptions &options,
        QObject *parent = nullptr);

    // The first look for the box, then one poll every interval.
    void start();
    // Stops polling, lets the box go and says offline to the broker.
    void shutdown();

signals:
    // The service cannot go on (the frame log cannot be written).
    void failed(int exitCode);

private:
    void poll();
    void lookForBox();
    void onBrokerConnected();
    void onBrokerLost(const QString &why);
    void onMessage(const QString &topic, const QByteArray &payload, bool retained);
    void onOversizedMessage(const QString &topic, int bytes);
    void runCommand(const Setting &setting, const QByteArray &payload);

    // Read and publish what changed (and `answerTopic` in any case); false
    // when the box failed.
    bool readSettings(const QString &answerTopic = QString());
    bool readStatus();
    void boxFailed();
    void setOnline(bool online);
    void updateDiscovery();
    // Sends every wanted message that differs from what was sent; `topic`
    // also when it does not (the answer to a refused or repeated command).
    void publishChanged(const QString &alwaysTopic = QString());

    BoxConnection &m_box;
    MqttClient &m_mqtt;
    Topics m_topics;
    QString m_discoveryPrefix;
    unsigned m_intervalMs;
    DiscoveryDevice m_device;
    QTimer m_pollTimer;
    // Retained messages: what the broker should hold, and what it was sent
    // since the connection began.
    QHash<QString, QByteArray> m_wanted;
    QHash<QString, QByteArray> m_sent;
    BoxConnection::Outcome m_lastOutcome = BoxConnection::Outcome::Open;
    bool m_searching = true;
};

} // namespace vortalex
