#include "mainwindow.h"

#include "cec/cecrequests.h"
#include "infoframe/infoframesender.h"
#include "settings/settingstable.h"
#include "ui_VortalexForm.h"

using vortalex::CecContext;
using vortalex::Command;
namespace SettingId = vortalex::SettingId;
namespace SettingPos = vortalex::SettingPos;

namespace {

CecContext cecContext(BoxRequests &requests, AppContext &context)
{
    return CecContext { requests, context.clock, context.diagnostic };
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
    const bool on = ui->cbHdrForceMode->isChecked();
    if (on)
        vortalex::sendHdrInfoFrame(cecContext(m_requests, m_context), ui->IFtext->toPlainText());
    // The setting follows the check box whatever the InfoFrame send did.
    writeCheckSetting(on, SettingId::ForceHdrActive, SettingPos::ForceHdrActive);
}

void MainWindow::setAviPers()
{
    const bool on = ui->cbAviPersistent->isChecked();
    // A successful send writes the setting itself; it is written here again
    // either way so that the box follows the check box.
    if (on)
        sendAVI();
    writeCheckSetting(on, SettingId::ReplaceAvi, SettingPos::ReplaceAvi);
}

bool MainWindow::sendAVI()
{
    if (!vortalex::sendAviInfoFrame(cecContext(m_requests, m_context), ui->AVItext->toPlainText()))
        return false;
    writeCheckSetting(
        ui->cbAviPersistent->isChecked(), SettingId::ReplaceAvi, SettingPos::ReplaceAvi);
    return true;
}
