// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/settingstable.h"

#include <QString>

namespace vortalex {

// The service's topics under the base topic:
//   <base>/availability         online | offline (retained, last will offline)
//   <base>/status               the signal status as "status --json" gives it (retained)
//   <base>/<setting>/state      the setting's value name (retained)
//   <base>/<setting>/set        commands: a value name
class Topics
{
public:
    explicit Topics(const QString &baseTopic)
        : m_base(baseTopic)
    {
    }

    QString availability() const { return m_base + QStringLiteral("/availability"); }
    QString status() const { return m_base + QStringLiteral("/status"); }
    QString state(const Setting &setting) const;
    QString command(const Setting &setting) const;
    // What the service subscribes to: every command topic.
    QString commandFilter() const { return m_base + QStringLiteral("/+/set"); }
    // The setting a command topic names; nullptr for any other topic.
    const Setting *settingOfCommand(const QString &topic) const;

private:
    QString m_base;
};

// A base topic or discovery prefix must be a plain topic: not empty, no
// wildcards, no empty levels at the ends, no NUL. Null when fine, else why not.
QString topicProblem(const QString &topic);

} // namespace vortalex
