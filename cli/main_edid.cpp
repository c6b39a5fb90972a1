// SPDX-License-Identifier: GPL-3.0-or-later
// vortalex-edid: decodes an EDID table (a raw file or the utility's hex text)
// into a readable report or one JSON object.
#include "cli/edideditcli.h"
#include "device/programinfo.h"
#include "edid/edidinfo.h"
#include "edid/edidinput.h"
#include "edid/edidreport.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QJsonDocument>
#include <cstdio>

using namespace vortalex;

namespace {

// Exit codes: the table decoded without problems, decoded with problems
// (the report lists them), or not read at all.
enum ExitCode { Clean = 0, Problems = 1, Unreadable = 2 };

void print(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    if (isEdidEditorCommand(argc, argv))
        return runEdidEditorCommand(argc, argv);
    QCoreApplication app(argc, argv);
    setProgramInfo("vortalex-edid");

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Decodes an EDID table: a raw file of 128 x n bytes or the hex text the VORTALEX "
        "Utility saves.\nExit status: 0 no problems, 1 the table has problems (listed in "
        "the report), 2 the input cannot be read."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption jsonOption(
        QStringLiteral("json"), QStringLiteral("Print one JSON object instead of the report."));
    parser.addOption(jsonOption);
    parser.addPositionalArgument(
        QStringLiteral("FILE"), QStringLiteral("The table to decode, - for standard input."));
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        print(stderr, QStringLiteral("vortalex-edid: give exactly one FILE (see --help)\n"));
        return Unreadable;
    }
    QByteArray bytes;
    QString error;
    if (!readEdidInput(files.first(), bytes, error)) {
        print(stderr, QStringLiteral("vortalex-edid: %1\n").arg(error));
        return Unreadable;
    }

    const EdidInfo info = decodeEdid(bytes);
    if (parser.isSet(jsonOption))
        print(stdout,
            QString::fromUtf8(QJsonDocument(edidToJson(info)).toJson(QJsonDocument::Indented)));
    else
        print(stdout, edidReportText(info));
    for (const QString &problem : info.problems)
        print(stderr, QStringLiteral("vortalex-edid: %1\n").arg(problem));
    return info.problems.isEmpty() ? Clean : Problems;
}
