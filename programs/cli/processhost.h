// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clihost.h"

#include "link/clock.h"

#include <memory>

namespace vortalex {

class EmulatedBox;
class LibusbBridge;

// The process's streams, the system clock, libusb and, on request, the
// emulated box: what vortalex-cli runs on, and vortalex-mqtt with its own log.
class ProcessHost : public CliHost
{
public:
    ProcessHost();
    ~ProcessHost() override;

    Clock &clock() override { return m_clock; }
    SimBridge &emulatedBridge() override;
    UsbBridge &realBridge() override;
    bool permissionDenied() const override { return m_permissionDenied; }
    QString emulatedStateFile(QString &problem) const override;
    // Flushed at once: watch's lines reach a pipe as they come. A failure
    // is reported once, at the end.
    void writeOut(const QByteArray &bytes) override;
    void writeErr(const QByteArray &bytes) override;
    bool errIsTerminal() const override;
    bool outFailed() const override;
    bool outIsTerminal() const override;

private:
    SystemClock m_clock;
    std::unique_ptr<EmulatedBox> m_box;
    std::unique_ptr<SimBridge> m_sim;
    std::unique_ptr<LibusbBridge> m_usb;
    bool m_permissionDenied = false;
};

} // namespace vortalex
