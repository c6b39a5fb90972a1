// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

class Clock;
class SimBridge;
class UsbBridge;

// What the command-line program runs on: the clock, the two kinds of box and
// the two output streams. vortalex-cli gives it the system clock, libusb and
// the process's streams; tests give it a virtual clock, emulated boxes and
// buffers.
class CliHost
{
public:
    virtual ~CliHost() = default;

    virtual Clock &clock() = 0;
    // The emulated box (--emulated), on the host's clock.
    virtual SimBridge &emulatedBridge() = 0;
    // Where --emulated keeps the box's state between runs when no
    // --emulated-state names a file; empty: the box starts afresh each run,
    // and `problem`, when set, says why no file could be used.
    virtual QString emulatedStateFile(QString &problem) const
    {
        Q_UNUSED(problem);
        return QString();
    }
    // The box on USB.
    virtual UsbBridge &realBridge() = 0;
    // True once the USB back end was refused access to a device: the udev
    // rule is missing.
    virtual bool permissionDenied() const = 0;

    // The name that starts the session's own message lines ("NAME: ...").
    virtual QString programName() const { return QStringLiteral("vortalex-cli"); }

    virtual void writeOut(const QByteArray &bytes) = 0;
    virtual void writeErr(const QByteArray &bytes) = 0;
    // True once standard output failed (a full disk); the reason is told at
    // the end of main.
    virtual bool outFailed() const { return false; }
    // Progress goes to standard error only when a person watches it.
    virtual bool errIsTerminal() const = 0;
    // Raw bytes are not written to a terminal.
    virtual bool outIsTerminal() const { return false; }
};

} // namespace vortalex
