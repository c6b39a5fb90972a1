// SPDX-License-Identifier: GPL-3.0-or-later
#include "didyoumean.h"

#include <QVector>
#include <algorithm>

namespace vortalex {

namespace {

// Edits between two words: a character inserted, deleted, replaced, or two
// neighbours swapped each count one (optimal string alignment distance).
int editDistance(const QString &a, const QString &b)
{
    const int n = int(a.size());
    const int m = int(b.size());
    QVector<QVector<int>> d(n + 1, QVector<int>(m + 1));
    for (int i = 0; i <= n; ++i)
        d[i][0] = i;
    for (int j = 0; j <= m; ++j)
        d[0][j] = j;
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({ d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost });
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

int commonPrefix(const QString &a, const QString &b)
{
    int n = 0;
    while (n < a.size() && n < b.size() && a[n] == b[n])
        ++n;
    return n;
}

} // namespace

QString closestWord(const QString &typed, const QStringList &words)
{
    const QString lower = typed.left(60).toLower();
    // Short words allow one edit, longer ones two.
    const int allowed = lower.size() <= 4 ? 1 : 2;
    QString best;
    int bestDistance = allowed + 1;
    int bestPrefix = -1;
    for (const QString &word : words) {
        const int distance = editDistance(lower, word);
        // Of two as close, the one that starts as typed: "of" is "off", not "on".
        const int prefix = commonPrefix(lower, word);
        if (distance > allowed)
            continue;
        if (distance < bestDistance || (distance == bestDistance && prefix > bestPrefix)) {
            best = word;
            bestDistance = distance;
            bestPrefix = prefix;
        }
    }
    return best;
}

QString didYouMean(const QString &typed, const QStringList &words)
{
    const QString word = closestWord(typed, words);
    return word.isNull() ? QString() : QStringLiteral(" (did you mean %1?)").arg(word);
}

} // namespace vortalex
