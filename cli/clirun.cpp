// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"

#include "clicommands.h"
#include "clisession.h"

#include "device/logging.h"
#include "device/programinfo.h"
#include "texts/echoedtext.h"

#include <QCommandLineParser>

namespace vortalex {

namespace {

const char kDescription[]
    = "Scripts the VORTALEX HDMI box: every action of the VORTALEX Utility's window.\n"
      "\n"
      "Commands:\n"
      "  status                       firmware, the four signal status lines, every setting\n"
      "  settings                     every setting name with its allowed values\n"
      "  get NAME                     one setting's value\n"
      "  set NAME VALUE               write one setting (a value name; its number only\n"
      "                               with --raw)\n"
      "  edid read [box|top|bot]      the box's EDID or the EDID of the TV on the top or\n"
      "                               bottom output: hex text on standard output, or with\n"
      "                               -o FILE the raw 256 bytes in FILE (- for standard\n"
      "                               output), checked before the box is read\n"
      "  edid write FILE              write a raw or hex text EDID file to the box; a bad\n"
      "                               checksum is refused unless --fix-checksums repairs it,\n"
      "                               a table without the EDID header unless --force;\n"
      "                               the box uses it with edid-mode custom, custom-edid 0\n"
      "  edid check FILE              whether the box can hold the table (a base block\n"
      "                               and one extension) and the checksums of both\n"
      "                               blocks (exit 2 when not)\n"
      "  edid decode FILE             what the table says: a report, or with --json its\n"
      "                               JSON object (FILE - reads standard input)\n"
      "  cec send HEX                 send a CEC message of up to 16 bytes, e.g. 40:04\n"
      "                               (power on)\n"
      "  cec store sp|lp HEX          store a CEC command in the box\n"
      "  infoframe hdr HEX            inject an HDR InfoFrame (refused when it does not\n"
      "                               decode, unless --raw); --force also sets FORCE\n"
      "                               HDR ACTIVE\n"
      "  infoframe avi HEX            inject AVI InfoFrame data bytes (the same check);\n"
      "                               --replace also sets REPLACE AVI\n"
      "  infoframe decode hdr|avi HEX an InfoFrame in real units (report or JSON)\n"
      "  infoframe encode hdr|avi KEY=VALUE...\n"
      "                               the hex list of an InfoFrame from real units\n"
      "  reset settings|edid --yes    factory reset of the settings, the EDID or both\n"
      "\n"
      "NAME and VALUE: vortalex-cli settings lists them.\n"
      "HEX is a list of two-digit hex bytes separated by colons, such as 50:04.\n"
      "\n"
      "Exit status: 0 done; 1 the box failed, did not answer or was unplugged; 2 bad\n"
      "usage or bad input (nothing was sent); 3 no box, or it cannot be opened (in\n"
      "use by another program, or no access).";

struct CommandEntry
{
    const char *name;
    int (*run)(CliSession &, const QStringList &);
};

constexpr CommandEntry kCommands[] = {
    { "status", runStatusCommand },
    { "settings", runSettingsCommand },
    { "get", runGetCommand },
    { "set", runSetCommand },
    { "edid", runEdidCommand },
    { "cec", runCecCommand },
    { "infoframe", runInfoFrameCommand },
    { "reset", runResetCommand },
};

// Options that belong to one command: given to another, they are a mistake.
struct CommandOption
{
    const char *option;
    const char *command; // and subcommand
};

constexpr CommandOption kCommandOptions[] = {
    { "output", "edid read" },
    { "fix-checksums", "edid write" },
    { "force", "edid write|infoframe hdr" },
    { "replace", "infoframe avi" },
    { "yes", "reset" },
    { "raw", "set|infoframe hdr|infoframe avi" },
};

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
    QCommandLineOption raw { QStringLiteral("raw"),
        QStringLiteral("set: take a number as the value. infoframe hdr|avi: send a frame the "
                       "decoders refuse, as it is.") };

    Parser()
    {
        parser.setApplicationDescription(QString::fromLatin1(kDescription));
        parser.addOptions({ help, version, emulated, latency, frameLog, verbose, json, quiet,
            output, fixChecksums, force, replace, yes, raw });
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

// Null when every command option given belongs to `words`' command.
QString misplacedOption(const QCommandLineParser &parser, const QStringList &words)
{
    const QString command = words.mid(0, 2).join(QLatin1Char(' '));
    for (const CommandOption &entry : kCommandOptions) {
        const QString option = QString::fromLatin1(entry.option);
        if (!parser.isSet(option))
            continue;
        const QStringList owners = QString::fromLatin1(entry.command).split(QLatin1Char('|'));
        bool belongs = false;
        for (const QString &owner : owners)
            belongs = belongs || command == owner || words.value(0) == owner;
        if (!belongs)
            return QStringLiteral("--%1 belongs to %2")
                .arg(option, owners.join(QLatin1String(" and ")));
    }
    return QString();
}

} // namespace

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
    // Reports what is wrong before any command runs.
    CliSession usage(host, options);
    if (!p.parser.parse(arguments))
        return usage.fail(
            CliExit::BadUsage, p.parser.errorText() + QStringLiteral(" See vortalex-cli --help."));
    if (p.parser.isSet(p.help)) {
        host.writeOut(cliHelpText().toUtf8());
        return CliExit::Done;
    }
    if (p.parser.isSet(p.version)) {
        host.writeOut(QStringLiteral("vortalex-cli %1\n")
                          .arg(QString::fromLatin1(programVersion()))
                          .toUtf8());
        return CliExit::Done;
    }

    const QStringList words = p.parser.positionalArguments();
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
    if (p.parser.isSet(p.verbose))
        enableVerboseLogging();
    options.frameLog = p.parser.value(p.frameLog);
    options.json = p.parser.isSet(p.json);
    options.quiet = p.parser.isSet(p.quiet);
    options.output = p.parser.value(p.output);
    options.fixChecksums = p.parser.isSet(p.fixChecksums);
    options.force = p.parser.isSet(p.force);
    options.replace = p.parser.isSet(p.replace);
    options.yes = p.parser.isSet(p.yes);
    options.raw = p.parser.isSet(p.raw);
    const QString misplaced = misplacedOption(p.parser, words);
    if (!misplaced.isNull())
        return usage.fail(CliExit::BadUsage, misplaced);

    for (const CommandEntry &command : kCommands) {
        if (words[0] == QLatin1String(command.name)) {
            CliSession session(host, options);
            return command.run(session, words.mid(1));
        }
    }
    QStringList names;
    for (const CommandEntry &command : kCommands)
        names.append(QString::fromLatin1(command.name));
    return usage.fail(CliExit::BadUsage,
        QStringLiteral("unknown command \"%1\"; the commands are %2")
            .arg(echoedText(words[0]), names.join(QLatin1String(", "))));
}

} // namespace vortalex
