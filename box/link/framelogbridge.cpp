// SPDX-License-Identifier: GPL-3.0-or-later
#include "framelogbridge.h"

#include <utility>

namespace vortalex {

FrameLogBridge::FrameLogBridge(UsbBridge &inner, Clock &clock, Observer observer)
    : m_inner(inner)
    , m_clock(clock)
    , m_observer(std::move(observer))
{
}

int FrameLogBridge::deviceCount(std::uint32_t &count)
{
    return m_inner.deviceCount(count);
}

int FrameLogBridge::identificationString(std::uint32_t index, char *buffer, int kind)
{
    return m_inner.identificationString(index, buffer, kind);
}

int FrameLogBridge::open(std::uint32_t index, BridgeHandle &handle)
{
    return m_inner.open(index, handle);
}

int FrameLogBridge::close(BridgeHandle handle)
{
    return m_inner.close(handle);
}

int FrameLogBridge::read(
    BridgeHandle handle, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received)
{
    received = 0;
    const int status = m_inner.read(handle, buffer, capacity, received);
    // Whatever arrived is logged, even from a read that then failed.
    if (received > 0 && received <= capacity && m_observer)
        m_observer({ m_clock.tickCount(), FrameLogEntry::Direction::FromBox,
            QByteArray(reinterpret_cast<const char *>(buffer), int(received)) });
    return status;
}

int FrameLogBridge::write(
    BridgeHandle handle, const std::uint8_t *data, std::uint32_t length, std::uint32_t &written)
{
    if (m_observer)
        m_observer({ m_clock.tickCount(), FrameLogEntry::Direction::ToBox,
            QByteArray(reinterpret_cast<const char *>(data), int(length)) });
    return m_inner.write(handle, data, length, written);
}

int FrameLogBridge::flush(BridgeHandle handle, bool transmit, bool receive)
{
    return m_inner.flush(handle, transmit, receive);
}

int FrameLogBridge::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    return m_inner.setTimeouts(readMs, writeMs);
}

int FrameLogBridge::timeouts(std::uint32_t &readMs, std::uint32_t &writeMs)
{
    return m_inner.timeouts(readMs, writeMs);
}

int FrameLogBridge::checkRxQueue(
    BridgeHandle handle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    return m_inner.checkRxQueue(handle, queued, queueStatus);
}

} // namespace vortalex
