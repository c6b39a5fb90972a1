// SPDX-License-Identifier: GPL-3.0-or-later
#include "toolplacement.h"

#include <algorithm>

QRect placeToolWindow(const QSize &wanted, const QSize &minimum, const QRect &mainFrame,
    const QRect &keepVisible, const QRect &screen)
{
    const int top = std::clamp(mainFrame.top(), screen.top(),
        std::max(screen.top(), screen.bottom() + 1 - wanted.height()));
    const QSize size = wanted.boundedTo(screen.size());
    if (screen.right() - mainFrame.right() >= wanted.width())
        return QRect(QPoint(mainFrame.right() + 1, top), size);
    if (mainFrame.left() - screen.left() >= wanted.width())
        return QRect(QPoint(mainFrame.left() - wanted.width(), top), size);

    // The four parts of the screen that leave `keepVisible` uncovered.
    const QRect parts[4] = {
        QRect(QPoint(keepVisible.right() + 1, screen.top()), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(keepVisible.left() - 1, screen.bottom())),
        QRect(QPoint(screen.left(), keepVisible.bottom() + 1), screen.bottomRight()),
        QRect(screen.topLeft(), QPoint(screen.right(), keepVisible.top() - 1)),
    };
    QRect best;
    for (const QRect &part : parts) {
        const QSize fits = wanted.boundedTo(part.size());
        if (fits.width() < minimum.width() || fits.height() < minimum.height())
            continue;
        if (!best.isValid() || fits.width() * fits.height() > best.width() * best.height())
            best = QRect(part.topLeft(), fits);
    }
    // No part is large enough: the whole screen, as Qt would place it.
    return best.isValid() ? best : QRect(screen.topLeft(), size);
}
