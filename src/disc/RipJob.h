#pragma once
// One rip: the ticked tracks of a disc read securely into WAV files (44.1 kHz, 16-bit, stereo),
// each checked by a test read and a copy read with matching CRC32, with its AccurateRip v1 and
// v2 checksums and paranoia's counts. The reading runs on a worker thread; CdRipper reports it
// on the owner's thread as the recorder's events: started, overall and track progress, each
// track's end and the end of the rip.

#include "Task.h"

#include <QDateTime>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QVector>
#include <memory>
#include <mutex>

namespace tv {

struct DiscToc;
struct DiscTrack;

// One track to rip.
struct RipTrackPlan {
    int number = 0;
    QString title;
    int firstSector = 0;
    int sectors = 0;
    QString outputPath;
    bool firstAudioOfDisc = false; // AccurateRip leaves out the disc's first and last sectors
    bool lastAudioOfDisc = false;
    int readableFirstSector = 0; // the run of audio sectors around the track (offset reads stay in it)
    int readableEndSector = 0;
};

struct RipRequest {
    QString source; // drive device or image path
    QVector<RipTrackPlan> tracks;
    bool testAndCopy = true; // read every track twice and compare the CRCs
    int readOffset = 0;      // the drive's read offset correction, in samples
};

// Plans a track of the disc for a request (the readable run and the AccurateRip flags).
RipTrackPlan PlanTrack(const DiscToc &toc, const DiscTrack &track, const QString &outputPath);

enum class RipStatus { Done, Unsuccessful, Canceled };

struct RipTrackResult {
    int number = 0;
    QString title;
    QString outputPath;
    RipStatus status = RipStatus::Canceled;
    bool tested = false; // a test read was made
    quint32 testCrc = 0;
    quint32 copyCrc = 0;
    quint32 accurateRipV1 = 0;
    quint32 accurateRipV2 = 0;
    int corrections = 0;
    int skips = 0;
    int readErrors = 0;
    qint64 samples = 0;
    double seconds = 0;
    QString error; // why the track is unsuccessful
};

struct RipOutcome {
    int result = 0; // 1 every track read, 0 stopped, -1 the disc could not be read at all
    QString error;
    QString driveModel;
    QVector<RipTrackResult> tracks; // the tracks that were started, in order
};

// Reads the request's tracks in order on the calling (worker) thread. trackDone follows every
// track that ended; progress counts sectors read over all passes.
RipOutcome RunRip(const RipRequest &request, TaskControl &control, const TaskProgress &progress,
                  const std::function<void(const RipTrackResult &)> &trackDone);

// Text of a CRC or checksum as rip logs show them: eight upper-case hex digits.
QString ChecksumText(quint32 value);

class CdRipper : public QObject {
    Q_OBJECT
public:
    explicit CdRipper(QObject *parent = nullptr);
    ~CdRipper() override;

    // Starts reading; false when a rip is still running.
    bool start(const RipRequest &request);
    // Asks the running rip to stop; ripFinished(0) follows once its work file is gone.
    void stop();
    bool isRunning() const { return m_running; }
    const RipRequest &request() const { return m_request; }
    // Results of the tracks that ended so far, in order.
    const QVector<RipTrackResult> &results() const { return m_results; }
    const RipOutcome &outcome() const { return m_outcome; }
    QDateTime startedAt() const { return m_startedAt; }

Q_SIGNALS:
    void ripStarted();
    void overallProgress(int percent);
    // Progress of the track being read (its number on the disc).
    void trackProgress(int trackNumber, int percent);
    // A track ended (index in the request).
    void trackFinished(int index, const tv::RipTrackResult &result);
    // 1 every track read, 0 stopped, -1 the disc could not be read.
    void ripFinished(int result);

private:
    void onProgress(qint64 done, qint64 total);
    void deliverFinishedTracks();
    void onDone(RipOutcome outcome);

    // The tracks that ended, appended by the worker and taken by the owner's thread.
    struct Mailbox {
        std::mutex mutex;
        QVector<RipTrackResult> tracks; // guarded by mutex
    };

    // Owner's thread only.
    TaskRunner m_runner;
    RipRequest m_request;
    QVector<RipTrackResult> m_results;
    RipOutcome m_outcome;
    std::shared_ptr<Mailbox> m_mailbox;
    QVector<qint64> m_trackStarts; // work units before each track
    QDateTime m_startedAt;
    bool m_running = false;
    int m_lastOverall = -1;
};

} // namespace tv

Q_DECLARE_METATYPE(tv::RipTrackResult)
