// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulatedstatelock.h"

#include "files/outputfile.h"
#include "link/clock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortalex {

namespace {

// How often a waiting run tries the lock again.
constexpr std::uint32_t kRetryMs = 20;

} // namespace

EmulatedStateLock::~EmulatedStateLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the flock
}

QString EmulatedStateLock::lockFilePath(const QString &statePath)
{
    return statePath + QStringLiteral(".lock");
}

EmulatedStateLock::Outcome EmulatedStateLock::lock(
    const QString &statePath, Clock &clock, std::uint32_t waitMs)
{
    struct stat info {};
    if (::stat(QFile::encodeName(statePath).constData(), &info) == 0 && !S_ISREG(info.st_mode))
        return Outcome::Locked;
    const QByteArray name = QFile::encodeName(lockFilePath(statePath));
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0600);
    if (fd < 0) {
        m_error = systemErrorText(errno);
        return Outcome::Failed;
    }
    const std::uint32_t start = clock.tickCount();
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK) {
            m_error = systemErrorText(errno);
            ::close(fd);
            return Outcome::Failed;
        }
        if (std::uint32_t(clock.tickCount() - start) >= waitMs) {
            ::close(fd);
            return Outcome::InUse;
        }
        clock.sleep(kRetryMs);
    }
    m_fd = fd;
    return Outcome::Locked;
}

} // namespace vortalex
