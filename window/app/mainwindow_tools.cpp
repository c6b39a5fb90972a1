// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "tools/ediddetailswindow.h"
#include "tools/edideditorwindow.h"
#include "tools/infoframebuilder.h"
#include "ui_VortalexForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTextEdit>

// The "Tools" menu holds the windows that come on top of the settings window
// (decoders, builders). It sits between "File" and "Help"; the form itself
// keeps its two menus.
void MainWindow::setupToolsMenu()
{
    // Mnemonics: Alt+T opens the menu, E and I pick its entries.
    m_toolsMenu = new QMenu(tr("&Tools"), this);
    m_toolsMenu->setObjectName(QStringLiteral("menuTools"));
    ui->menubar->insertMenu(ui->menuHelp->menuAction(), m_toolsMenu);

    // "EDID details…": the decoded EDID text, following every change of it.
    QAction *edidDetails = m_toolsMenu->addAction(tr("&EDID details…"));
    edidDetails->setObjectName(QStringLiteral("actionEdidDetails"));
    edidDetails->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    connect(edidDetails, &QAction::triggered, this, [this] {
        auto *window = findChild<EdidDetailsWindow *>();
        if (!window) {
            window = new EdidDetailsWindow(this);
            const auto follow
                = [this, window] { window->showEdidText(ui->EDIDtext->toPlainText()); };
            connect(ui->EDIDtext, &QTextEdit::textChanged, window, follow);
            follow();
        }
        window->show();
        window->raise();
        window->activateWindow();
    });

    // InfoFrames from values: one non-modal builder over the HDR / IF fields.
    QAction *infoFrameBuilder = m_toolsMenu->addAction(tr("&InfoFrame builder…"));
    infoFrameBuilder->setObjectName(QStringLiteral("actionInfoFrameBuilder"));
    infoFrameBuilder->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(infoFrameBuilder, &QAction::triggered, this, [this] {
        auto *builder = findChild<InfoFrameBuilder *>();
        if (!builder)
            builder = new InfoFrameBuilder(ui->txtHdrIf, ui->IFtext, ui->AVItext, this);
        if (builder->isVisible()) {
            builder->raise();
            builder->activateWindow();
        } else {
            builder->show();
        }
    });

    // "EDID editor…": edits the table of the EDID text; "Use" puts it back.
    QAction *edidEditor = m_toolsMenu->addAction(tr("EDID editor…"));
    edidEditor->setObjectName(QStringLiteral("actionEdidEditor"));
    connect(edidEditor, &QAction::triggered, this, [this] {
        auto *editor = findChild<EdidEditorWindow *>();
        if (!editor)
            editor = new EdidEditorWindow(ui->EDIDtext, m_context.dialogs, this);
        editor->show();
        editor->raise();
        editor->activateWindow();
    });
}
