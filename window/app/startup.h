// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "appcontext.h"

class QApplication;

namespace vortalex {

// Horizontal logical DPI of the primary screen divided by 96 (96 dpi gives 1.0).
float screenScaleFactor();

// The common start-up of both programs: creates the window (which finds the
// box and reads it), measures the display scale factor, installs the style
// sheet, shows the window and runs the event loop. Returns its exit code.
int runApplication(QApplication &app, AppContext &context);

constexpr const char *kApplicationStyleSheet = "QTextEdit#EDIDtext { font: 11px }";

} // namespace vortalex
