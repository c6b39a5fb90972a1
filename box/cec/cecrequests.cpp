// SPDX-License-Identifier: GPL-3.0-or-later
#include "cecrequests.h"

#include "text/boxtext.h"
#include "text/hexlist.h"

namespace vortalex {

bool activateAfterPause(const CecContext &context, std::uint8_t lengthField,
    ActivateSelector selector, RequestEvent failure)
{
    context.clock.sleep(kActivatePauseMs);
    Response response;
    const bool good = context.requests.exchange(
        Frames::activate(lengthField, selector), kAckLength, response, toByte(Command::Activate));
    if (!good)
        context.requests.report(failure);
    return good;
}

bool sendHexListRequest(
    const CecContext &context, const QString &plainText, const HexListRequest &how)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > how.maxChars) {
        context.requests.report(how.lengthWrong);
        return false;
    }
    const HexByteList list = parseHexByteList(text + '\r', how.cecLayout);
    Response response;
    const bool sent = context.requests.exchange(
        how.frame(list.payload()), kAckLength, response, toByte(how.code));
    context.requests.report(sent ? how.sent : how.refused);
    if (!sent && !how.activateAfterRefusal)
        return false;
    const bool activated
        = activateAfterPause(context, list.count, how.selector, how.activateFailed);
    return sent && activated;
}

bool sendCecMessage(const CecContext &context, const QString &plainText)
{
    // The box is told to act even when it refused the message.
    static const HexListRequest cec { kMaxCecSendChars, true, Command::CecSend, &Frames::cecSend,
        ActivateSelector::Cec, true, RequestEvent::CecLengthWrong, RequestEvent::CecSent,
        RequestEvent::CecRefused, RequestEvent::CecActivateFailed };
    return sendHexListRequest(context, plainText, cec);
}

bool storeCecCommand(const CecContext &context, Command code, const QString &plainText)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > kMaxCecStoreChars) {
        context.requests.report(RequestEvent::CecStoreLengthWrong);
        return false;
    }
    Response response;
    const bool stored = context.requests.exchange(
        Frames::cecStore(code, text), kAckLength, response, toByte(code));
    context.requests.report(stored ? RequestEvent::CecStored : RequestEvent::CecStoreRefused);
    return stored;
}

} // namespace vortalex
