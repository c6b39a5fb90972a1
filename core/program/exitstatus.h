// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vortalex {

// Exit status of vortalex-cli and vortalex-edid.
namespace CliExit {
constexpr int Done = 0;
// Checkers (edid check|decode, infoframe decode, vortalex-edid): the table or
// frame was read and has problems.
constexpr int Problems = 1;
constexpr int BoxFailed = 1; // the box refused a request or did not answer
constexpr int BadUsage = 2; // bad arguments or bad input; nothing was sent or written
constexpr int NoBox = 3; // no box, or it cannot be opened
} // namespace CliExit

} // namespace vortalex
