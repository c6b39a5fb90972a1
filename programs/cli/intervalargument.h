// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// --interval SECONDS of vortalex-cli watch and vortalex-mqtt: 0.1 to 3600
// seconds, fractions allowed, into `ms`. Null when taken; else the message
// that refuses it, and `ms` is left as it was.
QString parseIntervalArgument(const QString &text, unsigned &ms);

} // namespace vortalex
