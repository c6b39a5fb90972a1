// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframehex.h"

#include "text/boxtext.h"
#include "text/echoedtext.h"
#include "text/hexlist.h"

#include <QStringList>

namespace vortalex {

namespace {

bool isHexDigit(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
        || (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
}

} // namespace

InfoFrameBytes readInfoFrameText(const QString &text)
{
    InfoFrameBytes result;
    const QString list = text.trimmed();
    if (list.isEmpty()) {
        result.error = QStringLiteral("empty");
        return result;
    }
    const QStringList pairs = list.split(QLatin1Char(':'));
    if (pairs.size() > kHexListCapacity) {
        result.error = QStringLiteral("too long: %1 bytes, at most %2")
                           .arg(pairs.size())
                           .arg(kHexListCapacity);
        return result;
    }
    for (int i = 0; i < pairs.size(); ++i) {
        const QString &pair = pairs.at(i);
        if (pair.size() != 2 || !isHexDigit(pair.at(0)) || !isHexDigit(pair.at(1))) {
            result.error = QStringLiteral("byte %1 \"%2\" is not two hex digits")
                               .arg(i + 1)
                               .arg(echoedText(pair));
            return result;
        }
    }
    if (pairs.size() == 1) {
        // The list parser needs a colon; one byte is read here directly.
        const QByteArray digits = list.toLatin1();
        result.bytes.append(char(hexPairToByte(digits.at(0), digits.at(1))));
    } else {
        result.bytes = parseHexByteList(toBoxText(list) + '\r', false).payload();
    }
    result.ok = true;
    return result;
}

QString infoFrameText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(':'));
}

std::uint8_t infoFrameChecksum(const QByteArray &bytes)
{
    unsigned sum = 0;
    for (const char byte : bytes)
        sum += std::uint8_t(byte);
    return std::uint8_t(0x100 - (sum & 0xff));
}

std::uint16_t infoFrameWord(const QByteArray &data, int index)
{
    auto byteAt = [&data](int i) { return i < data.size() ? std::uint8_t(data.at(i)) : 0; };
    return std::uint16_t(byteAt(index) | (byteAt(index + 1) << 8));
}

void appendInfoFrameWord(QByteArray &data, std::uint16_t value)
{
    data.append(char(value & 0xff));
    data.append(char(value >> 8));
}

} // namespace vortalex
