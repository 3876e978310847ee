#include "Engine.h"

#include "FFLogger.h"
#include "MediaLibs.h"
#include "Transcode.h"

#include <QFile>
#include <QMetaObject>
#include <QThread>

namespace tv {

Engine::Engine(QObject *parent) : QObject(parent) {
    m_pool.setExpiryTimeout(30000);
    m_placePool.setMaxThreadCount(2);
    FFLogger::instance(); // the libraries' lines go to the log, not to the terminal
}

Engine::~Engine() {
    stopSilently();
}

void Engine::stopSilently() {
    // A new generation: whatever the old jobs still post is dropped, and they stop at their
    // next packet, removing their work files.
    m_jobsRunner.cancel();
    m_placeRunner.cancel();
    m_running = false;
    m_paused = false;
}

void Engine::StopAll(bool abandon) {
    if (!abandon || !m_running) {
        if (!abandon)
            stopSilently();
        return;
    }
    // The jobs still report (neither succeeded nor failed), so the batch end follows them.
    m_jobsRunner.control().cancel();
}

void Engine::ClearJobs() {
    if (m_running)
        stopSilently();
    m_jobs.clear();
}

QString Engine::CheckInput(const QString &inputPath) {
    // Opening the container (without reading its streams) finds missing, unreadable and
    // unknown files.
    AVFormatContext *context = nullptr;
    const int error =
        avformat_open_input(&context, QFile::encodeName(inputPath).constData(), nullptr, nullptr);
    if (error < 0)
        return inputPath + QStringLiteral(": ") + AvErrorText(error);
    avformat_close_input(&context);
    return QString();
}

int Engine::AddJob(const QString &inputPath, const QString &inputOptions) {
    Job job;
    const QString optionError = ParseInputOptions(inputOptions, &job.input);
    if (!optionError.isEmpty()) {
        m_lastError = optionError;
        return -1;
    }
    job.inputPath = inputPath;
    m_jobs.append(job);
    return static_cast<int>(m_jobs.size() - 1);
}

int Engine::SetJobOutput(int job, const QString &outputPath, const QString &arguments) {
    if (job < 0 || job >= m_jobs.size() || m_jobs[job].removed) {
        m_lastError = QStringLiteral("Invalid job index %1").arg(job);
        return -1;
    }
    OutputOptions options;
    QString problem = ParseOutputOptions(arguments, &options);
    if (problem.isEmpty())
        problem = CheckOutputSettings(outputPath, options);
    if (!problem.isEmpty()) {
        m_lastError = problem;
        return -1;
    }
    m_jobs[job].outputPath = outputPath;
    m_jobs[job].output = options;
    m_jobs[job].configured = true;
    return 0;
}

void Engine::RemoveJob(int job) {
    if (job < 0 || job >= m_jobs.size())
        return;
    // The last job goes entirely so its index is given out again; others keep the numbering.
    if (job == m_jobs.size() - 1)
        m_jobs.removeLast();
    else
        m_jobs[job].removed = true;
}

int Engine::JobCount() const {
    int count = 0;
    for (const Job &job : m_jobs)
        count += job.removed ? 0 : 1;
    return count;
}

void Engine::StartJobs(int parallel) {
    TV_ASSERT_OWNER_THREAD(this);
    stopSilently(); // a new generation for this batch
    const int threads = parallel > 0 ? parallel : std::max(1, QThread::idealThreadCount());
    m_pool.setMaxThreadCount(threads);
    m_remaining = 0;
    for (const Job &job : std::as_const(m_jobs))
        m_remaining += job.removed ? 0 : 1;
    m_running = true;
    if (m_remaining == 0) {
        // An empty queue still ends as a batch, after the caller has finished starting it.
        m_jobsRunner.start([](TaskControl &, const TaskProgress &) {},
                           [this]() {
                               m_running = false;
                               Q_EMIT JobFinished(-1, false, false, QString());
                           });
        return;
    }
    for (Job &job : m_jobs) {
        job.loudnessSettings = m_loudness;
        job.measurement = LoudnessMeasurement();
        job.loudness = LoudnessOutcome();
    }
    if (m_loudness.mode == LoudnessMode::Album || m_loudness.mode == LoudnessMode::Tags)
        startMeasuring();
    else
        startEncoding();
}

void Engine::startEncoding() {
    for (int i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].removed)
            continue;
        Job job = m_jobs[i];
        job.replaceExisting = m_replaceExisting;
        m_jobsRunner.start(
            [i, job, tagging = m_tagging](TaskControl &control, const TaskProgress &progress) {
                return runJob(i, job, tagging, control, progress);
            },
            [this, i](const TranscodeResult &result) { jobDone(i, result); },
            [this, i](qint64 position, qint64 total) { Q_EMIT JobProgress(i, position, total); },
            [](const TranscodeResult &result) {
                // A job of a stopped batch that had finished: its work file goes, as a
                // stopped job's does.
                if (!result.placeFrom.isEmpty())
                    QFile::remove(result.placeFrom);
            });
    }
}

void Engine::PauseJobs() {
    if (!m_running)
        return;
    m_jobsRunner.pause();
    m_paused = true;
}

void Engine::ResumeJobs() {
    m_jobsRunner.resume();
    m_paused = false;
}

// Runs on a worker thread; what it answers reaches jobDone on the engine's thread.
TranscodeResult Engine::runJob(int index, const Job &job, const OutputTagging &tagging, TaskControl &control,
                               const TaskProgress &progress) {
    TranscodeResult result;
    if (control.cancelled()) {
        result.stopped = true;
        return result;
    }
    if (!job.configured) {
        result.message = QStringLiteral("No output was set for this job");
        return result;
    }
    TranscodeRequest request;
    request.inputPath = job.inputPath;
    request.input = job.input;
    request.outputPath = job.outputPath;
    request.output = job.output;
    request.replaceExisting = job.replaceExisting;
    request.deferPlacing = true;
    LoudnessOutcome loudness = job.loudness;
    TaskProgress encodeProgress = progress;
    if (job.loudnessSettings.mode == LoudnessMode::Track) {
        bool stopped = false;
        loudness = measureAndPlan(job, control, progress, &stopped);
        if (stopped) {
            result.stopped = true;
            return result;
        }
    }
    if (job.loudnessSettings.mode != LoudnessMode::Off)
        encodeProgress = LaterShareOfProgress(progress);
    if (job.loudnessSettings.mode == LoudnessMode::Track || job.loudnessSettings.mode == LoudnessMode::Album)
        request.gainDb = loudness.gainDb;
    if (tagging.containerTags)
        request.containerTags = tagging.containerTags(index);
    if (loudness.hasReplayGain && tagging.finishWithLoudness) {
        request.finishOutput = [finish = tagging.finishWithLoudness, index,
                                loudness](const QString &workPath) { finish(index, workPath, loudness); };
    } else if (tagging.finish) {
        request.finishOutput = [finish = tagging.finish, index](const QString &workPath) {
            finish(index, workPath);
        };
    }
    SetLogJob(index);
    result = Transcode(request, control, encodeProgress);
    SetLogJob(-1);
    result.loudness = loudness;
    return result;
}

void Engine::jobDone(int index, const TranscodeResult &result) {
    if (result.succeeded && !result.placeFrom.isEmpty()) {
        // The job is done once its output has its name; the worker is already free.
        const QString outputPath = index >= 0 && index < m_jobs.size() ? m_jobs[index].outputPath : QString();
        const bool replace = m_replaceExisting;
        m_placeRunner.start(
            [result, outputPath, replace](TaskControl &, const TaskProgress &) {
                TranscodeResult placed = result;
                placed.placeFrom.clear();
                placed.message = PlaceFinishedOutput(result.placeFrom, outputPath, replace);
                placed.succeeded = placed.message.isEmpty();
                return placed;
            },
            [this, index](const TranscodeResult &placed) { jobDone(index, placed); });
        return;
    }
    const int generation = m_jobsRunner.generation();
    if (index >= 0 && index < m_jobs.size())
        m_jobs[index].loudness = result.loudness;
    Q_EMIT JobFinished(index, result.succeeded, !result.succeeded && !result.stopped, result.message);
    if (generation != m_jobsRunner.generation())
        return; // a handler stopped or restarted the engine; this batch no longer counts
    if (--m_remaining == 0) {
        m_running = false;
        m_paused = false;
        Q_EMIT JobFinished(-1, false, false, QString());
    }
}

} // namespace tv
