// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QStringList>

namespace vortalex {

// What changed from one table to another, in words, one line per change, in
// the order of diffEdid's facts: "VIC 97 3840x2160@60 added", "Name: UHD TV
// 65 → Kitchen", "HDR static metadata block removed", then the facts the JSON
// report does not carry ("Speaker allocation: FL/FR, LFE1, FC added",
// "Dolby Vision removed").
QStringList edidChangesInWords(const QByteArray &before, const QByteArray &after);

} // namespace vortalex
