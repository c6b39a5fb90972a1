// SPDX-License-Identifier: GPL-3.0-or-later
#include "mqttcommandline.h"

#include "mqttconfig.h"
#include "topics.h"

#include "cli/clisession.h"
#include "cli/intervalargument.h"
#include "program/programinfo.h"
#include "text/echoedtext.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace vortalex {

namespace {

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help { QStringList { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help and exit.") };
    QCommandLineOption version { QStringLiteral("version"),
        QStringLiteral("Show the version and exit.") };
    QCommandLineOption host { QStringLiteral("host"),
        QStringLiteral("The MQTT broker (default localhost)."), QStringLiteral("HOST") };
    QCommandLineOption port { QStringLiteral("port"),
        QStringLiteral("The broker's port (default 1883)."), QStringLiteral("PORT") };
    QCommandLineOption config { QStringLiteral("config"),
        QStringLiteral("Read host, port, username, password, ca-file, client-id, base-topic and "
                       "discovery-prefix from FILE (\"key = value\" lines). A file with a "
                       "password must not be readable by others. Credentials may also come "
                       "from VORTALEX_MQTT_USERNAME and VORTALEX_MQTT_PASSWORD."),
        QStringLiteral("FILE") };
    QCommandLineOption caFile { QStringLiteral("ca-file"),
        QStringLiteral("Connect with TLS, trusting the certificate authority in FILE."),
        QStringLiteral("FILE") };
    QCommandLineOption clientId { QStringLiteral("client-id"),
        QStringLiteral("The MQTT client id (default vortalex-mqtt)."), QStringLiteral("ID") };
    QCommandLineOption baseTopic { QStringLiteral("base-topic"),
        QStringLiteral("Topic under which state, commands and availability live (default "
                       "vortalex)."),
        QStringLiteral("TOPIC") };
    QCommandLineOption discoveryPrefix { QStringLiteral("discovery-prefix"),
        QStringLiteral("Home Assistant's discovery prefix (default homeassistant)."),
        QStringLiteral("PREFIX") };
    QCommandLineOption interval { QStringLiteral("interval"),
        QStringLiteral("Read the box every SECONDS (default 3)."), QStringLiteral("SECONDS") };
    QCommandLineOption emulated { QStringLiteral("emulated"),
        QStringLiteral("Use the emulated box instead of the box on USB.") };
    QCommandLineOption emulatedState { QStringLiteral("emulated-state"),
        QStringLiteral("The emulated box keeps its state in FILE (default: "
                       "vortalex-emulated.json in $XDG_RUNTIME_DIR)."),
        QStringLiteral("FILE") };
    QCommandLineOption frameLog { QStringLiteral("frame-log"),
        QStringLiteral("Append every frame to and from the box to FILE."), QStringLiteral("FILE") };

    Parser()
    {
        parser.setApplicationDescription(
            QStringLiteral("Makes the VORTALEX HDMI box a device on an MQTT broker, found by "
                           "Home Assistant's MQTT discovery. Runs in the foreground, logs to "
                           "standard error and ends on SIGINT or SIGTERM."));
        parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
        for (const QCommandLineOption *option :
            { &help, &version, &host, &port, &config, &caFile, &clientId, &baseTopic,
                &discoveryPrefix, &interval, &emulated, &emulatedState, &frameLog })
            parser.addOption(*option);
    }
};

MqttCommandLine failure(const QString &error)
{
    MqttCommandLine result;
    result.exitCode = CliExit::BadUsage;
    result.error = error;
    return result;
}

} // namespace

QString mqttHelpText()
{
    Parser p;
    QStringList lines = p.parser.helpText().split(QLatin1Char('\n'));
    // Qt names the running executable here; the program's name is fixed.
    lines[0] = QStringLiteral("Usage: vortalex-mqtt [options]");
    return lines.join(QLatin1Char('\n'));
}

MqttCommandLine parseMqttCommandLine(const QStringList &arguments)
{
    Parser p;
    MqttCommandLine result;
    if (!p.parser.parse(arguments))
        return failure(p.parser.errorText() + QStringLiteral(" See vortalex-mqtt --help."));
    if (p.parser.isSet(p.help)) {
        result.exitCode = CliExit::Done;
        result.output = mqttHelpText();
        return result;
    }
    if (p.parser.isSet(p.version)) {
        result.exitCode = CliExit::Done;
        result.output
            = QStringLiteral("vortalex-mqtt %1\n").arg(QString::fromLatin1(programVersion()));
        return result;
    }
    if (!p.parser.positionalArguments().isEmpty())
        return failure(QStringLiteral("vortalex-mqtt takes no arguments, only options; see "
                                      "vortalex-mqtt --help"));

    MqttOptions &options = result.options;
    QString error;
    if (p.parser.isSet(p.config) && !readMqttConfig(p.parser.value(p.config), options, error))
        return failure(error);
    readMqttCredentialsFromEnvironment(options.broker);

    if (p.parser.isSet(p.host))
        options.broker.host = p.parser.value(p.host);
    if (options.broker.host.isEmpty())
        return failure(QStringLiteral("the broker's host name is empty"));
    if (p.parser.isSet(p.port) && !parsePort(p.parser.value(p.port), options.broker.port))
        return failure(QStringLiteral("--port takes 1 to 65535, not \"%1\"")
                           .arg(echoedText(p.parser.value(p.port))));
    if (p.parser.isSet(p.caFile))
        options.broker.caFile = p.parser.value(p.caFile);
    if (!options.broker.caFile.isEmpty() && !QFileInfo(options.broker.caFile).isReadable())
        return failure(QStringLiteral("cannot read the CA file %1").arg(options.broker.caFile));
    if (p.parser.isSet(p.clientId))
        options.broker.clientId = p.parser.value(p.clientId);
    if (p.parser.isSet(p.baseTopic))
        options.baseTopic = p.parser.value(p.baseTopic);
    if (p.parser.isSet(p.discoveryPrefix))
        options.discoveryPrefix = p.parser.value(p.discoveryPrefix);
    if (p.parser.isSet(p.interval)) {
        const QString problem
            = parseIntervalArgument(p.parser.value(p.interval), options.intervalMs);
        if (!problem.isNull())
            return failure(problem);
    }
    options.emulated = p.parser.isSet(p.emulated);
    if (p.parser.isSet(p.emulatedState) && !options.emulated)
        return failure(QStringLiteral("--emulated-state belongs to --emulated"));
    options.emulatedState = p.parser.value(p.emulatedState);
    options.frameLog = p.parser.value(p.frameLog);

    for (const auto &[name, topic] : { std::pair { "--base-topic", options.baseTopic },
             std::pair { "--discovery-prefix", options.discoveryPrefix } }) {
        const QString problem = topicProblem(topic);
        if (!problem.isNull())
            return failure(QStringLiteral("%1 \"%2\" %3")
                               .arg(QLatin1String(name), echoedText(topic), problem));
    }
    if (options.broker.clientId.isEmpty() || options.broker.clientId.toUtf8().size() > 23 * 4)
        return failure(QStringLiteral("the client id must be 1 to 92 bytes long"));
    if (!options.broker.password.isEmpty() && options.broker.username.isEmpty())
        return failure(QStringLiteral("a password needs a username"));
    return result;
}

} // namespace vortalex
