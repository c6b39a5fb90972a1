// SPDX-License-Identifier: GPL-3.0-or-later
// The EDID table edits on the emulated box's tables and on real-world
// tables: only the edited facts change, every other byte stays, checksums
// are right, and edid-decode finds no new failure; then the refusals and
// vortalex-edid edit/merge/diff.
#include "edid/edidchecksum.h"
#include "edid/ediddiff.h"
#include "edid/edidedit.h"
#include "edid/edidhextext.h"
#include "edid/edidreport.h"
#include "edid/edidtimingsize.h"
#include "edid/edidvic.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <deque>
#include <memory>

using namespace vortalex;

namespace {

using Operation = std::function<EdidEditResult(const QByteArray &)>;

QString dataPath(const QString &name)
{
    return QStringLiteral(VORTALEX_TEST_DATA "/") + name;
}

QByteArray readData(const QString &name)
{
    QFile file(dataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A data block's identity for "which blocks may an edit touch": tag, the
// extended tag, or the vendor's OUI.
QString blockKey(const QByteArray &b)
{
    const int tag = std::uint8_t(b.at(0)) >> 5;
    if (tag == 7 && b.size() > 1)
        return QStringLiteral("ext:%1").arg(std::uint8_t(b.at(1)));
    if (tag == 3 && b.size() > 3)
        return QStringLiteral("oui:%1").arg(QString::fromLatin1(b.mid(1, 3).toHex()));
    return QStringLiteral("tag:%1").arg(tag);
}

// The extension block's data blocks and detailed timings, split here
// rather than by the code under test.
void splitCta(const QByteArray &table, QList<QByteArray> &blocks, QList<QByteArray> &timings)
{
    if (table.size() < 256 || table.at(126) != 1)
        return;
    const QByteArray ext = table.mid(128);
    const int dtd = std::uint8_t(ext.at(2));
    for (int at = 4; at < dtd; at += 1 + (std::uint8_t(ext.at(at)) & 0x1F))
        blocks << ext.mid(at, 1 + (std::uint8_t(ext.at(at)) & 0x1F));
    for (int at = dtd; dtd && at + 18 <= 127 && (ext.at(at) || ext.at(at + 1)); at += 18)
        timings << ext.mid(at, 18);
}

QList<QByteArray> blocksOtherThan(const QByteArray &table, const QStringList &touched)
{
    QList<QByteArray> blocks;
    QList<QByteArray> timings;
    splitCta(table, blocks, timings);
    QList<QByteArray> kept;
    for (const QByteArray &b : blocks) {
        if (!touched.contains(blockKey(b)))
            kept << b;
    }
    return touched.contains(QStringLiteral("dtd")) ? kept : kept + timings;
}

// edid-decode --check's warnings and failures of many tables, each table
// decoded once, several at a time. Timings outside the range limits are one
// message whatever the numbers (only their name is kept), and detailed
// timings are not told apart by number (a removed duplicate renumbers them).
class EdidDecodeMessages
{
public:
    QSet<QString> of(const QByteArray &table) const { return m_messages.value(table); }

    void decode(const QList<QByteArray> &tables)
    {
        QList<QByteArray> todo;
        for (const QByteArray &t : tables) {
            if (!m_messages.contains(t) && !todo.contains(t))
                todo << t;
        }
        const int parallel = std::max(2, QThread::idealThreadCount()) * 2;
        std::deque<std::pair<std::unique_ptr<QProcess>, QByteArray>> running;
        for (int next = 0; next < todo.size() || !running.empty();) {
            while (next < todo.size() && int(running.size()) < parallel) {
                const QString path = m_dir.filePath(QString::number(next));
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly) || file.write(todo.at(next)) < 0)
                    qFatal("cannot write %s", qPrintable(path));
                file.close();
                auto process = std::make_unique<QProcess>();
                process->start(QStringLiteral("edid-decode"), { QStringLiteral("--check"), path });
                running.emplace_back(std::move(process), todo.at(next++));
            }
            running.front().first->waitForFinished(-1);
            m_messages.insert(running.front().second,
                parse(QString::fromUtf8(running.front().first->readAllStandardOutput())));
            running.pop_front();
        }
    }

private:
    static QSet<QString> parse(const QString &out)
    {
        static const QRegularExpression range(
            QStringLiteral("^((Vertical|Horizontal) Freq|Maximum Clock): .*"));
        static const QRegularExpression dtdNumber(QStringLiteral("#\\d+"));
        // The first VIC of a table without a native detailed timing counts
        // as preferred; removing it hands that over to the next one.
        static const QRegularExpression preferredVic(
            QStringLiteral("^Video Data Block: VIC \\d+ is the preferred timing"));
        QSet<QString> messages;
        QString section;
        for (const QString &raw : out.split(u'\n', Qt::SkipEmptyParts)) {
            const QString line = raw.trimmed();
            if (line == QLatin1String("Warnings:") || line == QLatin1String("Failures:")) {
                section = line;
            } else if (!section.isEmpty() && raw.startsWith(u' ')) {
                messages << section + u' '
                        + QString(line)
                              .replace(range, QStringLiteral("\\1"))
                              .replace(dtdNumber, QStringLiteral("#N"))
                              .replace(preferredVic,
                                  QStringLiteral(
                                      "Video Data Block: VIC N is the preferred timing"));
            }
        }
        return messages;
    }

    QTemporaryDir m_dir;
    QHash<QByteArray, QSet<QString>> m_messages;
};

QStringList tableFiles()
{
    QStringList files { QStringLiteral("sim_tv_a.bin"), QStringLiteral("sim_tv_b.bin"),
        QStringLiteral("sim_box_fixed.bin"), QStringLiteral("sim_box_automix.bin") };
    // The real-world tables the box can hold: larger ones are refused whole.
    for (const QString &name : QDir(dataPath(QStringLiteral("edid"))).entryList({ "*.bin" })) {
        const QString file = QStringLiteral("edid/") + name;
        if (readData(file).size() <= 256)
            files << file;
    }
    return files;
}

CtaBlock videoOf(const QByteArray &table)
{
    const auto cta = decodeEdid(table).extensions.value(0).cta;
    return cta ? *cta : CtaBlock();
}

struct OperationRow
{
    const char *name;
    Operation apply;
    QStringList facts; // JSON paths the edit may change (extension paths without "extensions[0].")
    QList<int> baseBytes; // base block bytes it may change (checksum aside)
    QStringList blocks; // data blocks it may change or add (blockKey)
    bool flags = false; // it may change the extension's byte 3
    bool mustChange = false; // a decoded fact changes whenever the edit is made
};

const QString kHdmi = QStringLiteral("oui:030c00");
const QString kForum = QStringLiteral("oui:d85dc4");

QList<OperationRow> operationRows()
{
    const QByteArray receiver = readData(QStringLiteral("edid/yamaha_rx-s600.bin"));
    QList<int> descriptors;
    for (int i = 54; i < 126; ++i)
        descriptors << i;
    return {
        { "name",
            [](const QByteArray &t) { return setDisplayName(t, QStringLiteral("Edited 13 ch")); },
            { "name" }, descriptors, {}, false, true },
        { "serial string",
            [](const QByteArray &t) { return setSerialString(t, QStringLiteral("SN-42")); },
            { "serial_string" }, descriptors, {}, false, true },
        { "identity",
            [](const QByteArray &t) {
                EdidEditResult r = setManufacturer(t, QStringLiteral("VTX"));
                r = setProductCode(r.table, 4242);
                r = setSerialNumber(r.table, 123456);
                return setManufactureDate(r.table, 12, 2024);
            },
            { "manufacturer", "product_code", "serial_number", "week", "year", "model_year" },
            { 8, 9, 10, 11, 12, 13, 14, 15, 16, 17 }, {}, false, true },
        { "preferred VIC 16", [](const QByteArray &t) { return setPreferredVic(t, 16); },
            { "preferred", "detailed", "range", "vics", "ycbcr420_vics", "ycbcr420_capable_vics" },
            descriptors, { "tag:2", "ext:13", "ext:14", "ext:15", "dtd" }, true },
        { "range limits",
            [](const QByteArray &t) {
                // Wide enough for every timing of every table here.
                return setRangeLimits(t, { 1, 255, 1, 255, 2550 });
            },
            { "range" }, descriptors, {}, false, true },
        { "add VIC 2", [](const QByteArray &t) { return addVics(t, { 2 }); }, { "vics", "range" },
            descriptors, { "tag:2" } },
        { "remove a VIC",
            [](const QByteArray &t) {
                // One without an HDMI VIC twin (93-95, 98), which edid-decode would miss.
                int vic = 1;
                for (const VideoDescriptor &v : videoOf(t).vics)
                    vic = QList<int> { 93, 94, 95, 98 }.contains(v.vic) || vic != 1 ? vic : v.vic;
                return removeVics(t, { vic });
            },
            { "vics", "ycbcr420_vics", "ycbcr420_capable_vics" }, {}, { "tag:2", "ext:15" }, true },
        { "native VIC",
            [](const QByteArray &t) {
                // The VIC of the preferred timing's size, so native formats do not mix.
                const auto preferred = preferredTiming(decodeEdid(t));
                int native = 0;
                for (const VideoDescriptor &v : videoOf(t).vics) {
                    const VicFormat *f = vicFormat(v.vic);
                    if (!native && v.vic <= 64 && preferred && f->width == preferred->width
                        && f->height == preferred->height && !f->interlaced)
                        native = v.vic;
                }
                return setNativeVic(t, native);
            },
            { "vics" }, {}, { "tag:2" } },
        { "4K60 to 4:2:0 only",
            [](const QByteArray &t) {
                // Half the clock, so it stays in every table's range limits.
                const CtaBlock cta = videoOf(t);
                for (int vic : { 97, 96 }) {
                    if (std::any_of(cta.vics.begin(), cta.vics.end(),
                            [vic](const VideoDescriptor &v) { return v.vic == vic; }))
                    {
                        const EdidEditResult removed = removeVics(t, { vic });
                        return removed.ok() ? addYcbcr420Vics(removed.table, { vic }) : removed;
                    }
                }
                if (!cta.ycbcr420OnlyVics.isEmpty())
                    return removeYcbcr420Vics(t, { cta.ycbcr420OnlyVics.first() });
                return checkEditableTable(t);
            },
            { "vics", "ycbcr420_vics", "ycbcr420_capable_vics", "range" }, descriptors,
            { "tag:2", "ext:14", "ext:15" }, true },
        { "audio from a receiver",
            [receiver](const QByteArray &t) { return takeAudio(t, receiver); },
            { "audio", "speakers" }, {}, { "tag:1", "tag:4", "ext:17" }, true },
        { "physical address",
            [](const QByteArray &t) { return setPhysicalAddress(t, QStringLiteral("3.2.1.0")); },
            { "hdmi.physical_address" }, {}, { kHdmi }, false, true },
        { "max TMDS 295", [](const QByteArray &t) { return setMaxTmds(t, 295); },
            { "hdmi.max_tmds_mhz", "hdmi_forum.max_tmds_mhz", "hdmi_forum.max_frl_gbps" }, {},
            { kHdmi, kForum, "ext:121" }, false, true },
        { "deep colour",
            [](const QByteArray &t) {
                return setDeepColour(t, { 30, 36 }, true);
            },
            { "hdmi.deep_color" }, {}, { kHdmi } },
        { "SCDC and FRL",
            [](const QByteArray &t) {
                const EdidEditResult scdc = setForumScdc(t, true);
                return scdc.ok() ? setForumFrlRate(scdc.table, 3) : scdc;
            },
            { "hdmi_forum.scdc", "hdmi_forum.max_frl_gbps" }, {}, { kForum, "ext:121" } },
        { "HDR luminances",
            [](const QByteArray &t) {
                return setHdrStatic(t, { "sdr", "pq" }, 1000, 400, 0.05);
            },
            { "hdr_static" }, {}, { "ext:6" }, false, true },
        { "remove HDR", [](const QByteArray &t) { return removeDataBlocks(t, 7, 6); },
            { "hdr_static" }, {}, { "ext:6" } },
        { "remove every HDR block", [](const QByteArray &t) { return removeHdr(t); },
            { "hdr_static" }, {}, { "ext:6", "ext:7", "ext:1" } },
        { "HDR EOTFs",
            [](const QByteArray &t) {
                return setHdrStatic(t, { "sdr", "hlg" });
            },
            { "hdr_static" }, {}, { "ext:6" } },
        { "colorimetry",
            [](const QByteArray &t) {
                return setColorimetry(t, { "xvYCC709", "BT2020YCC" });
            },
            { "colorimetry" }, {}, { "ext:5" }, false, true },
        { "flags", [](const QByteArray &t) { return setCtaFlags(t, true, true, true, true); }, {},
            {}, {}, true },
    };
}

// Every edit the command line offers (and the HDMI Forum and deep colour
// edits of the window), with values real
// tables make hard: 4K60 at 594 MHz, 4:2:0-only VICs, 100 Hz, 264 kHz, TMDS
// caps under FRL, removals of what may be absent.
QList<std::pair<QString, Operation>> everyEdit()
{
    QList<std::pair<QString, Operation>> edits;
    const auto add = [&edits](const char *name, Operation op) {
        edits.append({ QLatin1String(name), op });
    };
    add("--name X", [](const QByteArray &t) { return setDisplayName(t, QStringLiteral("X")); });
    // The window's range limits, which have no option: wider, or narrower (refused).
    for (int step : { 5, -1 }) {
        add(step > 0 ? "window: range limits 5 wider" : "window: range limits 1 narrower",
            [step](const QByteArray &t) {
                const auto had
                    = decodeEdid(t).base->range.value_or(RangeLimits { 50, 60, 30, 80, 200 });
                return setRangeLimits(t,
                    { std::max(1, had.vMinHz - step), std::min(255, had.vMaxHz + step),
                        std::max(1, had.hMinKhz - step), std::min(255, had.hMaxKhz + step),
                        std::min(2550, had.maxPixelClockMhz + 10 * step) });
            });
    }
    add("--name \"\"", [](const QByteArray &t) { return setDisplayName(t, QString()); });
    add("--serial-string SN-42",
        [](const QByteArray &t) { return setSerialString(t, QStringLiteral("SN-42")); });
    add("--serial-string \"\"", [](const QByteArray &t) { return setSerialString(t, QString()); });
    add("--manufacturer VTX",
        [](const QByteArray &t) { return setManufacturer(t, QStringLiteral("VTX")); });
    add("--product-code 4242", [](const QByteArray &t) { return setProductCode(t, 4242); });
    add("serial number 0", [](const QByteArray &t) { return setSerialNumber(t, 0); });
    add("date", [](const QByteArray &t) { return setManufactureDate(t, 12, 2024); });
    for (int vic : { 4, 16, 97, 199 })
        edits.append({ QStringLiteral("--preferred-vic %1").arg(vic),
            [vic](const QByteArray &t) { return setPreferredVic(t, vic); } });
    add("--physical-address 3.2.1.0",
        [](const QByteArray &t) { return setPhysicalAddress(t, QStringLiteral("3.2.1.0")); });
    for (const QList<int> &vics : QList<QList<int>> { { 97 }, { 97, 117 }, { 199 }, { 2, 16 } }) {
        const QString list = QStringLiteral("%1").arg(vics.first())
            + (vics.size() > 1 ? QStringLiteral(",%1").arg(vics.last()) : QString());
        edits.append({ QStringLiteral("--add-vic ") + list,
            [vics](const QByteArray &t) { return addVics(t, vics); } });
        edits.append({ QStringLiteral("--add-420-vic ") + list,
            [vics](const QByteArray &t) { return addYcbcr420Vics(t, vics); } });
        edits.append({ QStringLiteral("--remove-vic ") + list,
            [vics](const QByteArray &t) { return removeVics(t, vics); } });
        edits.append({ QStringLiteral("--remove-420-vic ") + list,
            [vics](const QByteArray &t) { return removeYcbcr420Vics(t, vics); } });
    }
    for (int vic : { 0, 16 })
        edits.append({ QStringLiteral("--native-vic %1").arg(vic),
            [vic](const QByteArray &t) { return setNativeVic(t, vic); } });
    for (int mhz : { 25, 300, 340, 345, 600 })
        edits.append({ QStringLiteral("--max-tmds %1").arg(mhz),
            [mhz](const QByteArray &t) { return setMaxTmds(t, mhz); } });
    for (int mhz : { 0, 400, 600 })
        edits.append({ QStringLiteral("forum TMDS %1").arg(mhz),
            [mhz](const QByteArray &t) { return setForumMaxTmds(t, mhz); } });
    for (int code : { 0, 1, 6 })
        edits.append({ QStringLiteral("--frl-rate %1").arg(code),
            [code](const QByteArray &t) { return setForumFrlRate(t, code); } });
    add("SCDC", [](const QByteArray &t) { return setForumScdc(t, true); });
    add("deep colour", [](const QByteArray &t) { return setDeepColour(t, { 30, 36 }, true); });
    add("--hdr-eotfs sdr,pq,hlg", [](const QByteArray &t) {
        return setHdrStatic(t, { "sdr", "pq", "hlg" });
    });
    add("--hdr-eotfs \"\"", [](const QByteArray &t) { return setHdrStatic(t, {}); });
    add("--hdr-max 1000", [](const QByteArray &t) { return setHdrLuminance(t, 1000, {}, {}); });
    add("--hdr-avg 400", [](const QByteArray &t) { return setHdrLuminance(t, {}, 400, {}); });
    add("--hdr-min 0.05", [](const QByteArray &t) { return setHdrLuminance(t, {}, {}, 0.05); });
    add("--colorimetry BT2020RGB,BT2020YCC", [](const QByteArray &t) {
        return setColorimetry(t, { "BT2020RGB", "BT2020YCC" });
    });
    add("--colorimetry \"\"", [](const QByteArray &t) { return setColorimetry(t, {}); });
    add("--add-audio lpcm:8:48,96,192:16,24", [](const QByteArray &t) {
        return addAudioFormat(t, { 1, 8, { 48, 96, 192 }, { 16, 24 } });
    });
    add("--add-audio eac3:8:48:1", [](const QByteArray &t) {
        return addAudioFormat(t, { 10, 8, { 48 }, {}, 0, 1 });
    });
    add("--add-audio dts:6:48:1536", [](const QByteArray &t) {
        return addAudioFormat(t, { 7, 6, { 48 }, {}, 1536 });
    });
    for (int code : { 1, 2, 10 })
        edits.append({ QStringLiteral("--remove-audio %1").arg(audioFormatWord(code)),
            [code](const QByteArray &t) { return removeAudioFormat(t, code); } });
    add("--remove-hdr",
        [](const QByteArray &t) { return removeDataBlocks(t, 7, HdrStaticExtTag); });
    add("--remove-block audio",
        [](const QByteArray &t) { return removeDataBlocks(t, AudioBlockTag); });
    add("--remove-block speaker",
        [](const QByteArray &t) { return removeDataBlocks(t, SpeakerBlockTag); });
    add("--remove-block tag:3",
        [](const QByteArray &t) { return removeDataBlocks(t, VendorBlockTag); });
    add("--remove-block ext:15",
        [](const QByteArray &t) { return removeDataBlocks(t, 7, Ycbcr420MapExtTag); });
    add("--remove-block ext:14",
        [](const QByteArray &t) { return removeDataBlocks(t, 7, Ycbcr420VideoExtTag); });
    add("--remove-block hdmi-forum", [](const QByteArray &t) { return removeHdmiForumBlock(t); });
    return edits;
}

QStringList allTableFiles()
{
    QStringList files;
    for (const QString &name : QDir(dataPath(QString())).entryList({ "*.bin" }))
        files << name;
    for (const QString &name : QDir(dataPath(QStringLiteral("edid"))).entryList({ "*.bin" }))
        files << QStringLiteral("edid/") + name;
    return files;
}

} // namespace

class TestEdidEdit : public QObject
{
    Q_OBJECT

private slots:
    void noNewProblem_data();
    void noNewProblem();
    void operations_data();
    void operations();
    void refusals_data();
    void refusals();
    void commandLine_data();
    void commandLine();
    void speakersInDiff();
    void timingFromSize_data();
    void timingFromSize();
};

void TestEdidEdit::noNewProblem_data()
{
    QTest::addColumn<int>("edit"); // index into everyEdit(); -1: the audio of every table
    const auto edits = everyEdit();
    for (int i = 0; i < edits.size(); ++i)
        QTest::newRow(qPrintable(edits.at(i).first)) << i;
    QTest::newRow("--audio-from and merge, every pair") << -1;
}

// The whole cross product: every edit on every table the box can hold (and
// the audio of every table on each): the result has no edid-decode warning
// or failure its input did not have, or the edit is refused with no table.
void TestEdidEdit::noNewProblem()
{
    QFETCH(int, edit);
    if (QStandardPaths::findExecutable(QStringLiteral("edid-decode")).isEmpty())
        QSKIP("edid-decode is not installed");
    static EdidDecodeMessages messages;
    QList<std::pair<QString, QByteArray>> inputs; // (name, table)
    for (const QString &file : tableFiles())
        inputs.append({ file, checkEditableTable(readData(file)).table });
    QList<std::tuple<QString, QByteArray, QByteArray>> results; // (case, input, result)
    const auto record = [&](const QString &name, const QByteArray &input, const EdidEditResult &r) {
        QVERIFY2(r.ok() != r.table.isEmpty(), qPrintable(name));
        if (r.ok()) {
            results.append({ name, input, r.table });
        }
    };
    if (edit >= 0) {
        const Operation op = everyEdit().at(edit).second;
        for (const auto &[file, table] : inputs)
            record(file, table, op(table));
    } else {
        QList<std::pair<QString, QByteArray>> sources;
        for (const QString &file : allTableFiles())
            sources.append({ file, readData(file) });
        for (const auto &[file, table] : inputs) {
            for (const auto &[source, audio] : sources)
                record(file + QStringLiteral(" with the audio of ") + source, table,
                    takeAudio(table, audio));
        }
    }
    QList<QByteArray> tables;
    for (const auto &[name, input, result] : results)
        tables << input << result;
    messages.decode(tables);
    QStringList added;
    for (const auto &[name, input, result] : results) {
        for (const QString &message : messages.of(result) - messages.of(input))
            added << name + QStringLiteral(": ") + message;
    }
    added.sort();
    QVERIFY2(added.isEmpty(),
        qPrintable(
            QStringLiteral("%1 new messages:\n").arg(added.size()) + added.mid(0, 40).join(u'\n')));
}

void TestEdidEdit::operations_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("row");
    const QList<OperationRow> rows = operationRows();
    for (const QString &file : tableFiles()) {
        for (int row = 0; row < rows.size(); ++row)
            QTest::addRow("%s: %s", qPrintable(file), rows.at(row).name) << file << row;
    }
}

void TestEdidEdit::operations()
{
    QFETCH(QString, file);
    QFETCH(int, row);
    const OperationRow op = operationRows().at(row);
    const QByteArray input = checkEditableTable(readData(file)).table;
    QVERIFY(!input.isEmpty());
    const EdidEditResult result = op.apply(input);
    if (!result.ok()) {
        // Only a lack of room or of the block the edit changes may stop it.
        QVERIFY2(result.refusal.contains(QLatin1String(" left; this edit needs "))
                || result.refusal.startsWith(QLatin1String("the table has no"))
                || result.refusal.startsWith(QLatin1String("the base block has no free"))
                || result.refusal.endsWith(QLatin1String("is not a CTA-861 block"))
                || result.refusal.endsWith(QLatin1String("is not a timing"))
                || result.refusal.contains(QLatin1String(" needs a TMDS character rate of "))
                || result.refusal.contains(QLatin1String(" native; a native VIC would be"))
                || result.refusal.contains(QLatin1String("serial number text contradict"))
                || result.refusal.contains(QLatin1String("would start with VIC"))
                || result.refusal.startsWith(QLatin1String("a data block holds at most 31"))
                || result.refusal.contains(QLatin1String("is not the size of the preferred"))
                || result.refusal.contains(QLatin1String("leads the video data block and is"))
                || result.refusal.startsWith(QLatin1String("range limits only widen"))
                || result.refusal.contains(QLatin1String("names its 3D formats by their place"))
                || result.refusal.contains(QLatin1String("is required and the base block")),
            qPrintable(result.refusal));
        return;
    }
    const QByteArray &out = result.table;
    const EdidInfo info = decodeEdid(out);
    QVERIFY(!info.checksumsOk.contains(false));

    // The decoded facts differ only in the edited ones, and the diff names them.
    QSet<QString> allowed;
    for (const QString &fact : op.facts)
        allowed << fact << QStringLiteral("extensions[0].") + fact;
    if (input.size() == 128 && out.size() == 256)
        allowed << QStringLiteral("extensions") << QStringLiteral("checksums_ok"); // a new block
    QVERIFY(!op.mustChange || !diffEdid(input, out).isEmpty());
    QJsonObject before = edidToJson(decodeEdid(input));
    QJsonObject after = edidToJson(info);
    for (const EdidFact &fact : diffEdid(input, out)) {
        QVERIFY2(std::any_of(allowed.begin(), allowed.end(),
                     [&fact](const QString &path) {
                         return fact.fact == path || fact.fact.startsWith(path + u'.')
                             || fact.fact.startsWith(path + u'[');
                     }),
            qPrintable(fact.fact));
    }
    for (QJsonObject *json : { &before, &after }) {
        for (const QString &fact : op.facts)
            json->remove(fact);
        QJsonArray extensions = json->value(QLatin1String("extensions")).toArray();
        if (!extensions.isEmpty()) {
            QJsonObject cta = extensions.at(0).toObject();
            for (const QString &fact : op.facts) {
                const QStringList path = fact.split(u'.');
                if (path.size() == 2 && cta.value(path[0]).isObject()) {
                    QJsonObject inner = cta.value(path[0]).toObject();
                    inner.remove(path[1]);
                    cta[path[0]] = inner;
                } else {
                    cta.remove(fact);
                }
            }
            extensions[0] = cta;
            (*json)[QStringLiteral("extensions")] = extensions;
        }
    }
    if (allowed.contains(QStringLiteral("extensions"))) {
        for (QJsonObject *json : { &before, &after }) {
            json->remove(QStringLiteral("extensions"));
            json->remove(QStringLiteral("checksums_ok"));
        }
    }
    QCOMPARE(after, before);

    // Bytes outside the edited structures stay.
    for (int i = 0; i < 127; ++i) {
        if (!op.baseBytes.contains(i) && !(i == 126 && input.size() == 128))
            QVERIFY2(out.at(i) == input.at(i), qPrintable(QStringLiteral("base byte %1").arg(i)));
    }
    if (input.size() == 256) {
        QCOMPARE(out.mid(128, 2), input.mid(128, 2));
        if (!op.flags)
            QCOMPARE(out.at(131), input.at(131));
        QCOMPARE(blocksOtherThan(out, op.blocks), blocksOtherThan(input, op.blocks));
    }
}

void TestEdidEdit::refusals_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("table over 256 bytes")
        << "all_vics.bin" << 0
        << "the table has 384 bytes; the box holds at most 256 (the base block and one extension)";
    QTest::newRow("name over 13 characters")
        << "sim_tv_a.bin" << 1 << "the name has 14 characters; a descriptor holds 13";
    QTest::newRow("VIC outside the table")
        << "sim_tv_a.bin" << 2 << "VIC 220 is not in the CTA-861 table (1-127, 193-219)";
    QTest::newRow("edit that does not fit")
        << "edid/onkyo_ht-r592.bin" << 3
        << "the extension block has 9 bytes left; this edit needs 10";
    QTest::newRow("timing beyond what EDID 1.3 range limits can give")
        << "edid/onkyo_ht-r592.bin" << 6
        << "VIC 193 (120.00 Hz, 270.000 kHz, 1485 MHz) is outside the range limits, and they "
           "cannot reach it (rates up to 255, clock up to 2550 MHz)";
    QTest::newRow("DisplayID extension")
        << "edid/edo_edo0142.bin" << 7 << "the extension block (tag 0x70) is not a CTA-861 block";
    QTest::newRow("empty name") << "sim_tv_a.bin" << 8
                                << "a table needs a display name; give 1-13 characters";
    QTest::newRow("extension on a table with two serial numbers")
        << "edid/dell_monitor_g2410_128.bin" << 7
        << "the table has no CTA-861 extension block, and adding one would make its serial "
           "number and serial number text contradict each other (edid-decode then wants the "
           "serial number 0)";
    QTest::newRow("4:2:0 below 590 MHz")
        << "sim_tv_a.bin" << 9
        << "VIC 16 (1920x1080@60 16:9) runs at 148.5 MHz; HDMI carries YCbCr 4:2:0 only for "
           "formats of 590 MHz or more";
    QTest::newRow("physical address out of range")
        << "sim_tv_a.bin" << 4
        << "physical address \"1.16.0.0\": give four numbers 0-15 as A.B.C.D";
    QTest::newRow("physical address with a number after a 0")
        << "sim_tv_a.bin" << 10
        << "physical address \"0.1.0.0\": after a 0 every number is 0 (as 1.2.0.0)";
    QTest::newRow("VIC whose place names a 3D format")
        << "edid/benq_projector.bin" << 11
        << "VIC 21: the HDMI vendor block names its 3D formats by their place among the first 16 "
           "VICs; this edit would move them and give 3D to other formats";
    QTest::newRow("VIC 1 that the established timings do not stand in for")
        << "edid/panasonic_tv_meia0a6.bin" << 12
        << "VIC 1 (640x480@60) is required and the base block's established timings do not list "
           "it; not removed";
    QTest::newRow("native VIC above 64")
        << "sim_tv_a.bin" << 5
        << "only VICs 1-64 can be marked native in a video data block; not 97";
}

void TestEdidEdit::refusals()
{
    QFETCH(QString, file);
    QFETCH(int, edit);
    QFETCH(QString, refusal);
    const QByteArray table = readData(file);
    const QList<Operation> edits = {
        [](const QByteArray &t) { return setDisplayName(t, QStringLiteral("X")); },
        [](const QByteArray &t) { return setDisplayName(t, QStringLiteral("Fourteen chars")); },
        [](const QByteArray &t) { return addVics(t, { 220 }); },
        [](const QByteArray &t) {
            return addVics(t, { 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 21, 22 });
        },
        [](const QByteArray &t) { return setPhysicalAddress(t, QStringLiteral("1.16.0.0")); },
        [](const QByteArray &t) { return setNativeVic(t, 97); },
        [](const QByteArray &t) { return addVics(t, { 193 }); },
        [](const QByteArray &t) { return setHdrStatic(t, { "pq" }); },
        [](const QByteArray &t) { return setDisplayName(t, QString()); },
        [](const QByteArray &t) { return addYcbcr420Vics(t, { 16 }); },
        [](const QByteArray &t) { return setPhysicalAddress(t, QStringLiteral("0.1.0.0")); },
        [](const QByteArray &t) { return removeVics(t, { 21 }); },
        [](const QByteArray &t) { return removeVics(t, { 1 }); },
    };
    const EdidEditResult result = edits.at(edit)(table);
    QCOMPARE(result.refusal, refusal);
    QVERIFY(result.table.isEmpty());
}

void TestEdidEdit::commandLine_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("written"); // the expected output, empty: nothing written
    const QByteArray tv = checkEditableTable(readData(QStringLiteral("sim_tv_a.bin"))).table;
    const QByteArray named = setDisplayName(tv, QStringLiteral("Kitchen")).table;
    QTest::newRow("edit") << QStringList { "edit", "IN", "-o", "OUT", "--name", "Kitchen" } << 0
                          << QString() << named;
    QTest::newRow("hex text to standard output") << QStringList { "edit", "IN", "-o", "-", "--hex",
        "--name", "Kitchen" } << 0 << QString() << edidHexText(named);
    QTest::newRow("edits in order")
        << QStringList { "edit", "IN", "-o", "OUT", "--remove-hdr", "--max-tmds", "300" } << 0
        << QString() << setMaxTmds(removeDataBlocks(tv, 7, 6).table, 300).table;
    QTest::newRow("refused, nothing written")
        << QStringList { "edit", "IN", "-o", "OUT", "--name", "Kitchen", "--physical-address",
               "1.2.3" }
        << 2
        << "vortalex-edid: --physical-address: physical address \"1.2.3\": give four numbers "
           "0-15 as A.B.C.D; nothing written\n"
        << QByteArray();
    QTest::newRow("input with problems")
        << QStringList { "edit", "BAD", "-o", "OUT", "--name", "Kitchen" } << 1
        << "vortalex-edid: BAD: the input table has problems: " << named;
    QTest::newRow("merge") << QStringList {
        "merge", "--video", "IN", "--audio", "AUDIO", "-o", "OUT"
    } << 0 << QString() << mergeEdid(tv, readData(QStringLiteral("edid/yamaha_rx-s600.bin"))).table;
    QTest::newRow("an option given twice")
        << QStringList { "edit", "IN", "-o", "OUT", "--add-vic", "97", "--add-vic", "98" } << 2
        << "vortalex-edid: --add-vic is given twice\n"
        << QByteArray();
    QTest::newRow("merge: an option given twice") << QStringList { "merge", "--video", "IN",
        "--video", "IN", "--audio", "AUDIO", "-o", "OUT" }
                                                  << 2 << "vortalex-edid: --video is given twice\n"
                                                  << QByteArray();
    QTest::newRow("removing what is absent: the table as it was, a note, no extension")
        << QStringList { "edit", "MON", "-o", "OUT", "--remove-block", "audio" } << 0
        << "vortalex-edid: --remove-block: the table has no audio data block; nothing removed\n"
        << checkEditableTable(readData(QStringLiteral("edid/hp_monitor_e243_128.bin"))).table;
    QTest::newRow("TMDS cap turns FRL off")
        << QStringList { "edit", "FRL", "-o", "OUT", "--max-tmds", "340" } << 0
        << "vortalex-edid: --max-tmds: FRL is off: it needs an HDMI Forum TMDS character rate "
           "of 300 MHz or more\n"
        << setMaxTmds(
               checkEditableTable(readData(QStringLiteral("edid/tcl_tv_tcl2875_frl.bin"))).table,
               340)
               .table;
    QTest::newRow("audio from a 512-byte table")
        << QStringList { "edit", "IN", "-o", "OUT", "--audio-from", "BIG" } << 0 << QString()
        << takeAudio(tv, readData(QStringLiteral("edid/tcl_tv_tcl9653_512.bin"))).table;
    QTest::newRow("add audio: Dolby Atmos over E-AC-3")
        << QStringList { "edit", "IN", "-o", "OUT", "--add-audio", "eac3:8:48:1" } << 0 << QString()
        << addAudioFormat(tv, { 10, 8, { 48 }, {}, 0, 1 }).table;
    QTest::newRow("add audio: bad value")
        << QStringList { "edit", "IN", "-o", "OUT", "--add-audio", "eac3:8" } << 2
        << "vortalex-edid: --add-audio: \"eac3:8\" is not FORMAT:CHANNELS:RATES[:EXTRA]"
        << QByteArray();
    QTest::newRow("HDR luminance out of range")
        << QStringList { "edit", "IN", "-o", "OUT", "--hdr-max", "1e308" } << 2
        << "vortalex-edid: --hdr-max: luminance out of range: give 50 to 12 525 cd/m²; nothing "
           "written\n"
        << QByteArray();
    QTest::newRow("HDR luminance not a number")
        << QStringList { "edit", "IN", "-o", "OUT", "--hdr-max", "" } << 2
        << "vortalex-edid: --hdr-max: \"\" is not a luminance in cd/m²; nothing written\n"
        << QByteArray();
    QTest::newRow("a long value is cut in the message")
        << QStringList { "edit", "IN", "-o", "OUT", "--colorimetry", QString(100, u'c') } << 2
        << "vortalex-edid: --colorimetry: unknown colorimetry \"" + QString(64, u'c')
            + "...\"; nothing written\n"
        << QByteArray();
    QTest::newRow("diff: equal") << QStringList { "diff", "IN", "IN" } << 0 << QString()
                                 << QByteArray();
    QTest::newRow("diff: different")
        << QStringList { "diff", "IN", "AUDIO" } << 1 << QString() << QByteArray();
    QTest::newRow("diff: bad input")
        << QStringList { "diff", "IN", "NONE" } << 2 << "vortalex-edid: " << QByteArray();
    QTest::newRow("unknown option")
        << QStringList { "edit", "IN", "-o", "OUT", "--rename", "X" } << 2
        << "vortalex-edid: unknown option \"--rename\" (did you mean --name?); see vortalex-edid "
           "--help\n"
        << QByteArray();
}

void TestEdidEdit::commandLine()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, error);
    QFETCH(QByteArray, written);
    QTemporaryDir dir;
    QByteArray bad = checkEditableTable(readData(QStringLiteral("sim_tv_a.bin"))).table;
    bad[127] = 0;
    QFile badFile(dir.filePath(QStringLiteral("BAD")));
    QVERIFY(badFile.open(QIODevice::WriteOnly) && badFile.write(bad) == bad.size());
    badFile.close();
    const QHash<QString, QString> tables { { "MON", "edid/hp_monitor_e243_128.bin" },
        { "FRL", "edid/tcl_tv_tcl2875_frl.bin" }, { "BIG", "edid/tcl_tv_tcl9653_512.bin" } };
    for (QString &arg : args) {
        if (tables.contains(arg))
            arg = dataPath(tables.value(arg));
        else if (arg == QLatin1String("NONE"))
            arg = dir.filePath(arg);
        else if (arg == QLatin1String("IN") || arg == QLatin1String("AUDIO"))
            arg = dataPath(arg == QLatin1String("IN") ? QStringLiteral("sim_tv_a.bin")
                                                      : QStringLiteral("edid/yamaha_rx-s600.bin"));
        else if (arg == QLatin1String("OUT") || arg == QLatin1String("BAD"))
            arg = dir.filePath(arg);
    }
    QProcess process;
    process.start(QStringLiteral(VORTALEX_EDID_PROGRAM), args);
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), exitCode);
    const QString stderrText
        = QString::fromUtf8(process.readAllStandardError()).replace(dir.path() + u'/', QString());
    QVERIFY2(stderrText.startsWith(error), qPrintable(stderrText));
    QFile out(dir.filePath(QStringLiteral("OUT")));
    if (args.contains(QStringLiteral("-")))
        QCOMPARE(process.readAllStandardOutput(), written);
    else
        QCOMPARE(out.open(QIODevice::ReadOnly) ? out.readAll() : QByteArray(), written);
}

// The speaker allocation is a decoded fact, so diff shows its removal.
void TestEdidEdit::speakersInDiff()
{
    const QByteArray tv = readData(QStringLiteral("edid/samsung_tv_q90a_420.bin"));
    const QList<EdidFact> facts = diffEdid(tv, removeDataBlocks(tv, SpeakerBlockTag).table);
    QCOMPARE(facts.size(), 1);
    QCOMPARE(facts.first().fact, QStringLiteral("extensions[0].speakers"));
    QCOMPARE(
        facts.first().before, QJsonValue(QJsonArray { "FL/FR", "LFE1", "FC", "BL/BR", "FLC/FRC" }));
    QCOMPARE(facts.first().after, QJsonValue(QJsonArray()));
}

void TestEdidEdit::timingFromSize_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<double>("refresh");
    QTest::addColumn<int>("vic"); // a CTA timing; 0: CVT, checked against edid-decode --cvt
    QTest::newRow("2560x1440@60") << 2560 << 1440 << 60.0 << 0;
    QTest::newRow("1366x768@59.5") << 1366 << 768 << 59.5 << 0;
    QTest::newRow("3440x1440@100") << 3440 << 1440 << 100.0 << 0;
    QTest::newRow("1920x1080@60 is VIC 16") << 1920 << 1080 << 60.0 << 16;
    QTest::newRow("1920x1080@59.94 is VIC 16 too") << 1920 << 1080 << 59.94 << 16;
    QTest::newRow("3840x2160@50 is VIC 96") << 3840 << 2160 << 50.0 << 96;
}

void TestEdidEdit::timingFromSize()
{
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(double, refresh);
    QFETCH(int, vic);
    int taken = -1;
    const DetailedTiming t = timingForSize(width, height, refresh, &taken);
    QCOMPARE(taken, vic);
    if (vic) {
        QCOMPARE(t.pixelClockMhz, vicTiming(vic)->pixelClockMhz);
        return;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("edid-decode")).isEmpty())
        QSKIP("edid-decode is not installed");
    QProcess cvt;
    cvt.start(QStringLiteral("edid-decode"),
        { QStringLiteral("--cvt"),
            QStringLiteral("w=%1,h=%2,fps=%3,rb=2").arg(width).arg(height).arg(refresh) });
    QVERIFY(cvt.waitForFinished());
    const QString out = QString::fromUtf8(cvt.readAllStandardOutput()).simplified();
    const QString ours = QStringLiteral("%1 MHz (RBv2) Hfront %2 Hsync %3 Hback %4 Hpol P "
                                        "Vfront %5 Vsync %6 Vback %7 Vpol N")
                             .arg(t.pixelClockMhz, 0, 'f', 6)
                             .arg(t.hFront)
                             .arg(t.hSync)
                             .arg(t.hBlank - t.hFront - t.hSync)
                             .arg(t.vFront)
                             .arg(t.vSync)
                             .arg(t.vBlank - t.vFront - t.vSync);
    QVERIFY2(out.endsWith(ours), qPrintable(out + u'\n' + ours));
    QVERIFY(t.hSyncPositive && !t.vSyncPositive);
}

QTEST_GUILESS_MAIN(TestEdidEdit)
#include "tst_edidedit.moc"
