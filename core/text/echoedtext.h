// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// What a message may quote of a user's argument: at most this many characters.
constexpr int kEchoedTextLimit = 64;

// Control characters as C escapes (\n, \t, \x1b, \u0085 ...), so that a
// message cannot move the cursor or clear a terminal.
QString escapeControlCharacters(const QString &text);

// A user's argument as an error message quotes it: control characters
// escaped, and cut to kEchoedTextLimit characters with "..." after the cut.
QString echoedText(const QString &text);

} // namespace vortalex
