// SPDX-License-Identifier: GPL-3.0-or-later
#include "clisession.h"

#include "link/framelogbridge.h"
#include "link/usblink.h"
#include "emulated/simbridge.h"
#include "text/echoedtext.h"

#include <QJsonDocument>

namespace vortalex {

namespace {

// The message of each request event; null for a failed page read, which the
// command itself reports (boxFailed()) when it needed the page.
QString requestEventMessage(RequestEvent event)
{
    switch (event) {
    case RequestEvent::SettingWriteFailed:
    case RequestEvent::SettingsBlockWriteFailed:
    case RequestEvent::EdidFetchRefused:
        return QStringLiteral("Error Writing values");
    case RequestEvent::SettingsReadFailed:
        return QStringLiteral("Error Reading values");
    case RequestEvent::PageReadFailed:
        return QString();
    case RequestEvent::EdidReadFromBox:
        return QStringLiteral("EDID values read.");
    case RequestEvent::EdidReadFromTv:
        return QStringLiteral("TV EDID values read.");
    case RequestEvent::EdidChunkRefused:
        return QStringLiteral("Error Writing EDID values.");
    case RequestEvent::EdidApplyFailed:
        return QStringLiteral("Error Populating EDID values.");
    case RequestEvent::EdidWritten:
        return QStringLiteral("EDID values written...");
    case RequestEvent::CecLengthWrong:
    case RequestEvent::HdrLengthWrong:
        return QStringLiteral("Error: min 2, max 31 data bytes");
    case RequestEvent::AviLengthWrong:
        return QStringLiteral("Error: min 2, max 13 data bytes");
    case RequestEvent::CecSent:
    case RequestEvent::CecStored:
        return QStringLiteral("CEC values written...");
    case RequestEvent::CecRefused:
        return QStringLiteral("Error Writing CEC command.");
    case RequestEvent::CecActivateFailed:
        return QStringLiteral("Error Populating CEC values.");
    case RequestEvent::HdrSent:
        return QStringLiteral("Infoframe values written...");
    case RequestEvent::HdrRefused:
        return QStringLiteral("Error Writing Infoframe values.");
    case RequestEvent::HdrActivateFailed:
        return QStringLiteral("Error Populating IF values.");
    case RequestEvent::AviSent:
        return QStringLiteral("AVI values written...");
    case RequestEvent::AviRefused:
        return QStringLiteral("Error Writing AVI command.");
    case RequestEvent::AviActivateFailed:
        return QStringLiteral("Error Activating AVI values.");
    case RequestEvent::CecStoreLengthWrong:
        return QStringLiteral("CEC values not correct");
    case RequestEvent::CecStoreRefused:
        return QStringLiteral("Error Writing CEC values.");
    }
    return QString();
}

QString linkNoticeMessage(LinkNotice notice)
{
    switch (notice) {
    case LinkNotice::BoxNotFound:
        return QStringLiteral("VORTALEX USB not connected!");
    case LinkNotice::OpenFailed:
        return QStringLiteral("Usb device open error!");
    case LinkNotice::CloseFailed:
        return QStringLiteral("Unable to close device handle!");
    case LinkNotice::QueueCheckFailed:
        return QStringLiteral("Error Checking RX Queue");
    }
    return QString();
}

} // namespace

CliSession::CliSession(CliHost &host, const CliOptions &options)
    : m_host(host)
    , m_options(options)
{
}

CliSession::~CliSession()
{
    if (m_link && !m_gone)
        m_link->closeDevice();
    // The emulated box outlives the session; its frames no longer go to this log.
    if (m_options.emulated && m_frameLog.isOpen())
        m_host.emulatedBridge().setFrameObserver({});
}

bool CliSession::connect(bool quietly)
{
    UsbBridge *bridge = nullptr;
    if (!m_options.frameLog.isEmpty()) {
        QString error;
        if (!m_frameLog.open(m_options.frameLog, error)) {
            m_exitCode = fail(CliExit::BadUsage,
                QStringLiteral("cannot open the frame log %1: %2")
                    .arg(echoedText(m_options.frameLog), error));
            return false;
        }
        m_frameLog.setStart(clock().tickCount());
        m_frameLog.setErrorSink([this](const QString &line) {
            writeErrLine(m_host.programName() + QStringLiteral(": ") + line);
        });
    }
    if (m_options.emulated) {
        SimBridge &sim = m_host.emulatedBridge();
        sim.setLatency(m_options.latencyMs);
        if (m_frameLog.isOpen())
            sim.setFrameObserver(m_frameLog.observer());
        bridge = &sim;
    } else if (m_frameLog.isOpen()) {
        m_logBridge
            = std::make_unique<FrameLogBridge>(m_host.realBridge(), clock(), m_frameLog.observer());
        bridge = m_logBridge.get();
    } else {
        bridge = &m_host.realBridge();
    }

    m_bridge = bridge;
    m_link = std::make_unique<UsbLink>(
        *bridge, clock(), [this](LinkNotice notice) { linkNotice(notice); });
    // No message box waits for a person here: a failed receive-queue check
    // ends the wait at once.
    m_link->setQueueErrorEndsWait(true);
    m_requests = std::make_unique<BoxRequests>(*m_link, static_cast<RequestObserver &>(*this));
    std::uint32_t index = 0;
    if (!m_link->findDevice(UsbLink::kBoxIdString, index)) {
        if (quietly)
            return false;
        m_exitCode = fail(CliExit::NoBox,
            QStringLiteral("no VORTALEX box found; is it plugged in and switched on?"));
        return false;
    }
    if (!m_link->openDevice(index)) {
        if (quietly)
            return false;
        if (m_link->lastOpenStatus() == BridgeStatus::DeviceInUse) {
            m_exitCode = fail(CliExit::NoBox,
                QStringLiteral("the box is in use by another program (a running "
                               "vortalex-utility?); close it and try again"));
            return false;
        }
        const QString why = m_host.permissionDenied()
            ? QStringLiteral("no permission to open the box; install the udev rule %1 "
                             "(packaging/60-vortalex.rules in the source tree) and replug the box")
            : QStringLiteral("cannot open the box: another program may be using it, or the "
                             "udev rule %1 is missing (packaging/60-vortalex.rules in the "
                             "source tree)");
        m_exitCode = fail(CliExit::NoBox, why.arg(QLatin1String(kUdevRulePath)));
        return false;
    }
    m_searching = false;
    return true;
}

CecContext CliSession::cecContext()
{
    return CecContext { *m_requests, clock() };
}

EdidProgress CliSession::progress(const QString &label)
{
    if (m_options.quiet || !m_host.errIsTerminal())
        return [](int, int) {};
    return [this, label](int value, int maximum) {
        if (value <= 0 && maximum <= 0) {
            if (m_progressOpen)
                m_host.writeErr(QStringLiteral("\r%1 100%\n").arg(label).toUtf8());
            m_progressOpen = false;
            return;
        }
        m_progressOpen = true;
        m_host.writeErr(
            QStringLiteral("\r%1 %2%").arg(label).arg(value * 100 / maximum, 3).toUtf8());
    };
}

void CliSession::printLine(const QString &line)
{
    writeOut(line.toUtf8() + '\n');
}

void CliSession::writeOut(const QByteArray &bytes)
{
    m_printed = true;
    m_host.writeOut(bytes);
}

void CliSession::printJson(const QJsonObject &object)
{
    writeOut(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
}

int CliSession::fail(int exitCode, const QString &message)
{
    // Whatever a message quotes of the user's words, it stays one line.
    writeErrLine(m_host.programName() + QStringLiteral(": ") + escapeControlCharacters(message));
    printJsonError(message, exitCode);
    return exitCode;
}

void CliSession::warn(const QString &message)
{
    writeErrLine(QStringLiteral("vortalex-cli: warning: ") + escapeControlCharacters(message));
}

int CliSession::boxFailed()
{
    QString last = QStringLiteral("the box did not answer");
    for (const QString &line : std::as_const(m_heldMessages))
        writeErrLine(line);
    if (!m_heldMessages.isEmpty())
        last = m_heldMessages.constLast();
    else if (!m_lastMessage.isEmpty())
        last = m_lastMessage;
    m_heldMessages.clear();
    if (m_link && m_link->deviceGone()) {
        last = QStringLiteral("the box was unplugged");
        writeErrLine(m_host.programName() + QStringLiteral(": ") + last);
    } else if (!m_messageShown)
        writeErrLine(m_host.programName() + QStringLiteral(": the box did not answer"));
    printJsonError(last, CliExit::BoxFailed);
    return CliExit::BoxFailed;
}

bool CliSession::boxPresent()
{
    std::uint32_t count = 0;
    // A box that went has no handle left to close.
    m_gone = !(m_bridge && m_bridge->deviceCount(count) == BridgeStatus::Success && count > 0);
    return !m_gone;
}

void CliSession::printJsonError(const QString &message, int exitCode)
{
    if (m_options.json && !m_printed)
        printJson({ { QStringLiteral("error"), message }, { QStringLiteral("exit"), exitCode } });
}

int CliSession::finish(bool done)
{
    if (!done)
        return boxFailed();
    if (m_options.json)
        printJson({ { QStringLiteral("ok"), true } });
    return CliExit::Done;
}

void CliSession::requestEvent(RequestEvent event)
{
    const QString message = requestEventMessage(event);
    if (!message.isNull())
        report(message);
}

void CliSession::linkNotice(LinkNotice notice)
{
    // The link's own warnings while looking for the box are replaced by the
    // one line connect() prints that says what to do.
    if (!m_searching)
        report(linkNoticeMessage(notice));
}

void CliSession::report(const QString &message)
{
    // Once the box is gone, every failure says so; boxFailed() says it once.
    if (m_link && m_link->deviceGone())
        return;
    m_lastMessage = message;
    if (m_options.quiet)
        m_heldMessages.append(message);
    else
        writeErrLine(message);
}

void CliSession::writeErrLine(const QString &line)
{
    if (m_progressOpen) {
        m_host.writeErr("\n");
        m_progressOpen = false;
    }
    m_messageShown = true;
    m_host.writeErr(line.toUtf8() + '\n');
}

} // namespace vortalex
