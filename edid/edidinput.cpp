// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidinput.h"

#include "edidfile.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace vortalex {

bool edidBytesFromContent(const QByteArray &content, QByteArray &bytes, QString &error)
{
    if (content.isEmpty()) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    const EdidFileContent recognised = recogniseEdidFile(content);
    if (recognised.binary) {
        bytes = content;
        return true;
    }
    EdidParseBuffer parsed {};
    const int count = parseEdidText(recognised.text, parsed);
    if (count <= 0) {
        error = QStringLiteral(
            "neither a raw table (first byte 0x00) nor hex text (\"00 FF FF FF FF FF FF 00 ...\")");
        return false;
    }
    bytes = QByteArray(reinterpret_cast<const char *>(parsed.data()), count);
    return true;
}

bool readEdidInput(const QString &path, QByteArray &bytes, QString &error)
{
    const bool standardInput = path == QLatin1String("-");
    const QString shown = standardInput ? QStringLiteral("standard input") : path;
    QFile file;
    if (standardInput) {
        file.open(stdin, QIODevice::ReadOnly);
    } else {
        if (QFileInfo(path).isDir()) {
            error = QStringLiteral("%1: is a directory").arg(shown);
            return false;
        }
        file.setFileName(path);
        if (!file.open(QIODevice::ReadOnly)) {
            error = QStringLiteral("%1: %2").arg(shown, file.errorString());
            return false;
        }
    }
    // One byte more than the largest table tells a too large file apart.
    const QByteArray content = file.read(kEdidMaxBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1: %2").arg(shown, file.errorString());
        return false;
    }
    if (content.size() > kEdidMaxBytes) {
        error = QStringLiteral("%1: more than %2 bytes, too large for an EDID table")
                    .arg(shown)
                    .arg(kEdidMaxBytes);
        return false;
    }
    if (!edidBytesFromContent(content, bytes, error)) {
        error = QStringLiteral("%1: %2").arg(shown, error);
        return false;
    }
    return true;
}

} // namespace vortalex
