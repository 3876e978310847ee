#include "Libburn.h"

#include <QFile>
#include <QStringList>
#include <QThread>

#include <cstdint>
#include <sys/types.h>

#include <libburn/libburn.h>
#include <libisofs/libisofs.h>

using namespace burn;

namespace tv::burnlib {

QString TakeMessages();

namespace {

std::mutex &OperationMutex() {
    static std::mutex mutex;
    return mutex;
}

struct Startup {
    bool ok = false;
    QString error;
};

const Startup &Started() {
    static const Startup startup = []() {
        Startup s;
        if (!burn_initialize()) {
            s.error = QStringLiteral("The CD and DVD writing library could not start.");
            return s;
        }
        // Messages are queued for the user, never printed over a terminal or the window's log.
        burn_msgs_set_severities(const_cast<char *>("SORRY"), const_cast<char *>("NEVER"),
                                 const_cast<char *>("libburn: "));
        if (iso_init() < 0) {
            s.error = QStringLiteral("The ISO 9660 image library could not start.");
            return s;
        }
        iso_set_msgs_severities(const_cast<char *>("SORRY"), const_cast<char *>("NEVER"),
                                const_cast<char *>("libisofs: "));
        // File names reach the library as the bytes Qt gives them, which are UTF-8.
        iso_set_local_charset(const_cast<char *>("UTF-8"), 0);
        s.ok = true;
        return s;
    }();
    return startup;
}

// Starts an operation on its libburn thread and waits until that thread has begun.
template <typename Begin> void BeginOperation(burn_drive *drive, Begin begin) {
    TakeMessages();
    begin();
    while (burn_drive_get_status(drive, nullptr) == BURN_DRIVE_SPAWNING)
        QThread::msleep(5);
}

// The drive's progress as a fraction of the bytes to send, kept below the end until the drive
// has gone idle (the disc is still being closed).
int Percent(qint64 done, qint64 total) {
    if (total <= 0)
        return 0;
    return static_cast<int>(qBound(qint64(0), done * 100 / total, qint64(99)));
}

} // namespace

bool Start(QString *error) {
    const Startup &s = Started();
    if (!s.ok && error)
        *error = s.error;
    return s.ok;
}

std::unique_lock<std::mutex> Lock() {
    return std::unique_lock<std::mutex>(OperationMutex());
}

QString TakeMessages() {
    QStringList lines;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    int code = 0;
    int osErrno = 0;
    while (burn_msgs_obtain(const_cast<char *>("SORRY"), &code, text, &osErrno, severity) == 1) {
        QString line = QString::fromLocal8Bit(text).trimmed();
        if (osErrno != 0)
            line += QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(strerror(osErrno)));
        lines << line;
    }
    int imageId = 0;
    while (iso_obtain_msgs(const_cast<char *>("SORRY"), &code, &imageId, text, severity) == 1)
        lines << QString::fromLocal8Bit(text).trimmed();
    lines.removeAll(QString());
    lines.removeDuplicates();
    return lines.join(QLatin1Char('\n'));
}

GrabbedDrive::~GrabbedDrive() {
    if (m_drive)
        burn_drive_release(m_drive, 0);
    if (m_info)
        burn_drive_info_free(m_info);
}

std::unique_ptr<GrabbedDrive> GrabbedDrive::Grab(const QString &address, QString *error) {
    std::unique_ptr<GrabbedDrive> grabbed(new GrabbedDrive);
    QByteArray adr = QFile::encodeName(address);
    if (adr.size() >= BURN_DRIVE_ADR_LEN) {
        if (error)
            *error = QStringLiteral("%1: the name is too long for the writing library.").arg(address);
        return nullptr;
    }
    if (burn_drive_scan_and_grab(&grabbed->m_info, adr.data(), 1) != 1 || !grabbed->m_info) {
        if (error) {
            const QString why = TakeMessages();
            *error = why.isEmpty() ? QStringLiteral("%1: the drive cannot be opened.").arg(address) : why;
        }
        grabbed->m_info = nullptr;
        return nullptr;
    }
    grabbed->m_drive = grabbed->m_info[0].drive;
    return grabbed;
}

RunEnd RunWrite(burn_drive *drive, burn_write_opts *opts, burn_disc *disc, qint64 totalBytes,
                TaskControl &control, const TaskProgress &progress) {
    BeginOperation(drive, [&]() { burn_disc_write(opts, disc); });
    bool cancelled = false;
    burn_progress p{};
    int last = -1;
    // libburn has no callback: the drive's state is asked for until it is idle again.
    while (burn_drive_get_status(drive, &p) != BURN_DRIVE_IDLE) {
        if (!cancelled && control.cancelled()) {
            burn_drive_cancel(drive);
            cancelled = true;
        }
        const int percent = Percent(p.buffered_bytes, totalBytes);
        if (progress && percent != last) {
            last = percent;
            progress(percent, 100);
        }
        QThread::msleep(50);
    }
    if (cancelled || control.cancelled())
        return RunEnd::Cancelled;
    return burn_drive_wrote_well(drive) ? RunEnd::Done : RunEnd::Failed;
}

RunEnd RunErase(burn_drive *drive, bool quick, TaskControl &control, const TaskProgress &progress) {
    BeginOperation(drive, [&]() { burn_disc_erase(drive, quick ? 1 : 0); });
    burn_progress p{};
    // Blanking cannot be stopped half-way; a cancelled erase is waited for and then reported.
    while (burn_drive_get_status(drive, &p) != BURN_DRIVE_IDLE) {
        if (progress && p.sectors > 0)
            progress(qMin<qint64>(p.sector, 0xFFFF), 0x10000);
        QThread::msleep(100);
    }
    if (control.cancelled())
        return RunEnd::Cancelled;
    return burn_drive_wrote_well(drive) ? RunEnd::Done : RunEnd::Failed;
}

} // namespace tv::burnlib
