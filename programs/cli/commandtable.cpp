// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandtable.h"

#include "clicommands.h"

#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"
#include "settings/settingstable.h"

namespace vortalex {

namespace {

QStringList settingNames()
{
    QStringList names;
    for (const Setting &setting : settingTable())
        names.append(QString::fromLatin1(setting.name));
    return names;
}

// NAME=VALUE words for the setting named before the '=' of `typed`.
QStringList settingPairs(const QString &typed)
{
    const Setting *setting = findSetting(typed.section(QLatin1Char('='), 0, 0));
    if (!setting)
        return {};
    QStringList pairs;
    for (const QString &value : settingValueNames(*setting))
        pairs.append(QStringLiteral("%1=%2").arg(QString::fromLatin1(setting->name), value));
    return pairs;
}

QStringList noWords(const QStringList &)
{
    return {};
}

QStringList completeGet(const QStringList &)
{
    return settingNames();
}

// set NAME VALUE, or NAME=VALUE pairs.
QStringList completeSet(const QStringList &args)
{
    const QString typed = args.value(args.size() - 1);
    if (typed.contains(QLatin1Char('=')))
        return settingPairs(typed);
    if (args.size() == 2) {
        if (const Setting *setting = findSetting(args[0]))
            return settingValueNames(*setting);
    }
    return settingNames();
}

QStringList completeSettings(const QStringList &args)
{
    if (args.size() == 1)
        return { QStringLiteral("save"), QStringLiteral("load") };
    return {};
}

QStringList completeEdid(const QStringList &args)
{
    if (args.size() == 1)
        return { QStringLiteral("read"), QStringLiteral("write"), QStringLiteral("check"),
            QStringLiteral("decode") };
    if (args.size() == 2 && args[0] == QLatin1String("read"))
        return { QStringLiteral("box"), QStringLiteral("top"), QStringLiteral("bot") };
    return {};
}

QStringList completeCec(const QStringList &args)
{
    if (args.size() == 1)
        return { QStringLiteral("send"), QStringLiteral("store") };
    if (args.size() == 2 && args[0] == QLatin1String("store"))
        return { QStringLiteral("sp"), QStringLiteral("lp") };
    return {};
}

// The keys of "infoframe encode hdr|avi" and the words they take, from the
// InfoFrame parsers' own key tables: for the help and the completion.
QStringList encodeWords(const QList<QPair<QString, QString>> &keys)
{
    QStringList words;
    for (const auto &[name, values] : keys) {
        const QString key = name + QLatin1Char('=');
        words.append(key);
        // Named values only: ranges and coordinates are typed.
        QString list = values;
        list.replace(QLatin1String(" or "), QLatin1String(", "));
        for (const QString &value : list.split(QLatin1String(", "))) {
            if (!value.isEmpty() && value[0].isLetter() && !value.contains(QLatin1Char(' '))
                && !value.contains(QLatin1Char(',')))
                words.append(key + value);
        }
    }
    return words;
}

QString encodeKeyHelp(const char *title, const QList<QPair<QString, QString>> &keys)
{
    QString text = QString::fromLatin1(title) + QLatin1Char('\n');
    for (const auto &[name, values] : keys)
        text += (QStringLiteral("  ") + name).leftJustified(30) + values + QLatin1Char('\n');
    return text;
}

QStringList completeInfoFrame(const QStringList &args)
{
    if (args.size() == 1)
        return { QStringLiteral("hdr"), QStringLiteral("avi"), QStringLiteral("decode"),
            QStringLiteral("encode") };
    const bool codec = args[0] == QLatin1String("decode") || args[0] == QLatin1String("encode");
    if (args.size() == 2 && codec)
        return { QStringLiteral("hdr"), QStringLiteral("avi") };
    if (args.size() >= 3 && args[0] == QLatin1String("encode"))
        return args[1] == QLatin1String("hdr") ? encodeWords(hdrKeyWords()) : encodeWords(aviKeyWords());
    return {};
}

QStringList completeReset(const QStringList &args)
{
    QStringList words { QStringLiteral("settings"), QStringLiteral("edid"),
        QStringLiteral("both") };
    if (args.size() > 1)
        words.append(QStringLiteral("--yes"));
    return words;
}

QStringList completeHelp(const QStringList &args)
{
    QStringList names;
    if (args.size() == 1) {
        for (const CliCommand &command : cliCommands())
            names.append(QString::fromLatin1(command.name));
    }
    return names;
}

} // namespace

const QList<CliCommand> &cliCommands()
{
    static const QList<CliCommand> commands {
        { "status",
            "status\tfirmware, the four signal status lines and every setting; with --json also "
            "each fact of the lines and the captured InfoFrames decoded",
            "", runStatusCommand, noWords, "vortalex-cli status\nvortalex-cli --json status" },
        { "settings",
            "settings\tevery setting with its allowed values and, with a box, its value\n"
            "settings save FILE\tevery setting in a JSON file (--edid: the box's EDID too; "
            "FILE - is standard output)\n"
            "settings load FILE\twrite what differs from FILE, all of it checked first "
            "(--dry-run: print the frames, send none)",
            "edid@save dry-run@load", runSettingsCommand, completeSettings,
            "vortalex-cli settings\nvortalex-cli settings save box.json --edid\n"
            "vortalex-cli settings load box.json --dry-run" },
        { "get", "get [NAME...]\tthe values of the named settings, or of every setting", "",
            runGetCommand, completeGet,
            "vortalex-cli get active-input\nvortalex-cli --json get hdcp edid-mode" },
        { "set",
            "set NAME VALUE\twrite one setting (a value name; its number only with --raw)\n"
            "set NAME=VALUE...\twrite several settings; every pair is checked before the "
            "first is written",
            "raw", runSetCommand, completeSet,
            "vortalex-cli set active-input port-b\nvortalex-cli set green-led=off blue-leds=off" },
        { "watch",
            "watch\tthe signal status every --interval seconds (default 3): a line, with --json "
            "a JSON object, each time it changes; exit 3 when the box goes",
            "interval", runWatchCommand, noWords,
            "vortalex-cli watch\nvortalex-cli --json watch --interval 1" },
        { "edid",
            "edid read [box|top|bot]\tthe box's EDID or the EDID of the TV on the top or "
            "bottom output: hex text on standard output, or with -o FILE the raw 256 bytes in "
            "FILE (- for standard output), checked before the box is read\n"
            "edid write FILE\twrite a raw table or hex dump to the box; a bad checksum is "
            "refused unless --fix-checksums repairs it, a table without the EDID header unless "
            "--force; the box uses it with edid-mode custom, custom-edid 0\n"
            "edid check FILE\twhether the box can hold the table (a base block and one "
            "extension; exit 2 when not), then the header and the checksum of every block "
            "(exit 1 when one is wrong)\n"
            "edid decode FILE\twhat the table says: a report, or with --json its JSON object "
            "(FILE - reads standard input; exit 1 when the table has problems)",
            "output@read fix-checksums@write force@write", runEdidCommand, completeEdid,
            "vortalex-cli edid read top -o tv.bin\nvortalex-cli edid write tv.bin\n"
            "vortalex-cli --json edid decode tv.bin" },
        { "cec",
            "cec send HEX\tsend a CEC message of up to 16 bytes, e.g. 40:04 (power on)\n"
            "cec store sp|lp HEX\tstore a CEC command in the box",
            "", runCecCommand, completeCec, "vortalex-cli cec send 40:04" },
        { "infoframe",
            "infoframe hdr HEX\tinject an HDR InfoFrame (refused when it does not decode, unless "
            "--raw); --force also sets FORCE HDR ACTIVE\n"
            "infoframe avi HEX\tinject AVI InfoFrame data bytes (the same check); --replace also "
            "sets REPLACE AVI\n"
            "infoframe decode hdr|avi HEX\tan InfoFrame in real units (report or JSON; exit 1 "
            "when the frame has problems)\n"
            "infoframe encode hdr|avi KEY=VALUE...\tthe hex list of an InfoFrame from real "
            "units; the keys are listed below",
            "force@hdr replace@avi raw@hdr raw@avi", runInfoFrameCommand, completeInfoFrame,
            "vortalex-cli infoframe encode hdr eotf=pq max-cll=1000\n"
            "vortalex-cli --json infoframe decode avi 40:a8:00:61:00" },
        { "reset",
            "reset settings|edid|both --yes\tfactory reset of the settings, the EDID or both",
            "yes", runResetCommand, completeReset, "vortalex-cli reset both --yes" },
        { "help", "help [COMMAND]\tthe usage, options and examples of one command", "", nullptr,
            completeHelp, "vortalex-cli help set" },
    };
    return commands;
}

const CliCommand *findCliCommand(const QString &name)
{
    for (const CliCommand &command : cliCommands()) {
        if (name == QLatin1String(command.name))
            return &command;
    }
    return nullptr;
}

QString cliCommandList()
{
    const CommandLine commandLine(QStringLiteral("vortalex-cli"), {}, commandEntries(cliCommands()));
    QString text = QStringLiteral("Commands:\n");
    for (const CommandEntry &command : commandLine.commands())
        text += commandLine.formList(command);
    return text + QLatin1Char('\n') + encodeKeyHelp("Keys of infoframe encode hdr:", hdrKeyWords())
        + QLatin1Char('\n') + encodeKeyHelp("Keys of infoframe encode avi:", aviKeyWords());
}

QString cliCommandHelp(const CommandLine &commandLine, const CliCommand &command)
{
    const QString name = QString::fromLatin1(command.name);
    const QString keys = name == QLatin1String("infoframe")
        ? encodeKeyHelp("Keys of encode hdr:", hdrKeyWords()) + QLatin1Char('\n')
            + encodeKeyHelp("Keys of encode avi:", aviKeyWords())
        : QString();
    return commandLine.commandHelp(*commandLine.command(name), keys);
}

} // namespace vortalex
