// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli on any arguments (one per line of the input) against the
// emulated box on a virtual clock: no crash, no hang, and one of the four
// exit statuses. Runs in a fresh folder, and arguments with a '/' are
// dropped, so that file names given by the input stay in that folder.
#include "cli/clirun.h"
#include "cli/memoryclihost.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>

using namespace vortalex;

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
    MemoryCliHost host;
    // Progress lines too.
    host.terminal = true;
    const int exitCode = runCli(arguments, host);
    if (exitCode < 0 || exitCode > 3)
        std::abort();
    return 0;
}
