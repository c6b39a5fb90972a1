#include "cecrequests.h"

#include "boxtext.h"
#include "hexlist.h"
#include "texts/windowtext.h"

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

bool sendCecMessage(const CecContext &context, const QString &plainText)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > kMaxCecSendChars) {
        showCecStatus(
            context, QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 31 data bytes"), 2000);
        return false;
    }
    const HexByteList list = parseHexByteList(text + '\r', true);
    Response response;
    const bool sent = context.requests.exchange(
        Frames::cecSend(list.payload()), kAckLength, response, toByte(Command::CecSend));
    if (sent)
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "CEC values written..."), 2000);
    else
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "Error Writing CEC command."), 4000);
    // The box is told to act even when it refused the message.
    const bool activated = activateAfterPause(
        context, list.count, ActivateSelector::Cec, "\nError Populating CEC values.\n");
    return sent && activated;
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
