// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqttconfig.h"

#include "text/echoedtext.h"

#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

namespace vortalex {

bool parsePort(const QString &text, int &port)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 65535)
        return false;
    port = value;
    return true;
}

bool readMqttConfig(const QString &path, MqttOptions &options, QString &error)
{
    // A FIFO or device would be read as it is (or block the start for good).
    const QFileInfo fileInfo(path);
    if (fileInfo.exists() && !fileInfo.isFile()) {
        error = QStringLiteral("%1 is not a regular file").arg(path);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    // More than any configuration needs: a wrong path (a log, a disk image)
    // is not read whole.
    const QByteArray text = file.read(64 * 1024);
    BrokerOptions &broker = options.broker;
    const QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines[i]).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString where = QStringLiteral("%1 line %2").arg(path).arg(i + 1);
        if (equals < 0) {
            error = QStringLiteral("%1: \"key = value\" expected, not \"%2\"")
                        .arg(where, echoedText(line));
            return false;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == QLatin1String("host"))
            broker.host = value;
        else if (key == QLatin1String("port")) {
            if (!parsePort(value, broker.port)) {
                error = QStringLiteral("%1: port takes 1 to 65535, not \"%2\"")
                            .arg(where, echoedText(value));
                return false;
            }
        } else if (key == QLatin1String("username"))
            broker.username = value;
        else if (key == QLatin1String("password"))
            broker.password = value;
        else if (key == QLatin1String("ca-file"))
            broker.caFile = value;
        else if (key == QLatin1String("client-id"))
            broker.clientId = value;
        else if (key == QLatin1String("base-topic"))
            options.baseTopic = value;
        else if (key == QLatin1String("discovery-prefix"))
            options.discoveryPrefix = value;
        else {
            error = QStringLiteral("%1: unknown key \"%2\"").arg(where, echoedText(key));
            return false;
        }
    }
    struct stat info
    {
    };
    if (!broker.password.isEmpty() && ::fstat(file.handle(), &info) == 0
        && (info.st_mode & (S_IRGRP | S_IROTH))) {
        error = QStringLiteral("%1 holds a password and other users can read it; make it "
                               "private first: chmod 600 %1")
                    .arg(path);
        return false;
    }
    return true;
}

void readMqttCredentialsFromEnvironment(BrokerOptions &broker)
{
    if (qEnvironmentVariableIsSet("VORTALEX_MQTT_USERNAME"))
        broker.username = qEnvironmentVariable("VORTALEX_MQTT_USERNAME");
    if (qEnvironmentVariableIsSet("VORTALEX_MQTT_PASSWORD"))
        broker.password = qEnvironmentVariable("VORTALEX_MQTT_PASSWORD");
}

} // namespace vortalex
