// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid edit, merge and diff: the table edits of edid/edidedit.h
// from a shell. Edits run in the order given; the first refusal stops
// everything and nothing is written.
#include "edideditcli.h"

#include "edid/ediddiff.h"
#include "edid/edidedit.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidchecksum.h"
#include "edid/edidhextext.h"
#include "program/exitstatus.h"

#include "files/inputfile.h"
#include "files/outputfile.h"
#include "files/standardoutput.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <cstdio>
#include <functional>

namespace vortalex {

namespace {

using Edit = std::function<EdidEditResult(const QByteArray &table, const QString &value)>;

void print(FILE *stream, const QString &text)
{
    if (stream == stdout)
        writeStandardOutput(text.toUtf8());
    else
        std::fputs(text.toUtf8().constData(), stream);
}

int fail(const QString &message)
{
    print(stderr, QStringLiteral("vortalex-edid: %1\n").arg(message));
    return CliExit::BadUsage;
}

bool parseNumber(const QString &text, int &value)
{
    bool ok = false;
    value = text.toInt(&ok);
    return ok && !text.startsWith(u'+') && !text.startsWith(u' ');
}

// "16,4,31"; false at the first word that is not a number.
bool parseNumbers(const QString &text, QList<int> &values)
{
    for (const QString &word : text.split(u',')) {
        int value = 0;
        if (!parseNumber(word, value))
            return false;
        values << value;
    }
    return true;
}

EdidEditResult badValue(const QString &value, const char *wanted)
{
    return { QByteArray(), QStringLiteral("\"%1\" is not %2").arg(value, QLatin1String(wanted)) };
}

Edit numbersEdit(EdidEditResult (*edit)(const QByteArray &, const QList<int> &))
{
    return [edit](const QByteArray &table, const QString &value) {
        QList<int> numbers;
        return parseNumbers(value, numbers) ? edit(table, numbers)
                                            : badValue(value, "a list of numbers");
    };
}

Edit numberEdit(EdidEditResult (*edit)(const QByteArray &, int))
{
    return [edit](const QByteArray &table, const QString &value) {
        int number = 0;
        return parseNumber(value, number) ? edit(table, number) : badValue(value, "a number");
    };
}

EdidEditResult removeBlockNamed(const QByteArray &table, const QString &name)
{
    static const struct
    {
        const char *name;
        int tag;
        int extendedTag;
    } blocks[] = { { "audio", AudioBlockTag, -1 }, { "speaker", SpeakerBlockTag, -1 },
        { "hdr", ExtendedBlockTag, HdrStaticExtTag },
        { "colorimetry", ExtendedBlockTag, ColorimetryExtTag } };
    for (const auto &b : blocks) {
        if (name == QLatin1String(b.name))
            return removeDataBlocks(table, b.tag, b.extendedTag);
    }
    if (name == QLatin1String("hdmi-forum"))
        return removeHdmiForumBlock(table);
    if (name == QLatin1String("ycbcr420")) {
        const EdidEditResult video = removeDataBlocks(table, ExtendedBlockTag, Ycbcr420VideoExtTag);
        return video.ok() ? removeDataBlocks(video.table, ExtendedBlockTag, Ycbcr420MapExtTag)
                          : video;
    }
    int number = 0;
    if (name.startsWith(QLatin1String("tag:")) && parseNumber(name.mid(4), number))
        return removeDataBlocks(table, number);
    if (name.startsWith(QLatin1String("ext:")) && parseNumber(name.mid(4), number) && number >= 0)
        return removeDataBlocks(table, ExtendedBlockTag, number);
    return badValue(name,
        "a block name (audio, speaker, hdr, colorimetry, hdmi-forum, ycbcr420, tag:N, ext:N)");
}

struct EditOption
{
    const char *name;
    const char *argument; // nullptr: a switch
    const char *help;
    Edit apply;
};

const QList<EditOption> &editOptions()
{
    static const QList<EditOption> options = {
        { "name", "TEXT", "display product name (up to 13 characters; empty removes it)",
            [](const QByteArray &t, const QString &v) { return setDisplayName(t, v); } },
        { "serial-string", "TEXT", "serial number text (up to 13 characters)",
            [](const QByteArray &t, const QString &v) { return setSerialString(t, v); } },
        { "manufacturer", "ABC", "three-letter manufacturer id",
            [](const QByteArray &t, const QString &v) { return setManufacturer(t, v); } },
        { "product-code", "N", "product code 0-65535", numberEdit(setProductCode) },
        { "preferred-vic", "N", "preferred detailed timing from a VIC's timing",
            numberEdit(setPreferredVic) },
        { "physical-address", "A.B.C.D", "HDMI physical address",
            [](const QByteArray &t, const QString &v) { return setPhysicalAddress(t, v); } },
        { "add-vic", "N[,N...]", "add VICs to the video data block", numbersEdit(addVics) },
        { "remove-vic", "N[,N...]", "remove VICs from the video data block",
            numbersEdit(removeVics) },
        { "native-vic", "N", "mark the native VIC (1-64; 0 clears)", numberEdit(setNativeVic) },
        { "add-420-vic", "N[,N...]", "add YCbCr 4:2:0-only VICs", numbersEdit(addYcbcr420Vics) },
        { "remove-420-vic", "N[,N...]", "remove YCbCr 4:2:0-only VICs",
            numbersEdit(removeYcbcr420Vics) },
        { "max-tmds", "MHZ",
            "maximum TMDS clock (the HDMI Forum block's character rate too above 340)",
            numberEdit(setMaxTmds) },
        { "frl-rate", "N", "HDMI Forum maximum FRL rate code 0-6", numberEdit(setForumFrlRate) },
        { "remove-hdr", nullptr, "remove the HDR static metadata block",
            [](const QByteArray &t, const QString &) {
                return removeDataBlocks(t, ExtendedBlockTag, HdrStaticExtTag);
            } },
        { "hdr-eotfs", "LIST", "HDR EOTFs from sdr,hdr,pq,hlg (adds the block when missing)",
            [](const QByteArray &t, const QString &v) {
                return setHdrStatic(t, v.split(u',', Qt::SkipEmptyParts));
            } },
        { "colorimetry", "LIST", "colorimetry names (BT2020RGB,BT2020YCC,...; empty removes)",
            [](const QByteArray &t, const QString &v) {
                return setColorimetry(t, v.split(u',', Qt::SkipEmptyParts));
            } },
        { "audio-from", "FILE", "audio data block and speaker allocation of another table",
            [](const QByteArray &t, const QString &v) {
                QByteArray other;
                QString error;
                if (!readEdidInput(v, other, error))
                    return EdidEditResult { QByteArray(), error };
                return takeAudio(t, other);
            } },
        { "remove-block", "NAME",
            "remove data blocks: audio, speaker, hdr, colorimetry, hdmi-forum, ycbcr420, tag:N, "
            "ext:N",
            removeBlockNamed },
    };
    return options;
}

QString inputProblemsLine(const QString &path, const QByteArray &table)
{
    const QStringList problems = decodeEdid(table).problems;
    return problems.isEmpty() ? QString()
                              : QStringLiteral("%1: the input table has problems: %2")
                                    .arg(shownFileName(path), problems.join(QStringLiteral("; ")));
}

// Checked before any input is read: OUT takes what writeOutputFile() takes,
// and "-" is standard output, but binary data only when it is no terminal.
bool checkOutput(const QString &path, bool hex, QString &error)
{
    if (path == QLatin1String("-")) {
        if (hex || !standardOutputIsTerminal())
            return true;
        error = binaryToTerminalRefusal(
            QStringLiteral("redirect it (> FILE), or give --hex for the hex text"));
        return false;
    }
    const QString problem = outputTargetProblem(path);
    if (!problem.isNull())
        error = QStringLiteral("cannot write file %1: %2").arg(shownFileName(path), problem);
    return problem.isNull();
}

// Like cp: a regular (or new) file is replaced whole, a device or FIFO
// written directly, "-" is standard output (checked at the end of main).
bool writeOutput(const QString &path, const QByteArray &table, bool hex, QString &error)
{
    QByteArray bytes = table;
    if (hex) {
        // The utility's own text always holds two blocks, as the window shows them.
        bytes = edidHexText(table.leftJustified(2 * kEdidBlockSize, '\0'));
    }
    if (path == QLatin1String("-")) {
        writeStandardOutput(bytes);
        return true;
    }
    const QString reason = writeOutputFile(path, bytes);
    if (!reason.isNull())
        error = QStringLiteral("cannot write file %1: %2").arg(shownFileName(path), reason);
    return reason.isNull();
}

// Writes the result and says what was wrong with the inputs.
int finish(const QString &out, const QByteArray &table, bool hex, const QStringList &problemLines)
{
    QString error;
    if (!writeOutput(out, table, hex, error))
        return fail(error);
    for (const QString &line : problemLines)
        print(stderr, QStringLiteral("vortalex-edid: %1 (the edit is made)\n").arg(line));
    return problemLines.isEmpty() ? CliExit::Done : CliExit::Problems;
}

bool readTable(const QString &path, QByteArray &table, QStringList &problemLines, QString &error)
{
    if (!readEdidInput(path, table, error))
        return false;
    const QString problems = inputProblemsLine(path, table);
    if (!problems.isEmpty())
        problemLines << problems;
    const EdidEditResult checked = checkEditableTable(table);
    if (!checked.ok()) {
        error = QStringLiteral("%1: %2").arg(shownFileName(path), checked.refusal);
        return false;
    }
    table = checked.table;
    return true;
}

const EditOption *findEditOption(const QString &name)
{
    for (const EditOption &o : editOptions()) {
        if (name == QLatin1String(o.name))
            return &o;
    }
    return nullptr;
}

} // namespace

QList<ProgramOption> edidEditOptions()
{
    QList<ProgramOption> options;
    for (const EditOption &o : editOptions()) {
        ProgramOption option = programOption(o.name, o.argument ? o.argument : "", o.help);
        // The edits run in the order given, the same one again too.
        option.repeatable = true;
        option.commandHelpOnly = true;
        options.append(option);
    }
    return options;
}

int runEdidEdit(const CommandLine &commandLine, const QStringList &args)
{
    if (args.isEmpty())
        return fail(QStringLiteral("edit needs an input table (see vortalex-edid help edit)"));
    if (args.size() > 1)
        return fail(unexpectedWord({ QStringLiteral("edit"), args[0] }, args[1]));
    if (!commandLine.isSet(QStringLiteral("output")))
        return fail(QStringLiteral("edit needs -o OUT, - for standard output"));
    const QString in = args[0];
    const QString out = commandLine.value(QStringLiteral("output"));
    const bool hex = commandLine.isSet(QStringLiteral("hex"));
    QList<std::pair<const EditOption *, QString>> edits;
    for (const auto &[name, value] : commandLine.given()) {
        if (const EditOption *option = findEditOption(name))
            edits.append({ option, value });
    }
    QString error;
    QByteArray table;
    QStringList problems;
    if (!checkOutput(out, hex, error) || !readTable(in, table, problems, error))
        return fail(error);
    for (const auto &[option, value] : edits) {
        const EdidEditResult result = option->apply(table, value);
        if (!result.ok())
            return fail(QStringLiteral("--%1: %2; nothing written")
                            .arg(QLatin1String(option->name), result.refusal));
        table = result.table;
    }
    return finish(out, table, hex, problems);
}

int runEdidMerge(const CommandLine &commandLine, const QStringList &args)
{
    if (!args.isEmpty())
        return fail(unexpectedWord({ QStringLiteral("merge") }, args[0]));
    for (const char *needed : { "video", "audio", "output" }) {
        if (!commandLine.isSet(QLatin1String(needed)))
            return fail(QStringLiteral("merge needs --video A --audio B -o OUT; --%1 is missing")
                            .arg(QLatin1String(needed)));
    }
    const QString video = commandLine.value(QStringLiteral("video"));
    const QString audio = commandLine.value(QStringLiteral("audio"));
    const QString out = commandLine.value(QStringLiteral("output"));
    const bool hex = commandLine.isSet(QStringLiteral("hex"));
    QString error;
    QByteArray a;
    QByteArray b;
    QStringList problems;
    if (!checkOutput(out, hex, error) || !readTable(video, a, problems, error)
        || !readTable(audio, b, problems, error))
        return fail(error);
    const EdidEditResult merged = mergeEdid(a, b);
    if (!merged.ok())
        return fail(QStringLiteral("merge: %1; nothing written").arg(merged.refusal));
    return finish(out, merged.table, hex, problems);
}

int runEdidDiff(const CommandLine &commandLine, const QStringList &files)
{
    const bool json = commandLine.isSet(QStringLiteral("json"));
    if (files.size() > 2)
        return fail(unexpectedWord({ QStringLiteral("diff"), files[0], files[1] }, files[2]));
    if (files.size() != 2)
        return fail(QStringLiteral("diff needs two tables A B"));
    QByteArray tables[2];
    QStringList problems;
    for (int i = 0; i < 2; ++i) {
        QString error;
        if (!readEdidInput(files.at(i), tables[i], error))
            return fail(error);
        const QString line = inputProblemsLine(files.at(i), tables[i]);
        if (!line.isEmpty())
            problems << line;
    }
    const QList<EdidFact> facts = diffEdid(tables[0], tables[1]);
    if (json) {
        QJsonArray array;
        for (const EdidFact &f : facts)
            array << QJsonObject { { QStringLiteral("fact"), f.fact },
                { QStringLiteral("before"), f.before }, { QStringLiteral("after"), f.after } };
        print(stdout, QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    } else {
        for (const EdidFact &f : facts)
            print(stdout,
                QStringLiteral("%1: %2 -> %3\n")
                    .arg(f.fact, factText(f.before), factText(f.after)));
    }
    for (const QString &line : problems)
        print(stderr, QStringLiteral("vortalex-edid: %1\n").arg(line));
    return problems.isEmpty() ? CliExit::Done : CliExit::Problems;
}

} // namespace vortalex
