#pragma once
// What the ffprobe tool says about a file: an independent check of the program's outputs.

#include <QJsonObject>
#include <QString>

namespace tv::test {

struct ProbedAudio {
    bool ok = false;
    QString codec; // audio codec, e.g. "mp3", "aac"
    int sampleRate = 0;
    int channels = 0;
    double duration = 0; // seconds, of the container (or the stream when the container has none)
    qint64 bitRate = 0;  // of the audio stream, or of the container when the stream has none
    int videoStreams = 0;
};

ProbedAudio ProbeWithFFprobe(const QString &path);

// The length of the first audio stream in seconds, counted from its decoded samples.
double DecodedDuration(const QString &path);

// The first n samples of the first audio stream as 16-bit mono values (ffmpeg decodes).
QVector<qint16> FirstSamples(const QString &path, int count);

} // namespace tv::test
