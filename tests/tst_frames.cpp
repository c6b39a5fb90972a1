// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/requests.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <QtTest>
#include <functional>

using namespace vortalex;

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

struct RecordedEvents : RequestObserver
{
    void requestEvent(RequestEvent event) override { events.append(event); }
    QList<RequestEvent> events;
};

// The request operations on the emulated box, found and opened as the window does.
struct Rig
{
    VirtualClock clock { 1000 };
    EmulatedBox box { clock };
    SimBridge bridge { clock, box };
    QList<LinkNotice> notices;
    UsbLink link { bridge, clock, [this](LinkNotice notice) { notices.append(notice); } };
    RecordedEvents observer;
    BoxRequests requests { link, observer };

    Rig()
    {
        std::uint32_t index = 0;
        link.findDevice(UsbLink::kBoxIdString, index);
        link.openDevice(index);
        bridge.clearFrameLog();
    }
};

using Operation = std::function<bool(BoxRequests &)>;

} // namespace

Q_DECLARE_METATYPE(RequestEvent)
Q_DECLARE_METATYPE(Operation)

class TstFrames : public QObject
{
    Q_OBJECT

private slots:
    void frameBytes_data();
    void frameBytes();
    void operationOnWire_data();
    void operationOnWire();
    void badAnswer_data();
    void badAnswer();
    void chunkReadHasNoEcho();
};

void TstFrames::frameBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<QByteArray>("expected");

    std::uint8_t settings[kSettingCount];
    for (int i = 0; i < kSettingCount; ++i)
        settings[i] = std::uint8_t(i + 1);
    const std::uint8_t chunk[kEdidWriteChunk] = { 0xB0, 1, 2, 3, 4, 5, 6, 0xFF };
    QByteArray hdr31;
    for (int i = 0; i < 31; ++i)
        hdr31.append(char(i));

    QTest::newRow("read page 7, 8 bytes") << Frames::readPage(7, 8) << hex("11 08 E0 07");
    QTest::newRow("read page 6, 15 bytes")
        << Frames::readPage(Page::Status, 15) << hex("11 0F E0 06");
    QTest::newRow("read page 35, 33 bytes")
        << Frames::readPage(Page::StoredHdrInfoFrame, 33) << hex("11 21 E0 23");
    QTest::newRow("write setting 25, 3") << Frames::writeSetting(25, 3) << hex("10 04 E0 19 03");
    QTest::newRow("write setting CEC on") << Frames::writeSetting(27, 1) << hex("10 04 E0 1B 01");
    QTest::newRow("read settings block") << Frames::readSettingsBlock() << hex("11 2A E1");
    QTest::newRow("write settings block")
        << Frames::writeSettingsBlock(settings)
        << hex("10 28 E2 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 12 13 14 15 16 17 "
               "18 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27 28");
    QTest::newRow("fetch box") << Frames::fetch(EdidSource::Box) << hex("10 01 B4");
    QTest::newRow("fetch TV A") << Frames::fetch(EdidSource::TvA) << hex("10 01 B5");
    QTest::newRow("fetch TV B") << Frames::fetch(EdidSource::TvB) << hex("10 01 B6");
    QTest::newRow("chunk read F0") << Frames::chunkRead(0xF0) << hex("11 10 B0 F0");
    QTest::newRow("chunk write F8")
        << Frames::chunkWrite(0xF8, chunk) << hex("10 08 B0 F8 B0 01 02 03 04 05 06 FF");
    QTest::newRow("apply") << Frames::apply() << hex("10 08 B1");
    QTest::newRow("CEC send 50:04") << Frames::cecSend(hex("50 01 04")) << hex("10 03 B2 50 01 04");
    QTest::newRow("CEC send 54:44:01")
        << Frames::cecSend(hex("54 02 44 01")) << hex("10 04 B2 54 02 44 01");
    QTest::newRow("activate after 5-byte CEC payload")
        << Frames::activate(5, ActivateSelector::Cec) << hex("10 05 B3 10");
    QTest::newRow("CEC store SP 50:04") << Frames::cecStore(Command::CecStoreSp, "50:04")
                                        << hex("10 0A E3 43 45 43 20 35 30 3A 30 34 0D");
    QTest::newRow("CEC store LP 0F:36") << Frames::cecStore(Command::CecStoreLp, "0F:36")
                                        << hex("10 0A E4 43 45 43 20 30 46 3A 33 36 0D");
    QTest::newRow("HDR InfoFrame 87:01")
        << Frames::hdrInfoFrame(hex("87 01")) << hex("10 02 E5 87 01");
    QTest::newRow("HDR activate") << Frames::activate(2, ActivateSelector::HdrInfoFrame)
                                  << hex("10 02 B3 20");
    QTest::newRow("HDR InfoFrame 31 bytes")
        << Frames::hdrInfoFrame(hdr31) << hex("10 1F E5") + hdr31;
    QTest::newRow("HDR activate after 31 bytes")
        << Frames::activate(31, ActivateSelector::HdrInfoFrame) << hex("10 1F B3 20");
    QTest::newRow("AVI InfoFrame")
        << Frames::aviInfoFrame(hex("60 C8 60 61 00")) << hex("10 05 E6 60 C8 60 61 00");
    QTest::newRow("AVI activate") << Frames::activate(5, ActivateSelector::AviInfoFrame)
                                  << hex("10 05 B3 80");
}

void TstFrames::frameBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(QByteArray, expected);
    QCOMPARE(hexBytes(frame), hexBytes(expected));
}

void TstFrames::operationOnWire_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("write setting")
        << Operation([](BoxRequests &r) { return r.writeSetting(27, 0); })
        << QStringList { "0 > 10 04 E0 1B 00", "0 < E0 00" };
    QTest::newRow("read page 7") << Operation([](BoxRequests &r) {
        Response response;
        return r.readPage(Page::Firmware, response, 8);
    }) << QStringList { "0 > 11 08 E0 07", "0 < E0 00 01 02 00 0F 00 00" };
    QTest::newRow("read settings block")
        << Operation([](BoxRequests &r) {
               Response response;
               return r.readSettingsBlock(response);
           })
        << QStringList { "0 > 11 2A E1",
               "0 < E1 00 01 01 01 03 00 01 01 00 00 01 01 01 00 00 00 00 01 00 00 "
               "00 00 00 00 00 00 00 01 01 01 01 00 00 00 00 00 00 00 00 00 00" };
    QTest::newRow("write settings block")
        << Operation([](BoxRequests &r) {
               std::array<std::uint8_t, kSettingCount> s {};
               s[0] = 2;
               r.writeSettingsBlock(s);
               return true;
           })
        << QStringList { "0 > 10 28 E2 02" + QString(" 00").repeated(39),
               "0 < E2 01" }; // the mode changed to 0: the box rebuilds its EDID
}

void TstFrames::operationOnWire()
{
    QFETCH(Operation, operation);
    QFETCH(QStringList, log);
    Rig rig;
    QVERIFY(operation(rig.requests));
    QStringList lines;
    for (const FrameLogEntry &e : rig.bridge.frameLog())
        lines.append(frameLogLine(e, 1000));
    QCOMPARE(lines, log);
    QCOMPARE(rig.observer.events, QList<RequestEvent>());
}

void TstFrames::badAnswer_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::addColumn<QByteArray>("answer"); // empty: no answer at all
    QTest::addColumn<bool>("result");
    QTest::addColumn<RequestEvent>("event");
    QTest::addColumn<int>("elapsed");

    const Operation writeSetting = [](BoxRequests &r) { return r.writeSetting(2, 1); };
    const Operation readBlock = [](BoxRequests &r) {
        Response response;
        return r.readSettingsBlock(response);
    };
    const Operation readPage = [](BoxRequests &r) {
        Response response;
        return r.readPage(Page::Status, response, 15);
    };
    const Operation writeBlock = [](BoxRequests &r) {
        r.writeSettingsBlock(EmulatedBox::factorySettings());
        return false;
    };
    QByteArray block42 = hex("E0 00") + QByteArray(40, '\1');

    QTest::newRow("write setting answered E1 00")
        << writeSetting << hex("E1 00") << true << RequestEvent::SettingWriteFailed << 0;
    QTest::newRow("write setting not answered")
        << writeSetting << QByteArray() << false << RequestEvent::SettingWriteFailed << 4000;
    QTest::newRow("write setting answered one byte")
        << writeSetting << hex("E0") << true << RequestEvent::SettingWriteFailed << 0;
    QTest::newRow("settings block beginning E0")
        << readBlock << block42 << false << RequestEvent::SettingsReadFailed << 0;
    QTest::newRow("settings block 41 bytes") << readBlock << hex("E1 00") + QByteArray(39, '\0')
                                             << false << RequestEvent::SettingsReadFailed << 0;
    QTest::newRow("page not answered")
        << readPage << QByteArray() << false << RequestEvent::PageReadFailed << 4000;
    QTest::newRow("page with wrong echo") << readPage << hex("E1 00") + QByteArray(13, '\0')
                                          << false << RequestEvent::PageReadFailed << 0;
    QTest::newRow("settings block write answered E0 00")
        << writeBlock << hex("E0 00") << false << RequestEvent::SettingsBlockWriteFailed << 0;
}

void TstFrames::badAnswer()
{
    QFETCH(Operation, operation);
    QFETCH(QByteArray, answer);
    QFETCH(bool, result);
    QFETCH(RequestEvent, event);
    QFETCH(int, elapsed);
    Rig rig;
    if (answer.isEmpty())
        rig.bridge.injectFault(Fault::NoAnswer);
    else
        rig.bridge.injectAnswer(answer);
    const std::uint32_t start = rig.clock.tickCount();
    const bool ok = operation(rig.requests);
    // Write operations give no result that callers use; only reads must say false.
    if (!result)
        QVERIFY(!ok);
    QCOMPARE(rig.observer.events, QList<RequestEvent>({ event }));
    QCOMPARE(int(rig.clock.tickCount() - start), elapsed);
    QVERIFY(rig.notices.isEmpty());
}

void TstFrames::chunkReadHasNoEcho()
{
    Rig rig;
    QByteArray table(kEdidSize, '\0');
    table[0] = char(0xB0);
    table[15] = char(0x5A);
    rig.box.setTransferTable(table);
    Response response;
    QVERIFY(rig.requests.exchange(
        Frames::chunkRead(0), kEdidReadChunk, response, BoxRequests::kNoEcho));
    QCOMPARE(response[0], 0xB0);
    QCOMPARE(response[15], 0x5A);
    QCOMPARE(rig.bridge.frameLog().last().bytes, table.left(16));
    QVERIFY(rig.observer.events.isEmpty());
}

QTEST_GUILESS_MAIN(TstFrames)
#include "tst_frames.moc"
