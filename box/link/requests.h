// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frames.h"
#include "usblink.h"

#include <QString>
#include <array>
#include <cstdint>

namespace vortalex {

// Where request operations report results and failures: the window's status
// bar, `ms` milliseconds long.
class StatusSink
{
public:
    virtual ~StatusSink() = default;
    virtual void showStatus(const QString &text, int ms) = 0;
};

// An answer buffer: every answer gets the full 64 bytes of room.
struct Response
{
    std::array<std::uint8_t, kResponseCapacity> bytes {};
    std::uint8_t operator[](int i) const { return bytes[std::size_t(i)]; }
    std::uint8_t *data() { return bytes.data(); }
};

// The request operations: one frame out, one answer back, with the echo check
// and the status-bar message on failure.
class BoxRequests
{
public:
    static constexpr int kNoEcho = -1;

    BoxRequests(UsbLink &link, StatusSink &status) : m_link(link), m_status(status) { }

    // Sends `frame`; good when the transaction succeeded and, unless `echo` is
    // kNoEcho, answer byte 0 equals `echo`. Shows nothing.
    bool exchange(const QByteArray &frame, int expected, Response &response, int echo);
    // Same, but shows `failureText` for `failureMs` when the exchange is not good.
    bool request(const QByteArray &frame, int expected, Response &response, int echo,
                 const char *failureText, int failureMs);

    bool writeSetting(std::uint8_t settingId, std::uint8_t value);
    bool readSettingsBlock(Response &response, std::uint8_t length = kSettingsBlockLength);
    bool readPage(std::uint8_t page, Response &response, std::uint8_t length);
    bool writeSettingsBlock(const std::array<std::uint8_t, kSettingCount> &settings);

    UsbLink &link() { return m_link; }
    StatusSink &status() { return m_status; }

private:
    UsbLink &m_link;
    StatusSink &m_status;
};

} // namespace vortalex
