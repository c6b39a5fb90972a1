// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "mainwindow.h"

#include <QApplication>
#include <QScreen>

namespace vortalex {

float screenScaleFactor()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1.0f;
    return float(screen->logicalDotsPerInchX()) / 96.0f;
}

int runApplication(QApplication &app, AppContext &context)
{
    // The window lives until the process ends.
    auto *window = new MainWindow(context);
    context.displayScaleFactor = screenScaleFactor();
    app.setStyleSheet(QString::fromLatin1(kApplicationStyleSheet));
    window->show();
    return app.exec();
}

} // namespace vortalex
