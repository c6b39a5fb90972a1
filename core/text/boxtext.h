// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// The form of a CEC or InfoFrame text that the box gets: upper-cased, one
// Latin-1 byte per character, every character outside Latin-1 as '?'. The
// length of the result is the character count that the length limits test.
// No carriage return is appended.
QByteArray toBoxText(const QString &plainText);

} // namespace vortalex
