// SPDX-License-Identifier: GPL-3.0-or-later
#include "usblink.h"

#include "frames.h"
#include "logging.h"

#include <algorithm>
#include <cstring>

namespace vortalex {

UsbLink::UsbLink(UsbBridge &bridge, Clock &clock, NoticeSink notices)
    : m_bridge(bridge)
    , m_clock(clock)
    , m_notices(std::move(notices))
{
}

bool UsbLink::findDevice(const QByteArray &idString, std::uint32_t &index)
{
    m_handle = kNoHandle;
    std::uint32_t count = 0;
    const int countStatus = m_bridge.deviceCount(count);
    qCDebug(lcLink, "%u bridge device(s), status %d", count, countStatus);
    if (countStatus != BridgeStatus::Success) {
        m_notices(LinkNotice::BoxNotFound);
        return false;
    }
    for (std::uint32_t i = 0; i < count; ++i) {
        char id[kIdStringCapacity] = {};
        const int idStatus = m_bridge.identificationString(i, id, IdStringKind::SerialNumber);
        id[kIdStringCapacity - 1] = '\0';
        qCDebug(lcLink, "device %u: serial \"%s\", status %d", i, id, idStatus);
        if (idStatus != BridgeStatus::Success)
            continue;
        if (idString == QByteArray(id)) {
            index = i;
            return true;
        }
    }
    m_notices(LinkNotice::BoxNotFound);
    return false;
}

bool UsbLink::openDevice(std::uint32_t index)
{
    BridgeHandle handle = kNoHandle;
    const int status = m_bridge.open(index, handle);
    m_lastOpenStatus = status;
    qCDebug(lcLink, "open device %u: status %d", index, status);
    if (status != BridgeStatus::Success) {
        m_notices(LinkNotice::OpenFailed);
        m_handle = kNoHandle;
        return false;
    }
    m_handle = handle;
    m_deviceGone = false;
    return true;
}

void UsbLink::closeDevice()
{
    if (m_handle != kNoHandle) {
        const BridgeHandle handle = m_handle;
        // Forget the handle first: a nested close while the notice shows must
        // find nothing to close.
        m_handle = kNoHandle;
        if (m_bridge.close(handle) != BridgeStatus::Success)
            m_notices(LinkNotice::CloseFailed);
    }
    m_handle = kNoHandle;
}

void UsbLink::noteStatus(int status)
{
    if (status == BridgeStatus::DeviceNotFound)
        m_deviceGone = true;
}

bool UsbLink::timedWrite(const std::uint8_t *data, std::uint32_t length, std::uint32_t timeoutMs)
{
    std::uint32_t savedRead = 0;
    std::uint32_t savedWrite = 0;
    m_bridge.timeouts(savedRead, savedWrite);
    m_bridge.setTimeouts(0, timeoutMs);
    std::uint32_t written = 0;
    const int status = m_bridge.write(m_handle, data, length, written);
    m_bridge.setTimeouts(savedRead, savedWrite);
    noteStatus(status);
    return status == BridgeStatus::Success;
}

bool UsbLink::timedRead(std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received,
                        std::uint32_t timeoutMs)
{
    std::uint32_t savedRead = 0;
    std::uint32_t savedWrite = 0;
    m_bridge.timeouts(savedRead, savedWrite);
    m_bridge.setTimeouts(timeoutMs, 0);
    const int status = m_bridge.read(m_handle, buffer, capacity, received);
    m_bridge.setTimeouts(savedRead, savedWrite);
    noteStatus(status);
    return status == BridgeStatus::Success;
}

bool UsbLink::transaction(std::uint8_t *response, const std::uint8_t *request,
                          std::uint32_t expected, std::uint32_t requestLength)
{
    const std::uint32_t start = m_clock.tickCount();
    m_busy = true;
    m_lastAnswerLength = 0;
    bool ok = false;

    if (m_handle != kNoHandle) {
        noteStatus(m_bridge.flush(m_handle, true, true));
        if (timedWrite(request, requestLength, kWriteTimeoutMs)) {
            bool failed = false;
            std::uint32_t queued = 0;
            // Elapsed time as an unsigned difference survives a wrap of the counter.
            while (queued < 1 && std::uint32_t(m_clock.tickCount() - start) < kAnswerLimitMs) {
                std::uint32_t queueStatus = 0;
                const std::uint32_t checkStart = m_clock.tickCount();
                const int status = m_bridge.checkRxQueue(m_handle, queued, queueStatus);
                if (status != BridgeStatus::Success) {
                    queued = 0;
                    failed = true;
                    noteStatus(status);
                    m_notices(LinkNotice::QueueCheckFailed);
                    // The box or the notice may have vanished the device meanwhile.
                    if (m_handle == kNoHandle || m_queueErrorEndsWait)
                        break;
                    // A check that failed at once (an unplugged device does)
                    // waits as long as an empty one, so the loop never spins.
                    if (m_clock.tickCount() == checkStart)
                        m_clock.sleep(kQueueWaitMs);
                }
            }
            if (!failed && queued >= 1) {
                std::uint8_t buffer[kResponseCapacity] = {};
                std::uint32_t received = 0;
                const bool readOk = timedRead(buffer, kResponseCapacity, received, kReadTimeoutMs);
                received = std::min<std::uint32_t>(received, kResponseCapacity);
                std::memcpy(response, buffer, received);
                m_lastAnswerLength = received;
                ok = readOk && received >= expected;
                if (!ok)
                    qCDebug(
                        lcLink, "answer of %u bytes where %u were expected", received, expected);
            } else if (!failed) {
                qCDebug(lcLink, "no answer within %u ms", kAnswerLimitMs);
            }
        } else {
            qCDebug(lcLink, "request of %u bytes not written", requestLength);
        }
    }

    m_busy = false;
    return ok;
}

} // namespace vortalex
