// Writes disc images with the image recorder the burners use: a 70-minute audio CD (BIN/CUE
// from fourteen WAV files) against a plain `cat` of the same WAV bytes (what the disk allows),
// and a 600 MB data disc (ISO 9660 with Rock Ridge and Joliet) against `xorriso -as mkisofs`
// on the same folder. Prints the times and their ratios (never a pass or fail).
#include "DiscRecorder.h"
#include "Task.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>

using namespace tv;

namespace {

constexpr int kTracks = 14;
constexpr int kTrackSeconds = 300; // 14 × 5 minutes = 70 minutes
constexpr int kDataFiles = 60;
constexpr qint64 kDataFileBytes = 10 * 1000 * 1000; // 60 × 10 MB = 600 MB
constexpr int kRounds = 2;                          // the best of each, taken in turns

// Noise that does not repeat, so that nothing on the way can shortcut the bytes.
QByteArray Noise(qint64 bytes, quint32 &seed) {
    QByteArray data(bytes, Qt::Uninitialized);
    for (qint64 i = 0; i + 4 <= bytes; i += 4) {
        seed = seed * 1664525u + 1013904223u;
        qToLittleEndian(seed, data.data() + i);
    }
    return data;
}

bool WriteWav(const QString &path, qint64 dataBytes, quint32 &seed) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QByteArray header(44, '\0');
    char *h = header.data();
    memcpy(h, "RIFF", 4);
    qToLittleEndian(quint32(36 + dataBytes), h + 4);
    memcpy(h + 8, "WAVEfmt ", 8);
    qToLittleEndian(quint32(16), h + 16);
    qToLittleEndian(quint16(1), h + 20);
    qToLittleEndian(quint16(2), h + 22);
    qToLittleEndian(quint32(44100), h + 24);
    qToLittleEndian(quint32(176400), h + 28);
    qToLittleEndian(quint16(4), h + 32);
    qToLittleEndian(quint16(16), h + 34);
    memcpy(h + 36, "data", 4);
    qToLittleEndian(quint32(dataBytes), h + 40);
    file.write(header);
    constexpr qint64 kChunk = 4 * 1024 * 1024;
    for (qint64 done = 0; done < dataBytes; done += kChunk)
        file.write(Noise(std::min(kChunk, dataBytes - done), seed));
    return file.flush();
}

double Seconds(const QElapsedTimer &timer) {
    return timer.nsecsElapsed() / 1e9;
}

// One write through the image recorder, with a sync as the commands have.
double OurWrite(const BurnJob &job) {
    TaskControl control;
    QElapsedTimer timer;
    timer.start();
    const BurnResult result = OpenImageRecorder()->write(job, control, {});
    QProcess::execute(QStringLiteral("sync"), {});
    const double taken = Seconds(timer);
    if (!result.ok()) {
        std::fprintf(stderr, "our write failed: %s\n", qPrintable(result.message));
        return -1;
    }
    return taken;
}

// A command's time, with a sync so that its bytes have reached the disk as ours have.
double Command(const QString &program, const QStringList &arguments) {
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return -1;
    }
    QProcess::execute(QStringLiteral("sync"), {});
    return Seconds(timer);
}

void Report(const char *what, double ours, double theirs, const char *other) {
    std::printf("%-28s ours %7.2f s   %-22s %7.2f s   ratio %.2f\n", what, ours, other, theirs,
                theirs > 0 ? ours / theirs : 0.0);
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    // "audio" or "data" measures only that image.
    const QString only = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    const bool doAudio = only != QLatin1String("data");
    const bool doData = only != QLatin1String("audio");
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bench_burn-XXXXXX"));
    if (!dir.isValid())
        return 1;
    quint32 seed = 7;

    // The audio CD: fourteen five-minute tracks.
    BurnJob audio;
    audio.kind = BurnKind::AudioCD;
    audio.replaceTarget = true;
    audio.target = dir.filePath(QStringLiteral("audio.cue"));
    QStringList wavs;
    for (int t = 0; doAudio && t < kTracks; ++t) {
        const QString wav = dir.filePath(QStringLiteral("track%1.wav").arg(t + 1, 2, 10, QLatin1Char('0')));
        if (!WriteWav(wav, qint64(kTrackSeconds) * 176400 + 4 * 313 * t, seed))
            return 1;
        wavs << wav;
        AudioTrackSource track;
        track.wavPath = wav;
        track.title = QStringLiteral("Track %1").arg(t + 1);
        audio.tracks << track;
    }
    // The data disc: a folder of sixty 10 MB files.
    const QString tree = dir.filePath(QStringLiteral("tree"));
    QDir().mkpath(tree + QStringLiteral("/data"));
    for (int f = 0; doData && f < kDataFiles; ++f) {
        QFile file(tree + QStringLiteral("/data/file%1.mp3").arg(f, 2, 10, QLatin1Char('0')));
        if (!file.open(QIODevice::WriteOnly) || file.write(Noise(kDataFileBytes, seed)) != kDataFileBytes)
            return 1;
    }
    BurnJob data;
    data.kind = BurnKind::DataCD;
    data.replaceTarget = true;
    data.label = QStringLiteral("BENCH");
    data.target = dir.filePath(QStringLiteral("data.iso"));
    if (doData)
        data.entries << DataEntryOf(tree + QStringLiteral("/data"));
    QProcess::execute(QStringLiteral("sync"), {});

    const QString shell = QStringLiteral("sh");
    const QString catLine =
        QStringLiteral("cat \"$@\" > '%1' && sync").arg(dir.filePath(QStringLiteral("cat.bin")));
    const QString xorriso = QStandardPaths::findExecutable(QStringLiteral("xorriso"));
    double ourAudio = 1e9, catAudio = 1e9, ourData = 1e9, theirData = 1e9;
    for (int round = 0; round < kRounds; ++round) {
        if (doAudio) {
            ourAudio = std::min(ourAudio, OurWrite(audio));
            QProcess::execute(QStringLiteral("sync"), {});
            catAudio =
                std::min(catAudio, Command(shell, QStringList{QStringLiteral("-c"), catLine, shell} + wavs));
        }
        if (!doData)
            continue;
        ourData = std::min(ourData, OurWrite(data));
        QProcess::execute(QStringLiteral("sync"), {});
        if (!xorriso.isEmpty())
            theirData = std::min(
                theirData,
                Command(xorriso, {QStringLiteral("-as"), QStringLiteral("mkisofs"), QStringLiteral("-R"),
                                  QStringLiteral("-J"), QStringLiteral("-V"), QStringLiteral("BENCH"),
                                  QStringLiteral("-o"), dir.filePath(QStringLiteral("xorriso.iso")), tree}));
    }
    std::printf("best of %d rounds\n", kRounds);
    if (doAudio)
        Report("70-minute audio CD image", ourAudio, catAudio, "cat of the WAVs");
    if (!doData)
        return 0;
    if (xorriso.isEmpty())
        std::printf("600 MB data image: ours %.2f s (xorriso is not installed)\n", ourData);
    else
        Report("600 MB data image", ourData, theirData, "xorriso -as mkisofs");
    return 0;
}
