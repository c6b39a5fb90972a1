// SPDX-License-Identifier: GPL-3.0-or-later
#include "infoframesender.h"

namespace vortalex {

bool sendHdrInfoFrame(const CecContext &context, const QString &plainText)
{
    static const HexListRequest hdr { kMaxHdrChars, false, Command::HdrInfoFrame,
        &Frames::hdrInfoFrame, ActivateSelector::HdrInfoFrame, true, RequestEvent::HdrLengthWrong,
        RequestEvent::HdrSent, RequestEvent::HdrRefused, RequestEvent::HdrActivateFailed };
    return sendHexListRequest(context, plainText, hdr);
}

bool sendAviInfoFrame(const CecContext &context, const QString &plainText)
{
    static const HexListRequest avi { kMaxAviChars, false, Command::AviInfoFrame,
        &Frames::aviInfoFrame, ActivateSelector::AviInfoFrame, false, RequestEvent::AviLengthWrong,
        RequestEvent::AviSent, RequestEvent::AviRefused, RequestEvent::AviActivateFailed };
    return sendHexListRequest(context, plainText, avi);
}

} // namespace vortalex
