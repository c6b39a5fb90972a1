// SPDX-License-Identifier: GPL-3.0-or-later
#include "topics.h"

namespace vortalex {

QString Topics::state(const Setting &setting) const
{
    return m_base + QLatin1Char('/') + QLatin1String(setting.name) + QStringLiteral("/state");
}

QString Topics::command(const Setting &setting) const
{
    return m_base + QLatin1Char('/') + QLatin1String(setting.name) + QStringLiteral("/set");
}

const Setting *Topics::settingOfCommand(const QString &topic) const
{
    const QString prefix = m_base + QLatin1Char('/');
    const QString suffix = QStringLiteral("/set");
    if (!topic.startsWith(prefix) || !topic.endsWith(suffix))
        return nullptr;
    return findSetting(
        QStringView(topic).mid(prefix.size(), topic.size() - prefix.size() - suffix.size()));
}

QString topicProblem(const QString &topic)
{
    if (topic.isEmpty())
        return QStringLiteral("is empty");
    if (topic.contains(QLatin1Char('+')) || topic.contains(QLatin1Char('#')))
        return QStringLiteral("holds a wildcard (+ or #)");
    if (topic.startsWith(QLatin1Char('/')) || topic.endsWith(QLatin1Char('/')))
        return QStringLiteral("starts or ends with /");
    if (topic.contains(QChar(0)))
        return QStringLiteral("holds a NUL character");
    if (topic.toUtf8().size() > 200)
        return QStringLiteral("is longer than 200 bytes");
    return QString();
}

} // namespace vortalex
