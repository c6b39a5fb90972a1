// SPDX-License-Identifier: GPL-3.0-or-later
#include "logging.h"

// Warnings pass by default; debug and info lines only when asked for.
Q_LOGGING_CATEGORY(lcUsb, "vortalex.usb", QtWarningMsg)
Q_LOGGING_CATEGORY(lcLink, "vortalex.link", QtWarningMsg)

namespace vortalex {

void enableVerboseLogging()
{
    QLoggingCategory::setFilterRules(QStringLiteral("vortalex.*=true"));
}

} // namespace vortalex
