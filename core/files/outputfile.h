// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

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
// is refused. `writing` runs once the file is open, just before the bytes go
// out. Returns a null string on success, otherwise the reason.
QString writeOutputFile(
    const QString &name, const QByteArray &bytes, const std::function<void()> &writing = {});

} // namespace vortalex
