// SPDX-License-Identifier: GPL-3.0-or-later
// The strict reader of tables and dumps on any bytes: nothing may crash; a
// read gives 1 to 32768 bytes that read back the same from their hex, a
// refusal gives a message and no bytes.
#include "edid/edidinput.h"
#include "fuzzrequire.h"

#include <QByteArray>
#include <QString>

using namespace vortalex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray content(reinterpret_cast<const char *>(data), qsizetype(size));
    QByteArray bytes;
    QString error;
    if (!edidBytesFromContent(content, bytes, error)) {
        require(!error.isEmpty() && bytes.isEmpty());
        return 0;
    }
    require(!bytes.isEmpty() && bytes.size() <= kEdidMaxBytes);
    // Any table read has one hex text; it reads back as the same bytes.
    QByteArray again;
    require(edidBytesFromContent(bytes.toHex(' '), again, error) && again == bytes);
    return 0;
}
