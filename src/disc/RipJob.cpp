#include "RipJob.h"

#include "AudioChecksums.h"
#include "DiscSource.h"
#include "DiscToc.h"
#include "SecureReader.h"
#include "WavWriter.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <algorithm>

namespace tv {

namespace {

// Progress goes to the owner at most this often (and at every track's start).
constexpr qint64 kProgressIntervalMs = 100;

} // namespace

RipTrackPlan PlanTrack(const DiscToc &toc, const DiscTrack &track, const QString &outputPath) {
    RipTrackPlan plan;
    plan.number = track.number;
    plan.firstSector = track.startLsn;
    plan.sectors = track.sectors;
    plan.outputPath = outputPath;
    plan.firstAudioOfDisc = track.number == toc.firstAudioTrack();
    plan.lastAudioOfDisc = track.number == toc.lastAudioTrack();
    // The run of adjacent audio tracks around this one: a read offset may reach into the tracks
    // beside it, never into data or past the audio's end.
    int index = 0;
    while (index < toc.tracks.size() && toc.tracks.at(index).number != track.number)
        ++index;
    int first = index;
    while (first > 0 && toc.tracks.at(first - 1).audio)
        --first;
    int last = index;
    while (last + 1 < toc.tracks.size() && toc.tracks.at(last + 1).audio)
        ++last;
    plan.readableFirstSector = qMax(0, toc.tracks.value(first, track).startLsn);
    const DiscTrack &end = toc.tracks.value(last, track);
    plan.readableEndSector = end.startLsn + end.sectors;
    return plan;
}

QString ChecksumText(quint32 value) {
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

RipOutcome RunRip(const RipRequest &request, TaskControl &control, const TaskProgress &progress,
                  const std::function<void(const RipTrackResult &)> &trackDone) {
    RipOutcome outcome;
    int code = 0;
    std::unique_ptr<DiscHandle> disc = DiscHandle::Open(request.source, &outcome.error, &code);
    if (!disc) {
        outcome.result = -1;
        return outcome;
    }
    outcome.driveModel = disc->driveModel();
    std::unique_ptr<SecureReader> reader = SecureReader::Open(*disc, &outcome.error);
    if (!reader) {
        outcome.result = -1;
        return outcome;
    }

    // The disc may have been changed since its tracks were chosen.
    const DiscToc current = disc->readToc();

    const int passes = request.testAndCopy ? 2 : 1;
    qint64 total = 0;
    for (const RipTrackPlan &plan : request.tracks)
        total += qint64(plan.sectors) * passes;
    QElapsedTimer clock;
    clock.start();
    qint64 lastReport = -kProgressIntervalMs;
    auto report = [&](qint64 done, bool now) {
        if (!progress || (!now && clock.elapsed() - lastReport < kProgressIntervalMs))
            return;
        lastReport = clock.elapsed();
        progress(done, total);
    };

    qint64 base = 0;
    for (const RipTrackPlan &plan : request.tracks) {
        report(base, true);
        QElapsedTimer trackClock;
        trackClock.start();
        RipTrackResult result;
        result.number = plan.number;
        result.title = plan.title;
        result.outputPath = plan.outputPath;
        const qint64 shift = request.readOffset;
        SampleRange range;
        range.first = qint64(plan.firstSector) * kSamplesPerSector + shift;
        range.count = qint64(plan.sectors) * kSamplesPerSector;
        range.readableFirst = qint64(plan.readableFirstSector) * kSamplesPerSector;
        range.readableEnd = qint64(plan.readableEndSector) * kSamplesPerSector;
        result.samples = range.count;
        ParanoiaCounts counts;
        QString error;
        const DiscTrack *now = current.track(plan.number);
        bool read = now && now->audio && now->startLsn == plan.firstSector && now->sectors == plan.sectors;
        if (!read)
            error = QStringLiteral("The disc has changed since it was read: track %1 is not the same.")
                        .arg(plan.number);
        qint64 passBase = base;
        auto passProgress = [&](qint64 samples) { report(passBase + samples / kSamplesPerSector, false); };

        if (read && request.testAndCopy) {
            Crc32 crc;
            read = reader->read(
                range, control, counts,
                [&crc](const char *data, qint64 bytes) {
                    crc.add(data, bytes);
                    return true;
                },
                passProgress, &error);
            result.tested = read;
            result.testCrc = crc.value();
            passBase += plan.sectors;
        }

        bool written = false;
        if (read && !control.cancelled()) {
            WavWriter wav(plan.outputPath, range.count * 4);
            Crc32 crc;
            AccurateRipSum accurateRip(range.count, plan.firstAudioOfDisc, plan.lastAudioOfDisc);
            read = wav.isOpen() && reader->read(
                                       range, control, counts,
                                       [&](const char *data, qint64 bytes) {
                                           crc.add(data, bytes);
                                           accurateRip.add(data, bytes);
                                           return wav.write(data, bytes);
                                       },
                                       passProgress, &error);
            result.copyCrc = crc.value();
            result.accurateRipV1 = accurateRip.v1();
            result.accurateRipV2 = accurateRip.v2();
            if (!wav.isOpen() || (!read && !control.cancelled() && !wav.errorString().isEmpty()))
                error =
                    QStringLiteral("%1: %2").arg(QFileInfo(plan.outputPath).fileName(), wav.errorString());
            if (read && counts.skips == 0 && (!result.tested || result.testCrc == result.copyCrc)) {
                written = wav.commit();
                if (!written)
                    error = QStringLiteral("%1: %2").arg(QFileInfo(plan.outputPath).fileName(),
                                                         wav.errorString());
            } else {
                wav.cancel();
            }
        }
        result.corrections = counts.corrections;
        result.skips = counts.skips;
        result.readErrors = counts.readErrors;
        result.seconds = trackClock.elapsed() / 1000.0;

        if (control.cancelled()) {
            result.status = RipStatus::Canceled;
            outcome.tracks.append(result);
            if (trackDone)
                trackDone(result);
            outcome.result = 0;
            return outcome;
        }
        if (written) {
            result.status = RipStatus::Done;
        } else {
            result.status = RipStatus::Unsuccessful;
            if (error.isEmpty() && counts.skips > 0)
                error = QStringLiteral("%1 sectors could not be read and were skipped.").arg(counts.skips);
            else if (error.isEmpty() && result.tested && result.testCrc != result.copyCrc)
                error = QStringLiteral("The test read and the copy differ (CRC %1 against %2).")
                            .arg(ChecksumText(result.testCrc), ChecksumText(result.copyCrc));
            result.error = error;
        }
        outcome.tracks.append(result);
        if (trackDone)
            trackDone(result);
        base += qint64(plan.sectors) * passes;
    }
    report(total, true);
    outcome.result = 1;
    return outcome;
}

CdRipper::CdRipper(QObject *parent) : QObject(parent), m_runner(this) {
    qRegisterMetaType<tv::RipTrackResult>();
}

CdRipper::~CdRipper() = default;

bool CdRipper::start(const RipRequest &request) {
    TV_ASSERT_OWNER_THREAD(this);
    if (m_running)
        return false;
    m_running = true;
    m_request = request;
    m_results.clear();
    m_outcome = RipOutcome();
    m_lastOverall = -1;
    m_startedAt = QDateTime::currentDateTime();
    m_mailbox = std::make_shared<Mailbox>();
    m_trackStarts.clear();
    const int passes = request.testAndCopy ? 2 : 1;
    qint64 units = 0;
    for (const RipTrackPlan &plan : request.tracks) {
        m_trackStarts.append(units);
        units += qint64(plan.sectors) * passes;
    }
    m_trackStarts.append(units);

    m_runner.cancel(); // a new generation: nothing of an earlier rip reaches this one
    std::shared_ptr<Mailbox> mailbox = m_mailbox;
    m_runner.start(
        [request, mailbox](TaskControl &control, const TaskProgress &progress) {
            return RunRip(request, control, progress, [mailbox](const RipTrackResult &result) {
                std::lock_guard lock(mailbox->mutex);
                mailbox->tracks.append(result);
            });
        },
        [this](RipOutcome outcome) { onDone(std::move(outcome)); },
        [this](qint64 done, qint64 total) { onProgress(done, total); });
    emit ripStarted();
    return true;
}

void CdRipper::stop() {
    TV_ASSERT_OWNER_THREAD(this);
    // The work sees the switch between sectors, removes its work file and ends with result 0.
    if (m_running)
        m_runner.control().cancel();
}

void CdRipper::deliverFinishedTracks() {
    QVector<RipTrackResult> arrived;
    {
        std::lock_guard lock(m_mailbox->mutex);
        arrived.swap(m_mailbox->tracks);
    }
    for (const RipTrackResult &result : std::as_const(arrived)) {
        m_results.append(result);
        emit trackFinished(static_cast<int>(m_results.size()) - 1, result);
    }
}

void CdRipper::onProgress(qint64 done, qint64 total) {
    deliverFinishedTracks();
    if (total <= 0 || m_request.tracks.isEmpty())
        return;
    // The track being read: the last one whose start has been reached (and not yet ended).
    int index = static_cast<int>(m_results.size());
    if (index >= m_request.tracks.size())
        return;
    const qint64 start = m_trackStarts.at(index);
    const qint64 length = qMax<qint64>(1, m_trackStarts.at(index + 1) - start);
    const int trackPercent = static_cast<int>(std::clamp<qint64>((done - start) * 100 / length, 0, 100));
    emit trackProgress(m_request.tracks.at(index).number, trackPercent);
    const int overall = static_cast<int>(std::clamp<qint64>(done * 100 / total, 0, 100));
    if (overall != m_lastOverall) {
        m_lastOverall = overall;
        emit overallProgress(overall);
    }
}

void CdRipper::onDone(RipOutcome outcome) {
    deliverFinishedTracks();
    m_outcome = std::move(outcome);
    m_running = false;
    if (m_outcome.result == 1 && m_lastOverall != 100)
        emit overallProgress(100);
    emit ripFinished(m_outcome.result);
}

} // namespace tv
