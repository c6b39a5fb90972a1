// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "colour/gamut.h"

#include <QString>
#include <QWidget>

class Ui_EdidDetailsWindow;

// "EDID details": what the table in the EDID text says, as a summary line and
// one tree section per block, problems in red. Non-modal; the main window
// hands it the text on every change.
class EdidDetailsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit EdidDetailsWindow(QWidget *parent = nullptr);
    ~EdidDetailsWindow() override;

    Ui_EdidDetailsWindow *form() const { return ui; }

public slots:
    // Parses `text` as the EDID slots do and shows the decoded table.
    void showEdidText(const QString &text);

private slots:
    void copyAsText();

private:
    // The base block's primaries and white point in the diagram.
    void showGamut(const vortalex::Gamut &gamut);

    Ui_EdidDetailsWindow *ui = nullptr;
    QString m_reportText;
};
