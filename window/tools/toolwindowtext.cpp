// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolwindowtext.h"

#include "edid/edidinput.h"

#include <QLabel>

bool edidFromText(const QString &text, QByteArray &bytes, QString &error)
{
    if (text.trimmed().isEmpty()) {
        error = QLabel::tr("The EDID text is empty");
        return false;
    }
    QString reason;
    if (vortalex::edidBytesFromContent(text.toUtf8(), bytes, reason))
        return true;
    error = QLabel::tr("The EDID text: %1").arg(reason);
    return false;
}

void showTwoLines(QLabel *label, const QString &text, bool problem)
{
    label->setWordWrap(true);
    label->setText(text);
    label->setStyleSheet(problem ? QStringLiteral("color: red") : QString());
    const QMargins margins = label->contentsMargins();
    label->setFixedHeight(2 * label->fontMetrics().lineSpacing() + 2 * label->margin()
        + margins.top() + margins.bottom());
}

void showSummary(QLabel *label, const QString &summary, bool problem)
{
    // Lines break after " · " and ", " only.
    const QString separator = QStringLiteral(" · ");
    const QString comma = QStringLiteral(", ");
    QStringList parts = summary.split(separator);
    for (QString &part : parts) {
        QStringList items = part.split(comma);
        for (QString &item : items)
            item.replace(u' ', QChar::Nbsp).replace(u'-', QChar(0x2011));
        part = items.join(comma);
    }
    showTwoLines(label, parts.join(separator), problem);
}
