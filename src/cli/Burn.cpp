// tunevane-cli burn: an audio CD from sound files (decoded by the engine to CD audio, with
// CD-Text from their tags), or a data CD or DVD from files and folders as they are, written to a
// drive or, with --image, to a BIN/CUE or ISO file, through the writer the burner windows use.
#include "CliCommon.h"
#include "Config.h"
#include "DiscWriter.h"
#include "Engine.h"
#include "MediaItem.h"
#include "MediaItemTags.h"
#include "PresetIdentifier.h"
#include "ProbeInputs.h"
#include "TimeFormat.h"
#include "UnixSignals.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

namespace tv {

namespace {

const QString kNoSpace =
    QStringLiteral("This disc doesn't have enough free space for all the selected file.");
const QString kCdAudioOptions = QStringLiteral(" -ac 2 -ar 44100 -acodec pcm_s16le");

QString Json(const QJsonObject &object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n');
}

// One input as the run follows it.
struct Input {
    QString path;
    QString name; // on the disc: the title of a track, the name of a file or folder
    QString status = QStringLiteral("Ready");
    QString message;
    AudioTrackSource track;
    QString album;
    double seconds = 0; // the probe's length, for the space check before decoding
    DataEntry entry;
};

class BurnRun : public QObject {
public:
    ~BurnRun() override;
    int run(const QStringList &arguments);

private:
    bool collectAudio(const QStringList &paths);
    void collectData(const QStringList &paths);
    bool decode();
    bool chooseDrive(const QString &device);
    void report(const Input &input);
    void finish(const QString &status, const QString &message);
    void progressLine(const QString &text);

    UnixSignals m_interrupts;
    DiscWriter *m_writer = nullptr;
    Engine *m_engine = nullptr;
    QList<Input> m_inputs;
    QStringList m_temporary; // decoded WAVs, removed when the run ends
    BurnKind m_kind = BurnKind::AudioCD;
    QString m_target;
    bool m_json = false;
    bool m_terminal = false;
    bool m_interrupted = false;
    QElapsedTimer m_clock;
};

BurnRun::~BurnRun() {
    for (const QString &path : std::as_const(m_temporary))
        QFile::remove(path);
}

void BurnRun::progressLine(const QString &text) {
    if (m_terminal)
        PrintOut(QStringLiteral("\r\x1b[K%1  %2").arg(text, FormatClock(m_clock.elapsed() / 1000)));
}

void BurnRun::report(const Input &input) {
    if (m_json) {
        PrintOut(Json({{"input", input.path},
                       {"name", input.name},
                       {"status", input.status},
                       {"message", input.message}}));
    } else if (input.status != QLatin1String("Ready")) {
        PrintOut((m_terminal ? QStringLiteral("\r\x1b[K") : QString()) +
                 QStringLiteral("%1  %2\n  %3\n").arg(input.status, input.path, input.message));
    }
}

void BurnRun::finish(const QString &status, const QString &message) {
    if (m_json) {
        PrintOut(Json({{"target", m_target}, {"status", status}, {"message", message}}));
        return;
    }
    const QString clear = m_terminal ? QStringLiteral("\r\x1b[K") : QString();
    if (status == QLatin1String("Done"))
        PrintOut(clear + QStringLiteral("Successfully completed! %1 written in %2\n")
                             .arg(m_target, FormatClock(m_clock.elapsed() / 1000)));
    else
        PrintError(clear + (message.isEmpty() ? status : message));
}

bool BurnRun::collectAudio(const QStringList &paths) {
    InstallTagReader();
    bool ok = true;
    for (const ProbeOutcome &outcome : ProbeInputs(paths, true)) {
        Input input;
        input.path = outcome.path;
        input.name = outcome.fileName;
        if (!outcome.addsRow()) {
            // A file the list would skip for being short still makes a track.
            if (outcome.kind != ProbeOutcome::Skipped || !QFileInfo(outcome.path).isFile()) {
                input.status = QStringLiteral("Unsuccessful!");
                input.message = outcome.failureText;
                ok = false;
            }
        } else {
            const MediaItem &item = outcome.item;
            input.path = item.inputPath();
            input.track.title = item[Item::TagTitle].trimmed();
            input.track.performer = item[Item::TagArtist].trimmed();
            input.album = item[Item::TagAlbum].trimmed();
            input.seconds = item[Item::FileDurationInMs].toDouble();
            input.name = input.track.title.isEmpty() ? QFileInfo(input.path).fileName() : input.track.title;
            ForgetProbePictures(item);
        }
        m_inputs << input;
        if (!input.message.isEmpty())
            report(input);
    }
    return ok;
}

void BurnRun::collectData(const QStringList &paths) {
    for (const QString &path : paths) {
        Input input;
        input.path = path;
        input.entry = DataEntryOf(path);
        input.name = input.entry.name;
        m_inputs << input;
    }
}

bool BurnRun::decode() {
    Engine engine;
    m_engine = &engine;
    QList<int> jobs;
    for (int i = 0; i < m_inputs.size(); ++i) {
        Input &input = m_inputs[i];
        input.track.wavPath =
            Paths().tempFolder + QStringLiteral("burnaudiocd_") + NewPresetID() + QStringLiteral(".wav");
        m_temporary << input.track.wavPath;
        const int job = engine.AddJob(input.path, QString());
        if (job < 0 || engine.SetJobOutput(job, input.track.wavPath, kCdAudioOptions) < 0) {
            input.status = QStringLiteral("Unsuccessful!");
            input.message = engine.LastErrorText();
            report(input);
            return false;
        }
        jobs << i;
    }
    bool ok = true;
    int done = 0;
    QEventLoop loop;
    connect(&engine, &Engine::JobFinished, &loop,
            [&](int job, bool succeeded, bool failed, const QString &message) {
                if (job < 0) {
                    loop.quit();
                    return;
                }
                Input &input = m_inputs[jobs.at(job)];
                if (succeeded) {
                    progressLine(QStringLiteral("Decoding %1 of %2 files").arg(++done).arg(jobs.size()));
                } else {
                    input.status = failed ? QStringLiteral("Unsuccessful!") : QStringLiteral("Canceled!");
                    input.message = message;
                    ok = false;
                    report(input);
                }
            });
    progressLine(QStringLiteral("Decoding 0 of %1 files").arg(jobs.size()));
    engine.StartJobs(0);
    loop.exec();
    m_engine = nullptr;
    return ok && !m_interrupted;
}

bool BurnRun::chooseDrive(const QString &device) {
    QEventLoop loop;
    connect(m_writer, &DiscWriter::drivesListed, &loop, &QEventLoop::quit);
    m_writer->Initialize();
    loop.exec();
    const QVector<BurnDrive> &drives = m_writer->drives();
    int chosen = -1;
    for (int i = 0; i < drives.size(); ++i) {
        const bool image = drives.at(i).image;
        if ((device.isEmpty() && !m_target.isEmpty() && image) ||
            (device.isEmpty() && m_target.isEmpty() && !image && chosen < 0) ||
            (!device.isEmpty() && !image && drives.at(i).address == device))
            chosen = chosen < 0 ? i : chosen;
    }
    if (chosen < 0) {
        PrintError(device.isEmpty()
                       ? QStringLiteral("CD Burner Not Detected! Name an image file with --image.")
                       : QStringLiteral("%1: no CD or DVD writer of that name.").arg(device));
        return false;
    }
    connect(m_writer, &DiscWriter::mediumRead, &loop, &QEventLoop::quit);
    m_writer->SelectDrive(chosen);
    loop.exec();
    if (!m_target.isEmpty())
        return true;
    m_target = drives.at(chosen).address;
    const MediumInfo &medium = m_writer->medium();
    if (medium.code != 0) {
        PrintError(medium.message);
        return false;
    }
    // The windows' words for a drive without a medium it can write.
    const bool dvd = IsDvdKind(m_kind);
    if (!medium.present || (dvd && !m_writer->isWritable())) {
        PrintError(QStringLiteral("There is no disc in the drive!\n\n") +
                   (dvd ? QStringLiteral("Please insert the writable DVD disc.")
                        : QStringLiteral("Please insert the CD-R or CD-RW disc.")));
        return false;
    }
    if (!m_writer->isWritable()) {
        PrintError(QStringLiteral(
            "Disc is closed or not writable!\n\nPlease insert the writable CD-R or CD-RW disc."));
        return false;
    }
    return true;
}

int BurnRun::run(const QStringList &arguments) {
    connect(&m_interrupts, &UnixSignals::terminateRequested, this, [this]() {
        m_interrupted = true;
        if (m_engine)
            m_engine->StopAll(true);
        if (m_writer)
            m_writer->Abort();
    });
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes an audio CD (the inputs decoded to CD audio, with CD-Text from their tags), or a data CD "
        "or DVD (files and folders as they are), to a CD/DVD writer or to an image file."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("audio"), QStringLiteral("An audio CD.")},
        {QStringLiteral("data-cd"), QStringLiteral("A data CD.")},
        {QStringLiteral("data-dvd"), QStringLiteral("A data DVD.")},
        {QStringLiteral("drive"), QStringLiteral("The writer (default: the first one)."),
         QStringLiteral("DEVICE")},
        {QStringLiteral("image"),
         QStringLiteral("Write an image file instead: BIN/CUE for an audio CD, ISO 9660 for a data disc."),
         QStringLiteral("FILE")},
        {QStringLiteral("label"), QStringLiteral("The volume label of a data disc."), QStringLiteral("TEXT")},
        {QStringLiteral("speed"), QStringLiteral("The writing speed, as a multiple of 1×."),
         QStringLiteral("N")},
        {QStringLiteral("no-finalize"), QStringLiteral("Leave the disc open for more sessions.")},
        {QStringLiteral("json"),
         QStringLiteral("One JSON object per input and line, then one for the disc.")},
    });
    if (!parser.parse(QStringList{QStringLiteral("tunevane-cli burn")} + arguments)) {
        PrintError(parser.errorText());
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        PrintOut(parser.helpText());
        return ExitOk;
    }
    const int kinds = int(parser.isSet(QStringLiteral("audio"))) +
                      int(parser.isSet(QStringLiteral("data-cd"))) +
                      int(parser.isSet(QStringLiteral("data-dvd")));
    const QStringList inputs = parser.positionalArguments();
    if (kinds != 1 || inputs.isEmpty() ||
        (parser.isSet(QStringLiteral("drive")) && parser.isSet(QStringLiteral("image")))) {
        PrintError(
            QStringLiteral("burn needs one of --audio, --data-cd and --data-dvd, at most one of --drive and "
                           "--image, and the files to write (see tunevane-cli burn --help)."));
        return ExitUsage;
    }
    m_kind = parser.isSet(QStringLiteral("audio"))     ? BurnKind::AudioCD
             : parser.isSet(QStringLiteral("data-cd")) ? BurnKind::DataCD
                                                       : BurnKind::DataDVD;
    bool speedOk = true;
    const double speed =
        parser.isSet(QStringLiteral("speed")) ? parser.value(QStringLiteral("speed")).toDouble(&speedOk) : 0;
    if (!speedOk || speed < 0 || speed > 64) {
        PrintError(QStringLiteral("--speed takes a number such as 16 or 2.4."));
        return ExitUsage;
    }
    for (const QString &input : inputs) {
        if (!QFileInfo::exists(input)) {
            PrintError(QStringLiteral("%1: File not found!").arg(input));
            return ExitUsage;
        }
    }
    if (parser.isSet(QStringLiteral("image"))) {
        const QString image = QFileInfo(parser.value(QStringLiteral("image"))).absoluteFilePath();
        m_target = m_kind == BurnKind::AudioCD ? CuePathOfImage(image) : image;
        for (const QString &taken :
             {m_target, m_kind == BurnKind::AudioCD ? BinPathOfCue(m_target) : QString()}) {
            if (!taken.isEmpty() && QFileInfo::exists(taken)) {
                PrintError(QStringLiteral("%1 already exists.").arg(taken));
                return ExitUsage;
            }
        }
        if (!QFileInfo(QFileInfo(m_target).absolutePath()).isDir()) {
            PrintError(
                QStringLiteral("%1: the folder does not exist.").arg(QFileInfo(m_target).absolutePath()));
            return ExitUsage;
        }
    }
    m_json = parser.isSet(QStringLiteral("json"));
    m_terminal = !m_json && ::isatty(STDOUT_FILENO);
    m_clock.start();

    DiscWriter writer(m_kind);
    m_writer = &writer;
    if (!chooseDrive(parser.value(QStringLiteral("drive"))))
        return ExitSomeFailed;

    // The inputs, and the space they take, before anything is decoded or written.
    if (m_kind == BurnKind::AudioCD) {
        if (!collectAudio(inputs))
            return ExitSomeFailed;
    } else {
        collectData(inputs);
    }
    for (const Input &input : std::as_const(m_inputs)) {
        if (m_kind != BurnKind::AudioCD) {
            writer.AddEntry(input.entry);
        } else {
            // Until the tracks are decoded their lengths stand for their sizes.
            AudioTrackSource estimate;
            estimate.bytes = qint64(input.seconds * kCdSpeedBytes);
            writer.AddTrack(estimate);
        }
    }
    const auto fits = [&writer, this]() {
        const DiscSpace space = CalcDiscSpace(writer.capacity(), writer.SizeA(), writer.SizeB(), m_kind);
        return space.free >= 0;
    };
    if (!fits()) {
        finish(QStringLiteral("Unsuccessful!"), kNoSpace);
        return ExitSomeFailed;
    }
    if (m_kind == BurnKind::AudioCD) {
        if (!decode()) {
            finish(m_interrupted ? QStringLiteral("Canceled!") : QStringLiteral("Unsuccessful!"), QString());
            return m_interrupted ? ExitInterrupted : ExitSomeFailed;
        }
        QStringList albums;
        QStringList artists;
        writer.ClearTracks();
        for (Input &input : m_inputs) {
            input.track.bytes = ReadWavInfo(input.track.wavPath).dataBytes;
            writer.AddTrack(input.track);
            albums << input.album;
            artists << input.track.performer;
        }
        writer.SetDiscText(SharedDiscText(albums, artists));
        if (!fits()) {
            finish(QStringLiteral("Unsuccessful!"), kNoSpace);
            return ExitSomeFailed;
        }
    }
    for (const Input &input : std::as_const(m_inputs)) {
        if (m_json)
            report(input);
    }

    writer.SetFinalize(!parser.isSet(QStringLiteral("no-finalize")));
    writer.SetVolumeLabel(DiscLabelText(parser.value(QStringLiteral("label"))));
    writer.SetSpeed(speed);
    if (writer.isImageRecorder())
        writer.SetImageTarget(m_target, false);
    QString error;
    int code = 0;
    QEventLoop loop;
    connect(&writer, &DiscWriter::OperationProgress, this, [this](int percent) {
        progressLine(percent < 100 ? QStringLiteral("Writing %1 %").arg(percent)
                                   : QStringLiteral("Closing the session... Please wait"));
    });
    connect(&writer, &DiscWriter::ErrorEx, this, [&error](int, const QString &message) { error = message; });
    connect(&writer, &DiscWriter::operationEnded, &loop, [&](int ended) {
        code = ended;
        loop.quit();
    });
    if (m_interrupted)
        return ExitInterrupted;
    progressLine(QStringLiteral("Start writing CD... Please wait"));
    if (writer.Write() != 0) {
        finish(QStringLiteral("Unsuccessful!"), error);
        return ExitSomeFailed;
    }
    loop.exec();
    m_writer = nullptr;
    if (code == BurnAborted || m_interrupted) {
        finish(QStringLiteral("Canceled!"), QStringLiteral("Burning is not completed!"));
        return ExitInterrupted;
    }
    if (code != 0) {
        finish(QStringLiteral("Unsuccessful!"), error);
        return ExitSomeFailed;
    }
    finish(QStringLiteral("Done"), QString());
    return ExitOk;
}

} // namespace

int BurnCommand(const QStringList &arguments) {
    BurnRun run;
    return run.run(arguments);
}

} // namespace tv
