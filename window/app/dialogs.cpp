// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace vortalex {

void QtDialogs::linkMessage(const QString &text)
{
    // No owner: the window stays usable while the box is shown.
    QMessageBox box(QMessageBox::Warning, QStringLiteral(" "), text, QMessageBox::Ok);
    box.exec();
}

void QtDialogs::warning(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::warning(parent, title, text, QMessageBox::Ok, QMessageBox::NoButton);
}

Dialogs::Answer QtDialogs::question(const QString &title, const QString &text,
                                    const QString &informativeText)
{
    QMessageBox box;
    if (!title.isEmpty())
        box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    // No is the default: a stray Enter must not overwrite or upload anything.
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void QtDialogs::about(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox::about(parent, title, text);
}

Dialogs::Unsaved QtDialogs::unsavedChanges(QWidget *parent, const QString &title,
                                           const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    // A stray Enter must not throw the edits away.
    box.setDefaultButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return Unsaved::Save;
    case QMessageBox::Discard:
        return Unsaved::Discard;
    default:
        return Unsaved::Cancel;
    }
}

QString QtDialogs::openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, caption, dir, filter);
}

QString QtDialogs::saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                const QString &filter)
{
    return QFileDialog::getSaveFileName(parent, caption, dir, filter);
}

} // namespace vortalex
