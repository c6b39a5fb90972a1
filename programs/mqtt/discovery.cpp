// SPDX-License-Identifier: GPL-3.0-or-later
#include "discovery.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace vortalex {

namespace {

// The sensors read the status topic, which holds what "status --json" gives
// for the signal: the window's lines and the decoded facts.
struct StatusSensor
{
    const char *key;
    const char *name;
    const char *valueTemplate;
    const char *unit; // nullptr for text
};

// Templates name every value by its full path, so that a test can check
// each one against the status message.
const StatusSensor kStatusSensors[] = {
    { "input_format", "Input format",
        "{{ '%sx%s%s%s' % (value_json.signal.width, value_json.signal.height, 'i' if "
        "value_json.signal.interlaced else 'p', value_json.signal.refresh) if "
        "value_json.signal.width else 'none' }}",
        nullptr },
    { "link", "Link", "{{ value_json.signal.link or 'none' }}", nullptr },
    { "outputs", "Outputs",
        "{{ 'A+B' if value_json.signal.outputs.tx_a and value_json.signal.outputs.tx_b else 'A' "
        "if value_json.signal.outputs.tx_a else 'B' if value_json.signal.outputs.tx_b else "
        "'none' }}",
        nullptr },
    { "colour_space", "Colour space",
        "{{ value_json.signal.color_format }} {{ value_json.signal.colorimetry }}", nullptr },
    { "hdr", "HDR", "{{ 'on' if value_json.signal.hdr_active else 'off' }}", nullptr },
    { "hdr_eotf", "HDR EOTF",
        "{{ value_json.signal.hdr_infoframe.eotf if value_json.signal.hdr_infoframe else "
        "'none' }}",
        nullptr },
    { "hdr_max_cll", "HDR MaxCLL",
        "{{ value_json.signal.hdr_infoframe.max_cll if value_json.signal.hdr_infoframe else "
        "None }}",
        "cd/m²" },
    { "source", "Source",
        "{{ (value_json.signal.source.vendor ~ ' ' ~ value_json.signal.source.product) | trim "
        "}}",
        nullptr },
};

// "edid-hdr" -> "EDID HDR", "active-input" -> "Active input": the setting's
// command-line name as a label.
QString entityName(const char *settingName)
{
    static const QStringList kAcronyms = { QStringLiteral("edid"), QStringLiteral("hdr"),
        QStringLiteral("hdcp"), QStringLiteral("cec"), QStringLiteral("avi"), QStringLiteral("avr"),
        QStringLiteral("led"), QStringLiteral("leds"), QStringLiteral("bt2020"),
        QStringLiteral("ycbcr") };
    QStringList words = QString::fromLatin1(settingName).split(QLatin1Char('-'));
    for (QString &word : words) {
        if (kAcronyms.contains(word))
            word = word == QLatin1String("leds") ? QStringLiteral("LEDs") : word.toUpper();
    }
    words[0][0] = words[0][0].toUpper();
    return words.join(QLatin1Char(' '));
}

QString objectId(const char *name)
{
    return QString::fromLatin1(name).replace(QLatin1Char('-'), QLatin1Char('_'));
}

QJsonObject deviceBlock(const DiscoveryDevice &device)
{
    QJsonObject block { { QStringLiteral("identifiers"), QJsonArray { device.id } },
        { QStringLiteral("name"), QStringLiteral("VORTALEX") },
        { QStringLiteral("model"), QStringLiteral("VORTALEX HDMI box") } };
    if (!device.firmware.isEmpty())
        block.insert(QStringLiteral("sw_version"), device.firmware);
    return block;
}

QJsonObject entity(
    const Topics &topics, const DiscoveryDevice &device, const QString &object, const QString &name)
{
    return { { QStringLiteral("name"), name },
        { QStringLiteral("unique_id"), device.id + QLatin1Char('_') + object },
        { QStringLiteral("object_id"), device.id + QLatin1Char('_') + object },
        { QStringLiteral("availability_topic"), topics.availability() },
        { QStringLiteral("payload_available"), QStringLiteral("online") },
        { QStringLiteral("payload_not_available"), QStringLiteral("offline") },
        { QStringLiteral("device"), deviceBlock(device) } };
}

DiscoveryMessage message(const QString &prefix, const char *component,
    const DiscoveryDevice &device, const QString &object, const QJsonObject &config)
{
    return { QStringLiteral("%1/%2/%3/%4/config")
                 .arg(prefix, QLatin1String(component), device.id, object),
        QJsonDocument(config).toJson(QJsonDocument::Compact) };
}

} // namespace

QString deviceIdForBaseTopic(const QString &baseTopic)
{
    static const QRegularExpression kNotIdCharacters(QStringLiteral("[^A-Za-z0-9_-]"));
    return QString(baseTopic).replace(kNotIdCharacters, QStringLiteral("_"));
}

bool isOnOffSetting(const Setting &setting)
{
    return setting.values.size() == 2 && setting.values[0].number == 0
        && setting.values[1].number == 1 && qstrcmp(setting.values[0].name, "off") == 0
        && qstrcmp(setting.values[1].name, "on") == 0;
}

QList<DiscoveryMessage> discoveryMessages(
    const Topics &topics, const QString &prefix, const DiscoveryDevice &device)
{
    QList<DiscoveryMessage> messages;
    for (const Setting &setting : settingTable()) {
        const QString object = objectId(setting.name);
        QJsonObject config = entity(topics, device, object, entityName(setting.name));
        config.insert(QStringLiteral("state_topic"), topics.state(setting));
        config.insert(QStringLiteral("command_topic"), topics.command(setting));
        // The active input is what the box is for; the rest is its configuration.
        if (setting.id != SettingId::ActiveInput)
            config.insert(QStringLiteral("entity_category"), QStringLiteral("config"));
        const bool onOff = isOnOffSetting(setting);
        if (onOff) {
            config.insert(QStringLiteral("payload_on"), QStringLiteral("on"));
            config.insert(QStringLiteral("payload_off"), QStringLiteral("off"));
            config.insert(QStringLiteral("state_on"), QStringLiteral("on"));
            config.insert(QStringLiteral("state_off"), QStringLiteral("off"));
        } else {
            config.insert(
                QStringLiteral("options"), QJsonArray::fromStringList(settingValueNames(setting)));
        }
        messages.append(message(prefix, onOff ? "switch" : "select", device, object, config));
    }
    for (const StatusSensor &sensor : kStatusSensors) {
        const QString object = QString::fromLatin1(sensor.key);
        QJsonObject config = entity(topics, device, object, QString::fromUtf8(sensor.name));
        config.insert(QStringLiteral("state_topic"), topics.status());
        config.insert(QStringLiteral("value_template"), QString::fromUtf8(sensor.valueTemplate));
        if (sensor.unit)
            config.insert(QStringLiteral("unit_of_measurement"), QString::fromUtf8(sensor.unit));
        messages.append(message(prefix, "sensor", device, object, config));
    }
    return messages;
}

} // namespace vortalex
