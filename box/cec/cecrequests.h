// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/frames.h"
#include "link/requests.h"

#include <QString>

namespace vortalex {

// What the CEC and InfoFrame procedures run on: the request operations (with
// the observer behind them) and the clock for the pause before an activate
// request.
struct CecContext
{
    BoxRequests &requests;
    Clock &clock;
};

// Length limits of the texts, in characters: the shortest two-byte list
// ("50:04") is 5 characters, 31 bytes take 92.
constexpr int kMinListChars = 5;
constexpr int kMaxCecSendChars = 92;
constexpr int kMaxCecStoreChars = 59;

// The box needs a moment to take the data before it is told to act on it.
constexpr std::uint32_t kActivatePauseMs = 100;

// Waits kActivatePauseMs, then sends the activate request with the length
// field of the data request just sent. On failure reports `failure`.
bool activateAfterPause(const CecContext &context, std::uint8_t lengthField,
    ActivateSelector selector, RequestEvent failure);

// How a hex byte list goes to the box: the text's length limit, the list
// layout, the data request, the activate request that follows, and the
// events of a text outside the limit, an accepted and a refused data request
// and a failed activate request.
struct HexListRequest
{
    int maxChars;
    bool cecLayout;
    Command code;
    QByteArray (*frame)(const QByteArray &payload);
    ActivateSelector selector;
    bool activateAfterRefusal; // the box is told to act even when it refused the data
    RequestEvent lengthWrong;
    RequestEvent sent;
    RequestEvent refused;
    RequestEvent activateFailed;
};

// Checks the text's length, reads it as a hex byte list, sends it, reports
// how that went, then sends the activate request. True when both were
// accepted.
bool sendHexListRequest(
    const CecContext &context, const QString &plainText, const HexListRequest &how);

// "Send CEC": the text as a hex byte list in CEC layout, then the activate
// request (also after a failed send). True when both were accepted.
bool sendCecMessage(const CecContext &context, const QString &plainText);

// "Save CEC SP" (Command::CecStoreSp) or "Save CEC LP" (Command::CecStoreLp):
// stores the text itself, upper-cased, as "CEC <text>\r". True when accepted.
bool storeCecCommand(const CecContext &context, Command code, const QString &plainText);

} // namespace vortalex
