// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulatedbox.h"

#include <QString>

namespace vortalex {

// The emulated box's state kept between runs of vortalex-cli --emulated: a
// small JSON file of hex strings.

// Null when `state` was written to `path` (replaced atomically); else why not.
QString saveEmulatedState(const QString &path, const EmulatedBoxState &state);

// Reads `path` into `state`. A missing file leaves `state` as it is and
// succeeds; a file that is not such a state gives false and the reason.
bool loadEmulatedState(const QString &path, EmulatedBoxState &state, QString &error);

} // namespace vortalex
