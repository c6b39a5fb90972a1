// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QSize>

// Where a Tools window opens: beside the main window's frame `mainFrame`
// (right, else left) when the screen's available area `screen` has room for
// `wanted`; otherwise in the largest part of the screen beside, above or
// below `keepVisible` (the controls that must stay in sight), as large as
// `wanted` where it fits and never smaller than `minimum`. The rectangle is
// the window's frame.
QRect placeToolWindow(const QSize &wanted, const QSize &minimum, const QRect &mainFrame,
    const QRect &keepVisible, const QRect &screen);
