// SPDX-License-Identifier: GPL-3.0-or-later
// The signal status decoders on any three pages, of any length: the texts
// are defined for every byte value and every page length.
#include "fuzzrequire.h"
#include "settings/videoformats.h"
#include "words/statuslines.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>

using namespace vortalex;

namespace {

QByteArray page(FuzzedDataProvider &input)
{
    return QByteArray::fromStdString(input.ConsumeRandomLengthString(80));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const QByteArray status = page(input);
    const QByteArray source = page(input);
    const QByteArray hdr = page(input);

    const SignalStatusTexts texts = decodeSignalStatus(status, source, hdr);
    require(texts.videoFormat.startsWith(QLatin1String("Input : ")));
    require(texts.hdrInfoFrame.size() <= 27 * 3);
    videoFormatName(input.ConsumeIntegral<int>());
    return 0;
}
