// SPDX-License-Identifier: GPL-3.0-or-later
// What the three Tools windows share, over their widgets: one use per
// mnemonic letter among what is visible together, a name for every control a
// screen reader announces, a size that fits 1366x768, and the builder's place
// beside the settings window.
#include "tools/ediddetailswindow.h"
#include "tools/edideditorwindow.h"
#include "tools/infoframebuilder.h"
#include "tools/toolplacement.h"
#include "support/windowharness.h"
#include "ui_EdidEditor.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QTabWidget>
#include <QtTest>

namespace {

// The mnemonic letter of a text ("Save &as…" gives 'A'), or a null char.
QChar mnemonic(const QString &text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == u'&') {
            if (text.at(i + 1) != u'&')
                return text.at(i + 1).toUpper();
            ++i;
        }
    }
    return {};
}

// "letter: text" of every mnemonic visible in `window` as it is shown now.
QStringList visibleMnemonics(QWidget *window)
{
    QStringList found;
    const auto add = [&found](const QString &text) {
        if (!mnemonic(text).isNull())
            found << QStringLiteral("%1: %2").arg(mnemonic(text), text);
    };
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisibleTo(window))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(w))
            add(button->text());
        else if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
            add(label->text());
        else if (auto *group = qobject_cast<QGroupBox *>(w))
            add(group->title());
        else if (auto *tabs = qobject_cast<QTabWidget *>(w))
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i));
    }
    return found;
}

QStringList repeated(const QStringList &mnemonics)
{
    QStringList twice;
    for (const QString &entry : mnemonics) {
        const QString letter = entry.left(1);
        if (mnemonics.filter(QRegularExpression(u'^' + QRegularExpression::escape(letter) + u':'))
                .size()
            > 1)
            twice << entry;
    }
    return twice;
}

QWidget *openTool(WindowHarness &h, const char *action)
{
    auto *a = h.window()->toolsMenu()->findChild<QAction *>(QLatin1String(action));
    if (!a)
        return nullptr;
    a->trigger();
    return QApplication::activePopupWidget() ? nullptr : h.window()->findChild<QWidget *>(
               QLatin1String(action) == QLatin1String("actionEdidDetails") ? "EdidDetailsWindow"
                   : QLatin1String(action) == QLatin1String("actionEdidEditor")
                   ? "EdidEditorWindow"
                   : "InfoFrameBuilder");
}

} // namespace

class TestToolWindows : public QObject
{
    Q_OBJECT

private slots:
    void toolsMenu();
    void windows_data();
    void windows();
    void placement_data();
    void placement();
};

void TestToolWindows::toolsMenu()
{
    WindowHarness h;
    h.start();
    QStringList entries;
    QList<QKeySequence> keys;
    for (QAction *action : h.window()->toolsMenu()->actions()) {
        entries << QStringLiteral("%1: %2").arg(mnemonic(action->text()), action->text());
        keys << action->shortcut();
    }
    QCOMPARE(repeated(entries), QStringList());
    QCOMPARE(keys,
        (QList<QKeySequence> { QKeySequence("Ctrl+D"), QKeySequence("Ctrl+I"),
            QKeySequence("Ctrl+E") }));
    // No other action of the main window takes these keys.
    for (QAction *action : h.window()->findChildren<QAction *>()) {
        if (!h.window()->toolsMenu()->actions().contains(action))
            QVERIFY2(!keys.contains(action->shortcut()) || action->shortcut().isEmpty(),
                qPrintable(action->text()));
    }
}

void TestToolWindows::windows_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("EDID details") << "actionEdidDetails";
    QTest::newRow("EDID editor") << "actionEdidEditor";
    QTest::newRow("InfoFrame builder") << "actionInfoFrameBuilder";
}

void TestToolWindows::windows()
{
    QFETCH(QString, action);
    WindowHarness h;
    h.start();
    QWidget *window = openTool(h, qPrintable(action));
    QVERIFY(window && window->isVisible());

    // Each tab of the editor shows with the rest of the window.
    auto *tabs = window->findChild<QTabWidget *>();
    for (int tab = 0; tab < (tabs ? tabs->count() : 1); ++tab) {
        if (tabs)
            tabs->setCurrentIndex(tab);
        const QStringList mnemonics = visibleMnemonics(window);
        QVERIFY(!mnemonics.isEmpty());
        QCOMPARE(repeated(mnemonics), QStringList());
    }

    // Every control a screen reader stops at has a name of its own.
    QStringList unnamed;
    QMultiHash<QString, QString> names;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->focusPolicy() == Qt::NoFocus || qobject_cast<QLabel *>(w)
            || w->objectName().startsWith(QLatin1String("qt_")))
            continue;
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        const QString name = a ? a->text(QAccessible::Name).remove(u'&') : QString();
        if (name.isEmpty() && !qobject_cast<QTabWidget *>(w) && !w->inherits("QAbstractItemView"))
            unnamed << w->objectName();
        else if (qobject_cast<QAbstractButton *>(w) || qobject_cast<QAbstractSpinBox *>(w))
            names.insert(name, w->objectName());
    }
    QCOMPARE(unnamed, QStringList());
    for (const QString &name : names.uniqueKeys())
        QVERIFY2(names.count(name) == 1, qPrintable(name + u':' + names.values(name).join(u',')));

    // It fits a 1366x768 screen with a title bar and a panel.
    const QSize least = window->minimumSizeHint().expandedTo(window->minimumSize());
    QVERIFY2(least.width() <= 1366 && least.height() <= 700,
        qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
    QVERIFY2(window->width() <= 1366 && window->height() <= 700,
        qPrintable(QStringLiteral("%1x%2").arg(window->width()).arg(window->height())));
}

void TestToolWindows::placement_data()
{
    QTest::addColumn<QRect>("mainFrame");
    QTest::addColumn<QRect>("placed");

    QTest::newRow("room on the right") << QRect(0, 0, 300, 700) << QRect(300, 0, 1000, 680);
    QTest::newRow("room on the left") << QRect(1066, 20, 300, 700) << QRect(66, 20, 1000, 680);
    // In the middle: beside the Send buttons, which stay uncovered.
    QTest::newRow("no room beside") << QRect(400, 0, 420, 728) << QRect(700, 0, 666, 680);
}

void TestToolWindows::placement()
{
    QFETCH(QRect, mainFrame);
    QFETCH(QRect, placed);
    const QRect screen(0, 0, 1366, 728);
    const QRect keep(mainFrame.left() + 200, 400, 100, 60); // "Send IF" and "Send AVI"
    const QRect at
        = placeToolWindow(QSize(1000, 680), QSize(560, 500), mainFrame, keep, screen);
    QCOMPARE(at, placed);
    QVERIFY(screen.contains(at));
    QVERIFY(!at.intersects(keep));
}

QTEST_MAIN(TestToolWindows)
#include "tst_toolwindows.moc"
