// SPDX-License-Identifier: GPL-3.0-or-later
#include "refreshplan.h"

#include <cstring>

namespace vortalex {

namespace {

const SettingValue *buttonShown(const Setting &s, std::uint8_t value)
{
    const SettingValue *v = findSettingValue(s, value);
    if (v && v->controlName)
        return v;
    if (s.otherValuesShowAs < 0)
        return nullptr;
    return findSettingValue(s, std::uint8_t(s.otherValuesShowAs));
}

RefreshEnabling enablingFor(const std::array<std::uint8_t, kSettingCount> &v)
{
    RefreshEnabling e;
    const std::uint8_t mode = v[std::size_t(settingRow(SettingId::EdidMode).position)];
    if (mode == EdidModeValue::Automix || mode == EdidModeValue::Fixed
        || mode == EdidModeValue::Custom)
        e.edidTextByMode = mode == EdidModeValue::Custom;
    const std::uint8_t autoSwitch = v[std::size_t(settingRow(SettingId::AutoSwitch).position)];
    if (autoSwitch == 0 || autoSwitch == 1)
        e.priorityChoice = autoSwitch == 1;
    e.audioSourceChoice = v[BlockPos::AudioSourceAvailable] == 1;
    e.hdcpChoice = v[BlockPos::HdcpAvailable] == 1;
    e.edidModeChoice = v[BlockPos::EdidModeAvailable] == 1;
    return e;
}

} // namespace

ShownSetting shownSetting(const Setting &s, std::uint8_t value)
{
    ShownSetting shown;
    shown.setting = &s;
    shown.value = value;
    switch (s.kind) {
    case SettingKind::Combo:
        shown.comboIndex = comboIndexForValue(s, value);
        break;
    case SettingKind::Check:
        shown.checked = value == 1;
        break;
    case SettingKind::RadioGroup:
        shown.button = buttonShown(s, value);
        break;
    }
    return shown;
}

RefreshPlan planRefresh(
    const std::uint8_t *block, bool blockRead, bool statusPageRead, const QVector<Setting> &table)
{
    RefreshPlan plan;
    if (!blockRead || !statusPageRead || !block)
        return plan;
    if ((block[1] & kDeviceBusyBit) != 0 || block[0] != toByte(Command::SettingsBlock))
        return plan;

    plan.accepted = true;
    std::memcpy(plan.settings.data(), block + 2, plan.settings.size());
    plan.shown.reserve(table.size());
    for (const Setting &s : table)
        if (s.position >= 0 && s.position < kSettingCount)
            plan.shown.append(shownSetting(s, plan.settings[std::size_t(s.position)]));
    plan.enabling = enablingFor(plan.settings);
    return plan;
}

} // namespace vortalex
