#include "mainwindow.h"

#include "ui_VortalexForm.h"

void MainWindow::SaveEDIDtoFile()
{
}

void MainWindow::LoadEDIDfromFile()
{
}

void MainWindow::ReadEDID()
{
}

void MainWindow::WriteEDID()
{
}

void MainWindow::CalculateChkSum()
{
}

void MainWindow::readTvEdidA()
{
}

void MainWindow::readTvEdidB()
{
}

void MainWindow::writeEdidTable()
{
}

void MainWindow::on_ProgressChange(int a, int b)
{
    Q_UNUSED(a);
    Q_UNUSED(b);
}

void MainWindow::readEdidFrom(EdidSource source)
{
    Q_UNUSED(source);
}
