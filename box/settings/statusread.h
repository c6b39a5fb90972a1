// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "statusfacts.h"

#include "link/requests.h"

#include <QString>
#include <optional>

namespace vortalex {

// The four pages the signal status is decoded from, as read (byte 0 is the
// echo).
struct SignalStatusPages
{
    QByteArray status;
    QByteArray sourceProduct;
    QByteArray hdrInfoFrame;
    QByteArray aviInfoFrame;
};

// Reads pages 6, 21, 30 and 31 (the captured AVI InfoFrame). Nothing when the
// read of page 31, the last one, failed; pages 6, 21 and 30 are kept even
// when their read failed: what arrived, zeros beyond.
std::optional<SignalStatusPages> readSignalStatusPages(BoxRequests &requests);

// The firmware version from page 7 ("1.2.0.15"); nothing when the read failed.
std::optional<QString> readFirmwareVersion(BoxRequests &requests);

} // namespace vortalex
