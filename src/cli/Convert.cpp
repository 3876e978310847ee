// tunevane-cli convert: the window's conversion without the window — the same presets, the same
// option texts, the same output names, tags and merging.
#include "CatalogOperations.h"
#include "CatalogTable.h"
#include "CliCommon.h"
#include "Config.h"
#include "ConversionBatch.h"
#include "ConvertTree.h"
#include "Engine.h"
#include "EngineOptions.h"
#include "ErrorTexts.h"
#include "FormatSettings.h"
#include "ItemBatchRow.h"
#include "LoudnessReport.h"
#include "MediaDuration.h"
#include "MediaItemTags.h"
#include "OutputFolders.h"
#include "OutputMerger.h"
#include "OutputTabs.h"
#include "PresetLookup.h"
#include "ProbeInputs.h"
#include "Settings.h"
#include "TagFiles.h"
#include "TimeFormat.h"
#include "UnixSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

#include <cstdlib>
#include <unistd.h>

namespace tv {

namespace {

struct Job {
    MediaItem item;
    QString subfolder; // below the output folder (--keep-tree)
    QString output;
    QString status = QStringLiteral("Canceled!");
    QString message;
    QString raw;
    qint64 startedMs = -1;
    double seconds = 0;
    int figure = 0;
    bool reported = false;
};

QString Json(const QJsonObject &object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// hh:mm:ss.fff from microseconds, as the trim fields hold times.
QString TrimText(qint64 microseconds) {
    return FormatPosition(microseconds);
}

class ConvertRun : public QObject {
public:
    int run(const QStringList &arguments);

private:
    void report(int row);
    void showProgress();
    void finish();

    QList<Job> m_jobs;
    bool m_json = false;
    bool m_terminal = false;
    bool m_interrupted = false;
    bool m_diskFull = false;
    bool m_merge = false;
    LoudnessSettings m_loudness;
    int m_upToDate = 0; // rows left out by --skip-existing
    int m_panel = AudioTab;
    QString m_outputFolder;
    int m_total = 0;
    QString m_totalText = QStringLiteral("0%");
    QElapsedTimer m_clock;
    QEventLoop m_loop;
    Engine m_engine;
    ConversionBatch *m_batch = nullptr;
    OutputMerger *m_merger = nullptr;
};

int ConvertRun::run(const QStringList &arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Converts files, and every media file in folders, with a preset of Tunevane's output formats."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("preset"), QStringLiteral("The preset, by its ID or name (see --list-presets)."),
         QStringLiteral("NAME")},
        {QStringLiteral("keyword"),
         QStringLiteral("The format button (MP3, FLAC, iPhone ...); alone it takes the "
                        "button's recommended preset."),
         QStringLiteral("K")},
        {QStringLiteral("output"), QStringLiteral("The output folder (default: the window's output folder)."),
         QStringLiteral("DIR")},
        {QStringLiteral("jobs"), QStringLiteral("Files converted at once (default: one per processor core)."),
         QStringLiteral("N")},
        {QStringLiteral("merge"), QStringLiteral("Join all outputs into one file named after the first.")},
        {QStringLiteral("overwrite"),
         QStringLiteral("Replace existing outputs instead of naming them _(new).")},
        {QStringLiteral("start"), QStringLiteral("Start every file at this time."),
         QStringLiteral("hh:mm:ss.fff")},
        {QStringLiteral("length"), QStringLiteral("Convert this long a part of every file."),
         QStringLiteral("hh:mm:ss.fff")},
        {QStringLiteral("dry-run"),
         QStringLiteral("Show each job's input, options and output; convert nothing.")},
        {QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")},
        {QStringLiteral("loudness"),
         QStringLiteral("off; track[=LUFS]: each file to the target (default -16); album[=LUFS]: one gain "
                        "for all files, keeping their levels; tags: ReplayGain tags, sound untouched. "
                        "True peaks stay under -1 dBTP."),
         QStringLiteral("MODE")},
        {QStringLiteral("keep-tree"),
         QStringLiteral("Recreate the folders below each folder argument under the output folder.")},
        {QStringLiteral("base"),
         QStringLiteral(
             "With --keep-tree: keep each input's path below DIR (for files given one at a time)."),
         QStringLiteral("DIR")},
        {QStringLiteral("skip-existing"),
         QStringLiteral("Leave out files whose output exists and is newer than the input; an older "
                        "output is replaced.")},
    });
    parser.addPositionalArgument(QStringLiteral("FILES"), QStringLiteral("Files and folders to convert."),
                                 QStringLiteral("FILES/FOLDERS..."));
    if (!parser.parse(QStringList{QStringLiteral("tunevane-cli convert")} + arguments)) {
        PrintError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return ExitOk;
    }
    const QStringList inputs = parser.positionalArguments();
    const QString presetName = parser.value(QStringLiteral("preset"));
    const QString keyword = parser.value(QStringLiteral("keyword"));
    if (inputs.isEmpty() || (presetName.isEmpty() && keyword.isEmpty())) {
        PrintError(QStringLiteral("convert needs --preset or --keyword, and files or folders "
                                  "(see tunevane-cli convert --help)."));
        return ExitUsage;
    }
    int jobs = 0;
    if (parser.isSet(QStringLiteral("jobs"))) {
        bool ok = false;
        jobs = parser.value(QStringLiteral("jobs")).toInt(&ok);
        if (!ok || jobs < 1 || jobs > 64) {
            PrintError(QStringLiteral("--jobs takes a number from 1 to 64."));
            return ExitUsage;
        }
    }
    qint64 start = -1;
    qint64 length = -1;
    if (parser.isSet(QStringLiteral("start")) &&
        (!ParseTimeText(parser.value("start"), &start) || start < 0)) {
        PrintError(QStringLiteral("--start takes a time such as 00:01:30.000."));
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("length")) &&
        (!ParseTimeText(parser.value("length"), &length) || length <= 0)) {
        PrintError(QStringLiteral("--length takes a time such as 00:00:30.000."));
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("loudness"))) {
        const QString problem = ParseLoudnessOption(parser.value(QStringLiteral("loudness")), &m_loudness);
        if (!problem.isEmpty()) {
            PrintError(problem);
            return ExitUsage;
        }
    }
    const bool skipExisting = parser.isSet(QStringLiteral("skip-existing"));
    const QString base = parser.value(QStringLiteral("base"));
    const bool keepTree = parser.isSet(QStringLiteral("keep-tree")) || !base.isEmpty();
    if (!base.isEmpty() && !QFileInfo(base).isDir()) {
        PrintError(QStringLiteral("--base takes a folder; \"%1\" is none.").arg(base));
        return ExitUsage;
    }
    m_json = parser.isSet(QStringLiteral("json"));
    m_terminal = !m_json && ::isatty(STDOUT_FILENO);
    m_merge = parser.isSet(QStringLiteral("merge"));
    const bool dryRun = parser.isSet(QStringLiteral("dry-run"));

    // The preset, exactly as the window applies it.
    const Catalogs catalogs = LoadCatalogsForCli();
    if (!catalogs.problem.isEmpty()) {
        PrintError(catalogs.problem);
        return ExitUsage;
    }
    const PresetMatch match = FindPreset(*catalogs.presets, presetName, keyword);
    if (match.row <= 0) {
        PrintError(match.problem);
        if (!match.suggestions.isEmpty())
            PrintError(QStringLiteral("Did you mean:\n  ") + match.suggestions.join(QStringLiteral("\n  ")));
        return ExitUsage;
    }
    BatchSettings settings;
    settings.format = PresetJobParameters(*catalogs.formats, *catalogs.presets, match.row);
    settings.format.Merge = m_merge;
    m_panel = TabOfMaker(GetCatalogField(*catalogs.presets, match.row, QStringLiteral("Maker")));

    m_outputFolder = parser.isSet(QStringLiteral("output")) ? parser.value(QStringLiteral("output"))
                                                            : Folders().outputFolder;
    m_outputFolder = WithTrailingSlash(QFileInfo(m_outputFolder).absoluteFilePath());
    // Unlike the window's box, a folder named on the command line is made with all its parents.
    if (!dryRun)
        QDir().mkpath(m_outputFolder);
    if (!dryRun && !CheckOutputFolder(m_outputFolder)) {
        PrintError(
            QStringLiteral("The output folder \"%1\" cannot be created or written to.").arg(m_outputFolder));
        return ExitUsage;
    }
    settings.outputFolder = m_outputFolder;
    LoadSettings();
    settings.outputFileNamePolicy = parser.isSet(QStringLiteral("overwrite")) ? 0 : Settings().outputFileName;
    // Re-syncing a tree replaces an output that is older than its input instead of adding a
    // "_(new)" copy beside it on every run.
    if (skipExisting)
        settings.outputFileNamePolicy = 0;
    settings.loudness = m_loudness;

    // Whole folders: each file with the folder its output goes to; up-to-date ones left out
    // before they are probed, so a second run over a large library is quick.
    QStringList probeArguments = inputs;
    QHash<QString, QString> subfolders;
    if (keepTree || skipExisting) {
        QList<TreeInput> tree;
        const QString problem = ExpandInputTree(inputs, keepTree, base, &tree);
        if (!problem.isEmpty()) {
            PrintError(problem);
            return ExitUsage;
        }
        probeArguments.clear();
        for (const TreeInput &input : std::as_const(tree)) {
            const QString existing = PlainOutputPath(m_outputFolder, input, settings.format.FileExtention);
            if (skipExisting && OutputUpToDate(existing, input.path)) {
                ++m_upToDate;
                if (m_json)
                    PrintOut(Json({{"input", input.path},
                                   {"output", existing},
                                   {"status", QStringLiteral("Skipped")},
                                   {"message", QStringLiteral("The output is up to date.")},
                                   {"raw", QString()},
                                   {"seconds", 0}}));
                else
                    PrintOut(QStringLiteral("Skipped  %1 (up to date: %2)\n").arg(input.path, existing));
                continue;
            }
            probeArguments << input.path;
            subfolders.insert(input.path, input.subfolder);
        }
    }

    // The inputs, probed as the window adds them.
    InstallTagReader();
    int failures = 0;
    const QList<ProbeOutcome> outcomes =
        probeArguments.isEmpty() ? QList<ProbeOutcome>() : ProbeInputs(probeArguments, true);
    for (const ProbeOutcome &outcome : outcomes) {
        if (outcome.addsRow()) {
            Job job;
            job.item = outcome.item;
            job.subfolder = subfolders.value(outcome.path);
            m_jobs.append(job);
        } else if (outcome.kind == ProbeOutcome::Skipped) {
            // Scripts see every input they gave: a skipped one says so and why.
            if (m_json)
                PrintOut(Json({{"input", outcome.path},
                               {"output", QString()},
                               {"status", QStringLiteral("Skipped")},
                               {"message", outcome.failureText},
                               {"raw", QString()},
                               {"seconds", 0}}));
            else
                PrintError(QStringLiteral("%1: skipped, %2").arg(outcome.path, outcome.failureText));
        } else {
            ++failures;
            if (m_json) {
                PrintOut(Json({{"input", outcome.path},
                               {"output", QString()},
                               {"status", QStringLiteral("Unsuccessful!")},
                               {"message", outcome.failureText},
                               {"raw", outcome.failureText},
                               {"seconds", 0}}));
            } else {
                PrintError(QStringLiteral("%1: %2").arg(outcome.path, outcome.failureText));
            }
        }
    }

    m_batch = new ConversionBatch(&m_engine, this);
    for (const Job &job : std::as_const(m_jobs))
        settings.inputPaths << job.item.inputPath();
    m_batch->begin(settings);
    QVector<TagRecord> records;
    for (int row = 0; row < m_jobs.size(); ++row) {
        MediaItem &item = m_jobs[row].item;
        if (start >= 0) {
            item[Item::TrimStart] = TrimText(start);
            const qint64 whole = TextToDuration(item[Item::TrimDuration]);
            item[Item::TrimDuration] = TrimText(length > 0 ? length : std::max<qint64>(0, whole - start));
        } else if (length > 0) {
            item[Item::TrimDuration] = TrimText(length);
        }
        BatchRow source = BatchRowOf(item);
        source.outputSubfolder = m_jobs[row].subfolder;
        if (!dryRun && !source.outputSubfolder.isEmpty())
            QDir().mkpath(m_outputFolder + source.outputSubfolder);
        const PreparedJob prepared = m_batch->prepareRow(row, source);
        m_jobs[row].output = prepared.convertedFileName;
        records.append(TagRecordOfItem(item));
        if (dryRun) {
            if (m_json)
                PrintOut(Json({{"input", source.inputPath},
                               {"inputOptions", prepared.inputOptions},
                               {"output", prepared.convertedFileName},
                               {"options", prepared.arguments}}));
            else
                PrintOut(QStringLiteral("%1\n  input options:%2\n  output: %3\n  options:%4\n")
                             .arg(source.inputPath, prepared.inputOptions, prepared.convertedFileName,
                                  prepared.arguments));
            continue;
        }
        if (!prepared.ok) {
            PrintError(QStringLiteral("%1: %2").arg(source.inputPath, prepared.message));
            for (const Job &job : std::as_const(m_jobs))
                ForgetProbePictures(job.item);
            return failures > 0 ? ExitSomeFailed : ExitUsage;
        }
    }
    if (dryRun) {
        m_batch->abandon();
        for (const Job &job : std::as_const(m_jobs))
            ForgetProbePictures(job.item);
        return failures > 0 ? ExitSomeFailed : ExitOk;
    }

    m_engine.setOutputTagging(TaggingForRows(records));
    connect(m_batch, &ConversionBatch::rowProgress, this, [this](int row, int figure) {
        if (row < 0 || row >= m_jobs.size())
            return;
        if (m_jobs[row].startedMs < 0)
            m_jobs[row].startedMs = m_clock.elapsed();
        m_jobs[row].figure = figure;
        showProgress();
    });
    connect(m_batch, &ConversionBatch::totalProgress, this, [this](int value, const QString &text) {
        m_total = value;
        m_totalText = text;
        showProgress();
    });
    connect(m_batch, &ConversionBatch::rowSucceeded, this, [this](int row, const QString &output) {
        m_jobs[row].status = QStringLiteral("Done");
        m_jobs[row].output = output;
        report(row);
    });
    connect(m_batch, &ConversionBatch::rowMoveFailed, this, [this](int row, const QString &message) {
        m_jobs[row].status = QStringLiteral("Unsuccessful!");
        m_jobs[row].message = m_jobs[row].raw = message;
        report(row);
    });
    connect(m_batch, &ConversionBatch::rowFailed, this,
            [this](int row, const QString &message, FailureKind kind) {
                m_jobs[row].status = QStringLiteral("Unsuccessful!");
                m_jobs[row].raw = message;
                m_jobs[row].message = kind == FailureKind::DiskFull      ? DiskFullText(m_outputFolder)
                                      : kind == FailureKind::InvalidData ? InvalidDataText()
                                                                         : message;
                report(row);
                if (kind == FailureKind::DiskFull && !m_diskFull) {
                    // As the window does: a full disk fails every file that would follow, so the
                    // batch stops and the rest is reported as not converted.
                    m_diskFull = true;
                    for (Job &job : m_jobs) {
                        if (!job.reported)
                            job.message = QStringLiteral("Not converted: the disk in the destination folder "
                                                         "is full.");
                    }
                    m_batch->stop();
                }
            });
    connect(m_batch, &ConversionBatch::rowStopped, this, [this](int row) { report(row); });
    connect(m_batch, &ConversionBatch::batchEnded, this, &ConvertRun::finish);
    // The clock's ticks tell a stalled engine apart, as the window's total bar does.
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, m_batch, &ConversionBatch::tick);

    UnixSignals interrupts;
    connect(&interrupts, &UnixSignals::terminateRequested, this, [this]() {
        if (m_interrupted) {
            // Asked twice: a job may hang on a file system that does not answer; end now.
            PrintError(
                QStringLiteral("Stopped at once; unfinished work files may be left in the output folder."));
            std::_Exit(130);
        }
        m_interrupted = true;
        if (m_merger && m_merger->isRunning())
            m_merger->cancel();
        else
            m_batch->stop();
    });

    m_clock.start();
    ticks.start(1000);
    m_batch->start(jobs);
    m_loop.exec();
    ticks.stop();

    for (const Job &job : std::as_const(m_jobs)) {
        if (job.status == QLatin1String("Unsuccessful!"))
            ++failures;
        ForgetProbePictures(job.item);
    }
    if (m_interrupted)
        return ExitInterrupted;
    return failures > 0 ? ExitSomeFailed : ExitOk;
}

void ConvertRun::showProgress() {
    if (!m_terminal)
        return;
    int running = 0;
    QString current;
    for (const Job &job : std::as_const(m_jobs)) {
        if (job.startedMs >= 0 && !job.reported) {
            ++running;
            current = QStringLiteral("%1 %2%").arg(job.item[Item::Name]).arg(job.figure);
        }
    }
    QString line = QStringLiteral("\r\x1b[K%1 total, %2 running  %3  %4")
                       .arg(m_totalText)
                       .arg(running)
                       .arg(FormatClock(m_clock.elapsed() / 1000), current.left(60));
    PrintOut(line);
}

void ConvertRun::report(int row) {
    Job &job = m_jobs[row];
    if (job.reported)
        return;
    job.reported = true;
    job.seconds = (m_clock.elapsed() - std::max<qint64>(0, job.startedMs)) / 1000.0;
    const QString input = job.item.inputPath();
    const LoudnessOutcome loudness = m_batch->loudnessOf(row);
    if (m_json) {
        QJsonObject object{
            {"input", input},       {"output", job.status == QLatin1String("Done") ? job.output : QString()},
            {"status", job.status}, {"message", job.message},
            {"raw", job.raw},       {"seconds", job.seconds}};
        if (job.status == QLatin1String("Done"))
            AddLoudnessJson(m_loudness.mode, loudness, &object);
        PrintOut(Json(object));
        return;
    }
    const QString clear = m_terminal ? QStringLiteral("\r\x1b[K") : QString();
    if (job.status == QLatin1String("Done"))
        PrintOut(
            clear +
            QStringLiteral("Done  %1 -> %2 (%3 s)\n").arg(input, job.output).arg(job.seconds, 0, 'f', 1) +
            (LoudnessLine(m_loudness.mode, loudness).isEmpty()
                 ? QString()
                 : QStringLiteral("  %1\n").arg(LoudnessLine(m_loudness.mode, loudness))));
    else if (job.status == QLatin1String("Unsuccessful!"))
        PrintOut(clear +
                 QStringLiteral("Unsuccessful!  %1\n  %2\n  (%3)\n").arg(input, job.message, job.raw));
    else
        PrintOut(clear + QStringLiteral("Canceled!  %1\n").arg(input) +
                 (job.message.isEmpty() ? QString() : QStringLiteral("  %1\n").arg(job.message)));
}

void ConvertRun::finish() {
    int done = 0;
    int failed = 0;
    for (const Job &job : std::as_const(m_jobs)) {
        done += job.status == QLatin1String("Done") ? 1 : 0;
        failed += job.status == QLatin1String("Unsuccessful!") ? 1 : 0;
    }
    if (m_merge && !m_interrupted && failed == 0 && done >= 2) {
        m_merger = new OutputMerger(this);
        MergeRequest request;
        for (const Job &job : std::as_const(m_jobs)) {
            if (job.status == QLatin1String("Done"))
                request.outputs << job.output;
        }
        request.outputFolder = m_outputFolder;
        request.panelIndex = m_panel;
        request.workFolder = Paths().tempFolder;
        const TagRecord first = TagRecordOfItem(m_jobs.first().item);
        request.writeTags = [first](const QString &joined) { WriteTagsToOutput(joined, first); };
        connect(m_merger, &OutputMerger::finished, this, [this](const MergeResult &result) {
            if (!result.ok) {
                PrintError(result.error);
                m_jobs.first().status = QStringLiteral("Unsuccessful!");
            } else if (result.merged && !m_json) {
                PrintOut(QStringLiteral("Joined into %1\n").arg(result.finalPath));
            } else if (result.merged) {
                PrintOut(Json({{"merged", result.finalPath}}));
            }
            m_loop.quit();
        });
        m_merger->start(request);
        return;
    }
    if (!m_json) {
        const QString clear = m_terminal ? QStringLiteral("\r\x1b[K") : QString();
        PrintOut(clear + QStringLiteral("%1 of %2 files converted in %3%4\n")
                             .arg(done)
                             .arg(m_jobs.size())
                             .arg(FormatClock(m_clock.elapsed() / 1000),
                                  m_interrupted ? QStringLiteral(" (interrupted)") : QString()));
        if (m_upToDate > 0)
            PrintOut(QStringLiteral("%1 skipped: their outputs are up to date.\n").arg(m_upToDate));
    }
    m_loop.quit();
}

} // namespace

int ConvertCommand(const QStringList &arguments) {
    ConvertRun run;
    return run.run(arguments);
}

} // namespace tv
