#pragma once
// Probes many files side by side on worker threads and hands the outcomes to the UI thread one
// by one in the order the files were chosen, so rows are appended in that order while the
// window stays responsive.

#include "MediaProber.h"
#include "Task.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <map>

namespace tv {

class ProbeQueue : public QObject {
    Q_OBJECT
public:
    explicit ProbeQueue(QObject *parent = nullptr);
    ~ProbeQueue() override;

    // Options of every probe (the cancel flag is the queue's own).
    void setOptions(const ProbeOptions &options) { m_options = options; }
    void setThreadCount(int threads);

    // Starts probing; with expandFolders, folders are first searched for media files on a
    // worker. Answers false when a run is still going.
    bool start(const QStringList &paths, bool expandFolders);
    // Stops after the outcome delivered last: nothing more is delivered, finished(true) follows
    // at once, and what the workers still had in hand is thrown away (thumbnails deleted).
    void cancel();

    bool isRunning() const { return m_running; }
    int total() const { return static_cast<int>(m_paths.size()); }
    int delivered() const { return m_next; }

Q_SIGNALS:
    // The files to probe are known (after the folder search).
    void collected(int total);
    // File "number" of "total" is the one handed over next (sent before its outcome).
    void progress(int number, int total, const QString &fileName);
    void outcomeReady(const tv::ProbeOutcome &outcome);
    void finished(bool canceled);

private:
    void beginProbing(const QStringList &paths);
    void schedule();
    void onResult(int index, ProbeOutcome outcome);
    void deliver();
    void finish(bool canceled);
    void reportProgress();

    // Everything below belongs to the UI thread; workers see only copies and their task's switches.
    QThreadPool m_pool; // declared before the runner: it outlives it and waits for the probes
    TaskRunner m_tasks{this, &m_pool};
    ProbeOptions m_options;
    QStringList m_paths;
    std::map<int, ProbeOutcome> m_results; // finished probes waiting for their turn
    int m_scheduled = 0;
    int m_next = 0;
    bool m_running = false;
    bool m_deliveryPosted = false;
};

} // namespace tv

Q_DECLARE_METATYPE(tv::ProbeOutcome)
