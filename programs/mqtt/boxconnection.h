// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/clisession.h"
#include "mqttoptions.h"

#include "emulated/emulatedstatelock.h"

#include <memory>

namespace vortalex {

// The box as the service holds it: opened the way vortalex-cli opens it
// (emulated or libusb, with the frame log), held between polls, dropped when
// it goes and opened again when it returns.
class BoxConnection
{
public:
    enum class Outcome {
        Open,
        Absent, // no box on the bus
        InUse, // another program (the window) holds it
        CannotOpen, // found but refused: no permission, or another reason
        BadFrameLog, // the frame log cannot be written: the service cannot run
    };

    BoxConnection(CliHost &host, const MqttOptions &options);
    ~BoxConnection();

    Outcome open();
    bool isOpen() const { return m_session != nullptr; }
    // Only while open.
    BoxRequests &requests() { return m_session->requests(); }
    // After a failed request: true when the box has gone, which closes the
    // connection; false when it is still there (it did not answer).
    bool closeIfGone();
    void close();
    // The reason behind CannotOpen, for the log.
    bool permissionDenied() const { return m_host.permissionDenied(); }

    // --emulated: the state a former run kept, and keeping it for the next
    // one after `command` ("set NAME VALUE") changed it, as vortalex-cli
    // does. The service holds the emulated box from here to its end, as it
    // holds a real one: a vortalex-cli --emulated on the same state answers
    // "in use" meanwhile. Null when fine, else why not; `inUse` tells that
    // another program holds the emulated box.
    QString restoreEmulatedState(bool &inUse);
    QString keepEmulatedState(const QStringList &command);

private:
    QString emulatedStatePath() const;

    CliHost &m_host;
    CliOptions m_cliOptions;
    QString m_emulatedState;
    std::unique_ptr<CliSession> m_session;
    EmulatedStateLock m_stateLock;
};

} // namespace vortalex
