// SPDX-License-Identifier: GPL-3.0-or-later
#include "inputfile.h"

#include "outputfile.h"
#include "text/echoedtext.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vortalex {

QString shownFileName(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("\"\"");
    return name == QLatin1String("-") ? QStringLiteral("standard input") : echoedText(name);
}

bool readInputFile(const QString &name, qint64 maxBytes, QByteArray &content, QString &reason)
{
    content.clear();
    if (name.isEmpty()) {
        reason = QStringLiteral("no file name given");
        return false;
    }
    const bool standardInput = name == QLatin1String("-");
    const int fd = standardInput
        ? STDIN_FILENO
        : ::open(QFile::encodeName(name).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
    const auto failWith = [&](const QString &why) {
        if (fd >= 0 && !standardInput)
            ::close(fd);
        content.clear();
        reason = why;
        return false;
    };
    if (fd < 0)
        return failWith(systemErrorText(errno));
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return failWith(systemErrorText(errno));
    if (S_ISDIR(info.st_mode))
        return failWith(QStringLiteral("is a directory"));
    constexpr qint64 kChunk = 64 * 1024;
    while (content.size() < maxBytes) {
        const qint64 want = std::min(kChunk, maxBytes - content.size());
        const qsizetype at = content.size();
        content.resize(at + want);
        const ssize_t n = ::read(fd, content.data() + at, std::size_t(want));
        if (n < 0 && errno == EINTR) {
            content.resize(at);
            continue;
        }
        if (n < 0)
            return failWith(systemErrorText(errno));
        content.resize(at + n);
        if (n == 0)
            break;
    }
    if (!standardInput)
        ::close(fd);
    return true;
}

} // namespace vortalex
