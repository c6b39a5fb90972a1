// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/commandline.h"

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

// vortalex-cli's options and command table.
CommandLine cliCommandLine();
// The command list of --help, with the keys of infoframe encode.
QString cliCommandList();
// `help COMMAND` and `COMMAND --help`: usage, options, examples.
QString cliCommandHelp(const CommandLine &commandLine, const CliCommand &command);

} // namespace vortalex
