// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/clihost.h"

#include "link/clock.h"
#include "emulated/emulatedbox.h"
#include "emulated/simbridge.h"

#include <functional>

namespace vortalex {

// A virtual clock that tells a test each time the program sleeps, so that
// the test can change the box at given times.
class ScriptedClock : public VirtualClock
{
public:
    using VirtualClock::VirtualClock;
    void sleep(std::uint32_t ms) override
    {
        VirtualClock::sleep(ms);
        if (onSleep)
            onSleep(tickCount());
    }
    std::function<void(std::uint32_t now)> onSleep;
};

// Runs the commands in-process, for tests and the fuzz target: a virtual
// clock, one emulated box for --emulated and another one in place of the box
// on USB, and the output kept in memory.
class MemoryCliHost : public CliHost
{
public:
    Clock &clock() override { return virtualClock; }
    SimBridge &emulatedBridge() override { return sim; }
    UsbBridge &realBridge() override { return real; }
    bool permissionDenied() const override { return denied; }
    void writeOut(const QByteArray &bytes) override { out += bytes; }
    void writeErr(const QByteArray &bytes) override { err += bytes; }
    bool errIsTerminal() const override { return terminal; }
    bool outIsTerminal() const override { return outTerminal; }
    bool outFailed() const override { return outBroken; }

    ScriptedClock virtualClock { 5000 };
    EmulatedBox box { virtualClock };
    SimBridge sim { virtualClock, box };
    EmulatedBox realBox { virtualClock };
    SimBridge real { virtualClock, realBox };
    bool denied = false;
    bool terminal = false;
    bool outTerminal = false;
    bool outBroken = false;
    QByteArray out;
    QByteArray err;
};

} // namespace vortalex
