// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace vortalex {

// How a message names the file `name`: "standard input" for "-", "" (two
// quotes) for an empty name, otherwise
// the name as a message quotes a user's argument (escaped, cut to 64
// characters).
QString shownFileName(const QString &name);

// Reads the file `name` ("-" is standard input) from its start, at most
// `maxBytes` bytes (ask for one more than allowed to tell a too large file
// apart). A FIFO or device is read until its end or `maxBytes`. On failure
// false and `reason` says why, without the name: "is a directory", the
// system's words ("No such file or directory"), or "no file name given" for
// an empty name. Qt prints no warning of its own on the way.
bool readInputFile(const QString &name, qint64 maxBytes, QByteArray &content, QString &reason);

} // namespace vortalex
