// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "clicommands.h"
#include "clisession.h"
#include "commandtable.h"
#include "text/didyoumean.h"

#include "intervalargument.h"

#include "link/logging.h"
#include "program/programinfo.h"
#include "emulated/emulatedstatefile.h"
#include "emulated/emulatedstatelock.h"
#include "emulated/simbridge.h"
#include "files/outputfile.h"
#include "text/echoedtext.h"

#include <QFile>
#include <cmath>

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

// Every option, in the order --help lists them. A command option (one the
// command table gives to a command) needs only its row's word besides.
QList<ProgramOption> cliOptions()
{
    QList<ProgramOption> options {
        programOption("h help", "", "Show this help."),
        programOption("v version", "", "Show the program's version."),
        programOption("emulated", "", "Use the emulated box instead of the box on USB."),
        programOption("latency", "MS", "Answer delay of the emulated box (default 2)."),
        programOption("frame-log", "FILE",
            "Append one line per frame to FILE: <ms since start> <'>' to box | '<' from box> "
            "<hex bytes>."),
        programOption("verbose", "", "Print diagnostics of the USB link on standard error."),
        programOption("json", "", "Print one JSON object on standard output."),
        programOption("q quiet", "", "No progress and no messages, except when the command fails."),
        programOption("o output", "FILE", "edid read: save the raw 256 bytes in FILE."),
        programOption("fix-checksums", "", "edid write: repair wrong checksums before writing."),
        programOption("force", "",
            "infoframe hdr: also set FORCE HDR ACTIVE. edid write: write a table without the "
            "EDID header."),
        programOption("replace", "", "infoframe avi: also set REPLACE AVI."),
        programOption("yes", "", "reset: confirm the factory reset."),
        programOption("interval", "SECONDS",
            "watch: seconds between two reads of the signal status (default 3)."),
        programOption("dry-run", "", "settings load: print the frames it would send; send none."),
        programOption("edid", "", "settings save: also save the box's EDID."),
        programOption("emulated-state", "FILE",
            "The emulated box keeps its state in FILE (default: vortalex-emulated.json in "
            "$XDG_RUNTIME_DIR, else vortalex/emulated-box.json in $XDG_STATE_HOME or "
            "~/.local/state)."),
        programOption("raw", "",
            "set: take a number as the value. infoframe hdr|avi: send a frame the decoders "
            "refuse, as it is."),
        // The shell completion asks the program for its words: "words" for the
        // last of the positional arguments, "options" for the options.
        programOption("complete", "WHAT", ""),
    };
    for (ProgramOption &option : options) {
        const QString name = option.longName();
        option.everyCommand = name == QLatin1String("emulated") || name == QLatin1String("json")
            || name == QLatin1String("quiet");
        option.internal = name == QLatin1String("complete");
    }
    return options;
}

bool parseLatency(const QString &text, unsigned &value)
{
    bool ok = false;
    const uint parsed = text.toUInt(&ok);
    if (!ok || parsed > 60000)
        return false;
    value = parsed;
    return true;
}

// --complete: the words the shell offers, one a line.
int printCompletion(const CommandLine &line, const QStringList &words, CliHost &host)
{
    QStringList candidates;
    if (line.value(QStringLiteral("complete")) == QLatin1String("options"))
        candidates = line.optionWords(words.mid(0, words.size() - 1).mid(0, 2));
    else if (words.size() <= 1)
        candidates = line.commandNames();
    else if (const CliCommand *command = findCliCommand(words[0]))
        candidates = command->complete(words.mid(1));
    host.writeOut(candidates.join(QLatin1Char('\n')).toUtf8() + '\n');
    return CliExit::Done;
}

// How long a command waits for another vortalex-cli --emulated to let go of
// the emulated box: scripts that run commands back to back should not fail.
constexpr std::uint32_t kEmulatedBoxWaitMs = 2000;
// --help, help [COMMAND] and COMMAND --help; with --json as JSON.
int printHelp(const CommandLine &line, CliSession &usage, const QString &topic)
{
    const CliCommand *command = topic.isEmpty() ? nullptr : findCliCommand(topic);
    if (!topic.isEmpty() && !command)
        return usage.fail(CliExit::BadUsage, line.unknownCommand(topic));
    const QString name = command ? QString::fromLatin1(command->name) : QString();
    if (usage.options().json)
        usage.printJson(command ? line.commandHelpJson(*line.command(name))
                                : line.helpJson(QString::fromLatin1(programVersion())));
    else
        usage.writeOut((command ? cliCommandHelp(line, *command) : cliHelpText()).toUtf8());
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
            .arg(echoedText(path), error);
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
    return error.isNull() ? QString()
                          : QStringLiteral("the emulated box's state cannot be kept in %1: %2; "
                                           "the next run starts without this run's changes")
                                .arg(echoedText(path), error);
}

CommandLine cliCommandLine()
{
    return CommandLine(QStringLiteral("vortalex-cli"), cliOptions(), commandEntries(cliCommands()));
}

QString cliHelpText()
{
    return cliCommandLine().helpText(
        QStringLiteral("vortalex-cli [options] command [arguments...]"),
        QString::fromLatin1(kIntroduction) + cliCommandList() + QString::fromLatin1(kNotes));
}

int runCli(const QStringList &arguments, CliHost &host)
{
    CommandLine parsed = cliCommandLine();
    const bool parsedWell = parsed.parse(arguments);
    CliOptions options;
    // Errors in the options themselves are JSON too when --json was asked
    // (before any "--").
    options.json = parsedWell
        ? parsed.isSet(QStringLiteral("json"))
        : arguments.mid(0, arguments.indexOf(QLatin1String("--"))).contains(QLatin1String("--json"));
    // Reports what is wrong before any command runs.
    CliSession usage(host, options);
    if (!parsedWell)
        return usage.fail(CliExit::BadUsage, parsed.error());
    const QStringList words = parsed.words();
    if (parsed.isSet(QStringLiteral("complete")))
        return printCompletion(parsed, words, host);
    if (parsed.isSet(QStringLiteral("help")))
        return printHelp(parsed, usage, words.value(0));
    if (words.value(0) == QLatin1String("help")) {
        if (words.size() > 2)
            return usage.fail(CliExit::BadUsage, unexpectedWord(words.mid(0, 2), words[2]));
        if (words.size() == 2 && words[1].isEmpty())
            return usage.fail(CliExit::BadUsage, parsed.unknownCommand(words[1]));
        return printHelp(parsed, usage, words.value(1));
    }
    if (parsed.isSet(QStringLiteral("version"))) {
        const QString version = QString::fromLatin1(programVersion());
        if (options.json)
            usage.printJson({ { QStringLiteral("program"), QStringLiteral("vortalex-cli") },
                { QStringLiteral("version"), version } });
        else
            usage.printLine(QStringLiteral("vortalex-cli ") + version);
        return CliExit::Done;
    }

    if (words.isEmpty())
        return usage.fail(
            CliExit::BadUsage, QStringLiteral("no command given. See vortalex-cli --help."));
    const CliCommand *command = findCliCommand(words[0]);
    if (!command || !command->run)
        return usage.fail(CliExit::BadUsage, parsed.unknownCommand(words[0]));
    const auto isSet = [&](const char *name) { return parsed.isSet(QLatin1String(name)); };
    const auto value = [&](const char *name) { return parsed.value(QLatin1String(name)); };
    options.emulated = isSet("emulated");
    if (isSet("latency")) {
        if (!options.emulated)
            return usage.fail(CliExit::BadUsage, QStringLiteral("--latency belongs to --emulated"));
        if (!parseLatency(value("latency"), options.latencyMs))
            return usage.fail(CliExit::BadUsage,
                QStringLiteral("--latency takes milliseconds from 0 to 60000, not \"%1\"")
                    .arg(echoedText(value("latency"))));
    }
    if (isSet("emulated-state") && !options.emulated)
        return usage.fail(
            CliExit::BadUsage, QStringLiteral("--emulated-state belongs to --emulated"));
    const QString misplaced = parsed.misplacedOption(words);
    if (!misplaced.isNull())
        return usage.fail(CliExit::BadUsage, misplaced);
    if (isSet("interval")) {
        const QString problem = parseIntervalArgument(value("interval"), options.intervalMs);
        if (!problem.isNull())
            return usage.fail(CliExit::BadUsage, problem);
    }
    if (isSet("verbose"))
        enableVerboseLogging();
    options.frameLog = value("frame-log");
    options.quiet = isSet("quiet");
    options.output = value("output");
    options.fixChecksums = isSet("fix-checksums");
    options.force = isSet("force");
    options.replace = isSet("replace");
    options.yes = isSet("yes");
    options.dryRun = isSet("dry-run");
    options.saveEdid = isSet("edid");
    options.raw = isSet("raw");

    // The emulated box is held, as a real one is, from reading its state to
    // writing it back.
    QString statePath;
    if (options.emulated) {
        QString problem;
        if (isSet("emulated-state")) {
            // A file named by the user that cannot take the state is refused.
            statePath = value("emulated-state");
            const QString targetProblem = outputTargetProblem(statePath);
            if (!targetProblem.isNull())
                return usage.fail(CliExit::BadUsage,
                    QStringLiteral("cannot keep the emulated box's state in %1: %2")
                        .arg(echoedText(statePath), targetProblem));
        } else {
            statePath = host.emulatedStateFile(problem);
        }
        if (!problem.isNull())
            usage.warn(QStringLiteral("the emulated box's state is not kept between runs: %1")
                           .arg(problem));
    }
    EmulatedStateLock lock;
    if (!statePath.isEmpty()) {
        switch (lock.lock(statePath, host.clock(), kEmulatedBoxWaitMs)) {
        case EmulatedStateLock::Outcome::Locked:
            break;
        case EmulatedStateLock::Outcome::InUse:
            return usage.fail(CliExit::NoBox,
                QStringLiteral("the box is in use by another program (another vortalex-cli "
                               "--emulated on %1); try again when it ends")
                    .arg(echoedText(statePath)));
        case EmulatedStateLock::Outcome::Failed:
            usage.warn(QStringLiteral("the emulated box's state is not kept between runs: "
                                      "cannot lock %1: %2")
                           .arg(echoedText(EmulatedStateLock::lockFilePath(statePath)),
                               lock.error()));
            statePath.clear();
            break;
        }
    }
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
            usage.warn(problem);
    }
    return exitCode;
}

} // namespace vortalex
