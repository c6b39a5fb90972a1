// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "colour/gamut.h"

#include <QString>
#include <QWidget>

class Ui_EdidDetailsWindow;

namespace vortalex {
class Dialogs;
}

// "EDID details": what the table in the EDID text says, as a summary line and
// one tree section per block, problems in red. Non-modal; the main window
// hands it the text on every change.
class EdidDetailsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit EdidDetailsWindow(vortalex::Dialogs &dialogs, QWidget *parent = nullptr);
    ~EdidDetailsWindow() override;

    Ui_EdidDetailsWindow *form() const { return ui; }

public slots:
    // Reads `text` strictly as a table and shows it decoded, unless a file
    // is shown; the text is kept for "Follow EDID text".
    void showEdidText(const QString &text);

private slots:
    void copyAsText();
    void openFile();
    void followEdidText();

private:
    void showTable(const QByteArray &table);
    void showProblem(const QString &message);

    // The base block's primaries and white point in the diagram.
    void showGamut(const vortalex::Gamut &gamut);

    Ui_EdidDetailsWindow *ui = nullptr;
    vortalex::Dialogs &m_dialogs;
    QString m_reportText;
    QString m_edidText;
    QString m_file; // the file shown, empty while following the EDID text
};
