// SPDX-License-Identifier: GPL-3.0-or-later
#include "frames.h"

namespace vortalex {

Command fetchCommand(EdidSource source)
{
    switch (source) {
    case EdidSource::TvA:
        return Command::FetchTvAEdid;
    case EdidSource::TvB:
        return Command::FetchTvBEdid;
    case EdidSource::Box:
        break;
    }
    return Command::FetchBoxEdid;
}

namespace {

QByteArray header(FrameType type, std::uint8_t lengthField, Command code)
{
    QByteArray frame;
    frame.append(char(static_cast<std::uint8_t>(type)));
    frame.append(char(lengthField));
    frame.append(char(toByte(code)));
    return frame;
}

QByteArray dataRequest(Command code, const QByteArray &payload)
{
    return header(FrameType::Set, std::uint8_t(payload.size()), code) + payload;
}

} // namespace

namespace Frames {

QByteArray writeSetting(std::uint8_t settingId, std::uint8_t value)
{
    // The box expects 0x04 here although the payload is two bytes.
    QByteArray frame = header(FrameType::Set, 0x04, Command::Page);
    frame.append(char(settingId));
    frame.append(char(value));
    return frame;
}

QByteArray readSettingsBlock(std::uint8_t length)
{
    return header(FrameType::Read, length, Command::SettingsBlock);
}

QByteArray readPage(std::uint8_t page, std::uint8_t length)
{
    QByteArray frame = header(FrameType::Read, length, Command::Page);
    frame.append(char(page));
    return frame;
}

QByteArray writeSettingsBlock(const std::uint8_t *settings)
{
    return header(FrameType::Set, kSettingCount, Command::WriteSettingsBlock)
            + QByteArray(reinterpret_cast<const char *>(settings), kSettingCount);
}

QByteArray fetch(EdidSource source)
{
    return header(FrameType::Set, 0x01, fetchCommand(source));
}

QByteArray chunkRead(std::uint8_t offset)
{
    QByteArray frame = header(FrameType::Read, kEdidReadChunk, Command::Chunk);
    frame.append(char(offset));
    return frame;
}

QByteArray chunkWrite(std::uint8_t offset, const std::uint8_t *chunk)
{
    QByteArray frame = header(FrameType::Set, kEdidWriteChunk, Command::Chunk);
    frame.append(char(offset));
    frame.append(reinterpret_cast<const char *>(chunk), kEdidWriteChunk);
    return frame;
}

QByteArray apply()
{
    // Carries the length field of the chunk writes it follows.
    return header(FrameType::Set, kEdidWriteChunk, Command::Apply);
}

QByteArray cecSend(const QByteArray &payload)
{
    return dataRequest(Command::CecSend, payload);
}

QByteArray cecStore(Command code, const QByteArray &upperCaseText)
{
    return dataRequest(code, QByteArray("CEC ") + upperCaseText + '\r');
}

QByteArray hdrInfoFrame(const QByteArray &bytes)
{
    return dataRequest(Command::HdrInfoFrame, bytes);
}

QByteArray aviInfoFrame(const QByteArray &bytes)
{
    return dataRequest(Command::AviInfoFrame, bytes);
}

QByteArray activate(std::uint8_t lengthField, ActivateSelector selector)
{
    QByteArray frame = header(FrameType::Set, lengthField, Command::Activate);
    frame.append(char(static_cast<std::uint8_t>(selector)));
    return frame;
}

} // namespace Frames
} // namespace vortalex
