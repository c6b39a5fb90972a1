#include "mainwindow.h"

#include "ui_VortalexForm.h"

void MainWindow::WriteCEC()
{
}

void MainWindow::SaveCEC_1()
{
}

void MainWindow::SaveCEC_2()
{
}

void MainWindow::WriteIF()
{
}

void MainWindow::hdrForceActivate()
{
}

void MainWindow::setAviPers()
{
}

bool MainWindow::sendAVI()
{
    return false;
}
