// SPDX-License-Identifier: GPL-3.0-or-later
// What the box layer reports, in the window's words: each request event as a
// status-bar message with its time (or a line on standard output), each link
// notice as the text of a blocking message box.
#include "mainwindow.h"

#include <QStatusBar>

using vortalex::LinkNotice;
using vortalex::RequestEvent;

namespace {

constexpr int kStatusMs = 2000;
constexpr int kFailureMs = 4000;

} // namespace

void MainWindow::requestEvent(RequestEvent event)
{
    const auto diagnostic = [this](const QString &line) {
        if (m_context.diagnostic)
            m_context.diagnostic(line);
    };
    switch (event) {
    case RequestEvent::SettingWriteFailed:
    case RequestEvent::SettingsBlockWriteFailed:
    case RequestEvent::EdidFetchRefused:
        showStatus(tr("Error Writing values"), kFailureMs);
        break;
    case RequestEvent::SettingsReadFailed:
        showStatus(tr("Error Reading values"), kFailureMs);
        break;
    case RequestEvent::PageReadFailed:
        showStatus(tr("..."), kStatusMs);
        break;
    case RequestEvent::EdidReadFromBox:
        showStatus(tr("EDID values read."), kStatusMs);
        break;
    case RequestEvent::EdidReadFromTv:
        showStatus(tr("TV EDID values read."), kStatusMs);
        break;
    case RequestEvent::EdidChunkRefused:
        showStatus(tr("Error Writing EDID values."), kStatusMs);
        break;
    case RequestEvent::EdidApplyFailed:
        showStatus(tr("Error Populating EDID values."), kStatusMs);
        break;
    case RequestEvent::EdidWritten:
        showStatus(tr("EDID values written..."), kStatusMs);
        break;
    case RequestEvent::CecLengthWrong:
    case RequestEvent::HdrLengthWrong:
        showStatus(tr("Error: min 2, max 31 data bytes"), kStatusMs);
        break;
    case RequestEvent::AviLengthWrong:
        showStatus(tr("Error: min 2, max 13 data bytes"), kStatusMs);
        break;
    case RequestEvent::CecSent:
    case RequestEvent::CecStored:
        showStatus(tr("CEC values written..."), kStatusMs);
        break;
    case RequestEvent::CecRefused:
        showStatus(tr("Error Writing CEC command."), kFailureMs);
        break;
    case RequestEvent::HdrSent:
        showStatus(tr("Infoframe values written..."), kStatusMs);
        break;
    case RequestEvent::HdrRefused:
        showStatus(tr("Error Writing Infoframe values."), kFailureMs);
        break;
    case RequestEvent::AviSent:
        showStatus(tr("AVI values written..."), kStatusMs);
        break;
    case RequestEvent::AviRefused:
        showStatus(tr("Error Writing AVI command."), kFailureMs);
        break;
    case RequestEvent::CecStoreLengthWrong:
        showStatus(tr("CEC values not correct"), kStatusMs);
        break;
    case RequestEvent::CecStoreRefused:
        showStatus(tr("Error Writing CEC values."), kFailureMs);
        break;
    // A failed activate request shows nothing in the window.
    case RequestEvent::CecActivateFailed:
        diagnostic(QStringLiteral("\nError Populating CEC values.\n"));
        break;
    case RequestEvent::HdrActivateFailed:
        diagnostic(QStringLiteral("\nError Populating IF values.\n"));
        break;
    case RequestEvent::AviActivateFailed:
        diagnostic(QStringLiteral("\nError Activating AVI values.\n"));
        break;
    }
}

QString MainWindow::linkNoticeText(LinkNotice notice)
{
    switch (notice) {
    case LinkNotice::BoxNotFound:
        return tr("VORTALEX USB not connected!");
    case LinkNotice::OpenFailed:
        return tr("Usb device open error!");
    case LinkNotice::CloseFailed:
        return tr("Unable to close device handle!");
    case LinkNotice::QueueCheckFailed:
        return tr("Error Checking RX Queue");
    }
    return QString();
}

void MainWindow::showStatus(const QString &text, int ms)
{
    statusBar()->showMessage(text, ms);
    if (m_context.statusObserver)
        m_context.statusObserver(text, ms);
}
