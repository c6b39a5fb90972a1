// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace vortalex {

// Runs vortalex-edid with `arguments` (the program's name first) and
// returns the exit status (CliExit).
int runEdidTool(const QStringList &arguments);

} // namespace vortalex
