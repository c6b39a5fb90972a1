// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "resources_init.h"
#include "settings/settingstable.h"
#include "ui_VortalexForm.h"

#include <QCloseEvent>
#include <QCoreApplication>

using namespace vortalex;

namespace {

// Bytes as two lower-case hex digits each, joined by colons ("87:01:1a").
QString lowerHexList(const Response &response, int first, int count)
{
    return QByteArray(reinterpret_cast<const char *>(response.bytes.data()) + first, count)
            .toHex(':');
}

} // namespace

MainWindow::MainWindow(AppContext &context, QWidget *parent)
    : QMainWindow(parent)
    , m_context(context)
    , ui(new Ui_MainWindow)
    , m_link(context.bridge, context.clock,
          [&dialogs = context.dialogs](
              LinkNotice notice) { dialogs.linkMessage(linkNoticeText(notice)); })
    , m_requests(m_link, *this)
{
    vortalexInitResources();
    ui->setupUi(this);
    setupToolsMenu();

    m_link.forgetDevice();
    std::uint32_t index = 0;
    if (!m_link.findDevice(UsbLink::kBoxIdString, index))
        return;
    if (!m_link.openDevice(index)) {
        m_context.dialogs.warning(this, tr("VORTALEX Utility"), tr("Hardware not found"));
        return;
    }
    initialSync();
}

MainWindow::~MainWindow()
{
    releaseForm();
    m_link.closeDevice();
    stopPollTimer();
    QCoreApplication::exit(0);
}

void MainWindow::initialSync()
{
    refreshSettings();

    Response firmware;
    Response storedHdr;
    Response storedAvi;
    m_requests.readPage(Page::Firmware, firmware, 8);
    m_requests.readPage(Page::StoredHdrInfoFrame, storedHdr, 33);
    // Only the last of the three reads decides whether the version is shown.
    if (m_requests.readPage(Page::StoredAviInfoFrame, storedAvi, 15)) {
        ui->labelFw1->setText(tr("ver: %1.%2.%3.%4")
                                  .arg(int(firmware[2]))
                                  .arg(int(firmware[3]))
                                  .arg(int(firmware[4]))
                                  .arg(int(firmware[5])));
        ui->labelTitle->setText(tr("VORTALEX GUI"));
    }

    // Filling an empty combo box makes its first item current and runs its
    // setting slot; the ready flag, still 0, keeps that from writing.
    ui->cmbInputSel->addItems(comboItems(settingRow(SettingId::ActiveInput)));
    ui->cmBEdid->addItems(comboItems(settingRow(SettingId::CustomEdidPreset)));
    ui->cmbLa->addItems(comboItems(settingRow(SettingId::CecDeviceType)));
    ui->cmbEdidAlgo->addItems(comboItems(settingRow(SettingId::AutomixAlgorithm)));

    ui->IFtext->setText(lowerHexList(storedHdr, 2, 31));
    ui->AVItext->setText(lowerHexList(storedAvi, 2, 13));
    ui->CECtext->setPlainText(QStringLiteral("50:04"));

    startPollTimer(kPollIntervalMs);
    showSignalStatus();
    ReadEDID();
    ui->CECtext->setEnabled(true);
    m_ready = true;
}

void MainWindow::pollTick()
{
    // A tick delivered from a nested event loop (a message box shown inside a
    // transaction) must not start a second exchange; nor may one after close.
    if (m_link.busy() || !ui)
        return;

    if (m_edidPending) {
        Response block;
        // A failed read says nothing about the box: keep checking next tick.
        if (m_requests.readSettingsBlock(block) && !(block[1] & kDeviceBusyBit)) {
            m_edidPending = false;
            ReadEDID();
        }
    }
    refreshSettings();
    showSignalStatus();
}

void MainWindow::timerEvent(QTimerEvent *event)
{
    Q_UNUSED(event);
    pollTick();
}

void MainWindow::startPollTimer(int intervalMs)
{
    if (m_pollTimerRunning)
        return;
    m_pollTimerId = startTimer(intervalMs);
    m_pollTimerRunning = true;
}

void MainWindow::stopPollTimer()
{
    if (!m_pollTimerRunning)
        return;
    m_pollTimerRunning = false;
    killTimer(m_pollTimerId);
}

void MainWindow::releaseForm()
{
    // The widgets belong to the window; only the form's pointer table goes.
    // While a transaction is under way (a close from a nested event loop) the
    // running slot still needs it: the destructor releases it then.
    if (m_link.busy())
        return;
    delete ui;
    ui = nullptr;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    releaseForm();
    m_link.closeDevice();
    stopPollTimer();
    QCoreApplication::exit(0);
}

void MainWindow::FileExit()
{
    m_link.closeDevice();
    stopPollTimer();
    releaseForm();
    QCoreApplication::exit(0);
    m_context.exitProcess(0);
}

void MainWindow::FileAbout()
{
    m_context.dialogs.about(this, tr("About VORTALEX Utility"),
        tr("<h2>VORTALEX Utility Version 1.8</h2>200% DPI Display "
           "Version<p>Configures the VORTALEX HDMI box over USB."));
}
