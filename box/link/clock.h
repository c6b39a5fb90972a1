// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <cstdint>

namespace vortalex {

// Millisecond tick count (32 bits, wrapping) and sleep. The program runs on
// SystemClock; tests use VirtualClock so that time-outs and pauses cost no
// real time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual std::uint32_t tickCount() = 0;
    virtual void sleep(std::uint32_t ms) = 0;
};

class SystemClock : public Clock
{
public:
    SystemClock();
    std::uint32_t tickCount() override;
    void sleep(std::uint32_t ms) override;

private:
    QElapsedTimer m_timer;
};

// Time moves only when someone sleeps or advances it.
class VirtualClock : public Clock
{
public:
    explicit VirtualClock(std::uint32_t start = 0) : m_now(start) { }
    std::uint32_t tickCount() override { return m_now; }
    void sleep(std::uint32_t ms) override { m_now += ms; }
    void advance(std::uint32_t ms) { m_now += ms; }
    void set(std::uint32_t now) { m_now = now; }

private:
    std::uint32_t m_now;
};

} // namespace vortalex
