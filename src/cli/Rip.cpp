// tunevane-cli rip: a disc (drive or image) ripped securely and converted in one go, through the
// same reader, disc information, engine, output names and tag layer as the window.
#include "CatalogTable.h"
#include "CliCommon.h"
#include "Config.h"
#include "ConversionBatch.h"
#include "DiscSession.h"
#include "Engine.h"
#include "FormatSettings.h"
#include "ItemBatchRow.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "OutputFolders.h"
#include "PresetLookup.h"
#include "ProbeInputs.h"
#include "RipJob.h"
#include "RipLog.h"
#include "RipNames.h"
#include "Settings.h"
#include "SoundErrors.h"
#include "TagFiles.h"
#include "TimeFormat.h"
#include "UnixSignals.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimer>

#include <unistd.h>

namespace tv {

namespace {

// One track of the disc as the run follows it: read, then converted.
struct TrackRun {
    int number = 0;
    QString title;
    QString output;
    QString status = QStringLiteral("Canceled!");
    QString message;
    RipTrackResult rip;
    bool ripped = false;
};

QString Json(const QJsonObject &object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// "1,3-5" over the disc's audio tracks; an empty answer with *error set when the text is wrong.
QList<int> ParseTracks(const QString &text, const DiscToc &toc, QString *error) {
    QList<int> numbers;
    const QVector<DiscTrack> audio = toc.audioTracks();
    if (text.isEmpty()) {
        for (const DiscTrack &track : audio)
            numbers << track.number;
        return numbers;
    }
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        bool okFrom = false;
        bool okTo = false;
        const int from = part.section(QLatin1Char('-'), 0, 0).trimmed().toInt(&okFrom);
        const int to = part.contains(QLatin1Char('-'))
                           ? part.section(QLatin1Char('-'), 1).trimmed().toInt(&okTo)
                           : (okTo = okFrom, from);
        if (!okFrom || !okTo || from > to) {
            *error = QStringLiteral("--tracks takes numbers and ranges such as 1,3-5.");
            return {};
        }
        for (int n = from; n <= to; ++n) {
            const DiscTrack *track = toc.track(n);
            if (!track) {
                *error = QStringLiteral("The disc has no track %1.").arg(n);
                return {};
            }
            if (!track->audio) {
                *error = QStringLiteral("Track %1: %2").arg(n).arg(SoundErrorText(SoundError::NotAudioTrack));
                return {};
            }
            if (!numbers.contains(n))
                numbers << n;
        }
    }
    return numbers;
}

class RipRun : public QObject {
public:
    int run(const QStringList &arguments);

private:
    bool readDisc(const QString &source, bool network);
    void showRipProgress(int track, int percent);
    void report(TrackRun &track);
    int convert(const BatchSettings &settings, int parallel);

    // One handler for the whole run; Ctrl-C stops whichever part is running.
    UnixSignals m_interrupts;
    CdRipper *m_ripper = nullptr;
    ConversionBatch *m_batch = nullptr;
    DiscSession m_session;
    QList<TrackRun> m_tracks;
    bool m_json = false;
    bool m_terminal = false;
    bool m_interrupted = false;
    int m_overall = 0;
    QElapsedTimer m_clock;
};

bool RipRun::readDisc(const QString &source, bool network) {
    QEventLoop loop;
    m_session.setNetworkEnabled(network);
    connect(&m_session, &DiscSession::discRead, &loop, &QEventLoop::quit);
    m_session.readDisc(source);
    loop.exec();
    const DiscReading &disc = m_session.disc();
    if (disc.code != 0) {
        PrintError(disc.message.isEmpty() ? QStringLiteral("%1: %2").arg(source, SoundErrorText(disc.code))
                                          : disc.message);
        return false;
    }
    // Several releases: the first is taken, and the others are named so a user can tell.
    connect(&m_session, &DiscSession::releasesFound, this,
            [this](const QString &, const QVector<ReleaseCandidate> &releases) {
                QStringList others;
                for (int i = 1; i < releases.size(); ++i)
                    others << releases.at(i).description();
                if (!m_json)
                    PrintError(
                        QStringLiteral("Several releases match this disc; taking \"%1\" (others: %2).")
                            .arg(releases.constFirst().description(), others.join(QStringLiteral("; "))));
                m_session.chooseRelease(0);
            });
    connect(&m_session, &DiscSession::lookupFinished, &loop, &QEventLoop::quit);
    if (m_session.requestDiscInfo() == 0)
        loop.exec();
    return true;
}

void RipRun::showRipProgress(int track, int percent) {
    if (!m_terminal)
        return;
    int index = 0;
    while (index < m_tracks.size() && m_tracks.at(index).number != track)
        ++index;
    const QString title = index < m_tracks.size() ? m_tracks.at(index).title : QString();
    PrintOut(QStringLiteral("\r\x1b[KRipping track %1 of %2 (%3) %4%, total %5%  %6")
                 .arg(index + 1)
                 .arg(m_tracks.size())
                 .arg(title.left(40))
                 .arg(percent)
                 .arg(m_overall)
                 .arg(FormatClock(m_clock.elapsed() / 1000)));
}

void RipRun::report(TrackRun &track) {
    if (m_json) {
        PrintOut(Json({{"track", track.number},
                       {"title", track.title},
                       {"output", track.status == QLatin1String("Done") ? track.output : QString()},
                       {"status", track.status},
                       {"message", track.message},
                       {"crc32", track.ripped ? ChecksumText(track.rip.copyCrc) : QString()},
                       {"testCrc32", track.rip.tested ? ChecksumText(track.rip.testCrc) : QString()},
                       {"accurateRipV1", track.ripped ? ChecksumText(track.rip.accurateRipV1) : QString()},
                       {"accurateRipV2", track.ripped ? ChecksumText(track.rip.accurateRipV2) : QString()},
                       {"corrections", track.rip.corrections},
                       {"skips", track.rip.skips}}));
        return;
    }
    const QString clear = m_terminal ? QStringLiteral("\r\x1b[K") : QString();
    const QString name = QStringLiteral("%1 %2").arg(track.number, 2, 10, QLatin1Char('0')).arg(track.title);
    if (track.status == QLatin1String("Done"))
        PrintOut(clear +
                 QStringLiteral("Done  %1 -> %2\n  CRC32 %3, AccurateRip v1 %4, v2 %5, %6 corrections\n")
                     .arg(name, track.output, ChecksumText(track.rip.copyCrc),
                          ChecksumText(track.rip.accurateRipV1), ChecksumText(track.rip.accurateRipV2))
                     .arg(track.rip.corrections));
    else if (track.status == QLatin1String("Unsuccessful!"))
        PrintOut(clear + QStringLiteral("Unsuccessful!  %1\n  %2\n").arg(name, track.message));
    else
        PrintOut(clear + QStringLiteral("Canceled!  %1\n").arg(name));
}

int RipRun::convert(const BatchSettings &base, int parallel) {
    // The ripped files, probed as the window adds them, with the disc's tags.
    QList<int> rows; // index into m_tracks of each batch row
    QStringList paths;
    for (int i = 0; i < m_tracks.size(); ++i) {
        if (m_tracks.at(i).ripped && m_tracks.at(i).rip.status == RipStatus::Done) {
            rows << i;
            paths << m_tracks.at(i).rip.outputPath;
        }
    }
    if (rows.isEmpty())
        return 0;
    InstallTagReader();
    QList<ProbeOutcome> outcomes = ProbeInputs(paths, false);
    const DiscText &info = m_session.info();
    const DiscToc &toc = m_session.disc().toc;
    QByteArray cover;
    if (!m_session.coverPath().isEmpty()) {
        QFile file(m_session.coverPath());
        if (file.open(QIODevice::ReadOnly))
            cover = file.readAll();
    }

    Engine engine;
    ConversionBatch batch(&engine);
    BatchSettings settings = base;
    settings.inputPaths = paths;
    batch.begin(settings);
    QVector<TagRecord> records;
    QList<int> jobs; // m_tracks index of each job
    for (int i = 0; i < outcomes.size() && i < rows.size(); ++i) {
        TrackRun &track = m_tracks[rows.at(i)];
        if (!outcomes.at(i).addsRow()) {
            track.status = QStringLiteral("Unsuccessful!");
            track.message = outcomes.at(i).failureText;
            report(track);
            continue;
        }
        MediaItem item = outcomes.at(i).item;
        BatchRow source = BatchRowOf(item);
        // The whole track: its length rounded up to the millisecond the option text counts in, so
        // the last samples are not cut off.
        const qint64 samples = qint64(toc.track(track.number)->sectors) * kSamplesPerSector;
        source.trimDuration = FormatPosition((samples * 1000 + 44099) / 44100 * 1000);
        const PreparedJob prepared = batch.prepareRow(static_cast<int>(jobs.size()), source);
        ForgetProbePictures(item);
        if (!prepared.ok) {
            batch.abandon();
            track.status = QStringLiteral("Unsuccessful!");
            track.message = prepared.message;
            report(track);
            return 1;
        }
        track.output = prepared.convertedFileName;
        TagRecord record;
        record.title = track.title;
        record.artist = info.artist;
        record.album = info.album;
        record.genre = info.genre;
        record.year = info.year;
        record.track = QString::number(track.number);
        record.pictureData = cover;
        records << record;
        jobs << rows.at(i);
    }
    if (jobs.isEmpty())
        return 1;
    engine.setOutputTagging(TaggingForRows(records));
    QEventLoop loop;
    connect(&batch, &ConversionBatch::totalProgress, this, [this](int, const QString &text) {
        if (m_terminal)
            PrintOut(
                QStringLiteral("\r\x1b[KConverting %1  %2").arg(text, FormatClock(m_clock.elapsed() / 1000)));
    });
    connect(&batch, &ConversionBatch::rowSucceeded, this, [this, &jobs](int row, const QString &output) {
        TrackRun &track = m_tracks[jobs.at(row)];
        track.status = QStringLiteral("Done");
        track.output = output;
        report(track);
    });
    auto failed = [this, &jobs](int row, const QString &message) {
        TrackRun &track = m_tracks[jobs.at(row)];
        track.status = QStringLiteral("Unsuccessful!");
        track.message = message;
        report(track);
    };
    connect(&batch, &ConversionBatch::rowMoveFailed, this, failed);
    connect(&batch, &ConversionBatch::rowFailed, this,
            [failed](int row, const QString &message, FailureKind) { failed(row, message); });
    connect(&batch, &ConversionBatch::rowStopped, this,
            [this, &jobs](int row) { report(m_tracks[jobs.at(row)]); });
    connect(&batch, &ConversionBatch::batchEnded, &loop, &QEventLoop::quit);
    if (m_interrupted)
        return 0;
    m_batch = &batch;
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, &batch, &ConversionBatch::tick);
    ticks.start(1000);
    batch.start(parallel);
    loop.exec();
    m_batch = nullptr;
    return 0;
}

int RipRun::run(const QStringList &arguments) {
    connect(&m_interrupts, &UnixSignals::terminateRequested, this, [this]() {
        m_interrupted = true;
        if (m_ripper)
            m_ripper->stop();
        if (m_batch)
            m_batch->stop();
    });
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Rips an audio CD, or a disc image opened like one, securely (test and copy, with CRC32 and "
        "AccurateRip checksums) and converts the tracks with a preset, named and tagged from CD-Text or "
        "MusicBrainz."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("drive"), QStringLiteral("The CD drive (default: the first one)."),
         QStringLiteral("DEVICE")},
        {QStringLiteral("image"),
         QStringLiteral("A disc image (.cue with its .bin, .toc, .nrg) instead of a drive."),
         QStringLiteral("FILE")},
        {QStringLiteral("tracks"), QStringLiteral("The tracks to rip (default: every audio track)."),
         QStringLiteral("1,3-5")},
        {QStringLiteral("preset"), QStringLiteral("The preset, by its ID or name (see --list-presets)."),
         QStringLiteral("ID")},
        {QStringLiteral("keyword"), QStringLiteral("The format button (MP3, FLAC, WAV ...)."),
         QStringLiteral("EXT")},
        {QStringLiteral("output"), QStringLiteral("The output folder (default: the window's output folder)."),
         QStringLiteral("DIR")},
        {QStringLiteral("no-network"), QStringLiteral("Use CD-Text only; ask MusicBrainz nothing.")},
        {QStringLiteral("read-offset"), QStringLiteral("The drive's read offset correction, in samples."),
         QStringLiteral("N")},
        {QStringLiteral("log"), QStringLiteral("Write the rip log (drive, offsets, checksums) to this file."),
         QStringLiteral("FILE")},
        {QStringLiteral("json"), QStringLiteral("One JSON object per track and line.")},
    });
    if (!parser.parse(QStringList{QStringLiteral("tunevane-cli rip")} + arguments)) {
        PrintError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return ExitOk;
    }
    const QString presetName = parser.value(QStringLiteral("preset"));
    const QString keyword = parser.value(QStringLiteral("keyword"));
    if ((presetName.isEmpty() && keyword.isEmpty()) || !parser.positionalArguments().isEmpty() ||
        (parser.isSet(QStringLiteral("drive")) && parser.isSet(QStringLiteral("image")))) {
        PrintError(QStringLiteral("rip needs --preset or --keyword, and at most one of --drive and --image "
                                  "(see tunevane-cli rip --help)."));
        return ExitUsage;
    }
    bool offsetOk = true;
    const int readOffset = parser.isSet(QStringLiteral("read-offset"))
                               ? parser.value(QStringLiteral("read-offset")).toInt(&offsetOk)
                               : 0;
    if (!offsetOk || qAbs(readOffset) > 5 * 588 * 10) {
        PrintError(QStringLiteral("--read-offset takes a number of samples such as 6 or -1164."));
        return ExitUsage;
    }
    m_json = parser.isSet(QStringLiteral("json"));
    m_terminal = !m_json && ::isatty(STDOUT_FILENO);

    const Catalogs catalogs = LoadCatalogsForCli();
    const PresetMatch match = FindPreset(*catalogs.presets, presetName, keyword);
    if (match.row <= 0) {
        PrintError(match.problem);
        if (!match.suggestions.isEmpty())
            PrintError(QStringLiteral("Did you mean:\n  ") + match.suggestions.join(QStringLiteral("\n  ")));
        return ExitUsage;
    }
    BatchSettings settings;
    settings.format = PresetJobParameters(*catalogs.formats, *catalogs.presets, match.row);
    settings.format.Merge = false;
    QString outputFolder = parser.isSet(QStringLiteral("output")) ? parser.value(QStringLiteral("output"))
                                                                  : Folders().outputFolder;
    outputFolder = WithTrailingSlash(QFileInfo(outputFolder).absoluteFilePath());
    QDir().mkpath(outputFolder);
    if (!CheckOutputFolder(outputFolder)) {
        PrintError(
            QStringLiteral("The output folder \"%1\" cannot be created or written to.").arg(outputFolder));
        return ExitUsage;
    }
    settings.outputFolder = outputFolder;
    LoadSettings();
    settings.outputFileNamePolicy = Settings().outputFileName;

    // The disc: an image, the named drive, or the first drive there is.
    QString source = parser.value(QStringLiteral("image"));
    if (source.isEmpty())
        source = parser.value(QStringLiteral("drive"));
    if (source.isEmpty()) {
        const QVector<DriveEntry> drives = ListCdDrives();
        if (drives.isEmpty()) {
            PrintError(QStringLiteral("No CD Drive available! Name a disc image with --image."));
            return ExitUsage;
        }
        source = drives.constFirst().device;
    }
    m_clock.start();
    const QString workFolder = NewRipFolder(Paths().tempFolder);
    if (workFolder.isEmpty()) {
        PrintError(QStringLiteral("The temporary folder %1 cannot be written to.").arg(Paths().tempFolder));
        return ExitUsage;
    }
    // The work files go with the run, however it ends.
    struct Cleanup {
        QString folder;
        ~Cleanup() { QDir(folder).removeRecursively(); }
    } cleanup{workFolder};
    m_session.setCoverFolder(workFolder);
    if (!readDisc(source, !parser.isSet(QStringLiteral("no-network"))))
        return m_interrupted ? ExitInterrupted : ExitSomeFailed;
    const DiscToc &toc = m_session.disc().toc;
    QString error;
    const QList<int> numbers = ParseTracks(parser.value(QStringLiteral("tracks")), toc, &error);
    if (numbers.isEmpty()) {
        PrintError(error.isEmpty() ? SoundErrorText(SoundError::NotAudioTrack) : error);
        return ExitUsage;
    }

    // The rip.
    const DiscText &info = m_session.info();
    RipRequest request;
    request.source = source;
    request.readOffset = readOffset;
    QSet<QString> taken;
    for (const int number : numbers) {
        TrackRun track;
        track.number = number;
        track.title = info.titles.value(number);
        if (track.title.isEmpty())
            track.title = NumberedTrackName(number);
        RipTrackPlan plan = PlanTrack(
            toc, *toc.track(number),
            RippedFileName(workFolder, m_session.infoAvailable(), info.artist, track.title, number, &taken));
        plan.title = track.title;
        request.tracks << plan;
        m_tracks << track;
    }
    CdRipper ripper;
    QEventLoop loop;
    connect(&ripper, &CdRipper::overallProgress, this, [this](int percent) { m_overall = percent; });
    connect(&ripper, &CdRipper::trackProgress, this, &RipRun::showRipProgress);
    connect(&ripper, &CdRipper::trackFinished, this, [this](int index, const RipTrackResult &result) {
        TrackRun &track = m_tracks[index];
        track.rip = result;
        track.ripped = true;
        if (result.status != RipStatus::Done) {
            track.status = RipStatusText(result.status);
            track.message = result.error;
            report(track);
        }
    });
    connect(&ripper, &CdRipper::ripFinished, &loop, &QEventLoop::quit);
    if (m_interrupted)
        return ExitInterrupted;
    m_ripper = &ripper;
    ripper.start(request);
    loop.exec();
    m_ripper = nullptr;

    if (parser.isSet(QStringLiteral("log"))) {
        RipLogInfo log;
        log.source = source;
        log.image = IsDiscImagePath(source);
        log.driveModel = ripper.outcome().driveModel;
        log.readOffset = readOffset;
        log.testAndCopy = request.testAndCopy;
        log.started = ripper.startedAt();
        log.toc = toc;
        log.info = info;
        log.discId = m_session.discId();
        log.error = ripper.outcome().error;
        QSaveFile file(parser.value(QStringLiteral("log")));
        const QByteArray text = RipLogText(log, ripper.results()).toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
            PrintError(QStringLiteral("The rip log cannot be written: %1").arg(file.errorString()));
    }
    if (ripper.outcome().result == -1) {
        PrintError(ripper.outcome().error);
        return ExitSomeFailed;
    }

    // The conversion of what was read well.
    if (!m_interrupted)
        convert(settings, 0);
    int done = 0;
    int failed = 0;
    for (TrackRun &track : m_tracks) {
        done += track.status == QLatin1String("Done") ? 1 : 0;
        failed += track.status == QLatin1String("Unsuccessful!") ? 1 : 0;
        if (track.status == QLatin1String("Canceled!") && track.ripped && track.rip.status == RipStatus::Done)
            report(track); // read but not converted: the run was interrupted
    }
    if (!m_json)
        PrintOut((m_terminal ? QStringLiteral("\r\x1b[K") : QString()) +
                 QStringLiteral("%1 of %2 tracks ripped and converted in %3%4\n")
                     .arg(done)
                     .arg(m_tracks.size())
                     .arg(FormatClock(m_clock.elapsed() / 1000),
                          m_interrupted ? QStringLiteral(" (interrupted)") : QString()));
    if (m_interrupted)
        return ExitInterrupted;
    return failed > 0 ? ExitSomeFailed : ExitOk;
}

} // namespace

int RipCommand(const QStringList &arguments) {
    RipRun run;
    return run.run(arguments);
}

} // namespace tv
