// SPDX-License-Identifier: GPL-3.0-or-later
// The "InfoFrame builder…" window over the HDR / IF tab's fields.
#include "tools/infoframebuilder.h"
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

const QString kHdrFrame = QStringLiteral(
    "87:01:1a:74:02:00:c2:33:c4:86:4c:1d:b8:0b:d0:84:80:3e:13:3d:42:40:e8:03:32:00:e8:03:90:01");
const QString kBt2020Frame = QStringLiteral(
    "87:01:1a:91:02:00:34:21:aa:9b:96:19:fc:08:48:8a:08:39:13:3d:42:40:e8:03:32:00:e8:03:90:01");
const QString kRefused = QStringLiteral("hdrMessage=Not used: correct the values marked in red.");

} // namespace

class TestInfoFrameBuilder : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void use_data();
    void use();
    void decodedLines_data();
    void decodedLines();

private:
    // Opens the builder from the Tools menu over the given field texts.
    InfoFrameBuilder *open(
        const QString &capture, const QString &customHdr, const QString &customAvi);

    std::unique_ptr<WindowHarness> h;
};

void TestInfoFrameBuilder::init()
{
    h = std::make_unique<WindowHarness>();
    h->start();
}

void TestInfoFrameBuilder::cleanup()
{
    h.reset();
}

InfoFrameBuilder *TestInfoFrameBuilder::open(
    const QString &capture, const QString &customHdr, const QString &customAvi)
{
    h->ui()->txtHdrIf->setPlainText(capture);
    h->ui()->IFtext->setPlainText(customHdr);
    h->ui()->AVItext->setPlainText(customAvi);
    QAction *action = h->window()->findChild<QAction *>("actionInfoFrameBuilder");
    if (!action || action->text() != QString::fromUtf8("&InfoFrame builder…")
        || action->shortcut() != QKeySequence(QStringLiteral("Ctrl+I")))
        return nullptr;
    action->trigger();
    auto *builder = h->window()->findChild<InfoFrameBuilder *>();
    return builder && builder->isVisible() && !builder->isModal() ? builder : nullptr;
}

void TestInfoFrameBuilder::use_data()
{
    QTest::addColumn<QString>("capture");
    QTest::addColumn<QStringList>("steps"); // "object=value": fill a field, choose, click
    QTest::addColumn<QString>("hdrField"); // the custom fields afterwards
    QTest::addColumn<QString>("aviField");
    QTest::addColumn<QStringList>("messages"); // "object=text" of the non-empty messages

    const QStringList none;
    QTest::newRow("HDR: defaults") << "" << QStringList { "hdrUse" } << kBt2020Frame << "" << none;
    QTest::newRow("HDR: worked example by values")
        << ""
        << QStringList { "redX=0.68", "redY=0.32", "greenX=0.265", "greenY=0.69", "blueX=0.15",
               "blueY=0.06", "hdrUse" }
        << kHdrFrame << "" << none;
    QTest::newRow("HDR: copy from capture")
        << kHdrFrame.mid(12) << QStringList { "hdrCopyCapture", "hdrUse" } << kHdrFrame << ""
        << none;
    QTest::newRow("HDR: capture too short")
        << "02:00" << QStringList { "hdrCopyCapture" } << ""
        << "" << QStringList { "hdrMessage=Capture: too short: 2 data bytes, 26 needed" };
    QTest::newRow("HDR: x above 1 refused")
        << "" << QStringList { "redX=1.02", "hdrUse" } << ""
        << "" << QStringList { "redError=\"1.02\": x and y go from 0 to 1", kRefused };
    // Enter in a field presses no button: "Copy from capture" would replace red.
    QTest::newRow("HDR: Enter keeps what was typed")
        << kHdrFrame.mid(12) << QStringList { "redX=0.5", "Return@redX", "hdrUse" }
        << "87:01:1a:5a:02:00:34:21:aa:9b:96:19:fc:08:a8:61:08:39:13:3d:42:40:e8:03:32:00:e8:03:"
           "90:01"
        << "" << none;
    QTest::newRow("HDR: luminances out of range refused")
        << "" << QStringList { "hdrMinLum=6.6", "hdrMaxFall=-1", "hdrUse" } << ""
        << ""
        << QStringList { "hdrMinLumError=\"6.6\": from 0 to 6.5535 cd/m² in steps of 0.0001",
               "hdrMaxFallError=\"-1\": whole cd/m² from 0 to 65535", kRefused };
    QTest::newRow("HDR: the refusal goes once the value is corrected")
        << "" << QStringList { "redX=1.02", "hdrUse", "redX=0.708" } << ""
        << "" << none;
    for (int vic : { 300, 250 })
        QTest::addRow("AVI: VIC %d refused", vic)
            << "" << QStringList { QStringLiteral("aviVic=%1").arg(vic), "aviUse" } << ""
            << ""
            << QStringList { QStringLiteral("aviMessage=VIC %1 is no CTA-861 video format: give "
                                            "1-127 or 193-219 (None for no VIC).")
                                 .arg(vic) };
    QTest::newRow("AVI: worked example")
        << ""
        << QStringList { "aviColour=3", "aviColorimetry=9", "aviRange=1", "aviVic=97", "aviUse" }
        << ""
        << "60:c8:60:61:00" << none;
    QTest::newRow("AVI: RGB full 16:9")
        << ""
        << QStringList { "aviColorimetry=2", "aviRange=2", "aviVic=16", "aviAspect=2", "aviUse" }
        << ""
        << "00:a8:08:10:00" << none;
    QTest::newRow("AVI: DCI-P3 refused")
        << "" << QStringList { "aviColorimetry=10", "aviUse" } << ""
        << ""
        << QStringList { "aviMessage=Not used: DCI-P3 D65 is signalled in data byte 14, the "
                         "custom AVI field takes 13 data bytes." };
}

void TestInfoFrameBuilder::use()
{
    QFETCH(QString, capture);
    QFETCH(QStringList, steps);
    QFETCH(QString, hdrField);
    QFETCH(QString, aviField);
    QFETCH(QStringList, messages);

    InfoFrameBuilder *builder = open(capture, "", "");
    QVERIFY(builder);
    for (const QString &step : steps) {
        const QString name = step.section('=', 0, 0).section('@', -1);
        const QString value = step.section('=', 1);
        QWidget *widget = builder->findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        if (step.startsWith("Return@"))
            QTest::keyClick(widget, Qt::Key_Return);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            edit->selectAll();
            QTest::keyClicks(edit, value);
        } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
            combo->setCurrentIndex(value.toInt());
        } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
            spin->setValue(value.toInt());
        } else {
            qobject_cast<QPushButton *>(widget)->click();
        }
    }
    QCOMPARE(h->ui()->IFtext->toPlainText(), hdrField);
    QCOMPARE(h->ui()->AVItext->toPlainText(), aviField);
    QStringList shown;
    for (QLabel *label : builder->findChildren<QLabel *>()) {
        if (label->objectName().endsWith("Error") || label->objectName().endsWith("Message"))
            if (!label->text().isEmpty())
                shown << label->objectName() + '=' + label->text();
    }
    QCOMPARE(shown, messages);

    // The window's own send slots take the text as it stands, byte for byte.
    const QString sent = hdrField.isEmpty() ? aviField : hdrField;
    if (sent.isEmpty())
        return;
    h->clearLogs();
    if (hdrField.isEmpty()) {
        bool ok = false;
        QVERIFY(QMetaObject::invokeMethod(h->window(), "sendAVI", Q_RETURN_ARG(bool, ok)));
    } else {
        QVERIFY(QMetaObject::invokeMethod(h->window(), "WriteIF"));
    }
    const QString command = hdrField.isEmpty() ? "E6" : "E5";
    QCOMPARE(h->sentHex().value(0),
        QString("10 %1 %2 ").arg(sent.size() / 3 + 1, 2, 16, QChar('0')).toUpper().arg(command)
            + sent.toUpper().replace(':', ' '));
}

void TestInfoFrameBuilder::decodedLines_data()
{
    QTest::addColumn<QString>("capture");
    QTest::addColumn<QString>("customHdr");
    QTest::addColumn<QString>("customAvi");
    QTest::addColumn<QStringList>("lines"); // capture, custom HDR, custom AVI; "!" marks red

    const QString p3
        = QString::fromUtf8("PQ · DCI-P3 D65 · 1000 / 0.005 cd/m² · MaxCLL 1000 · MaxFALL 400");
    QTest::newRow("worked examples")
        << kHdrFrame.mid(12) << kHdrFrame + ":00"
        << "60:c8:60:61:00"
        << QStringList { p3, p3,
               QString::fromUtf8(
                   "YCbCr 4:2:0 · BT.2020 · limited range · VIC 97 (3840x2160p60) · no aspect") };
    QTest::newRow("problems in red, empty not")
        << "" << QString(kHdrFrame).replace(9, 2, "b5") << "60"
        << QStringList { "Empty", "!Bad checksum 0xb5, should be 0x74",
               "!Too short: 1 data bytes, at least 2" };
}

void TestInfoFrameBuilder::decodedLines()
{
    QFETCH(QString, capture);
    QFETCH(QString, customHdr);
    QFETCH(QString, customAvi);
    QFETCH(QStringList, lines);

    InfoFrameBuilder *builder = open("", "", "");
    QVERIFY(builder);
    // Lines follow the fields after the builder is open.
    h->ui()->txtHdrIf->setPlainText(capture);
    h->ui()->IFtext->setPlainText(customHdr);
    h->ui()->AVItext->setPlainText(customAvi);
    QStringList shown;
    for (const char *name : { "captureLine", "customHdrLine", "customAviLine" }) {
        auto *label = builder->findChild<QLabel *>(name);
        shown << (label->styleSheet().contains("color") ? "!" : "") + label->text();
    }
    QCOMPARE(shown, lines);
}

QTEST_MAIN(TestInfoFrameBuilder)
#include "tst_infoframebuilder.moc"
