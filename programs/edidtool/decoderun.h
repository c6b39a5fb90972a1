// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

namespace vortalex {

// Writes `text` as UTF-8.
void printText(FILE *stream, const QString &text);

// vortalex-edid's decode of each of `files` ("-" is standard input): the
// report, after a "==> FILE <==" line when there are several, or with `json`
// one JSON object per line with its "file". Problems and unreadable files go
// to standard error. Returns the worst exit status of all files (CliExit).
int runEdidDecode(const QStringList &files, bool json);

} // namespace vortalex
