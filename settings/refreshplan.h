#pragma once

#include "device/frames.h"

#include <QVector>
#include <array>
#include <cstdint>

namespace vortalex {

// The settings refresh reads the settings block and the first bytes of the
// status page, then sets the form's setting controls from the block. The
// setting slots hang on the check boxes' and combo boxes' change signals, so
// each control change can write back to the box at once; the order of the
// control changes is therefore part of the behaviour and is kept here as a
// list that the window applies one by one.

constexpr std::uint8_t kRefreshStatusLength = 14;

struct ControlStep
{
    enum Kind { SetCurrentIndex, SetChecked, SetEnabled };

    const char *objectName;
    Kind kind;
    int value; // the index, or 1 / 0 for checked / enabled
};

struct RefreshPlan
{
    bool accepted = false;
    // The forty setting bytes for the settings mirror (when accepted).
    std::array<std::uint8_t, kSettingCount> settings {};
    QVector<ControlStep> steps;
};

// `block` is the settings block answer (42 bytes: echo 0xE1, status byte with
// the device busy bit, positions 0-39). The block is refused (nothing to
// change) unless both reads succeeded, the box is not busy and the echo is
// right.
RefreshPlan planRefresh(const std::uint8_t *block, bool blockRead, bool statusPageRead);

} // namespace vortalex
