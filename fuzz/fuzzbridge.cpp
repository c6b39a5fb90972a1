// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzzbridge.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace vortalex {

namespace {

constexpr int kFailureCodes[] = {
    BridgeStatus::InvalidHandle,
    BridgeStatus::ReadError,
    BridgeStatus::RxQueueNotReady,
    BridgeStatus::WriteError,
    BridgeStatus::ResetError,
    BridgeStatus::InvalidParameter,
    BridgeStatus::InvalidRequestLength,
    BridgeStatus::DeviceIoFailed,
    BridgeStatus::FunctionNotSupported,
    BridgeStatus::SystemError,
    BridgeStatus::ReadTimedOut,
    BridgeStatus::WriteTimedOut,
    BridgeStatus::DeviceNotFound,
};

// The real answer limit of a transaction; a check of the receive queue may
// take any part of it.
constexpr std::uint32_t kLongestCheckMs = 4000;

} // namespace

FuzzBridge::FuzzBridge(FuzzedDataProvider &input, VirtualClock &clock)
    : m_input(input)
    , m_clock(clock)
{
}

int FuzzBridge::status()
{
    const std::uint8_t pick = m_input.ConsumeIntegral<std::uint8_t>();
    if (pick < 0xE0)
        return BridgeStatus::Success;
    return kFailureCodes[pick % std::size(kFailureCodes)];
}

int FuzzBridge::deviceCount(std::uint32_t &count)
{
    const int result = status();
    count = m_input.ConsumeIntegralInRange<std::uint32_t>(0, 4);
    return result;
}

int FuzzBridge::identificationString(std::uint32_t, char *buffer, int)
{
    const int result = status();
    if (m_input.ConsumeBool()) {
        std::strcpy(buffer, "2023");
    } else {
        // Up to the whole buffer, without a terminating zero when it is full.
        const std::string id = m_input.ConsumeRandomLengthString(kIdStringCapacity);
        std::memcpy(buffer, id.data(), id.size());
        if (id.size() < kIdStringCapacity)
            buffer[id.size()] = '\0';
    }
    return result;
}

int FuzzBridge::open(std::uint32_t, BridgeHandle &handle)
{
    const int result = status();
    handle = m_input.ConsumeBool() ? 1 : m_input.ConsumeIntegral<BridgeHandle>();
    return result;
}

int FuzzBridge::close(BridgeHandle)
{
    return status();
}

int FuzzBridge::read(
    BridgeHandle, std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received)
{
    const int result = status();
    received = m_input.ConsumeIntegralInRange<std::uint32_t>(0, 2 * capacity);
    const std::uint32_t delivered = std::min(received, capacity);
    const std::string bytes = m_input.ConsumeBytesAsString(delivered);
    std::memcpy(buffer, bytes.data(), bytes.size());
    return result;
}

int FuzzBridge::write(
    BridgeHandle, const std::uint8_t *data, std::uint32_t length, std::uint32_t &written)
{
    // Touch every byte the caller claims to send, so that a request shorter
    // than its length shows up as a bad read.
    volatile std::uint8_t sum = 0;
    for (std::uint32_t i = 0; i < length; ++i)
        sum = std::uint8_t(sum + data[i]);
    ++m_writes;
    const int result = status();
    written = m_input.ConsumeIntegralInRange<std::uint32_t>(0, length);
    return result;
}

int FuzzBridge::flush(BridgeHandle, bool, bool)
{
    return status();
}

int FuzzBridge::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs)
{
    m_readTimeoutMs = readMs;
    m_writeTimeoutMs = writeMs;
    return BridgeStatus::Success;
}

int FuzzBridge::timeouts(std::uint32_t &readMs, std::uint32_t &writeMs)
{
    readMs = m_readTimeoutMs;
    writeMs = m_writeTimeoutMs;
    return BridgeStatus::Success;
}

int FuzzBridge::checkRxQueue(BridgeHandle, std::uint32_t &queued, std::uint32_t &queueStatus)
{
    queueStatus = 0;
    if (m_input.remaining_bytes() == 0) {
        m_clock.advance(kLongestCheckMs);
        queued = 0;
        return BridgeStatus::Success;
    }
    const int result = status();
    queued = m_input.ConsumeIntegralInRange<std::uint32_t>(0, 3);
    m_clock.advance(m_input.ConsumeIntegralInRange<std::uint32_t>(0, kLongestCheckMs));
    return result;
}

} // namespace vortalex
