// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// Diagnostic categories of the programs. They say nothing unless switched on,
// with a program's --verbose or with QT_LOGGING_RULES, e.g.
// QT_LOGGING_RULES="vortalex.usb.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcUsb) // vortalex.usb: the libusb back end
Q_DECLARE_LOGGING_CATEGORY(lcLink) // vortalex.link: finding the box and its exchanges

namespace vortalex {

// Turns on every vortalex.* category (what --verbose does). Rules given in
// QT_LOGGING_RULES still win.
void enableVerboseLogging();

} // namespace vortalex
