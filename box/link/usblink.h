// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clock.h"
#include "usbbridge.h"

#include <QByteArray>
#include <cstdint>
#include <functional>

namespace vortalex {

// What the link warns about as it happens; the window shows each in a
// blocking message box, the command line on standard error.
enum class LinkNotice {
    BoxNotFound, // no bridge device, or none reports the box's id string
    OpenFailed,
    CloseFailed,
    QueueCheckFailed, // a receive-queue check failed while waiting for an answer
};

// The one path between the program and the box: finds the box among the
// attached bridge devices, opens and closes it, and runs transactions (one
// request written, one answer of up to 64 bytes read).
class UsbLink
{
public:
    // Reports one of the link's warnings; the window shows it blocking, so
    // the device may be closed or another request made before it returns.
    using NoticeSink = std::function<void(LinkNotice notice)>;

    static constexpr const char *kBoxIdString = "2023";
    static constexpr std::uint32_t kWriteTimeoutMs = 4000;
    static constexpr std::uint32_t kAnswerLimitMs = 4000;
    static constexpr std::uint32_t kReadTimeoutMs = 4000;
    // What an empty receive-queue check may wait (see UsbBridge::checkRxQueue).
    static constexpr std::uint32_t kQueueWaitMs = 1;

    UsbLink(UsbBridge &bridge, Clock &clock, NoticeSink notices);

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

    // For a front end without message boxes (the command line): the first
    // failed receive-queue check ends the wait, after its one notice, instead
    // of one notice per check until the answer limit.
    void setQueueErrorEndsWait(bool ends) { m_queueErrorEndsWait = ends; }
    // True once a bridge call of a transaction said the device is gone
    // (unplugged); cleared when a device is opened.
    bool deviceGone() const { return m_deviceGone; }
    // The bridge's status of the last open, BridgeStatus::Success included.
    int lastOpenStatus() const { return m_lastOpenStatus; }

    bool busy() const { return m_busy; }
    BridgeHandle handle() const { return m_handle; }
    void forgetDevice() { m_handle = kNoHandle; }

private:
    // Notes a status that says the device is gone.
    void noteStatus(int status);
    bool timedWrite(const std::uint8_t *data, std::uint32_t length, std::uint32_t timeoutMs);
    bool timedRead(std::uint8_t *buffer, std::uint32_t capacity, std::uint32_t &received,
                   std::uint32_t timeoutMs);

    UsbBridge &m_bridge;
    Clock &m_clock;
    NoticeSink m_notices;
    BridgeHandle m_handle = kNoHandle;
    bool m_busy = false;
    bool m_queueErrorEndsWait = false;
    bool m_deviceGone = false;
    int m_lastOpenStatus = BridgeStatus::Success;
    std::uint32_t m_lastAnswerLength = 0;
};

} // namespace vortalex
