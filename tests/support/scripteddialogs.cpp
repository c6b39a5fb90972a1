// SPDX-License-Identifier: GPL-3.0-or-later
#include "scripteddialogs.h"

void ScriptedDialogs::linkMessage(const QString &text)
{
    log << QStringLiteral("link: ") + text;
    if (duringLinkMessage)
        duringLinkMessage();
}

void ScriptedDialogs::warning(QWidget *, const QString &title, const QString &text)
{
    log << QStringLiteral("warning: %1|%2").arg(title, text);
}

vortalex::Dialogs::Answer ScriptedDialogs::question(const QString &title, const QString &text,
                                                    const QString &informativeText)
{
    log << QStringLiteral("question: %1|%2|%3").arg(title, text, informativeText);
    return answers.isEmpty() ? Answer::No : answers.takeFirst();
}

void ScriptedDialogs::about(QWidget *, const QString &title, const QString &text)
{
    log << QStringLiteral("about: %1|%2").arg(title, text);
}

vortalex::Dialogs::Unsaved ScriptedDialogs::unsavedChanges(QWidget *, const QString &title,
                                                           const QString &text)
{
    log << QStringLiteral("unsaved: %1|%2").arg(title, text);
    return unsavedAnswers.isEmpty() ? Unsaved::Cancel : unsavedAnswers.takeFirst();
}

QString ScriptedDialogs::openFileName(QWidget *, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    log << QStringLiteral("open: %1|%2|%3").arg(caption, dir, filter);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedDialogs::saveFileName(QWidget *, const QString &caption, const QString &dir,
                                      const QString &filter)
{
    log << QStringLiteral("save: %1|%2|%3").arg(caption, dir, filter);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}
