// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the utility's start-up: a Qt Widgets program that shows
// an empty QMainWindow and ends once the event loop has run, reporting when
// that was and its peak memory.
#include "benchreport.h"

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    const std::int64_t mainNs = benchreport::monotonicNs();
    QApplication app(argc, argv);
    QMainWindow window;
    window.show();
    QTimer::singleShot(0, &app, [&] {
        std::printf("shown_ms=%.3f\npeak_kib=%ld\n", benchreport::msSinceLaunch(mainNs),
            benchreport::peakResidentKiB());
        app.quit();
    });
    return app.exec();
}
