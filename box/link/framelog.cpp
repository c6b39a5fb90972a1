// SPDX-License-Identifier: GPL-3.0-or-later
#include "framelog.h"

#include <QCoreApplication>
#include <QFile>

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
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        error = file->errorString();
        return false;
    }
    m_file = std::move(file);
    m_path = path;
    m_errorReported = false;
    return true;
}

bool FrameLogFile::isOpen() const
{
    return m_file != nullptr;
}

void FrameLogFile::append(const FrameLogEntry &entry)
{
    if (!m_file)
        return;
    const QByteArray line = frameLogLine(entry, m_startMs).toLatin1() + '\n';
    const bool written = m_file->write(line) == line.size() && m_file->flush();
    if (written || m_errorReported)
        return;
    m_errorReported = true;
    const QString report
        = QStringLiteral("cannot write the frame log %1: %2").arg(m_path, m_file->errorString());
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
