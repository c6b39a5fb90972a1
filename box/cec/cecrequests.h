// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "link/clock.h"
#include "link/frames.h"
#include "link/requests.h"

#include <QString>
#include <functional>

namespace vortalex {

// What the CEC and InfoFrame procedures run on: the request operations (with
// the status bar behind them), the clock for the pause before an activate
// request, and standard output for the activate request's failure line.
struct CecContext
{
    BoxRequests &requests;
    Clock &clock;
    std::function<void(const QString &line)> diagnostic;
};

// Length limits of the texts, in characters: the shortest two-byte list
// ("50:04") is 5 characters, 31 bytes take 92.
constexpr int kMinListChars = 5;
constexpr int kMaxCecSendChars = 92;
constexpr int kMaxCecStoreChars = 59;

// The box needs a moment to take the data before it is told to act on it.
constexpr std::uint32_t kActivatePauseMs = 100;

// Shows an untranslated window text, translated, in the status bar.
void showCecStatus(const CecContext &context, const char *text, int ms);

// Waits kActivatePauseMs, then sends the activate request with the length
// field of the data request just sent. On failure writes `failureLine` as a
// diagnostic line; the window shows nothing.
bool activateAfterPause(const CecContext &context, std::uint8_t lengthField,
    ActivateSelector selector, const char *failureLine);

// How a hex byte list goes to the box: the text's length limit and the
// message shown (2000 ms) outside it, the list layout, the data request, the
// messages for an accepted (2000 ms) and a refused (4000 ms) request, and the
// activate request that follows.
struct HexListRequest
{
    int maxChars;
    const char *lengthError;
    bool cecLayout;
    Command code;
    QByteArray (*frame)(const QByteArray &payload);
    const char *writtenText;
    const char *refusedText;
    ActivateSelector selector;
    const char *activateFailureLine;
    bool activateAfterRefusal; // the box is told to act even when it refused the data
};

// Checks the text's length, reads it as a hex byte list, sends it, shows how
// that went, then sends the activate request. True when both were accepted.
bool sendHexListRequest(
    const CecContext &context, const QString &plainText, const HexListRequest &how);

// "Send CEC": the text as a hex byte list in CEC layout, then the activate
// request (also after a failed send). True when both were accepted.
bool sendCecMessage(const CecContext &context, const QString &plainText);

// "Save CEC SP" (Command::CecStoreSp) or "Save CEC LP" (Command::CecStoreLp):
// stores the text itself, upper-cased, as "CEC <text>\r". True when accepted.
bool storeCecCommand(const CecContext &context, Command code, const QString &plainText);

} // namespace vortalex
