// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// A CEC frame holds at most 16 blocks: the header block and up to 15 data
// blocks (HDMI-CEC), one byte each.
constexpr int kMaxCecMessageBytes = 16;

// Why a CEC message of `byteCount` bytes cannot be sent or stored, or a null
// string when it can.
QString cecMessageLengthProblem(int byteCount);

} // namespace vortalex
