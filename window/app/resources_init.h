// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Registers the compiled-in images and form copy (":/Vortalex_32.png",
// ":/QT/forms/VortalexForm.ui", ...). They live in a static library, whose
// registration code the linker would otherwise drop. Safe to call repeatedly.
void vortalexInitResources();
