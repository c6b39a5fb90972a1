// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QApplication;
class QCommandLineParser;

namespace vortalex {

class FrameLogFile;

// The desktop entry both window programs belong to (its file name without
// ".desktop"; also the AppStream id).
constexpr const char *kDesktopFileName = "org.vortalex.Utility";

// Names the program for Qt (application name, version, organisation, desktop
// entry). Call it right after creating the application object.
void setWindowProgramInfo(const char *programName);

// Options of both window programs besides their own: --help, --version,
// --verbose and --frame-log FILE.
void addWindowProgramOptions(QCommandLineParser &parser);

// Answers --help (-h, -?) and --version (-v) before the window program
// creates its QApplication, which aborts where there is no display: prints
// the answer and ends the process. Returns when neither was asked for.
// `addOwnOptions` adds the program's own options, so that the help lists them.
void answerHelpAndVersionWithoutGui(int argc, char **argv, const char *programName,
    const QString &description,
    const std::function<void(QCommandLineParser &)> &addOwnOptions = {});

// After parser.process(): switches the diagnostic categories on for
// --verbose, and opens the --frame-log file, if given, with its times counting
// from `startMs`. When the file cannot be opened, says why on standard error
// and returns false.
bool applyWindowProgramOptions(
    const QCommandLineParser &parser, FrameLogFile &frameLog, std::uint32_t startMs);

} // namespace vortalex
