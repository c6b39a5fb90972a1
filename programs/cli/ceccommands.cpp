// SPDX-License-Identifier: GPL-3.0-or-later
// cec send, cec store, infoframe hdr and infoframe avi: the CEC tab's and the
// HDR / IF tab's buttons.
#include "clicommands.h"
#include "clisession.h"
#include "hexargument.h"

#include "cec/cecmessage.h"
#include "cec/cecrequests.h"
#include "infoframe/infoframehex.h"
#include "cec/infoframesendcheck.h"
#include "cec/infoframesender.h"
#include "program/commandline.h"
#include "settings/settingstable.h"

namespace vortalex {

namespace {

int badHexList(CliSession &session, const QString &text, int maxChars, int maxBytes = -1)
{
    const QString problem = hexListProblem(text, maxChars, maxBytes);
    return problem.isNull() ? CliExit::Done : session.fail(CliExit::BadUsage, problem);
}

// A good hex list that is no CEC message; CliExit::Done when it is one.
int badCecMessage(CliSession &session, const QString &text)
{
    const QString problem = cecMessageLengthProblem(int(readInfoFrameText(text).bytes.size()));
    return problem.isNull() ? CliExit::Done : session.fail(CliExit::BadUsage, problem);
}

// A frame the InfoFrame decoders refuse is sent only with --raw.
int badInfoFrame(CliSession &session, bool hdr, const QString &text)
{
    if (session.options().raw)
        return CliExit::Done;
    const QString problem = hdr ? hdrSendProblem(text) : aviSendProblem(text);
    if (problem.isEmpty())
        return CliExit::Done;
    return session.fail(CliExit::BadUsage,
        QStringLiteral("not a good %1 InfoFrame: %2; nothing was sent (--raw sends it as it is)")
            .arg(hdr ? QStringLiteral("HDR") : QStringLiteral("AVI"), problem));
}

} // namespace

int runCecCommand(CliSession &session, const QStringList &args)
{
    int exitCode = CliExit::Done;
    const QString usage = QStringLiteral("cec takes \"send HEX\" or \"store sp|lp HEX\"");
    const QString sub = args.value(0);
    if (sub != QLatin1String("send") && sub != QLatin1String("store"))
        return session.fail(CliExit::BadUsage,
            sub.isEmpty() ? usage
                          : unknownWord(QStringLiteral("cec command"), sub,
                              { QStringLiteral("send"), QStringLiteral("store") }));
    const int words = sub == QLatin1String("send") ? 2 : 3;
    if (args.size() > words)
        return session.fail(CliExit::BadUsage,
            unexpectedWord(
                QStringList { QStringLiteral("cec") } + args.mid(0, words), args[words]));
    if (args.size() == 2 && sub == QLatin1String("send")) {
        if ((exitCode = badHexList(session, args[1], kMaxCecSendChars, kMaxCecMessageBytes))
                != CliExit::Done
            || (exitCode = badCecMessage(session, args[1])) != CliExit::Done)
            return exitCode;
        if (!session.connect())
            return session.exitCode();
        return session.finish(sendCecMessage(session.cecContext(), args[1]));
    }
    if (args.size() == 3) {
        Command code = Command::CecStoreSp;
        if (args[1] == QLatin1String("lp"))
            code = Command::CecStoreLp;
        else if (args[1] != QLatin1String("sp"))
            return session.fail(CliExit::BadUsage,
                unknownWord(QStringLiteral("CEC slot"), args[1],
                    { QStringLiteral("sp"), QStringLiteral("lp") }));
        if ((exitCode = badHexList(session, args[2], kMaxCecStoreChars, kMaxCecMessageBytes))
                != CliExit::Done
            || (exitCode = badCecMessage(session, args[2])) != CliExit::Done)
            return exitCode;
        if (!session.connect())
            return session.exitCode();
        return session.finish(storeCecCommand(session.cecContext(), code, args[2]));
    }
    return session.fail(CliExit::BadUsage, usage);
}

int runInfoFrameCommand(CliSession &session, const QStringList &args)
{
    if (args.value(0) == QLatin1String("decode") || args.value(0) == QLatin1String("encode"))
        return runInfoFrameCodecCommand(session, args);
    int exitCode = CliExit::Done;
    const QStringList subs { QStringLiteral("hdr"), QStringLiteral("avi"), QStringLiteral("decode"),
        QStringLiteral("encode") };
    if (!args.isEmpty() && !subs.contains(args[0]))
        return session.fail(
            CliExit::BadUsage, unknownWord(QStringLiteral("infoframe command"), args[0], subs));
    if (args.size() > 2)
        return session.fail(CliExit::BadUsage,
            unexpectedWord(QStringList { QStringLiteral("infoframe") } + args.mid(0, 2), args[2]));
    const bool hdr = args.size() == 2 && args[0] == QLatin1String("hdr");
    const bool avi = args.size() == 2 && args[0] == QLatin1String("avi");
    if (!hdr && !avi)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("infoframe takes \"hdr HEX\", \"avi HEX\", \"decode hdr|avi HEX\" or "
                           "\"encode hdr|avi KEY=VALUE...\""));
    if ((exitCode = badHexList(session, args[1], hdr ? kMaxHdrChars : kMaxAviChars))
            != CliExit::Done
        || (exitCode = badInfoFrame(session, hdr, args[1])) != CliExit::Done)
        return exitCode;
    if (!session.connect())
        return session.exitCode();

    const CecContext context = session.cecContext();
    BoxRequests &requests = session.requests();
    if (hdr) {
        // "Send IF"; with --force as ticking FORCE HDR ACTIVE, which sends the
        // InfoFrame and then turns the setting on whatever the send did.
        const bool sent = sendHdrInfoFrame(context, args[1]);
        if (!session.options().force)
            return session.finish(sent);
        const bool forced = requests.writeSetting(SettingId::ForceHdrActive, 1);
        return session.finish(sent && forced);
    }
    // "Send AVI": after a good send the box's REPLACE AVI follows the check
    // box, here --replace.
    if (!sendAviInfoFrame(context, args[1]))
        return session.boxFailed();
    return session.finish(
        requests.writeSetting(SettingId::ReplaceAvi, session.options().replace ? 1 : 0));
}

} // namespace vortalex
