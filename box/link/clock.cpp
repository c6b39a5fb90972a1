// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <QThread>

namespace vortalex {

SystemClock::SystemClock()
{
    m_timer.start();
}

std::uint32_t SystemClock::tickCount()
{
    return static_cast<std::uint32_t>(m_timer.elapsed());
}

void SystemClock::sleep(std::uint32_t ms)
{
    QThread::msleep(ms);
}

} // namespace vortalex
