#pragma once
// Joins the converted outputs of a batch into one file with ffmpeg's concat demuxer and
// stream copy: the join takes the first output's name (made unique), the parts are deleted
// only after a successful join, and the first row's tags are written into it.

#include "Task.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QThreadPool>
#include <functional>
#include <memory>

namespace tv {

class CMD_MediaConvert;

struct MergeRequest {
    QStringList outputs;  // the outputs of the rows marked "Done", in list order
    QString outputFolder; // the output-folder text
    int panelIndex = 2;   // output tab: 2 (audio formats) copies the audio only
    QString workFolder;   // where the runner's work files go
    // The first row's tags; called on a worker thread once the join has its name.
    std::function<void(const QString &joinedPath)> writeTags;
};

struct MergeResult {
    bool merged = false; // a join was made (false also when there was nothing to join)
    bool ok = true;      // false after an error the user must be told about
    QString finalPath;   // the joined file's name
    QString error;       // what to tell the user
};

class OutputMerger : public QObject {
    Q_OBJECT
public:
    explicit OutputMerger(QObject *parent = nullptr);

    // The copy arguments of an output tab.
    static QString CopyArguments(int panelIndex);
    // "" when the joined file lasts as long as its parts together (within a frame or so at each
    // seam), otherwise what to tell the user. Reads every file; for worker threads.
    static QString JoinedLengthProblem(const QString &joinedPath, const QStringList &parts);

    // Starts the join; finished() follows (at once when there is nothing to join).
    void start(const MergeRequest &request);
    // The wait window's Cancel: stops ffmpeg, keeps the parts.
    void cancel();
    bool isRunning() const { return m_running; }
    CMD_MediaConvert *runner() const { return m_runner; }

Q_SIGNALS:
    void finished(const tv::MergeResult &result);

private:
    void onRunFinished();
    void placeJoin(const QString &problem);
    void finish(const MergeResult &result);
    static QString TemporaryOutput(const QString &folder, const QString &extension);

    // Owned by the UI thread.
    CMD_MediaConvert *m_runner;
    MergeRequest m_request;
    QString m_finalPath;
    QString m_temporaryPath;
    // Each merge keeps its list and ffmpeg's words in a folder of its own: another merge running
    // at the same time (a second program, the command line) must not read or clean them.
    std::unique_ptr<QTemporaryDir> m_workDir;
    bool m_running = false;
    bool m_checking = false; // ffmpeg has ended; the join is being checked on a worker
    QThreadPool m_pool;      // the merger's own: its destructor waits for the check and the tag writer
    TaskRunner m_tasks;
};

} // namespace tv

Q_DECLARE_METATYPE(tv::MergeResult)
