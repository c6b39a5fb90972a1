// SPDX-License-Identifier: GPL-3.0-or-later
// status, settings, get, set and reset: the signal status and the CONFIG tab.
#include "clicommands.h"
#include "clisession.h"

#include "settings/settingstable.h"
#include "settings/statusread.h"

#include <QJsonArray>

namespace vortalex {

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
    const QStringList lines { status->videoFormat, status->colour, status->source, status->hdr };

    if (session.options().json) {
        session.printJson({ { QStringLiteral("firmware"), *firmware },
            { QStringLiteral("status"), QJsonArray::fromStringList(lines) } });
        return CliExit::Done;
    }
    session.printLine(QStringLiteral("firmware: ") + *firmware);
    for (const QString &line : lines)
        session.printLine(line);
    return CliExit::Done;
}

int runSettingsCommand(CliSession &session, const QStringList &)
{
    return session.fail(CliExit::BadUsage, QStringLiteral("settings: not available yet"));
}

int runGetCommand(CliSession &session, const QStringList &)
{
    return session.fail(CliExit::BadUsage, QStringLiteral("get: not available yet"));
}

int runSetCommand(CliSession &session, const QStringList &)
{
    return session.fail(CliExit::BadUsage, QStringLiteral("set: not available yet"));
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
                QStringLiteral("unknown reset \"%1\"; give settings, edid or both").arg(arg));
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
    if (!session.requests().writeSetting(SettingId::FactoryReset, choice.value))
        return session.boxFailed();
    if (session.options().json)
        session.printJson({ { QStringLiteral("ok"), true } });
    return CliExit::Done;
}

} // namespace vortalex
