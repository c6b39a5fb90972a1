// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

namespace vortalex {

class CliSession;

// The commands of vortalex-cli. Each gets the words after its name, checks
// them before it touches the box, and returns the exit status.
int runStatusCommand(CliSession &session, const QStringList &args);
int runSettingsCommand(CliSession &session, const QStringList &args);
int runGetCommand(CliSession &session, const QStringList &args);
int runSetCommand(CliSession &session, const QStringList &args);
int runResetCommand(CliSession &session, const QStringList &args);
int runEdidCommand(CliSession &session, const QStringList &args);
int runCecCommand(CliSession &session, const QStringList &args);
int runInfoFrameCommand(CliSession &session, const QStringList &args);
// settings save|load FILE
int runSettingsFileCommand(CliSession &session, const QStringList &args);
int runWatchCommand(CliSession &session, const QStringList &args);
// infoframe decode|encode hdr|avi ...
int runInfoFrameCodecCommand(CliSession &session, const QStringList &args);

} // namespace vortalex
