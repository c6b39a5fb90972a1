// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vortalex {

// The bytes of an InfoFrame text as the custom fields and the capture hold
// it ("87:01:1a"), or why the text is not such a list.
struct InfoFrameBytes
{
    bool ok = false;
    QString error;
    QByteArray bytes;
};

// Reads a colon-separated list of two-digit hex bytes. Blanks around the
// list are ignored; anything else that is not two hex digits between colons
// is refused with its position, because the box would read it as some other
// byte. The bytes are those the send slots' parser gives for the text.
InfoFrameBytes readInfoFrameText(const QString &text);

// Lower-case colon-separated hex, as the capture shows it: "87:01:1a".
QString infoFrameText(const QByteArray &bytes);

// 256 minus the sum of `bytes`: the checksum byte that makes the sum of a
// whole InfoFrame (header, checksum and data bytes) zero (CTA-861, 6.1).
std::uint8_t infoFrameChecksum(const QByteArray &bytes);

// InfoFrame values of 16 bits: least significant byte first. Bytes past the
// end read as zero.
std::uint16_t infoFrameWord(const QByteArray &data, int index);
void appendInfoFrameWord(QByteArray &data, std::uint16_t value);

// A decoder on a field's text: the decoder's result for the bytes, or one
// whose `problem` says why the text is no hex byte list.
template<typename Decode>
Decode decodeInfoFrameText(const QString &text, Decode (*decode)(const QByteArray &))
{
    const InfoFrameBytes read = readInfoFrameText(text);
    if (read.ok)
        return decode(read.bytes);
    Decode result;
    result.problem = read.error;
    return result;
}

} // namespace vortalex
