#include "infoframes.h"

#include "boxtext.h"
#include "hexlist.h"

namespace vortalex {

bool sendHdrInfoFrame(const CecContext &context, const QString &plainText)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > kMaxHdrChars) {
        showCecStatus(
            context, QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 31 data bytes"), 2000);
        return false;
    }
    const HexByteList list = parseHexByteList(text + '\r', false);
    Response response;
    const bool sent = context.requests.exchange(
        Frames::hdrInfoFrame(list.payload()), kAckLength, response, toByte(Command::HdrInfoFrame));
    if (sent)
        showCecStatus(
            context, QT_TRANSLATE_NOOP("MainWindow", "Infoframe values written..."), 2000);
    else
        showCecStatus(
            context, QT_TRANSLATE_NOOP("MainWindow", "Error Writing Infoframe values."), 4000);
    const bool activated = activateAfterPause(
        context, list.count, ActivateSelector::HdrInfoFrame, "\nError Populating IF values.\n");
    return sent && activated;
}

bool sendAviInfoFrame(const CecContext &context, const QString &plainText)
{
    const QByteArray text = toBoxText(plainText);
    if (text.size() < kMinListChars || text.size() > kMaxAviChars) {
        showCecStatus(
            context, QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 13 data bytes"), 2000);
        return false;
    }
    const HexByteList list = parseHexByteList(text + '\r', false);
    Response response;
    if (!context.requests.exchange(Frames::aviInfoFrame(list.payload()), kAckLength, response,
            toByte(Command::AviInfoFrame))) {
        showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "Error Writing AVI command."), 4000);
        return false;
    }
    showCecStatus(context, QT_TRANSLATE_NOOP("MainWindow", "AVI values written..."), 2000);
    return activateAfterPause(
        context, list.count, ActivateSelector::AviInfoFrame, "\nError Activating AVI values.\n");
}

} // namespace vortalex
