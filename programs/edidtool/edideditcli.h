// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortalex {

// True when the first argument is one of vortalex-edid's table commands:
// edit, merge or diff.
bool isEdidEditorCommand(int argc, char *argv[]);
// Runs that command and returns the exit status.
int runEdidEditorCommand(int argc, char *argv[]);

} // namespace vortalex
