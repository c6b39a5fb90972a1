// SPDX-License-Identifier: GPL-3.0-or-later
// The HDR and AVI InfoFrame decoders on any text and any bytes, and the
// KEY=VALUE readers on any words: every input gives values or a reason,
// and whatever decodes encodes back to the same values.
#include "fuzzrequire.h"
#include "infoframe/aviinfoframe.h"
#include "infoframe/hdrinfoframe.h"

#include <cstdlib>

using namespace vortalex;

namespace {

void checkHdr(const HdrDecode &d)
{
    require(d.ok || !d.problem.isEmpty());
    require(!hdrSummary(d).isEmpty() && !hdrReport(d).isEmpty() && !hdrJson(d).isEmpty());
    if (!d.ok)
        return;
    const HdrDecode again = decodeHdrInfoFrame(encodeHdrInfoFrame(d.values));
    // A frame may decode with a problem the decoder reports (a primary over
    // 1.0, a reserved EOTF); encoding it back adds none it did not have.
    require(again.ok && again.checksumOk && again.values == d.values);
    require(!d.problem.isEmpty() || again.problem.isEmpty());
}

void checkAvi(const AviDecode &d)
{
    require(d.ok || !d.problem.isEmpty());
    require(!aviSummary(d).isEmpty() && !aviReport(d).isEmpty() && !aviJson(d).isEmpty());
    if (!d.ok)
        return;
    const QByteArray encoded = encodeAviInfoFrame(d.values);
    // Data bytes starting 0x82 (a reserved colour format) read as a whole
    // frame's type code, as the decoder takes them.
    if (!encoded.isEmpty() && std::uint8_t(encoded.at(0)) == 0x82)
        return;
    const AviDecode again = decodeAviInfoFrame(encoded);
    require(again.ok && again.values == d.values);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = QString::fromUtf8(bytes);

    checkHdr(decodeHdrInfoFrameText(text));
    checkHdr(decodeHdrInfoFrame(bytes));
    checkAvi(decodeAviInfoFrameText(text));
    checkAvi(decodeAviInfoFrame(bytes));

    const QStringList words = text.split(QLatin1Char(' '));
    const HdrKeyParse hdr = parseHdrKeyValues(words);
    require(hdr.ok || !hdr.error.isEmpty());
    if (hdr.ok)
        require(decodeHdrInfoFrame(encodeHdrInfoFrame(hdr.values)).values == hdr.values);
    const AviKeyParse avi = parseAviKeyValues(words);
    require(avi.ok || !avi.error.isEmpty());
    if (avi.ok)
        require(decodeAviInfoFrame(encodeAviInfoFrame(avi.values)).values == avi.values);
    return 0;
}
