// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid: decodes EDID tables (raw files or hex dumps) into a readable
// report or JSON, and edits, merges and compares them.
#include "edidtoolrun.h"
#include "files/standardoutput.h"

#include "program/programinfo.h"

#include <QCoreApplication>

namespace {

int run(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    vortalex::setProgramInfo("vortalex-edid");
    return vortalex::runEdidTool(QCoreApplication::arguments());
}

} // namespace

int main(int argc, char *argv[])
{
    vortalex::guardStandardStreams();
    const int exitCode = run(argc, argv);
    return vortalex::finishStandardOutput("vortalex-edid", exitCode);
}
