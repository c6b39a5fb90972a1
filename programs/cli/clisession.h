// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clihost.h"

#include "cec/cecrequests.h"
#include "link/framelog.h"
#include "link/requests.h"
#include "boxedid/edidtransfer.h"
#include "program/exitstatus.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <memory>

namespace vortalex {

// Where the installed udev rule lives, named when the box cannot be opened.
constexpr const char *kUdevRulePath = "/usr/lib/udev/rules.d/60-vortalex.rules";

struct CliOptions
{
    bool emulated = false;
    unsigned latencyMs = 2;
    QString frameLog;
    bool json = false;
    bool quiet = false;
    QString output; // edid read -o
    bool fixChecksums = false; // edid write
    bool force = false; // edid write, infoframe hdr
    bool replace = false; // infoframe avi
    bool raw = false; // set: numbers as values; infoframe hdr|avi: frames as typed
    bool yes = false; // reset
    unsigned intervalMs = 3000; // watch
    bool dryRun = false; // settings load
    bool saveEdid = false; // settings save
};

// One run of one command: its options, the output streams and, once
// connect() succeeded, the box. What the request procedures and the link
// report goes to standard error as it comes, one message each (with --quiet
// only when the command fails).
class CliSession : private RequestObserver
{
public:
    CliSession(CliHost &host, const CliOptions &options);
    ~CliSession() override;

    const CliOptions &options() const { return m_options; }

    // Opens the frame log and the box. On failure prints why (unless
    // `quietly`) and returns false; exitCode() then says how to end.
    bool connect(bool quietly = false);
    int exitCode() const { return m_exitCode; }
    bool connected() const { return !m_searching; }
    // After a failed request: whether the box is still on the bus.
    bool boxPresent();

    BoxRequests &requests() { return *m_requests; }
    Clock &clock() { return m_host.clock(); }
    CecContext cecContext();
    // Progress of an EDID transfer on standard error: only on a terminal and
    // without --quiet.
    EdidProgress progress(const QString &label);

    // A line on standard output.
    void printLine(const QString &line);
    // Bytes on standard output as they are (edid read -o -).
    void writeOut(const QByteArray &bytes);
    // Raw bytes are refused there.
    bool outIsTerminal() const { return m_host.outIsTerminal(); }
    // True once standard output failed: nothing more can reach the user.
    bool outFailed() const { return m_host.outFailed(); }
    // The command's JSON object on standard output.
    void printJson(const QJsonObject &object);
    // "vortalex-cli: <message>" on standard error, and with --json
    // {"error": message, "exit": status} on standard output when nothing
    // else was printed there (one JSON document a command); returns the
    // exit status.
    int fail(int exitCode, const QString &message);
    // "vortalex-cli: warning: <message>" on standard error only, even with
    // --quiet: something the user relies on (a kept state) did not happen,
    // though the command did what it was asked.
    void warn(const QString &message);
    // The box failed: the messages of what the box reported are on standard
    // error (or a line saying the box did not answer, or that it was
    // unplugged); returns 1.
    int boxFailed();
    // The end of a command that only acts: {"ok":true} with --json when
    // `done`, otherwise boxFailed().
    int finish(bool done);

private:
    void requestEvent(RequestEvent event) override;
    void linkNotice(LinkNotice notice);
    // One message of what the box reported.
    void report(const QString &message);
    void writeErrLine(const QString &line);
    void printJsonError(const QString &message, int exitCode);

    CliHost &m_host;
    CliOptions m_options;
    FrameLogFile m_frameLog;
    std::unique_ptr<UsbBridge> m_logBridge;
    UsbBridge *m_bridge = nullptr;
    std::unique_ptr<UsbLink> m_link;
    std::unique_ptr<BoxRequests> m_requests;
    QStringList m_heldMessages; // --quiet: shown only when the command fails
    QString m_lastMessage; // the last message, for the JSON error
    bool m_searching = true;
    bool m_gone = false;
    bool m_messageShown = false;
    bool m_progressOpen = false;
    bool m_printed = false; // something is on standard output
    int m_exitCode = CliExit::Done;
};

} // namespace vortalex
