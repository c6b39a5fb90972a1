// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <cstdint>

namespace vortalex {

// Request frames sent to the box: type byte, length field, command code,
// payload. The answer starts with the echo of the command code and a status
// byte (except for a chunk read, which answers raw EDID bytes).
enum class FrameType : std::uint8_t {
    Set = 0x10,
    Read = 0x11,
};

enum class Command : std::uint8_t {
    Chunk = 0xB0, // chunk read (type Read) and chunk write (type Set)
    Apply = 0xB1,
    CecSend = 0xB2,
    Activate = 0xB3,
    FetchBoxEdid = 0xB4,
    FetchTvAEdid = 0xB5,
    FetchTvBEdid = 0xB6,
    Page = 0xE0, // read page (type Read) and write setting (type Set)
    SettingsBlock = 0xE1,
    WriteSettingsBlock = 0xE2,
    CecStoreSp = 0xE3,
    CecStoreLp = 0xE4,
    HdrInfoFrame = 0xE5,
    AviInfoFrame = 0xE6,
};

// Selector of the activate request: what the box is to act on.
enum class ActivateSelector : std::uint8_t {
    Cec = 0x10,
    HdrInfoFrame = 0x20,
    AviInfoFrame = 0x80,
};

enum class EdidSource { Box, TvA, TvB };

constexpr int kResponseCapacity = 64;
constexpr int kSettingsBlockLength = 42;
constexpr int kSettingCount = 40;
constexpr int kAckLength = 2;
constexpr int kEdidSize = 256;
constexpr int kEdidReadChunk = 16;
constexpr int kEdidWriteChunk = 8;
constexpr std::uint8_t kDeviceBusyBit = 0x01;

// The pages the program reads with the read page request.
namespace Page {
constexpr std::uint8_t Status = 6;
constexpr std::uint8_t Firmware = 7;
constexpr std::uint8_t SourceProduct = 21;
constexpr std::uint8_t HdrInfoFrame = 30;
constexpr std::uint8_t AviInfoFrame = 31;
constexpr std::uint8_t StoredHdrInfoFrame = 35;
constexpr std::uint8_t StoredAviInfoFrame = 36;
} // namespace Page

constexpr std::uint8_t toByte(Command c) { return static_cast<std::uint8_t>(c); }

Command fetchCommand(EdidSource source);

namespace Frames {
QByteArray writeSetting(std::uint8_t settingId, std::uint8_t value);
QByteArray readSettingsBlock(std::uint8_t length = kSettingsBlockLength);
QByteArray readPage(std::uint8_t page, std::uint8_t length);
// `settings`: the kSettingCount setting bytes in block position order.
QByteArray writeSettingsBlock(const std::uint8_t *settings);
QByteArray fetch(EdidSource source);
QByteArray chunkRead(std::uint8_t offset);
// `chunk`: the kEdidWriteChunk table bytes from `offset` on.
QByteArray chunkWrite(std::uint8_t offset, const std::uint8_t *chunk);
QByteArray apply();
// CEC send request: the payload is the message in CEC layout (header block,
// count byte, opcode and operands); the length field is the payload length.
QByteArray cecSend(const QByteArray &payload);
// CEC store request: "CEC ", the text as given, then a carriage return.
QByteArray cecStore(Command code, const QByteArray &upperCaseText);
QByteArray hdrInfoFrame(const QByteArray &bytes);
QByteArray aviInfoFrame(const QByteArray &bytes);
// The activate request carries the length field of the data request it follows.
QByteArray activate(std::uint8_t lengthField, ActivateSelector selector);
} // namespace Frames

} // namespace vortalex
