// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

namespace vortalex {

class Clock;

// One vortalex-cli --emulated at a time holds the emulated box, as one
// program at a time holds the real one: an flock on "<state file>.lock"
// beside the state, held from reading the state to writing it back, so that
// two commands run at once lose no change.
class EmulatedStateLock
{
public:
    enum class Outcome {
        Locked, // held until the lock is destroyed
        InUse, // another run held it all the time waited
        Failed, // no lock file can be made there; see error()
    };

    EmulatedStateLock() = default;
    ~EmulatedStateLock();
    EmulatedStateLock(const EmulatedStateLock &) = delete;
    EmulatedStateLock &operator=(const EmulatedStateLock &) = delete;

    // Takes the lock of the state `statePath`, trying again on `clock` for
    // up to `waitMs` while another run holds it. A state that is a FIFO or
    // device node (/dev/null) keeps nothing to lose and needs no lock.
    Outcome lock(const QString &statePath, Clock &clock, std::uint32_t waitMs);
    QString error() const { return m_error; }

    static QString lockFilePath(const QString &statePath);

private:
    int m_fd = -1;
    QString m_error;
};

} // namespace vortalex
