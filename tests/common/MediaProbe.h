#pragma once
// What the ffprobe and ffmpeg tools say about a file: an independent check of the program's outputs.

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tv::test {

// What ffprobe says about a file (-show_format -show_streams as JSON); empty when it fails.
QJsonObject FFprobe(const QString &path);
// A tag of an ffprobe answer: the container's tags, then each stream's; the key is matched
// without regard to case; "" when absent.
QString FFprobeTag(const QJsonObject &probe, const QString &key);
// Whether ffprobe finds an attached picture (a cover) in the file.
bool FFprobeHasCover(const QJsonObject &probe);
// Where the last packet of the first audio stream ends, in seconds, from the packets themselves
// (demuxers estimate the container's duration differently once covers or tags change).
double FFprobeAudioEnd(const QString &path);

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

// The first audio stream as ffmpeg decodes it to 16-bit little-endian samples, shaped by
// options such as {"-ac", "1"}; no more than maxBytes when that is given.
QByteArray DecodedSamples(const QString &path, const QStringList &options, qint64 maxBytes = -1);
// The length of the first audio stream in seconds, counted from its decoded samples.
double DecodedDuration(const QString &path);
// The first n samples of the first audio stream as 16-bit mono values.
QVector<qint16> FirstSamples(const QString &path, int count);

} // namespace tv::test
