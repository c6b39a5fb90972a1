// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <sys/types.h>

namespace vortalex {

// Why `name` cannot take a saved file, or a null string when it can: a new
// file needs an existing folder that takes files; an existing regular file,
// FIFO or character device must be writable; a folder, a block device or a
// socket is refused. Checked before any work (such as reading the box) is
// done.
QString outputTargetProblem(const QString &name);

// Writes `bytes` as the file `name`, as cp does: a new or regular file is
// written beside the old one and renamed over it only when complete, so a
// failed save leaves the old file as it was (in a folder that takes no new
// file, it is written in place); an existing FIFO or character device is
// written directly and stays what it is; what outputTargetProblem() refuses
// is refused. Every write and the close are checked. `writing` runs once the
// file is open, just before the bytes go out. Returns a null string on
// success, otherwise the reason in the system's words ("No space left on
// device").
QString writeOutputFile(
    const QString &name, const QByteArray &bytes, const std::function<void()> &writing = {});

// A file written a line at a time and never replaced: a log. Opening takes
// the targets writeOutputFile() takes (a regular file is appended to, a FIFO
// or character device written as it is) and refuses the same ones. Each
// append() writes its bytes at once, unbuffered, so that a log survives a
// crash of the program it documents.
class AppendFile
{
public:
    AppendFile() = default;
    ~AppendFile();
    AppendFile(const AppendFile &) = delete;
    AppendFile &operator=(const AppendFile &) = delete;

    // Null on success, otherwise why the file cannot be opened.
    QString open(const QString &name);
    bool isOpen() const { return m_fd >= 0; }
    // Null when all of `bytes` went out, otherwise the system's reason.
    QString append(const QByteArray &bytes);

private:
    int m_fd = -1;
};

// The system's text for an errno value, as Qt's file classes word it.
QString systemErrorText(int error);

// Why an existing target of type `mode` cannot be written, or null: a
// folder, a block device or a socket never takes a saved file.
QString refusedTargetKind(mode_t mode);

} // namespace vortalex
