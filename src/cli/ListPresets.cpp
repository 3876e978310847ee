// tunevane-cli --list-presets: the shipped and user presets, for people and for scripts.
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "CliCommon.h"
#include "PresetLookup.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tv {

int ListPresetsCommand(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Lists the output presets: the shipped ones and your own."));
    parser.addHelpOption();
    parser.addOption({QStringLiteral("list-presets"), QStringLiteral("List the presets.")});
    parser.addOption({QStringLiteral("maker"),
                      QStringLiteral("Only presets of this output tab (VideoFormat, "
                                     "DeviceFormat, AudioFormat, WebFormat)."),
                      QStringLiteral("M")});
    parser.addOption({QStringLiteral("keyword"),
                      QStringLiteral("Only presets under this format button (MP3, FLAC, "
                                     "iPhone ...)."),
                      QStringLiteral("K")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON array of preset objects.")});
    if (!parser.parse(QStringList{QStringLiteral("tunevane-cli")} + arguments)) {
        PrintError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return ExitOk;
    }
    if (!parser.positionalArguments().isEmpty()) {
        PrintError(
            QStringLiteral("--list-presets takes no files: %1").arg(parser.positionalArguments().join(' ')));
        return ExitUsage;
    }
    const QString maker = parser.value(QStringLiteral("maker"));
    const QString keyword = parser.value(QStringLiteral("keyword"));
    const Catalogs catalogs = LoadCatalogsForCli();
    if (!catalogs.problem.isEmpty()) {
        PrintError(catalogs.problem);
        return ExitUsage;
    }
    const CatalogTable &presets = *catalogs.presets;

    static const QList<QPair<QString, QString>> kKeys = {{"id", "ID"},
                                                         {"name", "Name"},
                                                         {"maker", "Maker"},
                                                         {"keyword", "Keyword"},
                                                         {"format", "Format"},
                                                         {"extension", "FileExtention"},
                                                         {"codec", "AudioCodec"},
                                                         {"sampleRate", "SampleRate"},
                                                         {"channels", "Channels"},
                                                         {"bitrate", "AudioBitrate"},
                                                         {"sampleSize", "AudioSize"}};
    QJsonArray array;
    QString text;
    int count = 0;
    for (int row = 1; row <= presets.rows(); ++row) {
        if (!IsListedPreset(presets, row))
            continue;
        if (!maker.isEmpty() && PlainField(presets, row, "Maker").compare(maker, Qt::CaseInsensitive) != 0)
            continue;
        if (!keyword.isEmpty() &&
            PlainField(presets, row, "Keyword").compare(keyword, Qt::CaseInsensitive) != 0)
            continue;
        ++count;
        if (parser.isSet(QStringLiteral("json"))) {
            QJsonObject object;
            for (const auto &[key, field] : kKeys)
                object.insert(key, PlainField(presets, row, field));
            array.append(object);
        } else {
            text += QStringLiteral("%1  %2 / %3\n    %4 %5, %6, %7, %8\n")
                        .arg(PlainField(presets, row, "ID"), -12)
                        .arg(PlainField(presets, row, "Keyword"), PlainField(presets, row, "Name"),
                             PlainField(presets, row, "FileExtention"),
                             PlainField(presets, row, "AudioCodec"), PlainField(presets, row, "SampleRate"),
                             PlainField(presets, row, "Channels"), PlainField(presets, row, "AudioBitrate"));
        }
    }
    if (parser.isSet(QStringLiteral("json")))
        PrintOut(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Indented)));
    else
        PrintOut(text + QStringLiteral("%1 preset%2\n").arg(count).arg(count == 1 ? "" : "s"));
    return ExitOk;
}

} // namespace tv
