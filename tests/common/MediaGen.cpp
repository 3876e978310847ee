#include "MediaGen.h"

#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace tv::test {

bool RunFFmpeg(const QStringList &args, QString *errorText, const QString &logLevel) {
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start("ffmpeg", QStringList{"-hide_banner", "-nostdin", "-loglevel", logLevel, "-y"} + args);
    if (!ffmpeg.waitForFinished(120000)) {
        ffmpeg.kill();
        if (errorText)
            *errorText = "ffmpeg did not finish";
        return false;
    }
    if (errorText)
        *errorText = QString::fromLocal8Bit(ffmpeg.readAll());
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0;
}

bool GenerateTone(const QString &path, double seconds, int sampleRate, int channels,
                  const QStringList &extraOutputArgs) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString source =
        QStringLiteral("sine=frequency=440:sample_rate=%1:duration=%2").arg(sampleRate).arg(seconds);
    QStringList args{"-f", "lavfi", "-i", source};
    if (channels > 0)
        args << "-ac" << QString::number(channels);
    return RunFFmpeg(args + extraOutputArgs + QStringList{path});
}

bool GenerateVideo(const QString &path, double seconds, int width, int height, const QString &rate,
                   const QStringList &extraOutputArgs) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QString picture = QStringLiteral("testsrc=size=%1x%2:rate=%3:duration=%4")
                                .arg(width)
                                .arg(height)
                                .arg(rate)
                                .arg(seconds);
    const QString tone = QStringLiteral("sine=frequency=330:sample_rate=44100:duration=%1").arg(seconds);
    return RunFFmpeg(QStringList{"-f", "lavfi", "-i", picture, "-f", "lavfi", "-i", tone} + extraOutputArgs +
                     QStringList{"-pix_fmt", "yuv420p", path});
}

bool GenerateVideoWithSubtitles(const QString &path, double seconds, const QStringList &languages) {
    const QString srt = WriteFile(path + ".srt", "1\n00:00:00,000 --> 00:00:00,900\nHello\n\n");
    QStringList args;
    for (int i = 0; i < languages.size(); ++i)
        args << "-i" << srt;
    args += QStringList{"-map", "0:v", "-map", "1:a"};
    for (int i = 0; i < languages.size(); ++i) {
        args << "-map" << QString::number(2 + i) + ":s";
        args << QStringLiteral("-metadata:s:s:%1").arg(i) << "language=" + languages.at(i);
    }
    const bool ok = GenerateVideo(path, seconds, 160, 120, "25", args + QStringList{"-c:s", "srt"});
    QFile::remove(srt);
    return ok;
}

bool GeneratePicture(const QString &path, int width, int height) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return RunFFmpeg({"-f", "lavfi", "-i", QStringLiteral("testsrc=size=%1x%2").arg(width).arg(height),
                      "-frames:v", "1", path});
}

bool GenerateNoisePicture(const QString &path, int width, int height) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    // Raw random bytes as the picture's pixels: nothing for PNG to squeeze.
    const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
    return RunFFmpeg(
        {"-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size, "-i", "/dev/urandom", "-frames:v", "1", path});
}

bool GenerateTaggedTone(const QString &path, double seconds, const QStringList &metadata,
                        const QString &coverPath, const QStringList &extraOutputArgs) {
    QStringList args;
    if (!coverPath.isEmpty())
        args += QStringList{"-i",   coverPath, "-map",           "0",           "-map", "1",
                            "-c:v", "copy",    "-disposition:v", "attached_pic"};
    for (const QString &pair : metadata)
        args << "-metadata" << pair;
    return GenerateTone(path, seconds, 44100, 0, args + extraOutputArgs); // the sine source's one channel
}

} // namespace tv::test
