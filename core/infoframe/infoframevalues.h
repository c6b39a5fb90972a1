// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "text/didyoumean.h"
#include "text/echoedtext.h"

#include <QJsonArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>

namespace vortalex {

// The KEY=VALUE arguments of an InfoFrame to build, in their order.
struct InfoFrameKeyValues
{
    bool ok = false;
    QString error;
    QList<QPair<QString, QString>> items;
};

// Splits "key=value" arguments; a key is lower-cased. An argument without
// '=', with an empty key or value, or a key given twice is refused.
InfoFrameKeyValues splitKeyValues(const QStringList &arguments);

// A number in the InfoFrame's units: `text` times `codesPerUnit`, rounded,
// must lie in 0..`maxCode`. Returns the code, or -1 for text that is no
// such number (not a number, negative, too large).
int readScaledCode(const QString &text, double codesPerUnit, int maxCode);

// A whole number from 0 to `maxValue` written in decimal digits, or -1.
int readWholeNumber(const QString &text, int maxValue);

// A code back in its unit with up to `decimals` places, trailing zeros
// dropped: (13250, 50000, 5) gives "0.265". 10^decimals must be a multiple
// of codesPerUnit.
QString scaledCodeText(int code, int codesPerUnit, int decimals);

// One of `names` (case-insensitive): its index, or -1.
int nameIndex(const QString &text, const QStringList &names);

// A decode's "problems" in its JSON, as the EDID JSON has them: [] or [the problem].
QJsonArray problemsJson(const QString &problem);

// One KEY=VALUE key of an InfoFrame: its name, the words or range it takes
// (the help line and the error name them), and the setter, which returns
// false for a value it does not take, with a `reason` or none (the words
// then are the reason).
template<typename Values> struct InfoFrameKey
{
    const char *name;
    QString words;
    bool (*set)(Values &values, const QString &value, QString &reason);
};

// Applies `arguments` to `values` with the rows of `keys`; false and the
// error ("color=x: expected rgb, ...", "unknown key colr; keys: ...").
template<typename Values>
bool applyInfoFrameKeys(const QStringList &arguments, const QList<InfoFrameKey<Values>> &keys,
    Values &values, QString &error)
{
    const InfoFrameKeyValues split = splitKeyValues(arguments);
    if (!split.ok) {
        error = split.error;
        return false;
    }
    for (const auto &[key, value] : split.items) {
        const InfoFrameKey<Values> *row = nullptr;
        QStringList names;
        for (const InfoFrameKey<Values> &candidate : keys) {
            names << QString::fromLatin1(candidate.name);
            if (key == QLatin1String(candidate.name))
                row = &candidate;
        }
        if (!row) {
            error = QStringLiteral("unknown key %1%2; keys: %3")
                        .arg(echoedText(key), didYouMean(key, names),
                            names.join(QStringLiteral(", ")));
            return false;
        }
        QString reason;
        if (!row->set(values, value, reason)) {
            // Of the words a key takes, the plain ones ("pq", not "X,Y from
            // 0 to 1") are suggested for a misspelt word; a number out of
            // range gets none.
            bool isNumber = false;
            value.toDouble(&isNumber);
            QStringList plainWords;
            if (!isNumber)
                plainWords = row->words.split(QStringLiteral(", "));
            plainWords.erase(std::remove_if(plainWords.begin(), plainWords.end(),
                                 [](const QString &word) { return word.contains(' '); }),
                plainWords.end());
            error
                = QStringLiteral("%1=%2: %3%4")
                      .arg(key, echoedText(value),
                          reason.isEmpty() ? QStringLiteral("expected %1").arg(row->words) : reason,
                          didYouMean(value.toLower(), plainWords));
            return false;
        }
    }
    return true;
}

// The help of `keys`: one "  key: words" line each.
template<typename Values> QString infoFrameKeyHelp(const QList<InfoFrameKey<Values>> &keys)
{
    QString help;
    for (const InfoFrameKey<Values> &row : keys)
        help += QStringLiteral("  %1: %2\n").arg(QString::fromLatin1(row.name), row.words);
    return help;
}

// The (key, words) pairs of `keys`, for completion and help elsewhere.
template<typename Values>
QList<QPair<QString, QString>> infoFrameKeyWords(const QList<InfoFrameKey<Values>> &keys)
{
    QList<QPair<QString, QString>> words;
    for (const InfoFrameKey<Values> &row : keys)
        words.append({ QString::fromLatin1(row.name), row.words });
    return words;
}

} // namespace vortalex
