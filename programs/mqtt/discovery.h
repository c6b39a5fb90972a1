// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "topics.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vortalex {

// One retained Home Assistant discovery message.
struct DiscoveryMessage
{
    QString topic;
    QByteArray payload; // compact JSON
};

// What the discovery messages say about the box.
struct DiscoveryDevice
{
    QString id; // the device's identifier; also the prefix of every unique_id
    QString firmware; // sw_version; empty while the box was never read
};

// The device identifier for a base topic: one service, one box, one device,
// so two services on two base topics give two devices.
QString deviceIdForBaseTopic(const QString &baseTopic);

// A setting with exactly the values off (0) and on (1) is a switch; every
// other setting is a select of its value names.
bool isOnOffSetting(const Setting &setting);

// The config messages under `prefix`: one per row of the settings table and
// one per signal status sensor, each with the device block and availability.
QList<DiscoveryMessage> discoveryMessages(
    const Topics &topics, const QString &prefix, const DiscoveryDevice &device);

} // namespace vortalex
