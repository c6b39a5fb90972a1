// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "text/didyoumean.h"
#include "text/echoedtext.h"

#include <QJsonArray>
#include <algorithm>

namespace vortalex {

namespace {

// `text` in lines of at most `width` characters, broken between words.
QStringList wrapped(const QString &text, int width)
{
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines.append(line);
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    lines.append(line);
    return lines;
}

// A term, at least two spaces, its text, further lines of the text under its
// first. help2man reads each entry as one term and its description, and
// keeps a description whole only when its lines line up.
QString entry(const QString &term, const QString &text, int column)
{
    column = std::max(column, int(term.size()) + 2);
    const QStringList lines = wrapped(text, 79 - column);
    QString result = term.leftJustified(column) + lines[0] + QLatin1Char('\n');
    for (qsizetype i = 1; i < lines.size(); ++i)
        result += QString(column, QLatin1Char(' ')) + lines[i] + QLatin1Char('\n');
    return result;
}

struct OwnedOption
{
    QString option;
    QString command;
    QString sub; // empty: every subcommand
};

QList<OwnedOption> ownedOptions(const QList<CommandEntry> &commands)
{
    QList<OwnedOption> owned;
    for (const CommandEntry &command : commands) {
        for (const QString &item : command.options.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            owned.append({ item.section(QLatin1Char('@'), 0, 0), command.name,
                item.section(QLatin1Char('@'), 1, 1) });
    }
    return owned;
}

bool ownedBy(const OwnedOption &owned, const QStringList &words)
{
    return owned.command == words.value(0) && (owned.sub.isEmpty() || owned.sub == words.value(1));
}

bool ownedByAny(const QList<OwnedOption> &owned, const QString &option)
{
    return std::any_of(owned.cbegin(), owned.cend(),
        [&](const OwnedOption &item) { return item.option == option; });
}

QString optionTerm(const ProgramOption &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString term = names.join(QLatin1String(", "));
    if (!option.valueName.isEmpty())
        term += QStringLiteral(" <%1>").arg(option.valueName);
    return term;
}

QStringList lines(const QString &text)
{
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

ProgramOption programOption(const char *names, const char *valueName, const char *description)
{
    ProgramOption option;
    option.names = QString::fromUtf8(names).split(QLatin1Char(' '));
    option.valueName = QString::fromUtf8(valueName);
    option.description = QString::fromUtf8(description);
    return option;
}

QString unexpectedWord(const QStringList &before, const QString &word)
{
    return QStringLiteral("unexpected \"%1\" after \"%2\"")
        .arg(echoedText(word), echoedText(before.join(QLatin1Char(' '))));
}

QString wordChoice(const QStringList &words)
{
    if (words.size() < 2)
        return words.value(0);
    return words.mid(0, words.size() - 1).join(QLatin1String(", ")) + QLatin1String(" or ")
        + words.constLast();
}

QString unknownWord(const QString &what, const QString &typed, const QStringList &words)
{
    return QStringLiteral("unknown %1 \"%2\"%3; give %4")
        .arg(what, echoedText(typed), didYouMean(typed, words), wordChoice(words));
}

CommandLine::CommandLine(
    const QString &program, const QList<ProgramOption> &options, const QList<CommandEntry> &commands)
    : m_program(program)
    , m_options(options)
    , m_commands(commands)
{
}

const ProgramOption *CommandLine::findLong(const QString &name) const
{
    for (const ProgramOption &option : m_options) {
        if (option.longName() == name && name.size() > 1)
            return &option;
    }
    return nullptr;
}

const ProgramOption *CommandLine::findShort(QChar letter) const
{
    for (const ProgramOption &option : m_options) {
        if (option.names.constFirst() == QString(letter))
            return &option;
    }
    return nullptr;
}

bool CommandLine::fail(const QString &message)
{
    m_error = message;
    return false;
}

bool CommandLine::take(const ProgramOption &option, const QString &shown, const QString &value)
{
    if (!option.repeatable && isSet(option.longName()))
        return fail(QStringLiteral("%1 is given twice").arg(shown));
    m_given.append({ option.longName(), value });
    return true;
}

bool CommandLine::parse(const QStringList &arguments)
{
    m_words.clear();
    m_given.clear();
    m_error.clear();
    QStringList longNames;
    for (const ProgramOption &option : std::as_const(m_options)) {
        if (!option.internal)
            longNames.append(option.longName());
    }
    const auto unknown = [&](const QString &shown, const QString &typed) {
        const QString near = closestWord(typed, longNames);
        return fail(
            QStringLiteral("unknown option \"%1\"%2; see %3 --help")
                .arg(echoedText(shown),
                    near.isNull() ? QString() : QStringLiteral(" (did you mean --%1?)").arg(near),
                    m_program));
    };
    bool optionsEnd = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        if (optionsEnd || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            m_words.append(arg);
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnd = true;
            continue;
        }
        if (arg.startsWith(QLatin1String("--"))) {
            const qsizetype equals = arg.indexOf(QLatin1Char('='));
            const QString name = arg.mid(2, equals < 0 ? -1 : equals - 2);
            const ProgramOption *option = findLong(name);
            if (!option)
                return unknown(arg.left(equals < 0 ? arg.size() : equals), name);
            QString value;
            if (option->valueName.isEmpty() && equals >= 0)
                return fail(QStringLiteral("--%1 takes no value").arg(name));
            if (!option->valueName.isEmpty()) {
                if (equals >= 0)
                    value = arg.mid(equals + 1);
                else if (i + 1 < arguments.size())
                    value = arguments[++i];
                else
                    return fail(QStringLiteral("--%1 needs %2").arg(name, option->valueName));
            }
            if (!take(*option, QStringLiteral("--") + name, value))
                return false;
            continue;
        }
        // One-letter options, several in one word: "-q", "-o FILE", "-oFILE", "-qo FILE".
        for (qsizetype at = 1; at < arg.size(); ++at) {
            const ProgramOption *option = findShort(arg[at]);
            if (!option)
                return at == 1 && arg.size() > 2
                    ? unknown(arg, arg.mid(1))
                    : unknown(QStringLiteral("-") + arg[at], QString());
            const QString shown = QStringLiteral("-") + arg[at];
            if (option->valueName.isEmpty()) {
                if (!take(*option, shown, QString()))
                    return false;
                continue;
            }
            QString value = arg.mid(at + 1);
            if (value.isEmpty()) {
                if (i + 1 == arguments.size())
                    return fail(QStringLiteral("%1 needs %2").arg(shown, option->valueName));
                value = arguments[++i];
            }
            if (!take(*option, shown, value))
                return false;
            break;
        }
    }
    return true;
}

bool CommandLine::isSet(const QString &longName) const
{
    return std::any_of(m_given.cbegin(), m_given.cend(),
        [&](const QPair<QString, QString> &item) { return item.first == longName; });
}

QString CommandLine::value(const QString &longName) const
{
    for (const auto &[name, value] : m_given) {
        if (name == longName)
            return value;
    }
    return QString();
}

bool CommandLine::takesNextWord(const QString &word) const
{
    const ProgramOption *option = nullptr;
    if (word.startsWith(QLatin1String("--")) && !word.contains(QLatin1Char('=')))
        option = findLong(word.mid(2));
    else if (word.size() == 2 && word[0] == QLatin1Char('-'))
        option = findShort(word[1]);
    return option && !option->valueName.isEmpty();
}

QString CommandLine::misplacedOption(const QStringList &words) const
{
    const QList<OwnedOption> owned = ownedOptions(m_commands);
    for (const auto &[option, value] : m_given) {
        QStringList owners;
        bool belongs = false;
        for (const OwnedOption &item : owned) {
            if (item.option != option)
                continue;
            belongs = belongs || ownedBy(item, words);
            const QString owner
                = item.sub.isEmpty() ? item.command : item.command + QLatin1Char(' ') + item.sub;
            if (!owners.contains(owner))
                owners.append(owner);
        }
        if (!owners.isEmpty() && !belongs)
            return QStringLiteral("--%1 belongs to %2")
                .arg(option, owners.join(QLatin1String(" and ")));
    }
    return QString();
}

const CommandEntry *CommandLine::command(const QString &name) const
{
    for (const CommandEntry &command : m_commands) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QStringList CommandLine::commandNames() const
{
    QStringList names;
    for (const CommandEntry &command : m_commands)
        names.append(command.name);
    return names;
}

QString CommandLine::unknownCommand(const QString &typed) const
{
    return QStringLiteral("unknown command \"%1\"%2; the commands are %3")
        .arg(echoedText(typed), didYouMean(typed, commandNames()),
            commandNames().join(QLatin1String(", ")));
}

QStringList CommandLine::commandOptions(const QStringList &words) const
{
    QStringList names;
    for (const OwnedOption &item : ownedOptions(m_commands)) {
        // The command alone: the options of all its subcommands.
        const bool anySub = words.size() == 1 && item.command == words[0];
        if ((anySub || ownedBy(item, words)) && !names.contains(item.option))
            names.append(item.option);
    }
    return names;
}

QString CommandLine::helpText(const QString &usage, const QString &description) const
{
    QString text = QStringLiteral("Usage: ") + usage + QLatin1Char('\n') + description;
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    QStringList terms;
    QList<const ProgramOption *> shown;
    for (const ProgramOption &option : m_options) {
        if (!option.internal && !option.commandHelpOnly) {
            terms.append(QStringLiteral("  ") + optionTerm(option));
            shown.append(&option);
        }
    }
    int column = 0;
    for (const QString &term : std::as_const(terms))
        column = std::max(column, int(term.size()) + 2);
    text += QStringLiteral("\nOptions:\n");
    for (qsizetype i = 0; i < shown.size(); ++i)
        text += entry(terms[i], shown[i]->description, column);
    return text;
}

QString CommandLine::formList(const CommandEntry &command) const
{
    QString text;
    for (const QString &form : lines(command.forms))
        text += entry(QStringLiteral("  ") + form.section(QLatin1Char('\t'), 0, 0),
            form.section(QLatin1Char('\t'), 1), 30);
    return text;
}

QString CommandLine::commandHelp(const CommandEntry &command, const QString &extra) const
{
    QString text;
    for (const QString &form : lines(command.forms))
        text += QStringLiteral("Usage: %1 [options] %2\n")
                    .arg(m_program, form.section(QLatin1Char('\t'), 0, 0));
    text += QLatin1Char('\n') + formList(command);
    if (!extra.isEmpty())
        text += QLatin1Char('\n') + extra;
    const QStringList own = commandOptions({ command.name });
    bool first = true;
    for (const ProgramOption &option : m_options) {
        if (option.internal || !(option.everyCommand || own.contains(option.longName())))
            continue;
        if (first)
            text += QStringLiteral("\nOptions:\n");
        first = false;
        QString term = option.longName();
        if (!option.valueName.isEmpty())
            term += QLatin1Char(' ') + option.valueName;
        text += entry(QStringLiteral("  --") + term, option.description, 24);
    }
    text += QStringLiteral("\nExamples:\n");
    for (const QString &line : lines(command.examples))
        text += QStringLiteral("  ") + line + QLatin1Char('\n');
    return text;
}

QJsonObject CommandLine::optionJson(const ProgramOption &option) const
{
    QJsonArray names;
    for (const QString &name : option.names)
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    return { { QStringLiteral("names"), names },
        { QStringLiteral("value"),
            option.valueName.isEmpty() ? QJsonValue() : QJsonValue(option.valueName) },
        { QStringLiteral("description"), option.description } };
}

QJsonObject CommandLine::commandHelpJson(const CommandEntry &command) const
{
    QJsonArray forms;
    for (const QString &form : lines(command.forms))
        forms.append(
            QJsonObject { { QStringLiteral("usage"), form.section(QLatin1Char('\t'), 0, 0) },
                { QStringLiteral("description"), form.section(QLatin1Char('\t'), 1) } });
    const QStringList own = commandOptions({ command.name });
    QJsonArray options;
    for (const ProgramOption &option : m_options) {
        if (!option.internal && own.contains(option.longName()))
            options.append(optionJson(option));
    }
    return { { QStringLiteral("name"), command.name }, { QStringLiteral("forms"), forms },
        { QStringLiteral("options"), options },
        { QStringLiteral("examples"), QJsonArray::fromStringList(lines(command.examples)) } };
}

QJsonObject CommandLine::helpJson(const QString &version) const
{
    const QList<OwnedOption> owned = ownedOptions(m_commands);
    QJsonArray options;
    for (const ProgramOption &option : m_options) {
        if (!option.internal && !ownedByAny(owned, option.longName()))
            options.append(optionJson(option));
    }
    QJsonArray commands;
    for (const CommandEntry &command : m_commands)
        commands.append(commandHelpJson(command));
    return { { QStringLiteral("program"), m_program }, { QStringLiteral("version"), version },
        { QStringLiteral("options"), options }, { QStringLiteral("commands"), commands } };
}

QStringList CommandLine::optionWords(const QStringList &words) const
{
    const QList<OwnedOption> owned = ownedOptions(m_commands);
    const QStringList own = commandOptions(words);
    QStringList names;
    for (const ProgramOption &option : m_options) {
        if (!option.internal && !ownedByAny(owned, option.longName()))
            names.append(QStringLiteral("--") + option.longName());
    }
    for (const QString &name : own)
        names.append(QStringLiteral("--") + name);
    return names;
}

} // namespace vortalex
