// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "usbbridge.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace vortalex {

// The one path between the program and the box: finds the box among the
// attached bridge devices, opens and closes it, and runs transactions (one
// request written, one answer of up to 64 bytes read).
class UsbLink
{
public:
    // Shows one of the link's blocking warnings (caption " ").
    using MessageSink = std::function<void(const QString &text)>;

    static constexpr const char *kBoxIdString = "2023";
    static constexpr std::uint32_t kWriteTimeoutMs = 4000;
    static constexpr std::uint32_t kAnswerLimitMs = 4000;
    static constexpr std::uint32_t kReadTimeoutMs = 4000;

    UsbLink(UsbBridge &bridge, Clock &clock, MessageSink messages);

    // True when a device reports exactly `idString`; `index` is written only then.
    bool findDevice(const QByteArray &idString, std::uint32_t &index);
    bool openDevice(std::uint32_t index);
    void closeDevice();

    // Writes `requestLength` bytes of `request` and reads one answer into
    // `response`, which must have room for kResponseCapacity (64) bytes.
    // True when the request went out and at least `expected` bytes came back.
    bool transaction(std::uint8_t *response, const std::uint8_t *request, std::uint32_t expected,
                     std::uint32_t requestLength);

    // Bytes the last transaction's answer brought, whatever its outcome;
    // 0 when nothing came.
    std::uint32_t lastAnswerLength() const { return m_lastAnswerLength; }

    bool busy() const { return m_busy; }
    BridgeHandle handle() const { return m_handle; }
    void forgetDevice() { m_handle = kNoHandle; }

private:
    bool timedWrite(const std::uint8_t *data, std::uint32_t length, std::uint32_t timeoutMs);
    bool timedRead(std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received,
                   std::uint32_t timeoutMs);

    UsbBridge &m_bridge;
    Clock &m_clock;
    MessageSink m_messages;
    BridgeHandle m_handle = kNoHandle;
    bool m_busy = false;
    std::uint32_t m_lastAnswerLength = 0;
};

} // namespace vortalex
