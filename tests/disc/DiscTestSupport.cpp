#include "DiscTestSupport.h"

#include "DiscWriter.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>
#include <QtEndian>
#include <cmath>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>

namespace tv::test {

QString CorpusImagesFolder() {
    QString corpus = qEnvironmentVariable("TUNEVANE_CORPUS_DIR", QStringLiteral(TUNEVANE_CORPUS_DIR));
    const QString folder = corpus + QStringLiteral("/cd-images");
    return QFileInfo(folder).isDir() ? folder : QString();
}

bool HaveCdInfo() {
    return !QStandardPaths::findExecutable(QStringLiteral("cd-info")).isEmpty();
}

CdInfoDisc RunCdInfo(const QString &image) {
    CdInfoDisc disc;
    QProcess p;
    p.setWorkingDirectory(QFileInfo(image).absolutePath());
    p.start(QStringLiteral("cd-info"),
            {"--no-header", "--no-device-info", "--no-cddb", "-i", QFileInfo(image).fileName()});
    if (!p.waitForFinished(30000))
        return disc;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression kTrack(
        QStringLiteral("^\\s*(\\d+): \\d\\d:\\d\\d:\\d\\d\\s+(\\d+) (\\w+)"));
    int section = 0; // 1 disc CD-Text, 2 a track's
    int cdTextTrack = 0;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = kTrack.match(line);
        if (m.hasMatch()) {
            // Negative addresses come out as 64-bit unsigned numbers.
            qint64 lsn = static_cast<qint64>(m.captured(2).toULongLong());
            const int number = m.captured(1).toInt();
            if (number == 170) {
                disc.leadout = lsn;
                disc.ok = true;
                continue;
            }
            if (disc.lsn.isEmpty())
                disc.first = number;
            disc.lsn << lsn;
            disc.audio << (m.captured(3) == QLatin1String("audio"));
            continue;
        }
        if (line.startsWith(QLatin1String("CD-TEXT for Disc"))) {
            section = 1;
        } else if (line.startsWith(QLatin1String("CD-TEXT for Track"))) {
            section = 2;
            cdTextTrack = line.mid(17).remove(QLatin1Char(':')).trimmed().toInt();
        } else if (line.startsWith(QLatin1Char('\t')) && section > 0) {
            const QString field = line.section(QLatin1Char(':'), 0, 0).trimmed();
            const QString value = line.section(QLatin1Char(':'), 1).trimmed();
            if (section == 1 && field == QLatin1String("TITLE"))
                disc.album = value;
            else if (section == 1 && field == QLatin1String("PERFORMER"))
                disc.artist = value;
            else if (section == 2 && field == QLatin1String("TITLE"))
                disc.titles.insert(cdTextTrack, value);
        } else if (!line.startsWith(QLatin1Char('\t'))) {
            section = 0;
        }
    }
    return disc;
}

QString WriteToneImage(const QString &folder, const QString &name, const QVector<int> &trackSectors,
                       const QStringList &cdText) {
    QDir().mkpath(folder);
    QFile bin(folder + QLatin1Char('/') + name + QStringLiteral(".bin"));
    if (!bin.open(QIODevice::WriteOnly))
        return QString();
    QString cue;
    if (cdText.size() >= 2)
        cue += QStringLiteral("TITLE \"%1\"\nPERFORMER \"%2\"\n").arg(cdText.at(0), cdText.at(1));
    cue += QStringLiteral("FILE \"%1.bin\" BINARY\n").arg(name);
    qint64 sector = 0;
    QByteArray chunk;
    for (int t = 0; t < trackSectors.size(); ++t) {
        cue += QStringLiteral("  TRACK %1 AUDIO\n    INDEX 01 %2:%3:%4\n")
                   .arg(t + 1, 2, 10, QLatin1Char('0'))
                   .arg(sector / 75 / 60, 2, 10, QLatin1Char('0'))
                   .arg(sector / 75 % 60, 2, 10, QLatin1Char('0'))
                   .arg(sector % 75, 2, 10, QLatin1Char('0'));
        if (t + 2 < cdText.size())
            cue += QStringLiteral("    TITLE \"%1\"\n").arg(cdText.at(t + 2));
        const double left = 220.0 * (t + 2);
        const double right = left * 1.5;
        qint64 sample = 0;
        for (int s = 0; s < trackSectors.at(t); ++s) {
            chunk.resize(2352);
            for (int i = 0; i < 588; ++i, ++sample) {
                const double time = sample / 44100.0;
                qToLittleEndian(static_cast<qint16>(9000 * std::sin(2 * M_PI * left * time)),
                                chunk.data() + i * 4);
                qToLittleEndian(static_cast<qint16>(7000 * std::sin(2 * M_PI * right * time)),
                                chunk.data() + i * 4 + 2);
            }
            bin.write(chunk);
        }
        sector += trackSectors.at(t);
    }
    bin.close();
    const QString cuePath = folder + QLatin1Char('/') + name + QStringLiteral(".cue");
    QFile sheet(cuePath);
    if (!sheet.open(QIODevice::WriteOnly))
        return QString();
    sheet.write(cue.toUtf8());
    return cuePath;
}

QByteArray WavSamples(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    const QByteArray all = file.readAll();
    if (all.size() < 44 || !all.startsWith("RIFF") || all.mid(8, 8) != "WAVEfmt ")
        return QByteArray();
    const auto u16 = [&](int at) { return qFromLittleEndian<quint16>(all.constData() + at); };
    const auto u32 = [&](int at) { return qFromLittleEndian<quint32>(all.constData() + at); };
    if (u16(20) != 1 || u16(22) != 2 || u32(24) != 44100 || u16(34) != 16 || all.mid(36, 4) != "data")
        return QByteArray();
    if (u32(40) != static_cast<quint32>(all.size() - 44) || u32(4) != static_cast<quint32>(all.size() - 8))
        return QByteArray();
    return all.mid(44);
}

quint32 ReferenceCrc32(const QByteArray &bytes) {
    quint32 crc = 0xFFFFFFFFu;
    for (const char c : bytes) {
        crc ^= static_cast<quint8>(c);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

ArSums ReferenceAccurateRip(const QByteArray &samples, bool firstTrack, bool lastTrack) {
    ArSums sums;
    const qint64 count = samples.size() / 4;
    const qint64 from = firstTrack ? 5 * 588 - 1 : 1;
    const qint64 to = lastTrack ? count - 5 * 588 : count;
    for (qint64 n = 1; n <= count; ++n) {
        if (n < from || n > to)
            continue;
        const quint64 value = qFromLittleEndian<quint32>(samples.constData() + (n - 1) * 4);
        const quint64 product = value * static_cast<quint64>(n);
        sums.v1 += static_cast<quint32>(product & 0xFFFFFFFFu);
        sums.v2 += static_cast<quint32>(product & 0xFFFFFFFFu) + static_cast<quint32>(product >> 32);
    }
    return sums;
}

QByteArray Jpeg(Qt::GlobalColor colour) {
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes;
}

QString ReferenceDiscId(int first, int last, const QVector<qint64> &addresses, qint64 leadout) {
    QByteArray text = QByteArray::number(first, 16).toUpper().rightJustified(2, '0') +
                      QByteArray::number(last, 16).toUpper().rightJustified(2, '0');
    QVector<qint64> offsets(100, 0);
    offsets[0] = leadout;
    for (int i = 0; i < addresses.size(); ++i)
        offsets[first + i] = addresses.at(i);
    for (const qint64 offset : offsets)
        text += QByteArray::number(offset, 16).toUpper().rightJustified(8, '0');
    QByteArray id = QCryptographicHash::hash(text, QCryptographicHash::Sha1).toBase64();
    id.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(id);
}

QByteArray ReleaseJson(const QString &id, const QString &title, const QString &date, const QString &discId,
                       const QStringList &tracks) {
    QString trackList;
    for (int i = 0; i < tracks.size(); ++i)
        trackList += QStringLiteral("%1{\"position\":%2,\"number\":\"%2\",\"title\":\"%3\"}")
                         .arg(i ? "," : "")
                         .arg(i + 1)
                         .arg(tracks.at(i));
    return QStringLiteral("{\"id\":\"%1\",\"title\":\"%2\",\"date\":\"%3\",\"country\":\"GB\","
                          "\"artist-credit\":[{\"name\":\"Ann\",\"joinphrase\":\" & "
                          "\"},{\"name\":\"Bob\",\"joinphrase\":\"\"}],"
                          "\"genres\":[{\"name\":\"folk\",\"count\":1},{\"name\":\"synth pop\",\"count\":4}],"
                          "\"media\":[{\"position\":1,\"discs\":[{\"id\":\"other\"}],\"tracks\":[]},"
                          "{\"position\":2,\"discs\":[{\"id\":\"%4\"}],\"tracks\":[%5]}]}")
        .arg(id, title, date, discId, trackList)
        .toUtf8();
}

QByteArray CdWavHeader(qint64 dataBytes) {
    QByteArray h(44, '\0');
    char *p = h.data();
    memcpy(p, "RIFF", 4);
    qToLittleEndian<quint32>(quint32(36 + dataBytes), p + 4);
    memcpy(p + 8, "WAVEfmt ", 8);
    qToLittleEndian<quint32>(16, p + 16);
    qToLittleEndian<quint16>(1, p + 20);
    qToLittleEndian<quint16>(2, p + 22);
    qToLittleEndian<quint32>(44100, p + 24);
    qToLittleEndian<quint32>(44100 * 4, p + 28);
    qToLittleEndian<quint16>(4, p + 32);
    qToLittleEndian<quint16>(16, p + 34);
    memcpy(p + 36, "data", 4);
    qToLittleEndian<quint32>(quint32(dataBytes), p + 40);
    return h;
}

namespace {

QString RunXorriso(const QStringList &args, bool *ok = nullptr) {
    QProcess p;
    p.start(QStringLiteral("xorriso"), args);
    const bool finished = p.waitForFinished(120000);
    if (ok)
        *ok = finished && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString Text(cdtext_t *text, cdtext_field_t field, track_t track) {
    const char *value = text ? cdtext_get_const(text, field, track) : nullptr;
    return value ? QString::fromUtf8(value) : QString();
}

} // namespace

QByteArray WriteCdWav(const QString &path, qint64 frames, quint32 seed) {
    QByteArray samples(frames * 4, '\0');
    quint32 state = seed * 2654435761u + 1;
    for (qint64 i = 0; i < frames * 2; ++i) {
        state = state * 1664525u + 1013904223u;
        qToLittleEndian<qint16>(qint16(state >> 16), samples.data() + i * 2);
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QByteArray();
    file.write(CdWavHeader(samples.size()));
    file.write(samples);
    return samples;
}

QByteArray PaddedToSectors(QByteArray samples) {
    samples.append(QByteArray((2352 - samples.size() % 2352) % 2352, '\0'));
    return samples;
}

AudioImageContents ReadAudioImage(const QString &cuePath) {
    AudioImageContents out;
    // libcdio warns of tracks shorter than a pregap; the short test tracks are meant to be.
    cdio_loglevel_default = CDIO_LOG_ERROR;
    CdIo_t *cdio = cdio_open_cue(QFile::encodeName(cuePath).constData());
    if (!cdio) {
        out.error = QStringLiteral("libcdio cannot open the cue sheet");
        return out;
    }
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    cdtext_t *text = cdio_get_cdtext(cdio);
    out.album = Text(text, CDTEXT_FIELD_TITLE, 0);
    out.performer = Text(text, CDTEXT_FIELD_PERFORMER, 0);
    for (track_t t = first; t < first + count; ++t) {
        const lsn_t lsn = cdio_get_track_lsn(cdio, t);
        const lsn_t next = t + 1 < first + count ? cdio_get_track_lsn(cdio, t + 1)
                                                 : cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
        out.lsn << lsn;
        out.sectors << (next - lsn);
        QByteArray audio(qint64(next - lsn) * CDIO_CD_FRAMESIZE_RAW, '\0');
        if (cdio_read_audio_sectors(cdio, audio.data(), lsn, next - lsn) != DRIVER_OP_SUCCESS) {
            out.error = QStringLiteral("track %1 cannot be read").arg(t);
            cdio_destroy(cdio);
            return out;
        }
        out.audio << audio;
        const QString title = Text(text, CDTEXT_FIELD_TITLE, t);
        if (!title.isEmpty())
            out.titles.insert(t, title);
        const QString performer = Text(text, CDTEXT_FIELD_PERFORMER, t);
        if (!performer.isEmpty())
            out.performers.insert(t, performer);
    }
    cdio_destroy(cdio);
    out.ok = true;
    return out;
}

bool HaveXorriso() {
    return !QStandardPaths::findExecutable(QStringLiteral("xorriso")).isEmpty();
}

QStringList XorrisoFiles(const QString &iso) {
    const QString out = RunXorriso({"-abort_on", "FAILURE", "-indev", iso, "-find", "/", "-type", "f", "--"});
    QStringList files;
    for (QString line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        line = line.trimmed();
        // xorriso quotes each path in single quotes, a quote inside as '"'"'.
        if (line.size() >= 2 && line.startsWith(QLatin1Char('\'')) && line.endsWith(QLatin1Char('\'')))
            files << line.mid(1, line.size() - 2).replace(QStringLiteral("'\"'\"'"), QStringLiteral("'"));
    }
    files.sort();
    return files;
}

QString PvdVolumeId(const QString &iso) {
    QFile file(iso);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(16 * 2048))
        return QStringLiteral("<unreadable>");
    const QByteArray pvd = file.read(2048);
    if (pvd.size() < 72 || pvd.at(0) != 1 || pvd.mid(1, 5) != "CD001")
        return QStringLiteral("<no primary volume descriptor>");
    QString id = QString::fromLatin1(pvd.mid(40, 32));
    while (id.endsWith(QLatin1Char(' ')))
        id.chop(1);
    return id;
}

bool XorrisoExtract(const QString &iso, const QString &folder) {
    bool ok = false;
    RunXorriso({"-osirrox", "on", "-indev", iso, "-extract", "/", folder}, &ok);
    return ok;
}

QMap<QString, QByteArray> FolderContents(const QString &folder) {
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        contents.insert(path.mid(folder.size()), file.readAll());
    }
    return contents;
}

QStringList Names(const QString &folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool MakeSparseFile(const QString &path, qint64 bytes, const QByteArray &head) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size())
        return false;
    return file.resize(bytes);
}

int WaitForOperation(DiscWriter &writer, int timeoutMs) {
    int code = 1;
    QEventLoop loop;
    QObject::connect(&writer, &DiscWriter::operationEnded, &loop, [&](int c) {
        code = c;
        loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return code;
}

} // namespace tv::test
