// SPDX-License-Identifier: GPL-3.0-or-later
#include "standardoutput.h"

#include "outputfile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <stdio_ext.h>
#include <unistd.h>

namespace vortalex {

namespace {

// The first write failure's errno; 0 while all went out.
int g_writeError = 0;
// Standard output was closed when the program started.
bool g_startedClosed = false;

void remember(int error)
{
    if (g_writeError == 0)
        g_writeError = error != 0 ? error : EIO;
}

} // namespace

void guardStandardStreams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() takes the lowest free number: this one.
        if (::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY) == fd
            && fd == STDOUT_FILENO)
            g_startedClosed = true;
    }
}

void writeStandardOutput(const QByteArray &bytes, bool flush)
{
    if (g_startedClosed) {
        if (!bytes.isEmpty())
            remember(EBADF);
        return;
    }
    errno = 0;
    if (!bytes.isEmpty()
        && std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout)
            != std::size_t(bytes.size()))
        remember(errno);
    errno = 0;
    if (flush && std::fflush(stdout) != 0)
        remember(errno);
}

bool standardOutputFailed()
{
    return g_writeError != 0;
}

QString closeStandardOutput()
{
    const bool pending = __fpending(stdout) != 0;
    const bool failedBefore = std::ferror(stdout) != 0;
    errno = 0;
    const bool closeFailed = std::fclose(stdout) != 0;
    const int closeError = errno;
    if (g_writeError != 0)
        return systemErrorText(g_writeError);
    // EBADF with nothing to write: started with standard output closed.
    if (closeFailed && (pending || closeError != EBADF))
        return systemErrorText(closeError);
    if (failedBefore)
        return systemErrorText(EIO);
    return QString();
}

int finishStandardOutput(const char *program, int exitCode)
{
    const QString reason = closeStandardOutput();
    if (reason.isNull())
        return exitCode;
    std::fprintf(stderr, "%s: cannot write standard output: %s\n", program,
        reason.toLocal8Bit().constData());
    return exitCode == 0 ? 2 : exitCode;
}

bool standardOutputIsTerminal()
{
    return ::isatty(STDOUT_FILENO) == 1;
}

QString binaryToTerminalRefusal(const QString &hint)
{
    return QStringLiteral("binary data is not written to a terminal; %1").arg(hint);
}

} // namespace vortalex
