// SPDX-License-Identifier: GPL-3.0-or-later
#include "framelog.h"

#include "text/echoedtext.h"

#include <QCoreApplication>

#include <cstdio>

namespace vortalex {

QString hexBytes(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

QString frameLogLine(const FrameLogEntry &entry, std::uint32_t startMs)
{
    const char *dir = entry.direction == FrameLogEntry::Direction::ToBox ? ">" : "<";
    // Unsigned difference: survives a wrap of the tick counter.
    return QStringLiteral("%1 %2 %3")
        .arg(std::uint32_t(entry.timeMs - startMs))
        .arg(QLatin1String(dir), hexBytes(entry.bytes));
}

FrameLogFile::FrameLogFile() = default;
FrameLogFile::~FrameLogFile() = default;

bool FrameLogFile::open(const QString &path, QString &error)
{
    error = m_file.open(path);
    if (!error.isNull())
        return false;
    m_path = path;
    m_errorReported = false;
    return true;
}

bool FrameLogFile::isOpen() const
{
    return m_file.isOpen();
}

void FrameLogFile::append(const FrameLogEntry &entry)
{
    // After the one report, nothing more is tried: each line would fail alike.
    if (!m_file.isOpen() || m_errorReported)
        return;
    const QString reason = m_file.append(frameLogLine(entry, m_startMs).toLatin1() + '\n');
    if (reason.isNull())
        return;
    m_errorReported = true;
    const QString report
        = QStringLiteral("cannot write the frame log %1: %2").arg(echoedText(m_path), reason);
    if (m_errorSink)
        m_errorSink(report);
    else
        std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
            qPrintable(report));
}

std::function<void(const FrameLogEntry &)> FrameLogFile::observer()
{
    return [this](const FrameLogEntry &entry) { append(entry); };
}

} // namespace vortalex
