// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "clicommands.h"
#include "clisession.h"
#include "commandtable.h"
#include "didyoumean.h"
#include "intervalargument.h"

#include "link/logging.h"
#include "program/programinfo.h"
#include "emulated/emulatedstatefile.h"
#include "emulated/simbridge.h"
#include "text/echoedtext.h"

#include <QCommandLineParser>
#include <QFile>

namespace vortalex {

namespace {

const char kIntroduction[]
    = "Scripts the VORTALEX HDMI box: every action of the VORTALEX Utility's window.\n"
      "\n";

const char kNotes[]
    = "\n"
      "NAME and VALUE: vortalex-cli settings lists them (a number as VALUE only with\n"
      "--raw).\n"
      "HEX is a list of two-digit hex bytes separated by colons, such as 50:04.\n"
      "vortalex-cli help COMMAND or vortalex-cli COMMAND --help: one command's usage,\n"
      "options and examples.\n"
      "\n"
      "FILE: a raw table, hex text, edid-decode's hex dump or xrandr --verbose's EDID.\n"
      "\n"
      "Exit status: 0 done; 1 the box failed, did not answer or was unplugged, or the\n"
      "table or frame checked has problems; 2 bad usage or bad input (nothing was\n"
      "sent); 3 no box, or it cannot be opened (in use by another program, or no\n"
      "access).";

struct Parser
{
    QCommandLineParser parser;
    QCommandLineOption help { { QStringLiteral("h"), QStringLiteral("help") },
        QStringLiteral("Show this help.") };
    QCommandLineOption version { { QStringLiteral("v"), QStringLiteral("version") },
        QStringLiteral("Show the program's version.") };
    QCommandLineOption emulated { QStringLiteral("emulated"),
        QStringLiteral("Use the emulated box instead of the box on USB.") };
    QCommandLineOption latency { QStringLiteral("latency"),
        QStringLiteral("Answer delay of the emulated box (default 2)."), QStringLiteral("MS") };
    QCommandLineOption frameLog { QStringLiteral("frame-log"),
        QStringLiteral("Append one line per frame to FILE: <ms since start> <'>' to box | '<' "
                       "from box> <hex bytes>."),
        QStringLiteral("FILE") };
    QCommandLineOption verbose { QStringLiteral("verbose"),
        QStringLiteral("Print diagnostics of the USB link on standard error.") };
    QCommandLineOption json { QStringLiteral("json"),
        QStringLiteral("Print one JSON object on standard output.") };
    QCommandLineOption quiet { { QStringLiteral("q"), QStringLiteral("quiet") },
        QStringLiteral("No progress and no messages, except when the command fails.") };
    QCommandLineOption output { { QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("edid read: save the raw 256 bytes in FILE."), QStringLiteral("FILE") };
    QCommandLineOption fixChecksums { QStringLiteral("fix-checksums"),
        QStringLiteral("edid write: repair wrong checksums before writing.") };
    QCommandLineOption force { QStringLiteral("force"),
        QStringLiteral("infoframe hdr: also set FORCE HDR ACTIVE. edid write: write a table "
                       "without the EDID header.") };
    QCommandLineOption replace { QStringLiteral("replace"),
        QStringLiteral("infoframe avi: also set REPLACE AVI.") };
    QCommandLineOption yes { QStringLiteral("yes"),
        QStringLiteral("reset: confirm the factory reset.") };
    QCommandLineOption interval { QStringLiteral("interval"),
        QStringLiteral("watch: seconds between two reads of the signal status (default 3)."),
        QStringLiteral("SECONDS") };
    QCommandLineOption dryRun { QStringLiteral("dry-run"),
        QStringLiteral("settings load: print the frames it would send; send none.") };
    QCommandLineOption edid { QStringLiteral("edid"),
        QStringLiteral("settings save: also save the box's EDID.") };
    QCommandLineOption emulatedState { QStringLiteral("emulated-state"),
        QStringLiteral("The emulated box keeps its state in FILE (default: "
                       "vortalex-emulated.json in $XDG_RUNTIME_DIR)."),
        QStringLiteral("FILE") };
    QCommandLineOption raw { QStringLiteral("raw"),
        QStringLiteral("set: take a number as the value. infoframe hdr|avi: send a frame the "
                       "decoders refuse, as it is.") };
    // The shell completion asks the program for its words: "words" for the
    // last of the positional arguments, "options" for the options.
    QCommandLineOption complete { QStringLiteral("complete"), QString(), QStringLiteral("WHAT") };

    // Every option, in the order --help lists them. A command option (one
    // the command table gives to a command) needs only its row's word besides.
    QList<const QCommandLineOption *> all() const
    {
        return { &help, &version, &emulated, &latency, &frameLog, &verbose, &json, &quiet,
            &output, &fixChecksums, &force, &replace, &yes, &interval, &dryRun, &edid,
            &emulatedState, &raw, &complete };
    }

    Parser()
    {
        complete.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.setApplicationDescription(
            QString::fromLatin1(kIntroduction) + cliCommandList() + QString::fromLatin1(kNotes));
        for (const QCommandLineOption *option : all())
            parser.addOption(*option);
        parser.addPositionalArgument(QStringLiteral("command"),
            QStringLiteral("The command and its arguments, as listed above."),
            QStringLiteral("command [arguments...]"));
    }
};

bool parseLatency(const QString &text, unsigned &value)
{
    bool ok = false;
    const uint parsed = text.toUInt(&ok);
    if (!ok || parsed > 60000)
        return false;
    value = parsed;
    return true;
}

// The long names of the command options (those the command table gives to a
// command) on the command line.
QStringList givenOptions(const Parser &p)
{
    QStringList names;
    const QStringList owned = commandOwnedOptions();
    for (const QCommandLineOption *option : p.all()) {
        const QString name = option->names().constLast();
        if (owned.contains(name) && p.parser.isSet(name))
            names.append(name);
    }
    return names;
}

// For a command's help: the options any command takes and the command
// options, each with its long name, value name and description.
QList<QPair<QString, QString>> optionHelp(const Parser &p)
{
    QList<QPair<QString, QString>> help;
    const QStringList owned = commandOwnedOptions();
    for (const QCommandLineOption *option : p.all()) {
        QString name = option->names().constLast();
        if (!owned.contains(name) && option != &p.json && option != &p.quiet
            && option != &p.emulated)
            continue;
        if (!option->valueName().isEmpty())
            name += QLatin1Char(' ') + option->valueName();
        help.append({ name, option->description() });
    }
    return help;
}

QStringList commandNames()
{
    QStringList names;
    for (const CliCommand &command : cliCommands())
        names.append(QString::fromLatin1(command.name));
    return names;
}

// --complete: the words the shell offers, one a line.
int printCompletion(const Parser &p, const QStringList &words, CliHost &host)
{
    QStringList candidates;
    if (p.parser.value(p.complete) == QLatin1String("options")) {
        const QStringList owned = commandOwnedOptions();
        for (const QCommandLineOption *option : p.all()) {
            const QString name = option->names().constLast();
            if (!owned.contains(name) && option != &p.complete)
                candidates.append(QStringLiteral("--") + name);
        }
        for (const QString &name : commandOptions(words.mid(0, words.size() - 1).mid(0, 2)))
            candidates.append(QStringLiteral("--") + name);
    } else if (words.size() <= 1) {
        candidates = commandNames();
    } else if (const CliCommand *command = findCliCommand(words[0])) {
        candidates = command->complete(words.mid(1));
    }
    host.writeOut(candidates.join(QLatin1Char('\n')).toUtf8() + '\n');
    return CliExit::Done;
}

} // namespace

// Gives the emulated box the state a former run left in `path`; else why not.
QString restoreEmulatedBox(CliHost &host, const QString &path)
{
    EmulatedBox &box = host.emulatedBridge().box();
    EmulatedBoxState state = box.state();
    QString error;
    if (!loadEmulatedState(path, state, error))
        return QStringLiteral("cannot read the emulated box's state %1: %2; remove the file to "
                              "start from the factory state")
            .arg(path, error);
    box.restoreState(state);
    return QString();
}

// Keeps the box's state for the next run; a factory reset of both settings
// and EDID forgets it, so the next run starts as the box leaves the factory.
QString keepEmulatedBox(CliHost &host, const QString &path, const QStringList &words, int exitCode)
{
    const bool resetBoth = words[0] == QLatin1String("reset") && exitCode == CliExit::Done
        && (words.contains(QLatin1String("both"))
            || (words.contains(QLatin1String("settings"))
                && words.contains(QLatin1String("edid"))));
    if (resetBoth) {
        QFile::remove(path);
        return QString();
    }
    const QString error = saveEmulatedState(path, host.emulatedBridge().box().state());
    return error.isNull()
        ? QString()
        : QStringLiteral("cannot keep the emulated box's state in %1: %2").arg(path, error);
}

QString cliHelpText()
{
    Parser p;
    QStringList lines = p.parser.helpText().split(QLatin1Char('\n'));
    // Qt names the running executable here; the program's name is fixed.
    lines[0] = QStringLiteral("Usage: vortalex-cli [options] command [arguments...]");
    QString text = lines.join(QLatin1Char('\n'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    return text;
}

int runCli(const QStringList &arguments, CliHost &host)
{
    Parser p;
    CliOptions options;
    // Errors before the options are read are JSON too when --json was asked.
    options.json = arguments.contains(QLatin1String("--json"));
    // Reports what is wrong before any command runs.
    CliSession usage(host, options);
    if (!p.parser.parse(arguments))
        return usage.fail(
            CliExit::BadUsage, p.parser.errorText() + QStringLiteral(" See vortalex-cli --help."));
    const QStringList words = p.parser.positionalArguments();
    if (p.parser.isSet(p.complete))
        return printCompletion(p, words, host);
    const bool helpAsked = p.parser.isSet(p.help) || words.value(0) == QLatin1String("help");
    if (helpAsked) {
        const QString topic = p.parser.isSet(p.help) ? words.value(0) : words.value(1);
        const CliCommand *command = topic.isEmpty() ? nullptr : findCliCommand(topic);
        if (!topic.isEmpty() && !command)
            return usage.fail(CliExit::BadUsage,
                QStringLiteral("unknown command \"%1\"%2; the commands are %3")
                    .arg(echoedText(topic), didYouMean(topic, commandNames()),
                        commandNames().join(QLatin1String(", "))));
        host.writeOut((command ? cliCommandHelp(*command, optionHelp(p)) : cliHelpText()).toUtf8());
        return CliExit::Done;
    }
    if (p.parser.isSet(p.version)) {
        host.writeOut(QStringLiteral("vortalex-cli %1\n")
                          .arg(QString::fromLatin1(programVersion()))
                          .toUtf8());
        return CliExit::Done;
    }

    if (words.isEmpty())
        return usage.fail(
            CliExit::BadUsage, QStringLiteral("no command given. See vortalex-cli --help."));
    options.emulated = p.parser.isSet(p.emulated);
    if (p.parser.isSet(p.latency)) {
        if (!options.emulated)
            return usage.fail(CliExit::BadUsage, QStringLiteral("--latency belongs to --emulated"));
        if (!parseLatency(p.parser.value(p.latency), options.latencyMs))
            return usage.fail(CliExit::BadUsage,
                QStringLiteral("--latency takes milliseconds from 0 to 60000, not \"%1\"")
                    .arg(echoedText(p.parser.value(p.latency))));
    }
    if (p.parser.isSet(p.emulatedState) && !options.emulated)
        return usage.fail(
            CliExit::BadUsage, QStringLiteral("--emulated-state belongs to --emulated"));
    if (p.parser.isSet(p.interval)) {
        const QString problem
            = parseIntervalArgument(p.parser.value(p.interval), options.intervalMs);
        if (!problem.isNull())
            return usage.fail(CliExit::BadUsage, problem);
    }
    if (p.parser.isSet(p.verbose))
        enableVerboseLogging();
    options.frameLog = p.parser.value(p.frameLog);
    options.quiet = p.parser.isSet(p.quiet);
    options.output = p.parser.value(p.output);
    options.fixChecksums = p.parser.isSet(p.fixChecksums);
    options.force = p.parser.isSet(p.force);
    options.replace = p.parser.isSet(p.replace);
    options.yes = p.parser.isSet(p.yes);
    options.dryRun = p.parser.isSet(p.dryRun);
    options.saveEdid = p.parser.isSet(p.edid);
    const QString misplaced = misplacedCliOption(givenOptions(p), words);
    options.raw = p.parser.isSet(p.raw);
    if (!misplaced.isNull())
        return usage.fail(CliExit::BadUsage, misplaced);

    const CliCommand *command = findCliCommand(words[0]);
    if (!command || !command->run)
        return usage.fail(CliExit::BadUsage,
            QStringLiteral("unknown command \"%1\"%2; the commands are %3")
                .arg(echoedText(words[0]), didYouMean(words[0], commandNames()),
                    commandNames().join(QLatin1String(", "))));
    const QString statePath = options.emulated
        ? (p.parser.isSet(p.emulatedState) ? p.parser.value(p.emulatedState)
                                           : host.emulatedStateFile())
        : QString();
    if (!statePath.isEmpty()) {
        const QString problem = restoreEmulatedBox(host, statePath);
        if (!problem.isNull())
            return usage.fail(CliExit::BadUsage, problem);
    }
    int exitCode = CliExit::Done;
    bool connected = false;
    {
        CliSession session(host, options);
        exitCode = command->run(session, words.mid(1));
        connected = session.connected();
    }
    if (!statePath.isEmpty() && connected) {
        const QString problem = keepEmulatedBox(host, statePath, words, exitCode);
        if (!problem.isNull())
            usage.fail(exitCode, problem);
    }
    return exitCode;
}

} // namespace vortalex
