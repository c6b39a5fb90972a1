// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "program/commandline.h"

namespace vortalex {

// The edits of vortalex-edid edit, one option each, as the command line reads them.
QList<ProgramOption> edidEditOptions();

// vortalex-edid's table commands, given the parsed command line and the
// words after the command's name; each returns the exit status.
int runEdidEdit(const CommandLine &commandLine, const QStringList &args);
int runEdidMerge(const CommandLine &commandLine, const QStringList &args);
int runEdidDiff(const CommandLine &commandLine, const QStringList &files);

} // namespace vortalex
