// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "tools/ediddetailswindow.h"
#include "tools/edideditorwindow.h"
#include "tools/infoframebuilder.h"
#include "tools/toolplacement.h"
#include "ui_VortalexForm.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTextEdit>

// The "Tools" menu holds the windows that come on top of the settings window
// (decoders, builders). It sits between "File" and "Help"; the form itself
// keeps its two menus.
void MainWindow::setupToolsMenu()
{
    // Mnemonics: Alt+T opens the menu, E, I and D pick its entries.
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
            window = new EdidDetailsWindow(m_context.dialogs, this);
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
        if (!builder) {
            builder = new InfoFrameBuilder(ui->txtHdrIf, ui->IFtext, ui->AVItext, this);
            // Lay out the HDR / IF page, shown or not, to know where the buttons are.
            for (QWidget *w = ui->ButWriteIF->parentWidget(); w; w = w->parentWidget())
                if (w->layout())
                    w->layout()->activate();
            // Beside the settings window, leaving "Send IF" and "Send AVI" in sight.
            const auto onScreen = [](const QWidget *w) {
                return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
            };
            const QRect keepVisible = onScreen(ui->ButWriteIF).united(onScreen(ui->ButWriteAVI));
            const QScreen *screen = this->screen();
            builder->setGeometry(placeToolWindow(builder->size(), builder->minimumSizeHint(),
                frameGeometry(), keepVisible,
                screen ? screen->availableGeometry() : QRect(QPoint(0, 0), builder->size())));
        }
        builder->show();
        builder->raise();
        builder->activateWindow();
    });

    // "EDID editor…": edits the table of the EDID text; "Use" puts it back.
    QAction *edidEditor = m_toolsMenu->addAction(tr("EDID e&ditor…"));
    edidEditor->setObjectName(QStringLiteral("actionEdidEditor"));
    edidEditor->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(edidEditor, &QAction::triggered, this, [this] {
        auto *editor = findChild<EdidEditorWindow *>();
        if (!editor)
            editor = new EdidEditorWindow(ui->EDIDtext, m_context.dialogs, this);
        editor->show();
        editor->raise();
        editor->activateWindow();
    });
}
