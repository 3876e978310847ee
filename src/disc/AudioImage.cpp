#include "AudioImage.h"

#include "DiscToc.h"
#include "OutputNaming.h"
#include "WorkFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tv {

namespace {

constexpr qint64 kChunkBytes = 1 << 20;

QString Msf(qint64 sectors) {
    return QStringLiteral("%1:%2:%3")
        .arg(sectors / kSectorsPerSecond / 60, 2, 10, QLatin1Char('0'))
        .arg(sectors / kSectorsPerSecond % 60, 2, 10, QLatin1Char('0'))
        .arg(sectors % kSectorsPerSecond, 2, 10, QLatin1Char('0'));
}

QByteArray CueLine(const char *indent, const char *keyword, const QString &text) {
    return QByteArray(indent) + keyword + " \"" + CdTextBytes(text) + "\"\n";
}

// Deletes the work files of an unfinished image, however the write ends.
struct WorkFileGuard {
    QStringList paths;
    ~WorkFileGuard() {
        for (const QString &path : paths)
            QFile::remove(path);
    }
};

} // namespace

qint64 WavInfo::lengthMs() const {
    const qint64 bytesPerSecond = qint64(sampleRate) * channels * (bitsPerSample / 8);
    return bytesPerSecond > 0 ? dataBytes * 1000 / bytesPerSecond : 0;
}

WavInfo ReadWavInfo(const QString &path) {
    WavInfo info;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        info.error = file.errorString();
        return info;
    }
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE") {
        info.error = QStringLiteral("not a WAV file");
        return info;
    }
    bool haveFormat = false;
    qint64 at = 12;
    const qint64 size = file.size();
    while (at + 8 <= size) {
        file.seek(at);
        const QByteArray head = file.read(8);
        if (head.size() < 8)
            break;
        const quint32 length = qFromLittleEndian<quint32>(head.constData() + 4);
        if (head.startsWith("fmt ")) {
            const QByteArray fmt = file.read(qMin<quint32>(length, 40));
            if (fmt.size() < 16)
                break;
            const quint16 tag = qFromLittleEndian<quint16>(fmt.constData());
            info.channels = qFromLittleEndian<quint16>(fmt.constData() + 2);
            info.sampleRate = static_cast<int>(qFromLittleEndian<quint32>(fmt.constData() + 4));
            info.bitsPerSample = qFromLittleEndian<quint16>(fmt.constData() + 14);
            // Extensible WAV names its sample format in a GUID whose first two bytes are the tag.
            const quint16 sub = fmt.size() >= 26 ? qFromLittleEndian<quint16>(fmt.constData() + 24) : 0;
            if (tag != 1 && !(tag == 0xFFFE && sub == 1)) {
                info.error = QStringLiteral("not PCM audio");
                return info;
            }
            haveFormat = true;
        } else if (head.startsWith("data")) {
            if (!haveFormat)
                break;
            info.dataOffset = at + 8;
            // A writer that could not seek back leaves the size unset: the samples run to the end.
            info.dataBytes = length == 0xFFFFFFFFu || info.dataOffset + length > size ? size - info.dataOffset
                                                                                      : qint64(length);
            info.ok = true;
            return info;
        }
        at += 8 + length + (length & 1);
    }
    info.error = QStringLiteral("no audio data");
    return info;
}

AudioDiscText SharedDiscText(const QStringList &albums, const QStringList &artists) {
    const auto shared = [](QStringList values) {
        for (QString &value : values)
            value = value.trimmed();
        values.removeAll(QString());
        values.removeDuplicates();
        return values.size() == 1 ? values.constFirst() : QString();
    };
    return {shared(albums), shared(artists)};
}

int AudioTrackSectors(qint64 dataBytes) {
    return static_cast<int>((dataBytes + kSectorBytes - 1) / kSectorBytes);
}

qint64 AudioDiscSectors(const QVector<qint64> &trackBytes) {
    if (trackBytes.isEmpty())
        return 0;
    qint64 sectors = kFirstPregapSectors;
    for (const qint64 bytes : trackBytes)
        sectors += AudioTrackSectors(bytes);
    return sectors;
}

QByteArray CdTextBytes(const QString &text) {
    QString clean;
    for (const QChar c : text) {
        if (c == QLatin1Char('"'))
            clean += QLatin1Char('\'');
        else if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
            clean += c;
    }
    return clean.trimmed().left(80).toLatin1();
}

QByteArray CueSheetText(const QString &binName, const QVector<AudioTrackSource> &tracks,
                        const QVector<int> &trackSectors, const AudioDiscText &disc) {
    bool withText = !disc.title.trimmed().isEmpty();
    for (const AudioTrackSource &track : tracks)
        withText = withText || !track.title.trimmed().isEmpty();
    QByteArray cue = "REM COMMENT \"Tunevane\"\n";
    if (withText) {
        cue += CueLine("", "PERFORMER", disc.performer);
        cue += CueLine("", "TITLE", disc.title);
    }
    // The file name itself is not CD-Text: it keeps its UTF-8 bytes, as the file system has them.
    cue += "FILE \"" + QFile::encodeName(binName) + "\" BINARY\n";
    qint64 start = 0;
    for (int i = 0; i < tracks.size(); ++i) {
        cue += QStringLiteral("  TRACK %1 AUDIO\n").arg(i + 1, 2, 10, QLatin1Char('0')).toLatin1();
        if (withText) {
            cue += CueLine("    ", "TITLE", tracks.at(i).title);
            cue += CueLine("    ", "PERFORMER", tracks.at(i).performer);
        }
        // The first track's pregap is not in the file: a disc always has it before LSN 0.
        if (i == 0)
            cue += "    PREGAP " + Msf(kFirstPregapSectors).toLatin1() + "\n";
        cue += "    INDEX 01 " + Msf(start).toLatin1() + "\n";
        start += i < trackSectors.size() ? trackSectors.at(i) : 0;
    }
    return cue;
}

QString BinPathOfCue(const QString &cuePath) {
    const QFileInfo info(cuePath);
    return info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".bin");
}

QString CuePathOfImage(const QString &imagePath) {
    const QFileInfo info(imagePath);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("cue"))
        return imagePath;
    const QString base = suffix == QLatin1String("bin") ? info.completeBaseName() : info.fileName();
    return info.path() + QLatin1Char('/') + base + QStringLiteral(".cue");
}

BurnResult WriteAudioImage(const QString &cuePath, const QVector<AudioTrackSource> &tracks,
                           const AudioDiscText &disc, bool replace, TaskControl &control,
                           const TaskProgress &progress) {
    const QString binPath = BinPathOfCue(cuePath);
    if (tracks.isEmpty())
        return {BurnNothingToWrite, QStringLiteral("There is nothing to write.")};
    if (QFileInfo(binPath).fileName().contains(QLatin1Char('"')))
        return {BurnFailed,
                QStringLiteral("%1: a cue sheet cannot name a file with a double quote.").arg(binPath)};
    if (!replace && (NameTaken(cuePath) || NameTaken(binPath)))
        return {BurnTargetExists,
                QStringLiteral("%1 already exists.").arg(NameTaken(cuePath) ? cuePath : binPath)};

    // Every track is checked before a byte is written.
    QVector<WavInfo> infos;
    QVector<int> sectors;
    qint64 total = 0;
    for (const AudioTrackSource &track : tracks) {
        const WavInfo info = ReadWavInfo(track.wavPath);
        if (!info.isCdAudio())
            return {BurnFailed, QStringLiteral("%1: %2").arg(
                                    track.wavPath, info.ok ? QStringLiteral("not CD audio (44.1 kHz, "
                                                                            "16-bit, stereo)")
                                                           : info.error)};
        infos << info;
        sectors << AudioTrackSectors(info.dataBytes);
        total += qint64(sectors.last()) * kSectorBytes;
    }

    WorkFileGuard guard;
    const QString binWork = WorkFilePath(binPath);
    const QString cueWork = WorkFilePath(cuePath);
    guard.paths << binWork << cueWork;
    QFile bin(binWork);
    if (!bin.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return {BurnFailed, QStringLiteral("%1: %2").arg(binPath, bin.errorString())};
    QByteArray buffer;
    qint64 done = 0;
    for (int i = 0; i < tracks.size(); ++i) {
        QFile wav(tracks.at(i).wavPath);
        if (!wav.open(QIODevice::ReadOnly) || !wav.seek(infos.at(i).dataOffset))
            return {BurnFailed, QStringLiteral("%1: %2").arg(tracks.at(i).wavPath, wav.errorString())};
        qint64 left = qint64(sectors.at(i)) * kSectorBytes;
        qint64 samples = infos.at(i).dataBytes;
        while (left > 0) {
            if (!control.proceed())
                return {BurnAborted, QString()};
            const qint64 chunk = qMin(left, kChunkBytes);
            buffer.resize(chunk);
            const qint64 fromFile = qMin(samples, chunk);
            if (fromFile > 0 && wav.read(buffer.data(), fromFile) != fromFile)
                return {BurnFailed, QStringLiteral("%1: %2").arg(
                                        tracks.at(i).wavPath, wav.error() != QFile::NoError
                                                                  ? wav.errorString()
                                                                  : QStringLiteral("the file is shorter "
                                                                                   "than its header says"))};
            // The last sector of a track is filled up with silence.
            std::fill(buffer.begin() + fromFile, buffer.end(), '\0');
            if (bin.write(buffer) != chunk)
                return {BurnFailed, QStringLiteral("%1: %2").arg(binPath, bin.errorString())};
            samples -= fromFile;
            left -= chunk;
            done += chunk;
            if (progress)
                progress(done, total);
        }
    }
    if (!bin.flush()) {
        return {BurnFailed, QStringLiteral("%1: %2").arg(binPath, bin.errorString())};
    }
    bin.close();

    QFile cue(cueWork);
    const QByteArray sheet = CueSheetText(QFileInfo(binPath).fileName(), tracks, sectors, disc);
    if (!cue.open(QIODevice::WriteOnly | QIODevice::NewOnly) || cue.write(sheet) != sheet.size() ||
        !cue.flush())
        return {BurnFailed, QStringLiteral("%1: %2").arg(cuePath, cue.errorString())};
    cue.close();
    if (!control.proceed())
        return {BurnAborted, QString()};
    // The BIN first: the sheet that names it is what makes the image, so it comes last.
    if (!PlaceFile(binWork, binPath, replace))
        return {BurnFailed, QStringLiteral("%1: %2").arg(binPath, QString::fromLocal8Bit(strerror(errno)))};
    if (!PlaceFile(cueWork, cuePath, replace)) {
        const QString reason = QString::fromLocal8Bit(strerror(errno));
        QFile::remove(binPath);
        return {BurnFailed, QStringLiteral("%1: %2").arg(cuePath, reason)};
    }
    return {};
}

} // namespace tv
