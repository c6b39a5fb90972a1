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
#include "text/echoedtext.h"

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
    return { QByteArray(),
        QStringLiteral("\"%1\" is not %2").arg(echoedText(value), QString::fromUtf8(wanted)) };
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

// "lpcm:8:48,96:16,24", "eac3:8:48:1", "ac3:6:48:640".
EdidEditResult addAudioNamed(const QByteArray &table, const QString &value)
{
    const QStringList parts = value.split(u':');
    ShortAudio audio;
    audio.formatCode = audioFormatCode(parts.value(0));
    const auto wanted = "FORMAT:CHANNELS:RATES[:EXTRA], as lpcm:8:48,96:16,24 or "
                        "eac3:8:48:1 (formats lpcm, ac3, mpeg1, mp3, mpeg2, aac, dts, atrac, dsd, "
                        "eac3, dtshd, truehd, dst, wma)";
    if (!audio.formatCode || parts.size() < 3 || parts.size() > 4
        || !parseNumber(parts.at(1), audio.channels))
        return badValue(value, wanted);
    for (const QString &rate : parts.at(2).split(u',')) {
        bool ok = false;
        audio.ratesKhz << rate.toDouble(&ok);
        if (!ok)
            return badValue(value, wanted);
    }
    const QString extra = parts.value(3);
    if (audio.formatCode == 1) {
        if (extra.isEmpty() ? false : !parseNumbers(extra, audio.bitDepths))
            return badValue(value, wanted);
        if (extra.isEmpty())
            audio.bitDepths = { 16, 20, 24 };
    } else if (audio.formatCode <= 8) {
        if (!parseNumber(extra, audio.maxBitrateKbps))
            return badValue(value, wanted);
    } else if (!extra.isEmpty() && !parseNumber(extra, audio.formatValue)) {
        return badValue(value, wanted);
    }
    return addAudioFormat(table, audio);
}

Edit luminanceEdit(int which)
{
    return [which](const QByteArray &table, const QString &value) {
        bool ok = false;
        const double nits = value.toDouble(&ok);
        if (!ok)
            return badValue(value, "a luminance in cd/m²");
        return setHdrLuminance(table, which == 0 ? std::optional<double>(nits) : std::nullopt,
            which == 1 ? std::optional<double>(nits) : std::nullopt,
            which == 2 ? std::optional<double>(nits) : std::nullopt);
    };
}

const QList<EditOption> &editOptions()
{
    static const QList<EditOption> options = {
        { "name", "TEXT", "display product name (1-13 characters)",
            [](const QByteArray &t, const QString &v) { return setDisplayName(t, v); } },
        { "serial-string", "TEXT", "serial number text (up to 13 characters; empty removes it)",
            [](const QByteArray &t, const QString &v) { return setSerialString(t, v); } },
        { "manufacturer", "ABC", "three-letter manufacturer id",
            [](const QByteArray &t, const QString &v) { return setManufacturer(t, v); } },
        { "product-code", "N", "product code 0-65535", numberEdit(setProductCode) },
        { "preferred-vic", "N",
            "preferred timing from a VIC: the first detailed timing (identical ones go) and "
            "the one native timing, the VIC first in the video data block; range limits widen",
            numberEdit(setPreferredVic) },
        { "physical-address", "A.B.C.D", "HDMI physical address",
            [](const QByteArray &t, const QString &v) { return setPhysicalAddress(t, v); } },
        { "add-vic", "N[,N...]",
            "add VICs to the video data block (a 4:2:0-only one moves there, marked "
            "4:2:0-capable); range limits widen",
            numbersEdit(addVics) },
        { "remove-vic", "N[,N...]",
            "remove VICs from the video data block (removing the first one marks the first "
            "detailed timing native)",
            numbersEdit(removeVics) },
        { "native-vic", "N",
            "mark the native VIC (1-64, the preferred timing's size, when no detailed timing is "
            "native; 0 clears)",
            numberEdit(setNativeVic) },
        { "add-420-vic", "N[,N...]",
            "add YCbCr 4:2:0-only VICs of 590 MHz or more (a regular one is marked "
            "4:2:0-capable instead); range limits widen",
            numbersEdit(addYcbcr420Vics) },
        { "remove-420-vic", "N[,N...]", "remove YCbCr 4:2:0-only VICs",
            numbersEdit(removeYcbcr420Vics) },
        { "max-tmds", "MHZ",
            "maximum TMDS clock; the HDMI Forum block's character rate follows (0 at 340 or "
            "less) and its FRL rate too (off at 340 or less, 3 Gbit/s below 600)",
            numberEdit(setMaxTmds) },
        { "frl-rate", "N", "HDMI Forum maximum FRL rate code 0-6", numberEdit(setForumFrlRate) },
        { "remove-hdr", nullptr, "remove the HDR static metadata block",
            [](const QByteArray &t, const QString &) {
                return removeDataBlocks(t, ExtendedBlockTag, HdrStaticExtTag);
            } },
        { "hdr-eotfs", "LIST",
            "HDR EOTFs from sdr,hdr,pq,hlg (adds the block when missing; empty clears them)",
            [](const QByteArray &t, const QString &v) {
                return setHdrStatic(t, v.split(u',', Qt::SkipEmptyParts));
            } },
        { "hdr-max", "CD/M2", "HDR maximum luminance, 50-12525 (in the HDR block)",
            luminanceEdit(0) },
        { "hdr-avg", "CD/M2", "HDR maximum frame-average luminance, 50-12525", luminanceEdit(1) },
        { "hdr-min", "CD/M2", "HDR minimum luminance, up to a hundredth of the maximum",
            luminanceEdit(2) },
        { "colorimetry", "LIST", "colorimetry names (BT2020RGB,BT2020YCC,...; empty removes)",
            [](const QByteArray &t, const QString &v) {
                return setColorimetry(t, v.split(u',', Qt::SkipEmptyParts));
            } },
        { "add-audio", "FORMAT:CH:RATES[:EXTRA]",
            "add or replace a short audio descriptor: channels, rates in kHz (48,96), then LPCM "
            "bit depths (16,20,24), the kbit/s of ac3-atrac, or the format byte of dsd-wma (eac3 "
            "and truehd: 1 is Dolby Atmos); LPCM sets basic audio",
            addAudioNamed },
        { "remove-audio", "FORMAT", "remove a format's short audio descriptors",
            [](const QByteArray &t, const QString &v) {
                const int code = audioFormatCode(v);
                return code ? removeAudioFormat(t, code) : badValue(v, "an audio format name");
            } },
        { "audio-from", "FILE",
            "audio data block, speaker allocation and vendor-specific audio blocks (Dolby) of "
            "any table, with its basic audio flag; reserved descriptors are left out",
            [](const QByteArray &t, const QString &v) {
                QByteArray other;
                QString error;
                if (!readEdidInput(v, other, error))
                    return EdidEditResult { QByteArray(), error };
                return takeAudio(t, other);
            } },
        { "remove-block", "NAME",
            "remove data blocks: audio (basic audio stays), speaker, hdr, colorimetry, "
            "hdmi-forum, ycbcr420, tag:N, ext:N",
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
        // Twice would leave one of the two values unused or run one edit on
        // the result of the other; a list option takes every value at once.
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
        for (const QString &note : result.notes)
            print(stderr,
                QStringLiteral("vortalex-edid: --%1: %2\n").arg(QLatin1String(option->name), note));
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
    // The audio table may be any readable table: only its audio is used.
    if (!checkOutput(out, hex, error) || !readTable(video, a, problems, error)
        || !readEdidInput(audio, b, error))
        return fail(error);
    const QString audioProblems = inputProblemsLine(audio, b);
    if (!audioProblems.isEmpty())
        problems << audioProblems;
    const EdidEditResult merged = mergeEdid(a, b);
    if (!merged.ok())
        return fail(QStringLiteral("merge: %1; nothing written").arg(merged.refusal));
    for (const QString &note : merged.notes)
        print(stderr, QStringLiteral("vortalex-edid: merge: %1\n").arg(note));
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
        if (facts.isEmpty() && tables[0] != tables[1])
            print(
                stdout, QStringLiteral("the tables differ only in bytes no decoded fact shows\n"));
    }
    for (const QString &line : problems)
        print(stderr, QStringLiteral("vortalex-edid: %1\n").arg(line));
    // Like diff and cmp: 0 equal, 1 different, 2 trouble.
    return facts.isEmpty() && tables[0] == tables[1] ? CliExit::Done : CliExit::Problems;
}

} // namespace vortalex
