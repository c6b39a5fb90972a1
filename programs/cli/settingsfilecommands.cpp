// SPDX-License-Identifier: GPL-3.0-or-later
// settings save and settings load: the box's configuration in a small JSON
// file and back.
#include "clicommands.h"
#include "clisession.h"
#include "settingsfile.h"

#include "link/frames.h"
#include "boxedid/edidtransfer.h"

#include "files/inputfile.h"
#include "files/outputfile.h"
#include "text/echoedtext.h"

#include <QJsonArray>

namespace vortalex {

namespace {

// The frame as the frame log shows it: "10 04 E0 17 00".
QString frameText(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

// The largest settings file read; a settings file is a few hundred bytes.
constexpr qint64 kSettingsFileMaxBytes = 1 << 20;

int save(CliSession &session, const QString &name)
{
    // The target is checked before the box is read; "-" is standard output.
    const bool toStdout = name == QLatin1String("-");
    const QString targetProblem = toStdout ? QString() : outputTargetProblem(name);
    if (!targetProblem.isNull())
        return session.fail(CliExit::BadUsage,
            QStringLiteral("cannot write file %1: %2").arg(echoedText(name), targetProblem));
    if (!session.connect())
        return session.exitCode();
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    SettingsFile file;
    for (const Setting &setting : settingTable())
        file.settings.append({ &setting, block[2 + setting.position] });
    if (session.options().saveEdid) {
        EdidTable table {};
        if (!readEdid(session.requests(), session.clock(), EdidSource::Box,
                session.progress(QStringLiteral("Reading EDID")), table))
            return session.boxFailed();
        file.edid = table;
    }
    const QByteArray text = settingsFileText(file);
    if (toStdout) {
        session.printLine(QString::fromUtf8(text).trimmed());
        return CliExit::Done;
    }
    const QString reason = writeOutputFile(name, text);
    if (!reason.isNull())
        return session.fail(CliExit::BadUsage,
            QStringLiteral("cannot write file %1: %2").arg(echoedText(name), reason));
    return session.finish(true);
}

int load(CliSession &session, const QString &name)
{
    QByteArray text;
    QString error;
    if (!readInputFile(name, kSettingsFileMaxBytes + 1, text, error))
        return session.fail(CliExit::BadUsage,
            QStringLiteral("cannot read file %1: %2").arg(shownFileName(name), error));
    if (text.size() > kSettingsFileMaxBytes)
        error = QStringLiteral("more than %1 bytes, too large for a settings file")
                    .arg(kSettingsFileMaxBytes);
    SettingsFile file;
    if (!error.isNull() || !parseSettingsFile(text, file, error))
        return session.fail(CliExit::BadUsage,
            QStringLiteral("%1: %2; nothing was sent").arg(shownFileName(name), error));
    if (!session.connect())
        return session.exitCode();

    // Only what differs from the box is written.
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    QList<SettingValuePair> changes;
    QStringList frames;
    QJsonArray changed;
    for (const SettingValuePair &pair : std::as_const(file.settings)) {
        if (block[2 + pair.setting->position] == pair.value)
            continue;
        changes.append(pair);
        changed.append(QString::fromLatin1(pair.setting->name));
        frames.append(frameText(Frames::writeSetting(pair.setting->id, pair.value)));
    }
    bool edidChanged = false;
    if (file.edid) {
        EdidTable boxTable {};
        if (!readEdid(session.requests(), session.clock(), EdidSource::Box,
                session.progress(QStringLiteral("Reading EDID")), boxTable))
            return session.boxFailed();
        edidChanged = boxTable != *file.edid;
        for (int offset = 0; edidChanged && offset < kEdidSize; offset += kEdidWriteChunk)
            frames.append(
                frameText(Frames::chunkWrite(std::uint8_t(offset), file.edid->data() + offset)));
        if (edidChanged)
            frames.append(frameText(Frames::apply()));
    }

    const bool dryRun = session.options().dryRun;
    if (!dryRun) {
        for (const SettingValuePair &pair : std::as_const(changes)) {
            if (!session.requests().writeSetting(pair.setting->id, pair.value))
                return session.boxFailed();
        }
        if (edidChanged) {
            const EdidWriteOutcome outcome = writeEdid(session.requests(), session.clock(),
                *file.edid, session.progress(QStringLiteral("Writing EDID")));
            if (outcome.failedChunks != 0 || !outcome.applied)
                return session.boxFailed();
        }
    }
    if (session.options().json) {
        session.printJson({ { QStringLiteral("dry_run"), dryRun },
            { QStringLiteral("changed"), changed }, { QStringLiteral("edid_changed"), edidChanged },
            { QStringLiteral("frames"), QJsonArray::fromStringList(frames) } });
    } else if (dryRun) {
        for (const QString &frame : std::as_const(frames))
            session.printLine(QStringLiteral("> ") + frame);
    }
    return CliExit::Done;
}

} // namespace

int runSettingsFileCommand(CliSession &session, const QStringList &args)
{
    if (args.size() != 2)
        return session.fail(
            CliExit::BadUsage, QStringLiteral("settings %1 takes a FILE").arg(args.value(0)));
    return args[0] == QLatin1String("save") ? save(session, args[1]) : load(session, args[1]);
}

} // namespace vortalex
