// SPDX-License-Identifier: GPL-3.0-or-later
#include "outputfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vortalex {

namespace {

QString systemText(int error)
{
    return qt_error_string(error);
}

// Null when the existing target of type `mode` may be written.
QString existingTargetProblem(const QString &name, mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISBLK(mode))
        return QStringLiteral("it is a block device; a saved file never goes onto a disk");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    if (::access(QFile::encodeName(name).constData(), W_OK) == 0)
        return QString();
    const int error = errno;
    // A regular file in a folder that takes new files is replaced, even when
    // the file itself is read-only, as the atomic save always did.
    if (S_ISREG(mode)) {
        const QByteArray folder = QFile::encodeName(QFileInfo(name).absolutePath());
        if (::access(folder.constData(), W_OK | X_OK) == 0)
            return QString();
    }
    return systemText(error);
}

} // namespace

QString outputTargetProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("no file name");
    struct stat info {};
    if (::stat(QFile::encodeName(name).constData(), &info) == 0)
        return existingTargetProblem(name, info.st_mode);
    if (errno != ENOENT)
        return systemText(errno);
    const QString folder = QFileInfo(name).absolutePath();
    const QByteArray encoded = QFile::encodeName(folder);
    if (::stat(encoded.constData(), &info) != 0)
        return QStringLiteral("the folder %1 does not exist").arg(folder);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(folder);
    if (::access(encoded.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("the folder %1 takes no new file: %2").arg(folder, systemText(errno));
    return QString();
}

QString writeOutputFile(
    const QString &name, const QByteArray &bytes, const std::function<void()> &writing)
{
    struct stat info {};
    const bool exists = ::stat(QFile::encodeName(name).constData(), &info) == 0;
    std::unique_ptr<QFileDevice> file;
    QSaveFile *saveFile = nullptr;
    // A folder is left to QSaveFile, whose words the window shows.
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        // A device node or FIFO is written as it is, never replaced by a file.
        const QString problem = existingTargetProblem(name, info.st_mode);
        if (!problem.isNull())
            return problem;
        file = std::make_unique<QFile>(name);
    } else {
        auto save = std::make_unique<QSaveFile>(name);
        // Where the folder takes no new file (a share, another user's folder)
        // but the file itself is writable, it is written in place instead.
        save->setDirectWriteFallback(true);
        saveFile = save.get();
        file = std::move(save);
    }
    // Unbuffered, so that a short write (a full disk) shows in the count.
    if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file->errorString();
    if (writing)
        writing();
    errno = 0;
    const qint64 written = file->write(bytes);
    const int writeError = errno;
    if (written != bytes.size()) {
        // A short write sets no error on the file; the system's text says why.
        const QString reason
            = file->error() != QFileDevice::NoError ? file->errorString() : systemText(writeError);
        if (saveFile)
            saveFile->cancelWriting();
        return reason;
    }
    if (saveFile && !saveFile->commit())
        return saveFile->errorString();
    return QString();
}

} // namespace vortalex
