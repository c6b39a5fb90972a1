// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace vortalex;

Q_DECLARE_METATYPE(StatusMessage)

namespace {

const QStringList kRefreshReads { "11 2A E1", "11 0E E0 06" };

// A list of `bytes` hex pairs counting up from 0x10, e.g. "10:11:12".
QString hexList(int bytes)
{
    QStringList pairs;
    for (int i = 0; i < bytes; ++i)
        pairs << QString::number(0x10 + i, 16);
    return pairs.join(':');
}

// The same bytes as they go out in a frame: "10 11 12".
QString hexFrameBytes(int bytes)
{
    return hexList(bytes).toUpper().replace(':', ' ');
}

// Arms a fault for the exchanges of one command: "" none, "data" the data
// request answers with a wrong echo, "silent" it gets no answer, "activate"
// the activate request answers with a wrong echo, "setting" the first write
// setting does.
void armFault(SimBridge &bridge, const QString &fault, Command data)
{
    if (fault == "data")
        bridge.injectFault(Fault::WrongEcho, FaultWhen::onNth(data, 1));
    else if (fault == "silent")
        bridge.injectFault(Fault::NoAnswer, FaultWhen::onNth(data, 1));
    else if (fault == "activate")
        bridge.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::Activate, 1));
    else if (fault == "setting")
        bridge.injectFault(Fault::WrongEcho, FaultWhen::onNth(Command::Page, 1, FrameType::Set));
}

} // namespace

class TestCecWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sends_data();
    void sends();
    void checkBoxes_data();
    void checkBoxes();
    void refreshChecksForceHdr_data();
    void refreshChecksForceHdr();
    void withoutBox_data();
    void withoutBox();
    void anyTextIsSafe_data();
    void anyTextIsSafe();

private:
    // A started window after its first poll tick, logs empty.
    MainWindow *startQuiet();
    // Frames sent since `startMs`, as "<ms since startMs> > <hex>".
    QStringList timedFrames(std::uint32_t startMs) const;

    std::unique_ptr<WindowHarness> h;
};

void TestCecWindow::init()
{
    h = std::make_unique<WindowHarness>();
}

void TestCecWindow::cleanup()
{
    h.reset();
}

MainWindow *TestCecWindow::startQuiet()
{
    MainWindow *w = h->start();
    h->tick();
    h->clearLogs();
    return w;
}

QStringList TestCecWindow::timedFrames(std::uint32_t startMs) const
{
    QStringList lines;
    for (const FrameLogEntry &entry : h->bridge.frameLog()) {
        if (entry.direction == FrameLogEntry::Direction::ToBox)
            lines << frameLogLine(entry, startMs);
    }
    return lines;
}

void TestCecWindow::sends_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QList<StatusMessage>>("status");
    QTest::addColumn<QStringList>("diagnostics");
    QTest::addColumn<bool>("result"); // sendAVI() only

    const QList<StatusMessage> cecOk { { "CEC values written...", 2000 } };
    const QList<StatusMessage> cecLength { { "Error: min 2, max 31 data bytes", 2000 } };
    const QList<StatusMessage> ifOk { { "Infoframe values written...", 2000 } };
    const QList<StatusMessage> aviOk { { "AVI values written...", 2000 } };
    const QList<StatusMessage> aviLength { { "Error: min 2, max 13 data bytes", 2000 } };
    const QList<StatusMessage> notCorrect { { "CEC values not correct", 2000 } };
    const QStringList none;

    // Send CEC: the message in CEC layout, then 100 ms later the activate request.
    QTest::newRow("cec 50:04") << "WriteCEC"
                               << "50:04"
                               << "" << QStringList { "0 > 10 03 B2 50 01 04", "100 > 10 03 B3 10" }
                               << cecOk << none << false;
    QTest::newRow("cec 54:44:01") << "WriteCEC"
                                  << "54:44:01"
                                  << ""
                                  << QStringList { "0 > 10 04 B2 54 02 44 01", "100 > 10 04 B3 10" }
                                  << cecOk << none << false;
    QTest::newRow("cec 0f:36") << "WriteCEC"
                               << "0f:36"
                               << "" << QStringList { "0 > 10 03 B2 0F 01 36", "100 > 10 03 B3 10" }
                               << cecOk << none << false;
    QTest::newRow("cec text around")
        << "WriteCEC"
        << "  50:04 hello"
        << "" << QStringList { "0 > 10 03 B2 50 01 04", "100 > 10 03 B3 10" } << cecOk << none
        << false;
    QTest::newRow("cec 50:4:01") << "WriteCEC"
                                 << "50:4:01"
                                 << ""
                                 << QStringList { "0 > 10 03 B2 50 01 43", "100 > 10 03 B3 10" }
                                 << cecOk << none << false;
    QTest::newRow("cec no colon") << "WriteCEC"
                                  << "ABCDE"
                                  << "" << QStringList { "0 > 10 01 B2 BC", "100 > 10 01 B3 10" }
                                  << cecOk << none << false;
    QTest::newRow("cec colon first")
        << "WriteCEC"
        << ":1234"
        << "" << QStringList { "0 > 10 03 B2 00 01 12", "100 > 10 03 B3 10" } << cecOk << none
        << false;
    QTest::newRow("cec outside Latin-1")
        << "WriteCEC" << QStringLiteral(u"50:0\u20ac") << ""
        << QStringList { "0 > 10 03 B2 50 01 08", "100 > 10 03 B3 10" } << cecOk << none << false;
    QTest::newRow("cec emoji is one character")
        << "WriteCEC" << QStringLiteral(u"50:0\U0001F600") << ""
        << QStringList { "0 > 10 03 B2 50 01 08", "100 > 10 03 B3 10" } << cecOk << none << false;
    QTest::newRow("cec 31 bytes") << "WriteCEC" << hexList(31) << ""
                                  << QStringList { "0 > 10 20 B2 10 1E " + hexFrameBytes(31).mid(3),
                                         "100 > 10 20 B3 10" }
                                  << cecOk << none << false;
    QTest::newRow("cec 4 chars") << "WriteCEC"
                                 << "50:4"
                                 << "" << none << cecLength << none << false;
    QTest::newRow("cec 93 chars") << "WriteCEC" << hexList(31) + " "
                                  << "" << none << cecLength << none << false;
    QTest::newRow("cec 10000 chars")
        << "WriteCEC" << QString(10000, ':') << "" << none << cecLength << none << false;
    QTest::newRow("cec refused") << "WriteCEC"
                                 << "50:04"
                                 << "data"
                                 << QStringList { "0 > 10 03 B2 50 01 04", "100 > 10 03 B3 10" }
                                 << QList<StatusMessage> { { "Error Writing CEC command.", 4000 } }
                                 << none << false;
    QTest::newRow("cec unanswered")
        << "WriteCEC"
        << "50:04"
        << "silent" << QStringList { "0 > 10 03 B2 50 01 04", "4100 > 10 03 B3 10" }
        << QList<StatusMessage> { { "Error Writing CEC command.", 4000 } } << none << false;
    QTest::newRow("cec activate refused")
        << "WriteCEC"
        << "50:04"
        << "activate" << QStringList { "0 > 10 03 B2 50 01 04", "100 > 10 03 B3 10" } << cecOk
        << QStringList { "\nError Populating CEC values.\n" } << false;

    // Save CEC SP / LP: the text itself, no activate request.
    QTest::newRow("save SP") << "SaveCEC_1"
                             << "50:04"
                             << "" << QStringList { "0 > 10 0A E3 43 45 43 20 35 30 3A 30 34 0D" }
                             << cecOk << none << false;
    QTest::newRow("save LP") << "SaveCEC_2"
                             << "0f:36"
                             << "" << QStringList { "0 > 10 0A E4 43 45 43 20 30 46 3A 33 36 0D" }
                             << cecOk << none << false;
    QTest::newRow("save outside Latin-1")
        << "SaveCEC_1" << QStringLiteral(u"50:04\u20ac") << ""
        << QStringList { "0 > 10 0B E3 43 45 43 20 35 30 3A 30 34 3F 0D" } << cecOk << none
        << false;
    const QString text59 = hexList(20);
    QTest::newRow("save 59 chars") << "SaveCEC_2" << text59 << ""
                                   << QStringList { "0 > 10 40 E4 43 45 43 20 "
                                          + hexBytes(text59.toUpper().toLatin1()) + " 0D" }
                                   << cecOk << none << false;
    QTest::newRow("save 60 chars") << "SaveCEC_1" << hexList(20) + " "
                                   << "" << none << notCorrect << none << false;
    QTest::newRow("save 4 chars") << "SaveCEC_1"
                                  << "50:4"
                                  << "" << none << notCorrect << none << false;
    QTest::newRow("save refused") << "SaveCEC_2"
                                  << "50:04"
                                  << "data"
                                  << QStringList { "0 > 10 0A E4 43 45 43 20 35 30 3A 30 34 0D" }
                                  << QList<StatusMessage> { { "Error Writing CEC values.", 4000 } }
                                  << none << false;

    // Send IF: the HDR InfoFrame, then the activate request even after a refusal.
    QTest::newRow("hdr 2 bytes") << "WriteIF"
                                 << "87:01"
                                 << "" << QStringList { "0 > 10 02 E5 87 01", "100 > 10 02 B3 20" }
                                 << ifOk << none << false;
    QTest::newRow("hdr 31 bytes") << "WriteIF" << hexList(31) << ""
                                  << QStringList { "0 > 10 1F E5 " + hexFrameBytes(31),
                                         "100 > 10 1F B3 20" }
                                  << ifOk << none << false;
    QTest::newRow("hdr 39 chars") << "WriteIF" << hexList(13) + "x"
                                  << ""
                                  << QStringList { "0 > 10 0D E5 " + hexFrameBytes(13),
                                         "100 > 10 0D B3 20" }
                                  << ifOk << none << false;
    QTest::newRow("hdr ends with colon")
        << "WriteIF"
        << "50:04:"
        << "" << QStringList { "0 > 10 03 E5 50 04 D0", "100 > 10 03 B3 20" } << ifOk << none
        << false;
    QTest::newRow("hdr 4 chars") << "WriteIF"
                                 << "87:0"
                                 << "" << none << cecLength << none << false;
    QTest::newRow("hdr 93 chars") << "WriteIF" << hexList(31) + ":"
                                  << "" << none << cecLength << none << false;
    QTest::newRow("hdr refused") << "WriteIF"
                                 << "87:01"
                                 << "data"
                                 << QStringList { "0 > 10 02 E5 87 01", "100 > 10 02 B3 20" }
                                 << QList<StatusMessage> { { "Error Writing Infoframe values.",
                                        4000 } }
                                 << none << false;
    QTest::newRow("hdr activate refused")
        << "WriteIF"
        << "87:01"
        << "activate" << QStringList { "0 > 10 02 E5 87 01", "100 > 10 02 B3 20" } << ifOk
        << QStringList { "\nError Populating IF values.\n" } << false;

    // Send AVI: data, activate only after acceptance, then the replace-AVI setting.
    QTest::newRow("avi example") << "sendAVI"
                                 << "60:c8:60:61:00"
                                 << ""
                                 << QStringList { "0 > 10 05 E6 60 C8 60 61 00",
                                        "100 > 10 05 B3 80", "100 > 10 04 E0 21 00" }
                                 << aviOk << none << true;
    QTest::newRow("avi 13 bytes") << "sendAVI" << hexList(13) << ""
                                  << QStringList { "0 > 10 0D E6 " + hexFrameBytes(13),
                                         "100 > 10 0D B3 80", "100 > 10 04 E0 21 00" }
                                  << aviOk << none << true;
    QTest::newRow("avi 39 chars") << "sendAVI" << hexList(13) + "x"
                                  << "" << none << aviLength << none << false;
    QTest::newRow("avi 4 chars") << "sendAVI"
                                 << "60:c"
                                 << "" << none << aviLength << none << false;
    QTest::newRow("avi refused") << "sendAVI"
                                 << "60:c8:60:61:00"
                                 << "data" << QStringList { "0 > 10 05 E6 60 C8 60 61 00" }
                                 << QList<StatusMessage> { { "Error Writing AVI command.", 4000 } }
                                 << none << false;
    QTest::newRow("avi activate refused")
        << "sendAVI"
        << "60:c8:60:61:00"
        << "activate" << QStringList { "0 > 10 05 E6 60 C8 60 61 00", "100 > 10 05 B3 80" } << aviOk
        << QStringList { "\nError Activating AVI values.\n" } << false;
    QTest::newRow("avi setting refused")
        << "sendAVI"
        << "60:c8:60:61:00"
        << "setting"
        << QStringList { "0 > 10 05 E6 60 C8 60 61 00", "100 > 10 05 B3 80",
               "100 > 10 04 E0 21 00" }
        << (aviOk + QList<StatusMessage> { { "Error Writing values", 4000 } }) << none << true;
}

void TestCecWindow::sends()
{
    QFETCH(QString, slot);
    QFETCH(QString, text);
    QFETCH(QString, fault);
    QFETCH(QStringList, frames);
    QFETCH(QList<StatusMessage>, status);
    QFETCH(QStringList, diagnostics);
    QFETCH(bool, result);

    MainWindow *w = startQuiet();
    Ui_MainWindow *ui = h->ui();
    QTextEdit *edit = slot == "WriteIF" ? ui->IFtext
        : slot == "sendAVI"             ? ui->AVItext
                                        : ui->CECtext;
    edit->setPlainText(text);
    const Command data = slot == "WriteCEC" ? Command::CecSend
        : slot == "SaveCEC_1"               ? Command::CecStoreSp
        : slot == "SaveCEC_2"               ? Command::CecStoreLp
        : slot == "WriteIF"                 ? Command::HdrInfoFrame
                                            : Command::AviInfoFrame;
    armFault(h->bridge, fault, data);
    const auto mirrorBefore = w->settingsMirror();
    const std::uint32_t start = h->clock.tickCount();

    if (slot == "sendAVI") {
        bool sent = !result;
        QVERIFY(QMetaObject::invokeMethod(w, "sendAVI", Q_RETURN_ARG(bool, sent)));
        QCOMPARE(sent, result);
    } else {
        QVERIFY(QMetaObject::invokeMethod(w, slot.toLatin1().constData()));
    }

    QCOMPARE(timedFrames(start), frames);
    QCOMPARE(h->statusLog, status);
    QCOMPARE(h->diagnostics, diagnostics);
    QVERIFY(h->dialogs.log.isEmpty());
    // The text stays as typed; upper-casing works on a copy.
    QCOMPARE(edit->toPlainText(), text);
    // Only a successful AVI send touches the mirror (position 33, unchecked: 0).
    QCOMPARE(w->settingsMirror(), mirrorBefore);
}

void TestCecWindow::checkBoxes_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("checking");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QList<StatusMessage>>("status");

    QTest::newRow("force HDR on")
        << "cbHdrForceMode" << true << "87:01"
        << "" << QStringList { "0 > 10 02 E5 87 01", "100 > 10 02 B3 20", "100 > 10 04 E0 11 01" }
        << QList<StatusMessage> { { "Infoframe values written...", 2000 } };
    QTest::newRow("force HDR on, short text")
        << "cbHdrForceMode" << true << "87:0"
        << "" << QStringList { "0 > 10 04 E0 11 01" }
        << QList<StatusMessage> { { "Error: min 2, max 31 data bytes", 2000 } };
    QTest::newRow("force HDR on, refused")
        << "cbHdrForceMode" << true << "87:01"
        << "data"
        << QStringList { "0 > 10 02 E5 87 01", "100 > 10 02 B3 20", "100 > 10 04 E0 11 01" }
        << QList<StatusMessage> { { "Error Writing Infoframe values.", 4000 } };
    QTest::newRow("force HDR off")
        << "cbHdrForceMode" << false << "87:01"
        << "" << QStringList { "0 > 10 04 E0 11 00" } << QList<StatusMessage>();
    QTest::newRow("replace AVI on")
        << "cbAviPersistent" << true << "60:c8:60:61:00"
        << ""
        << QStringList { "0 > 10 05 E6 60 C8 60 61 00", "100 > 10 05 B3 80", "100 > 10 04 E0 21 01",
               "100 > 10 04 E0 21 01" }
        << QList<StatusMessage> { { "AVI values written...", 2000 } };
    QTest::newRow("replace AVI on, short text")
        << "cbAviPersistent" << true << "60:c"
        << "" << QStringList { "0 > 10 04 E0 21 01" }
        << QList<StatusMessage> { { "Error: min 2, max 13 data bytes", 2000 } };
    QTest::newRow("replace AVI on, refused")
        << "cbAviPersistent" << true << "60:c8:60:61:00"
        << "data" << QStringList { "0 > 10 05 E6 60 C8 60 61 00", "0 > 10 04 E0 21 01" }
        << QList<StatusMessage> { { "Error Writing AVI command.", 4000 } };
    QTest::newRow("replace AVI on, activation refused")
        << "cbAviPersistent" << true << "60:c8:60:61:00"
        << "activate"
        << QStringList { "0 > 10 05 E6 60 C8 60 61 00", "100 > 10 05 B3 80",
               "100 > 10 04 E0 21 01" }
        << QList<StatusMessage> { { "AVI values written...", 2000 } };
    QTest::newRow("replace AVI off")
        << "cbAviPersistent" << false << "60:c8:60:61:00"
        << "" << QStringList { "0 > 10 04 E0 21 00" } << QList<StatusMessage>();
}

void TestCecWindow::checkBoxes()
{
    QFETCH(QString, box);
    QFETCH(bool, checking);
    QFETCH(QString, text);
    QFETCH(QString, fault);
    QFETCH(QStringList, frames);
    QFETCH(QList<StatusMessage>, status);

    const bool hdr = box == "cbHdrForceMode";
    const int position = hdr ? 22 : 33;
    h->box.setSetting(position, checking ? 0 : 1);
    MainWindow *w = startQuiet();
    auto *check = w->findChild<QCheckBox *>(box);
    QCOMPARE(check->isChecked(), !checking);
    (hdr ? h->ui()->IFtext : h->ui()->AVItext)->setPlainText(text);
    armFault(h->bridge, fault, hdr ? Command::HdrInfoFrame : Command::AviInfoFrame);
    auto mirrorAfter = w->settingsMirror();
    mirrorAfter[std::size_t(position)] = checking ? 1 : 0;
    const std::uint32_t start = h->clock.tickCount();

    check->click();

    QCOMPARE(timedFrames(start), frames);
    QCOMPARE(h->statusLog, status);
    QCOMPARE(w->settingsMirror(), mirrorAfter);
    QCOMPARE(h->box.setting(position), std::uint8_t(checking ? 1 : 0));
}

void TestCecWindow::refreshChecksForceHdr_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QStringList>("writes");

    QTest::newRow("checked by the box")
        << 0 << 1 << QStringList { "10 02 E5 87 01", "10 02 B3 20", "10 04 E0 11 01" };
    QTest::newRow("unchecked by the box") << 1 << 0 << QStringList { "10 04 E0 11 00" };
}

void TestCecWindow::refreshChecksForceHdr()
{
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QStringList, writes);

    h->box.setSetting(22, std::uint8_t(before));
    MainWindow *w = startQuiet();
    h->ui()->IFtext->setPlainText("87:01");
    h->box.setSetting(22, std::uint8_t(after));
    h->tick();

    const QStringList sent = h->sentHex();
    QCOMPARE(sent.mid(0, 2), kRefreshReads);
    QCOMPARE(sent.mid(2, writes.size()), writes);
    QCOMPARE(h->ui()->cbHdrForceMode->isChecked(), after == 1);
    QCOMPARE(w->settingsMirror()[22], std::uint8_t(after));
    if (after == 1) {
        const auto &log = h->bridge.frameLog();
        std::uint32_t dataAt = 0;
        std::uint32_t activateAt = 0;
        for (const FrameLogEntry &e : log) {
            if (e.direction == FrameLogEntry::Direction::ToBox && e.bytes.size() > 2) {
                if (quint8(e.bytes[2]) == 0xE5)
                    dataAt = e.timeMs;
                else if (quint8(e.bytes[2]) == 0xB3)
                    activateAt = e.timeMs;
            }
        }
        QCOMPARE(activateAt - dataAt, 100u);
    }
}

void TestCecWindow::withoutBox_data()
{
    QTest::addColumn<QString>("slot");
    QTest::addColumn<QList<StatusMessage>>("status");
    QTest::addColumn<QStringList>("diagnostics");

    QTest::newRow("send CEC") << "WriteCEC"
                              << QList<StatusMessage> { { "Error Writing CEC command.", 4000 } }
                              << QStringList { "\nError Populating CEC values.\n" };
    QTest::newRow("save SP") << "SaveCEC_1"
                             << QList<StatusMessage> { { "Error Writing CEC values.", 4000 } }
                             << QStringList();
    QTest::newRow("send IF") << "WriteIF"
                             << QList<StatusMessage> { { "Error Writing Infoframe values.", 4000 } }
                             << QStringList { "\nError Populating IF values.\n" };
    QTest::newRow("send AVI") << "sendAVI"
                              << QList<StatusMessage> { { "Error Writing AVI command.", 4000 } }
                              << QStringList();
}

void TestCecWindow::withoutBox()
{
    QFETCH(QString, slot);
    QFETCH(QList<StatusMessage>, status);
    QFETCH(QStringList, diagnostics);

    h->bridge.setDevices({});
    MainWindow *w = h->start();
    h->clearLogs();
    // Without a box the texts start empty.
    QCOMPARE(h->ui()->CECtext->toPlainText(), QString());
    h->ui()->CECtext->setPlainText("50:04");
    h->ui()->IFtext->setPlainText("87:01");
    h->ui()->AVItext->setPlainText("60:c8:60:61:00");

    QVERIFY(QMetaObject::invokeMethod(w, slot.toLatin1().constData()));

    QCOMPARE(h->statusLog, status);
    QCOMPARE(h->diagnostics, diagnostics);
    QVERIFY(h->bridge.sentFrames().isEmpty());
    QVERIFY(h->dialogs.log.isEmpty());
}

void TestCecWindow::anyTextIsSafe_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QString();
    QTest::newRow("control characters") << QString::fromLatin1("\x01\x02:\x1b\x7f\t:\n:\r:");
    QTest::newRow("10000 colons") << QString(10000, ':');
    QTest::newRow("92 colons") << QString(92, ':');
    QTest::newRow("10000 characters") << QString(10000, QChar(0x4E2D));
    QRandomGenerator random(861);
    for (int row = 0; row < 12; ++row) {
        QString text;
        const int length = int(random.bounded(1, 120));
        for (int i = 0; i < length; ++i) {
            const int pick = int(random.bounded(4));
            text += pick == 0 ? QChar(':')
                : pick == 1   ? QChar(char16_t(random.bounded(0x20, 0x7F)))
                : pick == 2   ? QChar(char16_t(random.bounded(0x00, 0x100)))
                              : QChar(char16_t(random.bounded(0x100, 0xD800)));
        }
        QTest::newRow(qPrintable(QString("random %1").arg(row))) << text;
    }
}

void TestCecWindow::anyTextIsSafe()
{
    QFETCH(QString, text);

    MainWindow *w = startQuiet();
    Ui_MainWindow *ui = h->ui();
    ui->CECtext->setPlainText(text);
    ui->IFtext->setPlainText(text);
    ui->AVItext->setPlainText(text);
    // Length in characters as the box text counts them.
    const int chars = int(text.toUpper().toUcs4().size());

    for (const char *slot : { "WriteCEC", "SaveCEC_1", "SaveCEC_2", "WriteIF", "sendAVI" })
        QVERIFY(QMetaObject::invokeMethod(w, slot));
    ui->cbHdrForceMode->click();
    ui->cbAviPersistent->click();

    int dataFrames = 0;
    for (const QByteArray &frame : h->bridge.sentFrames()) {
        QVERIFY(frame.size() >= 4);
        const auto code = quint8(frame[2]);
        if (code == 0xE0 || code == 0xB3)
            continue;
        ++dataFrames;
        // The length field counts what follows it; no payload beyond the parser's 100 bytes.
        QCOMPARE(int(quint8(frame[1])), frame.size() - 3);
        if (code == 0xE3 || code == 0xE4)
            QVERIFY(chars <= 59 && frame.size() == chars + 8);
        else
            QVERIFY(chars <= 92 && frame.size() <= 3 + 100);
        if (code == 0xE6)
            QVERIFY(chars <= 38);
    }
    if (chars < 5 || chars > 92)
        QCOMPARE(dataFrames, 0);
}

QTEST_MAIN(TestCecWindow)
#include "tst_cecwindow.moc"
