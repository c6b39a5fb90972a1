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

// Saves the 256 bytes of `table` as the file `name`. The bytes are written
// beside the old file and renamed over it only when complete, so that a
// failed save leaves the old file as it was (in a folder that takes no new
// file, the file is written in place). `writing` runs once the file is
// open, just before the bytes go out. Returns a null string on success,
// otherwise the reason.
QString saveEdidTable(
    const QString &name, const EdidTable &table, const std::function<void()> &writing = {});

} // namespace vortalex
