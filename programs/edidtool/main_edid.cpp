// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid: decodes EDID tables (raw files or hex dumps) into a readable
// report or JSON.
#include "decoderun.h"
#include "edideditcli.h"
#include "files/standardoutput.h"
#include "program/programinfo.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <unistd.h>

using namespace vortalex;

namespace {

int run(int argc, char *argv[])
{
    if (isEdidEditorCommand(argc, argv))
        return runEdidEditorCommand(argc, argv);
    QCoreApplication app(argc, argv);
    setProgramInfo("vortalex-edid");

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Decodes EDID tables: raw files of 128 x n bytes, hex text (blanks, line ends, colons "
        "or commas between bytes, or one unbroken string), edid-decode's hex dump, the EDID: "
        "block of xrandr --verbose, or the hex text the VORTALEX Utility saves.\nExit status: "
        "0 no problems, 1 a table has problems (listed on standard error), 2 an input cannot "
        "be read or the arguments are wrong; with several FILEs the worst of all.\n"
        "Changing tables: vortalex-edid edit IN -o OUT [EDIT...], vortalex-edid merge "
        "--video A --audio B -o OUT, vortalex-edid diff A B [--json]; vortalex-edid edit "
        "--help lists the edits."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("Print one JSON object per table, one per line, with its \"file\"."));
    parser.addOption(jsonOption);
    parser.addPositionalArgument(QStringLiteral("FILE"),
        QStringLiteral("Tables to decode, - for standard input (also read when no FILE is "
                       "given and it is not a terminal)."),
        QStringLiteral("[FILE...]"));
    if (!parser.parse(app.arguments())) {
        printText(
            stderr, QStringLiteral("vortalex-edid: %1 (see --help)\n").arg(parser.errorText()));
        return EdidUnreadable;
    }
    if (parser.isSet(helpOption))
        parser.showHelp(EdidClean);
    if (parser.isSet(versionOption))
        parser.showVersion();

    QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        if (isatty(STDIN_FILENO)) {
            printText(stderr,
                QStringLiteral("vortalex-edid: give a FILE, or a table on standard input "
                               "(see --help)\n"));
            return EdidUnreadable;
        }
        files.append(QStringLiteral("-"));
    }
    return runEdidDecode(files, parser.isSet(jsonOption));
}

} // namespace

int main(int argc, char *argv[])
{
    guardStandardStreams();
    const int exitCode = run(argc, argv);
    return finishStandardOutput("vortalex-edid", exitCode);
}
