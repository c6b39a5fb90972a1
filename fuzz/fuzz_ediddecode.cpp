// SPDX-License-Identifier: GPL-3.0-or-later
// The EDID decoder on any bytes: the file recognition vortalex-edid runs,
// the decoder, the report text and the JSON object. Nothing may crash, and
// the decoder keeps its own invariants.
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "edid/edidchecksum.h"
#include "fuzzrequire.h"

#include <QByteArray>
#include <cstdlib>

using namespace vortalex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray bytes;
    QString error;
    if (!edidBytesFromContent(file, bytes, error))
        bytes = file;

    const EdidInfo info = decodeEdid(bytes);
    const int blocks = int(bytes.size() / kEdidBlockSize);
    require(info.base.has_value() == (blocks > 0));
    require(info.checksumsOk.size() <= blocks);
    require(info.extensions.size() == std::max<qsizetype>(info.checksumsOk.size() - 1, 0));
    for (const ExtensionBlock &extension : info.extensions) {
        require(extension.cta.has_value() == (extension.tag == 0x02));
        require(extension.displayId.has_value() == (extension.tag == 0x70));
    }

    require(!edidReportText(info).isEmpty());
    require(!edidToJson(info).isEmpty());
    return 0;
}
