// SPDX-License-Identifier: GPL-3.0-or-later
// Loading an EDID file: recognition of a raw table or hex text from the first
// bytes of any file, the line-end conversion of text files, and the parse the
// window runs on the converted text.
#include "boxedid/edidfile.h"
#include "fuzzrequire.h"

#include <QByteArray>

#include <cstdlib>

using namespace vortalex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray file(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray converted = convertEdidTextLayout(file);
    require(converted.size() <= std::min<qsizetype>(file.size(), kEdidFileProbeSize));

    const EdidFileContent content = recogniseEdidFile(file);
    if (content.binary) {
        require(file.isEmpty() || file.at(0) == '\0');
        for (int i = 0; i < kEdidSize; ++i)
            require(
                content.table[std::size_t(i)] == (i < file.size() ? std::uint8_t(file.at(i)) : 0));
        return 0;
    }
    require(!file.isEmpty() && file.at(0) != '\0');
    require(content.text.size() <= kEdidFileProbeSize && !content.text.contains(QChar(0)));

    EdidTable table {};
    parseEdidTable(content.text, table);
    return 0;
}
