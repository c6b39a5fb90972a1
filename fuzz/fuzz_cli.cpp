// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli on any arguments (one per line of the input) against the
// emulated box on a virtual clock: no crash, no hang, and one of the four
// exit statuses. Nothing may touch the machine's files: arguments naming a
// path ('/'), standard input ("-") and the options that write files (-o,
// --output, --frame-log, also in short-option clusters and with "=") are
// dropped; those are all the options with an 'o' but --json, --force and
// --version. "save" (settings save FILE) and --emulated-state FILE write
// files too and are dropped; the box goes after 400 exchanges, which ends
// watch.
#include "cli/clirun.h"
#include "support/memoryclihost.h"

#include <cstdlib>

using namespace vortalex;

namespace {

bool harmless(const QString &argument)
{
    if (argument.contains(QLatin1Char('/')) || argument == QLatin1String("-")
        || argument == QLatin1String("save") || argument.startsWith(QLatin1String("--emulated-s")))
        return false;
    if (!argument.startsWith(QLatin1Char('-')) || !argument.contains(QLatin1Char('o')))
        return true;
    return argument == QLatin1String("--json") || argument == QLatin1String("--force")
        || argument == QLatin1String("--version");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString input
        = QString::fromUtf8(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    QStringList arguments { QStringLiteral("vortalex-cli") };
    for (const QString &argument : input.split(QLatin1Char('\n'))) {
        if (harmless(argument))
            arguments.append(argument);
    }
    MemoryCliHost host;
    host.sim.unplugAfter(400);
    host.real.unplugAfter(400);
    // Progress lines too.
    host.terminal = true;
    const int exitCode = runCli(arguments, host);
    if (exitCode < 0 || exitCode > 3)
        std::abort();
    return 0;
}
