// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframesender.h"

namespace vortalex {

bool sendHdrInfoFrame(const CecContext &context, const QString &plainText)
{
    static const HexListRequest hdr { kMaxHdrChars,
        QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 31 data bytes"), false,
        Command::HdrInfoFrame, &Frames::hdrInfoFrame,
        QT_TRANSLATE_NOOP("MainWindow", "Infoframe values written..."),
        QT_TRANSLATE_NOOP("MainWindow", "Error Writing Infoframe values."),
        ActivateSelector::HdrInfoFrame, "\nError Populating IF values.\n", true };
    return sendHexListRequest(context, plainText, hdr);
}

bool sendAviInfoFrame(const CecContext &context, const QString &plainText)
{
    static const HexListRequest avi { kMaxAviChars,
        QT_TRANSLATE_NOOP("MainWindow", "Error: min 2, max 13 data bytes"), false,
        Command::AviInfoFrame, &Frames::aviInfoFrame,
        QT_TRANSLATE_NOOP("MainWindow", "AVI values written..."),
        QT_TRANSLATE_NOOP("MainWindow", "Error Writing AVI command."),
        ActivateSelector::AviInfoFrame, "\nError Activating AVI values.\n", false };
    return sendHexListRequest(context, plainText, avi);
}

} // namespace vortalex
