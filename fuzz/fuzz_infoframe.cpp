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
    require(again.ok && again.checksumOk && again.problem.isEmpty() && again.values == d.values);
}

void checkAvi(const AviDecode &d)
{
    require(d.ok || !d.problem.isEmpty());
    require(!aviSummary(d).isEmpty() && !aviReport(d).isEmpty() && !aviJson(d).isEmpty());
    if (!d.ok)
        return;
    const AviDecode again = decodeAviInfoFrame(encodeAviInfoFrame(d.values));
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
