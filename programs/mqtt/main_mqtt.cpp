// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-mqtt: the box as a device on an MQTT broker, with Home Assistant
// discovery. Qt Core only; runs in the foreground under systemd or a shell.
#include "bridge.h"
#include "mqttcommandline.h"
#include "servicehost.h"
#include "servicelog.h"
#include "stopsignals.h"

#include "program/programinfo.h"

#include <QCoreApplication>
#include <cstdio>

using namespace vortalex;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    setProgramInfo("vortalex-mqtt");
    const MqttCommandLine commandLine = parseMqttCommandLine(QCoreApplication::arguments());
    if (commandLine.exitCode) {
        if (!commandLine.error.isEmpty())
            logLine(commandLine.error);
        const QByteArray output = commandLine.output.toUtf8();
        std::fwrite(output.constData(), 1, std::size_t(output.size()), stdout);
        return *commandLine.exitCode;
    }
    const MqttOptions &options = commandLine.options;

    StopSignals stopSignals;
    ServiceHost host;
    BoxConnection box(host, options);
    bool inUse = false;
    const QString problem = box.restoreEmulatedState(inUse);
    if (!problem.isNull()) {
        logLine(problem);
        return inUse ? CliExit::NoBox : CliExit::BadUsage;
    }
    MqttClient mqtt;
    Bridge bridge(box, mqtt, options);
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &app, [&] {
        logLine(QStringLiteral("stopping"));
        bridge.shutdown();
        app.quit();
    });
    QObject::connect(&bridge, &Bridge::failed, &app, [&](int exitCode) {
        bridge.shutdown();
        app.exit(exitCode);
    });
    logLine(QStringLiteral("connecting to the broker %1:%2%3")
                .arg(options.broker.host)
                .arg(options.broker.port)
                .arg(options.broker.caFile.isEmpty() ? QString() : QStringLiteral(" with TLS")));
    QString error;
    if (!mqtt.start(options.broker, Topics(options.baseTopic).availability(),
            QByteArrayLiteral("offline"), error)) {
        logLine(QStringLiteral("cannot connect to the broker: %1").arg(error));
        return CliExit::BadUsage;
    }
    bridge.start();
    return app.exec();
}
