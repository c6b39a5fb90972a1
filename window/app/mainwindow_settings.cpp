// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "settings/refreshplan.h"
#include "settings/settingstable.h"
#include "settings/statusread.h"
#include "ui_VortalexForm.h"
#include "words/statuslines.h"

#include <QAbstractButton>
#include <QComboBox>

using namespace vortalex;

// The one write path of the setting controls: reads the row's control, writes
// the value under the row's id and keeps it in the mirror. Returns the value
// written, or nothing when the control says nothing to the box.
std::optional<std::uint8_t> MainWindow::writeSettingFromForm(std::uint8_t settingId)
{
    const Setting &row = settingRow(settingId);
    const bool combo = row.kind == SettingKind::Combo;
    // Combo boxes keep quiet until the initial sync has filled them.
    if (combo && !m_ready)
        return std::nullopt;
    const std::optional<std::uint8_t> value = formValue(row);
    if (!value)
        return std::nullopt;
    m_requests.writeSetting(row.id, *value);
    // The mirror takes the value whether or not the box acknowledged it;
    // combo boxes leave it alone.
    if (!combo && row.position >= 0 && row.position < kSettingCount)
        m_mirror[std::size_t(row.position)] = *value;
    return value;
}

std::optional<std::uint8_t> MainWindow::formValue(const Setting &row)
{
    const auto button = [this](const char *controlName) {
        return qobject_cast<QAbstractButton *>(settingControl(controlName));
    };
    switch (row.kind) {
    case SettingKind::Combo: {
        // A combo box without a current item (the box reported a value that
        // names no item) has nothing to say to the box.
        const auto *combo = qobject_cast<QComboBox *>(settingControl(row.controlName));
        return combo ? comboSettingValue(row, combo->currentIndex()) : std::nullopt;
    }
    case SettingKind::Check: {
        const QAbstractButton *box = button(row.controlName);
        return std::uint8_t(box && box->isChecked() ? 1 : 0);
    }
    case SettingKind::RadioGroup:
        return radioSettingValue(row, [&button](const char *controlName) {
            const QAbstractButton *b = button(controlName);
            return b && b->isChecked();
        });
    }
    return std::nullopt;
}

// The form's setting slots: each hands its row to the write path.
void MainWindow::SetActivePort()
{
    writeSettingFromForm(SettingId::ActiveInput);
}
void MainWindow::changeCustomEdid()
{
    writeSettingFromForm(SettingId::CustomEdidPreset);
}
void MainWindow::setCecLa()
{
    writeSettingFromForm(SettingId::CecDeviceType);
}
void MainWindow::setEdidAlgo()
{
    writeSettingFromForm(SettingId::AutomixAlgorithm);
}
void MainWindow::SetAutoSwitch()
{
    writeSettingFromForm(SettingId::AutoSwitch);
}
void MainWindow::SetOut_420()
{
    writeSettingFromForm(SettingId::Output420);
}
void MainWindow::setSwPriority()
{
    writeSettingFromForm(SettingId::SwitchPriority);
}
void MainWindow::CecLpRepurp()
{
    writeSettingFromForm(SettingId::HdrHotkey);
}
void MainWindow::hdrSamsung()
{
    writeSettingFromForm(SettingId::HdrMode);
}
void MainWindow::setLogoLed()
{
    writeSettingFromForm(SettingId::GreenLed);
}
void MainWindow::setBlueLed()
{
    writeSettingFromForm(SettingId::BlueLeds);
}
void MainWindow::setAVR()
{
    writeSettingFromForm(SettingId::AvrTestMode);
}
void MainWindow::setCEC()
{
    writeSettingFromForm(SettingId::Cec);
}
void MainWindow::force2c()
{
    writeSettingFromForm(SettingId::EdidOption20);
}
void MainWindow::force51()
{
    writeSettingFromForm(SettingId::EdidOption51);
}
void MainWindow::set3D()
{
    writeSettingFromForm(SettingId::EdidOptionNo3D);
}
void MainWindow::forceHdr()
{
    writeSettingFromForm(SettingId::EdidOptionHdr);
}
void MainWindow::forceFullAudio()
{
    writeSettingFromForm(SettingId::EdidOptionFullAudio);
}
void MainWindow::setBt2020()
{
    writeSettingFromForm(SettingId::EdidOptionBt2020);
}
void MainWindow::setYUV()
{
    writeSettingFromForm(SettingId::EdidOptionYcbcr);
}
void MainWindow::SetAudioSource()
{
    writeSettingFromForm(SettingId::AudioSource);
}
void MainWindow::SetHDCP_Version()
{
    writeSettingFromForm(SettingId::HdcpVersion);
}

void MainWindow::SetEDID_Mode()
{
    // Only a custom EDID is the user's to edit.
    if (const std::optional<std::uint8_t> mode = writeSettingFromForm(SettingId::EdidMode))
        ui->EDIDtext->setEnabled(*mode == EdidModeValue::Custom);
    // The box now rebuilds its EDID; the poll tick re-reads it once the box
    // is no longer busy.
    showStatus(tr("EDID Writing Busy"), 2000);
    m_edidPending = true;
}

void MainWindow::factoryReset()
{
    const FactoryResetChoice choice = chooseFactoryReset(
        ui->leReset->text(), ui->cbClearSettings->isChecked(), ui->cbClearEdid->isChecked());
    switch (choice.outcome) {
    case FactoryResetChoice::NotConfirmed:
        showStatus(tr("Type RESET into the text box and click OK"), 2000);
        return;
    case FactoryResetChoice::NothingChosen:
        showStatus(tr("Choose the reset from the checkboxes"), 2000);
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
    // In table order: a check box or combo box changed here runs its setting
    // slot, which writes the value back to the box before the next control is
    // set. Enabling runs no slot, so it may come after all rows.
    for (const ShownSetting &shown : plan.shown)
        showSetting(shown);
    enableSettingControls(plan.enabling);
}

void MainWindow::showSetting(const ShownSetting &shown)
{
    const Setting &row = *shown.setting;
    switch (row.kind) {
    case SettingKind::Combo:
        // An index that names no item leaves the combo box without a current item.
        if (auto *combo = qobject_cast<QComboBox *>(settingControl(row.controlName)))
            combo->setCurrentIndex(shown.comboIndex);
        break;
    case SettingKind::Check:
        if (auto *box = qobject_cast<QAbstractButton *>(settingControl(row.controlName)))
            box->setChecked(shown.checked);
        break;
    case SettingKind::RadioGroup:
        // The group is exclusive: checking one button unchecks the others, and
        // with no button to check the current choice stays.
        if (!shown.button)
            break;
        for (const SettingValue &v : row.values)
            if (v.controlName)
                if (auto *button = qobject_cast<QAbstractButton *>(settingControl(v.controlName)))
                    button->setChecked(&v == shown.button);
        break;
    }
}

void MainWindow::enableSettingControls(const RefreshEnabling &enabling)
{
    // The EDID text takes its final state once: availability has the last word
    // over the mode's, and disabling it even for a moment would move the
    // keyboard focus out of the text while someone types in it.
    if (enabling.priorityChoice) {
        ui->pPrioForce->setEnabled(*enabling.priorityChoice);
        ui->bPrioNorm->setEnabled(*enabling.priorityChoice);
    }
    ui->audioHdmi->setEnabled(enabling.audioSourceChoice);
    ui->audioJack->setEnabled(enabling.audioSourceChoice);
    ui->hdcp22->setEnabled(enabling.hdcpChoice);
    ui->hdcp14->setEnabled(enabling.hdcpChoice);
    ui->automixEDID->setEnabled(enabling.edidModeChoice);
    ui->customEDID->setEnabled(enabling.edidModeChoice);
    ui->fixedEDID->setEnabled(enabling.edidModeChoice);
    ui->EDIDtext->setEnabled(enabling.edidModeChoice);
}

void MainWindow::showSignalStatus()
{
    // The captured AVI InfoFrame is not shown; only its read decides whether
    // the others are.
    const std::optional<SignalStatusPages> pages = readSignalStatusPages(m_requests);
    if (!pages)
        return;
    const SignalStatusTexts texts
        = decodeSignalStatus(pages->status, pages->sourceProduct, pages->hdrInfoFrame);
    ui->label_video_format->setText(texts.videoFormat);
    ui->lblCsc->setText(texts.colour);
    ui->lblVideoSource->setText(texts.source);
    ui->lblHdrInput->setText(texts.hdr);
    if (texts.hdrInfoFrame.isEmpty())
        ui->txtHdrIf->clear();
    else
        ui->txtHdrIf->setText(texts.hdrInfoFrame);
}
