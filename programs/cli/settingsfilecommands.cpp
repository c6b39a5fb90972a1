// SPDX-License-Identifier: GPL-3.0-or-later
// settings save and settings load: the box's configuration in a small JSON
// file and back.
#include "clicommands.h"
#include "clisession.h"
#include "settingsfile.h"

#include "link/frames.h"
#include "boxedid/edidtransfer.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QSaveFile>

namespace vortalex {

namespace {

// The frame as the frame log shows it: "10 04 E0 17 00".
QString frameText(const QByteArray &frame)
{
    return QString::fromLatin1(frame.toHex(' ').toUpper());
}

// Null when `data` is in `name`; else why not. "-" is standard output's
// business and never reaches here.
QString writeFile(const QString &name, const QByteArray &data)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return file.errorString();
    return QString();
}

int save(CliSession &session, const QString &name)
{
    if (QFileInfo(name).isDir())
        return session.fail(
            CliExit::BadUsage, QStringLiteral("cannot write file %1: it is a directory").arg(name));
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
    if (name == QLatin1String("-")) {
        session.printLine(QString::fromUtf8(text).trimmed());
        return CliExit::Done;
    }
    const QString reason = writeFile(name, text);
    if (!reason.isNull())
        return session.fail(
            CliExit::BadUsage, QStringLiteral("cannot write file %1: %2").arg(name, reason));
    return session.finish(true);
}

int load(CliSession &session, const QString &name)
{
    QFile input(name);
    if (!input.open(QIODevice::ReadOnly))
        return session.fail(CliExit::BadUsage,
            QStringLiteral("cannot read file %1: %2").arg(name, input.errorString()));
    SettingsFile file;
    QString error;
    if (!parseSettingsFile(input.read(1 << 20), file, error))
        return session.fail(
            CliExit::BadUsage, QStringLiteral("%1: %2; nothing was sent").arg(name, error));
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
