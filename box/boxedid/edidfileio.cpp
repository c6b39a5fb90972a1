// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidfileio.h"

#include "edidfile.h"
#include "files/outputfile.h"

#include <QFile>

namespace vortalex {

bool readEdidFileHead(const QString &name, QByteArray &head, QString &reason)
{
    QFile file(name);
    head.clear();
    if (file.open(QIODevice::ReadOnly))
        head = file.read(kEdidFileProbeSize);
    if (file.error() == QFileDevice::NoError)
        return true;
    reason = file.errorString();
    return false;
}

QString saveEdidTable(
    const QString &name, const EdidTable &table, const std::function<void()> &writing)
{
    return writeOutputFile(
        name, QByteArray(reinterpret_cast<const char *>(table.data()), kEdidSize), writing);
}

} // namespace vortalex
