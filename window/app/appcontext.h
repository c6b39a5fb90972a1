// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

namespace vortalex {

class UsbBridge;
class Clock;
class Dialogs;

// What the window needs from the outside world. The programs fill it with
// real USB (or the emulated box), the system clock and Qt's dialogs; tests
// fill it with the emulated box, a virtual clock and scripted dialogs.
struct AppContext
{
    UsbBridge &bridge;
    Clock &clock;
    Dialogs &dialogs;
    // One diagnostic line on standard output.
    std::function<void(const QString &line)> diagnostic;
    // Ends the process at once (File, Exit).
    std::function<void(int exitCode)> exitProcess;
    // Sees every status-bar message with its time; optional.
    std::function<void(const QString &text, int ms)> statusObserver;
    // Screen's horizontal logical DPI / 96; set by start-up after the window exists.
    float displayScaleFactor = 0.0f;
};

// Standard output and process exit as the programs use them.
void writeDiagnosticLine(const QString &line);
void exitProcessNow(int exitCode);

} // namespace vortalex
