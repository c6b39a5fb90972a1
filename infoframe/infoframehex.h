// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <cstdint>

namespace vortalex {

// The InfoFrame texts' translation context.
inline QString trInfoFrame(const char *text)
{
    return QCoreApplication::translate("InfoFrame", text);
}

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

} // namespace vortalex
