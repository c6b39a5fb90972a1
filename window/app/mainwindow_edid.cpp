// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "boxedid/edidfile.h"
#include "boxedid/edidfileio.h"
#include "boxedid/edidtext.h"
#include "boxedid/edidtransfer.h"
#include "boxedid/edidwritecheck.h"
#include "dialogs.h"
#include "ui_VortalexForm.h"

#include <QProgressBar>
#include <QStatusBar>
#include <QTextCursor>

using namespace vortalex;

namespace {

constexpr int kStatusMs = 2000;
constexpr int kWriteRefusedMs = 4000;
// The formatted table is drawn at 8 points divided by the display scale
// factor, so that it keeps its size in pixels on every screen.
constexpr qreal kEdidPointSize = 8.0;
const QColor kTextFileColour(0, 0, 255);

QString utilityTitle()
{
    return MainWindow::tr("VORTALEX Utility");
}

// What stands against the write, as the user reads it; empty for Fine.
QString edidWriteCheckText(const EdidWriteCheck &check)
{
    switch (check.verdict) {
    case EdidWriteVerdict::TooShort:
        return MainWindow::tr("The EDID table holds only %1 bytes; nothing was written.")
            .arg(check.byteCount);
    case EdidWriteVerdict::HeaderMissing:
        return MainWindow::tr("The table does not start with the EDID header. Write anyway?");
    case EdidWriteVerdict::Fine:
        break;
    }
    return QString();
}

// Replaces the text of `edit` with the canonical layout of `table`: black,
// checksum bytes bold, the other line-final bytes normal, the rest without a
// weight of its own.
void showEdidTable(QTextEdit *edit, const EdidTable &table, float scaleFactor)
{
    // Before start-up has measured the screen the factor is still 0.
    const qreal factor = scaleFactor > 0.0f ? qreal(scaleFactor) : 1.0;
    edit->clear();
    QTextCursor cursor = edit->textCursor();
    cursor.clearSelection();
    cursor.movePosition(QTextCursor::Start);

    QTextCharFormat ordinary;
    ordinary.setForeground(QBrush(Qt::black, Qt::SolidPattern));
    ordinary.setFontPointSize(kEdidPointSize / factor);
    QTextCharFormat lineEnd = ordinary;

    for (int i = 0; i < kEdidSize; ++i) {
        const QString byte = edidByteText(table[std::size_t(i)]);
        const EdidBytePlace place = edidBytePlace(i);
        if (place == EdidBytePlace::MidLine) {
            cursor.insertText(byte + QLatin1Char(' '), ordinary);
            continue;
        }
        // QFont::Bold and QFont::Normal are the weights Qt 4 numbered 75 and 50.
        lineEnd.setFontWeight(place == EdidBytePlace::Checksum ? QFont::Bold : QFont::Normal);
        cursor.insertText(byte, lineEnd);
        // The line feed takes the format of the byte before it.
        cursor.insertText(QStringLiteral("\n"));
    }
}

// Colour and weight become the edit's current format first, so the new
// text takes them.
void setStyledText(QTextEdit *edit, const QString &text, const QColor &colour, int weight)
{
    edit->setTextColor(colour);
    edit->setFontWeight(weight);
    // Plain text: a loaded file is never interpreted as rich text.
    edit->setPlainText(text);
}

// One bar serves every EDID read and write: made on first use, hidden at the
// start of each, so that no bars pile up in the status bar.
void prepareProgressBar(QStatusBar *statusBar, QProgressBar *&bar)
{
    if (!bar) {
        bar = new QProgressBar(statusBar);
        bar->setTextVisible(false);
        bar->hide();
        statusBar->addPermanentWidget(bar, 0);
    }
    bar->hide();
}

} // namespace

void MainWindow::on_ProgressChange(int a, int b)
{
    if (!m_edidProgress)
        return;
    if (a <= 0 || b <= 0) {
        m_edidProgress->hide();
        return;
    }
    m_edidProgress->show();
    m_edidProgress->setRange(0, b);
    m_edidProgress->setValue(a);
}

void MainWindow::ReadEDID()
{
    readEdidFrom(EdidSource::Box);
}

void MainWindow::readTvEdidA()
{
    readEdidFrom(EdidSource::TvA);
}

void MainWindow::readTvEdidB()
{
    readEdidFrom(EdidSource::TvB);
}

void MainWindow::readEdidFrom(EdidSource source)
{
    prepareProgressBar(statusBar(), m_edidProgress);
    EdidTable table {};
    const bool complete = readEdid(
        m_requests, m_context.clock, source,
        [this](int value, int maximum) { on_ProgressChange(value, maximum); }, table);
    // A failed chunk leaves the previous text as it was.
    if (complete)
        setStyledText(ui->EDIDtext, formatEdidText(table), Qt::black, QFont::Normal);
}

bool MainWindow::readEdidTextOrWarn(EdidTable &table, int &byteCount)
{
    if (parseEdidTable(ui->EDIDtext->toPlainText(), table, byteCount))
        return true;
    m_context.dialogs.warning(this, utilityTitle(), tr("Hex Format Error"));
    return false;
}

void MainWindow::CalculateChkSum()
{
    EdidTable table {};
    int byteCount = 0;
    if (!readEdidTextOrWarn(table, byteCount))
        return;
    if (!tablePassesChecksums(table)) {
        const auto answer
            = m_context.dialogs.question(QString(), tr("The EDID Checksum is not correct."),
                tr("Do you want to calculate a new checksum?"));
        if (answer != Dialogs::Answer::Yes)
            return;
        repairChecksums(table);
    }
    showEdidTable(ui->EDIDtext, table, m_context.displayScaleFactor);
}

void MainWindow::WriteEDID()
{
    // Only the custom mode with the uploaded preset takes a table.
    if (ui->automixEDID->isChecked() || ui->fixedEDID->isChecked()
        || ui->cmBEdid->currentIndex() != 0) {
        m_context.dialogs.warning(
            this, utilityTitle(), tr("\nSelect CUSTOM EDID TABLE mode to upload an EDID table\n"));
        return;
    }
    writeEdidTable();
}

void MainWindow::writeEdidTable()
{
    prepareProgressBar(statusBar(), m_edidProgress);
    EdidTable table {};
    int byteCount = 0;
    if (!readEdidTextOrWarn(table, byteCount))
        return;
    // A refusal first, as there is nothing to ask about; then the header
    // question, since a table that is no EDID at all makes its checksums moot.
    const EdidWriteCheck check = checkEdidWrite(byteCount, table);
    if (check.verdict == EdidWriteVerdict::TooShort) {
        showStatus(edidWriteCheckText(check), kWriteRefusedMs);
        return;
    }
    if (check.verdict == EdidWriteVerdict::HeaderMissing
        && m_context.dialogs.question(utilityTitle(), edidWriteCheckText(check), QString())
            != Dialogs::Answer::Yes)
        return;
    if (!tablePassesChecksums(table)) {
        const auto answer = m_context.dialogs.question(
            utilityTitle(), tr("The EDID Checksum is not correct."), tr("Write anyway?"));
        if (answer != Dialogs::Answer::Yes)
            return;
    }
    writeEdid(m_requests, m_context.clock, table,
        [this](int value, int maximum) { on_ProgressChange(value, maximum); });
}

void MainWindow::LoadEDIDfromFile()
{
    const QString name = m_context.dialogs.openFileName(
        this, tr("Open file"), QString(), tr("Binary Files (*.bin);;All files (*.*)"));
    if (name.isEmpty())
        return;

    QByteArray head;
    QString reason;
    if (!readEdidFileHead(name, head, reason)) {
        // Both arguments at once: a "%2" in the name must stay as it is.
        m_context.dialogs.warning(
            this, utilityTitle(), tr("Cannot read file %1:\n%2.").arg(name, reason));
        return;
    }

    const EdidFileContent content = recogniseEdidFile(head);
    if (content.binary)
        showEdidTable(ui->EDIDtext, content.table, m_context.displayScaleFactor);
    else
        setStyledText(ui->EDIDtext, content.text, kTextFileColour, QFont::Bold);
    showStatus(tr("File loaded"), kStatusMs);
}

void MainWindow::SaveEDIDtoFile()
{
    EdidTable table {};
    int byteCount = 0;
    if (!readEdidTextOrWarn(table, byteCount))
        return;
    const QString name = m_context.dialogs.saveFileName(
        this, tr("Save File"), QStringLiteral("VORTALEX_edid0.bin"), tr("Binary file (*.bin)"));
    if (name.isEmpty())
        return;

    const QString reason
        = saveEdidTable(name, table, [this] { showStatus(tr("Saving file..."), kStatusMs); });
    if (!reason.isNull()) {
        m_context.dialogs.warning(
            this, utilityTitle(), tr("Cannot write file %1:\n%2.").arg(name, reason));
        return;
    }
    showStatus(tr("File saved"), kStatusMs);
}
