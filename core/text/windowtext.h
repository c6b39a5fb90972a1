// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// Texts of the window pass through translation with the context "MainWindow",
// whichever layer words them; mark them with QT_TRANSLATE_NOOP("MainWindow", ...)
// where they are not passed here directly.
QString trWindow(const char *text);

} // namespace vortalex
