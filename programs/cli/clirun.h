// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clihost.h"

#include <QStringList>

namespace vortalex {

// Runs vortalex-cli with `arguments` (the program name first) on `host` and
// returns the exit status (CliExit).
int runCli(const QStringList &arguments, CliHost &host);

// The --help text.
QString cliHelpText();

// --emulated keeps the box's state in `path` between runs: restore gives the
// host's emulated box the state a former run left there; keep saves it after
// command `words` ended with `exitCode` (a factory reset of both forgets it).
// Null when done; else the message that says why not.
QString restoreEmulatedBox(CliHost &host, const QString &path);
QString keepEmulatedBox(CliHost &host, const QString &path, const QStringList &words, int exitCode);

} // namespace vortalex
