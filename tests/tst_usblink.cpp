// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/frames.h"
#include "link/usblink.h"
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

using Timeouts = QPair<std::uint32_t, std::uint32_t>;

// Looks at the link from inside the bridge: its busy flag and the time-outs
// in force when the link writes and reads.
class ProbeBridge : public SimBridge
{
public:
    using SimBridge::SimBridge;

    int write(BridgeHandle handle, const std::uint8_t *data, std::uint32_t length,
        std::uint32_t &written) override
    {
        probe(timeoutsAtWrite);
        return SimBridge::write(handle, data, length, written);
    }
    int read(BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity,
        std::uint32_t &received) override
    {
        probe(timeoutsAtRead);
        return SimBridge::read(handle, buffer, capacity, received);
    }

    const UsbLink *link = nullptr;
    QList<bool> busySeen;
    QList<Timeouts> timeoutsAtWrite;
    QList<Timeouts> timeoutsAtRead;

private:
    void probe(QList<Timeouts> &timeouts)
    {
        busySeen.append(link && link->busy());
        std::uint32_t readMs = 0;
        std::uint32_t writeMs = 0;
        SimBridge::timeouts(readMs, writeMs);
        timeouts.append({ readMs, writeMs });
    }
};

struct Rig
{
    VirtualClock clock { 5000 };
    EmulatedBox box { clock };
    ProbeBridge bridge { clock, box };
    QList<LinkNotice> notices;
    UsbLink link { bridge, clock, [this](LinkNotice notice) { notices.append(notice); } };

    Rig() { bridge.link = &link; }
    bool open()
    {
        std::uint32_t index = 0;
        return link.findDevice(UsbLink::kBoxIdString, index) && link.openDevice(index);
    }
};

SimDevice device(const char *id, bool isBox = false, bool idReadFails = false)
{
    SimDevice d;
    d.idString = id;
    d.isBox = isBox;
    d.idReadFails = idReadFails;
    return d;
}

using Setup = std::function<void(Rig &)>;

constexpr std::uint8_t kCanary = 0xCC;
constexpr int kBufferWithCanary = 2 * kResponseCapacity;

} // namespace

Q_DECLARE_METATYPE(QList<SimDevice>)
Q_DECLARE_METATYPE(Setup)
Q_DECLARE_METATYPE(LinkNotice)

class TstUsbLink : public QObject
{
    Q_OBJECT

private slots:
    void findDevice_data();
    void findDevice();
    void openFailure();
    void closeDevice_data();
    void closeDevice();
    void transaction_data();
    void transaction();
    void noHandleMakesNoCall();
    void unplugAfterExchanges();
};

void TstUsbLink::findDevice_data()
{
    QTest::addColumn<QList<SimDevice>>("devices");
    QTest::addColumn<bool>("countFails");
    QTest::addColumn<bool>("found");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<LinkNotice>>("notices");

    const QList<LinkNotice> notConnected { LinkNotice::BoxNotFound };
    QTest::newRow("the box alone")
        << QList<SimDevice> { device("2023", true) } << false << true << 0 << QList<LinkNotice>();
    QTest::newRow("trailing blank")
        << QList<SimDevice> { device("2023 ") } << false << false << 77 << notConnected;
    QTest::newRow("leading zero") << QList<SimDevice> { device("02023") } << false << false << 77
                                  << notConnected;
    QTest::newRow("second device is the box")
        << QList<SimDevice> { device("1999"), device("2023", true) } << false << true << 1
        << QList<LinkNotice>();
    QTest::newRow("unreadable id skipped silently")
        << QList<SimDevice> { device("2023", false, true), device("2023", true) } << false << true
        << 1 << QList<LinkNotice>();
    QTest::newRow("first of two boxes wins")
        << QList<SimDevice> { device("2023", true), device("2023", true) } << false << true << 0
        << QList<LinkNotice>();
    QTest::newRow("no device") << QList<SimDevice>() << false << false << 77 << notConnected;
    QTest::newRow("device count fails")
        << QList<SimDevice> { device("2023", true) } << true << false << 77 << notConnected;
}

void TstUsbLink::findDevice()
{
    QFETCH(QList<SimDevice>, devices);
    QFETCH(bool, countFails);
    QFETCH(bool, found);
    QFETCH(int, index);
    QFETCH(QList<LinkNotice>, notices);
    Rig rig;
    rig.bridge.setDevices(devices);
    rig.bridge.setDeviceCountFails(countFails);
    std::uint32_t foundIndex = 77;
    QCOMPARE(rig.link.findDevice(UsbLink::kBoxIdString, foundIndex), found);
    QCOMPARE(int(foundIndex), index);
    QCOMPARE(rig.notices, notices);
    QCOMPARE(rig.link.handle(), kNoHandle);
}

void TstUsbLink::openFailure()
{
    Rig rig;
    rig.bridge.setOpenFails(true);
    QVERIFY(!rig.open());
    QCOMPARE(rig.notices, QList<LinkNotice> { LinkNotice::OpenFailed });
    QCOMPARE(rig.link.handle(), kNoHandle);
}

void TstUsbLink::closeDevice_data()
{
    QTest::addColumn<bool>("closeFails");
    QTest::addColumn<QList<LinkNotice>>("notices");
    QTest::newRow("close succeeds") << false << QList<LinkNotice>();
    QTest::newRow("close fails") << true << QList<LinkNotice> { LinkNotice::CloseFailed };
}

void TstUsbLink::closeDevice()
{
    QFETCH(bool, closeFails);
    QFETCH(QList<LinkNotice>, notices);
    Rig rig;
    QVERIFY(rig.open());
    rig.bridge.setCloseFails(closeFails);
    rig.bridge.resetCallCount();
    rig.link.closeDevice();
    QCOMPARE(rig.link.handle(), kNoHandle);
    rig.link.closeDevice();
    // The second close finds nothing to close: no call, no notice.
    QCOMPARE(rig.bridge.callCount(), 1);
    QCOMPARE(rig.notices, notices);
}

void TstUsbLink::transaction_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<int>("expected");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QByteArray>("received"); // bytes at the start of the buffer
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("queueNotices"); // number of LinkNotice::QueueCheckFailed

    const QByteArray page7 = hex("E0 00 01 02 00 0F 00 00");
    QByteArray long64 = page7;
    for (int i = int(long64.size()); i < kResponseCapacity; ++i)
        long64.append(char(0xA0 + (i & 0x0F)));
    const QByteArray block42 = hex("E1 00") + QByteArray(40, '\x07');

    QTest::newRow("prompt answer") << Setup([](Rig &) {}) << 8 << true << page7 << 0 << 0;
    QTest::newRow("answer after 3999 ms")
        << Setup([](Rig &r) { r.bridge.setLatency(3999); }) << 8 << true << page7 << 3999 << 0;
    QTest::newRow("answer after 4000 ms is too late")
        << Setup([](Rig &r) { r.bridge.setLatency(4000); }) << 8 << false << QByteArray() << 4000
        << 0;
    QTest::newRow("no answer") << Setup([](Rig &r) { r.bridge.injectFault(Fault::NoAnswer); }) << 8
                               << false << QByteArray() << 4000 << 0;
    QTest::newRow("1 byte where 2 are expected")
        << Setup([](Rig &r) { r.bridge.injectAnswer(hex("E0")); }) << 2 << false << hex("E0") << 0
        << 0;
    QTest::newRow("42 bytes where 2 are expected")
        << Setup([block42](Rig &r) { r.bridge.injectAnswer(block42); }) << 2 << true << block42 << 0
        << 0;
    QTest::newRow("100-byte answer stops at 64")
        << Setup([](Rig &r) { r.bridge.injectFault(Fault::LongAnswer); }) << 8 << true << long64
        << 0 << 0;
    QTest::newRow("receive-queue check error")
        << Setup([](Rig &r) { r.bridge.injectFault(Fault::RxQueueError); }) << 8 << false
        << QByteArray() << 1 << 1;
    QTest::newRow("write error") << Setup([](Rig &r) { r.bridge.injectFault(Fault::WriteError); })
                                 << 8 << false << QByteArray() << 0 << 0;
    QTest::newRow("read error") << Setup([](Rig &r) { r.bridge.injectFault(Fault::ReadError); })
                                << 8 << false << QByteArray() << 0 << 0;
    QTest::newRow("clock wraps, no answer") << Setup([](Rig &r) {
        r.clock.set(0xFFFFFFFFu - 10);
        r.bridge.injectFault(Fault::NoAnswer);
    }) << 8 << false << QByteArray() << 4000 << 0;
    QTest::newRow("clock wraps, late answer") << Setup([](Rig &r) {
        r.clock.set(0xFFFFFF00u);
        r.bridge.setLatency(300);
    }) << 8 << true << page7 << 300 << 0;
    // Every receive-queue check after the unplug fails and is reported.
    QTest::newRow("unplugged mid-exchange")
        << Setup([](Rig &r) { r.bridge.injectFault(Fault::Unplug); }) << 8 << false << QByteArray()
        << 4000 << 4000;
}

void TstUsbLink::transaction()
{
    QFETCH(Setup, setup);
    QFETCH(int, expected);
    QFETCH(bool, ok);
    QFETCH(QByteArray, received);
    QFETCH(int, elapsed);
    QFETCH(int, queueNotices);
    Rig rig;
    QVERIFY(rig.open());
    rig.bridge.setTimeouts(111, 222);
    setup(rig);

    std::uint8_t buffer[kBufferWithCanary];
    std::memset(buffer, kCanary, sizeof buffer);
    const QByteArray request = Frames::readPage(Page::Firmware, 8);
    const std::uint32_t start = rig.clock.tickCount();
    QCOMPARE(rig.link.transaction(buffer, reinterpret_cast<const std::uint8_t *>(request.data()),
                 std::uint32_t(expected), std::uint32_t(request.size())),
        ok);

    QCOMPARE(int(rig.clock.tickCount() - start), elapsed);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(buffer), int(received.size())), received);
    for (int i = int(received.size()); i < kBufferWithCanary; ++i)
        QVERIFY2(buffer[i] == kCanary, qPrintable(QString("byte %1 overwritten").arg(i)));
    QCOMPARE(rig.notices, QList<LinkNotice>(queueNotices, LinkNotice::QueueCheckFailed));

    QVERIFY(!rig.link.busy());
    QCOMPARE(rig.bridge.busySeen, QList<bool>(rig.bridge.busySeen.size(), true));
    QCOMPARE(rig.bridge.timeoutsAtWrite, QList<Timeouts>({ { 0, 4000 } }));
    for (const Timeouts &t : rig.bridge.timeoutsAtRead)
        QCOMPARE(t, Timeouts(4000, 0));
    std::uint32_t readMs = 0;
    std::uint32_t writeMs = 0;
    rig.bridge.timeouts(readMs, writeMs);
    QCOMPARE(Timeouts(readMs, writeMs), Timeouts(111, 222));
}

void TstUsbLink::noHandleMakesNoCall()
{
    Rig rig;
    rig.bridge.resetCallCount();
    std::uint8_t buffer[kResponseCapacity] = {};
    const QByteArray request = Frames::readSettingsBlock();
    QVERIFY(!rig.link.transaction(buffer, reinterpret_cast<const std::uint8_t *>(request.data()),
        kSettingsBlockLength, std::uint32_t(request.size())));
    QCOMPARE(rig.bridge.callCount(), 0);
    QVERIFY(!rig.link.busy());
    QVERIFY(rig.notices.isEmpty());
}

void TstUsbLink::unplugAfterExchanges()
{
    Rig rig;
    QVERIFY(rig.open());
    rig.bridge.unplugAfter(2);
    const QByteArray request = Frames::writeSetting(27, 1);
    const auto send = [&rig, &request] {
        std::uint8_t buffer[kResponseCapacity] = {};
        return rig.link.transaction(buffer, reinterpret_cast<const std::uint8_t *>(request.data()),
            kAckLength, std::uint32_t(request.size()));
    };
    QVERIFY(send());
    QVERIFY(send());
    const std::uint32_t start = rig.clock.tickCount();
    QVERIFY(!send());
    QCOMPARE(rig.clock.tickCount(), start); // the write fails at once
    QVERIFY(rig.notices.isEmpty());
    std::uint32_t index = 9;
    QVERIFY(!rig.link.findDevice(UsbLink::kBoxIdString, index));
    QCOMPARE(rig.notices, QList<LinkNotice> { LinkNotice::BoxNotFound });
}

QTEST_GUILESS_MAIN(TstUsbLink)
#include "tst_usblink.moc"
