// SPDX-License-Identifier: GPL-3.0-or-later
// edid read, write and check: the EDID tab's buttons and its Load and Save.
#include "clicommands.h"
#include "clisession.h"

#include "link/framelog.h"
#include "boxedid/edidfileio.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "boxedid/edidtransfer.h"
#include "boxedid/edidwritecheck.h"
#include "files/outputfile.h"
#include "files/standardoutput.h"
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

// Reads the FILE of "edid write|check FILE" as vortalex-edid reads it (a raw
// table or a hex dump, strictly). Prints why and returns false when it cannot.
bool loadEdidBytes(CliSession &session, const QStringList &args, QByteArray &bytes, int &exitCode)
{
    if (args.size() != 2) {
        exitCode = session.fail(CliExit::BadUsage, kEdidUsage);
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
        return session.fail(CliExit::BadUsage, kEdidUsage);
    const QString sourceName = args.size() == 2 ? args[1] : QStringLiteral("box");
    EdidSource source = EdidSource::Box;
    if (sourceName == QLatin1String("top"))
        source = EdidSource::TvA;
    else if (sourceName == QLatin1String("bot"))
        source = EdidSource::TvB;
    else if (sourceName != QLatin1String("box"))
        return session.fail(CliExit::BadUsage,
            QStringLiteral("unknown EDID source \"%1\"; give box, top or bot")
                .arg(echoedText(sourceName)));
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
                { QStringLiteral("edid"), hexBytes(tableBytes(table)) } });
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
    if (!json)
        session.printLine(header
                ? QStringLiteral("header: correct")
                : QStringLiteral("header: wrong, should be 00 FF FF FF FF FF FF 00"));
    QJsonArray blocks;
    bool allCorrect = header;
    for (int block = 0; block * kEdidBlockSize < bytes.size(); ++block) {
        const QByteArray blockBytes = bytes.mid(block * kEdidBlockSize, kEdidBlockSize);
        if (blockBytes.size() < kEdidBlockSize) {
            allCorrect = false;
            blocks.append(QJsonObject { { QStringLiteral("bytes"), int(blockBytes.size()) },
                { QStringLiteral("correct"), false } });
            if (!json)
                session.printLine(QStringLiteral("block %1: only %2 of 128 bytes")
                                      .arg(block)
                                      .arg(blockBytes.size()));
            break;
        }
        const auto *data = reinterpret_cast<const std::uint8_t *>(blockBytes.constData());
        const int stored = data[kEdidBlockSize - 1];
        const int expected = edidChecksum(data);
        const bool correct = stored == expected;
        allCorrect = allCorrect && correct;
        blocks.append(QJsonObject { { QStringLiteral("checksum"), stored },
            { QStringLiteral("expected"), expected }, { QStringLiteral("correct"), correct } });
        if (!json)
            session.printLine(correct ? QStringLiteral("block %1: checksum %2 correct")
                                            .arg(block)
                                            .arg(QString::asprintf("0x%02X", stored))
                                      : QStringLiteral("block %1: checksum %2 wrong, should be %3")
                                            .arg(block)
                                            .arg(QString::asprintf("0x%02X", stored),
                                                QString::asprintf("0x%02X", expected)));
    }
    if (json)
        session.printJson({ { QStringLiteral("ok"), allCorrect },
            { QStringLiteral("header"), header }, { QStringLiteral("blocks"), blocks } });
    return allCorrect ? CliExit::Done : CliExit::Problems;
}

// The EDID inspector's decoder: the report, or its JSON object. Any size of
// table (128 x n bytes), read as vortalex-edid reads it.
int decodeCommand(CliSession &session, const QStringList &args)
{
    if (args.size() != 2)
        return session.fail(CliExit::BadUsage, kEdidUsage);
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
    return session.fail(CliExit::BadUsage, kEdidUsage);
}

} // namespace vortalex
