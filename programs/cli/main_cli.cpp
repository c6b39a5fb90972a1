// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli: every action of the window from a shell, for scripts and
// home automation. Qt Core only: it needs no display.
#include "clirun.h"
#include "processhost.h"

#include "program/programinfo.h"
#include "files/standardoutput.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    vortalex::guardStandardStreams();
    QCoreApplication app(argc, argv);
    vortalex::setProgramInfo("vortalex-cli");
    int exitCode = 0;
    {
        vortalex::ProcessHost host;
        exitCode = vortalex::runCli(QCoreApplication::arguments(), host);
    }
    return vortalex::finishStandardOutput("vortalex-cli", exitCode);
}
