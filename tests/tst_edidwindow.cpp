// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxedid/edidtext.h"
#include "emulated/simedid.h"
#include "support/windowharness.h"
#include "ui_VortalexForm.h"

#include <QProgressBar>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vortalex;

Q_DECLARE_METATYPE(vortalex::Fault)
Q_DECLARE_METATYPE(vortalex::FaultWhen)
Q_DECLARE_METATYPE(vortalex::Dialogs::Answer)
Q_DECLARE_METATYPE(StatusMessage)

namespace {

QByteArray sampleEdid()
{
    return simedid::build(simedid::tvAProfile());
}

const QString kTitle = QStringLiteral("VORTALEX Utility");
const QString kFormatError = QStringLiteral("warning: VORTALEX Utility|Hex Format Error");

EdidTable tableFrom(const QByteArray &bytes)
{
    EdidTable table {};
    std::copy_n(bytes.constData(), std::min<qsizetype>(bytes.size(), kEdidSize), table.begin());
    return table;
}

QByteArray bytesOf(const EdidTable &table)
{
    return QByteArray(reinterpret_cast<const char *>(table.data()), kEdidSize);
}

QString text(WindowHarness &h)
{
    return h.ui()->EDIDtext->toPlainText();
}

void setText(WindowHarness &h, const QString &text)
{
    h.ui()->EDIDtext->setPlainText(text);
}

QTextCharFormat formatAt(WindowHarness &h, int position)
{
    QTextCursor cursor(h.ui()->EDIDtext->document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

// Character formats of every byte as showEdidTable leaves them.
void verifyFormattedTable(WindowHarness &h, qreal pointSize)
{
    for (int i = 0; i < kEdidSize; ++i) {
        const QTextCharFormat format = formatAt(h, 3 * i);
        QCOMPARE(format.foreground().color(), QColor(Qt::black));
        QCOMPARE(format.fontPointSize(), pointSize);
        if (i == 127 || i == 255)
            QCOMPARE(format.fontWeight(), int(QFont::Bold));
        else if (i % 16 == 15)
            QCOMPARE(format.fontWeight(), int(QFont::Normal));
        else
            QVERIFY2(!format.hasProperty(QTextFormat::FontWeight), qPrintable(QString::number(i)));
    }
}

void verifyUniformStyle(WindowHarness &h, const QColor &colour, int weight)
{
    const int length = int(text(h).size());
    for (int p = 0; p < length; ++p) {
        const QTextCharFormat format = formatAt(h, p);
        QCOMPARE(format.foreground().color(), colour);
        QCOMPARE(format.fontWeight(), weight);
    }
}

void setCustomMode(WindowHarness &h, bool automix, bool fixed, int preset)
{
    Ui_MainWindow *ui = h.ui();
    const QSignalBlocker b1(ui->automixEDID), b2(ui->fixedEDID), b3(ui->customEDID),
        b4(ui->cmBEdid);
    ui->customEDID->setChecked(!automix && !fixed);
    ui->automixEDID->setChecked(automix);
    ui->fixedEDID->setChecked(fixed);
    ui->cmBEdid->setCurrentIndex(preset);
}

QList<std::uint32_t> sentTimes(WindowHarness &h)
{
    QList<std::uint32_t> times;
    for (const FrameLogEntry &entry : h.bridge.frameLog())
        if (entry.direction == FrameLogEntry::Direction::ToBox)
            times << entry.timeMs;
    return times;
}

QStringList readFrames(const QString &fetch, int settingsReads, int chunks = 16)
{
    QStringList frames { fetch };
    for (int i = 0; i < settingsReads; ++i)
        frames << QStringLiteral("11 2A E1");
    for (int i = 0; i < chunks; ++i)
        frames << QStringLiteral("11 10 B0 %1").arg(i * 16, 2, 16, QLatin1Char('0')).toUpper();
    return frames;
}

QStringList writeFrames(const QByteArray &table)
{
    QStringList frames;
    for (int offset = 0; offset < kEdidSize; offset += 8)
        frames << QStringLiteral("10 08 B0 %1 ").arg(offset, 2, 16, QLatin1Char('0')).toUpper()
                + hexBytes(table.mid(offset, 8));
    frames << QStringLiteral("10 08 B1");
    return frames;
}

bool barShown(MainWindow *w)
{
    return w->edidProgressBar() && !w->edidProgressBar()->isHidden();
}

} // namespace

class TestEdidWindow : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void busyWait_data();
    void busyWait();
    void readFailure_data();
    void readFailure();
    void readWithoutBox();
    void oneProgressBar();
    void checksumCheck_data();
    void checksumCheck();
    void write_data();
    void write();
    void writeChecks_data();
    void writeChecks();
    void load_data();
    void load();
    void loadFailures_data();
    void loadFailures();
    void saveAndLoadBack();
    void saveFailures_data();
    void saveFailures();
    void saveKeepsFifo();
    void saveInLockedFolder_data();
    void saveInLockedFolder();
};

void TestEdidWindow::read_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<EdidSource>("source");
    QTest::addColumn<QString>("fetch");
    QTest::addColumn<QString>("message");

    QTest::newRow("Read EDID") << "ButReadEDID" << EdidSource::Box << "10 01 B4"
                               << "EDID values read.";
    QTest::newRow("Read BOT") << "pbReadTvEdidB" << EdidSource::TvB << "10 01 B6"
                              << "TV EDID values read.";
    QTest::newRow("Read TOP") << "pbReadTvEdidA" << EdidSource::TvA << "10 01 B5"
                              << "TV EDID values read.";
}

void TestEdidWindow::read()
{
    QFETCH(QString, button);
    QFETCH(EdidSource, source);
    QFETCH(QString, fetch);
    QFETCH(QString, message);

    WindowHarness h;
    MainWindow *w = h.start();
    h.clock.advance(5000);
    setText(h, QStringLiteral("old"));
    h.clearLogs();

    w->findChild<QPushButton *>(button)->click();

    QCOMPARE(h.sentHex(), readFrames(fetch, 1));
    const EdidTable table = tableFrom(h.box.edid(source));
    QCOMPARE(text(h), formatEdidText(table));
    QCOMPARE(h.statusLog.last(), (StatusMessage { message, 2000 }));
    QVERIFY(!barShown(w));
    QVERIFY(h.dialogs.log.isEmpty());
    if (source == EdidSource::TvA) // the release runs the checksum check
        verifyFormattedTable(h, 8.0);
    else
        verifyUniformStyle(h, Qt::black, QFont::Normal);
}

void TestEdidWindow::busyWait_data()
{
    QTest::addColumn<int>("busyMs"); // -1: the busy bit never clears
    QTest::addColumn<QList<Fault>>("faults"); // on every settings read
    QTest::addColumn<QByteArray>("firstAnswer"); // replaces the first settings answer
    QTest::addColumn<int>("settingsReads");
    QTest::addColumn<int>("readMs"); // the time each settings read takes

    const QList<Fault> none;
    QTest::newRow("idle") << 0 << none << QByteArray() << 1 << 0;
    QTest::newRow("busy 135 ms") << 135 << none << QByteArray() << 5 << 0;
    QTest::newRow("stuck busy") << -1 << none << QByteArray() << 502 << 0;
    // An answer that holds the status byte is trusted, echoed or not.
    QTest::newRow("busy 135 ms, wrong echo")
        << 135 << QList<Fault> { Fault::WrongEcho } << QByteArray() << 5 << 0;
    QTest::newRow("2-byte answer, busy") << 0 << none << QByteArray("\xE1\x01", 2) << 2 << 0;
    QTest::newRow("2-byte answer, idle") << -1 << none << QByteArray("\xE1\x00", 2) << 1 << 0;
    // Without the status byte the wait ends, however busy the box is.
    QTest::newRow("stuck busy, 1-byte answer")
        << -1 << QList<Fault> { Fault::ShortAnswer } << QByteArray() << 1 << 0;
    QTest::newRow("stuck busy, no answer")
        << -1 << QList<Fault> { Fault::NoAnswer } << QByteArray() << 1 << 4000;
}

void TestEdidWindow::busyWait()
{
    QFETCH(int, busyMs);
    QFETCH(QList<Fault>, faults);
    QFETCH(QByteArray, firstAnswer);
    QFETCH(int, settingsReads);
    QFETCH(int, readMs);

    WindowHarness h;
    h.start();
    h.clock.advance(5000);
    h.clearLogs();
    if (busyMs < 0)
        h.box.setStuckBusy(true);
    else
        h.box.setBusyFor(std::uint32_t(busyMs));
    for (Fault fault : faults)
        h.bridge.injectFault(fault, FaultWhen::always(Command::SettingsBlock));
    if (!firstAnswer.isEmpty())
        h.bridge.injectAnswer(firstAnswer, FaultWhen::onNth(Command::SettingsBlock, 1));
    const std::uint32_t start = h.clock.tickCount();

    QMetaObject::invokeMethod(h.window(), "ReadEDID");

    QCOMPARE(h.sentHex(), readFrames("10 01 B4", settingsReads));
    // Fetch, 100 ms, settings reads 10 ms apart, 10 ms, then the chunks at once.
    const std::uint32_t step = 10 + std::uint32_t(readMs);
    QList<std::uint32_t> expected { start };
    for (int i = 0; i < settingsReads; ++i)
        expected << start + 100 + step * std::uint32_t(i);
    for (int i = 0; i < 16; ++i)
        expected << start + 100 + step * std::uint32_t(settingsReads);
    QCOMPARE(sentTimes(h), expected);
}

void TestEdidWindow::readFailure_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<FaultWhen>("when");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<bool>("textReplaced");
    QTest::addColumn<int>("barValue"); // -1: bar hidden
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("stuckBusy");

    QTest::newRow("fifth chunk") << Fault::NoAnswer
                                 << FaultWhen::onNth(Command::Chunk, 5, FrameType::Read)
                                 << readFrames("10 01 B4", 1, 5) << false << 64 << QStringList()
                                 << false;
    QTest::newRow("first chunk") << Fault::ShortAnswer
                                 << FaultWhen::onNth(Command::Chunk, 1, FrameType::Read)
                                 << readFrames("10 01 B4", 1, 1) << false << -1 << QStringList()
                                 << false;
    QTest::newRow("fetch not echoed")
        << Fault::WrongEcho << FaultWhen::onNth(Command::FetchBoxEdid, 1)
        << readFrames("10 01 B4", 1) << true << -1
        << QStringList { "Error Writing values", "EDID values read." } << false;
    // A settings read that brings nothing says nothing about the busy bit:
    // the read goes on as if the box were idle, even though it is busy.
    QTest::newRow("settings read fails")
        << Fault::ReadError << FaultWhen::always(Command::SettingsBlock)
        << readFrames("10 01 B4", 1) << true << -1
        << QStringList { "Error Reading values", "EDID values read." } << true;
}

void TestEdidWindow::readFailure()
{
    QFETCH(Fault, fault);
    QFETCH(FaultWhen, when);
    QFETCH(QStringList, frames);
    QFETCH(bool, textReplaced);
    QFETCH(int, barValue);
    QFETCH(QStringList, messages);
    QFETCH(bool, stuckBusy);

    WindowHarness h;
    MainWindow *w = h.start();
    h.clock.advance(5000);
    setText(h, QStringLiteral("01 02"));
    h.clearLogs();
    h.box.setStuckBusy(stuckBusy);
    h.bridge.injectFault(fault, when);

    QMetaObject::invokeMethod(w, "ReadEDID");

    QCOMPARE(h.sentHex(), frames);
    QCOMPARE(text(h) != QStringLiteral("01 02"), textReplaced);
    QCOMPARE(barShown(w), barValue >= 0);
    if (barValue >= 0) {
        QCOMPARE(w->edidProgressBar()->value(), barValue);
        QCOMPARE(w->edidProgressBar()->maximum(), 255);
    }
    QStringList shown;
    for (const StatusMessage &m : h.statusLog)
        shown << m.text;
    QCOMPARE(shown, messages);
}

void TestEdidWindow::readWithoutBox()
{
    WindowHarness h;
    h.bridge.setDevices({});
    MainWindow *w = h.start();
    setText(h, QStringLiteral("AB"));
    h.clearLogs();
    const std::uint32_t start = h.clock.tickCount();

    QMetaObject::invokeMethod(w, "ReadEDID");

    // One settings read, not 502: the window is blocked for 110 ms only.
    QCOMPARE(h.clock.tickCount() - start, 110u);
    QCOMPARE(h.statusLog,
        (QList<StatusMessage> {
            { "Error Writing values", 4000 }, { "Error Reading values", 4000 } }));
    QCOMPARE(text(h), QStringLiteral("AB"));
    QVERIFY(h.sentHex().isEmpty());
}

// One bar for every read and write; while a chunk goes out it shows how far
// the transfer has got (hidden for the first chunk).
void TestEdidWindow::oneProgressBar()
{
    WindowHarness h;
    MainWindow *w = h.start();
    setCustomMode(h, false, false, 0);
    QStringList seen;
    h.bridge.setFrameObserver([&](const FrameLogEntry &entry) {
        if (entry.direction == FrameLogEntry::Direction::ToBox && entry.bytes.size() > 3
            && quint8(entry.bytes[2]) == 0xB0)
            seen << (barShown(w) ? QStringLiteral("%1/%2")
                                       .arg(w->edidProgressBar()->value())
                                       .arg(w->edidProgressBar()->maximum())
                                 : QStringLiteral("hidden"));
    });
    QStringList expected;
    for (int round = 0; round < 2; ++round) {
        QMetaObject::invokeMethod(w, "ReadEDID");
        QMetaObject::invokeMethod(w, "WriteEDID");
        expected << "hidden";
        for (int offset = 16; offset < 256; offset += 16)
            expected << QStringLiteral("%1/255").arg(offset);
        expected << "hidden";
        for (int i = 1; i < 32; ++i)
            expected << QStringLiteral("%1/32").arg(i);
    }
    QCOMPARE(seen, expected);
    QCOMPARE(w->statusBar()->findChildren<QProgressBar *>().size(), 1);
    QVERIFY(!barShown(w));
}

void TestEdidWindow::checksumCheck_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<float>("scale");
    QTest::addColumn<QList<Dialogs::Answer>>("answers");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QString>("result"); // empty: the text stays as it was

    const QString question = QStringLiteral(
        "question: |The EDID Checksum is not correct.|Do you want to calculate a new checksum?");
    EdidTable good = tableFrom(sampleEdid());
    const QString canonical = formatEdidText(good);
    QString eightPerLine = canonical;
    for (int line = 0; line < 16; ++line)
        eightPerLine[line * 48 + 23] = QLatin1Char('\n');
    EdidTable badBlock1 = good;
    badBlock1[255] ^= 0x01;
    EdidTable shortTable {};
    shortTable[0] = 0x01;
    repairChecksums(shortTable);

    QTest::newRow("valid, 96 dpi")
        << canonical << 1.0f << QList<Dialogs::Answer>() << QStringList() << canonical;
    QTest::newRow("valid, 192 dpi")
        << canonical << 2.0f << QList<Dialogs::Answer>() << QStringList() << canonical;
    QTest::newRow("factor not set")
        << canonical << 0.0f << QList<Dialogs::Answer>() << QStringList() << canonical;
    QTest::newRow("lower case") << canonical.toLower() << 1.0f << QList<Dialogs::Answer>()
                                << QStringList() << canonical;
    QTest::newRow("8 per line") << eightPerLine << 1.0f << QList<Dialogs::Answer>() << QStringList()
                                << canonical;
    QTest::newRow("block 1 wrong, Yes")
        << formatEdidText(badBlock1) << 1.0f << QList<Dialogs::Answer> { Dialogs::Answer::Yes }
        << QStringList { question } << canonical;
    QTest::newRow("block 1 wrong, No")
        << formatEdidText(badBlock1) << 1.0f << QList<Dialogs::Answer> { Dialogs::Answer::No }
        << QStringList { question } << QString();
    QTest::newRow("one byte, Yes")
        << "01" << 1.0f << QList<Dialogs::Answer> { Dialogs::Answer::Yes }
        << QStringList { question } << formatEdidText(shortTable);
    QTest::newRow("two spaces") << "00  01" << 1.0f << QList<Dialogs::Answer>()
                                << QStringList { kFormatError } << QString();
    QTest::newRow("tab") << "00\t01" << 1.0f << QList<Dialogs::Answer>()
                         << QStringList { kFormatError } << QString();
    QTest::newRow("too long") << QString(1024, QLatin1Char('0')) << 1.0f << QList<Dialogs::Answer>()
                              << QStringList { kFormatError } << QString();
}

void TestEdidWindow::checksumCheck()
{
    QFETCH(QString, input);
    QFETCH(float, scale);
    QFETCH(QList<Dialogs::Answer>, answers);
    QFETCH(QStringList, dialogs);
    QFETCH(QString, result);

    WindowHarness h;
    MainWindow *w = h.start();
    h.context.displayScaleFactor = scale;
    setText(h, input);
    h.clearLogs();
    h.dialogs.answers = answers;

    QMetaObject::invokeMethod(w, "CalculateChkSum");

    QCOMPARE(h.dialogs.log, dialogs);
    QVERIFY(h.sentHex().isEmpty());
    if (result.isEmpty()) {
        QCOMPARE(text(h), input);
    } else {
        QCOMPARE(text(h), result);
        verifyFormattedTable(h, 8.0 / (scale > 0 ? scale : 1.0));
    }
}

void TestEdidWindow::write_data()
{
    QTest::addColumn<bool>("automix");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("wrongByte"); // -1: valid checksums, -2: a tab in the text
    QTest::addColumn<QList<Dialogs::Answer>>("answers");
    QTest::addColumn<int>("refusedChunk"); // 1-based, -1: none
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QStringList>("messages");

    const QString modeWarning = QStringLiteral(
        "warning: VORTALEX Utility|\nSelect CUSTOM EDID TABLE mode to upload an EDID table\n");
    const QString question = QStringLiteral(
        "question: VORTALEX Utility|The EDID Checksum is not correct.|Write anyway?");
    const QList<Dialogs::Answer> none;
    const QStringList written { "EDID values written..." };

    QTest::newRow("automix") << true << false << 0 << -1 << none << -1
                             << QStringList { modeWarning } << QStringList();
    QTest::newRow("fixed") << false << true << 0 << -1 << none << -1 << QStringList { modeWarning }
                           << QStringList();
    QTest::newRow("custom, preset 3")
        << false << false << 3 << -1 << none << -1 << QStringList { modeWarning } << QStringList();
    QTest::newRow("custom, preset 0")
        << false << false << 0 << -1 << none << -1 << QStringList() << written;
    QTest::newRow("wrong checksum, No")
        << false << false << 0 << 127 << QList<Dialogs::Answer> { Dialogs::Answer::No } << -1
        << QStringList { question } << QStringList();
    QTest::newRow("wrong checksum, Yes")
        << false << false << 0 << 255 << QList<Dialogs::Answer> { Dialogs::Answer::Yes } << -1
        << QStringList { question } << written;
    QTest::newRow("format error") << false << false << 0 << -2 << none << -1
                                  << QStringList { kFormatError } << QStringList();
    QTest::newRow("chunk 10 refused")
        << false << false << 0 << -1 << none << 10 << QStringList()
        << QStringList { "Error Writing EDID values.", "EDID values written..." };
}

void TestEdidWindow::write()
{
    QFETCH(bool, automix);
    QFETCH(bool, fixed);
    QFETCH(int, preset);
    QFETCH(int, wrongByte);
    QFETCH(QList<Dialogs::Answer>, answers);
    QFETCH(int, refusedChunk);
    QFETCH(QStringList, dialogs);
    QFETCH(QStringList, messages);

    WindowHarness h;
    MainWindow *w = h.start();
    h.clock.advance(5000);
    setCustomMode(h, automix, fixed, preset);
    EdidTable table = tableFrom(h.box.edid(EdidSource::TvB));
    if (wrongByte >= 0)
        table[std::size_t(wrongByte)] ^= 0x01;
    QString input = formatEdidText(table).toLower();
    if (wrongByte == -2)
        input[2] = QLatin1Char('\t');
    setText(h, input);
    h.clearLogs();
    h.dialogs.answers = answers;
    if (refusedChunk > 0)
        h.bridge.injectFault(
            Fault::WrongEcho, FaultWhen::onNth(Command::Chunk, refusedChunk, FrameType::Set));
    const std::uint32_t start = h.clock.tickCount();

    QMetaObject::invokeMethod(w, "WriteEDID");

    QCOMPARE(h.dialogs.log, dialogs);
    QStringList shown;
    for (const StatusMessage &m : h.statusLog) {
        shown << m.text;
        QCOMPARE(m.ms, 2000);
    }
    QCOMPARE(shown, messages);
    QCOMPARE(text(h), input);
    QVERIFY(!barShown(w));
    if (messages.isEmpty()) {
        QVERIFY(h.sentHex().isEmpty());
        return;
    }
    QCOMPARE(h.sentHex(), writeFrames(bytesOf(table)));
    QList<std::uint32_t> times;
    for (std::uint32_t i = 0; i <= 32; ++i)
        times << start + 30 * i;
    QCOMPARE(sentTimes(h), times);
    QCOMPARE(h.box.customEdid(), bytesOf(table));
}

// Checks made before anything is sent, in the order the user meets them:
// too short (refused, nothing asked), header missing, wrong checksum.
void TestEdidWindow::writeChecks_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QList<Dialogs::Answer>>("answers");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QList<StatusMessage>>("messages");
    QTest::addColumn<QByteArray>("sent"); // the table on the wire; empty: no frame

    const QString header = QStringLiteral(
        "question: VORTALEX Utility|The table does not start with the EDID header. Write anyway?|");
    const QString checksum = QStringLiteral(
        "question: VORTALEX Utility|The EDID Checksum is not correct.|Write anyway?");
    const QList<StatusMessage> written { { "EDID values written...", 2000 } };
    using A = Dialogs::Answer;

    EdidTable oneBlock = tableFrom(sampleEdid().left(128));
    oneBlock[126] = 0; // no extension
    repairChecksums(oneBlock);
    EdidTable noHeader = tableFrom(sampleEdid());
    noHeader[7] = 0x01;

    QTest::newRow("empty")
        << QString() << QList<A>() << QStringList()
        << QList<StatusMessage> { { "The EDID table holds only 0 bytes; nothing was written.",
               4000 } }
        << QByteArray();
    QTest::newRow("127 bytes, no header, bad checksum")
        << QStringLiteral("01 ").repeated(127) << QList<A>() << QStringList()
        << QList<StatusMessage> { { "The EDID table holds only 127 bytes; nothing was written.",
               4000 } }
        << QByteArray();
    QTest::newRow("one block, zero filled") << formatEdidText(oneBlock).left(128 * 3) << QList<A>()
                                            << QStringList() << written << bytesOf(oneBlock);
    QTest::newRow("256 zeros, No")
        << formatEdidText(EdidTable {}) << QList<A> { A::No } << QStringList { header }
        << QList<StatusMessage>() << QByteArray();
    QTest::newRow("256 zeros, Yes")
        << formatEdidText(EdidTable {}) << QList<A> { A::Yes } << QStringList { header } << written
        << QByteArray(kEdidSize, '\0');
    QTest::newRow("no header, No")
        << formatEdidText(noHeader) << QList<A> { A::No } << QStringList { header }
        << QList<StatusMessage>() << QByteArray();
    QTest::newRow("no header, Yes, checksum No")
        << formatEdidText(noHeader) << QList<A> { A::Yes, A::No }
        << QStringList { header, checksum } << QList<StatusMessage>() << QByteArray();
    QTest::newRow("no header, Yes, checksum Yes")
        << formatEdidText(noHeader) << QList<A> { A::Yes, A::Yes }
        << QStringList { header, checksum } << written << bytesOf(noHeader);
}

void TestEdidWindow::writeChecks()
{
    QFETCH(QString, input);
    QFETCH(QList<Dialogs::Answer>, answers);
    QFETCH(QStringList, dialogs);
    QFETCH(QList<StatusMessage>, messages);
    QFETCH(QByteArray, sent);

    WindowHarness h;
    MainWindow *w = h.start();
    setCustomMode(h, false, false, 0);
    setText(h, input);
    h.clearLogs();
    h.dialogs.answers = answers;

    QMetaObject::invokeMethod(w, "WriteEDID");

    QCOMPARE(h.dialogs.log, dialogs);
    QVERIFY(h.dialogs.answers.isEmpty());
    QCOMPARE(h.statusLog, messages);
    QCOMPARE(h.sentHex(), sent.isEmpty() ? QStringList() : writeFrames(sent));
    QCOMPARE(text(h), input);
}

void TestEdidWindow::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown"); // empty: unchanged
    QTest::addColumn<bool>("binary");
    QTest::addColumn<qint64>("size"); // grown to this size without writing; 0: as written

    const QByteArray edid = sampleEdid();
    const QString canonical = formatEdidText(tableFrom(edid));
    const QString zeros = formatEdidText(EdidTable {});

    QTest::newRow("empty") << QByteArray() << zeros << true << qint64(0);
    QTest::newRow("1 byte") << QByteArray(1, '\0') << zeros << true << qint64(0);
    QTest::newRow("128 bytes") << edid.left(128) << formatEdidText(tableFrom(edid.left(128)))
                               << true << qint64(0);
    QTest::newRow("300 bytes") << edid + QByteArray(44, '\x55') << canonical << true << qint64(0);
    QTest::newRow("garbage") << QByteArray("\xC3\x28\x01\x00\x30", 5)
                             << QString::fromLatin1("\xC3\x28\x01") << false << qint64(0);
    QTest::newRow("space CR LF text")
        << canonical.toLatin1().replace("\n", " \r\n") << canonical << false << qint64(0);
    // The edit keeps line ends as block separators, so a CR LF pair reads
    // back as one line feed.
    QTest::newRow("CR LF text") << canonical.toLatin1().replace("\n", "\r\n") << canonical << false
                                << qint64(0);
    // Only the first 1024 bytes are read, whatever the size.
    QTest::newRow("1 GiB") << edid << canonical << true << (qint64(1) << 30);
    QTest::newRow("UTF-8 text") << QByteArray("\xE2\x82\xAC 00")
                                << QString::fromLatin1("\xE2\x82\xAC 00") << false << qint64(0);
}

void TestEdidWindow::load()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(bool, binary);
    QFETCH(qint64, size);

    QTemporaryDir dir;
    const QString name = dir.filePath("in.bin");
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    if (size > 0)
        QVERIFY(file.resize(size)); // sparse: costs no disk space
    file.close();

    WindowHarness h;
    MainWindow *w = h.start();
    h.clearLogs();
    h.dialogs.fileNames << name;

    QMetaObject::invokeMethod(w, "LoadEDIDfromFile");

    QCOMPARE(
        h.dialogs.log, QStringList { "open: Open file||Binary Files (*.bin);;All files (*.*)" });
    QCOMPARE(text(h), shown);
    QCOMPARE(h.statusLog, (QList<StatusMessage> { { "File loaded", 2000 } }));
    if (binary)
        verifyFormattedTable(h, 8.0);
    else
        verifyUniformStyle(h, QColor(0, 0, 255), QFont::Bold);
    QVERIFY(h.sentHex().isEmpty());
}

void TestEdidWindow::loadFailures_data()
{
    QTest::addColumn<QString>("target"); // relative to a fresh directory; empty: cancel
    QTest::addColumn<QString>("reason");

    QTest::newRow("cancelled") << ""
                               << "";
    QTest::newRow("directory") << "dir"
                               << "file to open is a directory";
    QTest::newRow("missing file") << "none.bin"
                                  << "No such file or directory";
}

void TestEdidWindow::loadFailures()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("dir"));
    WindowHarness h;
    MainWindow *w = h.start();
    setText(h, QStringLiteral("AB"));
    h.clearLogs();
    const QString name = target.isEmpty() ? QString() : dir.filePath(target);
    h.dialogs.fileNames << name;

    QMetaObject::invokeMethod(w, "LoadEDIDfromFile");

    QStringList expected { "open: Open file||Binary Files (*.bin);;All files (*.*)" };
    if (!target.isEmpty())
        expected << QStringLiteral("warning: VORTALEX Utility|Cannot read file %1:\n%2.")
                        .arg(name, reason);
    QCOMPARE(h.dialogs.log, expected);
    QCOMPARE(text(h), QStringLiteral("AB"));
    QVERIFY(h.statusLog.isEmpty());
}

void TestEdidWindow::saveAndLoadBack()
{
    QTemporaryDir dir;
    const QString name = dir.filePath("out.bin");
    QFile old(name);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(1000, 'x'));
    old.close();

    WindowHarness h;
    MainWindow *w = h.start();
    EdidTable table = tableFrom(sampleEdid());
    table[127] ^= 0xFF; // saved as it stands, without a check
    setText(h, formatEdidText(table).toLower());
    h.clearLogs();
    h.dialogs.fileNames << name << name;

    QMetaObject::invokeMethod(w, "SaveEDIDtoFile");

    QCOMPARE(
        h.dialogs.log, QStringList { "save: Save File|VORTALEX_edid0.bin|Binary file (*.bin)" });
    QCOMPARE(
        h.statusLog, (QList<StatusMessage> { { "Saving file...", 2000 }, { "File saved", 2000 } }));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), bytesOf(table));
    old.close();

    setText(h, QString());
    QMetaObject::invokeMethod(w, "LoadEDIDfromFile");
    QCOMPARE(text(h), formatEdidText(table));
    verifyFormattedTable(h, 8.0);
}

void TestEdidWindow::saveFailures_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("target"); // relative to a fresh directory; empty: cancel
    QTest::addColumn<QStringList>("dialogs");

    const QString save = QStringLiteral("save: Save File|VORTALEX_edid0.bin|Binary file (*.bin)");
    QTest::newRow("format error") << "00 01\t"
                                  << "old.bin" << QStringList { kFormatError };
    QTest::newRow("cancelled") << "00 01"
                               << "" << QStringList { save };
    const QString cannotWrite = QStringLiteral("warning: VORTALEX Utility|Cannot write file %1:\n");
    QTest::newRow("directory") << "00 01"
                               << "dir"
                               << QStringList { save,
                                      cannotWrite + "Filename refers to a directory." };
    QTest::newRow("missing folder")
        << "00 01"
        << "nowhere/x.bin" << QStringList { save, cannotWrite + "No such file or directory." };
    QTest::newRow("disk full") << "00 01"
                               << "old.bin"
                               << QStringList { save, cannotWrite + "File too large." };
}

void TestEdidWindow::saveFailures()
{
    QFETCH(QString, input);
    QFETCH(QString, target);
    QFETCH(QStringList, dialogs);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("dir"));
    const QByteArray oldContent(300, '\x42');
    QFile old(dir.filePath("old.bin"));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(oldContent);
    old.close();

    WindowHarness h;
    MainWindow *w = h.start();
    setText(h, input);
    h.clearLogs();
    const QString name = target.isEmpty() ? QString() : dir.filePath(target);
    h.dialogs.fileNames << name;

    // A file size limit stands in for a full disk: writes past 100 bytes fail.
    rlimit saved {};
    const bool diskFull = QByteArray(QTest::currentDataTag()) == "disk full";
    if (diskFull) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved);
        rlimit limit = saved;
        limit.rlim_cur = 100;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    QMetaObject::invokeMethod(w, "SaveEDIDtoFile");
    if (diskFull)
        setrlimit(RLIMIT_FSIZE, &saved);

    dialogs.replaceInStrings(QStringLiteral("%1"), name);
    QCOMPARE(h.dialogs.log, dialogs);
    for (const StatusMessage &m : h.statusLog)
        QVERIFY(m.text != QStringLiteral("File saved"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), oldContent);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList { "old.bin" });
}

// Save EDID writes a FIFO as it is instead of putting a file in its place.
void TestEdidWindow::saveKeepsFifo()
{
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("pipe"));
    QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);

    WindowHarness h;
    MainWindow *w = h.start();
    const EdidTable table = tableFrom(sampleEdid());
    setText(h, formatEdidText(table));
    h.clearLogs();
    h.dialogs.fileNames << dir.filePath("pipe");
    QMetaObject::invokeMethod(w, "SaveEDIDtoFile");

    QByteArray got(512, '\0');
    const ssize_t n = ::read(reader, got.data(), std::size_t(got.size()));
    ::close(reader);
    QCOMPARE(got.left(int(std::max<ssize_t>(n, 0))), bytesOf(table));
    struct stat info {};
    QCOMPARE(::stat(fifo.constData(), &info), 0);
    QVERIFY(S_ISFIFO(info.st_mode));
    QCOMPARE(
        h.statusLog, (QList<StatusMessage> { { "Saving file...", 2000 }, { "File saved", 2000 } }));
}

void TestEdidWindow::saveInLockedFolder_data()
{
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<bool>("saved");

    QTest::newRow("writable file") << 0666 << true;
    QTest::newRow("read-only file") << 0444 << false;
}

// A folder the user cannot write to: the file is written in place when the
// file itself allows it. Root ignores permissions, so under root the save
// runs as the unprivileged user "nobody" (uid and gid 65534).
void TestEdidWindow::saveInLockedFolder()
{
    QFETCH(int, fileMode);
    QFETCH(bool, saved);

    constexpr uid_t kNobody = 65534;
    const bool root = geteuid() == 0;
    QTemporaryDir dir;
    const QString folder = dir.filePath("locked");
    const QString name = folder + "/old.bin";
    const QByteArray oldContent(300, '\x42');
    QVERIFY(QDir(dir.path()).mkdir("locked"));
    QFile old(name);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(oldContent);
    old.close();
    QCOMPARE(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    QCOMPARE(chmod(QFile::encodeName(name).constData(), mode_t(fileMode)), 0);
    QCOMPARE(chmod(QFile::encodeName(folder).constData(), 0555), 0);
    const auto unlock = qScopeGuard([&] { chmod(QFile::encodeName(folder).constData(), 0755); });
    if (!root && access(QFile::encodeName(folder).constData(), W_OK) == 0)
        QSKIP("not root, and the folder stays writable after chmod 0555 (a capability?)");

    WindowHarness h;
    MainWindow *w = h.start();
    const EdidTable table = tableFrom(sampleEdid());
    setText(h, formatEdidText(table));
    h.clearLogs();
    h.dialogs.fileNames << name;

    {
        // Real and effective ids both, as Qt tests access with the real
        // one; the saved id stays root, so the test can switch back even
        // after a failed check.
        const auto backToRoot = qScopeGuard([root] {
            if (root && (setresuid(0, 0, 0) != 0 || setresgid(0, 0, 0) != 0))
                qFatal("cannot switch back to root");
        });
        if (root) {
            QCOMPARE(setresgid(kNobody, kNobody, 0), 0);
            QCOMPARE(setresuid(kNobody, kNobody, 0), 0);
        }
        QMetaObject::invokeMethod(w, "SaveEDIDtoFile");
    }

    QStringList dialogs { "save: Save File|VORTALEX_edid0.bin|Binary file (*.bin)" };
    if (!saved)
        dialogs << QStringLiteral(
            "warning: VORTALEX Utility|Cannot write file %1:\nExisting file %1 is not writable.")
                       .arg(name);
    QCOMPARE(h.dialogs.log, dialogs);
    const QList<StatusMessage> savedMessages { { "Saving file...", 2000 }, { "File saved", 2000 } };
    QCOMPARE(h.statusLog, saved ? savedMessages : QList<StatusMessage>());
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), saved ? bytesOf(table) : oldContent);
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList { "old.bin" });
}

QTEST_MAIN(TestEdidWindow)
#include "tst_edidwindow.moc"
