// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "edidtext.h"

#include "link/clock.h"
#include "link/requests.h"

#include <functional>

namespace vortalex {

// Pauses of the EDID transfers: after the fetch request the box needs time
// before it reports busy; while it is busy it is polled every 10 ms, at most
// 502 times; each chunk write is followed by 30 ms so the box can store it.
constexpr std::uint32_t kEdidFetchPauseMs = 100;
constexpr std::uint32_t kEdidBusyPollPauseMs = 10;
constexpr int kEdidBusyPollLimit = 502;
constexpr std::uint32_t kEdidChunkWritePauseMs = 30;
constexpr int kEdidReadProgressMax = 255;
constexpr int kEdidWriteChunkCount = kEdidSize / kEdidWriteChunk;

// Drives the EDID progress bar: value and maximum; either <= 0 hides it.
using EdidProgress = std::function<void(int value, int maximum)>;

// Fetches the EDID of `source` into the box's transfer table, waits until
// the box is no longer busy and reads the table in 16 chunks. A failed fetch
// reports EdidFetchRefused and the read goes on; a settings read whose
// answer holds no status byte counts as "not busy". Stops at the first
// failed chunk (false; the progress bar is left as it was). On success hides
// the bar, reports EdidReadFromBox or EdidReadFromTv and returns true with
// `table` filled.
bool readEdid(BoxRequests &requests, Clock &clock, EdidSource source, const EdidProgress &progress,
    EdidTable &table);

struct EdidWriteOutcome
{
    int failedChunks = 0;
    bool applied = false;
};

// Sends `table` in 32 chunks of 8 bytes, 30 ms apart, then the apply request.
// A refused chunk reports EdidChunkRefused and the write goes on; the apply
// reports EdidWritten or EdidApplyFailed.
EdidWriteOutcome writeEdid(
    BoxRequests &requests, Clock &clock, const EdidTable &table, const EdidProgress &progress);

} // namespace vortalex
