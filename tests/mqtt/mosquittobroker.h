// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vortalex::test {

// Debian's mosquitto on a free port of 127.0.0.1, with a configuration file
// of its own: anonymous clients, no persistence, so a restart forgets every
// retained message.
class MosquittoBroker
{
public:
    ~MosquittoBroker();

    // Starts the broker (again on the same port after stop()); false when it
    // does not listen within a few seconds.
    bool start();
    void stop();
    int port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};

// One message as a subscriber saw it.
struct MqttMessage
{
    bool retained = false;
    QString topic;
    QByteArray payload;
};

// mosquitto_sub on the broker: every message on `filters`, in order.
class MqttObserver : public QObject
{
public:
    MqttObserver(int port, const QStringList &filters);
    ~MqttObserver() override;

    const QList<MqttMessage> &messages() const { return m_messages; }
    // The payloads seen on `topic`, in order.
    QList<QByteArray> payloads(const QString &topic) const;
    // The last payload seen on `topic`; null when none came.
    QByteArray last(const QString &topic) const;
    // Runs the event loop until `topic` brought `payload` (any payload when
    // null) at least `count` times; false after `timeoutMs`.
    bool waitFor(const QString &topic, const QByteArray &payload = QByteArray(), int count = 1,
        int timeoutMs = 10000);

private:
    void readLines();

    QProcess m_process;
    QByteArray m_buffer;
    QList<MqttMessage> m_messages;
};

// mosquitto_pub: one message, or (lines) one message per line; QoS 1.
bool publishMqtt(int port, const QString &topic, const QByteArray &payload, bool retain = false);
bool publishMqttLines(int port, const QString &topic, const QList<QByteArray> &lines);

} // namespace vortalex::test
