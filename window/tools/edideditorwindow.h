// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edid/edidinfo.h"

#include <QByteArray>
#include <QUndoStack>
#include <QWidget>

class QCheckBox;
class QTextEdit;
class Ui_EdidEditorWindow;

namespace vortalex {
class Dialogs;
struct EdidEditResult;
} // namespace vortalex

// "EDID editor": changes the table of the EDID text (or of a file) in real
// units with the edits of edid/edidedit.h, shows what changed against the
// starting table and the problems of the result, and puts the result back
// into the EDID text ("Use") or a file. Every edit is one step on an undo
// stack that keeps whole tables. Non-modal.
class EdidEditorWindow : public QWidget
{
    Q_OBJECT

public:
    EdidEditorWindow(QTextEdit *edidText, vortalex::Dialogs &dialogs, QWidget *parent = nullptr);
    ~EdidEditorWindow() override;

    Ui_EdidEditorWindow *form() const { return ui; }
    QByteArray table() const { return m_table; }
    QUndoStack &undoStack() { return m_undo; }

    // Starts over from the table in the EDID text (after asking about
    // edits that are neither used nor saved).
    void startFromEdidText();
    // Shows `table` (an undo step sets it).
    void showTable(const QByteArray &table);

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // True when nothing unsaved would be lost, or the user chose to save it
    // (and it was saved) or to discard it.
    bool mayDiscardEdits();
    void startFrom(const QByteArray &table, const QString &source);
    // Pushes a successful edit as one undo step, or shows the refusal.
    // `unchanged` says why an edit that changes nothing changed nothing.
    void apply(const vortalex::EdidEditResult &result, const QString &what,
        const QString &unchanged = QString());
    void showExtension(const QByteArray &table, const vortalex::EdidInfo &info);
    void showNativeButton();
    void setLuminance();
    void setTimingFromSize();
    void setRange();
    void addAudio();
    // Fills the audio fields from the chosen descriptor and shows the
    // fields its format takes.
    void showAudioFields();
    QList<QCheckBox *> rateChecks() const;
    QList<QCheckBox *> depthChecks() const;
    void connectEdits();
    bool askForTable(const QString &title, QString &name, QByteArray &bytes);
    void openFile();
    void audioFromFile();
    void use();
    bool saveAs();
    void showStatus(const QString &text, bool problem);

    Ui_EdidEditorWindow *ui = nullptr;
    QTextEdit *m_edidText = nullptr;
    vortalex::Dialogs &m_dialogs;
    QUndoStack m_undo;
    QByteArray m_start;
    QByteArray m_table;
    QList<vortalex::AudioDescriptor> m_audio; // the audio list's descriptors
    bool m_showing = false;
};
