// SPDX-License-Identifier: GPL-3.0-or-later
// The EDID hex text parser on any text a user could type or paste: it never
// reads or writes outside its buffers, and what it accepts survives the trip
// through the canonical layout unchanged.
#include "boxedid/edidtext.h"
#include "fuzzrequire.h"

#include <QString>

#include <cstdlib>

using namespace vortalex;

namespace {

// The first byte picks how the rest becomes text: UTF-8 (invalid sequences
// become U+FFFD), raw UTF-16 (lone surrogates included) or Latin-1.
QString textOf(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return QString();
    const char *rest = reinterpret_cast<const char *>(data + 1);
    const auto length = qsizetype(size - 1);
    switch (data[0] % 3) {
    case 0:
        return QString::fromUtf8(rest, length);
    case 1:
        return QString(
            reinterpret_cast<const QChar *>(QByteArray(rest, length).constData()), length / 2);
    default:
        return QString::fromLatin1(rest, length);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = textOf(data, size);

    EdidParseBuffer parsed {};
    const int count = parseEdidText(text, parsed);
    require(count >= -1 && count <= kEdidParseCapacity);

    EdidTable table {};
    const bool accepted = parseEdidTable(text, table);
    require(accepted == (count >= 0));
    if (!accepted)
        return 0;

    // The canonical form parses back to the same table.
    const QString canonical = formatEdidText(table);
    require(canonical.size() == kEdidCanonicalTextLength);
    EdidTable again {};
    require(parseEdidTable(canonical, again) && again == table);

    repairChecksums(table);
    require(tablePassesChecksums(table));
    return 0;
}
