// SPDX-License-Identifier: GPL-3.0-or-later
// The hex byte list parser of the CEC and InfoFrame texts, plain and in CEC
// layout, on any text: it never reads outside the text or writes outside its
// hundred bytes, and the count it gives names a part of that buffer.
#include "text/boxtext.h"
#include "text/hexlist.h"
#include "fuzzrequire.h"

#include <QString>

#include <cstdlib>

using namespace vortalex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // As the window builds it: the typed text in box form, then a carriage return.
    const QByteArray typed(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray boxText = toBoxText(QString::fromUtf8(typed));

    for (const QByteArray &text : { typed, boxText + '\r' }) {
        for (const bool cecLayout : { false, true }) {
            const HexByteList list = parseHexByteList(text, cecLayout);
            require(list.count >= 1 && list.count <= kHexListCapacity);
            require(list.payload().size() == list.count);
            for (int i = list.count; i < kHexListCapacity; ++i)
                require(list.bytes[std::size_t(i)] == 0 || (cecLayout && i == 1));
        }
    }
    return 0;
}
