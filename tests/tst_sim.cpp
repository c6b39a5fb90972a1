// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/requests.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"
#include "emulated/simedid.h"
#include "emulated/sourcepages.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>
#include <functional>

using namespace vortalex;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray dataFile(const QString &name)
{
    QFile file(QStringLiteral(VORTALEX_TEST_DATA "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// A table unlike any the box builds: the TV B table with a new serial number.
QByteArray uploadTable()
{
    QByteArray table = simedid::build(simedid::tvBProfile());
    table[12] = char(0x42);
    table[127] = char(simedid::blockChecksum(table, 0));
    return table;
}

struct Rig
{
    VirtualClock clock { 1000 };
    EmulatedBox box { clock };

    QByteArray send(const QByteArray &frame) { return box.answer(frame); }
    std::uint8_t status() { return std::uint8_t(send(Frames::readSettingsBlock())[1]); }
    QByteArray page(std::uint8_t page, std::uint8_t length = 31)
    {
        return send(Frames::readPage(page, length));
    }
    QByteArray readTransferTable()
    {
        QByteArray table;
        for (int offset = 0; offset < kEdidSize; offset += kEdidReadChunk)
            table += send(Frames::chunkRead(std::uint8_t(offset)));
        return table;
    }
    void upload(const QByteArray &table)
    {
        for (int offset = 0; offset < kEdidSize; offset += kEdidWriteChunk)
            QCOMPARE(send(Frames::chunkWrite(std::uint8_t(offset),
                         reinterpret_cast<const std::uint8_t *>(table.constData() + offset))),
                hex("B0 00"));
        QCOMPARE(send(Frames::apply()), hex("B1 00"));
    }
};

struct RecordedEvents : RequestObserver
{
    void requestEvent(RequestEvent event) override { events.append(event); }
    QList<RequestEvent> events;
};

using Check = std::function<QByteArray(EmulatedBox &)>;

} // namespace

Q_DECLARE_METATYPE(Check)
Q_DECLARE_METATYPE(FaultWhen)

class TstSim : public QObject
{
    Q_OBJECT

private slots:
    void settingIdMap_data();
    void settingIdMap();
    void factoryReset_data();
    void factoryReset();
    void fetchLoadsWhileBusy_data();
    void fetchLoadsWhileBusy();
    void edidModeChange_data();
    void edidModeChange();
    void uploadAndApply_data();
    void uploadAndApply();
    void sourcesFollowInput_data();
    void sourcesFollowInput();
    void pageAtAskedLength_data();
    void pageAtAskedLength();
    void remembersWhatItIsTold_data();
    void remembersWhatItIsTold();
    void edidDecodeCheck_data();
    void edidDecodeCheck();
    void frameLogLines();
    void scriptMismatch();
    void faultSelection_data();
    void faultSelection();
    void garbageNeverCrashes();
};

void TstSim::settingIdMap_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("position");
    const int map[][2] = { { 0, 0 }, { 2, 1 }, { 5, 2 }, { 3, 3 }, { 4, 4 }, { 27, 5 }, { 1, 6 },
        { 8, 13 }, { 9, 14 }, { 10, 15 }, { 11, 16 }, { 12, 17 }, { 13, 18 }, { 14, 19 },
        { 16, 21 }, { 17, 22 }, { 19, 24 }, { 22, 26 }, { 23, 27 }, { 24, 28 }, { 26, 29 },
        { 28, 30 }, { 29, 31 }, { 32, 32 }, { 33, 33 }, { 6, -1 }, { 7, -1 }, { 15, -1 },
        { 18, -1 }, { 20, -1 }, { 21, -1 }, { 30, -1 }, { 31, -1 }, { 200, -1 } };
    for (const auto &row : map)
        QTest::addRow("id %d", row[0]) << row[0] << row[1];
}

void TstSim::settingIdMap()
{
    QFETCH(int, id);
    QFETCH(int, position);
    Rig rig;
    auto expected = EmulatedBox::factorySettings();
    if (position >= 0)
        expected[std::size_t(position)] = 0x5A;
    const QByteArray ack = rig.send(Frames::writeSetting(std::uint8_t(id), 0x5A));
    QCOMPARE(ack.size(), 2);
    QCOMPARE(std::uint8_t(ack[0]), 0xE0);
    QCOMPARE(rig.box.settings(), expected);
    const QByteArray block = rig.send(Frames::readSettingsBlock());
    QCOMPARE(block.mid(2), QByteArray(reinterpret_cast<const char *>(expected.data()), 40));
}

void TstSim::factoryReset_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<bool>("settingsBack");
    QTest::addColumn<bool>("edidBack");
    QTest::newRow("1: EDID") << 1 << false << true;
    QTest::newRow("2: settings") << 2 << true << false;
    QTest::newRow("3: both") << 3 << true << true;
    QTest::newRow("0: nothing") << 0 << false << false;
    QTest::newRow("4: nothing") << 4 << false << false;
}

void TstSim::factoryReset()
{
    QFETCH(int, value);
    QFETCH(bool, settingsBack);
    QFETCH(bool, edidBack);
    Rig rig;
    rig.send(Frames::writeSetting(5, 3)); // custom EDID mode
    rig.clock.advance(EmulatedBox::kEdidRebuildBusyMs);
    rig.upload(uploadTable());
    const int settingPositions[] = { 0, 5, 26 };
    const int edidPositions[] = { 16, 19, 32 };
    for (int p : settingPositions)
        rig.box.setSetting(p, 2);
    for (int p : edidPositions)
        rig.box.setSetting(p, 2);
    const auto factory = EmulatedBox::factorySettings();

    QCOMPARE(
        rig.send(Frames::writeSetting(25, std::uint8_t(value))), hex(edidBack ? "E0 01" : "E0 00"));
    for (int p : settingPositions)
        QCOMPARE(rig.box.setting(p), settingsBack ? factory[std::size_t(p)] : 2);
    for (int p : edidPositions)
        QCOMPARE(rig.box.setting(p), edidBack ? factory[std::size_t(p)] : 2);
    QCOMPARE(rig.box.setting(2), edidBack ? 1 : 3);
    QCOMPARE(rig.box.customEdid().isEmpty(), edidBack);
    QCOMPARE(rig.box.factoryResets(), QList<std::uint8_t> { std::uint8_t(value) });
    rig.clock.advance(EmulatedBox::kEdidRebuildBusyMs);
    QCOMPARE(rig.status(), 0);
    QCOMPARE(
        rig.box.edid(EdidSource::Box), edidBack ? dataFile("sim_box_automix.bin") : uploadTable());
}

void TstSim::fetchLoadsWhileBusy_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QString>("file");
    QTest::newRow("box") << int(EdidSource::Box) << "sim_box_automix.bin";
    QTest::newRow("TV A") << int(EdidSource::TvA) << "sim_tv_a.bin";
    QTest::newRow("TV B") << int(EdidSource::TvB) << "sim_tv_b.bin";
}

void TstSim::fetchLoadsWhileBusy()
{
    QFETCH(int, source);
    QFETCH(QString, file);
    Rig rig;
    const QByteArray stale(kEdidSize, '\x11');
    rig.box.setTransferTable(stale);
    const QByteArray fetch = Frames::fetch(EdidSource(source));
    QCOMPARE(rig.send(fetch), fetch.mid(2, 1) + hex("01"));
    rig.clock.advance(EmulatedBox::kFetchBusyMs - 1);
    QCOMPARE(rig.status(), 1);
    // Chunk reads still answer while the box loads, with the old table.
    QCOMPARE(rig.send(Frames::chunkRead(0)), stale.left(16));
    rig.clock.advance(1);
    QCOMPARE(rig.status(), 0);
    QCOMPARE(rig.readTransferTable(), dataFile(file));
}

void TstSim::edidModeChange_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<bool>("uploadFirst");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("automix") << 1 << false << dataFile("sim_box_automix.bin");
    QTest::newRow("fixed") << 2 << false << dataFile("sim_box_fixed.bin");
    QTest::newRow("custom, nothing uploaded") << 3 << false << dataFile("sim_box_fixed.bin");
    QTest::newRow("custom after an upload") << 3 << true << uploadTable();
    QTest::newRow("fixed after an upload") << 2 << true << dataFile("sim_box_fixed.bin");
}

void TstSim::edidModeChange()
{
    QFETCH(int, mode);
    QFETCH(bool, uploadFirst);
    QFETCH(QByteArray, expected);
    Rig rig;
    if (uploadFirst)
        rig.upload(uploadTable()); // in automix mode: kept, not used
    const QByteArray before = rig.box.edid(EdidSource::Box);
    QCOMPARE(before, dataFile("sim_box_automix.bin"));
    QCOMPARE(rig.send(Frames::writeSetting(5, std::uint8_t(mode))), hex("E0 01"));
    rig.clock.advance(EmulatedBox::kEdidRebuildBusyMs - 1);
    QCOMPARE(rig.status(), 1);
    QCOMPARE(rig.box.edid(EdidSource::Box), before);
    rig.clock.advance(1);
    QCOMPARE(rig.status(), 0);
    QCOMPARE(rig.box.edid(EdidSource::Box), expected);
    rig.send(Frames::fetch(EdidSource::Box));
    rig.clock.advance(EmulatedBox::kFetchBusyMs);
    QCOMPARE(rig.readTransferTable(), expected);
}

void TstSim::uploadAndApply_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("takenIntoUse");
    QTest::newRow("custom, preset 0") << 3 << 0 << true;
    QTest::newRow("custom, preset 3") << 3 << 3 << false;
    QTest::newRow("automix") << 1 << 0 << false;
}

void TstSim::uploadAndApply()
{
    QFETCH(int, mode);
    QFETCH(int, preset);
    QFETCH(bool, takenIntoUse);
    Rig rig;
    rig.box.setSetting(2, std::uint8_t(mode));
    rig.box.setSetting(19, std::uint8_t(preset));
    rig.box.rebuildEdidNow();
    const QByteArray before = rig.box.edid(EdidSource::Box);
    const QByteArray table = uploadTable();
    rig.upload(table);
    QCOMPARE(rig.box.chunkWriteCount(), 32);
    QCOMPARE(rig.box.applyCount(), 1);
    QCOMPARE(rig.box.customEdid(), table);
    QCOMPARE(rig.box.edid(EdidSource::Box), takenIntoUse ? table : before);
    rig.send(Frames::fetch(EdidSource::Box));
    rig.clock.advance(EmulatedBox::kFetchBusyMs);
    QCOMPARE(rig.readTransferTable(), takenIntoUse ? table : before);
}

void TstSim::sourcesFollowInput_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<QByteArray>("status"); // page 6, 15 bytes
    QTest::addColumn<QByteArray>("vendor"); // page 21 bytes 4-11
    QTest::addColumn<QByteArray>("product"); // page 21 bytes 12-27
    QTest::addColumn<QByteArray>("hdr"); // page 30 bytes 2-4: type, n, EOTF

    const QByteArray playerStatus = hex("E0 00 61 10 02 60 00 00 00 00 40 E8 60 00 00");
    const QByteArray consoleStatus = hex("E0 00 10 10 00 60 00 00 00 00 00 A8 00 00 00");
    const QByteArray playerVendor("LUMIDISC", 8);
    const QByteArray playerProduct("UHD BD Player 4K", 16);
    const QByteArray consoleVendor("KESTREL\0", 8);
    const QByteArray consoleProduct("GX Console\0\0\0\0\0\0", 16);
    QTest::newRow("port A") << 1 << playerStatus << playerVendor << playerProduct
                            << hex("87 1A 02");
    QTest::newRow("port B") << 2 << consoleStatus << consoleVendor << consoleProduct
                            << hex("00 00 00");
    QTest::newRow("matrix thru") << 3 << playerStatus << playerVendor << playerProduct
                                 << hex("87 1A 02");
    QTest::newRow("matrix swap") << 4 << consoleStatus << consoleVendor << consoleProduct
                                 << hex("00 00 00");
}

void TstSim::sourcesFollowInput()
{
    QFETCH(int, input);
    QFETCH(QByteArray, status);
    QFETCH(QByteArray, vendor);
    QFETCH(QByteArray, product);
    QFETCH(QByteArray, hdr);
    Rig rig;
    QCOMPARE(rig.send(Frames::writeSetting(0, std::uint8_t(input))), hex("E0 00"));
    QCOMPARE(hexBytes(rig.page(Page::Status, 15)), hexBytes(status));
    const QByteArray product21 = rig.page(Page::SourceProduct);
    QCOMPARE(product21.mid(4, 8), vendor);
    QCOMPARE(product21.mid(12, 16), product);
    const QByteArray hdr30 = rig.page(Page::HdrInfoFrame);
    QCOMPARE(hdr30.mid(2, 3), hdr);
    if (hdr30[2] == char(0x87)) {
        // SMPTE ST 2086 mastering data of the player: BT.2020 green primary first,
        // 1000 cd/m2 peak and MaxFALL 400 at the end (CTA-861-G, 6.9).
        QCOMPARE(hdr30.mid(6, 4), hex("34 21 AA 9B"));
        QCOMPARE(hdr30.mid(28, 2), hex("90 01"));
    }
}

void TstSim::pageAtAskedLength_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("length");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("firmware, 8") << 7 << 8 << hex("E0 00 01 02 00 0F 00 00");
    QTest::newRow("firmware, 3") << 7 << 3 << hex("E0 00 01");
    QTest::newRow("firmware, 1") << 7 << 1 << hex("E0");
    QTest::newRow("firmware, 0: nothing") << 7 << 0 << QByteArray();
    QTest::newRow("stored AVI, 15")
        << 36 << 15 << hex("E0 00 60 C8 60 61 00 00 00 00 00 00 00 00 00");
    QTest::newRow("stored HDR, 33")
        << 35 << 33
        << hex("E0 00 87 01 1A 91 02 00 34 21 AA 9B 96 19 FC 08 48 8A 08 39 13 3D 42 40 E8 03 "
               "32 00 E8 03 90 01 00");
    QTest::newRow("captured AVI, 8") << 31 << 8 << hex("E0 00 82 0D 40 E8 60 61");
    QTest::newRow("unknown page, 4") << 99 << 4 << hex("E0 00 00 00");
    QTest::newRow("beyond 64 bytes") << 7 << 70 << hex("E0 00 01 02 00 0F") + QByteArray(64, '\0');
}

void TstSim::pageAtAskedLength()
{
    QFETCH(int, page);
    QFETCH(int, length);
    QFETCH(QByteArray, answer);
    Rig rig;
    QCOMPARE(hexBytes(rig.page(std::uint8_t(page), std::uint8_t(length))), hexBytes(answer));
}

void TstSim::remembersWhatItIsTold_data()
{
    QTest::addColumn<QList<QByteArray>>("frames");
    QTest::addColumn<QByteArray>("acks");
    QTest::addColumn<Check>("check");
    QTest::addColumn<QByteArray>("expected");

    const QByteArray hdr = hex("87 01 02 00 02 00");
    const QByteArray avi = hex("60 C8 60 61 00");
    const auto page35
        = [](EmulatedBox &b) { return b.pageData(Page::StoredHdrInfoFrame).left(31); };
    const auto page36
        = [](EmulatedBox &b) { return b.pageData(Page::StoredAviInfoFrame).left(13); };
    QTest::newRow("CEC send") << QList<QByteArray> {
        Frames::cecSend(hex("50 01 04")), Frames::activate(3, ActivateSelector::Cec)
    } << hex("B2 00 B3 00") << Check([](EmulatedBox &b) {
        return b.lastCecMessage() + QByteArray(b.activations().size(), '*');
    }) << hex("50 01 04") + "*";
    QTest::newRow("CEC store SP") << QList<QByteArray> { Frames::cecStore(Command::CecStoreSp,
        "50:04") } << hex("E3 00") << Check([](EmulatedBox &b) {
        return b.storedCec(Command::CecStoreSp);
    }) << QByteArray("50:04");
    QTest::newRow("CEC store LP") << QList<QByteArray> { Frames::cecStore(Command::CecStoreLp,
        "0F:36") } << hex("E4 00") << Check([](EmulatedBox &b) {
        return b.storedCec(Command::CecStoreLp);
    }) << QByteArray("0F:36");
    QTest::newRow("HDR InfoFrame activated becomes page 35") << QList<QByteArray> {
        Frames::hdrInfoFrame(hdr), Frames::activate(6, ActivateSelector::HdrInfoFrame)
    } << hex("E5 00 B3 00") << Check(page35) << hdr + QByteArray(25, '\0');
    QTest::newRow("HDR InfoFrame without activate")
        << QList<QByteArray> { Frames::hdrInfoFrame(hdr) } << hex("E5 00") << Check(page35)
        << sourcepages::factoryHdrInfoFrame();
    QTest::newRow("AVI InfoFrame activated becomes page 36") << QList<QByteArray> {
        Frames::aviInfoFrame(hex("40 E8")), Frames::activate(2, ActivateSelector::AviInfoFrame)
    } << hex("E6 00 B3 00") << Check(page36) << hex("40 E8") + QByteArray(11, '\0');
    QTest::newRow("AVI bytes kept")
        << QList<QByteArray> { Frames::aviInfoFrame(avi) } << hex("E6 00")
        << Check([](EmulatedBox &b) { return b.aviInfoFrame(); }) << avi;
    QTest::newRow("unknown activate selector")
        << QList<QByteArray> { hex("10 01 B3 40") } << QByteArray()
        << Check([](EmulatedBox &b) { return QByteArray(b.activations().size(), '*'); })
        << QByteArray();
    QTest::newRow("store without CEC prefix")
        << QList<QByteArray> { hex("10 03 E3 35 30 0D") } << QByteArray()
        << Check([](EmulatedBox &b) { return b.storedCec(Command::CecStoreSp); }) << QByteArray();
    QTest::newRow("settings block write") << QList<QByteArray> {
        Frames::writeSettingsBlock(EmulatedBox::factorySettings().data() + 0)
    } << hex("E2 00") << Check([](EmulatedBox &b) {
        return QByteArray(b.settingsBlockWrites(), '*');
    }) << QByteArray("*");
}

void TstSim::remembersWhatItIsTold()
{
    QFETCH(QList<QByteArray>, frames);
    QFETCH(QByteArray, acks);
    QFETCH(Check, check);
    QFETCH(QByteArray, expected);
    Rig rig;
    QByteArray answers;
    for (const QByteArray &frame : frames)
        answers += rig.send(frame);
    QCOMPARE(hexBytes(answers), hexBytes(acks));
    QCOMPARE(hexBytes(check(rig.box)), hexBytes(expected));
}

void TstSim::edidDecodeCheck_data()
{
    QTest::addColumn<QByteArray>("table");
    QTest::addColumn<QByteArray>("golden"); // empty: no golden file

    VirtualClock clock;
    EmulatedBox box(clock);
    QTest::newRow("box, factory") << box.edid(EdidSource::Box) << dataFile("sim_box_automix.bin");
    QTest::newRow("TV A") << box.edid(EdidSource::TvA) << dataFile("sim_tv_a.bin");
    QTest::newRow("TV B") << box.edid(EdidSource::TvB) << dataFile("sim_tv_b.bin");
    QTest::newRow("box, fixed") << simedid::build(simedid::boxFixedProfile())
                                << dataFile("sim_box_fixed.bin");

    const QByteArray tvA = box.edid(EdidSource::TvA);
    const QByteArray tvB = box.edid(EdidSource::TvB);
    for (int algorithm = 0; algorithm < 4; ++algorithm) {
        simedid::MixOptions options;
        options.algorithm = algorithm;
        QTest::addRow("automix algorithm %d", algorithm)
            << simedid::automix(tvA, tvB, options) << QByteArray();
    }
    simedid::MixOptions options;
    options.stereoOnly = true;
    options.hdr = true;
    options.ycbcr = false;
    QTest::newRow("automix 2.0, HDR, no YCbCr")
        << simedid::automix(tvA, tvB, options) << QByteArray();
    options = {};
    options.surround51 = true;
    options.fullAudio = true;
    options.bt2020 = true;
    QTest::newRow("automix 5.1, full audio, BT.2020")
        << simedid::automix(tvA, tvB, options) << QByteArray();
    QTest::newRow("automix of two broken TVs")
        << simedid::automix(QByteArray(256, '\xFF'), QByteArray(3, '\0'), {}) << QByteArray();
}

void TstSim::edidDecodeCheck()
{
    QFETCH(QByteArray, table);
    QFETCH(QByteArray, golden);
    QCOMPARE(table.size(), kEdidSize);
    QCOMPARE(std::uint8_t(table[127]), simedid::blockChecksum(table, 0));
    QCOMPARE(std::uint8_t(table[255]), simedid::blockChecksum(table, 128));
    if (!golden.isEmpty())
        QCOMPARE(hexBytes(table), hexBytes(golden));

    const QString tool = QStandardPaths::findExecutable("edid-decode");
    QVERIFY2(!tool.isEmpty(), "edid-decode is not installed");
    QProcess process;
    process.start(tool, { "--check", "-" });
    QVERIFY(process.waitForStarted());
    process.write(table);
    process.closeWriteChannel();
    QVERIFY(process.waitForFinished());
    const QString output
        = QString::fromLocal8Bit(process.readAllStandardOutput() + process.readAllStandardError());
    QVERIFY2(process.exitCode() == 0, qPrintable(output));
    QVERIFY2(output.contains("EDID conformity: PASS"), qPrintable(output));
    QVERIFY2(!output.contains("Warnings:") && !output.contains("Failures:"), qPrintable(output));
}

void TstSim::frameLogLines()
{
    VirtualClock clock(0xFFFFFFF0u); // the log counts across a wrap
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    bridge.setLatency(5);
    UsbLink link(bridge, clock, [](LinkNotice) {});
    RecordedEvents observer;
    BoxRequests requests(link, observer);
    std::uint32_t index = 0;
    QVERIFY(link.findDevice(UsbLink::kBoxIdString, index) && link.openDevice(index));
    QStringList observed;
    bridge.setFrameObserver(
        [&observed](const FrameLogEntry &e) { observed.append(frameLogLine(e, 0xFFFFFFF0u)); });

    requests.writeSetting(27, 1);
    clock.advance(20);
    Response response;
    QVERIFY(requests.readPage(Page::Firmware, response, 8));

    QStringList lines;
    for (const FrameLogEntry &e : bridge.frameLog())
        lines.append(frameLogLine(e, 0xFFFFFFF0u));
    const QStringList expected { "0 > 10 04 E0 1B 01", "5 < E0 00", "25 > 11 08 E0 07",
        "30 < E0 00 01 02 00 0F 00 00" };
    QCOMPARE(lines, expected);
    QCOMPARE(observed, expected);
    QCOMPARE(bridge.sentFrames(), QList<QByteArray>({ hex("10 04 E0 1B 01"), hex("11 08 E0 07") }));
    QVERIFY(observer.events.isEmpty());
}

void TstSim::scriptMismatch()
{
    VirtualClock clock;
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    UsbLink link(bridge, clock, [](LinkNotice) {});
    RecordedEvents observer;
    BoxRequests requests(link, observer);
    std::uint32_t index = 0;
    QVERIFY(link.findDevice(UsbLink::kBoxIdString, index) && link.openDevice(index));

    bridge.expectExchange(hex("10 04 E0 1B 01"), hex("E0 00"));
    bridge.expectExchange(hex("10 04 E0 1B 00"), hex("E1 00"));
    bridge.expectExchange(hex("11 2A E1"), hex("E1 00"));
    requests.writeSetting(27, 1);
    requests.writeSetting(2, 3); // not what the script expects
    QCOMPARE(bridge.scriptErrors(),
        QStringList { "exchange 2: expected [10 04 E0 1B 00], got [10 04 E0 02 03]" });
    // The canned answer came back instead of the box's.
    QCOMPARE(observer.events, QList<RequestEvent> { RequestEvent::SettingWriteFailed });
    QCOMPARE(bridge.scriptPending(), QStringList { "11 2A E1" });
    QVERIFY(box.settingWrites().isEmpty());
}

void TstSim::faultSelection_data()
{
    QTest::addColumn<FaultWhen>("when");
    QTest::addColumn<QString>("failed"); // one letter per exchange: . good, x failed

    QTest::newRow("next") << FaultWhen::next() << "x.....";
    QTest::newRow("5th chunk read")
        << FaultWhen::onNth(Command::Chunk, 5, FrameType::Read) << ".....x";
    QTest::newRow("2nd chunk request of any type")
        << FaultWhen::onNth(Command::Chunk, 2) << ".x....";
    QTest::newRow("every chunk read") << FaultWhen { FaultWhen::Kind::Always, 1,
        toByte(Command::Chunk), std::uint8_t(FrameType::Read) }
                                      << "x.xxxx";
    QTest::newRow("always") << FaultWhen::always() << "xxxxxx";
}

void TstSim::faultSelection()
{
    QFETCH(FaultWhen, when);
    QFETCH(QString, failed);
    VirtualClock clock;
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    UsbLink link(bridge, clock, [](LinkNotice) {});
    RecordedEvents observer;
    BoxRequests requests(link, observer);
    std::uint32_t index = 0;
    QVERIFY(link.findDevice(UsbLink::kBoxIdString, index) && link.openDevice(index));
    bridge.injectFault(Fault::NoAnswer, when);

    const std::uint8_t bytes[kEdidWriteChunk] = {};
    const QList<QPair<QByteArray, int>> exchanges {
        { Frames::chunkRead(0), kEdidReadChunk },
        { Frames::chunkWrite(0, bytes), kAckLength },
        { Frames::chunkRead(16), kEdidReadChunk },
        { Frames::chunkRead(32), kEdidReadChunk },
        { Frames::chunkRead(48), kEdidReadChunk },
        { Frames::chunkRead(64), kEdidReadChunk },
    };
    QString outcome;
    for (const auto &exchange : exchanges) {
        Response response;
        outcome
            += requests.exchange(exchange.first, exchange.second, response, BoxRequests::kNoEcho)
            ? '.'
            : 'x';
    }
    QCOMPARE(outcome, failed);
}

void TstSim::garbageNeverCrashes()
{
    VirtualClock clock;
    EmulatedBox box(clock);
    SimBridge bridge(clock, box);
    BridgeHandle handle = kNoHandle;
    QCOMPARE(bridge.open(0, handle), BridgeStatus::Success);
    QRandomGenerator random(2023);
    for (int round = 0; round < 4000; ++round) {
        QByteArray frame(int(random.bounded(1001)), '\0');
        for (char &c : frame)
            c = char(random.bounded(256));
        // Half of the frames start like real requests so that every handler sees junk.
        if (round % 2 && frame.size() >= 3) {
            frame[0] = char(0x10 + random.bounded(2));
            frame[2]
                = char(random.bounded(2) ? 0xB0 + random.bounded(7) : 0xE0 + random.bounded(7));
            if (random.bounded(2))
                frame.truncate(3 + int(random.bounded(70)));
        }
        const QByteArray answer = box.answer(frame);
        QVERIFY(answer.size() <= 255);
        if (frame.size() < 3 || (frame[0] != 0x10 && frame[0] != 0x11))
            QVERIFY(answer.isEmpty());

        std::uint32_t written = 0;
        bridge.write(handle, reinterpret_cast<const std::uint8_t *>(frame.constData()),
            std::uint32_t(frame.size()), written);
        std::uint8_t buffer[kResponseCapacity];
        std::uint32_t received = 0;
        bridge.read(handle, buffer, sizeof buffer, received);
        QVERIFY(received <= kResponseCapacity);
        clock.advance(random.bounded(100));
    }
    // Still a box after all that.
    QCOMPARE(box.answer(Frames::readSettingsBlock()).size(), kSettingsBlockLength);
}

QTEST_GUILESS_MAIN(TstSim)
#include "tst_sim.moc"
