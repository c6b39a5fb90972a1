// SPDX-License-Identifier: GPL-3.0-or-later
#include "processhost.h"

#include "emulated/emulatedbox.h"
#include "emulated/emulatedstatefile.h"
#include "emulated/simbridge.h"
#include "files/standardoutput.h"
#include "libusb/libusbbridge.h"

#include <cstdio>
#include <unistd.h>

namespace vortalex {

ProcessHost::ProcessHost() = default;
ProcessHost::~ProcessHost() = default;

SimBridge &ProcessHost::emulatedBridge()
{
    if (!m_sim) {
        m_box = std::make_unique<EmulatedBox>(m_clock);
        m_sim = std::make_unique<SimBridge>(m_clock, *m_box);
    }
    return *m_sim;
}

UsbBridge &ProcessHost::realBridge()
{
    // The back end's own permission hint names the window's program; the
    // session prints its own line instead.
    if (!m_usb)
        m_usb = std::make_unique<LibusbBridge>(
            [this](const std::string &) { m_permissionDenied = true; });
    return *m_usb;
}

QString ProcessHost::emulatedStateFile(QString &problem) const
{
    return defaultEmulatedStatePath(problem);
}

void ProcessHost::writeOut(const QByteArray &bytes)
{
    writeStandardOutput(bytes, true);
}

void ProcessHost::writeErr(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

bool ProcessHost::errIsTerminal() const
{
    return isatty(STDERR_FILENO) == 1;
}

bool ProcessHost::outFailed() const
{
    return standardOutputFailed();
}

bool ProcessHost::outIsTerminal() const
{
    return standardOutputIsTerminal();
}

} // namespace vortalex
