// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/appcontext.h"
#include "app/mainwindow.h"
#include "link/clock.h"
#include "scripteddialogs.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <QList>
#include <QStringList>
#include <memory>

class Ui_MainWindow;

struct StatusMessage
{
    QString text;
    int ms = 0;
    bool operator==(const StatusMessage &o) const { return text == o.text && ms == o.ms; }
};

// A MainWindow on a virtual clock, the emulated box behind its bridge and
// scripted dialogs. Nothing waits in real time and no window is shown.
class WindowHarness
{
public:
    WindowHarness();
    ~WindowHarness();

    vortalex::VirtualClock clock;
    vortalex::EmulatedBox box;
    vortalex::SimBridge bridge;
    ScriptedDialogs dialogs;
    QList<StatusMessage> statusLog;
    QStringList diagnostics;
    QList<int> exitRequests;
    vortalex::AppContext context;

    // Builds the window: it finds and opens the box and runs its start-up sync.
    MainWindow *start();
    MainWindow *window() const { return m_window.get(); }
    Ui_MainWindow *ui() const;

    // One poll tick, as the window's timer delivers it.
    void tick();
    // Forgets the frames, status messages, dialogs and diagnostics seen so far.
    void clearLogs();
    QStringList sentHex() const;

private:
    std::unique_ptr<MainWindow> m_window;
};
