// SPDX-License-Identifier: GPL-3.0-or-later
#include "ediddetailswindow.h"

#include "chromaticitydiagram.h"
#include "edid/edidinfo.h"
#include "edid/edidreport.h"
#include "boxedid/edidtext.h"
#include "ui_EdidDetailsWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QShortcut>
#include <QTreeWidgetItem>

using namespace vortalex;

namespace {

const QColor kProblemColour(Qt::red);

void setProblemStyle(QWidget *label, bool problem)
{
    label->setStyleSheet(problem ? QStringLiteral("color: red") : QString());
}

} // namespace

EdidDetailsWindow::EdidDetailsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , ui(new Ui_EdidDetailsWindow)
{
    ui->setupUi(this);
    ui->sectionsTree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ui->detailsSplitter->setSizes({ 640, 460 });
    connect(ui->copyButton, &QPushButton::clicked, this, &EdidDetailsWindow::copyAsText);
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
    ui->sectionsTree->clear();
    EdidTable table {};
    if (!parseEdidTable(text, table)) {
        m_reportText = tr("Hex Format Error: the EDID text is not hex bytes separated by blanks");
        ui->summaryLabel->setText(m_reportText);
        setProblemStyle(ui->summaryLabel, true);
        showGamut(Gamut());
        return;
    }
    const EdidInfo info
        = decodeEdid(QByteArray(reinterpret_cast<const char *>(table.data()), kEdidSize));
    showGamut(info.base ? gamutFromXy(info.base->chromaticity) : Gamut());
    m_reportText = edidReportText(info);
    ui->summaryLabel->setText(edidSummary(info));
    setProblemStyle(ui->summaryLabel, !info.problems.isEmpty());
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
