// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace vortalex {

// Every message box and file dialog of the window goes through this interface,
// so that tests answer them directly instead of driving modal windows.
class Dialogs
{
public:
    enum class Answer { Yes, No };
    enum class Unsaved { Save, Discard, Cancel };

    virtual ~Dialogs() = default;

    // A link warning: blocking, caption " ", warning icon, OK, no owner window.
    virtual void linkMessage(const QString &text) = 0;
    // A warning box with one OK button, owned by `parent`.
    virtual void warning(QWidget *parent, const QString &title, const QString &text) = 0;
    // A top-level Yes/No question without icon; `title` may be empty.
    virtual Answer question(const QString &title, const QString &text,
                            const QString &informativeText)
            = 0;
    virtual void about(QWidget *parent, const QString &title, const QString &text) = 0;
    // Work that is not saved would be lost: Save, Discard or Cancel, owned by
    // `parent`; Cancel is the default.
    virtual Unsaved unsavedChanges(QWidget *parent, const QString &title, const QString &text) = 0;
    // File dialogs; an empty result means the user cancelled.
    virtual QString openFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter)
            = 0;
    virtual QString saveFileName(QWidget *parent, const QString &caption, const QString &dir,
                                 const QString &filter)
            = 0;
};

// The real boxes and dialogs of Qt.
class QtDialogs : public Dialogs
{
public:
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

} // namespace vortalex
