// SPDX-License-Identifier: GPL-3.0-or-later
#include "programinfo.h"

#include <QCoreApplication>
#include <QString>

namespace vortalex {

const char *programVersion()
{
    return VORTALEX_VERSION;
}

void setProgramInfo(const char *programName)
{
    QCoreApplication::setApplicationName(QString::fromLatin1(programName));
    QCoreApplication::setApplicationVersion(QString::fromLatin1(programVersion()));
    QCoreApplication::setOrganizationName(QStringLiteral("VORTALEX"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("vortalex.org"));
}

} // namespace vortalex
