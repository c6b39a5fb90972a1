// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "link/framelog.h"
#include "link/logging.h"
#include "program/programinfo.h"

#include <QApplication>
#include <QCommandLineParser>
#include <cstdio>

namespace vortalex {

namespace {

const QString kVerbose = QStringLiteral("verbose");
const QString kFrameLog = QStringLiteral("frame-log");

} // namespace

void setWindowProgramInfo(const char *programName)
{
    setProgramInfo(programName);
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopFileName));
}

void addWindowProgramOptions(QCommandLineParser &parser)
{
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({ kVerbose,
        QStringLiteral("Print diagnostics of the USB link on standard error (the "
                       "vortalex.* logging categories; QT_LOGGING_RULES also selects them).") });
    parser.addOption({ kFrameLog,
        QStringLiteral("Append one line per frame to <file>: \"<ms since start> <dir> <bytes>\", "
                       "dir \">\" to the box, \"<\" from the box, e.g. \"1532 > 10 04 E0 1B 01\"."),
        QStringLiteral("file") });
}

void answerHelpAndVersionWithoutGui(int argc, char **argv, const char *programName,
    const QString &description, const std::function<void(QCommandLineParser &)> &addOwnOptions)
{
    bool asked = false;
    for (int i = 1; i < argc && !asked; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--")
            break;
        asked = arg == "-h" || arg == "--help" || arg == "-?" || arg == "-v" || arg == "--version";
    }
    if (!asked)
        return;
    QCoreApplication app(argc, argv);
    setWindowProgramInfo(programName);
    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    addWindowProgramOptions(parser);
    if (addOwnOptions)
        addOwnOptions(parser);
    // Qt's own options (-platform ...) are unknown here; they change neither answer.
    parser.parse(app.arguments());
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    parser.showHelp(0);
}

bool applyWindowProgramOptions(
    const QCommandLineParser &parser, FrameLogFile &frameLog, std::uint32_t startMs)
{
    if (parser.isSet(kVerbose))
        enableVerboseLogging();
    const QString path = parser.value(kFrameLog);
    if (path.isEmpty())
        return true;
    QString error;
    if (!frameLog.open(path, error)) {
        std::fprintf(stderr, "%s: cannot open frame log %s: %s\n",
            qPrintable(QCoreApplication::applicationName()), qPrintable(path), qPrintable(error));
        return false;
    }
    frameLog.setStart(startMs);
    return true;
}

} // namespace vortalex
