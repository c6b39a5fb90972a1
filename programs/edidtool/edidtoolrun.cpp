// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid's command table: decode (also without its name), edit,
// merge, diff and help. Help, dispatch, the option checks and the shell
// completion are read from it, as vortalex-cli's are from its own.
#include "edidtoolrun.h"

#include "decoderun.h"
#include "edideditcli.h"

#include "program/commandline.h"
#include "program/exitstatus.h"
#include "program/programinfo.h"
#include "text/didyoumean.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <unistd.h>

namespace vortalex {

namespace {

struct EdidToolCommand
{
    const char *name;
    const char *forms; // as CommandEntry has them
    const char *options; // owned long options; edit also owns every edit
    int (*run)(const CommandLine &commandLine, const QStringList &args);
    const char *examples;
};

int runDecode(const CommandLine &commandLine, const QStringList &args)
{
    QStringList files = args;
    if (files.isEmpty()) {
        if (isatty(STDIN_FILENO)) {
            printText(stderr,
                QStringLiteral("vortalex-edid: give a FILE, or a table on standard input "
                               "(see --help)\n"));
            return CliExit::BadUsage;
        }
        files.append(QStringLiteral("-"));
    }
    return runEdidDecode(files, commandLine.isSet(QStringLiteral("json")));
}

const QList<EdidToolCommand> &edidToolCommands()
{
    static const QList<EdidToolCommand> commands {
        { "decode",
            "decode [FILE...]\twhat each table says: a report, or with --json one JSON object a "
            "line with its \"file\"; the word decode may be left out, and - or no FILE reads "
            "standard input",
            "json", runDecode, "vortalex-edid tv.bin\nvortalex-edid --json tv.bin" },
        { "edit",
            "edit IN -o OUT [EDIT...]\tchange a table of 128 or 256 bytes, the edits in the "
            "order given (vortalex-edid help edit lists them and what each also changes); each "
            "edit is given once; removing what the table does not have changes nothing and "
            "says so; OUT - is standard output, --hex writes the utility's hex text",
            "output hex", runEdidEdit,
            "vortalex-edid edit tv.bin -o no-hdr.bin --remove-hdr\n"
            "vortalex-edid edit tv.bin -o - --hex --name Kitchen --max-tmds 300" },
        { "merge",
            "merge --video A --audio B -o OUT\tthe video of table A with the audio of table B "
            "(its audio data, speaker allocation and vendor-specific audio; B may be any "
            "readable table)",
            "video audio output hex", runEdidMerge,
            "vortalex-edid merge --video tv.bin --audio receiver.bin -o tv-with-avr-audio.bin" },
        { "diff",
            "diff A B\tthe decoded facts that differ (--json: a JSON array); exit 0 equal, "
            "1 different, 2 bad input",
            "json",
            runEdidDiff, "vortalex-edid diff tv.bin tv-with-avr-audio.bin" },
        { "help", "help [COMMAND]\tthe usage, options and examples of one command", "", nullptr,
            "vortalex-edid help edit" },
    };
    return commands;
}

const char kDescription[]
    = "Decodes EDID tables and changes them. A table is a raw file of 128 x n bytes,\n"
      "hex text (blanks, line ends, colons or commas between bytes, or one unbroken\n"
      "string), edid-decode's hex dump, the EDID: block of xrandr --verbose, or the hex\n"
      "text the VORTALEX Utility saves.\n"
      "\n";

const char kNotes[]
    = "\n"
      "Exit status: 0 no problems; 1 a table read has problems (listed on standard\n"
      "error; edit and merge still write the result); 2 an input cannot be read, the\n"
      "arguments are wrong or an edit does not fit (nothing written); with several\n"
      "FILEs the worst of all.\n";

CommandLine edidToolCommandLine()
{
    QList<ProgramOption> options {
        programOption("h help", "", "Show this help."),
        programOption("v version", "", "Show the program's version."),
        programOption("json", "",
            "decode: one JSON object per table, one a line, with its "
            "\"file\". diff: the facts as a JSON array."),
        programOption("o output", "FILE",
            "edit, merge: write the table to FILE (- for "
            "standard output)."),
        programOption("hex", "", "edit, merge: write the utility's hex text instead of bytes."),
        programOption("video", "FILE", "merge: the table whose video is kept."),
        programOption("audio", "FILE", "merge: the table whose audio is taken."),
        // The shell completion asks the program for its words.
        programOption("complete", "WHAT", ""),
    };
    options.last().internal = true;
    options += edidEditOptions();
    QList<CommandEntry> entries = commandEntries(edidToolCommands());
    for (CommandEntry &entry : entries) {
        if (entry.name != QLatin1String("edit"))
            continue;
        for (const ProgramOption &edit : edidEditOptions())
            entry.options += QLatin1Char(' ') + edit.longName();
    }
    return CommandLine(QStringLiteral("vortalex-edid"), options, entries);
}

const EdidToolCommand *findCommand(const QString &name)
{
    for (const EdidToolCommand &command : edidToolCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

int fail(const QString &message)
{
    printText(stderr, QStringLiteral("vortalex-edid: %1\n").arg(message));
    return CliExit::BadUsage;
}

void printJson(const QJsonObject &object)
{
    printText(stdout, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
    printText(stdout, QStringLiteral("\n"));
}

QString helpText(const CommandLine &commandLine)
{
    QString commands = QStringLiteral("Commands:\n");
    for (const CommandEntry &command : commandLine.commands())
        commands += commandLine.formList(command);
    return commandLine.helpText(QStringLiteral("vortalex-edid [options] [decode] [FILE...]"),
        QString::fromLatin1(kDescription) + commands + QString::fromLatin1(kNotes));
}

int printHelp(const CommandLine &commandLine, const QString &topic, bool json)
{
    const CommandEntry *command = topic.isEmpty() ? nullptr : commandLine.command(topic);
    if (!topic.isEmpty() && !command)
        return fail(commandLine.unknownCommand(topic));
    if (json)
        printJson(command ? commandLine.commandHelpJson(*command)
                          : commandLine.helpJson(QString::fromLatin1(programVersion())));
    else
        printText(stdout, command ? commandLine.commandHelp(*command) : helpText(commandLine));
    return CliExit::Done;
}

// The command words: "decode" in front when the first word is no command
// but a table. A word close to a command's name that names no file is a
// misspelt command; nothing runs.
bool commandWords(const CommandLine &commandLine, QStringList &words, QString &error)
{
    if (!words.isEmpty() && findCommand(words[0]))
        return true;
    if (!words.isEmpty() && !QFileInfo::exists(words[0])
        && !closestWord(words[0], commandLine.commandNames()).isNull()) {
        error = commandLine.unknownCommand(words[0]);
        return false;
    }
    words.prepend(QStringLiteral("decode"));
    return true;
}

// --complete words|options -- WORDS... CURRENT: the words that the shell
// offers (it adds file names itself), one a line.
int printCompletion(const CommandLine &commandLine, const QStringList &typed)
{
    QStringList positional;
    bool valueNext = false;
    for (const QString &word : typed.mid(0, typed.size() - 1)) {
        if (valueNext) {
            valueNext = false;
            continue;
        }
        if (word.startsWith(QLatin1Char('-')) && word != QLatin1String("-")) {
            valueNext = commandLine.takesNextWord(word);
            continue;
        }
        positional.append(word);
    }
    QStringList candidates;
    if (commandLine.value(QStringLiteral("complete")) == QLatin1String("options")) {
        QString error;
        commandWords(commandLine, positional, error);
        candidates = commandLine.optionWords(positional.mid(0, 1));
    } else if (positional.isEmpty() && !valueNext) {
        candidates = commandLine.commandNames();
    } else if (positional.value(0) == QLatin1String("help") && positional.size() == 1) {
        candidates = commandLine.commandNames();
    }
    if (!candidates.isEmpty())
        printText(stdout, candidates.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    return CliExit::Done;
}

} // namespace

int runEdidTool(const QStringList &arguments)
{
    const CommandLine table = edidToolCommandLine();
    CommandLine commandLine = table;
    if (!commandLine.parse(arguments))
        return fail(commandLine.error());
    QStringList words = commandLine.words();
    const bool json = commandLine.isSet(QStringLiteral("json"));
    if (commandLine.isSet(QStringLiteral("complete")))
        return printCompletion(commandLine, words);
    if (commandLine.isSet(QStringLiteral("help")))
        return printHelp(commandLine, findCommand(words.value(0)) ? words[0] : QString(), json);
    if (words.value(0) == QLatin1String("help")) {
        if (words.size() > 2)
            return fail(unexpectedWord(words.mid(0, 2), words[2]));
        if (words.size() == 2 && words[1].isEmpty())
            return fail(commandLine.unknownCommand(words[1]));
        return printHelp(commandLine, words.value(1), json);
    }
    if (commandLine.isSet(QStringLiteral("version"))) {
        const QString version = QString::fromLatin1(programVersion());
        if (json)
            printJson({ { QStringLiteral("program"), QStringLiteral("vortalex-edid") },
                { QStringLiteral("version"), version } });
        else
            printText(stdout, QStringLiteral("vortalex-edid %1\n").arg(version));
        return CliExit::Done;
    }
    QString error;
    if (!commandWords(commandLine, words, error))
        return fail(error);
    const QString misplaced = commandLine.misplacedOption(words.mid(0, 1));
    if (!misplaced.isNull())
        return fail(misplaced);
    return findCommand(words[0])->run(commandLine, words.mid(1));
}

} // namespace vortalex
