// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidtext.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace vortalex {

// Reads the first kEdidFileProbeSize bytes of the file `name` into `head`.
// On failure (missing, unreadable, a directory) returns false and `reason`
// holds the system's text.
bool readEdidFileHead(const QString &name, QByteArray &head, QString &reason);

// Saves the 256 bytes of `table` as the file `name` through writeOutputFile():
// a regular file is replaced only when complete, a device node or FIFO is
// written directly. `writing` runs once the file is open, just before the
// bytes go out. Returns a null string on success, otherwise the reason.
QString saveEdidTable(
    const QString &name, const EdidTable &table, const std::function<void()> &writing = {});

} // namespace vortalex
