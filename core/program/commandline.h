// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace vortalex {

// One command of a program as its help, its option checks and its shell
// completion see it. Each program keeps its commands in one table whose rows
// have these fields; commandEntries() reads them.
struct CommandEntry
{
    QString name;
    // One line a form, separated by '\n': the usage after the program's
    // name, a tab, what the form does.
    QString forms;
    // Long options only this command takes: "option" for the whole command,
    // "option@sub" for one subcommand; separated by spaces.
    QString options;
    // Example command lines, separated by '\n'.
    QString examples;
};

template<typename Row> QList<CommandEntry> commandEntries(const QList<Row> &rows)
{
    QList<CommandEntry> entries;
    for (const Row &row : rows)
        entries.append({ QString::fromUtf8(row.name), QString::fromUtf8(row.forms),
            QString::fromUtf8(row.options), QString::fromUtf8(row.examples) });
    return entries;
}

struct ProgramOption
{
    QStringList names; // a one-letter name first when there is one; the long name last
    QString valueName; // empty: a switch
    QString description;
    // Listed in the help of every command, not only in the program's.
    bool everyCommand = false;
    // Only in the help of the commands that own it.
    bool commandHelpOnly = false;
    // May be given more than once (edits that run in the order given).
    bool repeatable = false;
    // Neither in any help nor completed (--complete).
    bool internal = false;

    QString longName() const { return names.constLast(); }
};

// An option from "h help" (its names), "FILE" (its value; "" for a switch)
// and its description.
ProgramOption programOption(const char *names, const char *valueName, const char *description);

// "unexpected "extra" after "reset both"": a word a command does not take,
// named with the words before it.
QString unexpectedWord(const QStringList &before, const QString &word);

// "unknown edid command "raed" (did you mean read?); give read, write,
// check or decode": a word that is none of `words`.
QString unknownWord(const QString &what, const QString &typed, const QStringList &words);

// "a, b or c".
QString wordChoice(const QStringList &words);

// The command line of one program: its options and its command table. One
// parser for every program of the project, so that an unknown, repeated or
// misplaced option is named the same way everywhere.
class CommandLine
{
public:
    CommandLine(const QString &program, const QList<ProgramOption> &options,
        const QList<CommandEntry> &commands);

    // Reads `arguments` (the program's name first): options anywhere, "--"
    // ends them. False, with error(), for an unknown option (with the one
    // that was probably meant), a missing or unwanted value, or an option
    // given twice.
    bool parse(const QStringList &arguments);
    QString error() const { return m_error; }

    QStringList words() const { return m_words; }
    bool isSet(const QString &longName) const;
    QString value(const QString &longName) const;
    // Every option given, in order, by long name, with its value.
    QList<QPair<QString, QString>> given() const { return m_given; }

    // Null when every option given belongs to the command of `words` (its
    // name, then its subcommand); else the message naming their owners.
    QString misplacedOption(const QStringList &words) const;

    const QList<CommandEntry> &commands() const { return m_commands; }
    const CommandEntry *command(const QString &name) const;
    QStringList commandNames() const;
    // "unknown command "X" (did you mean Y?); the commands are ...".
    QString unknownCommand(const QString &typed) const;

    // The program's help: `usage`, `description`, then the options.
    QString helpText(const QString &usage, const QString &description) const;
    // The forms of a command, one entry each, as the program's help lists them.
    QString formList(const CommandEntry &command) const;
    // A command's help: its usage lines, forms, `extra`, its options and examples.
    QString commandHelp(const CommandEntry &command, const QString &extra = QString()) const;
    // The same as JSON: {"name", "forms": [{"usage", "description"}],
    // "options": [...], "examples": [...]}; the program's adds "program",
    // "version", "options" and "commands".
    QJsonObject commandHelpJson(const CommandEntry &command) const;
    QJsonObject helpJson(const QString &version) const;

    // Whether the option word `word` takes its value from the next word.
    bool takesNextWord(const QString &word) const;

    // --complete options: the options any command takes and those of the
    // command in `words`, with their dashes.
    QStringList optionWords(const QStringList &words) const;

private:
    const ProgramOption *findLong(const QString &name) const;
    const ProgramOption *findShort(QChar letter) const;
    bool take(const ProgramOption &option, const QString &shown, const QString &value);
    bool fail(const QString &message);
    QStringList commandOptions(const QStringList &words) const;
    QJsonObject optionJson(const ProgramOption &option) const;

    QString m_program;
    QList<ProgramOption> m_options;
    QList<CommandEntry> m_commands;
    QStringList m_words;
    QList<QPair<QString, QString>> m_given;
    QString m_error;
};

} // namespace vortalex
