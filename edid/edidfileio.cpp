// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidfileio.h"

#include "edidfile.h"

#include <QFile>
#include <QSaveFile>

#include <cerrno>

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
    QSaveFile file(name);
    // Where the folder takes no new file (a share, another user's folder) but
    // the file itself is writable, it is written in place instead.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write (a full disk) shows in the count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (writing)
        writing();
    errno = 0;
    const qint64 written = file.write(reinterpret_cast<const char *>(table.data()), kEdidSize);
    const int writeError = errno;
    if (written != kEdidSize) {
        // A short write sets no error on the file; the system's text says why.
        const QString reason = file.error() != QFileDevice::NoError ? file.errorString()
                                                                    : qt_error_string(writeError);
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

} // namespace vortalex
