// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli: every action of the window from a shell, for scripts and
// home automation. Qt Core only: it needs no display.
#include "clihost.h"
#include "clirun.h"

#include "link/clock.h"
#include "libusb/libusbbridge.h"
#include "program/programinfo.h"
#include "emulated/emulatedbox.h"
#include "emulated/emulatedstatefile.h"
#include "emulated/simbridge.h"
#include "files/standardoutput.h"

#include <QCoreApplication>
#include <memory>
#include <unistd.h>

namespace {

// The process's streams, the system clock, libusb and, on request, the
// emulated box.
class ProcessHost : public vortalex::CliHost
{
public:
    vortalex::Clock &clock() override { return m_clock; }

    vortalex::SimBridge &emulatedBridge() override
    {
        if (!m_sim) {
            m_box = std::make_unique<vortalex::EmulatedBox>(m_clock);
            m_sim = std::make_unique<vortalex::SimBridge>(m_clock, *m_box);
        }
        return *m_sim;
    }

    vortalex::UsbBridge &realBridge() override
    {
        // The back end's own permission hint names the window's program;
        // the session prints its own line instead.
        if (!m_usb)
            m_usb = std::make_unique<vortalex::LibusbBridge>(
                [this](const std::string &) { m_permissionDenied = true; });
        return *m_usb;
    }

    bool permissionDenied() const override { return m_permissionDenied; }

    QString emulatedStateFile(QString &problem) const override
    {
        return vortalex::defaultEmulatedStatePath(problem);
    }

    // Flushed at once: watch's lines reach a pipe as they come. A failure
    // is reported once, at the end.
    void writeOut(const QByteArray &bytes) override
    {
        vortalex::writeStandardOutput(bytes, true);
    }

    void writeErr(const QByteArray &bytes) override
    {
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    }

    bool errIsTerminal() const override { return isatty(STDERR_FILENO) == 1; }
    bool outFailed() const override { return vortalex::standardOutputFailed(); }
    bool outIsTerminal() const override { return vortalex::standardOutputIsTerminal(); }

private:
    vortalex::SystemClock m_clock;
    std::unique_ptr<vortalex::EmulatedBox> m_box;
    std::unique_ptr<vortalex::SimBridge> m_sim;
    std::unique_ptr<vortalex::LibusbBridge> m_usb;
    bool m_permissionDenied = false;
};

} // namespace

int main(int argc, char *argv[])
{
    vortalex::guardStandardStreams();
    QCoreApplication app(argc, argv);
    vortalex::setProgramInfo("vortalex-cli");
    int exitCode = 0;
    {
        ProcessHost host;
        exitCode = vortalex::runCli(QCoreApplication::arguments(), host);
    }
    return vortalex::finishStandardOutput("vortalex-cli", exitCode);
}
