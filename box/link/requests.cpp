// SPDX-License-Identifier: GPL-3.0-or-later
#include "requests.h"

namespace vortalex {

bool BoxRequests::exchange(const QByteArray &frame, int expected, Response &response, int echo)
{
    const bool ok = m_link.transaction(response.data(),
                                       reinterpret_cast<const std::uint8_t *>(frame.constData()),
                                       std::uint32_t(expected), std::uint32_t(frame.size()));
    return ok && (echo == kNoEcho || response[0] == echo);
}

bool BoxRequests::request(
    const QByteArray &frame, int expected, Response &response, int echo, RequestEvent failure)
{
    const bool good = exchange(frame, expected, response, echo);
    if (!good)
        report(failure);
    return good;
}

bool BoxRequests::writeSetting(std::uint8_t settingId, std::uint8_t value)
{
    Response response;
    return request(Frames::writeSetting(settingId, value), kAckLength, response,
        toByte(Command::Page), RequestEvent::SettingWriteFailed);
}

bool BoxRequests::readSettingsBlock(Response &response, std::uint8_t length)
{
    return request(Frames::readSettingsBlock(length), length, response,
        toByte(Command::SettingsBlock), RequestEvent::SettingsReadFailed);
}

bool BoxRequests::readPage(std::uint8_t page, Response &response, std::uint8_t length)
{
    return request(Frames::readPage(page, length), length, response, toByte(Command::Page),
        RequestEvent::PageReadFailed);
}

bool BoxRequests::writeSettingsBlock(const std::array<std::uint8_t, kSettingCount> &settings)
{
    Response response;
    return request(Frames::writeSettingsBlock(settings.data()), kAckLength, response,
        toByte(Command::WriteSettingsBlock), RequestEvent::SettingsBlockWriteFailed);
}

} // namespace vortalex
