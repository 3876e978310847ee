// tunevane-cli info: what the window's list would hold for each file.
#include "CliCommon.h"
#include "MediaItemTags.h"
#include "ProbeInputs.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>

namespace tv {

namespace {

// Every named field; the status and progress columns have no name and hold nothing yet.
QList<QPair<QString, int>> NamedFields() {
    QList<QPair<QString, int>> fields;
    const QStringList &captions = ColumnCaptions();
    for (int column = 0; column < captions.size(); ++column) {
        if (!captions.at(column).trimmed().isEmpty())
            fields.append({captions.at(column), ColumnItem(column)});
    }
    return fields;
}

} // namespace

int InfoCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Shows what Tunevane finds in media files: every field of the file list by its name."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    parser.addPositionalArgument(QStringLiteral("FILES"), QStringLiteral("The files to look at."),
                                 "FILES...");
    if (!parser.parse(QStringList{QStringLiteral("tunevane-cli info")} + arguments)) {
        PrintError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return ExitOk;
    }
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        PrintError(QStringLiteral("info needs at least one file (see tunevane-cli info --help)."));
        return ExitUsage;
    }
    InstallTagReader();
    const bool json = parser.isSet(QStringLiteral("json"));
    const QList<QPair<QString, int>> fields = NamedFields();
    int failed = 0;
    for (const ProbeOutcome &outcome : ProbeInputs(files, false)) {
        QJsonObject object;
        QString text = outcome.path + QLatin1Char('\n');
        if (outcome.addsRow()) {
            for (const auto &[caption, item] : fields) {
                object.insert(caption, outcome.item[item]);
                text += QStringLiteral("  %1: %2\n").arg(caption, outcome.item[item]);
            }
            ForgetProbePictures(outcome.item);
        } else if (outcome.kind == ProbeOutcome::Skipped) {
            object.insert(QStringLiteral("skipped"), true);
            text += QStringLiteral("  skipped: shorter than one second, or of unknown length\n");
        } else {
            ++failed;
            object.insert(QStringLiteral("error"), outcome.failureText);
            text += QStringLiteral("  error: %1\n").arg(outcome.failureText);
        }
        if (json) {
            object.insert(QStringLiteral("path"), outcome.path);
            PrintOut(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) +
                     QLatin1Char('\n'));
        } else {
            PrintOut(text);
        }
    }
    return failed > 0 ? ExitSomeFailed : ExitOk;
}

} // namespace tv
