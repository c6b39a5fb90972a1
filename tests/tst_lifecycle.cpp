// SPDX-License-Identifier: GPL-3.0-or-later
// The window's life: finding the box, the start-up sync, the poll tick and
// the three ways of ending, all against the emulated box on a virtual clock.
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QTimer>
#include <QtTest>

using namespace vortalex;

namespace {

const QStringList kQuietTick = { "11 2A E1",    "11 0E E0 06", "11 0F E0 06",
                                 "11 1F E0 15", "11 1F E0 1E", "11 1F E0 1F" };

int timersOf(QObject *object)
{
    return QAbstractEventDispatcher::instance()->registeredTimers(object).size();
}

bool isComboWrite(const QString &frame)
{
    static const QStringList comboIds = { "00", "0E", "1C", "20" };
    return frame.startsWith("10 04 E0 ") && comboIds.contains(frame.mid(9, 2));
}

} // namespace

class LifecycleTest : public QObject
{
    Q_OBJECT

private slots:
    void withoutBox_data();
    void withoutBox();
    void startupSyncSequence();
    void failedVersionReadKeepsFormTexts();
    void edidPendingCheck_data();
    void edidPendingCheck();
    void quietTickMakesSixExchanges();
    void tickDuringTransactionSendsNothing();
    void pollTimerStartsOnce();
    void closeEndsEventLoopWithZero();
    void closeFromNestedEventLoopIsSafe();
    void fileExit_data();
    void fileExit();
    void aboutBox();
};

void LifecycleTest::withoutBox_data()
{
    QTest::addColumn<int>("situation");
    QTest::addColumn<QStringList>("dialogs");

    QTest::newRow("no bridge device") << 0 << QStringList { "link: VORTALEX USB not connected!" };
    QTest::newRow("device count fails")
            << 1 << QStringList { "link: VORTALEX USB not connected!" };
    QTest::newRow("only other bridges")
            << 2 << QStringList { "link: VORTALEX USB not connected!" };
    QTest::newRow("open fails") << 3
                                << QStringList { "link: Usb device open error!",
                                                 "warning: VORTALEX Utility|Hardware not found" };
}

void LifecycleTest::withoutBox()
{
    QFETCH(int, situation);
    QFETCH(QStringList, dialogs);

    WindowHarness h;
    switch (situation) {
    case 0:
        h.bridge.setDevices({});
        break;
    case 1:
        h.bridge.setDeviceCountFails(true);
        break;
    case 2:
        h.bridge.setDevices({ SimDevice { "2023 ", false, false }, SimDevice { "02023", false, false } });
        break;
    case 3:
        h.bridge.setOpenFails(true);
        break;
    }
    MainWindow *w = h.start();

    QCOMPARE(h.dialogs.log, dialogs);
    QVERIFY(h.bridge.sentFrames().isEmpty());
    QVERIFY(!w->isReady());
    QVERIFY(!w->pollTimerRunning());
    QCOMPARE(timersOf(w), 0);
    QCOMPARE(h.ui()->cmbInputSel->count(), 0);
    QCOMPARE(h.ui()->cmBEdid->count(), 0);
    QCOMPARE(h.ui()->labelFw1->text(), QString("ver: "));
    QCOMPARE(h.ui()->CECtext->toPlainText(), QString());

    // Combo boxes stay silent without a ready window; other slots try and fail.
    h.ui()->cbCec->setChecked(!h.ui()->cbCec->isChecked());
    QCOMPARE(h.statusLog.last(), (StatusMessage { "Error Writing values", 4000 }));
    QVERIFY(h.bridge.sentFrames().isEmpty());
}

void LifecycleTest::startupSyncSequence()
{
    WindowHarness h;
    h.box.setFirmwareVersion(1, 2, 0, 15);
    MainWindow *w = h.start();

    const QStringList sent = h.sentHex();
    // Refresh reads first, then the three sync pages, the four status pages
    // and the EDID read (fetch, busy polls, 16 chunks).
    QCOMPARE(sent.mid(0, 2), (QStringList { "11 2A E1", "11 0E E0 06" }));
    const int firmware = sent.indexOf("11 08 E0 07");
    QVERIFY(firmware >= 2);
    for (int i = 2; i < firmware; ++i)
        QVERIFY2(sent[i].startsWith("10 04 E0 "), qPrintable(sent[i])); // refresh write-backs
    QCOMPARE(sent.mid(firmware, 7),
             (QStringList { "11 08 E0 07", "11 21 E0 23", "11 0F E0 24", "11 0F E0 06",
                            "11 1F E0 15", "11 1F E0 1E", "11 1F E0 1F" }));
    QCOMPARE(sent.value(firmware + 7), QString("10 01 B4"));
    QCOMPARE(sent.filter(QRegularExpression("^11 10 B0 ")).size(), 16);
    for (const QString &frame : sent)
        QVERIFY2(!isComboWrite(frame), qPrintable(frame));

    QCOMPARE(h.ui()->labelFw1->text(), QString("ver: 1.2.0.15"));
    QCOMPARE(h.ui()->labelTitle->text(), QString("VORTALEX GUI"));
    QCOMPARE(h.ui()->cmbInputSel->currentText(), QString("PORT A [TOP]"));
    QCOMPARE(h.ui()->cmBEdid->currentText(), QString("Custom Uploaded/Default EDID"));
    QCOMPARE(h.ui()->cmbLa->currentText(), QString("Video Processor [Default]"));
    QCOMPARE(h.ui()->cmbEdidAlgo->currentText(), QString("Min Mixed [Default]"));
    QCOMPARE(h.ui()->cmbInputSel->count(), 4);
    QCOMPARE(h.ui()->cmBEdid->count(), 8);
    QCOMPARE(h.ui()->CECtext->toPlainText(), QString("50:04"));
    QVERIFY(h.ui()->CECtext->isEnabled());
    QCOMPARE(h.ui()->IFtext->toPlainText(), QString(h.box.storedHdrInfoFrame().toHex(':')));
    QCOMPARE(h.ui()->AVItext->toPlainText(), QString(h.box.storedAviInfoFrame().toHex(':')));
    QCOMPARE(h.ui()->IFtext->toPlainText().size(), 92);
    QCOMPARE(h.ui()->AVItext->toPlainText().size(), 38);
    QVERIFY(w->isReady());
    QVERIFY(w->pollTimerRunning());
    QVERIFY(w->edidPending());
    QCOMPARE(timersOf(w), 1);
    QVERIFY(h.dialogs.log.isEmpty());
}

void LifecycleTest::failedVersionReadKeepsFormTexts()
{
    WindowHarness h;
    // Page reads of the start-up: 6 (refresh), 7, 35, then 36.
    h.bridge.injectFault(Fault::NoAnswer, FaultWhen::onNth(Command::Page, 4, FrameType::Read));
    MainWindow *w = h.start();

    QCOMPARE(h.ui()->labelFw1->text(), QString("ver: "));
    QVERIFY(h.statusLog.contains(StatusMessage { "...", 2000 }));
    // A failed read still leaves a defined text: the zeros of an empty answer.
    QCOMPARE(h.ui()->AVItext->toPlainText(), QString("00:00:00:00:00:00:00:00:00:00:00:00:00"));
    QVERIFY(w->isReady());
}

void LifecycleTest::edidPendingCheck_data()
{
    QTest::addColumn<int>("firstTick");
    QTest::addColumn<bool>("readsEdid");
    QTest::addColumn<bool>("stillPending");

    QTest::newRow("box idle") << 0 << true << false;
    QTest::newRow("box busy") << 1 << false << true;
    QTest::newRow("settings read fails") << 2 << false << true;
}

void LifecycleTest::edidPendingCheck()
{
    QFETCH(int, firstTick);
    QFETCH(bool, readsEdid);
    QFETCH(bool, stillPending);

    WindowHarness h;
    MainWindow *w = h.start();
    h.clock.advance(5000);
    h.clearLogs();
    if (firstTick == 1)
        h.box.setStuckBusy(true);
    if (firstTick == 2)
        h.bridge.injectFault(Fault::NoAnswer, FaultWhen::onNth(Command::SettingsBlock, 1));

    h.tick();
    QStringList sent = h.sentHex();
    QCOMPARE(sent.first(), QString("11 2A E1"));
    QCOMPARE(sent.contains("10 01 B4"), readsEdid);
    QCOMPARE(w->edidPending(), stillPending);
    if (readsEdid)
        QVERIFY(h.statusLog.contains(StatusMessage { "EDID values read.", 2000 }));

    // Once the box is idle and answers, a later tick reads the EDID and stops checking.
    h.box.setStuckBusy(false);
    h.clock.advance(3000);
    h.tick();
    QVERIFY(!w->edidPending());
    h.clearLogs();
    h.tick();
    QVERIFY(!h.sentHex().contains("10 01 B4"));
}

void LifecycleTest::quietTickMakesSixExchanges()
{
    WindowHarness h;
    h.start();
    h.tick(); // clears the pending EDID re-read
    h.clearLogs();
    h.tick();
    QCOMPARE(h.sentHex(), kQuietTick);
}

void LifecycleTest::tickDuringTransactionSendsNothing()
{
    WindowHarness h;
    MainWindow *w = h.start();
    h.tick();
    h.clearLogs();

    // A failed receive-queue check shows its box from inside the transaction;
    // a poll tick delivered meanwhile must not start an exchange.
    QStringList sentDuringBox;
    bool busyDuringBox = false;
    h.dialogs.duringLinkMessage = [&] {
        busyDuringBox = w->link().busy();
        const int before = h.bridge.sentFrames().size();
        h.tick();
        sentDuringBox = h.sentHex().mid(before);
    };
    h.bridge.injectFault(Fault::RxQueueError, FaultWhen::onNth(Command::SettingsBlock, 1));
    h.tick();

    QVERIFY(busyDuringBox);
    QVERIFY(sentDuringBox.isEmpty());
    QCOMPARE(h.dialogs.log.first(), QString("link: Error Checking RX Queue"));
    QVERIFY(!w->link().busy());
}

void LifecycleTest::pollTimerStartsOnce()
{
    WindowHarness h;
    MainWindow *w = h.start();
    QCOMPARE(timersOf(w), 1);
    w->startPollTimer(MainWindow::kPollIntervalMs);
    QCOMPARE(timersOf(w), 1);
    QCOMPARE(QAbstractEventDispatcher::instance()->registeredTimers(w).first().interval, 3000);
    w->stopPollTimer();
    w->stopPollTimer();
    QCOMPARE(timersOf(w), 0);
    QVERIFY(!w->pollTimerRunning());
}

void LifecycleTest::closeEndsEventLoopWithZero()
{
    WindowHarness h;
    MainWindow *w = h.start();
    QVERIFY(h.bridge.isOpen());
    QTimer::singleShot(0, w, [w] { w->close(); });
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!h.bridge.isOpen());
    QVERIFY(!w->pollTimerRunning());
    QCOMPARE(timersOf(w), 0);
    QVERIFY(h.exitRequests.isEmpty());
}

void LifecycleTest::closeFromNestedEventLoopIsSafe()
{
    WindowHarness h;
    MainWindow *w = h.start();
    h.tick();
    h.dialogs.duringLinkMessage = [w] { w->close(); };
    h.bridge.injectFault(Fault::RxQueueError, FaultWhen::onNth(Command::SettingsBlock, 1));
    h.tick(); // the tick goes on after the window closed under it
    QVERIFY(!h.bridge.isOpen());
    QVERIFY(!w->pollTimerRunning());
    h.tick(); // and later ticks do nothing
}

void LifecycleTest::fileExit_data()
{
    QTest::addColumn<bool>("closeFails");
    QTest::addColumn<QStringList>("dialogs");
    QTest::newRow("clean") << false << QStringList {};
    QTest::newRow("close fails")
            << true << QStringList { "link: Unable to close device handle!" };
}

void LifecycleTest::fileExit()
{
    QFETCH(bool, closeFails);
    QFETCH(QStringList, dialogs);

    WindowHarness h;
    MainWindow *w = h.start();
    h.clearLogs();
    h.bridge.setCloseFails(closeFails);
    h.ui()->actionExit->trigger();
    QCOMPARE(h.exitRequests, QList<int> { 0 });
    QVERIFY(!w->pollTimerRunning());
    QCOMPARE(w->link().handle(), kNoHandle);
    w->close(); // a later close finds nothing to close
    QCOMPARE(h.dialogs.log, dialogs);
}

void LifecycleTest::aboutBox()
{
    WindowHarness h;
    h.start();
    h.clearLogs();
    h.ui()->actionAbout->trigger();
    QCOMPARE(h.dialogs.log.size(), 1);
    QVERIFY(h.dialogs.log.first().startsWith(
            "about: About VORTALEX Utility|<h2>VORTALEX Utility Version 1.8</h2>200% DPI Display "
            "Version<p>"));
    QVERIFY(h.bridge.sentFrames().isEmpty());
    QVERIFY(h.exitRequests.isEmpty());
}

QTEST_MAIN(LifecycleTest)
#include "tst_lifecycle.moc"
