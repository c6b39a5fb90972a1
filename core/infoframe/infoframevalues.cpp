// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframevalues.h"

#include "infoframehex.h"

#include <QSet>
#include <cmath>

namespace vortalex {

InfoFrameKeyValues splitKeyValues(const QStringList &arguments)
{
    InfoFrameKeyValues result;
    QSet<QString> seen;
    for (const QString &argument : arguments) {
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString key = argument.left(equals).trimmed().toLower();
        const QString value = argument.mid(equals + 1).trimmed();
        if (equals <= 0 || key.isEmpty() || value.isEmpty()) {
            result.error = QStringLiteral("\"%1\" is not KEY=VALUE").arg(argument);
            return result;
        }
        if (seen.contains(key)) {
            result.error = QStringLiteral("%1 is given twice").arg(key);
            return result;
        }
        seen.insert(key);
        result.items.append({ key, value });
    }
    result.ok = true;
    return result;
}

int readScaledCode(const QString &text, double codesPerUnit, int maxCode)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || value < 0)
        return -1;
    const double code = std::round(value * codesPerUnit);
    return code <= maxCode ? int(code) : -1;
}

int readWholeNumber(const QString &text, int maxValue)
{
    const QString digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 9)
        return -1;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return -1;
    }
    const int value = digits.toInt();
    return value <= maxValue ? value : -1;
}

QString scaledCodeText(int code, int codesPerUnit, int decimals)
{
    QString text = QString::number(code / codesPerUnit);
    int power = 1;
    for (int i = 0; i < decimals; ++i)
        power *= 10;
    const int fraction = (code % codesPerUnit) * (power / codesPerUnit);
    if (fraction == 0)
        return text;
    QString digits = QString::number(fraction).rightJustified(decimals, QLatin1Char('0'));
    while (digits.endsWith(QLatin1Char('0')))
        digits.chop(1);
    return text + QLatin1Char('.') + digits;
}

int nameIndex(const QString &text, const QStringList &names)
{
    return int(names.indexOf(text.trimmed().toLower()));
}

QJsonArray problemsJson(const QString &problem)
{
    return problem.isEmpty() ? QJsonArray() : QJsonArray { problem };
}

} // namespace vortalex
