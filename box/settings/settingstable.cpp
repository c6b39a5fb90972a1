// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingstable.h"

namespace vortalex {

namespace {

const QVector<SettingValue> kOffOn
    = { { 0, "off", nullptr, nullptr }, { 1, "on", nullptr, nullptr } };

// A two-state radio pair: the refresh shows every value other than 1 as 0, and
// the slot writes 1 exactly when the button of 1 is checked.
Setting radioPair(
    const char *name, std::uint8_t id, int position, SettingValue off, SettingValue on)
{
    return { name, id, position, SettingKind::RadioGroup, nullptr, { off, on }, 0, 0 };
}

Setting checkBox(const char *name, std::uint8_t id, int position, const char *control)
{
    return { name, id, position, SettingKind::Check, control, kOffOn };
}

QVector<Setting> buildTable()
{
    using namespace SettingId;
    const auto radio = SettingKind::RadioGroup;
    return {
        { "active-input", ActiveInput, 0, SettingKind::Combo, "cmbInputSel",
            { { 1, "port-a", "PORT A [TOP]", nullptr }, { 2, "port-b", "PORT B [BOT]", nullptr },
                { 3, "matrix-thru", "MATRIX THRU", nullptr },
                { 4, "matrix-swap", "MATRIX SWAP", nullptr } } },
        { "custom-edid", CustomEdidPreset, 19, SettingKind::Combo, "cmBEdid",
            { { 0, nullptr, "Custom Uploaded/Default EDID", nullptr },
                { 1, nullptr, "4k30-444 300MHz All Sound", nullptr },
                { 2, nullptr, "4k30-RGB 300MHz All Sound", nullptr },
                { 3, nullptr, "4k60-420 8-bit 300MHz All Sound", nullptr },
                { 4, nullptr, "4k60-420 10-bit HDR BT.2020 All Sound", nullptr },
                { 5, nullptr, "4k60-444 600MHz All Sound", nullptr },
                { 6, nullptr, "4k60-444 600MHz HDR BT.2020 All Sound", nullptr },
                { 7, nullptr, "1080p-444 148MHz All Sound", nullptr } } },
        { "cec-device", CecDeviceType, 30, SettingKind::Combo, "cmbLa",
            { { 0, "video-processor", "Video Processor [Default]", nullptr },
                { 1, "audio-system", "Audio System w/ARC", nullptr } } },
        { "automix", AutomixAlgorithm, 32, SettingKind::Combo, "cmbEdidAlgo",
            { { 0, "min-mixed", "Min Mixed [Default]", nullptr },
                { 1, "max-audio-min-video", "Max Audio, Min Video", nullptr },
                { 2, "top-priority", "TOP Output Priority", nullptr },
                { 3, "max-audio-max-video", "Max Audio, Max Video", nullptr } } },
        // The box also reports audio source 2 and HDCP 1, which have no button
        // and no name: the refresh leaves the buttons alone for them.
        { "audio-source", AudioSource, 1, radio, nullptr,
            { { AudioSourceValue::Hdmi, "hdmi", "HDMI", "audioHdmi" },
                { AudioSourceValue::Jack, "jack", "JACK", "audioJack" } } },
        { "edid-mode", EdidMode, 2, radio, nullptr,
            { { EdidModeValue::Automix, "automix", "AUTOMIX: Auto create the EDID table",
                  "automixEDID" },
                { EdidModeValue::Fixed, "fixed", "FIXED EDID: Use the fixed default EDID table",
                    "fixedEDID" },
                { EdidModeValue::Custom, "custom", "CUSTOM:", "customEDID" } } },
        { "hdcp", HdcpVersion, 3, radio, nullptr,
            { { HdcpValue::Hdcp14, "1.4", "1.4", "hdcp14" },
                { HdcpValue::Hdcp22, "2.2", "2.2", "hdcp22" } } },
        // Shown only for the values 0 and 1; written as 1 exactly when
        // "ENABLE" is checked.
        { "output-420", Output420, 4, radio, nullptr,
            { { 0, "off", "DISABLE", "disable420" }, { 1, "on", "ENABLE", "enable420" } }, -1, 0 },
        { "auto-switch", AutoSwitch, 6, radio, nullptr,
            { { 0, "off", "DISABLE", "autoSwDis" }, { 1, "on", "ENABLE", "autoSwEn" } }, -1, 0 },
        checkBox("edid-2ch", EdidOption20, 13, "cb2cForce"),
        checkBox("edid-51", EdidOption51, 14, "cb51"),
        checkBox("edid-full-audio", EdidOptionFullAudio, 17, "cbFull"),
        checkBox("edid-no-3d", EdidOptionNo3D, 15, "cb3D"),
        checkBox("edid-hdr", EdidOptionHdr, 16, "cbHdr"),
        radioPair("priority", SwitchPriority, 18, { 0, "normal", "NORMAL", "bPrioNorm" },
            { 1, "forced", "FORCED", "pPrioForce" }),
        radioPair("hdr-hotkey", HdrHotkey, 21, { 0, "off", "DISABLE", "bHdrRepurpDis" },
            { 1, "on", "ENABLE", "bHdrRepurpEn" }),
        radioPair("hdr-mode", HdrMode, 24, { 0, "full", "Full HDR mode", "bFullHdr" },
            { 1, "samsung", "Samsung mode", "bSamHdr" }),
        checkBox("force-hdr", ForceHdrActive, 22, "cbHdrForceMode"),
        radioPair("green-led", GreenLed, 26, { 0, "off", "DISABLE", "disableLed" },
            { 1, "on", "ENABLE", "enableLed" }),
        radioPair("blue-leds", BlueLeds, 27, { 0, "off", "DISABLE", "disableBLed" },
            { 1, "on", "ENABLE", "enableBLed" }),
        checkBox("cec", Cec, 5, "cbCec"),
        checkBox("edid-ycbcr", EdidOptionYcbcr, 29, "cbYUV"),
        checkBox("edid-bt2020", EdidOptionBt2020, 28, "cbBt2020"),
        radioPair("avr-audio", AvrTestMode, 31, { 0, "off", "DISABLE", "disableAVR" },
            { 1, "on", "ENABLE", "enableAVR" }),
        checkBox("replace-avi", ReplaceAvi, 33, "cbAviPersistent"),
    };
}

#undef WINDOW_TEXT

} // namespace

const QVector<Setting> &settingTable()
{
    static const QVector<Setting> table = buildTable();
    return table;
}

const Setting *findSetting(QStringView name)
{
    for (const Setting &s : settingTable())
        if (name == QLatin1String(s.name))
            return &s;
    return nullptr;
}

const Setting *settingById(std::uint8_t id)
{
    for (const Setting &s : settingTable())
        if (s.id == id)
            return &s;
    return nullptr;
}

const Setting &settingRow(std::uint8_t id)
{
    const Setting *s = settingById(id);
    Q_ASSERT_X(s, "settingRow", "an id the program names has a row");
    return s ? *s : settingTable().front();
}

const SettingValue *findSettingValue(const Setting &s, std::uint8_t value)
{
    for (const SettingValue &v : s.values)
        if (v.number == value)
            return &v;
    return nullptr;
}

std::uint8_t settingMinValue(const Setting &s)
{
    return s.values.isEmpty() ? 0 : s.values.front().number;
}

std::uint8_t settingMaxValue(const Setting &s)
{
    return s.values.isEmpty() ? 0 : s.values.back().number;
}

std::optional<std::uint8_t> settingValueFromText(const Setting &s, QStringView text)
{
    for (const SettingValue &v : s.values) {
        if (v.name ? text.compare(QLatin1String(v.name), Qt::CaseInsensitive) == 0
                   : text == QString::number(v.number))
            return v.number;
    }
    return std::nullopt;
}

std::optional<std::uint8_t> settingValueFromRawText(const Setting &s, QStringView text)
{
    if (const std::optional<std::uint8_t> named = settingValueFromText(s, text))
        return named;
    bool ok = false;
    const uint number = text.toUInt(&ok, 10);
    if (!ok || s.values.isEmpty() || number < settingMinValue(s) || number > settingMaxValue(s))
        return std::nullopt;
    return std::uint8_t(number);
}

QString settingValueName(const Setting &s, std::uint8_t value)
{
    const SettingValue *v = findSettingValue(s, value);
    return v && v->name ? QString::fromLatin1(v->name) : QString::number(value);
}

QStringList settingValueNames(const Setting &s)
{
    QStringList names;
    for (const SettingValue &v : s.values)
        names << settingValueName(s, v.number);
    return names;
}

QStringList comboItems(const Setting &s)
{
    QStringList items;
    for (const SettingValue &v : s.values)
        items << QString::fromUtf8(v.windowText);
    return items;
}

int comboIndexForValue(const Setting &s, std::uint8_t value)
{
    // The active input counts its ports from 1, its combo box from 0.
    return int(value) - int(settingMinValue(s));
}

std::optional<std::uint8_t> comboSettingValue(const Setting &s, int index)
{
    if (index < 0)
        return std::nullopt;
    // Unsigned, so that even the largest index cuts to one byte without overflow.
    const unsigned value = unsigned(index) + settingMinValue(s);
    return std::uint8_t(value & 0xFF);
}

std::optional<std::uint8_t> radioSettingValue(
    const Setting &s, const std::function<bool(const char *controlName)> &isChecked)
{
    for (const SettingValue &v : s.values)
        if (v.controlName && isChecked(v.controlName))
            return v.number;
    if (s.uncheckedWrites < 0)
        return std::nullopt;
    return std::uint8_t(s.uncheckedWrites);
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
