#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vortalex {

// One frame that crossed the emulated USB link.
struct FrameLogEntry
{
    enum class Direction { ToBox, FromBox };

    // Clock time at which the frame was written (ToBox) or became readable
    // by the host (FromBox).
    std::uint32_t timeMs = 0;
    Direction direction = Direction::ToBox;
    QByteArray bytes;
};

// Upper-case hex pairs separated by single blanks: "10 04 E0 1B 01".
QString hexBytes(const QByteArray &bytes);

// "<ms since startMs> <dir> <bytes>", dir ">" host to box, "<" box to host,
// e.g. "1532 > 10 04 E0 1B 01".
QString frameLogLine(const FrameLogEntry &entry, std::uint32_t startMs);

} // namespace vortalex
