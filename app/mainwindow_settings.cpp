#include "mainwindow.h"

#include "settings/refreshplan.h"
#include "settings/settingstable.h"
#include "settings/statusdecode.h"
#include "settings/statusread.h"
#include "texts/windowtext.h"
#include "ui_VortalexForm.h"

#include <QAbstractButton>
#include <QComboBox>

using namespace vortalex;

namespace {

// Sets one control of the form as the settings refresh asks. A control that
// is missing or of another class is left alone rather than guessed at.
void applyControlStep(QWidget *widget, const ControlStep &step)
{
    if (!widget)
        return;
    switch (step.kind) {
    case ControlStep::SetCurrentIndex:
        // An index that names no item leaves the combo box without a current item.
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setCurrentIndex(step.value);
        break;
    case ControlStep::SetChecked:
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            button->setChecked(step.value != 0);
        break;
    case ControlStep::SetEnabled:
        widget->setEnabled(step.value != 0);
        break;
    }
}

} // namespace

void MainWindow::writeCheckSetting(bool on, std::uint8_t settingId, int position)
{
    const std::uint8_t value = on ? 1 : 0;
    m_requests.writeSetting(settingId, value);
    // The mirror takes the value whether or not the box acknowledged it.
    if (position >= 0 && position < kSettingCount)
        m_mirror[std::size_t(position)] = value;
}

void MainWindow::writeComboSetting(std::uint8_t settingId, int index)
{
    if (!m_ready)
        return;
    // A combo box without a current item (the box reported a value that
    // names no item) has nothing to say to the box.
    if (const std::optional<std::uint8_t> value = comboSettingValue(settingId, index))
        m_requests.writeSetting(settingId, *value);
}

void MainWindow::SetActivePort()
{
    writeComboSetting(SettingId::ActiveInput, ui->cmbInputSel->currentIndex());
}

void MainWindow::changeCustomEdid()
{
    writeComboSetting(SettingId::CustomEdidPreset, ui->cmBEdid->currentIndex());
}

void MainWindow::setCecLa()
{
    writeComboSetting(SettingId::CecDeviceType, ui->cmbLa->currentIndex());
}

void MainWindow::setEdidAlgo()
{
    writeComboSetting(SettingId::AutomixAlgorithm, ui->cmbEdidAlgo->currentIndex());
}

void MainWindow::SetAutoSwitch()
{
    writeCheckSetting(ui->autoSwEn->isChecked(), SettingId::AutoSwitch, SettingPos::AutoSwitch);
}

void MainWindow::SetOut_420()
{
    writeCheckSetting(ui->enable420->isChecked(), SettingId::Output420, SettingPos::Output420);
}

void MainWindow::setSwPriority()
{
    writeCheckSetting(
        ui->pPrioForce->isChecked(), SettingId::SwitchPriority, SettingPos::SwitchPriority);
}

void MainWindow::CecLpRepurp()
{
    writeCheckSetting(ui->bHdrRepurpEn->isChecked(), SettingId::HdrHotkey, SettingPos::HdrHotkey);
}

void MainWindow::hdrSamsung()
{
    writeCheckSetting(ui->bSamHdr->isChecked(), SettingId::HdrMode, SettingPos::HdrMode);
}

void MainWindow::setLogoLed()
{
    writeCheckSetting(ui->enableLed->isChecked(), SettingId::GreenLed, SettingPos::GreenLed);
}

void MainWindow::setBlueLed()
{
    writeCheckSetting(ui->enableBLed->isChecked(), SettingId::BlueLeds, SettingPos::BlueLeds);
}

void MainWindow::setAVR()
{
    writeCheckSetting(ui->enableAVR->isChecked(), SettingId::AvrTestMode, SettingPos::AvrTestMode);
}

void MainWindow::setCEC()
{
    writeCheckSetting(ui->cbCec->isChecked(), SettingId::Cec, SettingPos::Cec);
}

void MainWindow::force2c()
{
    writeCheckSetting(
        ui->cb2cForce->isChecked(), SettingId::EdidOption20, SettingPos::EdidOption20);
}

void MainWindow::force51()
{
    writeCheckSetting(ui->cb51->isChecked(), SettingId::EdidOption51, SettingPos::EdidOption51);
}

void MainWindow::set3D()
{
    writeCheckSetting(ui->cb3D->isChecked(), SettingId::EdidOptionNo3D, SettingPos::EdidOptionNo3D);
}

void MainWindow::forceHdr()
{
    writeCheckSetting(ui->cbHdr->isChecked(), SettingId::EdidOptionHdr, SettingPos::EdidOptionHdr);
}

void MainWindow::forceFullAudio()
{
    writeCheckSetting(
        ui->cbFull->isChecked(), SettingId::EdidOptionFullAudio, SettingPos::EdidOptionFullAudio);
}

void MainWindow::setBt2020()
{
    writeCheckSetting(
        ui->cbBt2020->isChecked(), SettingId::EdidOptionBt2020, SettingPos::EdidOptionBt2020);
}

void MainWindow::setYUV()
{
    writeCheckSetting(
        ui->cbYUV->isChecked(), SettingId::EdidOptionYcbcr, SettingPos::EdidOptionYcbcr);
}

void MainWindow::SetAudioSource()
{
    std::uint8_t value = 0;
    if (ui->audioHdmi->isChecked())
        value = AudioSourceValue::Hdmi;
    else if (ui->audioJack->isChecked())
        value = AudioSourceValue::Jack;
    else
        return;
    m_requests.writeSetting(SettingId::AudioSource, value);
    m_mirror[SettingPos::AudioSource] = value;
}

void MainWindow::SetHDCP_Version()
{
    std::uint8_t value = 0;
    if (ui->hdcp14->isChecked())
        value = HdcpValue::Hdcp14;
    else if (ui->hdcp22->isChecked())
        value = HdcpValue::Hdcp22;
    else
        return;
    m_requests.writeSetting(SettingId::HdcpVersion, value);
    m_mirror[SettingPos::HdcpVersion] = value;
}

void MainWindow::SetEDID_Mode()
{
    std::uint8_t mode = 0;
    if (ui->automixEDID->isChecked())
        mode = EdidModeValue::Automix;
    else if (ui->fixedEDID->isChecked())
        mode = EdidModeValue::Fixed;
    else if (ui->customEDID->isChecked())
        mode = EdidModeValue::Custom;
    if (mode != 0) {
        m_requests.writeSetting(SettingId::EdidMode, mode);
        m_mirror[SettingPos::EdidMode] = mode;
        // Only a custom EDID is the user's to edit.
        ui->EDIDtext->setEnabled(mode == EdidModeValue::Custom);
    }
    // The box now rebuilds its EDID; the poll tick re-reads it once the box
    // is no longer busy.
    showStatus(trWindow("EDID Writing Busy"), 2000);
    m_edidPending = 1;
}

void MainWindow::factoryReset()
{
    const FactoryResetChoice choice = chooseFactoryReset(
        ui->leReset->text(), ui->cbClearSettings->isChecked(), ui->cbClearEdid->isChecked());
    switch (choice.outcome) {
    case FactoryResetChoice::NotConfirmed:
        showStatus(trWindow("Type RESET into the text box and click OK"), 2000);
        return;
    case FactoryResetChoice::NothingChosen:
        showStatus(trWindow("Choose the reset from the checkboxes"), 2000);
        break;
    case FactoryResetChoice::Reset:
        m_requests.writeSetting(SettingId::FactoryReset, choice.value);
        break;
    }
    // The mirror stays: the next settings refresh shows what the box reset to.
    ui->leReset->clear();
    ui->cbClearSettings->setChecked(false);
    ui->cbClearEdid->setChecked(false);
}

void MainWindow::SetEPState()
{
    m_requests.writeSettingsBlock(m_mirror);
}

QWidget *MainWindow::settingControl(const char *objectName)
{
    // Searching the widget tree for every control of every refresh would be
    // most of the poll tick's work; the form never changes, so look once.
    const auto found = m_settingControls.constFind(
        QByteArray::fromRawData(objectName, qsizetype(qstrlen(objectName))));
    if (found != m_settingControls.constEnd())
        return found.value();
    QWidget *control = findChild<QWidget *>(QLatin1String(objectName));
    m_settingControls.insert(QByteArray(objectName), control);
    return control;
}

void MainWindow::refreshSettings()
{
    Response block;
    Response status;
    const bool blockRead = m_requests.readSettingsBlock(block);
    const bool statusRead = m_requests.readPage(Page::Status, status, kRefreshStatusLength);
    const RefreshPlan plan = planRefresh(block.bytes.data(), blockRead, statusRead);
    if (!plan.accepted)
        return;
    m_mirror = plan.settings;
    // In order: a check box or combo box changed here runs its setting slot,
    // which writes the value back to the box before the next control is set.
    for (const ControlStep &step : plan.steps)
        applyControlStep(settingControl(step.objectName), step);
}

void MainWindow::showSignalStatus()
{
    const std::optional<SignalStatusTexts> texts = readSignalStatus(m_requests);
    if (!texts)
        return;
    ui->label_video_format->setText(texts->videoFormat);
    ui->lblCsc->setText(texts->colour);
    ui->lblVideoSource->setText(texts->source);
    ui->lblHdrInput->setText(texts->hdr);
    if (texts->hdrInfoFrame.isEmpty())
        ui->txtHdrIf->clear();
    else
        ui->txtHdrIf->setText(texts->hdrInfoFrame);
}
