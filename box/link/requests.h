// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frames.h"
#include "usblink.h"

#include <QString>
#include <array>
#include <cstdint>

namespace vortalex {

// What the request procedures report as it happens, in order: the window
// words each event in its status bar (or on standard output), the command
// line on standard error. The box says what happened; it never words it.
enum class RequestEvent {
    SettingWriteFailed,
    SettingsReadFailed,
    PageReadFailed,
    SettingsBlockWriteFailed,
    EdidFetchRefused, // the fetch of an EDID was not acknowledged; the read goes on
    EdidReadFromBox,
    EdidReadFromTv,
    EdidChunkRefused, // the write goes on
    EdidApplyFailed,
    EdidWritten,
    CecLengthWrong, // the text is too short or too long; nothing was sent
    CecSent,
    CecRefused,
    CecActivateFailed,
    HdrLengthWrong,
    HdrSent,
    HdrRefused,
    HdrActivateFailed,
    AviLengthWrong,
    AviSent,
    AviRefused,
    AviActivateFailed,
    CecStoreLengthWrong,
    CecStored,
    CecStoreRefused,
};

class RequestObserver
{
public:
    virtual ~RequestObserver() = default;
    virtual void requestEvent(RequestEvent event) = 0;
};

// An answer buffer: every answer gets the full 64 bytes of room.
struct Response
{
    std::array<std::uint8_t, kResponseCapacity> bytes {};
    std::uint8_t operator[](int i) const { return bytes[std::size_t(i)]; }
    std::uint8_t *data() { return bytes.data(); }
};

// The request operations: one frame out, one answer back, with the echo check
// and the event of a failure.
class BoxRequests
{
public:
    static constexpr int kNoEcho = -1;

    BoxRequests(UsbLink &link, RequestObserver &observer)
        : m_link(link)
        , m_observer(observer)
    {
    }

    // Sends `frame`; good when the transaction succeeded and, unless `echo` is
    // kNoEcho, answer byte 0 equals `echo`. Reports nothing.
    bool exchange(const QByteArray &frame, int expected, Response &response, int echo);
    // Same, but reports `failure` when the exchange is not good.
    bool request(
        const QByteArray &frame, int expected, Response &response, int echo, RequestEvent failure);

    bool writeSetting(std::uint8_t settingId, std::uint8_t value);
    bool readSettingsBlock(Response &response, std::uint8_t length = kSettingsBlockLength);
    bool readPage(std::uint8_t page, Response &response, std::uint8_t length);
    bool writeSettingsBlock(const std::array<std::uint8_t, kSettingCount> &settings);

    UsbLink &link() { return m_link; }
    void report(RequestEvent event) { m_observer.requestEvent(event); }

private:
    UsbLink &m_link;
    RequestObserver &m_observer;
};

} // namespace vortalex
