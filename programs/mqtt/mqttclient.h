// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mqttoptions.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>

struct mosquitto;
struct mosquitto_message;

namespace vortalex {

// The broker connection, through libmosquitto. Its network thread
// (mosquitto_loop_start) connects, reconnects with back-off and keeps the
// session alive; what it hears is passed to this object's thread as queued
// signals, so the rest of the program runs on the Qt event loop alone.
class MqttClient : public QObject
{
    Q_OBJECT

public:
    // Reconnect back-off: doubling from the first delay up to the last.
    static constexpr unsigned kFirstRetrySeconds = 1;
    static constexpr unsigned kLastRetrySeconds = 30;

    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    // Starts connecting to the broker in the background; `willTopic` gets
    // `willPayload` (retained) from the broker when the connection breaks
    // without a goodbye. False and why when the options cannot be used.
    bool start(const BrokerOptions &options, const QString &willTopic,
        const QByteArray &willPayload, QString &error);
    // Publishes `finalTopic` = `finalPayload` (retained), says goodbye and
    // waits for the network thread to end.
    void stop(const QString &finalTopic, const QByteArray &finalPayload);

    bool isConnected() const { return m_connected; }
    // Dropped while there is no connection: the connected() handler sends
    // everything again.
    void publish(const QString &topic, const QByteArray &payload, bool retain);
    void subscribe(const QString &filter);
    // Messages longer than `bytes` are not copied off the network thread:
    // oversizedMessage() names them instead.
    void setPayloadLimit(int bytes) { m_payloadLimit = bytes; }

signals:
    void connected();
    void connectionLost(const QString &why);
    void messageReceived(const QString &topic, const QByteArray &payload, bool retained);
    void oversizedMessage(const QString &topic, int bytes);

private:
    static void onConnect(mosquitto *mosq, void *self, int result);
    static void onDisconnect(mosquitto *mosq, void *self, int result);
    static void onMessage(mosquitto *mosq, void *self, const mosquitto_message *message);
    static void onLog(mosquitto *mosq, void *self, int level, const char *text);

    mosquitto *m_mosq = nullptr;
    bool m_started = false;
    std::atomic<bool> m_connected { false };
    std::atomic<bool> m_refused { false }; // the broker refused the last login
    std::atomic<int> m_payloadLimit { 256 * 1024 };
};

} // namespace vortalex
