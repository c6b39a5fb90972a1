// SPDX-License-Identifier: GPL-3.0-or-later
// infoframe decode and encode: the InfoFrame codec in real units. Neither
// needs the box.
#include "clicommands.h"
#include "clisession.h"

#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"
#include "infoframe/infoframehex.h"
#include "cec/infoframesendcheck.h"
#include "program/commandline.h"

namespace vortalex {

namespace {

void printText(CliSession &session, const QString &text)
{
    session.printLine(text.endsWith(QLatin1Char('\n')) ? text.chopped(1) : text);
}

int decode(CliSession &session, const QString &kind, const QString &hex)
{
    const bool hdr = kind == QLatin1String("hdr");
    const HdrDecode hdrDecode = hdr ? decodeHdrInfoFrameText(hex) : HdrDecode();
    const AviDecode aviDecode = hdr ? AviDecode() : decodeAviInfoFrameText(hex);
    if (!(hdr ? hdrDecode.ok : aviDecode.ok))
        return session.fail(CliExit::BadUsage, hdr ? hdrDecode.problem : aviDecode.problem);
    if (session.options().json)
        session.printJson(hdr ? hdrJson(hdrDecode) : aviJson(aviDecode));
    else
        printText(session, hdr ? hdrReport(hdrDecode) : aviReport(aviDecode));
    // Read, but with problems (checksum, version, length, reserved codes).
    const QString problem = hdr ? hdrDecode.problem : aviDecode.problem;
    return problem.isEmpty() ? CliExit::Done : session.fail(CliExit::Problems, problem);
}

int encode(CliSession &session, const QString &kind, const QStringList &keyValues)
{
    if (keyValues == QStringList { QStringLiteral("help") }) {
        printText(session, kind == QLatin1String("hdr") ? hdrKeyHelp() : aviKeyHelp());
        return CliExit::Done;
    }
    QByteArray bytes;
    if (kind == QLatin1String("hdr")) {
        const HdrKeyParse parse = parseHdrKeyValues(keyValues);
        if (!parse.ok)
            return session.fail(CliExit::BadUsage, parse.error);
        bytes = encodeHdrInfoFrame(parse.values);
    } else {
        const AviKeyParse parse = parseAviKeyValues(keyValues);
        if (!parse.ok)
            return session.fail(CliExit::BadUsage, parse.error);
        bytes = encodeAviInfoFrame(parse.values);
        const QString tooLong = aviFieldProblem(bytes);
        if (!tooLong.isNull())
            return session.fail(CliExit::BadUsage, tooLong);
    }
    // The list that "infoframe hdr|avi HEX" and the window's fields take.
    if (session.options().json)
        session.printJson(
            { { QStringLiteral("ok"), true }, { QStringLiteral("hex"), infoFrameText(bytes) } });
    else
        session.printLine(infoFrameText(bytes));
    return CliExit::Done;
}

} // namespace

int runInfoFrameCodecCommand(CliSession &session, const QStringList &args)
{
    const QString kind = args.value(1);
    const QStringList kinds { QStringLiteral("hdr"), QStringLiteral("avi") };
    if (!kinds.contains(kind))
        return session.fail(CliExit::BadUsage,
            kind.isEmpty() ? QStringLiteral("infoframe %1 takes hdr or avi").arg(args[0])
                           : unknownWord(QStringLiteral("InfoFrame"), kind, kinds));
    if (args[0] == QLatin1String("decode")) {
        if (args.size() > 3)
            return session.fail(CliExit::BadUsage,
                unexpectedWord(
                    QStringList { QStringLiteral("infoframe") } + args.mid(0, 3), args[3]));
        if (args.size() != 3)
            return session.fail(
                CliExit::BadUsage, QStringLiteral("infoframe decode takes hdr|avi HEX"));
        return decode(session, kind, args[2]);
    }
    return encode(session, kind, args.mid(2));
}

} // namespace vortalex
