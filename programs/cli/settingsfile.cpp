// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsfile.h"

#include "text/didyoumean.h"

#include "boxedid/edidwritecheck.h"

#include "text/echoedtext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cctype>

namespace vortalex {

namespace {

const QString kFormat = QStringLiteral("vortalex-settings");

QStringList settingNames()
{
    QStringList names;
    for (const Setting &setting : settingTable())
        names.append(QString::fromLatin1(setting.name));
    return names;
}

bool parseSettings(const QJsonObject &object, SettingsFile &file, QString &error)
{
    for (const Setting &setting : settingTable()) {
        const QString name = QString::fromLatin1(setting.name);
        if (!object.contains(name))
            continue;
        const QJsonValue value = object.value(name);
        std::optional<std::uint8_t> number;
        if (value.isString())
            number = settingValueFromText(setting, value.toString());
        else if (value.isDouble() && value.toDouble() == double(value.toInt()))
            number = settingValueFromText(setting, QString::number(value.toInt()));
        if (!number) {
            error = QStringLiteral("settings.%1 takes %2, not %3")
                        .arg(name, settingValueNames(setting).join(QLatin1String(", ")),
                            QString::fromUtf8(
                                QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact))
                                .mid(1)
                                .chopped(1)
                                .left(60));
            return false;
        }
        file.settings.append({ &setting, *number });
    }
    const QStringList names = settingNames();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!names.contains(it.key())) {
            error = QStringLiteral("unknown setting \"settings.%1\"%2")
                        .arg(echoedText(it.key()), didYouMean(it.key(), names));
            return false;
        }
    }
    return true;
}

bool parseEdid(const QJsonValue &value, SettingsFile &file, QString &error)
{
    // "00ffff..." as settings save writes it; "00 FF FF ..." as edid read
    // --json printed it before.
    const QByteArray hex = value.toString().toLatin1().replace(' ', QByteArray());
    const bool hexOnly
        = std::all_of(hex.begin(), hex.end(), [](char c) { return isxdigit(uchar(c)); });
    if (!value.isString() || hex.size() != 2 * kEdidSize || !hexOnly) {
        error = QStringLiteral("edid takes the 256 bytes of an EDID table as 512 hex digits");
        return false;
    }
    EdidTable table {};
    const QByteArray bytes = QByteArray::fromHex(hex);
    std::copy(bytes.begin(), bytes.end(), table.begin());
    // The checks edid write makes, with no --force or --fix-checksums to
    // override them: a file is loaded as it is or not at all.
    const QString fitProblem = edidBoxFitProblem(kEdidSize, table);
    if (!fitProblem.isNull()) {
        error = QStringLiteral("edid: %1").arg(fitProblem);
        return false;
    }
    if (checkEdidWrite(kEdidSize, table).verdict == EdidWriteVerdict::HeaderMissing) {
        error = QStringLiteral("edid: the table does not start with the EDID header");
        return false;
    }
    if (!tablePassesChecksums(table)) {
        error = QStringLiteral("edid: the EDID Checksum is not correct");
        return false;
    }
    file.edid = table;
    return true;
}

// "line 3, column 14: unterminated object": where Qt's parser stopped and
// why, counted in characters from 1.
QString jsonParseProblem(const QByteArray &text, const QJsonParseError &parseError)
{
    const int offset = std::clamp(parseError.offset, 0, int(text.size()));
    const QByteArray before = text.left(offset);
    const int lineStart = int(before.lastIndexOf('\n')) + 1;
    const int line = int(before.count('\n')) + 1;
    const int column = int(QString::fromUtf8(before.mid(lineStart)).size()) + 1;
    // Qt names what it found where the text ended; say it ended.
    const bool ended = text.mid(offset).trimmed().isEmpty()
        && parseError.error != QJsonParseError::GarbageAtEnd;
    const QString reason = parseError.error == QJsonParseError::IllegalUTF8String
        ? QStringLiteral("not valid UTF-8")
        : ended ? QStringLiteral("the JSON ends too early (%1)").arg(parseError.errorString())
                : parseError.errorString();
    return QStringLiteral("line %1, column %2: %3").arg(line).arg(column).arg(reason);
}

} // namespace

QJsonValue settingJsonValue(const Setting &setting, std::uint8_t value)
{
    const SettingValue *entry = findSettingValue(setting, value);
    if (entry && entry->name)
        return QString::fromLatin1(entry->name);
    return int(value);
}

QByteArray settingsFileText(const SettingsFile &file)
{
    QJsonObject settings;
    for (const SettingValuePair &pair : file.settings)
        settings.insert(
            QString::fromLatin1(pair.setting->name), settingJsonValue(*pair.setting, pair.value));
    QJsonObject object { { QStringLiteral("format"), kFormat },
        { QStringLiteral("version"), kSettingsFileVersion },
        { QStringLiteral("settings"), settings } };
    if (file.edid)
        object.insert(QStringLiteral("edid"),
            QString::fromLatin1(
                QByteArray(reinterpret_cast<const char *>(file.edid->data()), kEdidSize).toHex()));
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

bool parseSettingsFile(const QByteArray &text, SettingsFile &file, QString &error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        error = text.trimmed().isEmpty() ? QStringLiteral("the file is empty")
                                         : jsonParseProblem(text, parseError);
        return false;
    }
    const QJsonObject object = document.object();
    if (!document.isObject() || object.value(QStringLiteral("format")) != kFormat) {
        error = QStringLiteral("not a settings file of vortalex-cli settings save");
        return false;
    }
    const QJsonValue version = object.value(QStringLiteral("version"));
    if (!version.isDouble() || version.toInt() < 1) {
        error = QStringLiteral("version takes a whole number from 1");
        return false;
    }
    if (version.toInt() > kSettingsFileVersion) {
        error = QStringLiteral("version %1 is newer than this program reads (%2)")
                    .arg(version.toInt())
                    .arg(kSettingsFileVersion);
        return false;
    }
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QStringList known { QStringLiteral("format"), QStringLiteral("version"),
            QStringLiteral("settings"), QStringLiteral("edid") };
        if (!known.contains(it.key())) {
            error = QStringLiteral("unknown key \"%1\"%2")
                        .arg(echoedText(it.key()), didYouMean(it.key(), known));
            return false;
        }
    }
    if (!object.value(QStringLiteral("settings")).isObject()) {
        error = QStringLiteral("settings takes an object of setting names and values");
        return false;
    }
    if (!parseSettings(object.value(QStringLiteral("settings")).toObject(), file, error))
        return false;
    return !object.contains(QStringLiteral("edid"))
        || parseEdid(object.value(QStringLiteral("edid")), file, error);
}

} // namespace vortalex
