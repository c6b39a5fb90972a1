// SPDX-License-Identifier: GPL-3.0-or-later
// edid read, write and check: the EDID tab's buttons and its Load and Save.
#include "clicommands.h"
#include "clisession.h"

#include "boxedid/edidfileio.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "boxedid/edidtransfer.h"
#include "boxedid/edidwritecheck.h"
#include "files/outputfile.h"
#include "files/standardoutput.h"
#include "program/commandline.h"
#include "text/echoedtext.h"

#include <QJsonArray>

namespace vortalex {

namespace {

const QString kEdidUsage = QStringLiteral(
    "edid takes \"read [box|top|bot]\", \"write FILE\", \"check FILE\" or \"decode FILE\"");

QByteArray tableBytes(const EdidTable &table)
{
    return QByteArray(reinterpret_cast<const char *>(table.data()), kEdidSize);
}

// Null when `args` are "SUB FILE"; else what is wrong.
QString fileArgumentProblem(const QStringList &args)
{
    if (args.size() > 2)
        return unexpectedWord({ QStringLiteral("edid"), args[0], args[1] }, args[2]);
    if (args.size() < 2)
        return QStringLiteral("edid %1 takes a FILE (- for standard input)").arg(args[0]);
    return QString();
}

// Reads the FILE of "edid write|check FILE" as vortalex-edid reads it (a raw
// table or a hex dump, strictly). Prints why and returns false when it cannot.
bool loadEdidBytes(CliSession &session, const QStringList &args, QByteArray &bytes, int &exitCode)
{
    const QString usage = fileArgumentProblem(args);
    if (!usage.isNull()) {
        exitCode = session.fail(CliExit::BadUsage, usage);
        return false;
    }
    QString error;
    if (!readEdidInput(args[1], bytes, error)) {
        exitCode = session.fail(CliExit::BadUsage, error);
        return false;
    }
    return true;
}

// The first kEdidSize bytes of the file in `table` (the box holds no more;
// edidBoxFitProblem() refuses a larger table); `byteCount` is the number of
// bytes the file gave.
bool loadEdidFile(
    CliSession &session, const QStringList &args, EdidTable &table, int &byteCount, int &exitCode)
{
    QByteArray bytes;
    if (!loadEdidBytes(session, args, bytes, exitCode))
        return false;
    table = {};
    std::copy_n(bytes.cbegin(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    byteCount = int(bytes.size());
    return true;
}

int readCommand(CliSession &session, const QStringList &args)
{
    if (args.size() > 2)
        return session.fail(CliExit::BadUsage,
            unexpectedWord({ QStringLiteral("edid"), args[0], args[1] }, args[2]));
    const QString sourceName = args.size() == 2 ? args[1] : QStringLiteral("box");
    EdidSource source = EdidSource::Box;
    if (sourceName == QLatin1String("top"))
        source = EdidSource::TvA;
    else if (sourceName == QLatin1String("bot"))
        source = EdidSource::TvB;
    else if (sourceName != QLatin1String("box"))
        return session.fail(CliExit::BadUsage,
            unknownWord(QStringLiteral("EDID source"), sourceName,
                { QStringLiteral("box"), QStringLiteral("top"), QStringLiteral("bot") }));
    // The target is checked before the box is read; "-" is standard output.
    const QString output = session.options().output;
    const bool toStdout = output == QLatin1String("-");
    if (toStdout && session.options().json)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("-o - and --json both write to standard output; give one"));
    if (toStdout && session.outIsTerminal())
        return session.fail(CliExit::BadUsage,
            binaryToTerminalRefusal(QStringLiteral("redirect it (> FILE), or leave out -o - to "
                                                   "see the table as hex text")));
    const QString targetProblem
        = output.isEmpty() || toStdout ? QString() : outputTargetProblem(output);
    if (!targetProblem.isNull())
        return session.fail(CliExit::BadUsage,
            QStringLiteral("cannot write file %1: %2").arg(echoedText(output), targetProblem));
    if (!session.connect())
        return session.exitCode();

    EdidTable table {};
    if (!readEdid(session.requests(), session.clock(), source,
            session.progress(QStringLiteral("Reading EDID")), table))
        return session.boxFailed();

    if (toStdout) {
        session.writeOut(tableBytes(table));
        return CliExit::Done;
    }
    if (!output.isEmpty()) {
        const QString reason = saveEdidTable(output, table);
        if (!reason.isNull())
            return session.fail(CliExit::BadUsage,
                QStringLiteral("cannot write file %1: %2").arg(echoedText(output), reason));
    }
    if (session.options().json)
        session.printJson(
            { { QStringLiteral("ok"), true }, { QStringLiteral("source"), sourceName },
                { QStringLiteral("edid"), QString::fromLatin1(tableBytes(table).toHex()) } });
    else if (output.isEmpty())
        session.printLine(formatEdidText(table).chopped(1));
    return CliExit::Done;
}

int writeCommand(CliSession &session, const QStringList &args)
{
    int exitCode = CliExit::Done;
    int byteCount = 0;
    EdidTable table {};
    if (!loadEdidFile(session, args, table, byteCount, exitCode))
        return exitCode;
    const EdidWriteCheck check = checkEdidWrite(byteCount, table);
    if (check.verdict == EdidWriteVerdict::TooShort)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("The EDID table holds only %1 bytes; nothing was written.")
                .arg(check.byteCount));
    const QString fitProblem = edidBoxFitProblem(byteCount, table);
    if (!fitProblem.isNull())
        return session.fail(
            CliExit::BadUsage, fitProblem + QStringLiteral("; nothing was written"));
    if (check.verdict == EdidWriteVerdict::HeaderMissing && !session.options().force)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("The table does not start with the EDID header. Nothing was "
                           "written; --force writes it anyway."));
    if (!tablePassesChecksums(table)) {
        if (!session.options().fixChecksums)
            return session.fail(CliExit::BadUsage,
                QStringLiteral("The EDID Checksum is not correct. Nothing was written; "
                               "--fix-checksums repairs it before writing."));
        repairChecksums(table);
    }
    if (!session.connect())
        return session.exitCode();

    const EdidWriteOutcome outcome = writeEdid(session.requests(), session.clock(), table,
        session.progress(QStringLiteral("Writing EDID")));
    return session.finish(outcome.failedChunks == 0 && outcome.applied);
}

// The header and the checksum of every block the file holds; exit 1 when one
// is wrong.
int checkCommand(CliSession &session, const QStringList &args)
{
    int exitCode = CliExit::Done;
    QByteArray bytes;
    if (!loadEdidBytes(session, args, bytes, exitCode))
        return exitCode;
    EdidTable table {};
    std::copy_n(bytes.cbegin(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    const QString fitProblem = edidBoxFitProblem(int(bytes.size()), table);
    if (!fitProblem.isNull())
        return session.fail(CliExit::BadUsage, fitProblem);

    const bool json = session.options().json;
    const bool header = bytes.startsWith(QByteArray::fromHex("00ffffffffffff00"));
    QStringList problems;
    if (!header)
        problems.append(QStringLiteral("header: wrong, should be 00 FF FF FF FF FF FF 00"));
    if (!json)
        session.printLine(header ? QStringLiteral("header: correct") : problems.constLast());
    QJsonArray blocks;
    for (int block = 0; block * kEdidBlockSize < bytes.size(); ++block) {
        const QByteArray blockBytes = bytes.mid(block * kEdidBlockSize, kEdidBlockSize);
        if (blockBytes.size() < kEdidBlockSize) {
            blocks.append(QJsonObject { { QStringLiteral("bytes"), int(blockBytes.size()) },
                { QStringLiteral("correct"), false } });
            problems.append(
                QStringLiteral("block %1: only %2 of 128 bytes").arg(block).arg(blockBytes.size()));
            if (!json)
                session.printLine(problems.constLast());
            break;
        }
        const auto *data = reinterpret_cast<const std::uint8_t *>(blockBytes.constData());
        const int stored = data[kEdidBlockSize - 1];
        const int expected = edidChecksum(data);
        const bool correct = stored == expected;
        blocks.append(QJsonObject { { QStringLiteral("checksum"), stored },
            { QStringLiteral("expected"), expected }, { QStringLiteral("correct"), correct } });
        const QString line = correct
            ? QStringLiteral("block %1: checksum %2 correct")
                  .arg(block)
                  .arg(QString::asprintf("0x%02X", stored))
            : QStringLiteral("block %1: checksum %2 wrong, should be %3")
                  .arg(block)
                  .arg(QString::asprintf("0x%02X", stored), QString::asprintf("0x%02X", expected));
        if (!correct)
            problems.append(line);
        if (!json)
            session.printLine(line);
    }
    const bool allCorrect = problems.isEmpty();
    if (json)
        session.printJson({ { QStringLiteral("ok"), allCorrect },
            { QStringLiteral("header"), header }, { QStringLiteral("blocks"), blocks },
            { QStringLiteral("problems"), QJsonArray::fromStringList(problems) } });
    // What is wrong, on standard error too, as edid decode has it.
    for (const QString &problem : std::as_const(problems))
        session.fail(CliExit::Problems, problem);
    return allCorrect ? CliExit::Done : CliExit::Problems;
}

// The EDID inspector's decoder: the report, or its JSON object. Any size of
// table (128 x n bytes), read as vortalex-edid reads it.
int decodeCommand(CliSession &session, const QStringList &args)
{
    const QString usage = fileArgumentProblem(args);
    if (!usage.isNull())
        return session.fail(CliExit::BadUsage, usage);
    QByteArray bytes;
    QString error;
    if (!readEdidInput(args[1], bytes, error))
        return session.fail(CliExit::BadUsage, error);
    const EdidInfo info = decodeEdid(bytes);
    if (session.options().json)
        session.printJson(edidToJson(info));
    else
        session.printLine(edidReportText(info).chopped(1));
    for (const QString &problem : info.problems)
        session.fail(CliExit::Problems, problem);
    return info.problems.isEmpty() ? CliExit::Done : CliExit::Problems;
}

} // namespace

int runEdidCommand(CliSession &session, const QStringList &args)
{
    const QString sub = args.value(0);
    if (sub == QLatin1String("read"))
        return readCommand(session, args);
    if (sub == QLatin1String("write"))
        return writeCommand(session, args);
    if (sub == QLatin1String("check"))
        return checkCommand(session, args);
    if (sub == QLatin1String("decode"))
        return decodeCommand(session, args);
    if (sub.isEmpty())
        return session.fail(CliExit::BadUsage, kEdidUsage);
    return session.fail(CliExit::BadUsage,
        unknownWord(QStringLiteral("edid command"), sub,
            { QStringLiteral("read"), QStringLiteral("write"), QStringLiteral("check"),
                QStringLiteral("decode") }));
}

} // namespace vortalex
