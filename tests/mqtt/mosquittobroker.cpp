// SPDX-License-Identifier: GPL-3.0-or-later
#include "mosquittobroker.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// The build names the broker and its clients: the broker lives in /usr/sbin,
// which an ordinary user's PATH may lack.

namespace vortalex::test {

namespace {

constexpr const char *kHost = "127.0.0.1";

// A port the kernel hands out on 127.0.0.1 and that nothing holds now.
int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

bool acceptsConnections(int port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

QStringList brokerArguments(int port)
{
    return { QStringLiteral("-h"), QLatin1String(kHost), QStringLiteral("-p"),
        QString::number(port) };
}

} // namespace

MosquittoBroker::~MosquittoBroker()
{
    stop();
}

bool MosquittoBroker::start()
{
    if (!m_port)
        m_port = freeLoopbackPort();
    const QString config = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(
        QStringLiteral("listener %1 %2\nallow_anonymous true\npersistence false\nlog_dest none\n")
            .arg(m_port)
            .arg(QLatin1String(kHost))
            .toUtf8());
    file.close();
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(VORTALEX_MOSQUITTO_BROKER), { QStringLiteral("-c"), config });
    if (!m_process.waitForStarted())
        return false;
    const QDeadlineTimer deadline(5000);
    while (!acceptsConnections(m_port)) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void MosquittoBroker::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished();
}

MqttObserver::MqttObserver(int port, const QStringList &filters)
{
    // Retained flag, topic and payload, tab-separated, one message a line.
    QStringList arguments = brokerArguments(port);
    arguments << QStringLiteral("-q") << QStringLiteral("1") << QStringLiteral("-F")
              << QStringLiteral("%r\t%t\t%p");
    for (const QString &filter : filters)
        arguments << QStringLiteral("-t") << filter;
    connect(&m_process, &QProcess::readyReadStandardOutput, this, &MqttObserver::readLines);
    m_process.start(QStringLiteral(VORTALEX_MOSQUITTO_SUB), arguments);
    m_process.waitForStarted();
}

MqttObserver::~MqttObserver()
{
    m_process.kill();
    m_process.waitForFinished();
}

void MqttObserver::readLines()
{
    m_buffer += m_process.readAllStandardOutput();
    qsizetype end;
    while ((end = m_buffer.indexOf('\n')) >= 0) {
        const QByteArray line = m_buffer.left(end);
        m_buffer.remove(0, end + 1);
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 3)
            m_messages.append({ fields[0] == "1", QString::fromUtf8(fields[1]),
                line.mid(fields[0].size() + fields[1].size() + 2) });
    }
}

QList<QByteArray> MqttObserver::payloads(const QString &topic) const
{
    QList<QByteArray> result;
    for (const MqttMessage &message : m_messages) {
        if (message.topic == topic)
            result.append(message.payload);
    }
    return result;
}

QByteArray MqttObserver::last(const QString &topic) const
{
    const QList<QByteArray> all = payloads(topic);
    return all.isEmpty() ? QByteArray() : all.constLast();
}

bool MqttObserver::waitFor(
    const QString &topic, const QByteArray &payload, int count, int timeoutMs)
{
    const auto seen = [&] {
        int n = 0;
        for (const MqttMessage &message : std::as_const(m_messages))
            n += message.topic == topic && (payload.isNull() || message.payload == payload);
        return n >= count;
    };
    return QTest::qWaitFor(seen, timeoutMs);
}

bool publishMqtt(int port, const QString &topic, const QByteArray &payload, bool retain)
{
    QStringList arguments = brokerArguments(port);
    arguments << QStringLiteral("-q") << QStringLiteral("1") << QStringLiteral("-t") << topic
              << QStringLiteral("-m") << QString::fromUtf8(payload);
    if (retain)
        arguments << QStringLiteral("-r");
    return QProcess::execute(QStringLiteral(VORTALEX_MOSQUITTO_PUB), arguments) == 0;
}

bool publishMqttLines(int port, const QString &topic, const QList<QByteArray> &lines)
{
    QProcess process;
    QStringList arguments = brokerArguments(port);
    arguments << QStringLiteral("-q") << QStringLiteral("1") << QStringLiteral("-t") << topic
              << QStringLiteral("-l");
    process.start(QStringLiteral(VORTALEX_MOSQUITTO_PUB), arguments);
    if (!process.waitForStarted())
        return false;
    for (const QByteArray &line : lines)
        process.write(line + '\n');
    process.closeWriteChannel();
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

} // namespace vortalex::test
