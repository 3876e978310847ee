// Measures the trim window's waveform on a generated 60-minute stereo 44.1 kHz WAV: the time
// from the WAV existing to the whole waveform drawn (against the time to read the file once),
// the memory of the peak pyramid, and the time to redraw a 1600-pixel view after a zoom step;
// and, for a four-minute MP3 song, the time from the start of its decoding to its waveform.
// Prints figures and ratios, never a verdict.
#include "ConversionFlags.h"
#include "PeakPyramid.h"
#include "SingleFileConversion.h"
#include "SoundEditor.h"
#include "WaveformView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

using namespace tv;

namespace {

// A WAV of a tone that swells and fades, with a little noise, written directly.
bool WriteWave(const QString &path, int seconds) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const quint32 rate = 44100;
    const quint32 frames = quint32(seconds) * rate;
    const quint32 bytes = frames * 4;
    auto u32 = [&](quint32 v) { file.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](quint16 v) { file.write(reinterpret_cast<const char *>(&v), 2); };
    file.write("RIFF");
    u32(36 + bytes);
    file.write("WAVEfmt ");
    u32(16);
    u16(1);
    u16(2);
    u32(rate);
    u32(rate * 4);
    u16(4);
    u16(16);
    file.write("data");
    u32(bytes);
    std::vector<qint16> block(size_t(rate) * 2);
    quint32 noise = 12345;
    for (quint32 second = 0; second < quint32(seconds); ++second) {
        for (quint32 i = 0; i < rate; ++i) {
            const double t = second + double(i) / rate;
            const double swell = 0.5 + 0.45 * std::sin(t * 0.7);
            noise = noise * 1664525u + 1013904223u;
            const double v = swell * std::sin(t * 2 * M_PI * 220) + ((noise >> 16) / 65536.0 - 0.5) * 0.1;
            block[i * 2] = qint16(v * 20000);
            block[i * 2 + 1] = qint16(v * 15000);
        }
        if (file.write(reinterpret_cast<const char *>(block.data()), qint64(block.size() * 2)) !=
            qint64(block.size() * 2))
            return false;
    }
    return file.flush();
}

double ReadOnceMs(const QString &path) {
    QElapsedTimer clock;
    clock.start();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    qint64 total = 0;
    while (true) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got <= 0)
            break;
        total += got;
    }
    return clock.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath("hour.wav");
    std::printf("writing a 60-minute stereo 44.1 kHz WAV ...\n");
    if (!WriteWave(path, 3600)) {
        std::printf("could not write %s\n", qPrintable(path));
        return 1;
    }
    std::printf("WAV: %.0f MB\n", QFile(path).size() / 1048576.0);

    // Both figures from a file in the page cache, best of three.
    double readMs = 1e9;
    for (int i = 0; i < 3; ++i)
        readMs = std::min(readMs, ReadOnceMs(path));

    double shownMs = 1e9;
    qint64 pyramidBytes = 0;
    SoundEditor editor;
    WaveformView view(&editor);
    view.resize(1600, 420);
    view.resize(1600 + (view.width() - view.lanesRect().width()), 420);
    QImage canvas(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer clock;
        clock.start();
        QEventLoop loop;
        QObject::connect(&editor, &SoundEditor::WaveformAnalysisFinished, &loop, &QEventLoop::quit);
        if (editor.LoadSound(path) != 0) {
            std::printf("the editor refused the WAV\n");
            return 1;
        }
        loop.exec();
        view.ShowRange(0, -1);
        view.render(&canvas);
        shownMs = std::min(shownMs, clock.nsecsElapsed() / 1e6);
        pyramidBytes = editor.peaks()->memoryBytes();
    }
    std::printf("read the WAV once:             %8.1f ms\n", readMs);
    std::printf("WAV to whole waveform drawn:   %8.1f ms  (%.2f x one read; target 1.3 x)\n", shownMs,
                shownMs / readMs);
    std::printf("peak pyramid:                  %8.1f MB  (%d levels; target under 32 MB)\n",
                pyramidBytes / 1048576.0, editor.peaks()->levelCount());

    // Zoom steps from the whole hour down to a frame a pixel and back, each drawn once.
    std::printf("lanes width: %d px\n", view.lanesRect().width());
    std::vector<double> steps;
    for (int direction = 0; direction < 2; ++direction) {
        for (int i = 0; i < 24; ++i) {
            QElapsedTimer clock;
            clock.start();
            if (direction == 0)
                view.ZoomIn();
            else
                view.ZoomOut();
            view.render(&canvas);
            steps.push_back(clock.nsecsElapsed() / 1e6);
            if (qEnvironmentVariableIsSet("BENCH_TRIM_STEPS"))
                std::printf("  %s to %.2f frames a pixel: %.2f ms\n", direction == 0 ? "in " : "out",
                            view.geometry().framesPerColumn(), steps.back());
        }
    }
    std::sort(steps.begin(), steps.end());
    double sum = 0;
    for (double s : steps)
        sum += s;
    std::printf(
        "redraw after a zoom step:      %8.2f ms mean, %.2f ms median, %.2f ms worst of %zu (target 16 ms)\n",
        sum / steps.size(), steps[steps.size() / 2], steps.back(), steps.size());

    // A song as the window meets it: decoded into a WAV by the single-file conversion, loaded,
    // analysed and drawn.
    const QString song = dir.filePath("song.mp3");
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
                  "sine=frequency=440:sample_rate=44100:duration=240", "-ac", "2", "-b:a", "192k", song});
    if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0) {
        std::printf("ffmpeg could not make the song\n");
        return 1;
    }
    SingleFileConversion converter;
    double songMs = 1e9;
    for (int i = 0; i < 3; ++i) {
        const QString wav = dir.filePath(QStringLiteral("trim_%1.wav").arg(i));
        QElapsedTimer clock;
        clock.start();
        QEventLoop decoded;
        QObject::connect(&converter, &SingleFileConversion::finished, &decoded, &QEventLoop::quit);
        converter.ConvertSingleFile(song, wav, QString());
        decoded.exec();
        if (!Flags().anySucceeded) {
            std::printf("the song could not be decoded: %s\n", qPrintable(Flags().lastError));
            return 1;
        }
        QEventLoop analysed;
        QObject::connect(&editor, &SoundEditor::WaveformAnalysisFinished, &analysed, &QEventLoop::quit);
        editor.LoadSound(wav);
        analysed.exec();
        view.ShowRange(0, -1);
        view.render(&canvas);
        songMs = std::min(songMs, clock.nsecsElapsed() / 1e6);
    }
    std::printf("4-minute MP3 to its waveform:  %8.1f ms (decoding to WAV included)\n", songMs);
    return 0;
}
