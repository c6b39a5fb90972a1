// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace vortalex {

// The utility's hex text of a table: two upper-case digits a byte, 16 bytes a
// line separated by single blanks, every line ended by a line feed.
QByteArray edidHexText(const QByteArray &table);

} // namespace vortalex
