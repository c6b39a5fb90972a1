// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// Checks a hex byte list given on the command line ("50:04"): two hex digits
// per byte, colons between them, and no more than `maxChars` characters, the
// limit the window's field has. The window's parser takes whatever is typed;
// a script's typing error is refused here before anything goes to the box.
// Returns a null string when the list is good, otherwise what is wrong.
QString hexListProblem(const QString &text, int maxChars);

} // namespace vortalex
