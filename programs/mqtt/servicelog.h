// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// One line on standard error, "vortalex-mqtt: <line>", control characters
// escaped: the service runs in the foreground and systemd's journal keeps
// what it says.
void logLine(const QString &line);

} // namespace vortalex
