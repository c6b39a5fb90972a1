// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cecrequests.h"

namespace vortalex {

// Length limits of the InfoFrame texts, in characters: 31 bytes take 92, 13
// bytes 38.
constexpr int kMaxHdrChars = 92;
constexpr int kMaxAviChars = 38;

// "Send IF": a complete HDR InfoFrame (CTA-861 type code 0x87, version,
// length, checksum, data bytes, all as typed), then the activate request,
// which follows even a refused InfoFrame. True when both were accepted.
bool sendHdrInfoFrame(const CecContext &context, const QString &plainText);

// "Send AVI": AVI InfoFrame data bytes from data byte 1 on, then, only when
// the box took them, the activate request. True when both were accepted; the
// caller then writes the replace-AVI setting.
bool sendAviInfoFrame(const CecContext &context, const QString &plainText);

} // namespace vortalex
