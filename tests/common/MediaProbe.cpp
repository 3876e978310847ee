#include "MediaProbe.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

namespace tv::test {

namespace {

// The JSON ffprobe prints for these arguments; empty when it fails.
QJsonObject RunFFprobe(const QStringList &args) {
    QProcess ffprobe;
    ffprobe.start("ffprobe", QStringList{"-v", "error", "-print_format", "json"} + args);
    if (!ffprobe.waitForFinished(60000)) {
        ffprobe.kill();
        ffprobe.waitForFinished();
        return QJsonObject();
    }
    if (ffprobe.exitStatus() != QProcess::NormalExit || ffprobe.exitCode() != 0)
        return QJsonObject();
    return QJsonDocument::fromJson(ffprobe.readAllStandardOutput()).object();
}

QJsonArray Streams(const QJsonObject &probe) {
    return probe.value("streams").toArray();
}

} // namespace

QJsonObject FFprobe(const QString &path) {
    return RunFFprobe({"-show_format", "-show_streams", path});
}

QString FFprobeTag(const QJsonObject &probe, const QString &key) {
    QList<QJsonObject> tagSets{probe.value("format").toObject().value("tags").toObject()};
    for (const QJsonValue &stream : Streams(probe))
        tagSets << stream.toObject().value("tags").toObject();
    for (const QJsonObject &tags : tagSets) {
        for (auto it = tags.begin(); it != tags.end(); ++it) {
            if (it.key().compare(key, Qt::CaseInsensitive) == 0)
                return it.value().toString();
        }
    }
    return QString();
}

bool FFprobeHasCover(const QJsonObject &probe) {
    for (const QJsonValue &stream : Streams(probe)) {
        if (stream.toObject().value("disposition").toObject().value("attached_pic").toInt() == 1)
            return true;
    }
    return false;
}

double FFprobeAudioEnd(const QString &path) {
    const QJsonObject answer =
        RunFFprobe({"-select_streams", "a:0", "-show_entries", "packet=pts_time,duration_time", path});
    double end = 0;
    for (const QJsonValue &packet : answer.value("packets").toArray()) {
        const QJsonObject p = packet.toObject();
        end = std::max(end, p.value("pts_time").toString().toDouble() +
                                p.value("duration_time").toString().toDouble());
    }
    return end;
}

ProbedAudio ProbeWithFFprobe(const QString &path) {
    ProbedAudio result;
    const QJsonObject root = FFprobe(path);
    const QJsonObject format = root.value("format").toObject();
    result.duration = format.value("duration").toString().toDouble();
    for (const QJsonValue &value : Streams(root)) {
        const QJsonObject stream = value.toObject();
        const QString type = stream.value("codec_type").toString();
        if (type == "video" && stream.value("disposition").toObject().value("attached_pic").toInt() == 0)
            ++result.videoStreams;
        if (type != "audio" || result.ok)
            continue;
        result.ok = true;
        result.codec = stream.value("codec_name").toString();
        result.sampleRate = stream.value("sample_rate").toString().toInt();
        result.channels = stream.value("channels").toInt();
        result.bitRate = stream.value("bit_rate").toString().toLongLong();
        if (result.duration <= 0)
            result.duration = stream.value("duration").toString().toDouble();
    }
    if (result.bitRate <= 0)
        result.bitRate = format.value("bit_rate").toString().toLongLong();
    return result;
}

QByteArray DecodedSamples(const QString &path, const QStringList &options, qint64 maxBytes) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", QStringList{"-v", "error", "-i", path, "-map", "0:a:0"} + options +
                               QStringList{"-f", "s16le", "-acodec", "pcm_s16le", "-"});
    QByteArray data;
    while ((maxBytes < 0 || data.size() < maxBytes) && ffmpeg.waitForReadyRead(30000))
        data += ffmpeg.readAllStandardOutput();
    if (maxBytes < 0) {
        ffmpeg.waitForFinished(30000);
        return data + ffmpeg.readAllStandardOutput();
    }
    ffmpeg.kill();
    ffmpeg.waitForFinished();
    return data.left(maxBytes);
}

double DecodedDuration(const QString &path) {
    const ProbedAudio probe = ProbeWithFFprobe(path);
    if (!probe.ok || probe.sampleRate <= 0)
        return -1;
    return DecodedSamples(path, {"-ac", "1"}).size() / 2.0 / probe.sampleRate;
}

QVector<qint16> FirstSamples(const QString &path, int count) {
    const QByteArray data = DecodedSamples(path, {"-ac", "1"}, qint64(count) * 2);
    QVector<qint16> samples;
    for (int i = 0; i + 1 < data.size(); i += 2)
        samples.append(
            static_cast<qint16>(static_cast<quint8>(data[i]) | (static_cast<quint8>(data[i + 1]) << 8)));
    return samples;
}

} // namespace tv::test
