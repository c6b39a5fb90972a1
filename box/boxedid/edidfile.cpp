// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidfile.h"

#include <algorithm>

namespace vortalex {

QByteArray convertEdidTextLayout(const QByteArray &text)
{
    const int length = int(std::min<qsizetype>(text.size(), kEdidFileProbeSize));
    const char *src = text.constData();
    QByteArray out;
    out.reserve(length);
    int column = 0;
    int i = 0;
    while (i < length) {
        ++column;
        const bool lineEndColumn = column == kEdidTextFileLineEnd && src[i] == ' ';
        if (lineEndColumn && i + 2 < length && src[i + 1] == '\r' && src[i + 2] == '\n') {
            out.append('\n');
            column = 0;
            i += 3;
        } else if (lineEndColumn && i + 1 < length && src[i + 1] == '\n') {
            out.append('\n');
            column = 0;
            i += 2;
        } else {
            out.append(src[i]);
            ++i;
        }
    }
    return out;
}

EdidFileContent recogniseEdidFile(const QByteArray &head)
{
    const QByteArray probe = head.left(kEdidFileProbeSize);
    EdidFileContent content;
    if (probe.isEmpty() || probe.at(0) == '\0') {
        content.binary = true;
        std::copy_n(
            probe.constData(), std::min<qsizetype>(probe.size(), kEdidSize), content.table.begin());
        return content;
    }
    content.binary = false;
    const qsizetype zero = probe.indexOf('\0');
    content.text = QString::fromLatin1(convertEdidTextLayout(zero < 0 ? probe : probe.left(zero)));
    return content;
}

} // namespace vortalex
