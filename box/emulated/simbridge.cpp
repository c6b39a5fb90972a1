// SPDX-License-Identifier: GPL-3.0-or-later
#include "simbridge.h"

#include <algorithm>
#include <cstring>

namespace vortalex {

namespace {

// Queue states as the bridge library reports them.
constexpr std::uint32_t kRxEmpty = 0;
constexpr std::uint32_t kRxReady = 2;

bool matches(const FaultWhen &when, const QByteArray &request)
{
    if (when.code && (request.size() < 3 || std::uint8_t(request[2]) != *when.code))
        return false;
    if (when.type && (request.isEmpty() || std::uint8_t(request[0]) != *when.type))
        return false;
    return true;
}

} // namespace

SimBridge::SimBridge(Clock &clock, EmulatedBox &box)
    : m_clock(clock)
    , m_box(box)
{
}

// --- devices ---

int SimBridge::deviceCount(std::uint32_t &count)
{
    ++m_calls;
    if (m_countFails)
        return BridgeStatus::DeviceNotFound;
    count = m_plugged ? std::uint32_t(m_devices.size()) : 0;
    return BridgeStatus::Success;
}

int SimBridge::identificationString(std::uint32_t index, char *buffer, int kind)
{
    ++m_calls;
    if (!buffer)
        return BridgeStatus::InvalidParameter;
    if (!m_plugged || index >= std::uint32_t(m_devices.size()))
        return BridgeStatus::DeviceNotFound;
    const SimDevice &device = m_devices.at(int(index));
    if (device.idReadFails)
        return BridgeStatus::DeviceIoFailed;
    // Kind 0 is the serial number, which the box sets to its identification string.
    const QByteArray text = kind == IdStringKind::SerialNumber ? device.idString : QByteArrayLiteral("USB Bridge");
    const std::size_t length
        = std::min<std::size_t>(std::size_t(text.size()), kIdStringCapacity - 1);
    std::memcpy(buffer, text.constData(), length);
    buffer[length] = '\0';
    return BridgeStatus::Success;
}

int SimBridge::open(std::uint32_t index, BridgeHandle &handle)
{
    ++m_calls;
    if (m_openFails || !m_plugged || index >= std::uint32_t(m_devices.size()))
        return BridgeStatus::DeviceNotFound;
    if (m_inUse)
        return BridgeStatus::DeviceInUse;
    m_open = true;
    m_openIndex = index;
    m_pending.clear();
    handle = kHandle;
    return BridgeStatus::Success;
}

int SimBridge::close(BridgeHandle handle)
{
    ++m_calls;
    if (m_closeFails)
        return BridgeStatus::InvalidHandle;
    if (!m_plugged)
        return BridgeStatus::DeviceIoFailed;
    if (!handleValid(handle))
        return BridgeStatus::InvalidHandle;
    m_open = false;
    m_pending.clear();
    return BridgeStatus::Success;
}

bool SimBridge::handleValid(BridgeHandle handle) const
{
    return m_open && handle == kHandle;
}

const SimDevice *SimBridge::openDevice() const
{
    if (!m_open || m_openIndex >= std::uint32_t(m_devices.size()))
        return nullptr;
    return &m_devices.at(int(m_openIndex));
}

void SimBridge::setPlugged(bool plugged)
{
    m_plugged = plugged;
    if (!plugged) {
        m_open = false;
        m_pending.clear();
    } else {
        m_exchangesBeforeUnplug = -1;
    }
}

// --- timing ---

int SimBridge::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    ++m_calls;
    m_readTimeoutMs = readMs;
    m_writeTimeoutMs = writeMs;
    return BridgeStatus::Success;
}

int SimBridge::timeouts(std::uint32_t &readMs, std::uint32_t &writeMs)
{
    ++m_calls;
    readMs = m_readTimeoutMs;
    writeMs = m_writeTimeoutMs;
    return BridgeStatus::Success;
}

// --- exchanges ---

void SimBridge::injectFault(Fault fault, FaultWhen when)
{
    m_faults.append({ fault, when, QByteArray(), false, 0 });
}

void SimBridge::injectAnswer(const QByteArray &answer, FaultWhen when)
{
    m_faults.append({ Fault::NoAnswer, when, answer, true, 0 });
}

QList<SimBridge::PendingFault> SimBridge::takeFaults(const QByteArray &request)
{
    QList<PendingFault> hits;
    for (int i = 0; i < m_faults.size();) {
        PendingFault &f = m_faults[i];
        bool hit = false;
        bool done = false;
        if (matches(f.when, request)) {
            switch (f.when.kind) {
            case FaultWhen::Kind::Next:
                hit = done = true;
                break;
            case FaultWhen::Kind::Always:
                hit = true;
                break;
            case FaultWhen::Kind::Nth:
                hit = done = ++f.seen >= f.when.nth;
                break;
            }
        } else if (f.when.kind == FaultWhen::Kind::Next) {
            // "Next" means the next exchange, whatever it carries.
            done = true;
        }
        if (hit)
            hits.append(f);
        if (done)
            m_faults.removeAt(i);
        else
            ++i;
    }
    return hits;
}

int SimBridge::write(
    BridgeHandle handle, const std::uint8_t *data, std::uint32_t length, std::uint32_t &written)
{
    ++m_calls;
    written = 0;
    if (!m_plugged)
        return BridgeStatus::DeviceNotFound;
    if (!handleValid(handle))
        return BridgeStatus::InvalidHandle;
    if (m_exchangesBeforeUnplug == 0) {
        setPlugged(false);
        return BridgeStatus::DeviceNotFound;
    }
    if (!data && length > 0)
        return BridgeStatus::InvalidParameter;

    const QByteArray request(reinterpret_cast<const char *>(data), int(length));
    const QList<PendingFault> faults = takeFaults(request);
    const auto has = [&faults](Fault fault) {
        return std::any_of(faults.begin(), faults.end(),
            [fault](const PendingFault &f) { return !f.isAnswer && f.fault == fault; });
    };
    if (has(Fault::WriteError))
        return BridgeStatus::WriteError;

    if (m_exchangesBeforeUnplug > 0)
        --m_exchangesBeforeUnplug;
    ++m_exchanges;
    const std::uint32_t now = m_clock.tickCount();
    log(FrameLogEntry::Direction::ToBox, now, request);
    m_pending.clear();
    m_rxErrorArmed = has(Fault::RxQueueError);
    m_readErrorArmed = has(Fault::ReadError);

    QByteArray answer;
    if (!m_script.isEmpty()) {
        const Expectation expected = m_script.takeFirst();
        if (expected.request != request) {
            m_scriptErrors.append(QStringLiteral("exchange %1: expected [%2], got [%3]")
                                      .arg(m_exchanges)
                                      .arg(hexBytes(expected.request), hexBytes(request)));
        }
        answer = expected.answer;
    } else if (const SimDevice *device = openDevice(); device && device->isBox) {
        answer = m_box.answer(request);
    }

    for (const PendingFault &f : faults)
        if (f.isAnswer)
            answer = f.answer;
    if (has(Fault::ShortAnswer))
        answer = answer.left(1);
    if (has(Fault::WrongEcho) && !answer.isEmpty())
        answer[0] = char(std::uint8_t(answer[0]) ^ 0x01);
    if (has(Fault::LongAnswer)) {
        for (int i = int(answer.size()); i < kLongAnswerLength; ++i)
            answer.append(char(0xA0 + (i & 0x0F)));
    }
    if (has(Fault::NoAnswer))
        answer.clear();

    written = length;
    if (has(Fault::Unplug)) {
        setPlugged(false);
        return BridgeStatus::Success;
    }
    if (!answer.isEmpty()) {
        m_pending = answer;
        m_pendingLogged = false;
        m_readyAt = now + m_latencyMs;
    }
    return BridgeStatus::Success;
}

int SimBridge::checkRxQueue(BridgeHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    ++m_calls;
    queued = 0;
    queueStatus = kRxEmpty;
    // Every path that reports nothing lets a little time pass, so that a caller
    // polling on a virtual clock reaches its time limit.
    if (!m_plugged) {
        m_clock.sleep(1);
        return BridgeStatus::DeviceNotFound;
    }
    if (!handleValid(handle)) {
        m_clock.sleep(1);
        return BridgeStatus::InvalidHandle;
    }
    if (m_rxErrorArmed) {
        m_rxErrorArmed = false;
        m_clock.sleep(1);
        return BridgeStatus::RxQueueNotReady;
    }
    if (!m_pending.isEmpty() && std::int32_t(m_clock.tickCount() - m_readyAt) >= 0) {
        queued = std::uint32_t(m_pending.size());
        queueStatus = kRxReady;
        return BridgeStatus::Success;
    }
    m_clock.sleep(1);
    return BridgeStatus::Success;
}

int SimBridge::read(
    BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received)
{
    ++m_calls;
    received = 0;
    if (!m_plugged)
        return BridgeStatus::DeviceNotFound;
    if (!handleValid(handle))
        return BridgeStatus::InvalidHandle;
    if (m_readErrorArmed) {
        m_readErrorArmed = false;
        m_pending.clear();
        return BridgeStatus::ReadError;
    }
    if (m_pending.isEmpty()) {
        m_clock.sleep(m_readTimeoutMs);
        return BridgeStatus::ReadTimedOut;
    }
    const std::int32_t wait = std::int32_t(m_readyAt - m_clock.tickCount());
    if (wait > 0) {
        if (std::uint32_t(wait) > m_readTimeoutMs) {
            m_clock.sleep(m_readTimeoutMs);
            return BridgeStatus::ReadTimedOut;
        }
        m_clock.sleep(std::uint32_t(wait));
    }
    // One USB packet at most per read.
    const std::uint32_t n = std::min<std::uint32_t>(
        { capacity, std::uint32_t(kPacketSize), std::uint32_t(m_pending.size()) });
    if (n > 0 && !buffer)
        return BridgeStatus::InvalidParameter;
    // An answer is logged when the host reads it: one the host gave up on,
    // or flushed away, never crossed the link.
    if (!m_pendingLogged) {
        log(FrameLogEntry::Direction::FromBox, m_clock.tickCount(), m_pending);
        m_pendingLogged = true;
    }
    std::memcpy(buffer, m_pending.constData(), n);
    m_pending.remove(0, int(n));
    received = n;
    return BridgeStatus::Success;
}

int SimBridge::flush(BridgeHandle handle, bool transmit, bool receive)
{
    ++m_calls;
    Q_UNUSED(transmit);
    if (!m_plugged)
        return BridgeStatus::DeviceNotFound;
    if (!handleValid(handle))
        return BridgeStatus::InvalidHandle;
    if (receive)
        m_pending.clear();
    return BridgeStatus::Success;
}

// --- script and log ---

void SimBridge::expectExchange(const QByteArray &request, const QByteArray &answer)
{
    m_script.append({ request, answer });
}

QStringList SimBridge::scriptPending() const
{
    QStringList pending;
    for (const Expectation &e : m_script)
        pending.append(hexBytes(e.request));
    return pending;
}

void SimBridge::clearScript()
{
    m_script.clear();
    m_scriptErrors.clear();
}

QList<QByteArray> SimBridge::sentFrames() const
{
    QList<QByteArray> frames;
    for (const FrameLogEntry &e : m_log)
        if (e.direction == FrameLogEntry::Direction::ToBox)
            frames.append(e.bytes);
    return frames;
}

void SimBridge::log(
    FrameLogEntry::Direction direction, std::uint32_t timeMs, const QByteArray &bytes)
{
    m_log.append({ timeMs, direction, bytes });
    if (m_observer)
        m_observer(m_log.last());
}

} // namespace vortalex
