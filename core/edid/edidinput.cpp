// SPDX-License-Identifier: GPL-3.0-or-later
#include "edidinput.h"

#include "files/inputfile.h"

#include <QList>
#include <QStringDecoder>

namespace vortalex {

namespace {

const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
// The first line of edid-decode's hex dump, and the start of the line after it.
const QByteArray kEdidDecodeHead = QByteArrayLiteral("edid-decode (hex):");
const QByteArray kEdidDecodeEnd = QByteArrayLiteral("----");
// The property line of `xrandr --verbose` whose indented lines hold the table.
const QByteArray kXrandrHead = QByteArrayLiteral("EDID:");

struct Line
{
    int number = 0; // 1-based, as an editor counts
    QByteArray text; // without its line feed
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool isSeparator(char c)
{
    return isBlank(c) || c == ':' || c == ',';
}

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// Control bytes other than blanks and line ends, and byte sequences that are
// no UTF-8, appear in raw tables, not in text.
bool looksBinary(const QByteArray &content)
{
    for (const char c : content) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && !isBlank(c) && c != '\n') || byte == 0x7F)
            return true;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString decoded = utf8.decode(content);
    Q_UNUSED(decoded)
    return utf8.hasError();
}

// 1-based column of byte `index`: UTF-8 continuation bytes do not count.
int columnOf(const QByteArray &line, int index)
{
    int column = 0;
    for (int i = 0; i <= index; ++i)
        column += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
    return column;
}

// The character starting at byte `index`, quoted, or its code point when it
// cannot be shown.
QString characterText(const QByteArray &line, int index)
{
    int end = index + 1;
    while (end < line.size() && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
        ++end;
    const QByteArray bytes = line.mid(index, end - index);
    // Qt drops a byte order mark while decoding, leaving nothing to show.
    if (bytes == QByteArrayLiteral("\xEF\xBB\xBF"))
        return QStringLiteral("U+FEFF");
    const QString character = QString::fromUtf8(bytes);
    if (character.isEmpty())
        return QStringLiteral("byte 0x%1")
            .arg(static_cast<unsigned char>(line[index]), 2, 16, QLatin1Char('0'));
    const QChar first = character.at(0);
    if (character.size() == 1 && first.isPrint() && first != QChar::ReplacementCharacter)
        return QStringLiteral("'%1'").arg(character);
    if (first == QChar::ReplacementCharacter)
        return QStringLiteral("byte 0x%1")
            .arg(static_cast<unsigned char>(line[index]), 2, 16, QLatin1Char('0'));
    return QStringLiteral("U+%1")
        .arg(character.toUcs4().value(0), 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString placeText(const Line &line, int index)
{
    return QStringLiteral("line %1, column %2").arg(line.number).arg(columnOf(line.text, index));
}

// The lines that hold the hex, picked by the dump's layout.
bool hexLines(const QList<Line> &lines, QList<Line> &hex, QString &error)
{
    int first = 0;
    while (first < lines.size() && lines[first].text.trimmed().isEmpty())
        ++first;
    if (first < lines.size() && lines[first].text.trimmed() == kEdidDecodeHead) {
        for (int i = first + 1; i < lines.size(); ++i) {
            if (lines[i].text.trimmed().startsWith(kEdidDecodeEnd))
                break;
            hex.append(lines[i]);
        }
        return true;
    }
    int xrandrHead = -1;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].text.trimmed() != kXrandrHead)
            continue;
        if (xrandrHead >= 0) {
            // xrandr lists one block per output: which one is meant is the user's choice.
            error = QStringLiteral("line %1: a second \"EDID:\" block; keep the one of the "
                                   "output you mean")
                        .arg(lines[i].number);
            return false;
        }
        xrandrHead = i;
    }
    if (xrandrHead < 0) {
        hex = lines;
        return true;
    }
    // Its hex lines are indented; the next property ("\tscaling mode: ...") ends them.
    for (int i = xrandrHead + 1; i < lines.size(); ++i) {
        const QByteArray &text = lines[i].text;
        if (text.isEmpty() || !isBlank(text[0]) || text.trimmed().isEmpty() || text.contains(':'))
            break;
        hex.append(lines[i]);
    }
    return true;
}

// Bytes of two digits between separators, or runs of an even number of digits.
bool readHex(const QList<Line> &lines, QByteArray &bytes, QString &error)
{
    for (const Line &line : lines) {
        const QByteArray &text = line.text;
        int runStart = -1;
        for (int i = 0; i <= text.size(); ++i) {
            const char c = i < text.size() ? text[i] : ' ';
            if (isHexDigit(c)) {
                if (runStart < 0)
                    runStart = i;
                continue;
            }
            if (!isSeparator(c)) {
                error = QStringLiteral("%1: %2 is not a hex digit")
                            .arg(placeText(line, i), characterText(text, i));
                return false;
            }
            if (runStart < 0)
                continue;
            const int digits = i - runStart;
            if (digits % 2 != 0) {
                error = QStringLiteral("%1: \"%2\" is an odd number of hex digits, not whole bytes")
                            .arg(placeText(line, runStart),
                                QString::fromLatin1(text.mid(runStart, std::min(digits, 16))));
                return false;
            }
            if (bytes.size() + digits / 2 > kEdidMaxBytes) {
                error = QStringLiteral("%1: more than %2 bytes, too large for an EDID table")
                            .arg(placeText(line, runStart))
                            .arg(kEdidMaxBytes);
                return false;
            }
            for (int d = runStart; d < i; d += 2)
                bytes.append(char(hexValue(text[d]) << 4 | hexValue(text[d + 1])));
            runStart = -1;
        }
    }
    if (bytes.isEmpty()) {
        error = QStringLiteral("no hex bytes: neither a raw table nor a hex dump "
                               "(\"00 FF FF FF FF FF FF 00 ...\")");
        return false;
    }
    return true;
}

} // namespace

bool edidBytesFromContent(const QByteArray &content, QByteArray &bytes, QString &error)
{
    bytes.clear();
    if (content.isEmpty()) {
        error = QStringLiteral("the file is empty");
        return false;
    }
    const bool raw = content.at(0) == '\0' || (content.size() % 128 == 0 && looksBinary(content));
    if (raw) {
        if (content.size() > kEdidMaxBytes) {
            error = QStringLiteral("more than %1 bytes, too large for an EDID table")
                        .arg(kEdidMaxBytes);
            return false;
        }
        bytes = content;
        return true;
    }
    const QByteArray text
        = content.startsWith(kByteOrderMark) ? content.mid(kByteOrderMark.size()) : content;
    QList<Line> lines;
    int number = 1;
    for (const QByteArray &line : text.split('\n'))
        lines.append({ number++, line });
    QList<Line> hex;
    if (!hexLines(lines, hex, error) || !readHex(hex, bytes, error)) {
        bytes.clear();
        return false;
    }
    return true;
}

bool readEdidInput(const QString &path, QByteArray &bytes, QString &error)
{
    // One byte more than the largest dump tells a too large file apart.
    QByteArray content;
    const QString shown = shownFileName(path);
    if (!readInputFile(path, kEdidDumpMaxBytes + 1, content, error)) {
        error = QStringLiteral("%1: %2").arg(shown, error);
        return false;
    }
    if (content.size() > kEdidDumpMaxBytes && !content.startsWith('\0')) {
        error = QStringLiteral("%1: more than %2 bytes, too large for an EDID dump")
                    .arg(shown)
                    .arg(kEdidDumpMaxBytes);
        return false;
    }
    if (!edidBytesFromContent(content, bytes, error)) {
        error = QStringLiteral("%1: %2").arg(shown, error);
        return false;
    }
    return true;
}

} // namespace vortalex
