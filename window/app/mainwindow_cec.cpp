// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "cec/cecrequests.h"
#include "cec/infoframesender.h"
#include "settings/settingstable.h"
#include "ui_VortalexForm.h"

using vortalex::AppContext;
using vortalex::BoxRequests;
using vortalex::CecContext;
using vortalex::Command;
namespace SettingId = vortalex::SettingId;

namespace {

CecContext cecContext(BoxRequests &requests, AppContext &context)
{
    return CecContext { requests, context.clock };
}

} // namespace

void MainWindow::WriteCEC()
{
    vortalex::sendCecMessage(cecContext(m_requests, m_context), ui->CECtext->toPlainText());
}

void MainWindow::SaveCEC_1()
{
    vortalex::storeCecCommand(
        cecContext(m_requests, m_context), Command::CecStoreSp, ui->CECtext->toPlainText());
}

void MainWindow::SaveCEC_2()
{
    vortalex::storeCecCommand(
        cecContext(m_requests, m_context), Command::CecStoreLp, ui->CECtext->toPlainText());
}

void MainWindow::WriteIF()
{
    vortalex::sendHdrInfoFrame(cecContext(m_requests, m_context), ui->IFtext->toPlainText());
}

// Also runs when the settings refresh changes the check box from the box.
void MainWindow::hdrForceActivate()
{
    if (ui->cbHdrForceMode->isChecked())
        vortalex::sendHdrInfoFrame(cecContext(m_requests, m_context), ui->IFtext->toPlainText());
    // The setting follows the check box whatever the InfoFrame send did.
    writeSettingFromForm(SettingId::ForceHdrActive);
}

void MainWindow::setAviPers()
{
    // A successful send writes the setting itself; it is written here again
    // either way so that the box follows the check box.
    if (ui->cbAviPersistent->isChecked())
        sendAVI();
    writeSettingFromForm(SettingId::ReplaceAvi);
}

bool MainWindow::sendAVI()
{
    if (!vortalex::sendAviInfoFrame(cecContext(m_requests, m_context), ui->AVItext->toPlainText()))
        return false;
    writeSettingFromForm(SettingId::ReplaceAvi);
    return true;
}
