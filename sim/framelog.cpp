#include "framelog.h"

namespace vortalex {

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString frameLogLine(const FrameLogEntry &entry, std::uint32_t startMs)
{
    const char *dir = entry.direction == FrameLogEntry::Direction::ToBox ? ">" : "<";
    // Unsigned difference: survives a wrap of the tick counter.
    return QStringLiteral("%1 %2 %3")
        .arg(std::uint32_t(entry.timeMs - startMs))
        .arg(QLatin1String(dir), hexBytes(entry.bytes));
}

} // namespace vortalex
