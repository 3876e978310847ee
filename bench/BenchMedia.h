#pragma once
// What the conversion benchmarks share: running a program, the MP3 option text they convert
// with, and their inputs (pink noise with a tone, closer to music than a pure tone).

#include "EncodingParameters.h"

#include <QDir>
#include <QProcess>
#include <QStringList>

namespace tv::bench {

inline bool RunProgram(const QString &program, const QStringList &args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(program, args);
    return p.waitForFinished(-1) && p.exitCode() == 0;
}

// MP3 128k mono 44.1 kHz of the first `duration` ("hh:mm:ss.fff") of the input.
inline QString Mp3Args(const QString &duration) {
    JobParameters job;
    job.AudioCodec = "MP3";
    job.FileExtention = "MP3";
    job.Channels = 1;
    job.SampleRate = "44100";
    job.AudioBitrate = "128";
    job.AudioSize = "16 bit";
    job.TrimStart = "00:00:00.000";
    job.TrimDuration = duration;
    return BuildAudioArguments(job);
}

// count stereo files in folder, in000.<extension> on; the noise of file i is at level
// noise + noiseStep × i, its tone at 220 + 7 × i Hz.
inline QStringList MakeNoisyTones(const QString &folder, int count, int seconds, const QString &extension,
                                  double noise, double noiseStep = 0) {
    QDir().mkpath(folder);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path =
            QStringLiteral("%1/in%2.%3").arg(folder).arg(i, 3, 10, QLatin1Char('0')).arg(extension);
        RunProgram(
            "ffmpeg",
            {"-hide_banner", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
             QStringLiteral("anoisesrc=d=%1:c=pink:a=%2:r=44100").arg(seconds).arg(noise + noiseStep * i),
             "-f", "lavfi", "-i", QStringLiteral("sine=f=%1:d=%2:r=44100").arg(220 + i * 7).arg(seconds),
             "-filter_complex", "amix=inputs=2", "-ac", "2", path});
        files << path;
    }
    return files;
}

} // namespace tv::bench
