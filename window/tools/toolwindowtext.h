// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QLabel;

// Pieces the Tools windows share: how they read the EDID text and show a
// summary line.

// The table in the EDID text, read strictly as files are (line and column
// of the first character that is not hex); false with a message that says
// so otherwise.
bool edidFromText(const QString &text, QByteArray &bytes, QString &error);

// A summary line that wraps only between its " · " parts, never inside
// "E-AC-3" or between "8ch" and its format, in a label two lines high so
// that a wrap does not move what is below.
void showSummary(QLabel *label, const QString &summary, bool problem);
// Any other text in such a label, wrapped as usual.
void showTwoLines(QLabel *label, const QString &text, bool problem);
