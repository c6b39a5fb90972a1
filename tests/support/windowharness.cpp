// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowharness.h"

#include "ui_VortalexForm.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimerEvent>

WindowHarness::WindowHarness()
    : box(clock),
      bridge(clock, box),
      context { bridge,
                clock,
                dialogs,
                [this](const QString &line) { diagnostics << line; },
                [this](int code) { exitRequests << code; },
                [this](const QString &text, int ms) { statusLog << StatusMessage { text, ms }; },
                1.0f }
{
}

WindowHarness::~WindowHarness() = default;

MainWindow *WindowHarness::start()
{
    // The old window closes its session first: both would use the same handle.
    m_window.reset();
    m_window = std::make_unique<MainWindow>(context);
    return m_window.get();
}

Ui_MainWindow *WindowHarness::ui() const
{
    return m_window ? m_window->form() : nullptr;
}

void WindowHarness::tick()
{
    // The window's own poll timer id, as a timer tick would carry it.
    const auto timers = QAbstractEventDispatcher::instance()->registeredTimers(m_window.get());
    QTimerEvent event(timers.isEmpty() ? 1 : timers.first().timerId);
    QCoreApplication::sendEvent(m_window.get(), &event);
}

void WindowHarness::clearLogs()
{
    bridge.clearFrameLog();
    statusLog.clear();
    dialogs.log.clear();
    diagnostics.clear();
}

QStringList WindowHarness::sentHex() const
{
    QStringList frames;
    for (const QByteArray &frame : bridge.sentFrames())
        frames << vortalex::hexBytes(frame);
    return frames;
}
