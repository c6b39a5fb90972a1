// SPDX-License-Identifier: GPL-3.0-or-later
// The libusb back end, unmodified, against USB bridge devices that umockdev
// emulates: libusb enumerates them from a mocked sysfs and talks to them
// through usbdevfs ioctls that umockdev/usbtestbed.cpp answers, with the
// emulated box behind the bulk endpoints.

#include "app/appcontext.h"
#include "app/mainwindow.h"
#include "cli/clihost.h"
#include "cli/clirun.h"
#include "link/framelog.h"
#include "link/framelogbridge.h"
#include "link/frames.h"
#include "libusb/libusbbridge.h"
#include "link/requests.h"
#include "link/usblink.h"
#include "boxedid/edidtext.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"
#include "support/scripteddialogs.h"
#include "ui_VortalexForm.h"
#include "umockdev/usbtestbed.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QtTest>

#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

using namespace vortalex;

namespace {

const QString kDataDir = QStringLiteral(VORTALEX_UMOCKDEV_DATA);
const QString kFirstNode = QStringLiteral("/dev/bus/usb/001/002");
const QString kBoxNode = QStringLiteral("/dev/bus/usb/001/003");
const QString kFirstSys = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1");
const QString kBoxSys = QStringLiteral("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-2");

using Request = UsbTestbed::ControlRequest;
const Request kEnable { 0x40, 0x00, 0xFFFF, 0 };
const Request kClearToSend { 0x40, 0x02, 0x0002, 0 };
const Request kFlush { 0x40, 0x02, 0x0001, 0 };
const Request kNotClearToSend { 0x40, 0x02, 0x0004, 0 };

// Two bridge devices on one bus; by default the one on the second port is
// the box.
struct Bus
{
    explicit Bus(const QByteArray &firstSerial = "1999", const QByteArray &boxSerial = "2023")
    {
        testbed.emulate(kFirstSys, kFirstNode, firstSerial, {});
        testbed.emulate(kBoxSys, kBoxNode, boxSerial,
            [this](const QByteArray &request) { return box.answer(request); });
        loaded = testbed.loadDescription(kDataDir + QStringLiteral("/two-bridges.umockdev"));
    }

    // The box keeps its busy times in real time, as libusb does.
    SystemClock boxClock;
    EmulatedBox box { boxClock };
    UsbTestbed testbed;
    bool loaded = false;
    QList<LinkNotice> notices;
    QStringList warnings;
    // Declared last: libusb lets go of the devices before the test bed goes.
    LibusbBridge bridge { [this](const std::string &line) {
        warnings << QString::fromStdString(line);
    } };
};

// The enumeration index of the device at `node`, found by its bus location.
int indexOf(LibusbBridge &bridge, const QString &node)
{
    std::uint32_t count = 0;
    bridge.deviceCount(count);
    QString location = node.section(QLatin1Char('/'), -2); // "001/003"
    location = QStringLiteral("usb-") + location.replace(QLatin1Char('/'), QLatin1Char('-'));
    for (std::uint32_t i = 0; i < count; ++i) {
        char text[kIdStringCapacity] = {};
        if (bridge.identificationString(i, text, 2) == BridgeStatus::Success
            && location == QLatin1String(text))
            return int(i);
    }
    return -1;
}

QByteArray responseBytes(const std::uint8_t *response, int length)
{
    return QByteArray(reinterpret_cast<const char *>(response), length);
}

double cpuSeconds(int who)
{
    rusage usage {};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// vortalex-cli's host with the libusb back end as the box on USB, on the
// system clock, its output kept in memory.
class LibusbCliHost : public CliHost
{
public:
    explicit LibusbCliHost(UsbBridge &usb) : m_usb(usb) { }
    Clock &clock() override { return m_clock; }
    SimBridge &emulatedBridge() override { return m_sim; }
    UsbBridge &realBridge() override { return m_usb; }
    bool permissionDenied() const override { return false; }
    void writeOut(const QByteArray &bytes) override { out += bytes; }
    void writeErr(const QByteArray &bytes) override { err += bytes; }
    bool errIsTerminal() const override { return false; }

    QByteArray out;
    QByteArray err;

private:
    SystemClock m_clock;
    EmulatedBox m_box { m_clock };
    SimBridge m_sim { m_clock, m_box };
    UsbBridge &m_usb;
};

} // namespace

Q_DECLARE_METATYPE(UsbTestbed::Fault)
Q_DECLARE_METATYPE(LinkNotice)

class TestLibusbUmockdev : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void identification_data();
    void identification();
    void findBox_data();
    void findBox();
    void unopenableBoxIsFoundBySysfsSerial();
    void permissionDeniedHint();
    void openAndClose();
    void transaction_data();
    void transaction();
    void flushDropsStaleAnswer();
    void frameLogThroughLibusb();
    void noAnswerTimesOut();
    void zeroTimeoutDoesNotWaitForEver();
    void unplug_data();
    void unplug();
    void failedCheckWaitsLikeAnEmptyOne();
    void cliOnLostBox_data();
    void cliOnLostBox();
    void invalidHandles_data();
    void invalidHandles();
    void windowStartupSync();

private:
    std::unique_ptr<Bus> m_bus;
};

void TestLibusbUmockdev::init()
{
    m_bus = std::make_unique<Bus>();
    QVERIFY(m_bus->loaded);
}

void TestLibusbUmockdev::cleanup()
{
    if (m_bus) {
        const QList<QString> unknown = m_bus->testbed.unknownIoctls();
        const QStringList warnings = m_bus->warnings;
        m_bus.reset();
        QVERIFY2(unknown.isEmpty(), qPrintable(unknown.join(QLatin1Char(' '))));
        QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join(QLatin1Char('\n'))));
    }
}

void TestLibusbUmockdev::identification_data()
{
    QTest::addColumn<QString>("node");
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("first device, serial")
        << kFirstNode << 0 << BridgeStatus::Success << QByteArray("1999");
    QTest::newRow("box, serial") << kBoxNode << 0 << BridgeStatus::Success << QByteArray("2023");
    QTest::newRow("box, product") << kBoxNode << 1 << BridgeStatus::Success
                                  << QByteArray("Emulated USB bridge");
    QTest::newRow("box, location")
        << kBoxNode << 2 << BridgeStatus::Success << QByteArray("usb-001-003");
    QTest::newRow("box, vendor id") << kBoxNode << 3 << BridgeStatus::Success << QByteArray("10c4");
    QTest::newRow("box, product id")
        << kBoxNode << 4 << BridgeStatus::Success << QByteArray("ea61");
    QTest::newRow("unknown kind") << kBoxNode << 5 << BridgeStatus::InvalidParameter
                                  << QByteArray();
    QTest::newRow("no third device")
        << QString() << 0 << BridgeStatus::DeviceNotFound << QByteArray();
}

void TestLibusbUmockdev::identification()
{
    QFETCH(QString, node);
    QFETCH(int, kind);
    QFETCH(int, status);
    QFETCH(QByteArray, text);

    std::uint32_t count = 0;
    QCOMPARE(m_bus->bridge.deviceCount(count), BridgeStatus::Success);
    QCOMPARE(count, 2u); // the root hub is not a bridge
    const int index = node.isEmpty() ? 2 : indexOf(m_bus->bridge, node);
    QVERIFY(index >= 0);

    char buffer[kIdStringCapacity];
    std::memset(buffer, 'x', sizeof buffer);
    QCOMPARE(m_bus->bridge.identificationString(std::uint32_t(index), buffer, kind), status);
    QCOMPARE(QByteArray(buffer), text);
    // Reading a string neither claims the device nor talks to the box.
    QVERIFY(!m_bus->testbed.interfaceClaimed(kBoxNode));
    QVERIFY(m_bus->testbed.vendorRequests(kBoxNode).isEmpty());
}

void TestLibusbUmockdev::findBox_data()
{
    QTest::addColumn<QByteArray>("firstSerial");
    QTest::addColumn<QByteArray>("boxSerial");
    QTest::addColumn<QString>("foundNode");

    QTest::newRow("box on the second port") << QByteArray("1999") << QByteArray("2023") << kBoxNode;
    QTest::newRow("box on the first port")
        << QByteArray("2023") << QByteArray("1999") << kFirstNode;
    QTest::newRow("trailing blank is not the box")
        << QByteArray("1999") << QByteArray("2023 ") << QString();
    QTest::newRow("leading zero is not the box")
        << QByteArray("02023") << QByteArray("1999") << QString();
}

void TestLibusbUmockdev::findBox()
{
    QFETCH(QByteArray, firstSerial);
    QFETCH(QByteArray, boxSerial);
    QFETCH(QString, foundNode);

    m_bus.reset();
    m_bus = std::make_unique<Bus>(firstSerial, boxSerial);
    QVERIFY(m_bus->loaded);
    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });

    std::uint32_t foundIndex = 77;
    const bool found = !foundNode.isEmpty();
    QCOMPARE(link.findDevice(UsbLink::kBoxIdString, foundIndex), found);
    // Which index a port gets is libusb's business; the index must name that port.
    QCOMPARE(foundIndex, found ? std::uint32_t(indexOf(m_bus->bridge, foundNode)) : 77u);
    QCOMPARE(m_bus->notices,
        found ? QList<LinkNotice>() : QList<LinkNotice> { LinkNotice::BoxNotFound });
}

void TestLibusbUmockdev::unopenableBoxIsFoundBySysfsSerial()
{
    // The kernel's copy is read only when the device cannot be opened: the
    // first device still reports its descriptor.
    m_bus->testbed.setAttribute(kFirstNode, QStringLiteral("serial"), QStringLiteral("2023"));
    m_bus->testbed.setAttribute(kBoxNode, QStringLiteral("serial"), QStringLiteral("2023"));
    m_bus->testbed.blockNode(kBoxNode);
    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });

    std::uint32_t index = 77;
    QVERIFY(link.findDevice(UsbLink::kBoxIdString, index));
    QCOMPARE(index, std::uint32_t(indexOf(m_bus->bridge, kBoxNode)));
    QVERIFY(!link.openDevice(index));
    QCOMPARE(m_bus->notices, QList<LinkNotice> { LinkNotice::OpenFailed });
    QCOMPARE(link.handle(), kNoHandle);
}

void TestLibusbUmockdev::permissionDeniedHint()
{
    if (geteuid() == 0)
        QSKIP("root opens any device node; ctest runs this case as an unprivileged user "
              "(tst_libusb_umockdev_unprivileged)");
    m_bus->testbed.setAttribute(kBoxNode, QStringLiteral("serial"), QStringLiteral("2023"));
    m_bus->testbed.denyNode(kBoxNode);

    // The hint goes the way a user sees it: Qt's own message handler on
    // standard error, captured in a file.
    QTemporaryFile captured;
    QVERIFY(captured.open());
    std::fflush(stderr);
    const int savedStderr = dup(STDERR_FILENO);
    dup2(captured.handle(), STDERR_FILENO);
    const QtMessageHandler testHandler = qInstallMessageHandler(nullptr);
    qunsetenv("QT_MESSAGE_PATTERN");
    QList<LinkNotice> notices;
    {
        LibusbBridge bridge;
        VirtualClock clock;
        UsbLink link(bridge, clock, [&notices](LinkNotice n) { notices << n; });
        std::uint32_t index = 77;
        if (link.findDevice(UsbLink::kBoxIdString, index))
            link.openDevice(index);
    }
    qInstallMessageHandler(testHandler);
    std::fflush(stderr);
    dup2(savedStderr, STDERR_FILENO);
    ::close(savedStderr);

    // The window's own message is unchanged; the hint comes once, on its own line.
    QCOMPARE(notices, QList<LinkNotice> { LinkNotice::OpenFailed });
    captured.seek(0);
    QCOMPARE(QString::fromUtf8(captured.readAll()),
        QStringLiteral("vortalex.usb: no permission to open the USB device 10c4:ea61 at "
                       "/dev/bus/usb/001/003. The udev rule "
                       "/usr/lib/udev/rules.d/60-vortalex.rules (installed by the "
                       "vortalex-utility package) gives the user at the seat access; install "
                       "it, then unplug and replug the box. See \"Troubleshooting\" in the "
                       "README (/usr/share/doc/vortalex-utility/README.md).\n"));
}

void TestLibusbUmockdev::openAndClose()
{
    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });
    std::uint32_t index = 0;
    QVERIFY(link.findDevice(UsbLink::kBoxIdString, index));

    QVERIFY(link.openDevice(index));
    QVERIFY(link.handle() != kNoHandle);
    QVERIFY(m_bus->testbed.interfaceClaimed(kBoxNode));
    QCOMPARE(m_bus->testbed.vendorRequests(kBoxNode), (QList<Request> { kEnable, kClearToSend }));
    // The other bridge device is left alone.
    QVERIFY(!m_bus->testbed.interfaceClaimed(kFirstNode));
    QVERIFY(m_bus->testbed.vendorRequests(kFirstNode).isEmpty());

    link.closeDevice();
    QCOMPARE(link.handle(), kNoHandle);
    QVERIFY(!m_bus->testbed.interfaceClaimed(kBoxNode));
    QCOMPARE(m_bus->testbed.vendorRequests(kBoxNode),
        (QList<Request> { kEnable, kClearToSend, kNotClearToSend }));
    link.closeDevice();
    QCOMPARE(m_bus->notices, QList<LinkNotice>());
    QVERIFY(m_bus->testbed.framesToBox(kBoxNode).isEmpty());
}

void TestLibusbUmockdev::transaction_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("expected");
    QTest::addColumn<UsbTestbed::Fault>("fault");
    QTest::addColumn<int>("answerLength");
    QTest::addColumn<bool>("ok");

    const QByteArray block = Frames::readSettingsBlock();
    const QByteArray setting = Frames::writeSetting(27, 1);
    QTest::newRow("read settings block")
        << block << kSettingsBlockLength << UsbTestbed::Fault::None << kSettingsBlockLength << true;
    QTest::newRow("write setting")
        << setting << kAckLength << UsbTestbed::Fault::None << kAckLength << true;
    QTest::newRow("short answer") << setting << kAckLength << UsbTestbed::Fault::ShortAnswer << 1
                                  << false;
    QTest::newRow("block cut short")
        << block << kSettingsBlockLength << UsbTestbed::Fault::ShortAnswer << 41 << false;
}

void TestLibusbUmockdev::transaction()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, expected);
    QFETCH(UsbTestbed::Fault, fault);
    QFETCH(int, answerLength);
    QFETCH(bool, ok);

    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));
    m_bus->testbed.clearLogs();
    m_bus->testbed.setFault(kBoxNode, fault, answerLength);

    Response response;
    response.bytes.fill(0x5A);
    QCOMPARE(link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
                 std::uint32_t(expected), std::uint32_t(frame.size())),
        ok);
    QVERIFY(!link.busy());

    // Exactly the request went out, after one flush, and the answer that came
    // back is in the response buffer byte for byte.
    QCOMPARE(m_bus->testbed.vendorRequests(kBoxNode), QList<Request> { kFlush });
    QCOMPARE(m_bus->testbed.framesToBox(kBoxNode), QList<QByteArray> { frame });
    const QList<QByteArray> answers = m_bus->testbed.framesFromBox(kBoxNode);
    QCOMPARE(answers.size(), 1);
    QCOMPARE(answers.first().size(), answerLength);
    QCOMPARE(responseBytes(response.data(), answerLength), answers.first());
    QCOMPARE(response[answerLength], std::uint8_t(0x5A));
    QCOMPARE(m_bus->notices, QList<LinkNotice>());
    if (frame == Frames::writeSetting(27, 1)) {
        QCOMPARE(response[0], toByte(Command::Page));
        QVERIFY(m_bus->box.settingWrites().contains(qMakePair(std::uint8_t(27), std::uint8_t(1))));
    }
}

void TestLibusbUmockdev::flushDropsStaleAnswer()
{
    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));

    // An answer that nobody waited for: the back end has it buffered.
    const QByteArray stale = m_bus->box.answer(Frames::readPage(Page::Firmware, 6));
    std::uint32_t written = 0;
    const QByteArray frame = Frames::readPage(Page::Firmware, 6);
    QCOMPARE(
        m_bus->bridge.write(link.handle(), reinterpret_cast<const std::uint8_t *>(frame.data()),
            std::uint32_t(frame.size()), written),
        BridgeStatus::Success);
    std::uint32_t queued = 0;
    std::uint32_t status = 0;
    QCOMPARE(m_bus->bridge.checkRxQueue(link.handle(), queued, status), BridgeStatus::Success);
    QCOMPARE(queued, std::uint32_t(stale.size()));
    QCOMPARE(status, LibusbBridge::kRxReady);

    Response response;
    const QByteArray setting = Frames::writeSetting(27, 1);
    QVERIFY(
        link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(setting.data()),
            kAckLength, std::uint32_t(setting.size())));
    QCOMPARE(response[0], toByte(Command::Page));
    QCOMPARE(response[2], std::uint8_t(0)); // nothing of the stale page follows
    QCOMPARE(m_bus->bridge.checkRxQueue(link.handle(), queued, status), BridgeStatus::Success);
    QCOMPARE(queued, 0u);
    QCOMPARE(status, LibusbBridge::kRxEmpty);
}

void TestLibusbUmockdev::frameLogThroughLibusb()
{
    // vortalex-utility --frame-log: every frame that crossed the bus, in the
    // demo's format, with times counted from the program's start.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("frames.txt"));
    VirtualClock clock;
    clock.set(500);
    FrameLogFile log;
    QString error;
    QVERIFY2(log.open(path, error), qPrintable(error));
    log.setStart(clock.tickCount());
    FrameLogBridge logged(m_bus->bridge, clock, log.observer());
    UsbLink link(logged, clock, [this](LinkNotice n) { m_bus->notices << n; });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));
    m_bus->testbed.clearLogs();
    clock.advance(1532);

    const QByteArray frame = Frames::writeSetting(27, 1);
    Response response;
    QVERIFY(link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
        kAckLength, std::uint32_t(frame.size())));
    QCOMPARE(m_bus->testbed.framesToBox(kBoxNode), QList<QByteArray> { frame });
    QCOMPARE(m_bus->testbed.framesFromBox(kBoxNode).size(), 1);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromLatin1(file.readAll()),
        QStringLiteral("1532 > ") + hexBytes(frame) + QStringLiteral("\n1532 < ")
            + hexBytes(m_bus->testbed.framesFromBox(kBoxNode).first()) + QLatin1Char('\n'));
}

void TestLibusbUmockdev::noAnswerTimesOut()
{
    // Real time: libusb waits in the kernel (here: in umockdev) for real.
    SystemClock clock;
    UsbLink link(m_bus->bridge, clock, [this](LinkNotice n) { m_bus->notices << n; });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));
    m_bus->testbed.setFault(kBoxNode, UsbTestbed::Fault::NoAnswer);
    m_bus->testbed.clearLogs();

    const QByteArray frame = Frames::readSettingsBlock();
    Response response;
    response.bytes.fill(0x5A);
    QElapsedTimer elapsed;
    elapsed.start();
    const double processBefore = cpuSeconds(RUSAGE_SELF);
    const double threadBefore = cpuSeconds(RUSAGE_THREAD);
    QVERIFY(!link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
        kSettingsBlockLength, std::uint32_t(frame.size())));
    const double thread = cpuSeconds(RUSAGE_THREAD) - threadBefore;
    const double process = cpuSeconds(RUSAGE_SELF) - processBefore;
    const qint64 ms = elapsed.elapsed();
    qInfo("4000 ms without an answer took %lld ms and %.3f s CPU in the calling thread, "
          "%.3f s CPU in the whole process (umockdev's ioctl thread included); %d short waits",
        ms, thread, process, m_bus->testbed.discardedUrbs(kBoxNode));

    // The link gave up no earlier than its limit (both clocks count whole ms).
    QVERIFY(ms >= UsbLink::kAnswerLimitMs - 1);
    QCOMPARE(m_bus->testbed.framesToBox(kBoxNode), QList<QByteArray> { frame });
    QVERIFY(m_bus->testbed.discardedUrbs(kBoxNode) > 0); // the short waits ended by cancelling
    for (int i = 0; i < kResponseCapacity; ++i)
        QCOMPARE(response[i], std::uint8_t(0x5A));
    QCOMPARE(m_bus->notices, QList<LinkNotice>());
}

void TestLibusbUmockdev::zeroTimeoutDoesNotWaitForEver()
{
    BridgeHandle handle = kNoHandle;
    QCOMPARE(m_bus->bridge.open(std::uint32_t(indexOf(m_bus->bridge, kBoxNode)), handle),
        BridgeStatus::Success);
    QCOMPARE(m_bus->bridge.setTimeouts(0, 0), BridgeStatus::Success);
    std::uint8_t buffer[kResponseCapacity] = {};
    std::uint32_t received = 7;
    QCOMPARE(m_bus->bridge.read(handle, buffer, kResponseCapacity, received),
        BridgeStatus::ReadTimedOut);
    QCOMPARE(received, 0u);
    QCOMPARE(m_bus->bridge.close(handle), BridgeStatus::Success);
}

void TestLibusbUmockdev::unplug_data()
{
    QTest::addColumn<bool>("afterRequest");
    QTest::addColumn<QList<LinkNotice>>("notices");

    QTest::newRow("before the request") << false << QList<LinkNotice>();
    QTest::newRow("after the request")
        << true << QList<LinkNotice> { LinkNotice::QueueCheckFailed };
}

void TestLibusbUmockdev::unplug()
{
    QFETCH(bool, afterRequest);
    QFETCH(QList<LinkNotice>, notices);

    // The user takes the whole answer time to dismiss the message, so the
    // poll gives up after it.
    VirtualClock clock;
    UsbLink link(m_bus->bridge, clock, [this, &clock](LinkNotice n) {
        m_bus->notices << n;
        clock.advance(UsbLink::kAnswerLimitMs);
    });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));
    m_bus->testbed.clearLogs();
    if (afterRequest)
        m_bus->testbed.setFault(kBoxNode, UsbTestbed::Fault::VanishAfterRequest);
    else
        m_bus->testbed.unplug(kBoxNode);

    const QByteArray frame = Frames::writeSetting(27, 1);
    Response response;
    QVERIFY(!link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
        kAckLength, std::uint32_t(frame.size())));
    QVERIFY(!link.busy());
    QCOMPARE(m_bus->notices, notices);
    QCOMPARE(m_bus->testbed.framesToBox(kBoxNode).size(), afterRequest ? 1 : 0);

    // Every later transaction fails at once, and the handle is still released
    // without a word: a box that is gone cannot be told goodbye.
    m_bus->notices.clear();
    QVERIFY(!link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
        kAckLength, std::uint32_t(frame.size())));
    link.closeDevice();
    QCOMPARE(link.handle(), kNoHandle);
    QCOMPARE(m_bus->notices, QList<LinkNotice>());

    // Unplugged from sysfs too, the box is no longer listed.
    m_bus->testbed.unplug(kBoxNode);
    std::uint32_t count = 0;
    QTRY_VERIFY(m_bus->bridge.deviceCount(count) == BridgeStatus::Success && count == 1);
    QCOMPARE(indexOf(m_bus->bridge, kFirstNode), 0);
}

void TestLibusbUmockdev::failedCheckWaitsLikeAnEmptyOne()
{
    // The window's link shows one message per failed check; a message that
    // returns at once must not make the wait spin. (Past the limit the sink
    // ends the wait itself, so that a spinning link fails instead of hanging.)
    VirtualClock clock;
    int messages = 0;
    UsbLink link(m_bus->bridge, clock, [&messages, &clock](LinkNotice notice) {
        QCOMPARE(notice, LinkNotice::QueueCheckFailed);
        if (++messages > int(UsbLink::kAnswerLimitMs))
            clock.advance(UsbLink::kAnswerLimitMs);
    });
    QVERIFY(link.openDevice(std::uint32_t(indexOf(m_bus->bridge, kBoxNode))));
    m_bus->testbed.setFault(kBoxNode, UsbTestbed::Fault::VanishAfterRequest);

    const QByteArray frame = Frames::writeSetting(27, 1);
    Response response;
    QVERIFY(!link.transaction(response.data(), reinterpret_cast<const std::uint8_t *>(frame.data()),
        kAckLength, std::uint32_t(frame.size())));
    QCOMPARE(messages, int(UsbLink::kAnswerLimitMs / UsbLink::kQueueWaitMs));
    QCOMPARE(clock.tickCount(), UsbLink::kAnswerLimitMs);
    QVERIFY(link.deviceGone());
}

void TestLibusbUmockdev::cliOnLostBox_data()
{
    QTest::addColumn<bool>("heldElsewhere");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err");

    QTest::newRow("unplugged mid-exchange")
        << false << 1 << "vortalex-cli: the box was unplugged\n";
    QTest::newRow("held by another program")
        << true << 3
        << "vortalex-cli: the box is in use by another program (a running vortalex-utility?); "
           "close it and try again\n";
}

void TestLibusbUmockdev::cliOnLostBox()
{
    QFETCH(bool, heldElsewhere);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    if (heldElsewhere)
        m_bus->testbed.holdElsewhere(kBoxNode);
    else
        m_bus->testbed.setFault(kBoxNode, UsbTestbed::Fault::VanishAfterRequest);

    LibusbCliHost host(m_bus->bridge);
    const double before = cpuSeconds(RUSAGE_SELF);
    const int exit = runCli({ "vortalex-cli", "get", "active-input" }, host);
    const double cpu = cpuSeconds(RUSAGE_SELF) - before;
    qInfo("vortalex-cli get active-input: %.3f s CPU, %lld bytes on standard error", cpu,
        qlonglong(host.err.size()));

    QCOMPARE(exit, exitCode);
    QCOMPARE(QString::fromUtf8(host.err.left(4096)), err);
    QCOMPARE(host.out, QByteArray());
    QCOMPARE(m_bus->testbed.framesToBox(kBoxNode).size(), heldElsewhere ? 0 : 1);
    // The wait ended at the first failed check instead of spinning for the
    // answer limit (about 1.2 s of CPU and 10000 lines here before).
    QVERIFY2(cpu < 0.5, qPrintable(QString::number(cpu)));
}

void TestLibusbUmockdev::invalidHandles_data()
{
    QTest::addColumn<int>("handle");
    QTest::newRow("no device") << int(kNoHandle);
    QTest::newRow("never opened") << 0;
    QTest::newRow("far out") << 12345;
}

void TestLibusbUmockdev::invalidHandles()
{
    QFETCH(int, handle);
    LibusbBridge &bridge = m_bus->bridge;
    std::uint8_t buffer[8] = {};
    std::uint32_t n = 0;
    std::uint32_t status = 0;
    QCOMPARE(bridge.read(handle, buffer, sizeof buffer, n), BridgeStatus::InvalidHandle);
    QCOMPARE(bridge.write(handle, buffer, sizeof buffer, n), BridgeStatus::InvalidHandle);
    QCOMPARE(bridge.flush(handle, true, true), BridgeStatus::InvalidHandle);
    QCOMPARE(bridge.checkRxQueue(handle, n, status), BridgeStatus::InvalidHandle);
    QCOMPARE(bridge.close(handle), BridgeStatus::InvalidHandle);
}

void TestLibusbUmockdev::windowStartupSync()
{
    // The real program's path: MainWindow finds the box among the two bridge
    // devices, opens it and runs its start-up sync over libusb.
    SystemClock clock;
    ScriptedDialogs dialogs;
    QStringList diagnostics;
    AppContext context { m_bus->bridge, clock, dialogs,
        [&diagnostics](const QString &line) { diagnostics << line; }, [](int) {}, {}, 1.0f };
    m_bus->box.setFirmwareVersion(1, 2, 0, 15);
    auto window = std::make_unique<MainWindow>(context);
    Ui_MainWindow *ui = window->form();

    QVERIFY(window->isReady());
    QVERIFY(window->pollTimerRunning());
    QCOMPARE(dialogs.log, QStringList());
    QCOMPARE(ui->labelFw1->text(), QStringLiteral("ver: 1.2.0.15"));
    QCOMPARE(ui->IFtext->toPlainText(), QString(m_bus->box.storedHdrInfoFrame().toHex(':')));
    QCOMPARE(ui->AVItext->toPlainText(), QString(m_bus->box.storedAviInfoFrame().toHex(':')));
    EdidTable shown {};
    QVERIFY(parseEdidTable(ui->EDIDtext->toPlainText(), shown));
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(shown.data()), kEdidSize),
        m_bus->box.edid(EdidSource::Box));

    // On the wire: the settings block first, the fetch of the box's EDID, its
    // 16 chunks, and one flush before every request.
    QStringList sent;
    for (const QByteArray &frame : m_bus->testbed.framesToBox(kBoxNode))
        sent << hexBytes(frame);
    QCOMPARE(sent.value(0), QStringLiteral("11 2A E1"));
    QVERIFY(sent.contains(QStringLiteral("10 01 B4")));
    QCOMPARE(sent.filter(QRegularExpression(QStringLiteral("^11 10 B0 "))).size(), 16);
    QCOMPARE(m_bus->testbed.framesFromBox(kBoxNode).size(), sent.size());
    const QList<Request> requests = m_bus->testbed.vendorRequests(kBoxNode);
    QCOMPARE(requests.mid(0, 2), (QList<Request> { kEnable, kClearToSend }));
    QCOMPARE(requests.mid(2), QList<Request>(sent.size(), kFlush));
    QVERIFY(m_bus->testbed.framesToBox(kFirstNode).isEmpty());

    // Destroying the window closes the box.
    window.reset();
    QCOMPARE(m_bus->testbed.vendorRequests(kBoxNode).last(), kNotClearToSend);
    QVERIFY(!m_bus->testbed.interfaceClaimed(kBoxNode));
    QCOMPARE(diagnostics, QStringList());
}

int main(int argc, char **argv)
{
    // Run directly (not through umockdev-wrapper), the program starts itself
    // again with umockdev's preload library.
    UsbTestbed::ensurePreloaded(argv);
    if (!UsbTestbed::preloaded()) {
        std::fprintf(stderr, "umockdev's preload library is not active\n");
        return 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    TestLibusbUmockdev test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_libusb_umockdev.moc"
