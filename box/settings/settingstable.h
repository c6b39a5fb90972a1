// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVector>
#include <cstdint>
#include <functional>
#include <optional>

namespace vortalex {

// The box's settings: forty one-byte values, read all at once as the settings
// block and written one at a time under a setting id. The id under which a
// setting is written is a number of its own and almost never equals the
// setting's position in the block.

// Setting ids of the write setting request. Ids 6, 7, 15, 18, 20, 21, 30 and 31
// are never written; 25 is the factory reset command and has no position.
namespace SettingId {
constexpr std::uint8_t ActiveInput = 0;
constexpr std::uint8_t AutoSwitch = 1;
constexpr std::uint8_t AudioSource = 2;
constexpr std::uint8_t HdcpVersion = 3;
constexpr std::uint8_t Output420 = 4;
constexpr std::uint8_t EdidMode = 5;
constexpr std::uint8_t EdidOption20 = 8;
constexpr std::uint8_t EdidOption51 = 9;
constexpr std::uint8_t EdidOptionNo3D = 10;
constexpr std::uint8_t EdidOptionHdr = 11;
constexpr std::uint8_t EdidOptionFullAudio = 12;
constexpr std::uint8_t SwitchPriority = 13;
constexpr std::uint8_t CustomEdidPreset = 14;
constexpr std::uint8_t HdrHotkey = 16;
constexpr std::uint8_t ForceHdrActive = 17;
constexpr std::uint8_t HdrMode = 19;
constexpr std::uint8_t GreenLed = 22;
constexpr std::uint8_t BlueLeds = 23;
constexpr std::uint8_t EdidOptionBt2020 = 24;
constexpr std::uint8_t FactoryReset = 25;
constexpr std::uint8_t EdidOptionYcbcr = 26;
constexpr std::uint8_t Cec = 27;
constexpr std::uint8_t CecDeviceType = 28;
constexpr std::uint8_t AvrTestMode = 29;
constexpr std::uint8_t AutomixAlgorithm = 32;
constexpr std::uint8_t ReplaceAvi = 33;
} // namespace SettingId

// Block positions that hold no setting: whether the box offers the choice at
// all (1 yes). Positions 7, 8, 12, 20, 23, 25 and 34-39 are carried but not shown.
namespace BlockPos {
constexpr int EdidModeAvailable = 9;
constexpr int HdcpAvailable = 10;
constexpr int AudioSourceAvailable = 11;
} // namespace BlockPos

// Values with a meaning of their own (all other settings are 0 off / 1 on).
namespace EdidModeValue {
constexpr std::uint8_t Automix = 1;
constexpr std::uint8_t Fixed = 2;
constexpr std::uint8_t Custom = 3;
} // namespace EdidModeValue

namespace AudioSourceValue {
constexpr std::uint8_t Hdmi = 1;
constexpr std::uint8_t Jack = 3;
} // namespace AudioSourceValue

namespace HdcpValue {
constexpr std::uint8_t Hdcp14 = 2;
constexpr std::uint8_t Hdcp22 = 3;
} // namespace HdcpValue

// Factory reset command values (setting id 25).
namespace FactoryResetValue {
constexpr std::uint8_t Edid = 1;
constexpr std::uint8_t Settings = 2;
constexpr std::uint8_t SettingsAndEdid = 3;
} // namespace FactoryResetValue

// The box's settings as one table: for each setting its command-line name,
// setting id, block position, kind, values and the form control that shows it.
// The window, the settings refresh and the command-line program all read
// these rows; nothing else knows which id writes which position.

enum class SettingKind {
    Check, // a check box: 1 checked, every other value unchecked
    RadioGroup, // one radio button per value that has one
    Combo, // a combo box: item index = value - first value
};

struct SettingValue
{
    std::uint8_t number;
    const char *name; // command-line name, e.g. "port-a"; nullptr when only the number names it
    const char *windowText; // combo box item or radio button text; nullptr when none
    const char *controlName; // the value's radio button (radio groups only), else nullptr
};

struct Setting
{
    const char *name; // command-line name, e.g. "active-input"
    std::uint8_t id; // the id the write setting request takes
    int position; // position in the settings block and the window's mirror
    SettingKind kind;
    const char *controlName; // check box or combo box; nullptr for radio groups
    QVector<SettingValue> values; // in ascending order; combo boxes: in item order
    // Radio groups only. The value the refresh shows when the box reports a
    // value with no button of its own (-1: the buttons are left as they are).
    int otherValuesShowAs = -1;
    // Radio groups only. The value written when none of the group's buttons
    // is checked (-1: nothing is written).
    int uncheckedWrites = -1;
};

// All settings, in the order the settings refresh sets their controls (which
// is part of the window's behaviour: a check box or combo box changed by the
// refresh writes its value back at once) and the order the command-line
// program lists them.
const QVector<Setting> &settingTable();

// By command-line name (exact) or by setting id; nullptr when there is none.
const Setting *findSetting(QStringView name);
const Setting *settingById(std::uint8_t id);
// Like settingById for ids the program itself names: such a row always exists.
const Setting &settingRow(std::uint8_t id);

// The value entry of `value`, or nullptr when the value has none.
const SettingValue *findSettingValue(const Setting &s, std::uint8_t value);
// The setting's range: its lowest and highest listed value.
std::uint8_t settingMinValue(const Setting &s);
std::uint8_t settingMaxValue(const Setting &s);

// A value by its name (case-insensitive); a value without a name is named by
// its number. Nothing for any other text: a raw code is not taken where the
// value has a name ("set hdcp 2" would write code 2, which is HDCP 1.4).
std::optional<std::uint8_t> settingValueFromText(const Setting &s, QStringView text);
// What --raw takes: a name as above, or any decimal number within the
// setting's range, listed or not.
std::optional<std::uint8_t> settingValueFromRawText(const Setting &s, QStringView text);
// The value's name, or the number as text when it has no name.
QString settingValueName(const Setting &s, std::uint8_t value);
// settingValueName of every listed value, in order.
QStringList settingValueNames(const Setting &s);

// Combo rows: the items (the values' window texts) in item order; the item
// index that shows `value` (it may name no item: -1 for an active input of 0,
// or past the last item, which leaves the combo box without a current item);
// the value an item index writes, cut to one byte, and nothing for no current
// item (index < 0).
QStringList comboItems(const Setting &s);
int comboIndexForValue(const Setting &s, std::uint8_t value);
std::optional<std::uint8_t> comboSettingValue(const Setting &s, int index);

// Radio group rows: the value of the first checked button in value order, or
// else the row's uncheckedWrites; nothing when that is -1.
std::optional<std::uint8_t> radioSettingValue(
    const Setting &s, const std::function<bool(const char *controlName)> &isChecked);

// What pressing the factory reset's OK button does.
struct FactoryResetChoice
{
    enum Outcome {
        NotConfirmed, // the word was not typed: nothing written, form untouched
        NothingChosen, // neither check box: nothing written, form cleared
        Reset, // write `value` under SettingId::FactoryReset, form cleared
    };
    Outcome outcome = NotConfirmed;
    std::uint8_t value = 0;
};

constexpr const char *kResetConfirmationWord = "RESET";

// The typed word must match exactly: case-sensitive, no trimming.
FactoryResetChoice chooseFactoryReset(const QString &typedWord, bool clearSettings, bool clearEdid);

} // namespace vortalex
