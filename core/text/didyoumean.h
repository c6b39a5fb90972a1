// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace vortalex {

// The word of `words` closest to `typed` when it is close enough to be what
// was meant (a letter or two wrong, missing, extra or swapped); else null.
QString closestWord(const QString &typed, const QStringList &words);

// " (did you mean X?)" for closestWord, or an empty string.
QString didYouMean(const QString &typed, const QStringList &words);

} // namespace vortalex
