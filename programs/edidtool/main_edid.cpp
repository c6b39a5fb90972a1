// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid: decodes EDID tables (raw files or hex dumps) into a readable
// report or JSON, and edits, merges and compares them.
#include "edidtoolrun.h"

#include "program/programinfo.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    vortalex::setProgramInfo("vortalex-edid");
    return vortalex::runEdidTool(QCoreApplication::arguments());
}
