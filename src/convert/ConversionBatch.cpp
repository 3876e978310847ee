#include "ConversionBatch.h"

#include "Config.h"
#include "Engine.h"
#include "OutputNaming.h"
#include "WorkFiles.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace tv {

namespace {

bool IsAppleAudioBook(const QString &path) {
    const QString last = path.right(3).toUpper();
    return last == QLatin1String("M4B") || last == QLatin1String("M4R");
}

} // namespace

ConversionBatch::ConversionBatch(Engine *engine, QObject *parent) : QObject(parent), m_engine(engine) {
    connect(m_engine, &Engine::JobProgress, this, &ConversionBatch::onJobProgress);
    connect(m_engine, &Engine::JobFinished, this, &ConversionBatch::onJobFinished);
}

void ConversionBatch::begin(const BatchSettings &settings) {
    m_engine->StopAll(false);
    m_engine->ClearJobs();
    m_settings = settings;
    // What a killed run of the program left in this folder goes before new work files come.
    SweepDeadWorkFiles(settings.outputFolder);
    m_engine->setReplaceExisting(settings.outputFileNamePolicy == 0);
    m_engine->setLoudness(settings.loudness);
    m_jobs.clear();
    m_promised.clear();
    m_swept.clear();
    m_inputs.clear();
    for (const QString &input : settings.inputPaths)
        m_inputs.insert(QFileInfo(input).canonicalFilePath());
    m_running = false;
    m_doneHundreds = 0;
    m_progressTicks = 0;
    m_stalled = false;
    m_elapsed = 0;
}

PreparedJob ConversionBatch::prepareRow(int row, const BatchRow &source) {
    PreparedJob job;
    job.inputOptions = QStringLiteral(" -ss ") + source.trimStart;
    JobParameters parameters = m_settings.format;
    parameters.FileExtention = parameters.FileExtention.toUpper();
    parameters.TrimStart = source.trimStart;
    parameters.TrimDuration = source.trimDuration;
    job.arguments = BuildAudioArguments(parameters);
    // Two rows may carry the same name (the same file name in two folders): each output gets
    // its own, or the later job would replace the earlier one's file.
    if (!source.outputSubfolder.isEmpty() && !m_swept.contains(source.outputSubfolder)) {
        // A folder of the output tree may hold what a killed run left, like the output folder.
        m_swept.insert(source.outputSubfolder);
        SweepDeadWorkFiles(WithTrailingSlash(m_settings.outputFolder) + source.outputSubfolder);
    }
    job.convertedFileName = OutputPathForJob(
        source.outputSubfolder.isEmpty()
            ? m_settings.outputFolder
            : WithTrailingSlash(WithTrailingSlash(m_settings.outputFolder) + source.outputSubfolder),
        source.displayName, parameters.FileExtention, m_settings.outputFileNamePolicy, m_promised);
    // Overwriting may replace an old output, never a file this batch reads (its own or a later row's).
    const QString canonical = QFileInfo(job.convertedFileName).canonicalFilePath();
    if (!canonical.isEmpty() &&
        (m_inputs.contains(canonical) || canonical == QFileInfo(source.inputPath).canonicalFilePath())) {
        QSet<QString> taken = m_promised;
        taken.insert(job.convertedFileName);
        job.convertedFileName = UniqueName(job.convertedFileName, taken);
    }
    job.engineOutput = job.convertedFileName;
    if (IsAppleAudioBook(job.convertedFileName)) {
        // The engine writes an M4A that is renamed afterwards; it must not replace a file of the user's.
        job.engineOutput = UniqueName(job.convertedFileName.chopped(3) + QStringLiteral("m4a"), m_promised);
    }
    m_promised << job.convertedFileName << job.engineOutput;
    if (m_jobs.size() <= row)
        m_jobs.resize(row + 1);
    m_jobs[row] = job;

    const int index = m_engine->AddJob(source.inputPath, job.inputOptions);
    if (index < 0) {
        job.refusedAtAdd = true;
        job.message = m_engine->LastErrorText();
        m_jobs[row] = job;
        return job;
    }
    if (m_engine->SetJobOutput(index, job.engineOutput, job.arguments) < 0) {
        job.message = m_engine->LastErrorText();
        m_engine->RemoveJob(index);
        m_jobs[row] = job;
        return job;
    }
    job.ok = true;
    m_jobs[row] = job;
    return job;
}

void ConversionBatch::abandon() {
    m_engine->ClearJobs();
    m_running = false;
}

int ConversionBatch::jobCount() const {
    return m_engine->JobCount();
}

QString ConversionBatch::convertedFileName(int row) const {
    return row >= 0 && row < m_jobs.size() ? m_jobs[row].convertedFileName : QString();
}

LoudnessOutcome ConversionBatch::loudnessOf(int row) const {
    return m_engine->JobLoudness(row);
}

void ConversionBatch::start(int parallel) {
    m_doneHundreds = 0;
    m_progressTicks = 0;
    m_elapsed = 0;
    m_running = true;
    m_engine->StartJobs(parallel);
}

void ConversionBatch::pause() {
    m_engine->PauseJobs();
}
void ConversionBatch::resume() {
    m_engine->ResumeJobs();
}
void ConversionBatch::stop() {
    m_engine->StopAll(true);
}

void ConversionBatch::tick() {
    ++m_elapsed;
    Q_EMIT elapsedChanged(m_elapsed);
    if (m_progressTicks >= 1)
        ++m_progressTicks;
    // Two ticks without a progress event mean the engine is busy without telling how far it is.
    const bool stalledNow = m_progressTicks >= 3;
    if (stalledNow != m_stalled) {
        m_stalled = stalledNow;
        Q_EMIT stalled(m_stalled);
    }
}

void ConversionBatch::onJobProgress(int job, qint64 position, qint64 duration) {
    if (!m_running)
        return;
    m_progressTicks = 1;
    const double total = duration / 1000000.0;
    int figure = 0;
    if (total > 0) {
        const double p = std::floor(position / 1000000.0 * 100 / total);
        if (p < 100) {
            const int value = static_cast<int>(p) + m_doneHundreds;
            const int jobs = jobCount();
            const double overall = jobs > 0 ? static_cast<double>(value) / jobs : 0;
            const QString text =
                overall < 0 ? QStringLiteral("0%") : QString::number(std::lround(overall)) + QLatin1Char('%');
            Q_EMIT totalProgress(value, text);
            figure = static_cast<int>(p);
        } else {
            figure = 99; // a row never shows 100 while its job still runs
        }
    }
    Q_EMIT rowProgress(job, figure);
}

void ConversionBatch::onJobFinished(int job, bool succeeded, bool failed, const QString &message) {
    if (job == -1) {
        if (!m_running)
            return;
        m_running = false;
        Q_EMIT batchEnded();
        return;
    }
    if (!m_running)
        return;
    if (succeeded) {
        m_doneHundreds += 100;
        const PreparedJob prepared = job < m_jobs.size() ? m_jobs[job] : PreparedJob();
        if (prepared.engineOutput != prepared.convertedFileName) {
            if (!PlaceFile(prepared.engineOutput, prepared.convertedFileName,
                           m_settings.outputFileNamePolicy == 0)) {
                Q_EMIT rowMoveFailed(job, QString::fromLocal8Bit(std::strerror(errno)));
                return;
            }
        }
        Q_EMIT rowSucceeded(job, prepared.convertedFileName);
    } else if (failed) {
        Q_EMIT rowFailed(job, message, ClassifyEngineMessage(message));
    } else {
        Q_EMIT rowStopped(job);
    }
}

} // namespace tv
