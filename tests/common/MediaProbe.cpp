#include "MediaProbe.h"

#include "MediaGen.h"

#include <QJsonArray>
#include <QProcess>
#include <QVector>

namespace tv::test {

ProbedAudio ProbeWithFFprobe(const QString &path) {
    ProbedAudio result;
    const QJsonObject root = FFprobe(path);
    const QJsonObject format = root.value("format").toObject();
    result.duration = format.value("duration").toString().toDouble();
    const qint64 containerRate = format.value("bit_rate").toString().toLongLong();
    bool audioSeen = false;
    for (const QJsonValue &value : root.value("streams").toArray()) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value("codec_type").toString();
        if (type == "video" && stream.value("disposition").toObject().value("attached_pic").toInt() == 0)
            ++result.videoStreams;
        if (type != "audio" || audioSeen)
            continue;
        audioSeen = true;
        result.codec = stream.value("codec_name").toString();
        result.sampleRate = stream.value("sample_rate").toString().toInt();
        result.channels = stream.value("channels").toInt();
        result.bitRate = stream.value("bit_rate").toString().toLongLong();
        if (result.duration <= 0)
            result.duration = stream.value("duration").toString().toDouble();
    }
    if (result.bitRate <= 0)
        result.bitRate = containerRate;
    result.ok = audioSeen;
    return result;
}

double DecodedDuration(const QString &path) {
    const ProbedAudio probe = ProbeWithFFprobe(path);
    if (!probe.ok || probe.sampleRate <= 0)
        return -1;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a:0", "-ac", "1", "-f", "s16le", "-acodec",
                            "pcm_s16le", "-"});
    qint64 bytes = 0;
    while (ffmpeg.waitForReadyRead(30000))
        bytes += ffmpeg.readAllStandardOutput().size();
    ffmpeg.waitForFinished(30000);
    bytes += ffmpeg.readAllStandardOutput().size();
    return static_cast<double>(bytes) / 2.0 / probe.sampleRate;
}

QVector<qint16> FirstSamples(const QString &path, int count) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-i", path, "-map", "0:a:0", "-ac", "1", "-f", "s16le", "-acodec",
                            "pcm_s16le", "-frames:a", "1000000", "-"});
    QByteArray data;
    while (ffmpeg.waitForReadyRead(30000)) {
        data += ffmpeg.readAllStandardOutput();
        if (data.size() >= count * 2)
            break;
    }
    ffmpeg.kill();
    ffmpeg.waitForFinished();
    QVector<qint16> samples;
    for (int i = 0; i + 1 < data.size() && samples.size() < count; i += 2)
        samples.append(
            static_cast<qint16>(static_cast<quint8>(data[i]) | (static_cast<quint8>(data[i + 1]) << 8)));
    return samples;
}

} // namespace tv::test
