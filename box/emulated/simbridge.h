// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/usbbridge.h"
#include "emulatedbox.h"
#include "link/framelog.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

namespace vortalex {

// Faults the emulated bridge can put into one exchange (one request written
// and its answer).
enum class Fault {
    NoAnswer, // the request goes out, no answer ever comes
    ShortAnswer, // only the first byte of the answer comes
    WrongEcho, // answer byte 0 has bit 0 flipped (0xE0 <-> 0xE1, 0xB0 -> 0xB1)
    LongAnswer, // the answer is padded to kLongAnswerLength bytes
    RxQueueError, // the first receive-queue check of the exchange reports an error
    WriteError, // the write fails; the request never reaches the box
    ReadError, // the read fails and delivers nothing
    Unplug, // the request goes out, then the device is gone for good
};

// Which exchange a fault hits. Exchanges are counted from the moment the
// fault is injected; `code` and `type` select by request bytes 2 and 0.
struct FaultWhen
{
    enum class Kind { Next, Nth, Always };
    Kind kind = Kind::Next;
    int nth = 1;
    std::optional<std::uint8_t> code;
    std::optional<std::uint8_t> type;

    // The next exchange only.
    static FaultWhen next() { return {}; }
    // Every exchange from now on.
    static FaultWhen always() { return { Kind::Always, 1, {}, {} }; }
    // The n-th exchange (1-based) whose request has command code `code` and,
    // when given, type byte `type`; e.g. onNth(Command::Chunk, 5, FrameType::Read)
    // for the fifth chunk read.
    static FaultWhen onNth(Command code, int n, std::optional<FrameType> type = {})
    {
        FaultWhen w { Kind::Nth, n, toByte(code), {} };
        if (type)
            w.type = std::uint8_t(*type);
        return w;
    }
    // Every exchange whose request has command code `code`.
    static FaultWhen always(Command code) { return { Kind::Always, 1, toByte(code), {} }; }
};

// One attached bridge device as the bridge library lists it.
struct SimDevice
{
    QByteArray idString = QByteArrayLiteral("2023");
    bool isBox = true;
    bool idReadFails = false;
};

// The bridge library in front of the emulated box: enumerates devices, carries
// one request and its answer per exchange with a settable latency, logs every
// frame in both directions and injects faults. Time runs on the given clock;
// with a VirtualClock nothing waits for real.
class SimBridge : public UsbBridge
{
public:
    static constexpr int kLongAnswerLength = 100;
    static constexpr int kPacketSize = 64;
    static constexpr BridgeHandle kHandle = 0x5A;

    SimBridge(Clock &clock, EmulatedBox &box);

    // --- UsbBridge ---
    int deviceCount(std::uint32_t &count) override;
    int identificationString(std::uint32_t index, char *buffer, int kind) override;
    int open(std::uint32_t index, BridgeHandle &handle) override;
    int close(BridgeHandle handle) override;
    int read(BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity,
        std::uint32_t &received) override;
    int write(BridgeHandle handle, const std::uint8_t *data, std::uint32_t length,
        std::uint32_t &written) override;
    int flush(BridgeHandle handle, bool transmit, bool receive) override;
    int setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
    int timeouts(std::uint32_t &readMs, std::uint32_t &writeMs) override;
    int checkRxQueue(
        BridgeHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus) override;

    // --- devices ---
    // Replaces the device list (default: one box reporting "2023").
    void setDevices(const QList<SimDevice> &devices) { m_devices = devices; }
    const QList<SimDevice> &devices() const { return m_devices; }
    void setDeviceCountFails(bool fails) { m_countFails = fails; }
    void setOpenFails(bool fails) { m_openFails = fails; }
    // Another program holds the device: open gives DeviceInUse.
    void setInUse(bool inUse) { m_inUse = inUse; }
    void setCloseFails(bool fails) { m_closeFails = fails; }
    bool isOpen() const { return m_open; }

    // --- timing ---
    // The answer becomes readable `ms` of clock time after the write.
    void setLatency(std::uint32_t ms) { m_latencyMs = ms; }

    // --- faults ---
    void injectFault(Fault fault, FaultWhen when = FaultWhen::next());
    void clearFaults() { m_faults.clear(); }
    // The first `exchanges` writes go through; the device is gone at the next one.
    void unplugAfter(int exchanges) { m_exchangesBeforeUnplug = exchanges; }
    // Unplugs (false) or plugs back (true) the device at once.
    void setPlugged(bool plugged);
    bool plugged() const { return m_plugged; }
    // The box's busy bit never clears (delegates to the box).
    void setStuckBusy(bool stuck) { m_box.setStuckBusy(stuck); }
    // The next exchange delivers `answer` (any length, empty = none) instead of
    // the box's answer; the box still sees the request.
    void injectAnswer(const QByteArray &answer, FaultWhen when = FaultWhen::next());

    // --- script mode ---
    // While expectations are queued, each write must equal the next expected
    // request; the canned answer (empty = none) is delivered and the box does
    // not see the request. A different request is recorded as a mismatch and
    // still consumes the expectation.
    void expectExchange(const QByteArray &request, const QByteArray &answer);
    const QStringList &scriptErrors() const { return m_scriptErrors; }
    // Expected requests not yet written, as hex dumps.
    QStringList scriptPending() const;
    void clearScript();

    // --- observation ---
    // Number of UsbBridge calls made so far.
    int callCount() const { return m_calls; }
    void resetCallCount() { m_calls = 0; }
    // Number of writes that reached the device.
    int exchangeCount() const { return m_exchanges; }
    const QList<FrameLogEntry> &frameLog() const { return m_log; }
    // Host-to-box frames only, in order.
    QList<QByteArray> sentFrames() const;
    void clearFrameLog() { m_log.clear(); }
    // Called for every frame log entry as it is made (a FromBox entry is made
    // when the host reads the answer's first bytes; an answer never read is
    // not logged).
    void setFrameObserver(std::function<void(const FrameLogEntry &)> observer)
    {
        m_observer = std::move(observer);
    }

    EmulatedBox &box() { return m_box; }

private:
    struct PendingFault
    {
        Fault fault;
        FaultWhen when;
        QByteArray answer; // for injected answers
        bool isAnswer = false;
        int seen = 0;
    };
    struct Expectation
    {
        QByteArray request;
        QByteArray answer;
    };

    bool handleValid(BridgeHandle handle) const;
    void log(FrameLogEntry::Direction direction, std::uint32_t timeMs, const QByteArray &bytes);
    QList<PendingFault> takeFaults(const QByteArray &request);
    const SimDevice *openDevice() const;

    Clock &m_clock;
    EmulatedBox &m_box;
    QList<SimDevice> m_devices { SimDevice() };
    bool m_countFails = false;
    bool m_openFails = false;
    bool m_inUse = false;
    bool m_closeFails = false;
    bool m_open = false;
    std::uint32_t m_openIndex = 0;
    bool m_plugged = true;
    int m_exchangesBeforeUnplug = -1;

    std::uint32_t m_readTimeoutMs = 1000;
    std::uint32_t m_writeTimeoutMs = 1000;
    std::uint32_t m_latencyMs = 0;

    // The answer on its way to the host.
    QByteArray m_pending;
    std::uint32_t m_readyAt = 0;
    bool m_pendingLogged = false;
    bool m_rxErrorArmed = false;
    bool m_readErrorArmed = false;

    QList<PendingFault> m_faults;
    QList<Expectation> m_script;
    QStringList m_scriptErrors;

    int m_calls = 0;
    int m_exchanges = 0;
    QList<FrameLogEntry> m_log;
    std::function<void(const FrameLogEntry &)> m_observer;
};

} // namespace vortalex
