// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/dialogs.h"

#include <QList>
#include <QStringList>

// Answers every box and file dialog of the window without showing anything,
// and logs each one as a line:
//   "link: TEXT", "warning: TITLE|TEXT", "question: TITLE|TEXT|INFO",
//   "about: TITLE|TEXT", "unsaved: TITLE|TEXT", "open: CAPTION|DIR|FILTER", "save: CAPTION|DIR|FILTER".
class ScriptedDialogs : public vortalex::Dialogs
{
public:
    QStringList log;
    // Answers to questions, first to last; No when empty.
    QList<Answer> answers;
    // Answers to unsaved-changes questions, first to last; Cancel when empty.
    QList<Unsaved> unsavedAnswers;
    // File names for the open and save dialogs, first to last; "" (cancel) when empty.
    QStringList fileNames;
    // Runs inside each link message, as a nested event loop would.
    std::function<void()> duringLinkMessage;

    void linkMessage(const QString &text) override;
    void warning(QWidget *parent, const QString &title, const QString &text) override;
    Answer question(const QString &title, const QString &text,
                    const QString &informativeText) override;
    void about(QWidget *parent, const QString &title, const QString &text) override;
    Unsaved unsavedChanges(QWidget *parent, const QString &title, const QString &text) override;
    QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                         const QString &filter) override;
};
