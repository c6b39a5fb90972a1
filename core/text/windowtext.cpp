// SPDX-License-Identifier: GPL-3.0-or-later
#include "windowtext.h"

#include <QCoreApplication>

namespace vortalex {

QString trWindow(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace vortalex
