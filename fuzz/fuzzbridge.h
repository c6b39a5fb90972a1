// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/usbbridge.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace vortalex {

// A bridge whose every result comes from the fuzzer's input: status codes,
// device count and identification strings, handles, how many bytes a read
// claims and which bytes it delivers, the receive-queue count and how much
// clock time each queue check takes. Whatever a caller does, the bridge never
// writes past the buffers it is given; a read may claim more bytes than the
// capacity, as a faulty back end could.
//
// Every call that has input left consumes at least one byte, and a queue
// check without input left lets the whole answer time pass, so any sequence
// of calls ends.
class FuzzBridge : public UsbBridge
{
public:
    FuzzBridge(FuzzedDataProvider &input, VirtualClock &clock);

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

    int writes() const { return m_writes; }

private:
    // Success most of the time, otherwise one of the library's failure codes.
    int status();

    FuzzedDataProvider &m_input;
    VirtualClock &m_clock;
    std::uint32_t m_readTimeoutMs = 0;
    std::uint32_t m_writeTimeoutMs = 0;
    int m_writes = 0;
};

} // namespace vortalex
