// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "clihost.h"

#include "device/clock.h"
#include "sim/emulatedbox.h"
#include "sim/simbridge.h"

namespace vortalex {

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

    VirtualClock virtualClock { 5000 };
    EmulatedBox box { virtualClock };
    SimBridge sim { virtualClock, box };
    EmulatedBox realBox { virtualClock };
    SimBridge real { virtualClock, realBox };
    bool denied = false;
    bool terminal = false;
    QByteArray out;
    QByteArray err;
};

} // namespace vortalex
