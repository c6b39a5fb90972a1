// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "boxedid/edidtext.h"
#include "settings/settingstable.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>
#include <optional>

namespace vortalex {

// The file "settings save" writes and "settings load" reads: a small JSON
// object
//   {"format": "vortalex-settings", "version": 1,
//    "settings": {"active-input": "port-a", "custom-edid": 0, ...},
//    "edid": "00ffffffffffff00..."}
// with every setting under its name and its value as "set" takes it, and,
// when saved with --edid, the box's 256 EDID bytes as hex.
constexpr int kSettingsFileVersion = 1;

struct SettingValuePair
{
    const Setting *setting;
    std::uint8_t value;
};

struct SettingsFile
{
    QList<SettingValuePair> settings; // in the settings table's order
    std::optional<EdidTable> edid;
};

// A setting's value as JSON: its name, or its number when it has none.
QJsonValue settingJsonValue(const Setting &setting, std::uint8_t value);

QByteArray settingsFileText(const SettingsFile &file);

// Reads the whole file; on the first problem false and a message naming the
// key. A file holding a subset of the settings is fine.
bool parseSettingsFile(const QByteArray &text, SettingsFile &file, QString &error);

} // namespace vortalex
