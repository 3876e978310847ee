#include "DiscSource.h"

#include "SoundErrors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTemporaryFile>

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cdio/logging.h>
#include <mutex>

#ifdef __linux__
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace tv {

namespace {

// The capture of the calling thread, if any; libcdio calls its log handler on the thread that
// called into it.
thread_local DiscLogCapture *tCapture = nullptr;

void LogHandler(cdio_log_level_t level, const char message[]) {
    if (level < CDIO_LOG_WARN || !message)
        return;
    AppendDiscLogLine(QString::fromLocal8Bit(message).trimmed());
}

// libcdio prints to standard error unless told otherwise; the program keeps its warnings.
void InstallLogHandler() {
    static std::once_flag once;
    std::call_once(once, []() { cdio_log_set_handler(LogHandler); });
}

QString CdioText(const char *text) {
    return text ? QString::fromUtf8(text).trimmed() : QString();
}

// cdrdao resolves a .toc file's data file names against the current folder, not the .toc's own;
// a copy with absolute names opens wherever the program runs.
std::unique_ptr<QTemporaryFile> TocWithAbsoluteNames(const QString &path, QString *error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return nullptr;
    }
    QString text = QString::fromUtf8(file.readAll());
    const QDir folder = QFileInfo(path).absoluteDir();
    static const QRegularExpression kFileName(
        QString::fromLatin1(R"re(\b(FILE|AUDIOFILE|DATAFILE)(\s+)"([^"]*)")re"));
    QString rewritten;
    qsizetype last = 0;
    for (auto it = kFileName.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        QString name = match.captured(3);
        if (!name.isEmpty() && QDir::isRelativePath(name))
            name = folder.absoluteFilePath(name);
        rewritten += text.mid(last, match.capturedStart() - last);
        rewritten += match.captured(1) + match.captured(2) + QLatin1Char('"') + name + QLatin1Char('"');
        last = match.capturedEnd();
    }
    rewritten += text.mid(last);
    auto copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/tunevane_XXXXXX.toc"));
    if (!copy->open() || copy->write(rewritten.toUtf8()) < 0 || !copy->flush()) {
        *error = copy->errorString();
        return nullptr;
    }
    copy->close();
    return copy;
}

// The data file names of a cue sheet's FILE lines, as written.
QStringList CueDataFiles(const QString &path) {
    QFile file(path);
    QStringList names;
    if (!file.open(QIODevice::ReadOnly))
        return names;
    static const QRegularExpression kFile(QString::fromLatin1(R"re(^\s*FILE\s+(?:"([^"]*)"|(\S+)))re"),
                                          QRegularExpression::CaseInsensitiveOption);
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch match = kFile.match(line);
        if (match.hasMatch())
            names << (match.captured(1).isEmpty() ? match.captured(2) : match.captured(1));
    }
    return names;
}

driver_id_t ImageDriver(const QString &extension) {
    if (extension == QLatin1String("toc"))
        return DRIVER_CDRDAO;
    if (extension == QLatin1String("nrg"))
        return DRIVER_NRG;
    return DRIVER_BINCUE;
}

} // namespace

void AppendDiscLogLine(const QString &line) {
    if (tCapture && !line.isEmpty())
        tCapture->m_lines << line;
}

DiscLogCapture::DiscLogCapture() : m_outer(tCapture) {
    InstallLogHandler();
    tCapture = this;
}

DiscLogCapture::~DiscLogCapture() {
    tCapture = m_outer;
}

QStringList DiscImageExtensions() {
    return {QStringLiteral("cue"), QStringLiteral("bin"), QStringLiteral("toc"), QStringLiteral("nrg")};
}

bool IsDiscImagePath(const QString &path) {
    return DiscImageExtensions().contains(QFileInfo(path).suffix().toLower());
}

DriveEntry ImageDriveEntry(const QString &path) {
    DriveEntry entry;
    entry.device = QFileInfo(path).absoluteFilePath();
    entry.description = QStringLiteral("disc image");
    entry.image = true;
    return entry;
}

QVector<DriveEntry> ListCdDrives() {
    InstallLogHandler();
    QVector<DriveEntry> drives;
    char **devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return drives;
    for (char **device = devices; *device; ++device) {
        const QString path = QString::fromLocal8Bit(*device);
        if (!QFileInfo::exists(path))
            continue;
        cdio_drive_read_cap_t read = 0;
        cdio_drive_write_cap_t write = 0;
        cdio_drive_misc_cap_t misc = 0;
        cdio_get_drive_cap_dev(*device, &read, &write, &misc);
        // Drives that cannot tell what they read are kept: most answer only with a disc inside.
        const bool known = !(read & (CDIO_DRIVE_CAP_ERROR | CDIO_DRIVE_CAP_UNKNOWN));
        if (known && !(read & CDIO_DRIVE_CAP_READ_CD_DA))
            continue;
        DriveEntry entry;
        entry.device = path;
        if (CdIo_t *cdio = cdio_open(*device, DRIVER_DEVICE)) {
            cdio_hwinfo_t info;
            if (cdio_get_hwinfo(cdio, &info))
                entry.description = QStringLiteral("%1 %2")
                                        .arg(QString::fromLatin1(info.psz_vendor).trimmed(),
                                             QString::fromLatin1(info.psz_model).trimmed())
                                        .trimmed();
            cdio_destroy(cdio);
        }
        if (entry.description.isEmpty())
            entry.description = QStringLiteral("CD drive");
        drives.append(entry);
    }
    cdio_free_device_list(devices);
    return drives;
}

DiscHandle::~DiscHandle() {
    if (m_cdio)
        cdio_destroy(m_cdio);
}

std::unique_ptr<DiscHandle> DiscHandle::Open(const QString &source, QString *error, int *code) {
    DiscLogCapture capture;
    QString reason;
    auto fail = [&](int soundCode, const QString &why) {
        if (error)
            *error = why;
        if (code)
            *code = soundCode;
        return std::unique_ptr<DiscHandle>();
    };
    std::unique_ptr<DiscHandle> handle(new DiscHandle);
    handle->m_source = source;
    handle->m_image = IsDiscImagePath(source);
    if (!handle->m_image) {
        handle->m_cdio = cdio_open(source.toLocal8Bit().constData(), DRIVER_DEVICE);
        if (!handle->m_cdio)
            return fail(SoundError::InvalidDrive,
                        QStringLiteral("The drive %1 cannot be opened.").arg(source));
        return handle;
    }

    const QFileInfo info(source);
    if (!info.isFile())
        return fail(SoundError::InvalidDrive,
                    QStringLiteral("The disc image \"%1\" does not exist.").arg(source));
    QString path = info.absoluteFilePath();
    QString extension = info.suffix().toLower();
    if (extension == QLatin1String("bin")) {
        // A BIN file holds only the sectors; its cue sheet says where the tracks are.
        const QString cue =
            info.absolutePath() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".cue");
        if (!QFileInfo::exists(cue))
            return fail(SoundError::InvalidDrive,
                        QStringLiteral("The disc image \"%1\" has no cue sheet (%2) beside it.")
                            .arg(info.fileName(), QFileInfo(cue).fileName()));
        path = cue;
        extension = QStringLiteral("cue");
    }
    if (extension == QLatin1String("cue")) {
        const QFileInfo cue(path);
        const QString sameName =
            cue.absolutePath() + QLatin1Char('/') + cue.completeBaseName() + QStringLiteral(".bin");
        const QStringList files = CueDataFiles(path);
        if (files.size() > 1)
            return fail(
                SoundError::InvalidDrive,
                QStringLiteral("The cue sheet \"%1\" names %2 data files; only cue sheets with one BIN "
                               "file can be opened.")
                    .arg(info.fileName())
                    .arg(files.size()));
        const QString named =
            files.isEmpty() ? QString() : cue.absoluteDir().absoluteFilePath(files.constFirst());
        if (!QFileInfo::exists(sameName) && QFileInfo(named).isFile()) {
            handle->m_cueFolder =
                std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tunevane_XXXXXX"));
            const QString folder = handle->m_cueFolder->path() + QLatin1Char('/');
            if (!handle->m_cueFolder->isValid() || !QFile::copy(path, folder + QStringLiteral("disc.cue")) ||
                !QFile::link(named, folder + QStringLiteral("disc.bin")))
                return fail(
                    SoundError::InvalidDrive,
                    QStringLiteral("The disc image \"%1\" cannot be opened: the temporary folder cannot "
                                   "be written.")
                        .arg(info.fileName()));
            path = folder + QStringLiteral("disc.cue");
        }
    }
    if (extension == QLatin1String("toc")) {
        handle->m_tocCopy = TocWithAbsoluteNames(path, &reason);
        if (!handle->m_tocCopy)
            return fail(
                SoundError::InvalidDrive,
                QStringLiteral("The disc image \"%1\" cannot be read: %2").arg(info.fileName(), reason));
        path = handle->m_tocCopy->fileName();
    }
    handle->m_cdio = cdio_open(QFile::encodeName(path).constData(), ImageDriver(extension));
    if (!handle->m_cdio) {
        QStringList lines = capture.lines();
        // Lines name the copy of a .toc; the user knows the file by its own name.
        if (handle->m_tocCopy)
            lines.replaceInStrings(handle->m_tocCopy->fileName(), info.fileName());
        if (handle->m_cueFolder)
            lines.replaceInStrings(handle->m_cueFolder->path() + QStringLiteral("/disc.cue"),
                                   info.fileName());
        reason = lines.isEmpty() ? QStringLiteral("it is damaged or not a disc image.")
                                 : lines.join(QLatin1Char('\n'));
        return fail(SoundError::InvalidDrive,
                    QStringLiteral("The disc image \"%1\" cannot be read:\n%2").arg(info.fileName(), reason));
    }
    return handle;
}

QString DiscHandle::driveModel() const {
    if (m_image || !m_cdio)
        return QString();
    cdio_hwinfo_t info;
    if (!cdio_get_hwinfo(m_cdio, &info))
        return QString();
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromLatin1(info.psz_vendor).trimmed(), QString::fromLatin1(info.psz_model).trimmed(),
             QString::fromLatin1(info.psz_revision).trimmed())
        .trimmed();
}

DiscToc DiscHandle::readToc() const {
    DiscToc toc;
    const track_t first = cdio_get_first_track_num(m_cdio);
    const track_t count = cdio_get_num_tracks(m_cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return toc;
    toc.firstTrack = first;
    toc.lastTrack = first + count - 1;
    toc.leadoutLsn = cdio_get_track_lsn(m_cdio, CDIO_CDROM_LEADOUT_TRACK);
    for (int number = toc.firstTrack; number <= toc.lastTrack; ++number) {
        DiscTrack track;
        track.number = number;
        track.startLsn = cdio_get_track_lsn(m_cdio, static_cast<track_t>(number));
        track.audio = cdio_get_track_format(m_cdio, static_cast<track_t>(number)) == TRACK_FORMAT_AUDIO;
        track.preemphasis =
            cdio_get_track_preemphasis(m_cdio, static_cast<track_t>(number)) == CDIO_TRACK_FLAG_TRUE;
        track.copyPermitted =
            cdio_get_track_copy_permit(m_cdio, static_cast<track_t>(number)) == CDIO_TRACK_FLAG_TRUE;
        toc.tracks.append(track);
    }
    // An Enhanced CD keeps its data track in a second session; the audio session ends with its
    // own lead-out, 11400 sectors (lead-out, lead-in and pregap) before the data track.
    int sessionEnd = toc.leadoutLsn;
    lsn_t lastSession = 0;
    if (!m_image && toc.tracks.size() > 1 && !toc.tracks.constLast().audio &&
        cdio_get_last_session(m_cdio, &lastSession) == DRIVER_OP_SUCCESS && lastSession > 0 &&
        lastSession == toc.tracks.constLast().startLsn)
        sessionEnd = lastSession - 11400;
    for (int i = 0; i < toc.tracks.size(); ++i) {
        DiscTrack &track = toc.tracks[i];
        int end = i + 1 < toc.tracks.size() ? toc.tracks.at(i + 1).startLsn : toc.leadoutLsn;
        if (track.audio && i + 1 < toc.tracks.size() && !toc.tracks.at(i + 1).audio &&
            i + 2 == toc.tracks.size())
            end = qMin(end, sessionEnd);
        track.sectors = qMax(0, end - track.startLsn);
    }
    if (char *mcn = cdio_get_mcn(m_cdio)) {
        toc.mcn = QString::fromLatin1(mcn).trimmed();
        cdio_free(mcn);
    }
    return toc;
}

DiscText DiscHandle::readCdText(const DiscToc &toc) const {
    DiscText text;
    cdtext_t *cdtext = cdio_get_cdtext(m_cdio);
    if (!cdtext)
        return text;
    text.album = CdioText(cdtext_get_const(cdtext, CDTEXT_FIELD_TITLE, 0));
    text.artist = CdioText(cdtext_get_const(cdtext, CDTEXT_FIELD_PERFORMER, 0));
    text.genre = CdioText(cdtext_get_const(cdtext, CDTEXT_FIELD_GENRE, 0));
    const cdtext_genre_t genre = cdtext_get_genre(cdtext);
    if (text.genre.isEmpty() && genre != CDTEXT_GENRE_UNUSED && genre != CDTEXT_GENRE_UNDEFINED)
        text.genre = CdioText(cdtext_genre2str(genre));
    for (const DiscTrack &track : toc.tracks) {
        const auto number = static_cast<track_t>(track.number);
        const QString title = CdioText(cdtext_get_const(cdtext, CDTEXT_FIELD_TITLE, number));
        if (!title.isEmpty())
            text.titles.insert(track.number, title);
        const QString performer = CdioText(cdtext_get_const(cdtext, CDTEXT_FIELD_PERFORMER, number));
        if (!performer.isEmpty())
            text.performers.insert(track.number, performer);
    }
    return text;
}

DiscReading ReadDisc(const QString &source) {
    DiscReading reading;
    const std::unique_ptr<DiscHandle> handle = DiscHandle::Open(source, &reading.message, &reading.code);
    if (!handle)
        return reading;
    reading.toc = handle->readToc();
    if (reading.toc.isEmpty()) {
        // A drive without a disc; an image without tracks is damaged.
        reading.code = handle->isImage() ? SoundError::InvalidDrive : SoundError::DriveNotReady;
        if (handle->isImage())
            reading.message =
                QStringLiteral("The disc image \"%1\" holds no tracks.").arg(QFileInfo(source).fileName());
        return reading;
    }
    reading.cdText = handle->readCdText(reading.toc);
    return reading;
}

int OpenTray(const QString &device) {
    if (IsDiscImagePath(device))
        return -38;
    InstallLogHandler();
    return cdio_eject_media_drive(device.toLocal8Bit().constData()) == DRIVER_OP_SUCCESS ? 0 : -38;
}

int CloseTray(const QString &device) {
    if (IsDiscImagePath(device))
        return -38;
    InstallLogHandler();
    driver_id_t driver = DRIVER_DEVICE;
    return cdio_close_tray(device.toLocal8Bit().constData(), &driver) == DRIVER_OP_SUCCESS ? 0 : -38;
}

MediaState ProbeMedia(const QString &device) {
    if (IsDiscImagePath(device))
        return QFileInfo::exists(device) ? MediaState::Present : MediaState::Absent;
#ifdef __linux__
    // The kernel answers from the drive's state without spinning a disc up.
    const int fd = ::open(device.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    if (fd >= 0) {
        const int status = ::ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
        ::close(fd);
        if (status == CDS_DISC_OK)
            return MediaState::Present;
        if (status == CDS_NO_DISC || status == CDS_TRAY_OPEN || status == CDS_DRIVE_NOT_READY)
            return MediaState::Absent;
    }
#endif
    const std::unique_ptr<DiscHandle> handle = DiscHandle::Open(device);
    if (!handle)
        return MediaState::Unknown;
    return handle->readToc().isEmpty() ? MediaState::Absent : MediaState::Present;
}

} // namespace tv
