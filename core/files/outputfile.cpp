// SPDX-License-Identifier: GPL-3.0-or-later
#include "outputfile.h"

#include "text/echoedtext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vortalex {

namespace {

QByteArray encoded(const QString &name)
{
    return QFile::encodeName(name);
}

// Null when the existing target of type `mode` may be written.
QString existingTargetProblem(const QString &name, mode_t mode)
{
    const QString refused = refusedTargetKind(mode);
    if (!refused.isNull())
        return refused;
    if (::access(encoded(name).constData(), W_OK) == 0)
        return QString();
    const int error = errno;
    // A regular file in a folder that takes new files is replaced, even when
    // the file itself is read-only, as the atomic save always did.
    if (S_ISREG(mode)) {
        const QByteArray folder = encoded(QFileInfo(name).absolutePath());
        if (::access(folder.constData(), W_OK | X_OK) == 0)
            return QString();
    }
    return systemErrorText(error);
}

// Writes all of `bytes` to `fd`, going on after a signal or a partial write.
// Null on success, otherwise the system's reason.
QString writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return systemErrorText(n < 0 ? errno : ENOSPC);
        data += n;
        left -= n;
    }
    return QString();
}

// Null when the open file `fd` may be written; opening wrote nothing yet.
QString openedTargetProblem(int fd)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return systemErrorText(errno);
    return refusedTargetKind(info.st_mode);
}

// A FIFO or device node: written as it is, never replaced by a file.
QString writeInPlace(
    const QString &name, const QByteArray &bytes, const std::function<void()> &writing)
{
    const int fd = ::open(encoded(name).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return systemErrorText(errno);
    // Checked again on what was opened: the name may have changed meanwhile.
    const QString refused = openedTargetProblem(fd);
    if (!refused.isNull()) {
        ::close(fd);
        return refused;
    }
    if (writing)
        writing();
    QString reason = writeAll(fd, bytes);
    // A device may report its failure only at the close (NFS does too).
    if (::close(fd) != 0 && reason.isNull() && errno != EINTR)
        reason = systemErrorText(errno);
    return reason;
}

} // namespace

QString systemErrorText(int error)
{
    return qt_error_string(error);
}

QString refusedTargetKind(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISBLK(mode))
        return QStringLiteral("it is a block device; a saved file never goes onto a disk");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QString();
}

QString outputTargetProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("no file name");
    struct stat info {};
    if (::stat(encoded(name).constData(), &info) == 0)
        return existingTargetProblem(name, info.st_mode);
    if (errno != ENOENT)
        return systemErrorText(errno);
    // A dangling symbolic link is written through, as QSaveFile and open()
    // do: the folder that must exist is its final target's.
    QFileInfo target(name);
    for (int depth = 0; depth < 40 && target.isSymLink(); ++depth)
        target.setFile(target.symLinkTarget());
    const QString folder = target.absolutePath();
    const QByteArray folderName = encoded(folder);
    if (::stat(folderName.constData(), &info) != 0)
        return QStringLiteral("the folder %1 does not exist").arg(echoedText(folder));
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("%1 is not a folder").arg(echoedText(folder));
    if (::access(folderName.constData(), W_OK | X_OK) != 0)
        return QStringLiteral("the folder %1 takes no new file: %2")
            .arg(echoedText(folder), systemErrorText(errno));
    return QString();
}

QString writeOutputFile(
    const QString &name, const QByteArray &bytes, const std::function<void()> &writing)
{
    if (name.isEmpty())
        return QStringLiteral("no file name");
    struct stat info {};
    const bool exists = ::stat(encoded(name).constData(), &info) == 0;
    // A folder is left to QSaveFile, whose words the window shows.
    if (exists && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode)) {
        const QString problem = existingTargetProblem(name, info.st_mode);
        return problem.isNull() ? writeInPlace(name, bytes, writing) : problem;
    }
    QSaveFile file(name);
    // Where the folder takes no new file (a share, another user's folder)
    // but the file itself is writable, it is written in place instead.
    file.setDirectWriteFallback(true);
    // Unbuffered, so that a short write (a full disk) shows in the count.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return file.errorString();
    if (writing)
        writing();
    errno = 0;
    const qint64 written = file.write(bytes);
    const int writeError = errno;
    if (written != bytes.size()) {
        // A short write sets no error on the file; the system's text says why.
        const QString reason = file.error() != QFileDevice::NoError
            ? file.errorString()
            : systemErrorText(writeError ? writeError : ENOSPC);
        file.cancelWriting();
        return reason;
    }
    // The commit flushes, syncs, closes and renames, and checks each step.
    if (!file.commit())
        return file.errorString();
    return QString();
}

AppendFile::~AppendFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString AppendFile::open(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("no file name");
    // O_APPEND on a regular file; a FIFO or device ignores it, and no seek
    // is ever asked of them. Opening a folder or a socket fails; a block
    // device opens, and is refused before anything is written.
    const int fd = ::open(encoded(name).constData(),
        O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        const QString reason = systemErrorText(errno);
        const QString kind = outputTargetProblem(name);
        return kind.isNull() ? reason : kind;
    }
    const QString refused = openedTargetProblem(fd);
    if (!refused.isNull()) {
        ::close(fd);
        return refused;
    }
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = fd;
    return QString();
}

QString AppendFile::append(const QByteArray &bytes)
{
    return m_fd < 0 ? systemErrorText(EBADF) : writeAll(m_fd, bytes);
}

} // namespace vortalex
