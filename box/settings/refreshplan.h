// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/frames.h"
#include "settingstable.h"

#include <QVector>
#include <array>
#include <cstdint>
#include <optional>

namespace vortalex {

// The settings refresh reads the settings block and the first bytes of the
// status page, then the window sets its setting controls from the block: each
// row of the settings table shows its value, then the controls are enabled by
// the rules that are not one row each. This is the plain part of it: whether
// the block is taken, and what each row and each enabling rule asks for.

constexpr std::uint8_t kRefreshStatusLength = 14;

// What one row of the table shows for the value the box reported.
struct ShownSetting
{
    const Setting *setting = nullptr;
    std::uint8_t value = 0;
    int comboIndex = -1; // combo boxes: the item index (may name no item)
    bool checked = false; // check boxes: 1 checked, every other value unchecked
    // Radio groups: the button to check, or nullptr to leave the group as it is.
    const SettingValue *button = nullptr;
};

ShownSetting shownSetting(const Setting &s, std::uint8_t value);

// The controls the refresh enables or disables. The EDID mode enables the EDID
// text (custom mode only) and the auto switch the priority buttons, each only
// for a value of its own; the three availability positions then enable their
// choices, the EDID text included, so availability has the last word there.
struct RefreshEnabling
{
    std::optional<bool> edidTextByMode;
    std::optional<bool> priorityChoice;
    bool audioSourceChoice = false;
    bool hdcpChoice = false;
    bool edidModeChoice = false;
};

struct RefreshPlan
{
    bool accepted = false;
    // The forty setting bytes for the settings mirror (when accepted).
    std::array<std::uint8_t, kSettingCount> settings {};
    // One entry per row of the table, in table order (when accepted).
    QVector<ShownSetting> shown;
    RefreshEnabling enabling;
};

// `block` is the settings block answer (42 bytes: echo 0xE1, status byte with
// the device busy bit, positions 0-39). The block is refused (nothing to
// change) unless both reads succeeded, the box is not busy and the echo is
// right. The rows come from `table`, by default the program's own.
RefreshPlan planRefresh(const std::uint8_t *block, bool blockRead, bool statusPageRead,
    const QVector<Setting> &table = settingTable());

} // namespace vortalex
