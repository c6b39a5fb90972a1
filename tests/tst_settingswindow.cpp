// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingstable.h"
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QTextEdit>
#include <QRandomGenerator>
#include <QtTest>

using namespace vortalex;

Q_DECLARE_METATYPE(StatusMessage)

namespace {

// The frames of one quiet poll tick, around what the settings refresh writes back.
const QStringList kRefreshReads { "11 2A E1", "11 0E E0 06" };
const QStringList kStatusReads { "11 0F E0 06", "11 1F E0 15", "11 1F E0 1E", "11 1F E0 1F" };

// Sets box positions from "position=value,...".
void setBoxSettings(EmulatedBox &box, const QString &settings)
{
    for (const QString &pair : settings.split(',', Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split('=');
        box.setSetting(parts[0].toInt(), std::uint8_t(parts[1].toInt()));
    }
}

// "name checked", "name unchecked", "name enabled", "name disabled" or
// "name index N", as the form shows it now.
QString describe(QWidget *form, const QString &expectation)
{
    const QStringList parts = expectation.split(' ');
    QWidget *widget = form->findChild<QWidget *>(parts[0]);
    if (!widget)
        return parts[0] + " missing";
    if (parts[1] == "index")
        return parts[0] + " index "
            + QString::number(qobject_cast<QComboBox *>(widget)->currentIndex());
    if (parts[1] == "enabled" || parts[1] == "disabled")
        return parts[0] + (widget->isEnabled() ? " enabled" : " disabled");
    return parts[0]
        + (qobject_cast<QAbstractButton *>(widget)->isChecked() ? " checked" : " unchecked");
}

} // namespace

class TestSettingsWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void settingControlWrites_data();
    void settingControlWrites();
    void failedWriteStillReachesMirror();
    void noComboWriteBeforeReady();
    void refreshAcceptance_data();
    void refreshAcceptance();
    void refreshRules_data();
    void refreshRules();
    void comboWriteBack_data();
    void comboWriteBack();
    void factoryReset_data();
    void factoryReset();
    void edidModeChange_data();
    void edidModeChange();
    void anyBoxBytesAreSafe_data();
    void anyBoxBytesAreSafe();
    void typingAcrossTicksKeepsFocus();

private:
    // A started window after its first poll tick: combo boxes set from the box,
    // EDID re-read done, logs empty.
    MainWindow *startQuiet();

    std::unique_ptr<WindowHarness> h;
};

void TestSettingsWindow::init()
{
    h = std::make_unique<WindowHarness>();
}

void TestSettingsWindow::cleanup()
{
    h.reset();
}

MainWindow *TestSettingsWindow::startQuiet()
{
    MainWindow *w = h->start();
    h->tick();
    h->clearLogs();
    return w;
}

void TestSettingsWindow::settingControlWrites_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("item"); // combo boxes: the item chosen
    QTest::addColumn<QString>("frame");
    QTest::addColumn<int>("position"); // -1: the mirror is not touched
    QTest::addColumn<int>("mirrorValue");
    QTest::addColumn<bool>("onlyFrame"); // false: the slot sends an InfoFrame first

    // The box starts from its factory settings; each control is moved away from them.
    QTest::newRow("id 0") << "cmbInputSel" << 3 << "10 04 E0 00 04" << -1 << 0 << true;
    QTest::newRow("id 1") << "autoSwDis" << 0 << "10 04 E0 01 00" << 6 << 0 << true;
    QTest::newRow("id 2") << "audioJack" << 0 << "10 04 E0 02 03" << 1 << 3 << true;
    QTest::newRow("id 3") << "hdcp14" << 0 << "10 04 E0 03 02" << 3 << 2 << true;
    QTest::newRow("id 4") << "enable420" << 0 << "10 04 E0 04 01" << 4 << 1 << true;
    QTest::newRow("id 5") << "fixedEDID" << 0 << "10 04 E0 05 02" << 2 << 2 << true;
    QTest::newRow("id 8") << "cb2cForce" << 0 << "10 04 E0 08 01" << 13 << 1 << true;
    QTest::newRow("id 9") << "cb51" << 0 << "10 04 E0 09 01" << 14 << 1 << true;
    QTest::newRow("id 10") << "cb3D" << 0 << "10 04 E0 0A 01" << 15 << 1 << true;
    QTest::newRow("id 11") << "cbHdr" << 0 << "10 04 E0 0B 00" << 16 << 0 << true;
    QTest::newRow("id 12") << "cbFull" << 0 << "10 04 E0 0C 01" << 17 << 1 << true;
    QTest::newRow("id 13") << "pPrioForce" << 0 << "10 04 E0 0D 01" << 18 << 1 << true;
    QTest::newRow("id 14") << "cmBEdid" << 7 << "10 04 E0 0E 07" << -1 << 0 << true;
    QTest::newRow("id 16") << "bHdrRepurpEn" << 0 << "10 04 E0 10 01" << 21 << 1 << true;
    QTest::newRow("id 17") << "cbHdrForceMode" << 0 << "10 04 E0 11 01" << 22 << 1 << false;
    QTest::newRow("id 19") << "bSamHdr" << 0 << "10 04 E0 13 01" << 24 << 1 << true;
    QTest::newRow("id 22") << "disableLed" << 0 << "10 04 E0 16 00" << 26 << 0 << true;
    QTest::newRow("id 23") << "disableBLed" << 0 << "10 04 E0 17 00" << 27 << 0 << true;
    QTest::newRow("id 24") << "cbBt2020" << 0 << "10 04 E0 18 00" << 28 << 0 << true;
    QTest::newRow("id 25") << "pbReset" << 0 << "10 04 E0 19 03" << -1 << 0 << true;
    QTest::newRow("id 26") << "cbYUV" << 0 << "10 04 E0 1A 00" << 29 << 0 << true;
    QTest::newRow("id 27") << "cbCec" << 0 << "10 04 E0 1B 00" << 5 << 0 << true;
    QTest::newRow("id 28") << "cmbLa" << 1 << "10 04 E0 1C 01" << -1 << 0 << true;
    QTest::newRow("id 29") << "enableAVR" << 0 << "10 04 E0 1D 01" << 31 << 1 << true;
    QTest::newRow("id 32") << "cmbEdidAlgo" << 2 << "10 04 E0 20 02" << -1 << 0 << true;
    QTest::newRow("id 33") << "cbAviPersistent" << 0 << "10 04 E0 21 01" << 33 << 1 << false;
}

void TestSettingsWindow::settingControlWrites()
{
    QFETCH(QString, control);
    QFETCH(int, item);
    QFETCH(QString, frame);
    QFETCH(int, position);
    QFETCH(int, mirrorValue);
    QFETCH(bool, onlyFrame);

    MainWindow *w = startQuiet();
    const auto mirrorBefore = w->settingsMirror();
    QWidget *widget = w->findChild<QWidget *>(control);
    QVERIFY(widget);
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        combo->setCurrentIndex(item);
    } else {
        if (control == "pbReset") {
            h->ui()->leReset->setText("RESET");
            h->ui()->cbClearSettings->setChecked(true);
            h->ui()->cbClearEdid->setChecked(true);
        }
        QVERIFY(widget->isEnabled());
        qobject_cast<QAbstractButton *>(widget)->click();
    }

    const QStringList sent = h->sentHex();
    QVERIFY(!sent.isEmpty());
    QCOMPARE(sent.last(), frame);
    if (onlyFrame)
        QCOMPARE(sent, QStringList { frame });

    auto mirrorAfter = mirrorBefore;
    if (position >= 0)
        mirrorAfter[std::size_t(position)] = std::uint8_t(mirrorValue);
    QCOMPARE(w->settingsMirror(), mirrorAfter);
}

void TestSettingsWindow::failedWriteStillReachesMirror()
{
    MainWindow *w = startQuiet();
    h->bridge.injectFault(Fault::WrongEcho);
    h->ui()->cbHdr->click();
    QCOMPARE(h->statusLog, (QList<StatusMessage> { { "Error Writing values", 4000 } }));
    QCOMPARE(w->settingsMirror()[16], std::uint8_t(0));
    QVERIFY(!h->ui()->cbHdr->isChecked());

    // The whole mirror goes out as one block: 0x10 0x28 0xE2 and forty bytes.
    h->clearLogs();
    QVERIFY(QMetaObject::invokeMethod(w, "SetEPState"));
    const auto &mirror = w->settingsMirror();
    QByteArray block = QByteArray::fromHex("1028E2");
    block.append(reinterpret_cast<const char *>(mirror.data()), int(mirror.size()));
    QCOMPARE(h->bridge.sentFrames(), QList<QByteArray> { block });
    QCOMPARE(block.size(), 43);
    QCOMPARE(h->box.setting(16), std::uint8_t(0));
    QVERIFY(h->statusLog.isEmpty());
}

void TestSettingsWindow::noComboWriteBeforeReady()
{
    // The start-up sync fills the combo boxes, each change runs its slot, and
    // the ready flag keeps all four from writing. (Check boxes do write back.)
    h->start();
    const QStringList comboIds { "10 04 E0 00", "10 04 E0 0E", "10 04 E0 1C", "10 04 E0 20" };
    for (const QString &frame : h->sentHex())
        QVERIFY2(!comboIds.contains(frame.left(11)), qPrintable(frame));
    QCOMPARE(h->ui()->cmbInputSel->currentText(), QString("PORT A [TOP]"));
}

void TestSettingsWindow::refreshAcceptance_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QList<StatusMessage>>("status");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("accepted") << "" << QList<StatusMessage>() << true;
    QTest::newRow("busy bit") << "busy" << QList<StatusMessage>() << false;
    QTest::newRow("wrong echo") << "echo"
                                << QList<StatusMessage> { { "Error Reading values", 4000 } }
                                << false;
    QTest::newRow("block read fails")
        << "block" << QList<StatusMessage> { { "Error Reading values", 4000 } } << false;
    QTest::newRow("page 6 read fails")
        << "page6" << QList<StatusMessage> { { "...", 2000 } } << false;
}

void TestSettingsWindow::refreshAcceptance()
{
    QFETCH(QString, fault);
    QFETCH(QList<StatusMessage>, status);
    QFETCH(bool, accepted);

    MainWindow *w = startQuiet();
    h->box.setSetting(settingRow(SettingId::Cec).position, 0);
    h->box.setSetting(settingRow(SettingId::EdidOption20).position, 1); // cb2cForce
    h->box.setSetting(settingRow(SettingId::GreenLed).position, 0); // a radio pair: no write-back
    h->box.setSetting(38, 0x5A); // carried, not shown
    if (fault == "busy")
        h->bridge.setStuckBusy(true);
    else if (fault == "echo")
        h->bridge.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::SettingsBlock, 1));
    else if (fault == "block")
        h->bridge.injectFault(Fault::NoAnswer, FaultWhen::onNth(Command::SettingsBlock, 1));
    else if (fault == "page6")
        h->bridge.injectFault(Fault::NoAnswer, FaultWhen::onNth(Command::Page, 1, FrameType::Read));
    const auto mirrorBefore = w->settingsMirror();

    h->tick();

    QCOMPARE(h->statusLog, status);
    QCOMPARE(h->ui()->cbCec->isChecked(), !accepted);
    QCOMPARE(h->ui()->cb2cForce->isChecked(), accepted);
    QCOMPARE(h->ui()->disableLed->isChecked(), accepted);
    if (accepted) {
        // Each changed check box writes its value back as it is set, in rule order.
        const QStringList writeBacks { "10 04 E0 08 01", "10 04 E0 1B 00" };
        QCOMPARE(h->sentHex(), kRefreshReads + writeBacks + kStatusReads);
        QCOMPARE(w->settingsMirror(), h->box.settings());
        QCOMPARE(w->settingsMirror()[38], std::uint8_t(0x5A));
    } else {
        QCOMPARE(w->settingsMirror(), mirrorBefore);
        for (const QString &frame : h->sentHex())
            QVERIFY2(!frame.startsWith("10 04 E0"), qPrintable(frame));
    }
}

void TestSettingsWindow::refreshRules_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("audio 2 keeps jack")
        << "1=3"
        << "1=2" << QStringList { "audioJack checked", "audioHdmi unchecked" };
    QTest::newRow("audio 7 keeps HDMI")
        << "1=1"
        << "1=7" << QStringList { "audioHdmi checked", "audioJack unchecked" };
    QTest::newRow("HDCP 1 keeps 1.4")
        << "3=2"
        << "3=1" << QStringList { "hdcp14 checked", "hdcp22 unchecked" };
    QTest::newRow("4:2:0 value 9 keeps on") << "4=1"
                                            << "4=9" << QStringList { "enable420 checked" };
    QTest::newRow("automix, choice available")
        << ""
        << "2=1,9=1"
        << QStringList { "automixEDID checked", "EDIDtext enabled", "customEDID enabled" };
    QTest::newRow("fixed, choice available")
        << ""
        << "2=2,9=1" << QStringList { "fixedEDID checked", "EDIDtext enabled" };
    QTest::newRow("custom, choice not available")
        << ""
        << "2=3,9=0"
        << QStringList { "customEDID checked", "automixEDID unchecked", "EDIDtext disabled",
               "customEDID disabled" };
    QTest::newRow("EDID mode 0 keeps the choice")
        << "2=2"
        << "2=0,9=1" << QStringList { "fixedEDID checked" };
    QTest::newRow("auto switch off")
        << ""
        << "6=0"
        << QStringList { "autoSwDis checked", "pPrioForce disabled", "bPrioNorm disabled" };
    QTest::newRow("auto switch 5 leaves enabled state")
        << "6=0"
        << "6=5,18=1"
        << QStringList { "autoSwDis checked", "pPrioForce disabled", "pPrioForce checked",
               "bPrioNorm unchecked" };
    QTest::newRow("availability off") << ""
                                      << "10=0,11=2"
                                      << QStringList { "hdcp14 disabled", "hdcp22 disabled",
                                             "audioHdmi disabled", "audioJack disabled" };
    QTest::newRow("green LED 2 is off")
        << ""
        << "26=2" << QStringList { "disableLed checked", "enableLed unchecked" };
    QTest::newRow("pairs take only 1 as on")
        << "21=1,24=1,27=1,31=1"
        << "21=2,24=255,27=0,31=3"
        << QStringList { "bHdrRepurpDis checked", "bFullHdr checked", "disableBLed checked",
               "disableAVR checked" };
    QTest::newRow("REPLACE AVI follows the box")
        << ""
        << "33=1" << QStringList { "cbAviPersistent checked" };
    QTest::newRow("input 0 names no item") << "0=2"
                                           << "0=0" << QStringList { "cmbInputSel index -1" };
}

void TestSettingsWindow::refreshRules()
{
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QStringList, shown);

    startQuiet();
    setBoxSettings(h->box, before);
    h->tick();
    setBoxSettings(h->box, after);
    h->tick();
    QStringList seen;
    for (const QString &expectation : shown)
        seen << describe(h->window(), expectation);
    QCOMPARE(seen, shown);
}

void TestSettingsWindow::comboWriteBack_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("combo");
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("writeBack");

    QTest::newRow("input 3") << 0 << 3 << "cmbInputSel" << 2 << QStringList { "10 04 E0 00 03" };
    QTest::newRow("preset 4") << 19 << 4 << "cmBEdid" << 4 << QStringList { "10 04 E0 0E 04" };
    QTest::newRow("device type 1") << 30 << 1 << "cmbLa" << 1 << QStringList { "10 04 E0 1C 01" };
    QTest::newRow("algorithm 3") << 32 << 3 << "cmbEdidAlgo" << 3
                                 << QStringList { "10 04 E0 20 03" };
    // Values that name no item leave the combo box empty and write nothing back.
    QTest::newRow("input 0") << 0 << 0 << "cmbInputSel" << -1 << QStringList();
    QTest::newRow("input 5") << 0 << 5 << "cmbInputSel" << -1 << QStringList();
    QTest::newRow("preset 8") << 19 << 8 << "cmBEdid" << -1 << QStringList();
    QTest::newRow("device type 2") << 30 << 2 << "cmbLa" << -1 << QStringList();
    QTest::newRow("algorithm 255") << 32 << 255 << "cmbEdidAlgo" << -1 << QStringList();
}

void TestSettingsWindow::comboWriteBack()
{
    QFETCH(int, position);
    QFETCH(int, value);
    QFETCH(QString, combo);
    QFETCH(int, index);
    QFETCH(QStringList, writeBack);

    startQuiet();
    h->box.setSetting(position, std::uint8_t(value));
    h->tick();
    QCOMPARE(h->window()->findChild<QComboBox *>(combo)->currentIndex(), index);
    QCOMPARE(h->sentHex(), kRefreshReads + writeBack + kStatusReads);
    QVERIFY(h->statusLog.isEmpty());
}

void TestSettingsWindow::factoryReset_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("clearSettings");
    QTest::addColumn<bool>("clearEdid");
    QTest::addColumn<QList<StatusMessage>>("status");
    QTest::addColumn<QStringList>("frames");

    const QList<StatusMessage> typeIt { { "Type RESET into the text box and click OK", 2000 } };
    QTest::newRow("lower case") << "reset" << true << true << typeIt << QStringList();
    QTest::newRow("blank before") << " RESET" << false << true << typeIt << QStringList();
    QTest::newRow("blank after") << "RESET " << true << false << typeIt << QStringList();
    QTest::newRow("empty") << "" << true << true << typeIt << QStringList();
    QTest::newRow("nothing chosen")
        << "RESET" << false << false
        << QList<StatusMessage> { { "Choose the reset from the checkboxes", 2000 } }
        << QStringList();
    QTest::newRow("EDID") << "RESET" << false << true << QList<StatusMessage>()
                          << QStringList { "10 04 E0 19 01" };
    QTest::newRow("settings") << "RESET" << true << false << QList<StatusMessage>()
                              << QStringList { "10 04 E0 19 02" };
    QTest::newRow("both") << "RESET" << true << true << QList<StatusMessage>()
                          << QStringList { "10 04 E0 19 03" };
}

void TestSettingsWindow::factoryReset()
{
    QFETCH(QString, typed);
    QFETCH(bool, clearSettings);
    QFETCH(bool, clearEdid);
    QFETCH(QList<StatusMessage>, status);
    QFETCH(QStringList, frames);

    MainWindow *w = startQuiet();
    const auto mirrorBefore = w->settingsMirror();
    Ui_MainWindow *ui = h->ui();
    ui->leReset->setText(typed);
    ui->cbClearSettings->setChecked(clearSettings);
    ui->cbClearEdid->setChecked(clearEdid);
    ui->pbReset->click();

    QCOMPARE(h->statusLog, status);
    QCOMPARE(h->sentHex(), frames);
    QCOMPARE(w->settingsMirror(), mirrorBefore);
    const bool confirmed = typed == "RESET";
    QCOMPARE(ui->leReset->text(), confirmed ? QString() : typed);
    QCOMPARE(ui->cbClearSettings->isChecked(), confirmed ? false : clearSettings);
    QCOMPARE(ui->cbClearEdid->isChecked(), confirmed ? false : clearEdid);
}

void TestSettingsWindow::edidModeChange_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<bool>("textEnabled");

    QTest::newRow("automix again") << "automixEDID"
                                   << "10 04 E0 05 01" << false;
    QTest::newRow("fixed") << "fixedEDID"
                           << "10 04 E0 05 02" << false;
    QTest::newRow("custom") << "customEDID"
                            << "10 04 E0 05 03" << true;
}

void TestSettingsWindow::edidModeChange()
{
    QFETCH(QString, button);
    QFETCH(QString, frame);
    QFETCH(bool, textEnabled);

    MainWindow *w = startQuiet();
    QVERIFY(!w->edidPending());
    h->ui()->EDIDtext->setEnabled(!textEnabled);
    w->findChild<QAbstractButton *>(button)->click();
    QCOMPARE(h->sentHex(), QStringList { frame });
    QCOMPARE(h->statusLog, (QList<StatusMessage> { { "EDID Writing Busy", 2000 } }));
    QVERIFY(w->edidPending());
    QCOMPARE(h->ui()->EDIDtext->isEnabled(), textEnabled);

    // The box rebuilds its EDID: while its busy bit is set the tick only checks.
    h->clearLogs();
    h->tick();
    QVERIFY(w->edidPending());
    QVERIFY(!h->sentHex().contains("10 01 B4"));
    h->clock.advance(EmulatedBox::kEdidRebuildBusyMs);
    h->clearLogs();
    h->tick();
    QVERIFY(!w->edidPending());
    QVERIFY(h->sentHex().contains("10 01 B4"));
}

void TestSettingsWindow::anyBoxBytesAreSafe_data()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("pages");

    QTest::newRow("all zero") << QByteArray(kSettingCount, '\0') << QByteArray(64, '\0');
    QTest::newRow("all 0xFF") << QByteArray(kSettingCount, char(0xFF))
                              << QByteArray(64, char(0xFF));
    QRandomGenerator random(7734); // fixed seed: the same bytes on every run
    for (int run = 0; run < 8; ++run) {
        QByteArray settings(kSettingCount, '\0');
        QByteArray pages(64, '\0');
        for (char &c : settings)
            c = char(random.bounded(256));
        for (char &c : pages)
            c = char(random.bounded(256));
        QTest::addRow("random %d", run) << settings << pages;
    }
}

void TestSettingsWindow::anyBoxBytesAreSafe()
{
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, pages);

    MainWindow *w = startQuiet();
    for (int p = 0; p < kSettingCount; ++p)
        h->box.setSetting(p, std::uint8_t(settings[p]));
    for (std::uint8_t page :
        { Page::Status, Page::SourceProduct, Page::HdrInfoFrame, Page::AviInfoFrame })
        h->box.setPage(page, pages);
    h->tick();
    h->tick();
    // The check box write-backs of the first tick reached both the box and the mirror.
    const int cec = settingRow(SettingId::Cec).position;
    QCOMPARE(w->settingsMirror()[std::size_t(cec)], h->box.setting(cec));
    QCOMPARE(h->ui()->cbCec->isChecked(), h->box.setting(cec) == 1);

    // Noise in place of the settings block answer.
    h->bridge.injectAnswer(
        pages.left(kSettingsBlockLength), FaultWhen::onNth(Command::SettingsBlock, 1));
    h->tick();
    QVERIFY(h->ui()->label_video_format->text().startsWith("Input : "));
    QVERIFY(h->ui()->lblHdrInput->text().startsWith("HDR input: "));
}

// Someone types into the EDID text, a key every 0.3 s, across poll ticks: the
// refresh must not take the focus away (a Space would then click "2.0").
void TestSettingsWindow::typingAcrossTicksKeepsFocus()
{
    MainWindow *w = startQuiet();
    h->tick();
    const QStringList quietTick = h->sentHex();
    QVERIFY(!quietTick.isEmpty());
    h->clearLogs();
    w->show();
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTextEdit *text = h->ui()->EDIDtext;
    QVERIFY(text->isEnabled());
    text->clear();
    text->setFocus();

    const QString keys = QStringLiteral("00 FF FF FF FF FF FF 00 4C 2D 0F");
    QStringList expectedFrames;
    for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), keys.at(i).toLatin1());
        h->clock.advance(300);
        if (i % 10 == 9) { // every 3 s, as the poll timer
            h->tick();
            expectedFrames << quietTick;
        }
    }
    QCOMPARE(expectedFrames.size(), 3 * quietTick.size());
    QCOMPARE(QApplication::focusWidget(), text);
    QCOMPARE(text->toPlainText(), keys);
    QCOMPARE(h->sentHex(), expectedFrames);
}

QTEST_MAIN(TestSettingsWindow)
#include "tst_settingswindow.moc"
