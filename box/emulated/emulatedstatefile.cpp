// SPDX-License-Identifier: GPL-3.0-or-later
#include "emulatedstatefile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace vortalex {

namespace {

const QString kFormat = QStringLiteral("vortalex-emulated-box");

struct Field
{
    const char *key;
    QByteArray EmulatedBoxState::*bytes;
};

const Field kFields[] = {
    { "box_edid", &EmulatedBoxState::boxEdid },
    { "custom_edid", &EmulatedBoxState::customEdid },
    { "cec_sp", &EmulatedBoxState::storedSp },
    { "cec_lp", &EmulatedBoxState::storedLp },
    { "hdr_infoframe", &EmulatedBoxState::storedHdr },
    { "avi_infoframe", &EmulatedBoxState::storedAvi },
};

bool isHex(const QString &text)
{
    for (const QChar c : text) {
        if (!isxdigit(c.toLatin1()))
            return false;
    }
    return text.size() % 2 == 0;
}

} // namespace

QString saveEmulatedState(const QString &path, const EmulatedBoxState &state)
{
    QJsonObject object { { QStringLiteral("format"), kFormat },
        { QStringLiteral("settings"),
            QString::fromLatin1(QByteArray(
                reinterpret_cast<const char *>(state.settings.data()), int(state.settings.size()))
                                    .toHex()) } };
    for (const Field &field : kFields)
        object.insert(
            QString::fromLatin1(field.key), QString::fromLatin1((state.*field.bytes).toHex()));
    QSaveFile file(path);
    const QByteArray text = QJsonDocument(object).toJson();
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return file.errorString();
    return QString();
}

bool loadEmulatedState(const QString &path, EmulatedBoxState &state, QString &error)
{
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    const QJsonObject object = QJsonDocument::fromJson(file.read(1 << 20)).object();
    const QString settings = object.value(QStringLiteral("settings")).toString();
    EmulatedBoxState read;
    bool ok = object.value(QStringLiteral("format")) == kFormat && isHex(settings)
        && settings.size() == 2 * kSettingCount;
    for (const Field &field : kFields) {
        const QString hex = object.value(QString::fromLatin1(field.key)).toString();
        ok = ok && isHex(hex);
        read.*field.bytes = QByteArray::fromHex(hex.toLatin1());
    }
    if (!ok) {
        error = QStringLiteral("not a state of the emulated box");
        return false;
    }
    const QByteArray bytes = QByteArray::fromHex(settings.toLatin1());
    std::copy(bytes.begin(), bytes.end(), read.settings.begin());
    state = read;
    return true;
}

} // namespace vortalex
