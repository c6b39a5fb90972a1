#include "settingstable.h"

namespace vortalex {

QStringList inputItems()
{
    return { QStringLiteral("PORT A [TOP]"), QStringLiteral("PORT B [BOT]"),
        QStringLiteral("MATRIX THRU"), QStringLiteral("MATRIX SWAP") };
}

QStringList edidPresetItems()
{
    return { QStringLiteral("Custom Uploaded/Default EDID"),
        QStringLiteral("4k30-444 300MHz All Sound"), QStringLiteral("4k30-RGB 300MHz All Sound"),
        QStringLiteral("4k60-420 8-bit 300MHz All Sound"),
        QStringLiteral("4k60-420 10-bit HDR BT.2020 All Sound"),
        QStringLiteral("4k60-444 600MHz All Sound"),
        QStringLiteral("4k60-444 600MHz HDR BT.2020 All Sound"),
        QStringLiteral("1080p-444 148MHz All Sound") };
}

QStringList cecDeviceTypeItems()
{
    return { QStringLiteral("Video Processor [Default]"), QStringLiteral("Audio System w/ARC") };
}

QStringList automixAlgorithmItems()
{
    return { QStringLiteral("Min Mixed [Default]"), QStringLiteral("Max Audio, Min Video"),
        QStringLiteral("TOP Output Priority"), QStringLiteral("Max Audio, Max Video") };
}

int comboIndexForValue(std::uint8_t settingId, std::uint8_t value)
{
    // The active input counts its ports from 1, its combo box from 0.
    return settingId == SettingId::ActiveInput ? int(value) - 1 : int(value);
}

std::optional<std::uint8_t> comboSettingValue(std::uint8_t settingId, int index)
{
    if (index < 0)
        return std::nullopt;
    const int value = settingId == SettingId::ActiveInput ? index + 1 : index;
    return std::uint8_t(value & 0xFF);
}

FactoryResetChoice chooseFactoryReset(const QString &typedWord, bool clearSettings, bool clearEdid)
{
    if (typedWord != QLatin1String(kResetConfirmationWord))
        return { FactoryResetChoice::NotConfirmed, 0 };
    if (clearSettings && clearEdid)
        return { FactoryResetChoice::Reset, FactoryResetValue::SettingsAndEdid };
    if (clearSettings)
        return { FactoryResetChoice::Reset, FactoryResetValue::Settings };
    if (clearEdid)
        return { FactoryResetChoice::Reset, FactoryResetValue::Edid };
    return { FactoryResetChoice::NothingChosen, 0 };
}

} // namespace vortalex
