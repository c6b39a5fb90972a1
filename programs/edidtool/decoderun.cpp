// SPDX-License-Identifier: GPL-3.0-or-later
#include "decoderun.h"

#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"
#include "files/inputfile.h"
#include "files/standardoutput.h"
#include "program/exitstatus.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace vortalex {

namespace {

// One file's part of the run; returns its exit status.
int decodeOne(const QString &file, bool json, bool several)
{
    const QString shown = shownFileName(file);
    // With several files, each message names its file; with one, the error names it already.
    const QString prefix = several ? QStringLiteral("vortalex-edid: %1: ").arg(shown)
                                   : QStringLiteral("vortalex-edid: ");
    QByteArray bytes;
    QString error;
    if (!readEdidInput(file, bytes, error)) {
        printText(stderr, QStringLiteral("vortalex-edid: %1\n").arg(error));
        if (json)
            printText(stdout,
                QString::fromUtf8(QJsonDocument(QJsonObject { { QStringLiteral("file"), file },
                                                    { QStringLiteral("error"), error } })
                                      .toJson(QJsonDocument::Compact))
                    + QLatin1Char('\n'));
        return CliExit::BadUsage;
    }
    const EdidInfo info = decodeEdid(bytes);
    if (json) {
        QJsonObject object = edidToJson(info);
        object.insert(QStringLiteral("file"), file);
        printText(stdout,
            QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact))
                + QLatin1Char('\n'));
    } else {
        if (several)
            printText(stdout, QStringLiteral("==> %1 <==\n").arg(shown));
        printText(stdout, edidReportText(info));
    }
    for (const QString &problem : info.problems)
        printText(stderr, prefix + problem + QLatin1Char('\n'));
    return info.problems.isEmpty() ? CliExit::Done : CliExit::Problems;
}

} // namespace

void printText(FILE *stream, const QString &text)
{
    if (stream == stdout)
        writeStandardOutput(text.toUtf8());
    else
        std::fputs(text.toUtf8().constData(), stream);
}

int runEdidDecode(const QStringList &files, bool json)
{
    int worst = CliExit::Done;
    for (int i = 0; i < files.size(); ++i) {
        if (i > 0 && !json)
            printText(stdout, QStringLiteral("\n"));
        worst = std::max(worst, decodeOne(files[i], json, files.size() > 1));
    }
    return worst;
}

} // namespace vortalex
