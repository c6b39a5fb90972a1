// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mqttoptions.h"

#include <QStringList>
#include <optional>

namespace vortalex {

// What the command line asks for: run with `options`, or end at once with
// `exitCode` after printing `output` (--help, --version) or `error`.
struct MqttCommandLine
{
    MqttOptions options;
    std::optional<int> exitCode;
    QString output;
    QString error;
};

// Reads the arguments (program name first), then the --config file and the
// environment's credentials; the command line wins over the file.
MqttCommandLine parseMqttCommandLine(const QStringList &arguments);

QString mqttHelpText();

} // namespace vortalex
