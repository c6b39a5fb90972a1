// SPDX-License-Identifier: GPL-3.0-or-later
// status, settings, get, set and reset: the signal status and the CONFIG tab.
#include "clicommands.h"
#include "clisession.h"

#include "settings/settingstable.h"
#include "settings/statusread.h"
#include "texts/echoedtext.h"

#include <QJsonArray>

namespace vortalex {

namespace {

// A value as the JSON output gives it: its name, or the number when it has none.
QJsonValue jsonValue(const Setting &setting, std::uint8_t value)
{
    const SettingValue *entry = findSettingValue(setting, value);
    if (entry && entry->name)
        return QString::fromLatin1(entry->name);
    return int(value);
}

std::uint8_t blockValue(const Response &block, const Setting &setting)
{
    // The block answer: echo, status byte, then the forty positions.
    return block[2 + setting.position];
}

QString allSettingNames()
{
    QStringList names;
    for (const Setting &setting : settingTable())
        names.append(QString::fromLatin1(setting.name));
    return names.join(QLatin1String(", "));
}

const Setting *knownSetting(CliSession &session, const QString &name, int &exitCode)
{
    const Setting *setting = findSetting(name);
    if (!setting)
        exitCode = session.fail(CliExit::BadUsage,
            QStringLiteral("unknown setting \"%1\"; the settings are %2")
                .arg(echoedText(name), allSettingNames()));
    return setting;
}

} // namespace

int runStatusCommand(CliSession &session, const QStringList &args)
{
    if (!args.isEmpty())
        return session.fail(CliExit::BadUsage, QStringLiteral("status takes no arguments"));
    if (!session.connect())
        return session.exitCode();
    const std::optional<QString> firmware = readFirmwareVersion(session.requests());
    if (!firmware)
        return session.boxFailed();
    const std::optional<SignalStatusTexts> status = readSignalStatus(session.requests());
    if (!status)
        return session.boxFailed();
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    const QStringList lines { status->videoFormat, status->colour, status->source, status->hdr };

    if (session.options().json) {
        QJsonObject settings;
        for (const Setting &setting : settingTable())
            settings.insert(
                QString::fromLatin1(setting.name), jsonValue(setting, blockValue(block, setting)));
        session.printJson({ { QStringLiteral("firmware"), *firmware },
            { QStringLiteral("status"), QJsonArray::fromStringList(lines) },
            { QStringLiteral("settings"), settings } });
        return CliExit::Done;
    }
    session.printLine(QStringLiteral("firmware: ") + *firmware);
    for (const QString &line : lines)
        session.printLine(line);
    for (const Setting &setting : settingTable())
        session.printLine(QStringLiteral("%1: %2").arg(QString::fromLatin1(setting.name),
            settingValueName(setting, blockValue(block, setting))));
    return CliExit::Done;
}

// Needs no box: the names come from the settings table.
int runSettingsCommand(CliSession &session, const QStringList &args)
{
    if (!args.isEmpty())
        return session.fail(CliExit::BadUsage, QStringLiteral("settings takes no arguments"));
    QJsonObject all;
    for (const Setting &setting : settingTable()) {
        const QStringList names = settingValueNames(setting);
        if (session.options().json)
            all.insert(QString::fromLatin1(setting.name), QJsonArray::fromStringList(names));
        else
            session.printLine(QStringLiteral("%1: %2").arg(
                QString::fromLatin1(setting.name), names.join(QLatin1Char(' '))));
    }
    if (session.options().json)
        session.printJson(all);
    return CliExit::Done;
}

int runGetCommand(CliSession &session, const QStringList &args)
{
    if (args.size() != 1)
        return session.fail(CliExit::BadUsage, QStringLiteral("get takes a setting name"));
    int exitCode = CliExit::Done;
    const Setting *setting = knownSetting(session, args[0], exitCode);
    if (!setting)
        return exitCode;
    if (!session.connect())
        return session.exitCode();
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    const std::uint8_t value = blockValue(block, *setting);
    if (session.options().json)
        session.printJson({ { QStringLiteral("name"), args[0] },
            { QStringLiteral("value"), settingValueName(*setting, value) },
            { QStringLiteral("number"), int(value) } });
    else
        session.printLine(settingValueName(*setting, value));
    return CliExit::Done;
}

// Writes the one frame the window's control for the setting writes.
int runSetCommand(CliSession &session, const QStringList &args)
{
    if (args.size() != 2)
        return session.fail(
            CliExit::BadUsage, QStringLiteral("set takes a setting name and a value"));
    int exitCode = CliExit::Done;
    const Setting *setting = knownSetting(session, args[0], exitCode);
    if (!setting)
        return exitCode;
    // By name only: a raw code is taken only behind --raw.
    const bool raw = session.options().raw;
    const std::optional<std::uint8_t> value = raw ? settingValueFromRawText(*setting, args[1])
                                                  : settingValueFromText(*setting, args[1]);
    if (!value)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("%1 takes %2 (with --raw also the number %3 to %4), not \"%5\"")
                .arg(args[0], settingValueNames(*setting).join(QLatin1String(", ")))
                .arg(settingMinValue(*setting))
                .arg(settingMaxValue(*setting))
                .arg(echoedText(args[1])));
    if (!session.connect())
        return session.exitCode();
    return session.finish(session.requests().writeSetting(setting->id, *value));
}

// The CONFIG tab's factory reset, without typing RESET: --yes confirms.
int runResetCommand(CliSession &session, const QStringList &args)
{
    bool settings = false;
    bool edid = false;
    for (const QString &arg : args) {
        if (arg == QLatin1String("settings"))
            settings = true;
        else if (arg == QLatin1String("edid"))
            edid = true;
        else
            return session.fail(CliExit::BadUsage,
                QStringLiteral("unknown reset \"%1\"; give settings, edid or both")
                    .arg(echoedText(arg)));
    }
    if (!settings && !edid)
        return session.fail(
            CliExit::BadUsage, QStringLiteral("reset takes settings, edid or both"));
    if (!session.options().yes)
        return session.fail(CliExit::BadUsage,
            QStringLiteral("a factory reset cannot be undone; add --yes to confirm it"));
    const FactoryResetChoice choice
        = chooseFactoryReset(QString::fromLatin1(kResetConfirmationWord), settings, edid);
    if (!session.connect())
        return session.exitCode();
    return session.finish(session.requests().writeSetting(SettingId::FactoryReset, choice.value));
}

} // namespace vortalex
