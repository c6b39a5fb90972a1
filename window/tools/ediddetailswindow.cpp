// SPDX-License-Identifier: GPL-3.0-or-later
#include "ediddetailswindow.h"

#include "app/dialogs.h"
#include "chromaticitydiagram.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "toolwindowtext.h"
#include "ui_EdidDetailsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QShortcut>
#include <QTreeWidgetItem>

using namespace vortalex;

namespace {

const QColor kProblemColour(Qt::red);

} // namespace

EdidDetailsWindow::EdidDetailsWindow(Dialogs &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui_EdidDetailsWindow)
    , m_dialogs(dialogs)
{
    ui->setupUi(this);
    ui->sectionsTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->detailsSplitter->setSizes({ 640, 460 });
    connect(ui->copyButton, &QPushButton::clicked, this, &EdidDetailsWindow::copyAsText);
    connect(ui->openButton, &QPushButton::clicked, this, &EdidDetailsWindow::openFile);
    connect(ui->fromTextButton, &QPushButton::clicked, this, &EdidDetailsWindow::followEdidText);
    ui->fromTextButton->setEnabled(false);
    ui->sourceLabel->setText(tr("Following the EDID text"));
    connect(ui->closeButton, &QPushButton::clicked, this, &QWidget::close);
    // A window of its own has no dialog's Esc: both keys close it as Close does.
    for (const QKeySequence &keys :
        { QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W) })
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);
}

EdidDetailsWindow::~EdidDetailsWindow()
{
    delete ui;
}

void EdidDetailsWindow::showEdidText(const QString &text)
{
    m_edidText = text;
    if (!m_file.isEmpty())
        return;
    QByteArray table;
    QString error;
    if (edidFromText(text, table, error))
        showTable(table);
    else
        showProblem(error);
}

void EdidDetailsWindow::openFile()
{
    const QString name = m_dialogs.openFileName(this, tr("Open EDID table"), QString(),
        tr("EDID tables (*.bin *.txt *.hex);;All files (*)"));
    if (name.isEmpty())
        return;
    QByteArray table;
    QString error;
    if (!readEdidInput(name, table, error)) {
        // The shown table stays; the reason goes where the source is named.
        ui->sourceLabel->setText(error);
        ui->sourceLabel->setStyleSheet(QStringLiteral("color: red"));
        return;
    }
    m_file = name;
    ui->sourceLabel->setText(tr("File %1 (%2 bytes)").arg(name).arg(table.size()));
    ui->sourceLabel->setStyleSheet(QString());
    ui->fromTextButton->setEnabled(true);
    showTable(table);
}

void EdidDetailsWindow::followEdidText()
{
    m_file.clear();
    ui->sourceLabel->setText(tr("Following the EDID text"));
    ui->sourceLabel->setStyleSheet(QString());
    ui->fromTextButton->setEnabled(false);
    showEdidText(m_edidText);
}

void EdidDetailsWindow::showProblem(const QString &message)
{
    ui->sectionsTree->clear();
    m_reportText = message;
    showTwoLines(ui->summaryLabel, message, true);
    showGamut(Gamut());
}

void EdidDetailsWindow::showTable(const QByteArray &table)
{
    ui->sectionsTree->clear();
    const EdidInfo info = decodeEdid(table);
    showGamut(info.base ? gamutFromXy(info.base->chromaticity) : Gamut());
    m_reportText = edidReportText(info);
    showSummary(ui->summaryLabel, edidSummary(info), !info.problems.isEmpty());
    for (const ReportSection &section : edidReportSections(info)) {
        auto *sectionItem = new QTreeWidgetItem(ui->sectionsTree, { section.title });
        sectionItem->setFirstColumnSpanned(true);
        bool problem = false;
        for (const ReportLine &line : section.lines) {
            auto *item = new QTreeWidgetItem(sectionItem, { line.label, line.value });
            item->setToolTip(1, line.value);
            if (line.problem) {
                item->setForeground(0, kProblemColour);
                item->setForeground(1, kProblemColour);
                problem = true;
            }
        }
        if (problem)
            sectionItem->setForeground(0, kProblemColour);
        sectionItem->setExpanded(true);
    }
}

void EdidDetailsWindow::showGamut(const Gamut &gamut)
{
    ui->chromaticityDiagram->setContent({ gamut, tr("Display"), std::nullopt, QString() });
    ui->gamutCoverageLabel->setText(gamutCoverageText(gamutCoverage(gamut)));
}

void EdidDetailsWindow::copyAsText()
{
    QApplication::clipboard()->setText(m_reportText);
}
