#pragma once
// One batch of conversions over the engine: the jobs made from the list rows and the format
// settings, the row and total progress figures, the stall watch, and the outcome of each row.
// The main window and the command-line converter both drive it, so both give the same outputs.

#include "EncodingParameters.h"
#include "ErrorTexts.h"
#include "Loudness.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

namespace tv {

class Engine;

// What a batch reads of one list row.
struct BatchRow {
    QString inputPath;   // FilePath + FileName
    QString displayName; // Name + "." + Format
    QString trimStart;   // hh:mm:ss.fff
    QString trimDuration;
    // A folder below the output folder for this row's output ("Artist/Album"), or "" for none.
    QString outputSubfolder;
};

struct BatchSettings {
    JobParameters format;         // codec, extension, channels, bitrates, width and merge; trims come per row
    QString outputFolder;         // the output-folder text
    int outputFileNamePolicy = 1; // 1 = never overwrite: the "_(new%n)" rule
    QStringList inputPaths;       // every input of the batch: no output may take one's place
    LoudnessSettings loudness;    // off unless the user asked for even loudness or ReplayGain tags
};

struct PreparedJob {
    bool ok = false;
    bool refusedAtAdd = false; // the input was refused; otherwise the output settings were
    QString message;           // the engine's words when refused
    QString inputOptions;      // " -ss " + trim start
    QString arguments;         // the option text
    QString convertedFileName; // the output path chosen for the row
    QString engineOutput;      // where the engine writes (an M4A for M4B and M4R outputs)
};

class ConversionBatch : public QObject {
    Q_OBJECT
public:
    explicit ConversionBatch(Engine *engine, QObject *parent = nullptr);

    // Stops anything of an earlier batch and empties the queue.
    void begin(const BatchSettings &settings);
    // Queues the job of one row; rows are prepared in list order so that job index = row.
    PreparedJob prepareRow(int row, const BatchRow &source);
    // Drops everything queued after a refused or cancelled preparation.
    void abandon();
    // Starts the queue, n jobs at once (0 = one per core).
    void start(int parallel);
    void pause();
    void resume();
    // Abandons the running jobs; the batch end follows.
    void stop();
    // One second of the elapsed-time timer.
    void tick();

    bool isRunning() const { return m_running; }
    int jobCount() const;
    int totalMaximum() const { return jobCount() * 100; }
    int elapsedSeconds() const { return m_elapsed; }
    const BatchSettings &settings() const { return m_settings; }
    QString convertedFileName(int row) const;
    // What the row's finished job measured and applied.
    LoudnessOutcome loudnessOf(int row) const;

Q_SIGNALS:
    // A row's figure (0–99 while its job runs).
    void rowProgress(int row, int figure);
    // The total bar's value (out of totalMaximum) and its text ("37%").
    void totalProgress(int value, const QString &text);
    // True when no progress came for two ticks ("Processing..."), false when it flows again.
    void stalled(bool stalled);
    void elapsedChanged(int seconds);
    void rowSucceeded(int row, const QString &outputPath);
    // The job ended well but its output could not take its M4B or M4R name.
    void rowMoveFailed(int row, const QString &message);
    void rowFailed(int row, const QString &message, tv::FailureKind kind);
    // The job was abandoned by Stop before it ended.
    void rowStopped(int row);
    void batchEnded();

private:
    void onJobProgress(int job, qint64 position, qint64 duration);
    void onJobFinished(int job, bool succeeded, bool failed, const QString &message);

    // Owned by the UI thread.
    Engine *m_engine;
    BatchSettings m_settings;
    QVector<PreparedJob> m_jobs;
    QSet<QString> m_inputs;   // the batch's inputs by canonical path, never to be replaced
    QSet<QString> m_promised; // output names handed to this batch's jobs, taken before they exist
    QSet<QString> m_swept;    // folders below the output folder already cleared of dead work files
    bool m_running = false;
    int m_doneHundreds = 0;
    int m_progressTicks = 0;
    bool m_stalled = false;
    int m_elapsed = 0;
};

} // namespace tv
