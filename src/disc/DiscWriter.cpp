#include "DiscWriter.h"

#include <QMetaObject>

namespace tv {

DiscWriter::DiscWriter(BurnKind kind, QObject *parent) : QObject(parent), m_watcher(new MediaWatcher(this)) {
    m_job.kind = kind;
    connect(m_watcher, &MediaWatcher::mediaChanged, this, &DiscWriter::onWatcher);
}

DiscWriter::~DiscWriter() = default;

void DiscWriter::Initialize() {
    m_query.start(
        [](TaskControl &, const TaskProgress &) {
            struct Listing {
                QVector<BurnDrive> drives;
                int code = 0;
                QString message;
            } listing;
            listing.drives = ListBurnDrives(&listing.code, &listing.message);
            return listing;
        },
        [this](auto listing) {
            m_drives = listing.drives;
            m_initialized = true;
            Q_EMIT drivesListed(listing.code, listing.message);
        });
}

const BurnDrive *DiscWriter::drive() const {
    return m_selected >= 0 && m_selected < m_drives.size() ? &m_drives.at(m_selected) : nullptr;
}

bool DiscWriter::isImageRecorder() const {
    const BurnDrive *d = drive();
    return d && d->image;
}

void DiscWriter::SelectDrive(int index) {
    m_selected = index;
    m_watcher->stop();
    m_watchAnswered = false;
    const BurnDrive *d = drive();
    if (d && !d->image)
        m_watcher->watch(d->address);
    ReadMedium();
}

void DiscWriter::ReadMedium() {
    m_read.cancel();
    const BurnDrive *d = drive();
    if (!d) {
        m_medium = MediumInfo();
        m_medium.code = BurnNoDrive;
        QMetaObject::invokeMethod(this, &DiscWriter::mediumRead, Qt::QueuedConnection);
        return;
    }
    m_reading = true;
    const BurnDrive chosen = *d;
    const BurnKind k = kind();
    m_read.start(
        [chosen, k](TaskControl &, const TaskProgress &) { return OpenRecorder(chosen)->readMedium(k); },
        [this](MediumInfo info) {
            m_medium = info;
            m_reading = false;
            Q_EMIT mediumRead();
        });
}

qint64 DiscWriter::SizeA() const {
    return isWritable() ? m_medium.recorded : 0;
}

qint64 DiscWriter::SizeB() const {
    return SizeA() - m_compilationBytes;
}

void DiscWriter::ClearTracks() {
    m_job.tracks.clear();
    m_job.entries.clear();
    m_compilationBytes = 0;
}

void DiscWriter::AddTrack(const AudioTrackSource &track) {
    m_job.tracks << track;
    m_compilationBytes = CompilationBytes(m_job);
}

void DiscWriter::AddEntry(const DataEntry &entry) {
    m_job.entries << entry;
    m_compilationBytes = CompilationBytes(m_job);
}

void DiscWriter::SetImageTarget(const QString &path, bool replace) {
    m_job.target = path;
    m_job.replaceTarget = replace;
}

void DiscWriter::DetectSpeeds() {
    const BurnDrive *d = drive();
    if (!d) {
        QMetaObject::invokeMethod(
            this, [this]() { Q_EMIT speedsDetected({}); }, Qt::QueuedConnection);
        return;
    }
    const BurnDrive chosen = *d;
    const BurnKind k = kind();
    m_query.start(
        [chosen, k](TaskControl &, const TaskProgress &progress) {
            return OpenRecorder(chosen)->detectSpeeds(k,
                                                      [&progress](int percent) { progress(percent, 100); });
        },
        [this](QVector<double> speeds) { Q_EMIT speedsDetected(speeds); },
        [this](qint64 percent, qint64) { Q_EMIT speedProgress(static_cast<int>(percent)); });
}

int DiscWriter::refuse(int code, const QString &message) {
    Q_EMIT ErrorEx(code, message);
    return code;
}

int DiscWriter::startOperation(Operation operation) {
    if (m_busy)
        return refuse(BurnFailed, QStringLiteral("The writer is busy."));
    const BurnDrive *d = drive();
    if (!d)
        return refuse(BurnNoDrive, QStringLiteral("CD Burner Not Detected!"));
    m_busy = true;
    m_watcher->stop();
    const BurnDrive chosen = *d;
    m_work.start(
        [chosen, operation](TaskControl &control, const TaskProgress &progress) {
            return operation(*OpenRecorder(chosen), control, progress);
        },
        [this, chosen](BurnResult result) {
            m_busy = false;
            if (result.ok())
                Q_EMIT OperationProgress(100);
            else
                Q_EMIT ErrorEx(result.code, result.message);
            Q_EMIT operationEnded(result.code);
            if (!chosen.image) {
                // The medium is not what it was: the window reads it again.
                m_watchAnswered = false;
                m_watcher->watch(chosen.address);
                Q_EMIT MediaChange();
            }
        },
        [this](qint64 done, qint64 total) {
            if (total > 0)
                Q_EMIT OperationProgress(static_cast<int>(qMin<qint64>(99, done * 100 / total)));
        });
    return 0;
}

int DiscWriter::Write() {
    if (m_job.tracks.isEmpty() && m_job.entries.isEmpty())
        return refuse(BurnNothingToWrite, QStringLiteral("There is nothing to write."));
    if (isImageRecorder() && m_job.target.isEmpty())
        return refuse(BurnFailed, QStringLiteral("No image file was named."));
    const BurnJob job = m_job;
    return startOperation([job](Recorder &recorder, TaskControl &control, const TaskProgress &progress) {
        return recorder.write(job, control, progress);
    });
}

void DiscWriter::Abort() {
    if (!m_busy)
        return;
    // The worker sees the stop at its next step, tells the drive, and removes any work file;
    // its result is not waited for.
    m_work.cancel();
    m_busy = false;
    Q_EMIT ErrorEx(BurnAborted, QString());
    Q_EMIT operationEnded(BurnAborted);
    if (const BurnDrive *d = drive(); d && !d->image) {
        m_watchAnswered = false;
        m_watcher->watch(d->address);
    }
}

int DiscWriter::Erase(bool quick) {
    return startOperation([quick](Recorder &recorder, TaskControl &control, const TaskProgress &progress) {
        return recorder.erase(quick, control, progress);
    });
}

int DiscWriter::DeleteAllSessions() {
    return startOperation([](Recorder &recorder, TaskControl &control, const TaskProgress &progress) {
        const int count = recorder.sessionCount();
        for (int i = 1; i <= count; ++i) {
            const BurnResult result = recorder.deleteSession(i, control, [&](qint64 done, qint64 total) {
                if (progress && total > 0)
                    progress((i - 1) * total + done, count * total);
            });
            if (!result.ok())
                return result;
        }
        return BurnResult();
    });
}

void DiscWriter::onWatcher(bool) {
    // The first answer tells what the reading already found.
    if (!m_watchAnswered) {
        m_watchAnswered = true;
        return;
    }
    if (!m_busy)
        Q_EMIT MediaChange();
}

} // namespace tv
