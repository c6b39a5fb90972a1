// SPDX-License-Identifier: GPL-3.0-or-later
// The "EDID details" window: opened from the Tools menu, follows the EDID
// text after a read and an edit, shows problems in red.
#include "tools/ediddetailswindow.h"
#include "boxedid/edidtext.h"
#include "support/windowharness.h"
#include "ui_EdidDetailsWindow.h"
#include "ui_VortalexForm.h"

#include <QClipboard>
#include <QMenu>
#include <QtTest>

using namespace vortalex;

namespace {

const QString kTvA
    = QStringLiteral("UHD TV 65 · KTV · 2022 · 3840x2160@60 · HDMI 2.0 600 MHz · HDR10, "
                     "HLG · LPCM 2ch, AC-3 6ch, E-AC-3 8ch, DTS 6ch");

QString tableText(const QString &name, int byte = -1, int value = 0)
{
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    EdidTable table {};
    const QByteArray bytes = file.readAll();
    std::copy_n(bytes.constData(), kEdidSize, table.begin());
    if (byte >= 0)
        table[std::size_t(byte)] = std::uint8_t(value);
    return formatEdidText(table);
}

// "label|value" of every red line of the tree.
QStringList redLines(const QTreeWidget *tree)
{
    QStringList lines;
    for (int s = 0; s < tree->topLevelItemCount(); ++s) {
        const QTreeWidgetItem *section = tree->topLevelItem(s);
        for (int i = 0; i < section->childCount(); ++i) {
            const QTreeWidgetItem *item = section->child(i);
            if (item->foreground(1).color() == Qt::red)
                lines << item->text(0) + u'|' + item->text(1);
        }
    }
    return lines;
}

EdidDetailsWindow *openDetails(WindowHarness &h)
{
    auto *action
        = h.window()->toolsMenu()->findChild<QAction *>(QStringLiteral("actionEdidDetails"));
    if (!action)
        return nullptr;
    action->trigger();
    return h.window()->findChild<EdidDetailsWindow *>();
}

} // namespace

class TestEdidDetails : public QObject
{
    Q_OBJECT

private slots:
    void opensFromToolsMenu();
    void followsEdidText_data();
    void followsEdidText();
    void opensAnyTableFile_data();
    void opensAnyTableFile();
};

void TestEdidDetails::opensFromToolsMenu()
{
    WindowHarness h;
    h.start();
    const QList<QAction *> actions = h.window()->toolsMenu()->actions();
    QVERIFY(!actions.isEmpty());
    QCOMPARE(h.window()->toolsMenu()->title(), QStringLiteral("&Tools"));
    QCOMPARE(actions.first()->text(), QStringLiteral("&EDID details…"));
    QCOMPARE(actions.first()->shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));

    EdidDetailsWindow *details = openDetails(h);
    QVERIFY(details);
    QVERIFY(details->isWindow() && details->isVisible() && !details->isModal());
    QCOMPARE(details->windowTitle(), QStringLiteral("EDID details"));
    // A second trigger brings the same window back.
    details->close();
    QCOMPARE(openDetails(h), details);
    QVERIFY(details->isVisible());
    QCOMPARE(h.window()->findChildren<EdidDetailsWindow *>().size(), 1);
    // Esc and Ctrl+W close it, as Close does.
    for (const QKeySequence &keys : { QKeySequence(Qt::Key_Escape), QKeySequence("Ctrl+W") }) {
        QCOMPARE(openDetails(h), details);
        QVERIFY(QTest::qWaitForWindowActive(details));
        QTest::keySequence(details, keys);
        QVERIFY2(!details->isVisible(), qPrintable(keys.toString()));
    }
}

void TestEdidDetails::followsEdidText_data()
{
    QTest::addColumn<QString>("change"); // "read TV A" or the text typed
    QTest::addColumn<QString>("summary");
    QTest::addColumn<bool>("summaryRed");
    QTest::addColumn<QStringList>("red");

    QTest::newRow("read TV A") << QStringLiteral("read TV A") << kTvA << false << QStringList();
    QTest::newRow("edited text") << tableText(QStringLiteral("sim_tv_b.bin"))
                                 << QStringLiteral(
                                        "FHD TV 43 · KTV · 2019 · 1920x1080@60 · HDMI 225 MHz · "
                                        "LPCM 2ch, AC-3 6ch")
                                 << false << QStringList();
    QTest::newRow("bad checksum") << tableText(QStringLiteral("sim_tv_a.bin"), 255, 0x6D) << kTvA
                                  << true
                                  << QStringList { QStringLiteral("Checksum|bad"),
                                         QStringLiteral(
                                             "|Block 1: bad checksum 0x6d, should be 0x6c") };
    // The strict reader: nothing that is not hex becomes a byte.
    QTest::newRow("not hex")
        << "ZZ " + tableText(QStringLiteral("sim_tv_a.bin"))
        << QStringLiteral("The EDID text: line 1, column 1: 'Z' is not a hex digit") << true
        << QStringList();
    QTest::newRow("empty text") << QString() << QStringLiteral("The EDID text is empty") << true
                                << QStringList();
}

void TestEdidDetails::followsEdidText()
{
    WindowHarness h;
    h.start();
    h.ui()->EDIDtext->setPlainText(QStringLiteral("00"));
    EdidDetailsWindow *details = openDetails(h);
    QVERIFY(details);

    QFETCH(QString, change);
    if (change == QLatin1String("read TV A"))
        QVERIFY(QMetaObject::invokeMethod(h.window(), "readTvEdidA"));
    else
        h.ui()->EDIDtext->setPlainText(change);

    // The summary wraps only between its parts: its blanks and hyphens inside
    // a part do not break.
    const QLabel *summary = details->form()->summaryLabel;
    const QString shown = QString(summary->text()).replace(QChar::Nbsp, u' ').replace(QChar(0x2011), u'-');
    QTEST(shown, "summary");
    QTEST(summary->styleSheet() == QLatin1String("color: red"), "summaryRed");
    QTEST(redLines(details->form()->sectionsTree), "red");

    details->form()->copyButton->click();
    const QString copied = QGuiApplication::clipboard()->text();
    QCOMPARE(copied.section(u'\n', 0, 0), shown);
}

void TestEdidDetails::opensAnyTableFile_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("source"); // the line beside the buttons
    QTest::addColumn<QStringList>("sections"); // the tree's section titles

    QTest::newRow("512 bytes, DisplayID")
        << "edid/dell_del4284.bin" << "File " VORTALEX_TEST_DATA "/edid/dell_del4284.bin (512 bytes)"
        << QStringList { "Block 0: base block",
               "Block 1: Block Map Extension Block (tag 0xF0), not decoded",
               "Block 2: CTA-861 extension, revision 3", "Block 3: DisplayID 1.2 extension", "Problems" };
    QTest::newRow("not a table")
        << "edid/README.md" << "" << QStringList();
}

void TestEdidDetails::opensAnyTableFile()
{
    QFETCH(QString, file);
    QFETCH(QString, source);
    QFETCH(QStringList, sections);

    WindowHarness h;
    h.start();
    h.ui()->EDIDtext->setPlainText(tableText(QStringLiteral("sim_tv_b.bin")));
    EdidDetailsWindow *details = openDetails(h);
    QVERIFY(details);
    Ui_EdidDetailsWindow *f = details->form();
    QVERIFY(!f->fromTextButton->isEnabled());
    h.dialogs.fileNames << QStringLiteral(VORTALEX_TEST_DATA "/") + file;
    f->openButton->click();
    QCOMPARE(h.dialogs.log.size(), 1);
    const QTreeWidget *tree = f->sectionsTree;
    if (sections.isEmpty()) {
        // Refused with the reader's reason; the EDID text's table stays.
        QVERIFY2(f->sourceLabel->text().contains(QStringLiteral("line ")),
            qPrintable(f->sourceLabel->text()));
        QCOMPARE(f->sourceLabel->styleSheet(), QStringLiteral("color: red"));
        QVERIFY(f->summaryLabel->text().startsWith(QStringLiteral("FHD")));
        return;
    }
    QCOMPARE(f->sourceLabel->text(), source);
    QStringList titles;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        titles << tree->topLevelItem(i)->text(0);
    QCOMPARE(titles, sections);
    QVERIFY(redLines(tree).isEmpty());

    // The file stays while the EDID text changes, until "Follow EDID text".
    h.ui()->EDIDtext->setPlainText(tableText(QStringLiteral("sim_tv_a.bin")));
    QCOMPARE(tree->topLevelItemCount(), sections.size());
    QVERIFY(f->fromTextButton->isEnabled());
    f->fromTextButton->click();
    QCOMPARE(f->sourceLabel->text(), QStringLiteral("Following the EDID text"));
    QVERIFY(f->summaryLabel->text().startsWith(QStringLiteral("UHD")));
}

QTEST_MAIN(TestEdidDetails)
#include "tst_ediddetails.moc"
