#include "BurnTestSupport.h"

#include "DiscWriter.h"
#include "MediaGen.h"

#include <QDir>
#include <QDirIterator>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>

namespace tv::test {

namespace {} // namespace

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

QByteArray DecodedPcm(const QString &path) {
    QTemporaryDir dir;
    const QString raw = dir.filePath(QStringLiteral("pcm.raw"));
    if (!RunFFmpeg({"-i", path, "-f", "s16le", "-acodec", "pcm_s16le", "-ar", "44100", "-ac", "2", raw}))
        return QByteArray();
    QFile file(raw);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

QString XorrisoVolumeId(const QString &iso) {
    const QString out = RunXorriso({"-indev", iso, "-pvd_info"});
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("Volume Id    :")))
            return line.mid(QStringLiteral("Volume Id    :").size()).trimmed();
    }
    return QStringLiteral("<no volume id line>");
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
