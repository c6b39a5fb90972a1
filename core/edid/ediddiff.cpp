// SPDX-License-Identifier: GPL-3.0-or-later
#include "ediddiff.h"

#include "edidreport.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace vortalex {

namespace {

bool isPlain(const QJsonValue &value)
{
    if (value.isArray())
        return false;
    if (!value.isObject())
        return true;
    const QJsonObject object = value.toObject();
    return std::none_of(object.begin(), object.end(),
        [](const QJsonValue &v) { return v.isObject() || v.isArray(); });
}

bool allPlain(const QJsonArray &array)
{
    return std::all_of(array.begin(), array.end(), isPlain);
}

void compare(const QString &path, const QJsonValue &a, const QJsonValue &b, QList<EdidFact> &facts)
{
    if (a == b)
        return;
    const auto child
        = [&path](const QString &key) { return path.isEmpty() ? key : path + u'.' + key; };
    if (a.isObject() && b.isObject()) {
        const QJsonObject ao = a.toObject();
        const QJsonObject bo = b.toObject();
        for (auto it = ao.begin(); it != ao.end(); ++it)
            compare(child(it.key()), *it, bo.value(it.key()), facts);
        for (auto it = bo.begin(); it != bo.end(); ++it) {
            if (!ao.contains(it.key()))
                compare(child(it.key()), QJsonValue(), *it, facts);
        }
        return;
    }
    if (a.isArray() && b.isArray()) {
        const QJsonArray aa = a.toArray();
        const QJsonArray ba = b.toArray();
        if (aa.size() == ba.size() && !(allPlain(aa) && allPlain(ba))) {
            for (int i = 0; i < aa.size(); ++i)
                compare(QStringLiteral("%1[%2]").arg(path).arg(i), aa.at(i), ba.at(i), facts);
            return;
        }
    }
    facts.append({ path, a, b });
}

} // namespace

QList<EdidFact> diffEdidJson(const QJsonObject &before, const QJsonObject &after)
{
    QList<EdidFact> facts;
    compare(QString(), before, after, facts);
    return facts;
}

QList<EdidFact> diffEdid(const QByteArray &before, const QByteArray &after)
{
    return diffEdidJson(edidToJson(decodeEdid(before)), edidToJson(decodeEdid(after)));
}

QString factText(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QJsonValue::Double:
        return QString::number(value.toDouble());
    case QJsonValue::String:
        return value.toString();
    case QJsonValue::Array:
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    case QJsonValue::Object:
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    }
    return QString();
}

} // namespace vortalex
