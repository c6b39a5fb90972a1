#include "mainwindow.h"

#include "ui_VortalexForm.h"

#include <QMenu>
#include <QMenuBar>

// The "Tools" menu holds the windows that come on top of the settings window
// (decoders, builders). It sits between "File" and "Help"; the form itself
// keeps its two menus.
void MainWindow::setupToolsMenu()
{
    m_toolsMenu = new QMenu(tr("Tools"), this);
    m_toolsMenu->setObjectName(QStringLiteral("menuTools"));
    ui->menubar->insertMenu(ui->menuHelp->menuAction(), m_toolsMenu);
}
