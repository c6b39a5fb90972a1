// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqttclient.h"

#include <mosquitto.h>

namespace vortalex {

namespace {

// libmosquitto's global set-up, once per process.
struct MosquittoLibrary
{
    MosquittoLibrary() { mosquitto_lib_init(); }
    ~MosquittoLibrary() { mosquitto_lib_cleanup(); }
};

QString mosquittoError(int code)
{
    return QString::fromUtf8(mosquitto_strerror(code));
}

} // namespace

MqttClient::MqttClient(QObject *parent)
    : QObject(parent)
{
    static MosquittoLibrary library;
}

MqttClient::~MqttClient()
{
    if (m_mosq) {
        // No callback may reach this object once it is gone.
        if (m_started)
            mosquitto_loop_stop(m_mosq, true);
        mosquitto_destroy(m_mosq);
    }
}

bool MqttClient::start(const BrokerOptions &options, const QString &willTopic,
    const QByteArray &willPayload, QString &error)
{
    m_mosq = mosquitto_new(options.clientId.toUtf8().constData(), true, this);
    if (!m_mosq) {
        error = QStringLiteral("cannot create the MQTT client");
        return false;
    }
    mosquitto_int_option(m_mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    // A state message goes out as soon as it is made: Nagle's algorithm would
    // hold it until the broker's delayed acknowledgement, some 40 ms.
    mosquitto_int_option(m_mosq, MOSQ_OPT_TCP_NODELAY, 1);
    mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_message_callback_set(m_mosq, &MqttClient::onMessage);
    mosquitto_log_callback_set(m_mosq, &MqttClient::onLog);
    int rc = mosquitto_will_set(m_mosq, willTopic.toUtf8().constData(), int(willPayload.size()),
        willPayload.constData(), 1, true);
    if (rc == MOSQ_ERR_SUCCESS && !options.username.isEmpty())
        rc = mosquitto_username_pw_set(m_mosq, options.username.toUtf8().constData(),
            options.password.isEmpty() ? nullptr : options.password.toUtf8().constData());
    if (rc == MOSQ_ERR_SUCCESS && !options.caFile.isEmpty())
        rc = mosquitto_tls_set(
            m_mosq, options.caFile.toLocal8Bit().constData(), nullptr, nullptr, nullptr, nullptr);
    if (rc == MOSQ_ERR_SUCCESS)
        rc = mosquitto_reconnect_delay_set(m_mosq, kFirstRetrySeconds, kLastRetrySeconds, true);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = mosquittoError(rc);
        return false;
    }
    rc = mosquitto_loop_start(m_mosq);
    if (rc != MOSQ_ERR_SUCCESS) {
        error = mosquittoError(rc);
        return false;
    }
    m_started = true;
    // A broker that is not there yet is no error: the network thread keeps
    // trying with the back-off.
    rc = mosquitto_connect_async(
        m_mosq, options.host.toUtf8().constData(), options.port, options.keepaliveSeconds);
    if (rc == MOSQ_ERR_INVAL || rc == MOSQ_ERR_NOMEM) {
        error = mosquittoError(rc);
        return false;
    }
    if (rc != MOSQ_ERR_SUCCESS)
        emit connectionLost(mosquittoError(rc));
    return true;
}

void MqttClient::stop(const QString &finalTopic, const QByteArray &finalPayload)
{
    if (!m_started)
        return;
    if (m_connected) {
        mosquitto_publish(m_mosq, nullptr, finalTopic.toUtf8().constData(),
            int(finalPayload.size()), finalPayload.constData(), 1, true);
        // The goodbye is queued behind the message; the thread ends once it
        // went out and the socket is closed.
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, false);
    } else {
        mosquitto_disconnect(m_mosq);
        mosquitto_loop_stop(m_mosq, true);
    }
    m_started = false;
    m_connected = false;
}

void MqttClient::publish(const QString &topic, const QByteArray &payload, bool retain)
{
    if (!m_connected)
        return;
    mosquitto_publish(m_mosq, nullptr, topic.toUtf8().constData(), int(payload.size()),
        payload.constData(), 0, retain);
}

void MqttClient::subscribe(const QString &filter)
{
    mosquitto_subscribe(m_mosq, nullptr, filter.toUtf8().constData(), 1);
}

// The callbacks run on libmosquitto's network thread.

void MqttClient::onConnect(mosquitto *, void *self, int result)
{
    auto *client = static_cast<MqttClient *>(self);
    if (result != 0) {
        client->m_refused = true;
        const QString why = QString::fromUtf8(mosquitto_connack_string(result));
        QMetaObject::invokeMethod(
            client, [client, why] { emit client->connectionLost(why); }, Qt::QueuedConnection);
        return;
    }
    client->m_connected = true;
    QMetaObject::invokeMethod(
        client, [client] { emit client->connected(); }, Qt::QueuedConnection);
}

void MqttClient::onDisconnect(mosquitto *, void *self, int result)
{
    auto *client = static_cast<MqttClient *>(self);
    client->m_connected = false;
    // 0: our own goodbye. A refused login was reported with the broker's reason.
    if (client->m_refused.exchange(false) || result == 0)
        return;
    const QString why = mosquittoError(result);
    QMetaObject::invokeMethod(
        client, [client, why] { emit client->connectionLost(why); }, Qt::QueuedConnection);
}

void MqttClient::onLog(mosquitto *, void *self, int level, const char *text)
{
    // Only errors: a TLS handshake that fails says why nowhere else.
    if (!(level & MOSQ_LOG_ERR))
        return;
    auto *client = static_cast<MqttClient *>(self);
    const QString why = QString::fromUtf8(text);
    QMetaObject::invokeMethod(
        client, [client, why] { emit client->connectionLost(why); }, Qt::QueuedConnection);
}

void MqttClient::onMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<MqttClient *>(self);
    const QString topic = QString::fromUtf8(message->topic);
    if (message->payloadlen > client->m_payloadLimit) {
        const int bytes = message->payloadlen;
        QMetaObject::invokeMethod(
            client, [client, topic, bytes] { emit client->oversizedMessage(topic, bytes); },
            Qt::QueuedConnection);
        return;
    }
    const QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
    const bool retained = message->retain;
    QMetaObject::invokeMethod(
        client,
        [client, topic, payload, retained] {
            emit client->messageReceived(topic, payload, retained);
        },
        Qt::QueuedConnection);
}

} // namespace vortalex
