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

} // namespace vortalex
