// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace vortalex {

class CliSession;

// One command of vortalex-cli. Help, dispatch, the option checks and the
// shell completion are all read from these rows: a new command is one row
// and its handler.
struct CliCommand
{
    const char *name;
    // One line a form, separated by '\n': the usage after "vortalex-cli", a
    // tab, what the form does.
    const char *forms;
    // Long options only this command takes: "option" for the whole command,
    // "option@sub" for one subcommand; separated by spaces.
    const char *options;
    int (*run)(CliSession &session, const QStringList &args);
    // Words the shell may complete for the last of `args` (the words after
    // the command name, the one being typed last, possibly empty).
    QStringList (*complete)(const QStringList &args);
    // Example command lines, separated by '\n'.
    const char *examples;
};

// Every command, in the order help lists them.
const QList<CliCommand> &cliCommands();
// By exact name; nullptr when there is none.
const CliCommand *findCliCommand(const QString &name);

// The command list of --help.
QString cliCommandList();
// `help COMMAND` and `COMMAND --help`: usage, options with their
// descriptions (from `optionHelp`: long name -> text), examples.
QString cliCommandHelp(const CliCommand &command, const QList<QPair<QString, QString>> &optionHelp);

// Null when every option in `given` (long names) belongs to the command of
// `words`; else the message naming its owners.
QString misplacedCliOption(const QStringList &given, const QStringList &words);
// The long options the table gives to commands.
QStringList commandOwnedOptions();
// Long options that `words`' command takes (owned ones only).
QStringList commandOptions(const QStringList &words);

} // namespace vortalex
