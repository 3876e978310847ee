// The machine's CD and DVD writers through libburn: the medium's state, the speeds the drive
// offers, audio tracks with their pregaps and CD-Text, data sessions made by libisofs (appended
// to an open disc with its earlier files kept), blanking, and the sessions of a disc.
#include "DiscRecorder.h"
#include "DiscToc.h"
#include "Libburn.h"

#include <QFile>
#include <QStringList>
#include <QThread>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <sys/types.h>
#include <unistd.h>

#include <libburn/libburn.h>

using namespace burn;

namespace tv {

namespace {

constexpr double kCdKilobytes = 176.4; // libburn counts speeds in 1000 bytes per second
constexpr double kDvdKilobytes = 1385.0;

double SpeedUnit(BurnKind kind) {
    return IsDvdKind(kind) ? kDvdKilobytes : kCdKilobytes;
}

// The medium type (0 to 9) of an MMC profile, -1 for media the burners do not know.
int TypeOfProfile(int profile) {
    switch (profile) {
    case 0x08:
        return 0; // CD-ROM
    case 0x09:
        return 1; // CD-R
    case 0x0a:
        return 2; // CD-RW
    case 0x10:
        return 3; // DVD-ROM
    case 0x1b:
        return 4; // DVD+R
    case 0x1a:
        return 5; // DVD+RW
    case 0x11:
    case 0x15:
    case 0x16:
        return 6; // DVD-R, DVD-R DL
    case 0x13:
    case 0x14:
        return 7; // DVD-RW
    case 0x12:
        return 8; // DVD-RAM
    case 0x2b:
        return 9; // DVD+R DL
    default:
        return -1;
    }
}

bool Overwritable(int profile) {
    return profile == 0x12 || profile == 0x13 || profile == 0x1a || profile == 0x43;
}

BurnResult Failure(const QString &fallback) {
    const QString why = burnlib::TakeMessages();
    return {BurnFailed, why.isEmpty() ? fallback : why};
}

// A disc model and write options that free themselves.
struct Composition {
    burn_disc *disc = burn_disc_create();
    burn_session *session = burn_session_create();
    QList<burn_track *> tracks;
    QList<burn_source *> sources;
    burn_write_opts *opts = nullptr;
    Composition() { burn_disc_add_session(disc, session, BURN_POS_END); }
    ~Composition() {
        if (opts)
            burn_write_opts_free(opts);
        for (burn_track *track : tracks)
            burn_track_free(track);
        burn_session_free(session);
        burn_disc_free(disc);
        for (burn_source *source : sources)
            burn_source_free(source);
    }
    burn_track *addTrack(burn_source *source, int mode) {
        burn_track *track = burn_track_create();
        burn_track_define_data(track, 0, 0, 1, mode);
        burn_track_set_source(track, source);
        burn_session_add_track(session, track, BURN_POS_END);
        tracks << track;
        return track;
    }
};

void SetCdText(burn_session *session, burn_track *track, const char *type, const QString &text) {
    QByteArray bytes = CdTextBytes(text);
    bytes.append('\0');
    auto *payload = reinterpret_cast<unsigned char *>(bytes.data());
    if (track)
        burn_track_set_cdtext(track, 0, 0, const_cast<char *>(type), payload, int(bytes.size()), 0);
    else
        burn_session_set_cdtext(session, 0, 0, const_cast<char *>(type), payload, int(bytes.size()), 0);
}

class DriveRecorder : public Recorder {
public:
    explicit DriveRecorder(const QString &address) : m_address(address) {}

    MediumInfo readMedium(BurnKind) override {
        MediumInfo info;
        QString error;
        if (!burnlib::Start(&error))
            return notRead(BurnNotStarted, error);
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, &error);
        if (!grabbed)
            return notRead(BurnNoDrive, error);
        burn_drive *d = grabbed->drive();
        const burn_disc_status status = burn_disc_get_status(d);
        if (status == BURN_DISC_EMPTY)
            return info;
        info.present = true;
        int profile = 0;
        char name[80] = {};
        burn_disc_get_profile(d, &profile, name);
        info.type = TypeOfProfile(profile);
        info.recognized = info.type >= 0;
        info.overwritable = Overwritable(profile);
        info.erasable = burn_disc_erasable(d) || info.overwritable;
        switch (status) {
        case BURN_DISC_BLANK:
            info.status = 0;
            break;
        case BURN_DISC_APPENDABLE:
            info.status = 1;
            break;
        case BURN_DISC_FULL:
            // Pressed discs cannot be written at all; a recordable one was closed.
            info.status = info.type == 0 || info.type == 3 ? 2 : 3;
            break;
        default:
            info.status = 4;
            break;
        }
        if (burn_disc *disc = burn_drive_get_disc(d)) {
            burn_disc_get_sessions(disc, &info.sessions);
            if (status == BURN_DISC_APPENDABLE || status == BURN_DISC_FULL)
                info.recorded = qint64(burn_disc_get_sectors(disc)) * 2048;
            burn_disc_free(disc);
        }
        const qint64 available = status == BURN_DISC_BLANK || status == BURN_DISC_APPENDABLE
                                     ? qint64(burn_disc_available_space(d, nullptr))
                                     : 0;
        info.capacity = double(info.recorded + available);
        return info;
    }

    QVector<double> detectSpeeds(BurnKind kind, const std::function<void(int)> &progress) override {
        if (!burnlib::Start())
            return {};
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, nullptr);
        if (!grabbed)
            return {};
        burn_drive *d = grabbed->drive();
        const double unit = SpeedUnit(kind);
        // What the drive would take for a speed: its fastest offer not above it.
        const auto accepted = [d, unit](double speed) {
            burn_speed_descriptor *best = nullptr;
            const int goal = int(std::lround((speed + 0.45) * unit));
            if (burn_drive_get_best_speed(d, goal, &best, 0) <= 0 || !best || best->write_speed <= 0)
                return 0.0;
            return best->write_speed / unit;
        };
        QVector<double> speeds;
        if (IsDvdKind(kind))
            return DetectDvdSpeeds(accepted, progress);
        for (const int s :
             DetectCdSpeeds([&accepted](int s) { return int(std::lround(accepted(s))); }, progress))
            speeds << s;
        return speeds;
    }

    BurnResult write(const BurnJob &job, TaskControl &control, const TaskProgress &progress) override {
        QString error;
        if (!burnlib::Start(&error))
            return {BurnNotStarted, error};
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, &error);
        if (!grabbed)
            return {BurnNoDrive, error};
        burn_drive *d = grabbed->drive();
        const burn_disc_status status = burn_disc_get_status(d);
        int profile = 0;
        char name[80] = {};
        burn_disc_get_profile(d, &profile, name);
        if ((status != BURN_DISC_BLANK && status != BURN_DISC_APPENDABLE) ||
            !MediumFitsKind(TypeOfProfile(profile), job.kind))
            return {BurnNotWritable, QStringLiteral("Disc is closed or not writable!")};
        burn_drive_set_speed(d, 0, job.speed > 0 ? int(std::ceil(job.speed * SpeedUnit(job.kind))) : 0);

        // The image outlives the sources made from it (declared first, freed last).
        std::unique_ptr<DataImage> image;
        Composition c;
        c.opts = burn_write_opts_new(d);
        burn_write_opts_set_perform_opc(c.opts, 1);
        burn_write_opts_set_underrun_proof(c.opts, 1);
        burn_write_opts_set_multi(c.opts, job.finalize ? 0 : 1);
        qint64 total = 0;
        if (job.kind == BurnKind::AudioCD) {
            const BurnResult composed = composeAudio(job, c, &total);
            if (!composed.ok())
                return composed;
        } else {
            DataImage::Previous previous;
            const bool append = status == BURN_DISC_APPENDABLE && !Overwritable(profile);
            if (append) {
                burn_write_opts_set_write_type(c.opts, BURN_WRITE_TAO, BURN_BLOCK_MODE1);
                int lba = 0;
                previous.drive = d;
                if (burn_disc_get_msc1(d, &previous.start) <= 0 ||
                    burn_disc_track_lba_nwa(d, c.opts, 0, &lba, &previous.next) <= 0)
                    return Failure(QStringLiteral("The open session of the disc cannot be found."));
            }
            image = DataImage::Build(job.entries, job.label, &error, append ? &previous : nullptr);
            if (!image)
                return {BurnFailed, error};
            total = image->exactBytes(&error);
            if (total < 0)
                return {BurnFailed, error};
            burn_source *iso = image->createSource(&error);
            if (!iso)
                return {BurnFailed, error};
            c.sources << iso;
            burn_source *fifo = burn_fifo_source_new(iso, 2048, 4096, 0);
            if (fifo)
                c.sources << fifo;
            c.addTrack(fifo ? fifo : iso, BURN_MODE1);
        }
        if (total > qint64(burn_disc_available_space(d, c.opts)))
            return {BurnNoSpace,
                    QStringLiteral("This disc doesn't have enough free space for all the selected file.")};
        char reasons[BURN_REASONS_LEN] = {};
        if (burn_write_opts_auto_write_type(c.opts, c.disc, reasons, 0) == BURN_WRITE_NONE)
            return {BurnFailed, QString::fromLocal8Bit(reasons).trimmed()};
        if (!control.proceed())
            return {BurnAborted, QString()};
        switch (burnlib::RunWrite(d, c.opts, c.disc, total, control, progress)) {
        case burnlib::RunEnd::Done:
            return {};
        case burnlib::RunEnd::Cancelled:
            if (!c.sources.isEmpty() && job.kind != BurnKind::AudioCD)
                c.sources.first()->cancel(c.sources.first());
            return {BurnAborted, QString()};
        case burnlib::RunEnd::Failed:
            break;
        }
        return Failure(QStringLiteral("Writing the disc failed."));
    }

    BurnResult erase(bool quick, TaskControl &control, const TaskProgress &progress) override {
        QString error;
        if (!burnlib::Start(&error))
            return {BurnNotStarted, error};
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, &error);
        if (!grabbed)
            return {BurnNoDrive, error};
        return eraseGrabbed(grabbed->drive(), quick, control, progress);
    }

    int sessionCount() override {
        if (!burnlib::Start())
            return 0;
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, nullptr);
        if (!grabbed)
            return 0;
        int count = 0;
        if (burn_disc *disc = burn_drive_get_disc(grabbed->drive())) {
            burn_disc_get_sessions(disc, &count);
            burn_disc_free(disc);
        }
        return count;
    }

    // libburn cannot take a single session away: the first one goes with the whole medium, and a
    // later one only once the medium is blank anyway.
    BurnResult deleteSession(int number, TaskControl &control, const TaskProgress &progress) override {
        QString error;
        if (!burnlib::Start(&error))
            return {BurnNotStarted, error};
        auto lock = burnlib::Lock();
        const auto grabbed = burnlib::GrabbedDrive::Grab(m_address, &error);
        if (!grabbed)
            return {BurnNoDrive, error};
        if (burn_disc_get_status(grabbed->drive()) == BURN_DISC_BLANK)
            return {};
        if (number > 1)
            return {BurnFailed, QStringLiteral("Only all sessions of a disc can be deleted at once.")};
        return eraseGrabbed(grabbed->drive(), true, control, progress);
    }

private:
    static MediumInfo notRead(int code, const QString &message) {
        MediumInfo info;
        info.code = code;
        info.message = message;
        return info;
    }

    BurnResult composeAudio(const BurnJob &job, Composition &c, qint64 *total) {
        bool withText = !job.discText.title.trimmed().isEmpty();
        for (const AudioTrackSource &track : job.tracks)
            withText = withText || !track.title.trimmed().isEmpty();
        for (const AudioTrackSource &track : job.tracks) {
            const WavInfo info = ReadWavInfo(track.wavPath);
            if (!info.isCdAudio())
                return {BurnFailed,
                        QStringLiteral("%1: %2").arg(track.wavPath,
                                                     info.ok ? QStringLiteral("not CD audio") : info.error)};
            const int fd = ::open(QFile::encodeName(track.wavPath).constData(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::lseek(fd, info.dataOffset, SEEK_SET) < 0) {
                if (fd >= 0)
                    ::close(fd);
                return {BurnFailed,
                        QStringLiteral("%1: %2").arg(track.wavPath, QString::fromLocal8Bit(strerror(errno)))};
            }
            // The source owns the descriptor from here on and closes it when freed.
            burn_source *source = burn_fd_source_new(fd, -1, info.dataBytes);
            if (!source) {
                ::close(fd);
                return Failure(QStringLiteral("%1: the track cannot be read.").arg(track.wavPath));
            }
            c.sources << source;
            burn_track *t = c.addTrack(source, BURN_AUDIO);
            if (withText) {
                SetCdText(c.session, t, "TITLE", track.title);
                SetCdText(c.session, t, "PERFORMER", track.performer);
            }
            *total += qint64(AudioTrackSectors(info.dataBytes)) * kSectorBytes;
        }
        if (withText) {
            int codes[8] = {0x00, 0, 0, 0, 0, 0, 0, 0};      // ISO-8859-1
            int copyrights[8] = {0x00, 0, 0, 0, 0, 0, 0, 0}; // not copyrighted
            int languages[8] = {0x09, 0, 0, 0, 0, 0, 0, 0};  // English
            burn_session_set_cdtext_par(c.session, codes, copyrights, languages, 0);
            SetCdText(c.session, nullptr, "TITLE", job.discText.title);
            SetCdText(c.session, nullptr, "PERFORMER", job.discText.performer);
        }
        burn_write_opts_set_write_type(c.opts, BURN_WRITE_SAO, BURN_BLOCK_SAO);
        return {};
    }

    BurnResult eraseGrabbed(burn_drive *d, bool quick, TaskControl &control, const TaskProgress &progress) {
        int profile = 0;
        char name[80] = {};
        burn_disc_get_profile(d, &profile, name);
        if (Overwritable(profile)) {
            // Media written in place have nothing to blank: their file system is made unreadable
            // by overwriting its first 64 KiB.
            QByteArray zeros(64 * 1024, '\0');
            if (burn_random_access_write(d, 0, zeros.data(), zeros.size(), 1) <= 0)
                return Failure(QStringLiteral("The disc could not be erased."));
            if (progress)
                progress(1, 1);
            return {};
        }
        if (!burn_disc_erasable(d))
            return {BurnNotErasable, QStringLiteral("Disc is not erasable!")};
        switch (burnlib::RunErase(d, quick, control, progress)) {
        case burnlib::RunEnd::Done:
            return {};
        case burnlib::RunEnd::Cancelled:
            return {BurnAborted, QString()};
        case burnlib::RunEnd::Failed:
            break;
        }
        return Failure(QStringLiteral("The disc could not be erased."));
    }

    QString m_address;
};

} // namespace

QVector<BurnDrive> ListWritingDrives(int *code, QString *message) {
    QString error;
    if (!burnlib::Start(&error)) {
        *code = BurnNotStarted;
        *message = error;
        return {};
    }
    *code = 0;
    auto lock = burnlib::Lock();
    burn_drive_info *list = nullptr;
    unsigned int count = 0;
    QVector<BurnDrive> drives;
    // The scan runs on libburn's own thread: asking again collects its result once it is done.
    int scanned = 0;
    while ((scanned = burn_drive_scan(&list, &count)) == 0)
        QThread::msleep(10);
    if (scanned < 0 || !list)
        return drives;
    for (unsigned int i = 0; i < count; ++i) {
        const burn_drive_info &info = list[i];
        if (!(info.write_cdr || info.write_cdrw || info.write_dvdr || info.write_dvdram))
            continue;
        char adr[BURN_DRIVE_ADR_LEN] = {};
        if (burn_drive_get_adr(&list[i], adr) <= 0)
            continue;
        BurnDrive drive;
        drive.address = QFile::decodeName(adr);
        QStringList parts = {QString::fromLatin1(info.vendor).simplified(),
                             QString::fromLatin1(info.product).simplified(),
                             QString::fromLatin1(info.revision).simplified()};
        parts.removeAll(QString());
        drive.description = parts.join(QLatin1Char(' '));
        drives << drive;
    }
    burn_drive_info_free(list);
    return drives;
}

std::unique_ptr<Recorder> OpenDriveRecorder(const QString &address) {
    return std::make_unique<DriveRecorder>(address);
}

} // namespace tv
