// Measures the engine against the ffmpeg command-line tool on the same work; prints figures and
// ratios (never a pass or fail).
#include "BenchMedia.h"
#include "EncodingParameters.h"
#include "Engine.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

using namespace tv;
using namespace tv::bench;

namespace {

double EngineSeconds(const QStringList &inputs, const QString &outFolder, const QString &duration) {
    QDir(outFolder).removeRecursively();
    QDir().mkpath(outFolder);
    Engine engine;
    QEventLoop loop;
    QObject::connect(&engine, &Engine::JobFinished, &loop,
                     [&](int job, bool ok, bool, const QString &message) {
                         if (job >= 0 && !ok)
                             std::fprintf(stderr, "job %d failed: %s\n", job, qPrintable(message));
                         if (job == -1)
                             loop.quit();
                     });
    QElapsedTimer timer;
    timer.start();
    engine.ClearJobs();
    const QString args = Mp3Args(duration);
    for (const QString &in : inputs) {
        const int job = engine.AddJob(in, " -ss 00:00:00.000");
        engine.SetJobOutput(job, outFolder + "/" + QFileInfo(in).completeBaseName() + ".MP3", args);
    }
    engine.StartJobs(0);
    loop.exec();
    return timer.elapsed() / 1000.0;
}

double CommandLineSeconds(const QStringList &inputs, const QString &outFolder, const QString &duration) {
    QDir(outFolder).removeRecursively();
    QDir().mkpath(outFolder);
    const QString script =
        QStringLiteral("printf '%s\\n' \"$@\" | xargs -P2 -I{} sh -c 'ffmpeg -hide_banner -loglevel error -y "
                       "-ss 00:00:00.000 -i \"{}\" -ac 2 -ar 44100 -ab 128k -acodec libmp3lame -vn -t %1 "
                       "\"%2/$(basename \"{}\" .wav).MP3\"'")
            .arg(duration, outFolder);
    QElapsedTimer timer;
    timer.start();
    RunProgram("sh", QStringList{"-c", script, "sh"} + inputs);
    return timer.elapsed() / 1000.0;
}

// The same work through tunevane-cli, as a script would run it (probing, tags and all).
double TunevaneCliSeconds(const QStringList &inputs, const QString &outFolder, const QString &home) {
    QDir(outFolder).removeRecursively();
    QProcess cli;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("XDG_CONFIG_HOME", home + "/.config");
    env.insert("XDG_DATA_HOME", home + "/.local/share");
    cli.setProcessEnvironment(env);
    cli.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    cli.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    cli.start(TUNEVANE_CLI_BINARY,
              QStringList{"convert", "--preset", "AF-MP3-04", "--jobs",
                          QString::number(QThread::idealThreadCount()), "--output", outFolder} +
                  inputs);
    cli.waitForFinished(-1);
    if (cli.exitCode() != 0)
        std::fprintf(stderr, "tunevane-cli ended with %d\n", cli.exitCode());
    return timer.elapsed() / 1000.0;
}

// All the audio encoded by one process on one core: the work itself, without any start-up.
double SingleProcessSeconds(const QStringList &inputs, const QString &folder) {
    QFile list(folder + "/list.txt");
    list.open(QIODevice::WriteOnly);
    for (const QString &in : inputs)
        list.write(QStringLiteral("file '%1'\n").arg(in).toUtf8());
    list.close();
    QElapsedTimer timer;
    timer.start();
    RunProgram("ffmpeg", {"-hide_banner", "-loglevel",
                          "error",        "-y",
                          "-threads",     "1",
                          "-f",           "concat",
                          "-safe",        "0",
                          "-i",           list.fileName(),
                          "-ac",          "2",
                          "-ar",          "44100",
                          "-ab",          "128k",
                          "-acodec",      "libmp3lame",
                          "-vn",          folder + "/all.mp3"});
    return timer.elapsed() / 1000.0;
}

} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const int cores = QThread::idealThreadCount();
    std::printf("Engine benchmark on %d cores\n", cores);

    const QStringList small = MakeNoisyTones(dir.path() + "/small", 40, 10, "wav", 0.3);
    const double engineSmall = EngineSeconds(small, dir.path() + "/out-engine", "00:00:10.000");
    const double cliSmall = CommandLineSeconds(small, dir.path() + "/out-cli", "00:00:10.000");
    const double tunevaneSmall =
        TunevaneCliSeconds(small, dir.path() + "/out-tunevane", dir.path() + "/home");
    const double single = SingleProcessSeconds(small, dir.path() + "/small");
    const double limit = single / cores;
    std::printf("\n40 x 10 s WAV -> MP3 128k\n");
    std::printf("  engine, StartJobs(0):            %6.2f s\n", engineSmall);
    std::printf("  ffmpeg tool, two at a time:      %6.2f s\n", cliSmall);
    std::printf("  one process, all audio, 1 core:  %6.2f s  (limit on %d cores: %.2f s)\n", single, cores,
                limit);
    std::printf("  speed-up over the tool:          %6.2fx  (target >= 2.5x)\n", cliSmall / engineSmall);
    std::printf("  engine / limit:                  %6.2f   (target <= 1.3)\n", engineSmall / limit);
    std::printf("  tunevane-cli --jobs %d:           %6.2f s\n", cores, tunevaneSmall);
    std::printf("  tunevane-cli / limit:            %6.2f   (target <= 1.1)\n", tunevaneSmall / limit);

    const QStringList large = MakeNoisyTones(dir.path() + "/large", 4, 300, "wav", 0.3);
    const double engineLarge = EngineSeconds(large, dir.path() + "/out-engine-l", "00:05:00.000");
    const double cliLarge = CommandLineSeconds(large, dir.path() + "/out-cli-l", "00:05:00.000");
    std::printf("\n4 x 5 min WAV -> MP3 128k\n");
    std::printf("  engine, StartJobs(0):            %6.2f s\n", engineLarge);
    std::printf("  ffmpeg tool, two at a time:      %6.2f s\n", cliLarge);
    std::printf("  speed-up over the tool:          %6.2fx  (target >= 1.0x)\n", cliLarge / engineLarge);
    return 0;
}
