#include "Engine.h"

#include "FFLogger.h"
#include "MediaLibs.h"
#include "Task.h"
#include "Transcode.h"

#include <QFile>
#include <QMetaObject>
#include <QThread>
#include <QThreadPool>

namespace tv {

Engine::Engine(QObject *parent) : QObject(parent), m_pool(new QThreadPool(this)) {
    m_pool->setExpiryTimeout(30000);
    FFLogger::instance(); // the libraries' lines go to the log, not to the terminal
}

Engine::~Engine() {
    stopWorkers(false);
}

void Engine::stopWorkers(bool abandon) {
    if (m_control)
        m_control->cancel();
    if (!abandon) {
        // Jobs look at the stop switch between packets, so this wait is short.
        m_pool->waitForDone();
        ++m_generation; // whatever they still posted belongs to the old batch
        m_running = false;
        m_paused = false;
        m_control.reset();
    }
}

void Engine::StopAll(bool abandon) {
    if (!m_running) {
        if (!abandon)
            stopWorkers(false);
        return;
    }
    stopWorkers(abandon);
}

void Engine::ClearJobs() {
    if (m_running)
        stopWorkers(false);
    m_jobs.clear();
}

int Engine::AddJob(const QString &inputPath, const QString &inputOptions) {
    Job job;
    const QString optionError = ParseInputOptions(inputOptions, &job.input);
    if (!optionError.isEmpty()) {
        m_lastError = optionError;
        return -1;
    }
    // Opening the container (without reading its streams) finds missing, unreadable and
    // unknown files at once; the streams are read when the job runs.
    AVFormatContext *context = nullptr;
    const int error =
        avformat_open_input(&context, QFile::encodeName(inputPath).constData(), nullptr, nullptr);
    if (error < 0) {
        m_lastError = inputPath + QStringLiteral(": ") + AvErrorText(error);
        return -1;
    }
    avformat_close_input(&context);
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
    if (m_running)
        stopWorkers(false);
    const int threads = parallel > 0 ? parallel : std::max(1, QThread::idealThreadCount());
    m_pool->setMaxThreadCount(threads);
    m_control = std::make_shared<TaskControl>();
    m_paused = false;
    const int generation = ++m_generation;
    m_remaining = 0;
    for (int i = 0; i < m_jobs.size(); ++i)
        m_remaining += m_jobs[i].removed ? 0 : 1;
    m_running = true;
    if (m_remaining == 0) {
        // An empty queue still ends as a batch, after the caller has finished starting it.
        QMetaObject::invokeMethod(
            this,
            [this, generation]() {
                if (generation != m_generation)
                    return;
                m_running = false;
                Q_EMIT JobFinished(-1, false, false, QString());
            },
            Qt::QueuedConnection);
        return;
    }
    for (int i = 0; i < m_jobs.size(); ++i) {
        if (m_jobs[i].removed)
            continue;
        Job job = m_jobs[i];
        job.replaceExisting = m_replaceExisting;
        std::shared_ptr<TaskControl> control = m_control;
        OutputTagging tagging = m_tagging;
        m_pool->start([=, this]() { runJob(generation, i, job, control, tagging); });
    }
}

void Engine::PauseJobs() {
    if (!m_control)
        return;
    m_control->pause();
    m_paused = true;
}

void Engine::ResumeJobs() {
    if (!m_control)
        return;
    m_control->resume();
    m_paused = false;
}

// Runs on a worker thread; everything it reports is posted to the engine's thread.
void Engine::runJob(int generation, int index, Job job, std::shared_ptr<TaskControl> control,
                    OutputTagging tagging) {
    if (control->cancelled()) {
        QMetaObject::invokeMethod(
            this, [=, this]() { jobDone(generation, index, false, false, QString()); }, Qt::QueuedConnection);
        return;
    }
    if (!job.configured) {
        QMetaObject::invokeMethod(
            this,
            [=, this]() {
                jobDone(generation, index, false, true, QStringLiteral("No output was set for this job"));
            },
            Qt::QueuedConnection);
        return;
    }
    TranscodeRequest request;
    request.inputPath = job.inputPath;
    request.input = job.input;
    request.outputPath = job.outputPath;
    request.output = job.output;
    request.replaceExisting = job.replaceExisting;
    if (tagging.containerTags)
        request.containerTags = tagging.containerTags(index);
    if (tagging.finish) {
        request.finishOutput = [finish = tagging.finish, index](const QString &workPath) {
            finish(index, workPath);
        };
    }
    auto progress = [this, generation, index](qint64 position, qint64 total) {
        QMetaObject::invokeMethod(
            this,
            [=, this]() {
                if (generation == m_generation)
                    Q_EMIT JobProgress(index, position, total);
            },
            Qt::QueuedConnection);
    };
    SetLogJob(index);
    const TranscodeResult result = Transcode(request, *control, progress);
    SetLogJob(-1);
    const bool stopped = result.stopped;
    QMetaObject::invokeMethod(
        this,
        [=, this]() {
            jobDone(generation, index, result.succeeded, !result.succeeded && !stopped, result.message);
        },
        Qt::QueuedConnection);
}

void Engine::jobDone(int generation, int index, bool succeeded, bool failed, const QString &message) {
    if (generation != m_generation)
        return;
    Q_EMIT JobFinished(index, succeeded, failed, message);
    if (generation != m_generation)
        return; // a handler stopped or restarted the engine; this batch no longer counts
    if (--m_remaining == 0) {
        m_running = false;
        m_paused = false;
        Q_EMIT JobFinished(-1, false, false, QString());
    }
}

} // namespace tv
