// SPDX-License-Identifier: GPL-3.0-or-later
#include "cecrequests.h"

#include "text/boxtext.h"
#include "text/hexlist.h"
#include "text/windowtext.h"

namespace vortalex {

void showCecStatus(const CecContext &context, const char *text, int ms)
{
    context.requests.status().showStatus(trWindow(text), ms);
}

bool activateAfterPause(const CecContext &context, std::uint8_t lengthField,
    ActivateSelector selector, const char *failureLine)
{
    context.clock.sleep(kActivatePauseMs);
    Response response;
    const bool good = context.requests.exchange(
        Frames::activate(lengthField, selector), kAckLength, response, toByte(Command::Activate));
    if (!good && context.diagnostic)
        context.diagnostic(QString::fromLatin1(failureLine));
    return good;
}

bool sendHexListRequest(
    const CecContext &context, const QString &plainText, const HexListRequest &how)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > how.maxChars) {
        showCecStatus(context, how.lengthError, 2000);
        return false;
    }
    const HexByteList list = parseHexByteList(text + '\r', how.cecLayout);
    Response response;
    const bool sent = context.requests.exchange(
        how.frame(list.payload()), kAckLength, response, toByte(how.code));
    if (sent)
        showCecStatus(context, how.writtenText, 2000);
    else
        showCecStatus(context, how.refusedText, 4000);
    if (!sent && !how.activateAfterRefusal)
        return false;
    const bool activated
        = activateAfterPause(context, list.count, how.selector, how.activateFailureLine);
    return sent && activated;
}

bool sendCecMessage(const CecContext &context, const QString &plainText)
{
    // The box is told to act even when it refused the message.
    static const HexListRequest cec { kMaxCecSendChars,
        QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 31 data bytes"), true, Command::CecSend,
        &Frames::cecSend, QT_TRANSLATE_NOOP("MainWindow", "CEC values written..."),
        QT_TRANSLATE_NOOP("MainWindow", "Error Writing CEC command."), ActivateSelector::Cec,
        "\nError Populating CEC values.\n", true };
    return sendHexListRequest(context, plainText, cec);
}

bool storeCecCommand(const CecContext &context, Command code, const QString &plainText)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > kMaxCecStoreChars) {
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "CEC values not correct"), 2000);
        return false;
    }
    Response response;
    const bool stored = context.requests.exchange(
        Frames::cecStore(code, text), kAckLength, response, toByte(code));
    if (stored)
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "CEC values written..."), 2000);
    else
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "Error Writing CEC values."), 4000);
    return stored;
}

} // namespace vortalex
