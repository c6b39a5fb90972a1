// SPDX-License-Identifier: GPL-3.0-or-later
// The "EDID editor" window: opened from the Tools menu on the EDID text, one
// edit, undo and redo to the same bytes, a refusal, Use and Save as.
#include "tools/edideditorwindow.h"
#include "edid/edidedit.h"
#include "boxedid/edidtext.h"
#include "support/windowharness.h"
#include "ui_EdidEditor.h"
#include "ui_VortalexForm.h"

#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortalex;

class TestEdidEditor : public QObject
{
    Q_OBJECT

private slots:
    void editUndoRedoUse();
};

void TestEdidEditor::editUndoRedoUse()
{
    WindowHarness h;
    h.start();
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/sim_tv_a.bin"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray start = checkEditableTable(file.readAll()).table;
    EdidTable startTable {};
    std::copy(start.begin(), start.end(), startTable.begin());
    h.ui()->EDIDtext->setPlainText(formatEdidText(startTable));

    auto *action
        = h.window()->toolsMenu()->findChild<QAction *>(QStringLiteral("actionEdidEditor"));
    QVERIFY(action);
    QCOMPARE(action->text(), QStringLiteral("EDID editor…"));
    action->trigger();
    auto *editor = h.window()->findChild<EdidEditorWindow *>();
    QVERIFY(editor && editor->isVisible() && !editor->isModal());
    Ui_EdidEditorWindow *f = editor->form();
    QCOMPARE(editor->table(), start);
    QCOMPARE(f->bytesLeftLabel->text(), QStringLiteral("Extension block: 63 bytes left"));

    // One edit: the name, then the HDR block removed.
    f->nameEdit->setText(QStringLiteral("Kitchen"));
    emit f->nameEdit->editingFinished();
    const QByteArray named = setDisplayName(start, QStringLiteral("Kitchen")).table;
    QCOMPARE(editor->table(), named);
    f->removeHdrButton->click();
    const QByteArray noHdr = removeDataBlocks(named, 7, 6).table;
    QCOMPARE(editor->table(), noHdr);
    QCOMPARE(f->bytesLeftLabel->text(), QStringLiteral("Extension block: 70 bytes left"));
    QCOMPARE(f->diffTree->topLevelItemCount(), 2);
    QCOMPARE(f->diffTree->topLevelItem(0)->text(0), QStringLiteral("extensions[0].hdr_static"));
    QCOMPARE(f->diffTree->topLevelItem(1)->text(0), QStringLiteral("name"));
    QCOMPARE(f->diffTree->topLevelItem(1)->text(1), QStringLiteral("UHD TV 65"));
    QCOMPARE(f->diffTree->topLevelItem(1)->text(2), QStringLiteral("Kitchen"));

    // A refusal changes nothing and says why.
    f->physicalAddressEdit->setText(QStringLiteral("1.16.0.0"));
    emit f->physicalAddressEdit->editingFinished();
    QCOMPARE(editor->table(), noHdr);
    QCOMPARE(f->statusLabel->text(),
        QStringLiteral("Not done (physical address): physical address \"1.16.0.0\": give four "
                       "numbers 0-15 as A.B.C.D"));
    QCOMPARE(f->physicalAddressEdit->text(), QStringLiteral("1.0.0.0"));

    // Ctrl+Z twice back to the starting bytes, Ctrl+Shift+Z forward again.
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    f->closeButton->setFocus();
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->table(), named);
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor->table(), start);
    QCOMPARE(f->nameEdit->text(), QStringLiteral("UHD TV 65"));
    QVERIFY(!f->undoButton->isEnabled());
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(editor->table(), named);
    f->redoButton->click();
    QCOMPARE(editor->table(), noHdr);

    // Use puts the result into the EDID text; Save as writes the file.
    f->useButton->click();
    EdidTable expected {};
    std::copy(noHdr.begin(), noHdr.end(), expected.begin());
    QCOMPARE(h.ui()->EDIDtext->toPlainText(), formatEdidText(expected));
    QTemporaryDir dir;
    h.dialogs.fileNames << dir.filePath(QStringLiteral("edited.bin"));
    f->saveButton->click();
    QFile saved(dir.filePath(QStringLiteral("edited.bin")));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), noHdr);
}

QTEST_MAIN(TestEdidEditor)
#include "tst_edideditor.moc"
