// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
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

} // namespace vortalex
