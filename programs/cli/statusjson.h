// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/statusread.h"

#include <QJsonObject>
#include <QStringList>

namespace vortalex {

// The window's four status lines.
QStringList signalStatusLines(const SignalStatusPages &pages);

// Every fact of the status lines as a typed key, and the captured HDR and
// AVI InfoFrames decoded as "infoframe decode" gives them (null when none
// was captured).
QJsonObject signalStatusJson(const SignalStatusPages &pages);

} // namespace vortalex
