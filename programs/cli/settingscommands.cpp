// SPDX-License-Identifier: GPL-3.0-or-later
// status, settings, get, set and reset: the signal status and the CONFIG tab.
#include "clicommands.h"
#include "clisession.h"
#include "settingsfile.h"
#include "statusjson.h"

#include "program/commandline.h"
#include "settings/settingstable.h"
#include "settings/statusread.h"
#include "text/didyoumean.h"
#include "text/echoedtext.h"

#include <QJsonArray>

namespace vortalex {

namespace {

// A value as the JSON output gives it: its name, or the number when it has none.
QJsonValue jsonValue(const Setting &setting, std::uint8_t value)
{
    return settingJsonValue(setting, value);
}

std::uint8_t blockValue(const Response &block, const Setting &setting)
{
    // The block answer: echo, status byte, then the forty positions.
    return block[2 + setting.position];
}

QStringList settingNames()
{
    QStringList names;
    for (const Setting &setting : settingTable())
        names.append(QString::fromLatin1(setting.name));
    return names;
}

QString allSettingNames()
{
    return settingNames().join(QLatin1String(", "));
}

const Setting *knownSetting(CliSession &session, const QString &name, int &exitCode)
{
    const Setting *setting = findSetting(name);
    if (!setting)
        exitCode = session.fail(CliExit::BadUsage,
            QStringLiteral("unknown setting \"%1\"%2; the settings are %3")
                .arg(echoedText(name), didYouMean(name, settingNames()), allSettingNames()));
    return setting;
}

// The name at `index` of `names` given before it too: refused, as a key
// given twice to infoframe encode is.
int givenTwice(CliSession &session, const QStringList &names, qsizetype index)
{
    if (!names.mid(0, index).contains(names[index]))
        return CliExit::Done;
    return session.fail(
        CliExit::BadUsage, QStringLiteral("%1 is given twice").arg(echoedText(names[index])));
}

// The values of every setting in the block, by name, as JSON.
QJsonObject settingsJson(const Response &block)
{
    QJsonObject settings;
    for (const Setting &setting : settingTable())
        settings.insert(
            QString::fromLatin1(setting.name), jsonValue(setting, blockValue(block, setting)));
    return settings;
}

// The NAME VALUE or NAME=VALUE... arguments of set, all checked; false after
// the message naming the first bad one.
bool settingPairs(
    CliSession &session, const QStringList &args, QList<SettingValuePair> &pairs, int &exitCode)
{
    QStringList names;
    QStringList values;
    if (!args.isEmpty() && !args[0].contains(QLatin1Char('='))) {
        // NAME VALUE: one setting, one value.
        if (args.size() > 2) {
            exitCode = session.fail(CliExit::BadUsage,
                unexpectedWord({ QStringLiteral("set"), args[0], args[1] }, args[2]));
            return false;
        }
        names = args.mid(0, 1);
        values = args.mid(1, 1);
    } else {
        for (const QString &arg : args) {
            if (!arg.contains(QLatin1Char('='))) {
                exitCode = session.fail(CliExit::BadUsage,
                    QStringLiteral("set takes NAME VALUE or NAME=VALUE pairs, not \"%1\"")
                        .arg(echoedText(arg)));
                return false;
            }
            names.append(arg.section(QLatin1Char('='), 0, 0));
            values.append(arg.section(QLatin1Char('='), 1));
        }
    }
    if (values.isEmpty()) {
        exitCode = session.fail(
            CliExit::BadUsage, QStringLiteral("set takes a setting name and a value"));
        return false;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const Setting *setting = knownSetting(session, names[i], exitCode);
        if (!setting || (exitCode = givenTwice(session, names, i)) != CliExit::Done)
            return false;
        // By name only: a raw code is taken only behind --raw.
        const std::optional<std::uint8_t> value = session.options().raw
            ? settingValueFromRawText(*setting, values[i])
            : settingValueFromText(*setting, values[i]);
        if (!value) {
            exitCode = session.fail(CliExit::BadUsage,
                QStringLiteral("%1 takes %2 (with --raw also the number %3 to %4), not \"%5\"%6")
                    .arg(names[i], settingValueNames(*setting).join(QLatin1String(", ")))
                    .arg(settingMinValue(*setting))
                    .arg(settingMaxValue(*setting))
                    .arg(
                        echoedText(values[i]), didYouMean(values[i], settingValueNames(*setting))));
            return false;
        }
        pairs.append({ setting, *value });
    }
    return true;
}

} // namespace

int runStatusCommand(CliSession &session, const QStringList &args)
{
    if (!args.isEmpty())
        return session.fail(
            CliExit::BadUsage, unexpectedWord({ QStringLiteral("status") }, args[0]));
    if (!session.connect())
        return session.exitCode();
    const std::optional<QString> firmware = readFirmwareVersion(session.requests());
    if (!firmware)
        return session.boxFailed();
    const std::optional<SignalStatusPages> pages = readSignalStatusPages(session.requests());
    if (!pages)
        return session.boxFailed();
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    const QStringList lines = signalStatusLines(*pages);

    if (session.options().json) {
        session.printJson({ { QStringLiteral("firmware"), *firmware },
            { QStringLiteral("status"), QJsonArray::fromStringList(lines) },
            { QStringLiteral("signal"), signalStatusJson(*pages) },
            { QStringLiteral("settings"), settingsJson(block) } });
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

// The names and values come from the settings table; the current values
// from the box when one answers (--emulated, or a box on USB).
int runSettingsCommand(CliSession &session, const QStringList &args)
{
    if (args.value(0) == QLatin1String("save") || args.value(0) == QLatin1String("load")) {
        if (args.size() > 2)
            return session.fail(CliExit::BadUsage,
                unexpectedWord({ QStringLiteral("settings"), args[0], args[1] }, args[2]));
        return runSettingsFileCommand(session, args);
    }
    if (!args.isEmpty())
        return session.fail(CliExit::BadUsage,
            unknownWord(QStringLiteral("settings command"), args[0],
                { QStringLiteral("save"), QStringLiteral("load") }));
    Response block;
    const bool withBox = session.connect(true) && session.requests().readSettingsBlock(block);
    QJsonObject all;
    for (const Setting &setting : settingTable()) {
        const QStringList names = settingValueNames(setting);
        const QString name = QString::fromLatin1(setting.name);
        if (session.options().json) {
            QJsonArray values;
            for (const SettingValue &value : setting.values)
                values.append(jsonValue(setting, value.number));
            all.insert(name,
                QJsonObject { { QStringLiteral("values"), values },
                    { QStringLiteral("value"),
                        withBox ? jsonValue(setting, blockValue(block, setting))
                                : QJsonValue() } });
        } else if (withBox) {
            const QString current = settingValueName(setting, blockValue(block, setting));
            session.printLine(
                QStringLiteral("%1: %2 [%3]").arg(name, names.join(QLatin1Char(' ')), current));
        } else {
            session.printLine(QStringLiteral("%1: %2").arg(name, names.join(QLatin1Char(' '))));
        }
    }
    if (session.options().json)
        session.printJson(all);
    return CliExit::Done;
}

// One read of the settings block for any number of names.
int runGetCommand(CliSession &session, const QStringList &args)
{
    int exitCode = CliExit::Done;
    QList<const Setting *> settings;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const Setting *setting = knownSetting(session, args[i], exitCode);
        if (!setting || (exitCode = givenTwice(session, args, i)) != CliExit::Done)
            return exitCode;
        settings.append(setting);
    }
    if (settings.isEmpty()) {
        for (const Setting &setting : settingTable())
            settings.append(&setting);
    }
    if (!session.connect())
        return session.exitCode();
    Response block;
    if (!session.requests().readSettingsBlock(block))
        return session.boxFailed();
    QJsonObject values;
    for (const Setting *setting : std::as_const(settings)) {
        const std::uint8_t value = blockValue(block, *setting);
        const QString name = QString::fromLatin1(setting->name);
        if (session.options().json)
            values.insert(name, jsonValue(*setting, value));
        else if (args.size() == 1)
            session.printLine(settingValueName(*setting, value));
        else
            session.printLine(name + QStringLiteral(": ") + settingValueName(*setting, value));
    }
    if (session.options().json)
        session.printJson(values);
    return CliExit::Done;
}

// Writes the one frame the window's control for each setting writes, in the
// order given, once every pair was checked.
int runSetCommand(CliSession &session, const QStringList &args)
{
    int exitCode = CliExit::Done;
    QList<SettingValuePair> pairs;
    if (!settingPairs(session, args, pairs, exitCode))
        return exitCode;
    if (!session.connect())
        return session.exitCode();
    for (const SettingValuePair &pair : std::as_const(pairs)) {
        if (!session.requests().writeSetting(pair.setting->id, pair.value))
            return session.boxFailed();
    }
    return session.finish(true);
}

// The CONFIG tab's factory reset, without typing RESET: --yes confirms.
int runResetCommand(CliSession &session, const QStringList &args)
{
    bool settings = false;
    bool edid = false;
    const QStringList words { QStringLiteral("settings"), QStringLiteral("edid"),
        QStringLiteral("both") };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (!words.contains(arg))
            return session.fail(CliExit::BadUsage,
                i == 0 ? unknownWord(QStringLiteral("reset target"), arg, words)
                       : unexpectedWord(
                           QStringList { QStringLiteral("reset") } + args.mid(0, i), arg));
        int exitCode = givenTwice(session, args, i);
        if (exitCode != CliExit::Done)
            return exitCode;
        const bool both = arg == QLatin1String("both");
        settings = settings || both || arg == QLatin1String("settings");
        edid = edid || both || arg == QLatin1String("edid");
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
