// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// Checks a hex byte list given on the command line ("50:04"): within the
// character limits of the window's field (`maxChars` at most), and two hex
// digits per byte between colons, which the window's parser does not ask
// for: a script's typing error is refused here before anything goes to the
// box.
// `maxBytes` is the most bytes the command takes (a CEC message holds 16
// whatever the field holds); -1: as many as `maxChars` holds.
// Returns a null string when the list is good, otherwise what is wrong.
QString hexListProblem(const QString &text, int maxChars, int maxBytes = -1);

} // namespace vortalex
