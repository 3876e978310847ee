// The engine's loudness work: measuring inputs before they are encoded and planning each job's
// gain (or ReplayGain values) from what was measured.
#include "Engine.h"

#include "LoudnessMeter.h"
#include "Transcode.h"

#include <vector>

namespace tv {

namespace {

// The part of a job's progress its measuring takes: decoding alone costs a fraction of what
// decoding and encoding cost together.
constexpr double kMeasureShare = 0.25;

LoudnessRequest RequestOf(const QString &inputPath, const InputOptions &input, const QString &outputPath,
                          const OutputOptions &output) {
    LoudnessRequest request;
    request.inputPath = inputPath;
    request.input = input;
    request.outputPath = outputPath;
    request.output = output;
    return request;
}

} // namespace

TaskProgress Engine::FirstShareOfProgress(const TaskProgress &progress) {
    if (!progress)
        return {};
    return [progress](qint64 position, qint64 total) {
        progress(static_cast<qint64>(position * kMeasureShare), total);
    };
}

TaskProgress Engine::LaterShareOfProgress(const TaskProgress &progress) {
    if (!progress)
        return {};
    return [progress](qint64 position, qint64 total) {
        progress(static_cast<qint64>(total * kMeasureShare + position * (1.0 - kMeasureShare)), total);
    };
}

LoudnessOutcome Engine::JobLoudness(int job) const {
    return job >= 0 && job < m_jobs.size() ? m_jobs[job].loudness : LoudnessOutcome();
}

// Runs on the job's worker (track mode): the input is decoded once for the meter, then again
// for the encoder; see bench_loudness for why that beats keeping the decoded sound.
LoudnessOutcome Engine::measureAndPlan(const Job &job, TaskControl &control, const TaskProgress &progress,
                                       bool *stopped) {
    LoudnessOutcome outcome;
    const LoudnessMeasurement measurement =
        MeasureLoudness(RequestOf(job.inputPath, job.input, job.outputPath, job.output), control,
                        FirstShareOfProgress(progress));
    *stopped = control.cancelled();
    if (!measurement.measured)
        return outcome; // the conversion that follows reports what is wrong with the input
    outcome.measured = true;
    outcome.integrated = measurement.integrated;
    outcome.truePeakDb = measurement.truePeakDb;
    outcome.gainDb = NormalizationGain(measurement.integrated, measurement.truePeakDb,
                                       job.loudnessSettings.targetLufs, &outcome.peakLimited);
    return outcome;
}

void Engine::startMeasuring() {
    m_toMeasure = 0;
    for (int i = 0; i < m_jobs.size(); ++i) {
        const Job &job = m_jobs[i];
        if (job.removed)
            continue;
        ++m_toMeasure;
        const LoudnessRequest request = RequestOf(job.inputPath, job.input, job.outputPath, job.output);
        m_jobsRunner.start(
            [request](TaskControl &control, const TaskProgress &progress) {
                return MeasureLoudness(request, control, FirstShareOfProgress(progress));
            },
            [this, i](const LoudnessMeasurement &measurement) { jobMeasured(i, measurement); },
            [this, i](qint64 position, qint64 total) { Q_EMIT JobProgress(i, position, total); });
    }
}

void Engine::jobMeasured(int index, const LoudnessMeasurement &measurement) {
    if (index >= 0 && index < m_jobs.size())
        m_jobs[index].measurement = measurement;
    if (--m_toMeasure > 0)
        return;
    // Every row is measured: one loudness for them all, then each job's plan.
    std::vector<LoudnessMeasurement> all;
    for (const Job &job : std::as_const(m_jobs)) {
        if (!job.removed && job.measurement.measured)
            all.push_back(job.measurement);
    }
    const AlbumLoudness album = CombinedLoudness(all);
    bool limited = false;
    const double albumGain =
        NormalizationGain(album.integrated, album.truePeakDb, m_loudness.targetLufs, &limited);
    for (Job &job : m_jobs) {
        if (job.removed || !job.measurement.measured)
            continue;
        LoudnessOutcome &outcome = job.loudness;
        outcome.measured = true;
        outcome.integrated = job.measurement.integrated;
        outcome.truePeakDb = job.measurement.truePeakDb;
        outcome.albumIntegrated = album.integrated;
        if (m_loudness.mode == LoudnessMode::Album) {
            outcome.gainDb = albumGain;
            outcome.peakLimited = limited;
        } else {
            FillReplayGain(job.measurement, album, &outcome);
        }
        job.measurement.state.reset(); // the meters' memory is not needed any more
    }
    startEncoding();
}

} // namespace tv
