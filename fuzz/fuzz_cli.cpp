// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli on any arguments (one per line of the input) against the
// emulated box on a virtual clock: no crash, no hang, and one of the four
// exit statuses. Runs in a fresh folder, and arguments with a '/' are
// dropped, so that file names given by the input stay in that folder.
#include "cli/clihost.h"
#include "cli/clirun.h"
#include "device/clock.h"
#include "sim/emulatedbox.h"
#include "sim/simbridge.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

using namespace vortalex;

namespace {

class FuzzHost : public CliHost
{
public:
    Clock &clock() override { return m_clock; }
    SimBridge &emulatedBridge() override { return m_sim; }
    UsbBridge &realBridge() override { return m_real; }
    bool permissionDenied() const override { return false; }
    void writeOut(const QByteArray &) override { }
    void writeErr(const QByteArray &) override { }
    bool errIsTerminal() const override { return true; }

private:
    VirtualClock m_clock;
    EmulatedBox m_box { m_clock };
    SimBridge m_sim { m_clock, m_box };
    EmulatedBox m_realBox { m_clock };
    SimBridge m_real { m_clock, m_realBox };
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir folder;
    if (!folder.isValid() || !QDir::setCurrent(folder.path()))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input
        = QString::fromUtf8(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    QStringList arguments { QStringLiteral("vortalex-cli") };
    for (const QString &argument : input.split(QLatin1Char('\n'))) {
        if (!argument.contains(QLatin1Char('/')))
            arguments.append(argument);
    }
    FuzzHost host;
    const int exitCode = runCli(arguments, host);
    if (exitCode < 0 || exitCode > 3)
        std::abort();
    return 0;
}
