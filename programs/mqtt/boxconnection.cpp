// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxconnection.h"

#include "cli/clirun.h"
#include "emulated/simbridge.h"
#include "text/echoedtext.h"

namespace vortalex {

BoxConnection::BoxConnection(CliHost &host, const MqttOptions &options)
    : m_host(host)
    , m_emulatedState(options.emulatedState)
{
    m_cliOptions.emulated = options.emulated;
    m_cliOptions.frameLog = options.frameLog;
}

BoxConnection::~BoxConnection()
{
    close();
}

BoxConnection::Outcome BoxConnection::open()
{
    close();
    auto session = std::make_unique<CliSession>(m_host, m_cliOptions);
    if (session->connect(true)) {
        m_session = std::move(session);
        return Outcome::Open;
    }
    // Quietly: only the frame log's failure has been reported and set an exit status.
    if (session->exitCode() != CliExit::Done)
        return Outcome::BadFrameLog;
    const int status = session->requests().link().lastOpenStatus();
    // The link never opened a device: none reported the box's identification.
    if (status == BridgeStatus::Success)
        return Outcome::Absent;
    if (status == BridgeStatus::DeviceInUse)
        return Outcome::InUse;
    return Outcome::CannotOpen;
}

bool BoxConnection::closeIfGone()
{
    if (!m_session || m_session->boxPresent())
        return false;
    m_session.reset();
    return true;
}

void BoxConnection::close()
{
    if (!m_session)
        return;
    // A box that went has no handle left to close.
    m_session->boxPresent();
    m_session.reset();
}

QString BoxConnection::emulatedStatePath() const
{
    if (!m_cliOptions.emulated)
        return QString();
    if (!m_emulatedState.isEmpty())
        return m_emulatedState;
    QString problem;
    const QString path = m_host.emulatedStateFile(problem);
    return problem.isNull() ? path : QString();
}

QString BoxConnection::restoreEmulatedState(bool &inUse)
{
    inUse = false;
    const QString path = emulatedStatePath();
    if (path.isEmpty())
        return QString();
    // As long as vortalex-cli waits for a command that holds the box.
    constexpr std::uint32_t kWaitMs = 2000;
    switch (m_stateLock.lock(path, m_host.clock(), kWaitMs)) {
    case EmulatedStateLock::Outcome::Locked:
        break;
    case EmulatedStateLock::Outcome::InUse:
        inUse = true;
        return QStringLiteral("the emulated box is in use by another program (another "
                              "vortalex-mqtt or vortalex-cli --emulated on %1)")
            .arg(echoedText(path));
    case EmulatedStateLock::Outcome::Failed:
        return QStringLiteral("cannot lock the emulated box's state %1: %2")
            .arg(echoedText(EmulatedStateLock::lockFilePath(path)), m_stateLock.error());
    }
    return restoreEmulatedBox(m_host, path);
}

QString BoxConnection::keepEmulatedState(const QStringList &command)
{
    const QString path = emulatedStatePath();
    return path.isEmpty() ? QString() : keepEmulatedBox(m_host, path, command, CliExit::Done);
}

} // namespace vortalex
