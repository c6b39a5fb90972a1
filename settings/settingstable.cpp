#include "settingstable.h"

#include "device/requests.h"

namespace vortalex {

// The items are window texts: they pass through translation like the rest.

QStringList inputItems()
{
    return { trWindow("PORT A [TOP]"), trWindow("PORT B [BOT]"), trWindow("MATRIX THRU"),
        trWindow("MATRIX SWAP") };
}

QStringList edidPresetItems()
{
    return { trWindow("Custom Uploaded/Default EDID"), trWindow("4k30-444 300MHz All Sound"),
        trWindow("4k30-RGB 300MHz All Sound"), trWindow("4k60-420 8-bit 300MHz All Sound"),
        trWindow("4k60-420 10-bit HDR BT.2020 All Sound"), trWindow("4k60-444 600MHz All Sound"),
        trWindow("4k60-444 600MHz HDR BT.2020 All Sound"), trWindow("1080p-444 148MHz All Sound") };
}

QStringList cecDeviceTypeItems()
{
    return { trWindow("Video Processor [Default]"), trWindow("Audio System w/ARC") };
}

QStringList automixAlgorithmItems()
{
    return { trWindow("Min Mixed [Default]"), trWindow("Max Audio, Min Video"),
        trWindow("TOP Output Priority"), trWindow("Max Audio, Max Video") };
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
    // Unsigned, so that even the largest index cuts to one byte without overflow.
    const unsigned value = unsigned(index) + (settingId == SettingId::ActiveInput ? 1u : 0u);
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
