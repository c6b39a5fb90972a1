// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// Where the broker is and how to log in; credentials come from the
// configuration file or the environment only.
struct BrokerOptions
{
    QString host = QStringLiteral("localhost");
    int port = 1883;
    QString username;
    QString password;
    QString caFile; // TLS with this CA file when set
    QString clientId = QStringLiteral("vortalex-mqtt");
    int keepaliveSeconds = 30;
};

// Everything vortalex-mqtt runs with, after the command line, the
// configuration file and the environment were read.
struct MqttOptions
{
    BrokerOptions broker;
    QString baseTopic = QStringLiteral("vortalex");
    QString discoveryPrefix = QStringLiteral("homeassistant");
    unsigned intervalMs = 3000;
    bool emulated = false;
    QString emulatedState; // --emulated-state; empty: the runtime directory's file
    QString frameLog;
};

} // namespace vortalex
