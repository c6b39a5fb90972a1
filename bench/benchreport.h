// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the start-up programs report to bench_startup: the time since their
// launch and their peak memory, as "key=value" lines on standard output.

#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <ctime>

namespace benchreport {

inline std::int64_t monotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// The launcher puts its clock reading just before the launch into
// VORTALEX_BENCH_LAUNCH_NS; without it, time counts from `fallbackNs`.
inline double msSinceLaunch(std::int64_t fallbackNs)
{
    const char *launch = std::getenv("VORTALEX_BENCH_LAUNCH_NS");
    const std::int64_t start = launch ? std::strtoll(launch, nullptr, 10) : fallbackNs;
    return double(monotonicNs() - start) / 1e6;
}

// Peak resident set size (VmHWM) in KiB.
inline long peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace benchreport
