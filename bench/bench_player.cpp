// Measures the player engine on a generated 1080p H.264 + AAC clip, on the silent clock: the time
// from "Play" to the first decoded sound and the first picture, the processor time while playing,
// and how far the pictures drift from the clock after a minute. Prints figures, never a verdict.
#include "Player.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

using namespace tv;

namespace {

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void Wait(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

PlayerOpenRequest Request(const QString &path, QSize box) {
    PlayerOpenRequest request;
    request.path = path;
    request.box = box;
    return request;
}

// Play to the first sound and the first picture, in milliseconds.
QPair<double, double> StartTimes(const QString &clip) {
    Player player;
    player.Initialize(QString());
    QElapsedTimer clock;
    double sound = -1, picture = -1;
    QEventLoop loop;
    QObject::connect(&player, &Player::SoundStarted, &loop, [&]() {
        sound = clock.nsecsElapsed() / 1e6;
        if (picture >= 0)
            loop.quit();
    });
    QObject::connect(&player, &Player::PictureReady, &loop, [&]() {
        if (picture < 0)
            picture = clock.nsecsElapsed() / 1e6;
        if (sound >= 0)
            loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    clock.start();
    player.Open(Request(clip, QSize(480, 270)));
    loop.exec();
    player.Stop();
    return {sound, picture};
}

} // namespace

int main(int argc, char *argv[]) {
    qputenv("TUNEVANE_SILENT_PLAYER", "1");
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath("clip1080.mp4");
    std::printf("Generating a 65 s 1920x1080 25 fps H.264 + AAC clip...\n");
    std::fflush(stdout);
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-hide_banner", "-loglevel", "error",   "-y",
                  "-f",           "lavfi",     "-i",      "testsrc2=size=1920x1080:rate=25:duration=65",
                  "-f",           "lavfi",     "-i",      "sine=frequency=440:sample_rate=48000:duration=65",
                  "-c:v",         "libx264",   "-preset", "veryfast",
                  "-pix_fmt",     "yuv420p",   "-c:a",    "aac",
                  "-ac",          "2",         clip});
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0) {
        std::printf("ffmpeg failed\n");
        return 1;
    }

    QList<double> sounds, pictures;
    for (int i = 0; i < 7; ++i) {
        const auto [sound, picture] = StartTimes(clip);
        sounds << sound;
        pictures << picture;
    }
    std::sort(sounds.begin(), sounds.end());
    std::sort(pictures.begin(), pictures.end());
    std::printf("Play to first decoded sound:  median %6.1f ms, worst %6.1f ms (target < 150 ms)\n",
                sounds[3], sounds.last());
    std::printf("Play to first picture:        median %6.1f ms, worst %6.1f ms (target < 150 ms)\n",
                pictures[3], pictures.last());

    // One minute of playing at the preview pane's size: processor time over the first 30 s,
    // then the distance between the clock and each picture's time as it arrives.
    Player player;
    player.Initialize(QString());
    int shown = 0;
    QList<double> lateness; // clock minus picture time when the picture reaches the window, ms
    QObject::connect(&player, &Player::PictureReady, &player, [&](const QImage &, qint64 position) {
        ++shown;
        lateness << (player.Position() - position) / 1000.0;
    });
    QElapsedTimer wall;
    wall.start();
    const double cpuStart = ProcessCpuSeconds();
    player.Open(Request(clip, QSize(480, 270)));
    Wait(30000);
    const double cpu = ProcessCpuSeconds() - cpuStart;
    const double seconds = wall.nsecsElapsed() / 1e9;
    std::printf(
        "Processor time while playing 30 s: %.1f %% of one core (target < 35 %%), %d pictures shown\n",
        100.0 * cpu / seconds, shown);
    Wait(30000);
    const double clockDrift = player.Position() / 1000.0 - wall.nsecsElapsed() / 1e6;
    const int tail = std::min<int>(25, lateness.size());
    double worst = 0, sum = 0;
    for (int i = lateness.size() - tail; i < lateness.size(); ++i) {
        worst = std::max(worst, std::abs(lateness[i]));
        sum += lateness[i];
    }
    std::printf("After 60 s: pictures %.1f ms behind the clock on average, %.1f ms at worst, over the last "
                "second (target < 40 ms)\n",
                tail ? sum / tail : 0.0, worst);
    std::printf("After 60 s: the clock is %.1f ms from the wall clock (start-up included)\n", clockDrift);
    player.Stop();

    // The same at full size (a full-screen player window), for 10 s.
    Player big;
    big.Initialize(QString());
    int bigShown = 0;
    QObject::connect(&big, &Player::PictureReady, &big, [&]() { ++bigShown; });
    wall.restart();
    const double bigStart = ProcessCpuSeconds();
    big.Open(Request(clip, QSize(1920, 1080)));
    Wait(10000);
    std::printf("Full-size pictures (1920x1080) for 10 s: %.1f %% of one core, %d pictures shown\n",
                100.0 * (ProcessCpuSeconds() - bigStart) / (wall.nsecsElapsed() / 1e9), bigShown);
    return 0;
}
