// SPDX-License-Identifier: GPL-3.0-or-later
#include "statusjson.h"

#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"
#include "settings/videotimings.h"
#include "words/statuslines.h"

namespace vortalex {

namespace {

QJsonValue textOrNull(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue numberOrNull(int number)
{
    return number == 0 ? QJsonValue(QJsonValue::Null) : QJsonValue(number);
}

} // namespace

QStringList signalStatusLines(const SignalStatusPages &pages)
{
    const SignalStatusTexts texts
        = decodeSignalStatus(pages.status, pages.sourceProduct, pages.hdrInfoFrame);
    return { texts.videoFormat, texts.colour, texts.source, texts.hdr };
}

QJsonObject signalStatusJson(const SignalStatusPages &pages)
{
    const SignalStatusFacts facts
        = decodeSignalFacts(pages.status, pages.sourceProduct, pages.hdrInfoFrame);
    const std::optional<VideoTiming> timing
        = facts.hdmiVic ? videoTimingOfHdmiVic(facts.hdmiVic) : videoTimingOfVic(facts.vic);
    const QByteArray hdrData = capturedHdrData(pages.hdrInfoFrame);
    const QByteArray aviData = capturedAviData(pages.aviInfoFrame);
    const HdrDecode hdr = decodeHdrInfoFrame(hdrData);
    const AviDecode avi = decodeAviInfoFrame(aviData);
    return {
        { QStringLiteral("vic"), numberOrNull(facts.vic) },
        { QStringLiteral("hdmi_vic"), numberOrNull(facts.hdmiVic) },
        { QStringLiteral("width"), timing ? QJsonValue(timing->width) : QJsonValue() },
        { QStringLiteral("height"), timing ? QJsonValue(timing->height) : QJsonValue() },
        { QStringLiteral("refresh"), timing ? QJsonValue(timing->refresh) : QJsonValue() },
        { QStringLiteral("interlaced"), timing ? QJsonValue(timing->interlaced) : QJsonValue() },
        { QStringLiteral("hdmi"), facts.hdmi },
        { QStringLiteral("structure_3d"), textOrNull(facts.structure3d) },
        { QStringLiteral("link"), textOrNull(facts.link) },
        { QStringLiteral("outputs"),
            QJsonObject { { QStringLiteral("tx_a"), facts.outputA },
                { QStringLiteral("tx_b"), facts.outputB } } },
        { QStringLiteral("color_format"), facts.colorFormat },
        { QStringLiteral("colorimetry"), facts.colorimetry },
        { QStringLiteral("source"),
            QJsonObject { { QStringLiteral("vendor"), facts.vendor },
                { QStringLiteral("product"), facts.product } } },
        { QStringLiteral("hdr_active"), facts.eotf != 0 },
        { QStringLiteral("eotf"), eotfJson(std::uint8_t(facts.eotf)) },
        { QStringLiteral("hdr_infoframe"),
            !hdrData.isEmpty() && hdr.ok ? QJsonValue(hdrJson(hdr)) : QJsonValue() },
        { QStringLiteral("avi_infoframe"),
            !aviData.isEmpty() && avi.ok ? QJsonValue(aviJson(avi)) : QJsonValue() },
    };
}

} // namespace vortalex
