// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

namespace vortalex {

// One decoded fact that differs between two tables: its path in the JSON
// report ("name", "extensions[0].vics", "extensions[0].hdmi.max_tmds_mhz")
// and its value before and after (null where the fact is absent).
struct EdidFact
{
    QString fact;
    QJsonValue before;
    QJsonValue after;
};

// The facts that differ between two JSON reports of edidToJson, in the
// order of the first. Objects open into their keys, and lists of equal
// length with nested parts into their items; any other list that differs is
// one fact, so that one VIC added is one difference, not a shifted list.
QList<EdidFact> diffEdidJson(const QJsonObject &before, const QJsonObject &after);
QList<EdidFact> diffEdid(const QByteArray &before, const QByteArray &after);

// A value as one short text: "null", "42", "FOO", "[16, 4]".
QString factText(const QJsonValue &value);

} // namespace vortalex
