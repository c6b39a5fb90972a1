// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "framelog.h"
#include "usbbridge.h"

#include <functional>

namespace vortalex {

// A bridge that passes every call to another bridge and reports each frame
// that was written to the box or read from it, with the clock's time. It lets
// the program record a frame log with a real box, in the same format as the
// emulated box's log.
class FrameLogBridge : public UsbBridge
{
public:
    using Observer = std::function<void(const FrameLogEntry &)>;

    FrameLogBridge(UsbBridge &inner, Clock &clock, Observer observer);

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

private:
    UsbBridge &m_inner;
    Clock &m_clock;
    Observer m_observer;
};

} // namespace vortalex
