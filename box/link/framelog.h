// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "files/outputfile.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>

namespace vortalex {

// One frame that crossed the USB link (emulated or real).
struct FrameLogEntry
{
    enum class Direction { ToBox, FromBox };

    // Clock time at which the frame was written (ToBox) or read by the host
    // (FromBox).
    std::uint32_t timeMs = 0;
    Direction direction = Direction::ToBox;
    QByteArray bytes;
};

// Upper-case hex pairs separated by single blanks: "10 04 E0 1B 01".
QString hexBytes(const QByteArray &bytes);

// "<ms since startMs> <dir> <bytes>", dir ">" host to box, "<" box to host,
// e.g. "1532 > 10 04 E0 1B 01".
QString frameLogLine(const FrameLogEntry &entry, std::uint32_t startMs);

// Appends frame log lines to a file, one line per frame, written at once so
// that a log survives a crash of the program it documents. The file is an
// AppendFile: a FIFO or device node is written as it is; a folder, block
// device or socket is refused.
class FrameLogFile
{
public:
    FrameLogFile();
    ~FrameLogFile();

    // Opens `path` for appending. On failure returns false and `error` says
    // why in the system's words.
    bool open(const QString &path, QString &error);
    bool isOpen() const;
    // Times in the lines count from `startMs`.
    void setStart(std::uint32_t startMs) { m_startMs = startMs; }
    void append(const FrameLogEntry &entry);
    // Where the one report of a log that cannot be written goes (a full
    // disk, /dev/full): by default a line on standard error naming the
    // program, the file and the system's reason. Later lines are not tried.
    void setErrorSink(std::function<void(const QString &line)> sink)
    {
        m_errorSink = std::move(sink);
    }
    // A callback for SimBridge::setFrameObserver or FrameLogBridge.
    std::function<void(const FrameLogEntry &)> observer();

private:
    AppendFile m_file;
    std::uint32_t m_startMs = 0;
    QString m_path;
    bool m_errorReported = false;
    std::function<void(const QString &line)> m_errorSink;
};

} // namespace vortalex
