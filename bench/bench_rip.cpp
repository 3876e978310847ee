// Rips every track of a 60-minute BIN/CUE image that it writes (tones with a little noise) to WAV
// files, with the ripper's secure reader and with cd-paranoia on the same image; prints the
// times, their ratio and the speed as a multiple of real time (never a pass or fail).
#include "DiscSource.h"
#include "RipJob.h"
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
#include <cmath>
#include <cstdio>

using namespace tv;

namespace {

constexpr int kTracks = 15;
constexpr int kTrackSeconds = 240; // 15 × 4 minutes = 60 minutes

// The image: tones of their own pitch per track, with noise so no stretch repeats exactly.
QString WriteImage(const QString &folder) {
    QFile bin(folder + "/bench.bin");
    if (!bin.open(QIODevice::WriteOnly))
        return QString();
    QString cue = "FILE \"bench.bin\" BINARY\n";
    QByteArray sector(2352, '\0');
    quint32 noise = 1;
    qint64 at = 0;
    for (int t = 0; t < kTracks; ++t) {
        cue += QString::asprintf("  TRACK %02d AUDIO\n    INDEX 01 %02lld:%02lld:%02lld\n", t + 1,
                                 at / 75 / 60, at / 75 % 60, at % 75);
        const double pitch = 110.0 * std::pow(2.0, t / 12.0);
        for (int s = 0; s < kTrackSeconds * 75; ++s, ++at) {
            for (int i = 0; i < 588; ++i) {
                const double time = (s * 588 + i) / 44100.0;
                noise = noise * 1664525u + 1013904223u;
                const int hiss = static_cast<int>(noise >> 22) - 512;
                qToLittleEndian(static_cast<qint16>(8000 * std::sin(2 * M_PI * pitch * time) + hiss),
                                sector.data() + i * 4);
                qToLittleEndian(static_cast<qint16>(6000 * std::sin(3 * M_PI * pitch * time) - hiss),
                                sector.data() + i * 4 + 2);
            }
            bin.write(sector);
        }
    }
    QFile sheet(folder + "/bench.cue");
    if (!sheet.open(QIODevice::WriteOnly))
        return QString();
    sheet.write(cue.toUtf8());
    return sheet.fileName();
}

double OurRip(const QString &image, const QString &out, bool testAndCopy, int *unsuccessful) {
    const DiscReading disc = ReadDisc(image);
    RipRequest request;
    request.source = image;
    request.testAndCopy = testAndCopy;
    for (const DiscTrack &track : disc.toc.audioTracks())
        request.tracks << PlanTrack(disc.toc, track,
                                    QString::asprintf("%s/track%02d.wav", qPrintable(out), track.number));
    TaskControl control;
    QElapsedTimer clock;
    clock.start();
    const RipOutcome outcome = RunRip(request, control, {}, {});
    const double seconds = clock.elapsed() / 1000.0;
    *unsuccessful = 0;
    for (const RipTrackResult &track : outcome.tracks)
        *unsuccessful += track.status == RipStatus::Done ? 0 : 1;
    return seconds;
}

double CdParanoia(const QString &image, const QString &out) {
    QProcess p;
    p.setWorkingDirectory(out);
    // It says "Option not supported by drive" for the speed it cannot set on an image.
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start("cd-paranoia", {"-d", image, "-B", "-q"});
    if (!p.waitForFinished(-1) || p.exitCode() != 0)
        return -1;
    return clock.elapsed() / 1000.0;
}

bool SameAudio(const QString &ours, const QString &theirs) {
    QFile a(ours);
    QFile b(theirs);
    if (!a.open(QIODevice::ReadOnly) || !b.open(QIODevice::ReadOnly))
        return false;
    a.seek(44);
    b.seek(44);
    while (!a.atEnd()) {
        if (a.read(1 << 20) != b.read(1 << 20))
            return false;
    }
    return b.atEnd();
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (QStandardPaths::findExecutable("cd-paranoia").isEmpty()) {
        std::printf("cd-paranoia is not installed (Debian package cd-paranoia).\n");
        return 1;
    }
    QTemporaryDir work;
    std::printf("Writing a %d-minute image (%d tracks)...\n", kTracks * kTrackSeconds / 60, kTracks);
    const QString image = WriteImage(work.path());
    if (image.isEmpty())
        return 1;
    const double audioSeconds = kTracks * kTrackSeconds;

    // Both read the image from the page cache: one read beforehand warms it for both.
    {
        QFile warm(work.path() + "/bench.bin");
        warm.open(QIODevice::ReadOnly);
        while (!warm.read(1 << 24).isEmpty()) {
        }
    }

    // Three rounds, the contenders taking turns, on a machine others share: the best time of each
    // is its figure, the median tells how steady it was.
    int failedCopy = 0;
    int failedTest = 0;
    QVector<double> theirs;
    QVector<double> copy;
    QVector<double> tested;
    auto fresh = [&](const char *name) {
        QDir(work.path() + "/" + name).removeRecursively();
        QDir(work.path()).mkpath(name);
        return work.path() + "/" + name;
    };
    for (int round = 0; round < 3; ++round) {
        theirs << CdParanoia(image, fresh("paranoia"));
        copy << OurRip(image, fresh("ours-copy"), false, &failedCopy);
        tested << OurRip(image, fresh("ours-test"), true, &failedTest);
    }
    int same = 0;
    for (int t = 1; t <= kTracks; ++t)
        same += SameAudio(QString::asprintf("%s/ours-copy/track%02d.wav", qPrintable(work.path()), t),
                          QString::asprintf("%s/paranoia/track%02d.cdda.wav", qPrintable(work.path()), t))
                    ? 1
                    : 0;
    auto best = [](QVector<double> v) { return *std::min_element(v.begin(), v.end()); };
    auto median = [](QVector<double> v) {
        std::sort(v.begin(), v.end());
        return v.at(v.size() / 2);
    };
    std::printf("\n%-40s %8s %8s %12s\n", "", "best s", "median s", "x real time");
    std::printf("%-40s %8.2f %8.2f %12.0f\n", "cd-paranoia (full paranoia, one read)", best(theirs),
                median(theirs), audioSeconds / best(theirs));
    std::printf("%-40s %8.2f %8.2f %12.0f\n", "Tunevane, copy only (one secure read)", best(copy),
                median(copy), audioSeconds / best(copy));
    std::printf("%-40s %8.2f %8.2f %12.0f\n", "Tunevane, test and copy (two reads)", best(tested),
                median(tested), audioSeconds / best(tested));
    std::printf("\nTunevane copy-only / cd-paranoia (best times): %.2f (below 1 is faster)\n",
                best(copy) / best(theirs));
    std::printf("Tunevane test-and-copy / cd-paranoia (best times): %.2f\n", best(tested) / best(theirs));
    std::printf(
        "Tracks whose audio equals cd-paranoia's: %d of %d; unsuccessful tracks: %d (copy), %d (test and "
        "copy)\n",
        same, kTracks, failedCopy, failedTest);
    return 0;
}
