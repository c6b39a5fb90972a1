// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/processhost.h"

namespace vortalex {

// What the service's box connection runs on: vortalex-cli's process host
// (system clock, libusb or the emulated box), with every message of the
// session in the service's log.
class ServiceHost : public ProcessHost
{
public:
    QString programName() const override { return QStringLiteral("vortalex-mqtt"); }
    void writeOut(const QByteArray &bytes) override;
    void writeErr(const QByteArray &bytes) override;
    bool errIsTerminal() const override { return false; }
};

} // namespace vortalex
