// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "emulatedbox.h"

#include <QString>

namespace vortalex {

// The emulated box's state kept between runs of vortalex-cli --emulated: a
// small JSON file of hex strings.

// Where vortalex-cli --emulated keeps the box when no --emulated-state names
// a file: $XDG_RUNTIME_DIR/vortalex-emulated.json when that folder is
// usable; otherwise $XDG_STATE_HOME/vortalex/emulated-box.json, falling back
// to ~/.local/state/vortalex/emulated-box.json (the folders are made, mode
// 0700). Empty when none can be used; `problem` then says why.
QString defaultEmulatedStatePath(QString &problem);

// Null when `state` was written to `path` (through writeOutputFile(): a
// regular file replaced atomically); else the system's reason.
QString saveEmulatedState(const QString &path, const EmulatedBoxState &state);

// Reads `path` into `state`. A missing or empty file, a FIFO or a device node
// leaves `state` as it is and succeeds; a file that is not such a state gives
// false and the reason.
bool loadEmulatedState(const QString &path, EmulatedBoxState &state, QString &error);

} // namespace vortalex
