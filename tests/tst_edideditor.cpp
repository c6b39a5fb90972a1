// SPDX-License-Identifier: GPL-3.0-or-later
// The "EDID editor" window, driven as a user does: opened from the Tools menu
// on the EDID text, edits, undo and redo to the same bytes from anywhere,
// the question before unsaved edits go, and what each step says.
#include "boxedid/edidtext.h"
#include "edid/edidedit.h"
#include "support/windowharness.h"
#include "tools/edideditorwindow.h"
#include "ui_EdidEditor.h"
#include "ui_VortalexForm.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortalex;

namespace {

QByteArray readTable(const QString &name)
{
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/") + name);
    return file.open(QIODevice::ReadOnly) ? checkEditableTable(file.readAll()).table : QByteArray();
}

QString tableText(const QByteArray &bytes)
{
    EdidTable table {};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    return formatEdidText(table);
}

// Puts `text` into the EDID text and opens the editor from the Tools menu.
EdidEditorWindow *openEditor(WindowHarness &h, const QString &text)
{
    h.ui()->EDIDtext->setPlainText(text);
    auto *action
        = h.window()->toolsMenu()->findChild<QAction *>(QStringLiteral("actionEdidEditor"));
    if (!action || action->text() != QStringLiteral("EDID e&ditor…")
        || action->shortcut() != QKeySequence(QStringLiteral("Ctrl+E")))
        return nullptr;
    action->trigger();
    auto *editor = h.window()->findChild<EdidEditorWindow *>();
    return editor && editor->isVisible() && !editor->isModal() ? editor : nullptr;
}

// Fills a line edit as typed and leaves it.
void typeInto(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClicks(edit, text);
    emit edit->editingFinished();
}

QStringList changes(const Ui_EdidEditorWindow *f)
{
    QStringList lines;
    for (int i = 0; i < f->diffTree->topLevelItemCount(); ++i)
        lines << f->diffTree->topLevelItem(i)->text(0);
    return lines;
}

} // namespace

class TestEdidEditor : public QObject
{
    Q_OBJECT

private slots:
    void editUndoRedoUse();
    void unsavedEditsAsk_data();
    void unsavedEditsAsk();
    void whatEachStepSays_data();
    void whatEachStepSays();
};

void TestEdidEditor::editUndoRedoUse()
{
    WindowHarness h;
    h.start();
    const QByteArray start = readTable(QStringLiteral("sim_tv_a.bin"));
    EdidEditorWindow *editor = openEditor(h, tableText(start));
    QVERIFY(editor);
    Ui_EdidEditorWindow *f = editor->form();
    QCOMPARE(editor->table(), start);
    QCOMPARE(f->bytesLeftLabel->text(), QStringLiteral("Extension block: 63 bytes left"));

    // Two edits: the name, then every HDR block.
    typeInto(f->nameEdit, QStringLiteral("Kitchen"));
    const QByteArray named = setDisplayName(start, QStringLiteral("Kitchen")).table;
    QCOMPARE(editor->table(), named);
    f->removeHdrButton->click();
    const QByteArray noHdr = removeHdr(named).table;
    QCOMPARE(editor->table(), noHdr);
    QCOMPARE(changes(f),
        QStringList({ "HDR static metadata block removed", "Name: UHD TV 65 → Kitchen" }));
    QCOMPARE(f->sectionTabs->tabText(f->sectionTabs->indexOf(f->changesTab)),
        QStringLiteral("Chan&ges (2)"));

    // Ctrl+Z in a field and on a button alike, back to the starting bytes;
    // Ctrl+Shift+Z forward again.
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    f->sectionTabs->setCurrentWidget(f->identityTab);
    f->serialStringEdit->setFocus();
    QTest::keyClick(f->serialStringEdit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->table(), named);
    QTest::keyClick(f->serialStringEdit, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->table(), start);
    QCOMPARE(f->nameEdit->text(), QStringLiteral("UHD TV 65"));
    QVERIFY(!f->undoButton->isEnabled());
    QTest::keyClick(f->productCodeSpin, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->table(), named);
    f->closeButton->setFocus();
    QTest::keyClick(f->closeButton, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->table(), noHdr);

    // Use puts the result into the EDID text; Save as writes the file.
    f->useButton->click();
    QCOMPARE(h.ui()->EDIDtext->toPlainText(), tableText(noHdr));
    QTemporaryDir dir;
    h.dialogs.fileNames << dir.filePath(QStringLiteral("edited.bin"));
    f->saveButton->click();
    QFile saved(dir.filePath(QStringLiteral("edited.bin")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), noHdr);
    // Both are saved places: closing asks nothing.
    editor->close();
    QVERIFY(!editor->isVisible());
    QVERIFY(h.dialogs.log.filter(QStringLiteral("unsaved:")).isEmpty());
}

void TestEdidEditor::unsavedEditsAsk_data()
{
    QTest::addColumn<QString>("leave"); // fromText, open, close, Escape
    QTest::addColumn<int>("answer"); // Dialogs::Unsaved
    QTest::addColumn<bool>("editsKept");
    QTest::addColumn<bool>("saved");

    using U = Dialogs::Unsaved;
    for (const char *leave : { "fromText", "open", "close", "Escape" }) {
        QTest::addRow("%s, cancel", leave) << leave << int(U::Cancel) << true << false;
        QTest::addRow("%s, discard", leave) << leave << int(U::Discard) << false << false;
        QTest::addRow("%s, save", leave) << leave << int(U::Save) << false << true;
    }
}

void TestEdidEditor::unsavedEditsAsk()
{
    QFETCH(QString, leave);
    QFETCH(int, answer);
    QFETCH(bool, editsKept);
    QFETCH(bool, saved);

    WindowHarness h;
    h.start();
    const QByteArray start = readTable(QStringLiteral("sim_tv_a.bin"));
    EdidEditorWindow *editor = openEditor(h, tableText(start));
    QVERIFY(editor);
    Ui_EdidEditorWindow *f = editor->form();
    for (int vic : { 2, 5, 6 }) {
        f->vicCombo->setCurrentIndex(f->vicCombo->findData(vic));
        f->addVicButton->click();
    }
    const QByteArray edited = editor->table();
    QCOMPARE(editor->undoStack().count(), 3);

    QTemporaryDir dir;
    const QString savedFile = dir.filePath(QStringLiteral("kept.bin"));
    h.dialogs.unsavedAnswers << Dialogs::Unsaved(answer);
    if (saved)
        h.dialogs.fileNames << savedFile;
    h.dialogs.fileNames << QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_b.bin");
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    if (leave == QLatin1String("fromText"))
        f->fromTextButton->click();
    else if (leave == QLatin1String("open"))
        f->openButton->click();
    else if (leave == QLatin1String("close"))
        f->closeButton->click();
    else
        QTest::keyClick(editor, Qt::Key_Escape);

    QCOMPARE(h.dialogs.log.filter(QStringLiteral("unsaved:")),
        QStringList { QStringLiteral("unsaved: EDID editor|The edited table is neither in the "
                                     "EDID text nor saved in a file. Save it first?") });
    const bool closing = leave == QLatin1String("close") || leave == QLatin1String("Escape");
    QCOMPARE(editor->isVisible(), editsKept || !closing);
    if (editsKept) {
        QCOMPARE(editor->table(), edited);
        QCOMPARE(editor->undoStack().count(), 3);
    } else if (!closing) {
        QCOMPARE(editor->table(),
            readTable(leave == QLatin1String("open") ? QStringLiteral("sim_tv_b.bin")
                                                     : QStringLiteral("sim_tv_a.bin")));
    }
    QFile file(savedFile);
    QCOMPARE(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray(),
        saved ? edited : QByteArray());
}

void TestEdidEditor::whatEachStepSays_data()
{
    QTest::addColumn<QString>("table"); // a file; "text:" EDID text as typed
    QTest::addColumn<QStringList>("steps"); // "object=text" typed, "object" clicked, "vic=N"
    QTest::addColumn<QStringList>("shown"); // "object=text" of labels, fields, lists, tabs
    QTest::addColumn<int>("edits"); // undo steps made

    const QString tvA = QStringLiteral("sim_tv_a.bin");
    QTest::newRow("EDID text not hex")
        << "text:ZZ " + tableText(readTable(tvA)) << QStringList()
        << QStringList { "statusLabel=The EDID text: line 1, column 1: 'Z' is not a hex digit",
               "sourceLabel=" }
        << 0;
    QTest::newRow("a VIC already listed")
        << tvA << QStringList { "vic=16", "addVicButton" }
        << QStringList { "statusLabel=VIC 16 is already in the video data block" } << 0;
    QTest::newRow("remove HDR twice")
        << tvA << QStringList { "removeHdrButton", "removeHdrButton" }
        << QStringList { "statusLabel=There is no HDR block to remove" } << 1;
    QTest::newRow("Dolby Vision and HDR10+ go with HDR")
        << "edid/vizio_tv_viz1040.bin" << QStringList { "removeHdrButton" }
        << QStringList { "changes=HDR static metadata block removed|Dolby Vision "
                         "removed|HDR10+ removed",
               "statusLabel=" }
        << 1;
    QTest::newRow("luminances not given")
        << tvA << QStringList { "maxLuminanceSpin=0", "frameAvgSpin=0", "luminanceButton" }
        << QStringList { "maxLuminanceSpin=not given",
               "statusLabel=Not done (luminance): give a maximum or a frame-average "
               "luminance; \"not given\" leaves a value as it is" }
        << 0;
    QTest::newRow("native mark refused beside a native detailed timing")
        << tvA << QStringList { "select=16", "nativeVicButton" }
        << QStringList { "nativeVicButton=Mark &native", "changes=",
               "statusLabel=Not done (native VIC): the table marks its first detailed timing "
               "native; a native VIC would be another native timing" }
        << 0;
    QTest::newRow("name over 13 characters")
        << tvA << QStringList { "nameEdit=Living room TV 2" }
        << QStringList { "nameEdit=UHD TV 65", "nameLimitLabel=13 characters at most",
               "statusLabel=Not done (name): the name has 16 characters; a descriptor holds 13" }
        << 0;
    QTest::newRow("physical address 0.1.0.0")
        << tvA << QStringList { "physicalAddressEdit=0.1.0.0" }
        << QStringList { "physicalAddressEdit=1.0.0.0",
               "statusLabel=Not done (physical address): physical address \"0.1.0.0\": after a "
               "0 every number is 0 (as 1.2.0.0)" }
        << 0;
    QTest::newRow("speakers from another table are listed")
        << "sim_tv_b.bin" << QStringList { "file=sim_tv_a.bin", "audioFromFileButton" }
        << QStringList { "speakersLabel=Speakers: FL/FR, LFE1, FC, BL/BR",
               "changes=Audio E-AC-3 8ch 32/44.1/48 kHz Dolby Atmos added|Audio DTS 6ch 44.1/48 "
               "kHz 1536 kb/s added|Speaker allocation: LFE1, FC, BL/BR added" }
        << 1;
    QTest::newRow("reserved colorimetry kept, not offered")
        << "edid/lg_tv_gsm0001.bin" << QStringList()
        << QStringList { "colorimetryEdit=xvYCC601, xvYCC709",
               "colorimetryKeptLabel=Kept as they are: Reserved MD0" }
        << 0;
    QTest::newRow("damaged extension block")
        << "damaged" << QStringList()
        << QStringList { "bytesLeftLabel=The extension block cannot be edited: ",
               "videoTab=disabled", "vicList=" }
        << 0;
    QTest::newRow("LPCM replaced, typed")
        << tvA
        << QStringList { "audioFormatCombo=LPCM", "channelsSpin=8", "rate48Check", "rate96Check",
               "rate192Check", "depth16Check", "depth24Check", "addAudioButton" }
        << QStringList { "changes=Audio: LPCM 2ch 32/44.1/48 kHz 16/20/24 bit → LPCM 8ch "
                         "48/96/192 kHz 16/24 bit" }
        << 1;
    QTest::newRow("Dolby Atmos as TrueHD, AC-3 bit rate")
        << tvA
        << QStringList { "audioFormatCombo=MAT (MLP) with Dolby Atmos", "channelsSpin=8",
               "rate48Check", "addAudioButton", "audioFormatCombo=AC-3", "channelsSpin=6",
               "bitrateSpin=448", "addAudioButton" }
        << QStringList { "changes=Audio AC-3 6ch 48 kHz 448 kb/s added|Audio MAT (MLP) 8ch 48 kHz "
                         "Dolby Atmos added|Audio AC-3 6ch 32/44.1/48 kHz 640 kb/s removed",
               "statusLabel=" }
        << 2;
    QTest::newRow("remove a format twice")
        << tvA << QStringList { "audioFormatCombo=DTS", "removeFormatButton", "removeFormatButton" }
        << QStringList { "changes=Audio DTS 6ch 44.1/48 kHz 1536 kb/s removed",
               "statusLabel=There is no DTS descriptor to remove" }
        << 1;
    QTest::newRow("no sample rate")
        << tvA << QStringList { "audioFormatCombo=DTS", "addAudioButton" }
        << QStringList { "statusLabel=Not done (audio DTS): " } << 0;
    QTest::newRow("timing from size: no CTA format")
        << tvA
        << QStringList { "timingWidthSpin=2560", "timingHeightSpin=1440", "timingRefreshSpin=60",
               "sizeTimingButton" }
        << QStringList { "statusLabel=Not done (preferred timing): 2560x1440@60 is no CTA-861 "
                         "format (as CVT reduced blanking v2 it runs at 234.590 MHz); choose a "
                         "size and rate of a VIC",
               "changes=" }
        << 0;
    QTest::newRow("timing from size: a CTA format")
        << tvA
        << QStringList { "timingWidthSpin=1920", "timingHeightSpin=1080", "timingRefreshSpin=50",
               "sizeTimingButton" }
        << QStringList { "statusLabel=Preferred timing 1920x1080@50: the timing of VIC 31",
               "preferredLabel=1920x1080@50.00 Hz" }
        << 1;
    QTest::newRow("range limits only widen")
        << tvA << QStringList { "hMaxSpin=134", "rangeButton" }
        << QStringList { "statusLabel=Not done (range limits): range limits only widen: give at "
                         "most 23 Hz and 30 kHz as minimums, at least 61 Hz, 136 kHz and 600 MHz "
                         "as maximums",
               "hMaxSpin=136 kHz", "changes=" }
        << 0;
    QTest::newRow("range limits widened")
        << tvA << QStringList { "vMaxSpin=75", "rangeButton" }
        << QStringList { "changes=Range limits: 23-61 Hz, 30-136 kHz, 600 MHz → 23-75 Hz, 30-136 "
                         "kHz, 600 MHz",
               "vMaxSpin=75 Hz" }
        << 1;
    QTest::newRow("MPEG-H level, one byte, no week")
        << "mpegh" << QStringList()
        << QStringList { "statusLabel=",
               "audioList=MPEG-H 3D Audio: level 3; 48 kHz|AC-3: 6 channels; 32 44.1 "
               "48 kHz; up to 640 kb/s|E-AC-3: 8 channels; 32 44.1 48 kHz; Dolby Atmos|DTS: 6 "
               "channels; 44.1 48 kHz; up to 1536 kb/s",
               "weekSpin=no week", "bytesLeftLabel=Extension block: 1 byte left" }
        << 0;
}

void TestEdidEditor::whatEachStepSays()
{
    QFETCH(QString, table);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, shown);
    QFETCH(int, edits);

    WindowHarness h;
    h.start();
    QByteArray bytes
        = readTable(table == QLatin1String("damaged") || table == QLatin1String("mpegh")
                ? QStringLiteral("sim_tv_a.bin")
                : table);
    if (table == QLatin1String("damaged")) {
        bytes[128 + 2] = 20; // the audio block (17-29) now runs past the data area
    } else if (table == QLatin1String("mpegh")) {
        const char sad[3] = { 0x7B, 0x04, 0x58 }; // MPEG-H 3D Audio, level 3, 48 kHz
        bytes.replace(128 + 18, 3, QByteArray(sad, 3));
        bytes[16] = 0; // no week
        // Two reserved extended blocks fill the data area (ending at 64) to one byte.
        QByteArray filler(62, '\0');
        filler[0] = char(0xFF); // tag 7, 31 bytes
        filler[1] = 0x10;
        filler[32] = char(0xFD); // tag 7, 29 bytes
        filler[33] = 0x10;
        bytes.replace(128 + 64, 62, filler);
        bytes[128 + 2] = 126;
    }
    EdidEditorWindow *editor
        = openEditor(h, table.startsWith(QLatin1String("text:")) ? table.mid(5) : tableText(bytes));
    QVERIFY(editor);
    Ui_EdidEditorWindow *f = editor->form();
    for (const QString &step : steps) {
        const QString name = step.section(u'=', 0, 0);
        const QString value = step.section(u'=', 1);
        if (name == QLatin1String("vic")) {
            f->vicCombo->setCurrentIndex(f->vicCombo->findData(value.toInt()));
        } else if (name == QLatin1String("select")) {
            for (int i = 0; i < f->vicList->count(); ++i)
                if (f->vicList->item(i)->data(Qt::UserRole).toInt() == value.toInt())
                    f->vicList->setCurrentRow(i);
        } else if (name == QLatin1String("file")) {
            h.dialogs.fileNames << QStringLiteral(VORTALEX_TEST_DATA "/") + value;
        } else if (auto *edit = editor->findChild<QLineEdit *>(name)) {
            typeInto(edit, value);
        } else if (auto *spin = editor->findChild<QDoubleSpinBox *>(name)) {
            spin->setValue(value.toDouble());
        } else if (auto *spin = editor->findChild<QSpinBox *>(name)) {
            spin->setValue(value.toInt());
        } else if (auto *combo = editor->findChild<QComboBox *>(name)) {
            QVERIFY2(combo->findText(value) >= 0, qPrintable(value));
            combo->setCurrentIndex(combo->findText(value));
        } else {
            auto *button = editor->findChild<QAbstractButton *>(name);
            QVERIFY2(button, qPrintable(name));
            button->click();
        }
    }
    for (const QString &expected : shown) {
        const QString name = expected.section(u'=', 0, 0);
        QString actual;
        if (name == QLatin1String("changes")) {
            actual = changes(f).join(u'|');
        } else if (auto *label = editor->findChild<QLabel *>(name)) {
            actual = label->text();
            if (expected.endsWith(QLatin1String(": ")))
                actual = actual.left(expected.size() - name.size() - 1);
        } else if (auto *edit = editor->findChild<QLineEdit *>(name)) {
            actual = edit->text();
        } else if (auto *spin = editor->findChild<QAbstractSpinBox *>(name)) {
            actual = spin->text();
        } else if (auto *list = editor->findChild<QListWidget *>(name)) {
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items << list->item(i)->text();
            actual = items.join(u'|');
        } else if (auto *button = editor->findChild<QAbstractButton *>(name)) {
            actual = button->text();
        } else if (auto *tab = editor->findChild<QWidget *>(name)) {
            actual = f->sectionTabs->isTabEnabled(f->sectionTabs->indexOf(tab))
                ? QStringLiteral("enabled")
                : QStringLiteral("disabled");
        }
        QCOMPARE(name + u'=' + actual, expected);
    }
    QCOMPARE(editor->undoStack().count(), edits);
}

QTEST_MAIN(TestEdidEditor)
#include "tst_edideditor.moc"
