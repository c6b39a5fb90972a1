// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-cli: every action of the window from a shell, for scripts and
// home automation. Qt Core only: it needs no display.
#include "clirun.h"
#include "processhost.h"

#include "program/programinfo.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    vortalex::setProgramInfo("vortalex-cli");
    vortalex::ProcessHost host;
    return vortalex::runCli(QCoreApplication::arguments(), host);
}
