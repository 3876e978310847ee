#pragma once
// The conversion engine: a queue of jobs (input, input options, output, option text) run on
// worker threads, several at once, reporting progress and completion on the thread that owns
// the engine, in order per job, with the batch end (job -1) after every job.

#include "EngineOptions.h"
#include "Loudness.h"
#include "Task.h"

#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QVector>

namespace tv {

struct TranscodeResult;

class Engine : public QObject {
    Q_OBJECT
public:
    explicit Engine(QObject *parent = nullptr);
    ~Engine() override;

    // With abandon true the running batch stops: unfinished jobs report neither success nor
    // failure, then the batch end follows. With false an earlier batch is stopped silently:
    // nothing of it is reported any more, and its jobs end at their next packet without
    // leaving a file (the engine never waits for them on the caller's thread).
    void StopAll(bool abandon);
    void ClearJobs();
    // Answers the job index (0, 1, 2 … in the order of adding), or -1 when the input options are
    // refused. The input is opened when the job runs; CheckInput opens it ahead, off the UI thread.
    int AddJob(const QString &inputPath, const QString &inputOptions);
    // "" when the input can be opened, otherwise the library's words ("path: No such file or
    // directory"). Blocks on the file (a slow disk, a network share): for worker threads.
    static QString CheckInput(const QString &inputPath);
    // Sets the output path and option text of a job; -1 when refused (see LastErrorText).
    int SetJobOutput(int job, const QString &outputPath, const QString &arguments);
    void RemoveJob(int job);
    QString LastErrorText() const { return m_lastError; }
    int JobCount() const;
    // Starts the queue with n jobs at once; 0 means one per processor core.
    void StartJobs(int parallel);
    void PauseJobs();
    void ResumeJobs();
    bool isRunning() const { return m_running; }

    // The tags every output of the next batch receives.
    void setOutputTagging(OutputTagging tagging) { m_tagging = std::move(tagging); }
    // Loudness of the next batch. In the album and tag modes every job is measured before any
    // is encoded (one gain, or album values, from all of them); in the track mode each job
    // measures its input on its worker just before encoding it.
    void setLoudness(const LoudnessSettings &settings) { m_loudness = settings; }
    // What a finished job measured and applied (nothing measured when loudness was off).
    LoudnessOutcome JobLoudness(int job) const;
    // Whether a finished output may replace a file that carries its name (true by default).
    void setReplaceExisting(bool replace) { m_replaceExisting = replace; }

    // The engine's instance can always run: the libraries are part of the program.
    bool IsInitialized() const { return true; }

Q_SIGNALS:
    void JobProgress(int job, qint64 position, qint64 duration);
    void JobFinished(int job, bool succeeded, bool failed, const QString &message);

private:
    struct Job {
        QString inputPath;
        InputOptions input;
        QString outputPath;
        OutputOptions output;
        bool configured = false;
        bool removed = false;
        bool replaceExisting = true;       // taken from the engine when the batch starts
        LoudnessSettings loudnessSettings; // taken from the engine when the batch starts
        LoudnessMeasurement measurement;   // the album and tag modes measure before encoding
        LoudnessOutcome loudness;          // planned before the job runs, reported after it
    };

    static TranscodeResult runJob(int index, const Job &job, const OutputTagging &tagging,
                                  TaskControl &control, const TaskProgress &progress);
    void jobDone(int index, const TranscodeResult &result);
    void startEncoding();
    // The album and tag modes: every job measured first, then the gains and values planned.
    void startMeasuring();
    void jobMeasured(int index, const LoudnessMeasurement &measurement);
    static LoudnessOutcome measureAndPlan(const Job &job, TaskControl &control, const TaskProgress &progress,
                                          bool *stopped);
    // A job that measures first reports its measuring as the first part of its progress.
    static TaskProgress FirstShareOfProgress(const TaskProgress &progress);
    static TaskProgress LaterShareOfProgress(const TaskProgress &progress);
    void stopSilently();

    // Owned by the engine's thread; the jobs see copies of their Job and the runner's switches.
    QVector<Job> m_jobs;
    QString m_lastError;
    int m_remaining = 0;
    bool m_running = false;
    bool m_paused = false;
    OutputTagging m_tagging;
    bool m_replaceExisting = true;
    LoudnessSettings m_loudness;
    int m_toMeasure = 0;
    QThreadPool m_pool; // declared before the runner: it waits for the jobs when the engine goes
    TaskRunner m_jobsRunner{this, &m_pool};
    // Finished outputs wait here for the disk (flush, rename) while the workers encode on.
    QThreadPool m_placePool;
    TaskRunner m_placeRunner{this, &m_placePool};
};

} // namespace tv
