// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vortalex {

// The box reports the input's video identification code (CTA-861 VIC); the
// window shows it by the names of this table. Codes from 108 up have no name.
constexpr int kVideoFormatCount = 108;

// Display name of `code`; the empty text for 0 and for codes >= 108.
QString videoFormatName(int code);

} // namespace vortalex
