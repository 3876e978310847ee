#pragma once
// The writer of a burner window (AudioCDWriter, DataCDWriter, DataDVDWriter): its drives, the
// chosen drive's medium and space, the compilation (audio tracks or data entries), the write
// options, and writing, erasing and deleting sessions on worker threads with the events the
// windows follow (ErrorEx, MediaChange, OperationProgress). Owner's thread only.

#include "DiscRecorder.h"
#include "MediaWatcher.h"
#include "Task.h"

#include <QObject>
#include <QVector>

namespace tv {

class DiscWriter : public QObject {
    Q_OBJECT
public:
    explicit DiscWriter(BurnKind kind, QObject *parent = nullptr);
    ~DiscWriter() override;
    BurnKind kind() const { return m_job.kind; }

    // Lists the drives on a worker; drivesListed follows (code 0, or BurnNotStarted when the
    // writing library cannot run: only the image recorder is listed then).
    void Initialize();
    bool isInitialized() const { return m_initialized; }
    const QVector<BurnDrive> &drives() const { return m_drives; }
    int selectedDrive() const { return m_selected; }
    const BurnDrive *drive() const;
    bool isImageRecorder() const;
    // Chooses a drive, reads its medium (mediumRead follows) and watches it for disc changes.
    void SelectDrive(int index);
    // Reads the chosen drive's medium again; mediumRead follows.
    void ReadMedium();
    bool isReadingMedium() const { return m_reading; }
    const MediumInfo &medium() const { return m_medium; }
    bool IsErasable() const { return m_medium.present && m_medium.erasable; }
    // Whether the medium can take a write of this writer's kind.
    bool isWritable() const { return m_medium.writableFor(kind()); }

    // The space figures: the medium's capacity (0 when the drive does not say), size value A
    // (bytes already on the medium) and size value B (A less the compilation's bytes).
    double capacity() const { return m_medium.capacity; }
    qint64 SizeA() const;
    qint64 SizeB() const;
    qint64 compilationBytes() const { return m_compilationBytes; }

    // The compilation: audio tracks in disc order, or the data disc's entries.
    void ClearTracks();
    void AddTrack(const AudioTrackSource &track);
    void AddEntry(const DataEntry &entry);
    void SetDiscText(const AudioDiscText &text) { m_job.discText = text; }
    const BurnJob &job() const { return m_job; }

    // Write options.
    void SetFinalize(bool finalize) { m_job.finalize = finalize; }
    void SetSpeed(double speed) { m_job.speed = speed; }
    double speed() const { return m_job.speed; }
    void SetVolumeLabel(const QString &label) { m_job.label = label; }
    // The image recorder's file; replace says whether a file of that name may be replaced.
    void SetImageTarget(const QString &path, bool replace);

    // Tries the speeds on a worker: speedProgress, then speedsDetected.
    void DetectSpeeds();

    // Starts writing the compilation: 0, then OperationProgress and operationEnded follow; or
    // a BurnError code at once (ErrorEx has been sent).
    int Write();
    // Stops a write (or erase); ErrorEx follows with BurnAborted and no file is left.
    void Abort();
    // Blanks the medium (quick or full) like Write.
    int Erase(bool quick);
    // Deletes every session of the medium, first to last, like Write.
    int DeleteAllSessions();
    bool isBusy() const { return m_busy; }

Q_SIGNALS:
    void drivesListed(int code, const QString &message);
    void mediumRead();
    void speedProgress(int percent);
    void speedsDetected(const QVector<double> &speeds);
    void ErrorEx(int code, const QString &message);
    void MediaChange();
    void OperationProgress(int percent);
    // A write, erase or deletion ended: 0, or its BurnError code (after ErrorEx).
    void operationEnded(int code);

private:
    using Operation = std::function<BurnResult(Recorder &, TaskControl &, const TaskProgress &)>;
    int startOperation(Operation operation);
    int refuse(int code, const QString &message);
    void onWatcher(bool present);

    // Owner's thread only; the workers get copies of what they need.
    TaskRunner m_query{this}; // drives and speeds
    TaskRunner m_read{this};  // the medium: a new reading drops the one before
    TaskRunner m_work{this};  // write, erase, sessions
    MediaWatcher *m_watcher = nullptr;
    QVector<BurnDrive> m_drives;
    int m_selected = -1;
    MediumInfo m_medium;
    BurnJob m_job;
    qint64 m_compilationBytes = 0;
    bool m_initialized = false;
    bool m_reading = false;
    bool m_busy = false;
    bool m_watchAnswered = false; // the watcher's first answer only confirms what was read
};

} // namespace tv
