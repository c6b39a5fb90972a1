// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "mqttoptions.h"

#include <QString>

namespace vortalex {

// The configuration file (--config FILE): "key = value" lines, "#" comments.
// Keys: host, port, username, password, ca-file, client-id, base-topic,
// discovery-prefix. A file that holds a password is refused when its group
// or others may read it. False and why on the first problem.
bool readMqttConfig(const QString &path, MqttOptions &options, QString &error);

// A TCP port, 1 to 65535, into `port`; false (and `port` unchanged) otherwise.
bool parsePort(const QString &text, int &port);

// VORTALEX_MQTT_USERNAME and VORTALEX_MQTT_PASSWORD, when set, win over the file.
void readMqttCredentialsFromEnvironment(BrokerOptions &broker);

} // namespace vortalex
