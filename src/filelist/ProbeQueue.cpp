#include "ProbeQueue.h"

#include "MediaScan.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace tv {

namespace {

// Outcomes are handed over for at most this long per turn of the event loop.
constexpr int kDeliverySliceMs = 8;
// How many probes may run ahead of the row the list waits for, per worker thread.
constexpr int kLookAheadPerThread = 4;

void DiscardOutcome(const ProbeOutcome &outcome) {
    const QString thumbnail = outcome.item[Item::Thumbnail];
    if (!thumbnail.isEmpty())
        QFile::remove(thumbnail);
}

} // namespace

ProbeQueue::ProbeQueue(QObject *parent) : QObject(parent) {
    qRegisterMetaType<tv::ProbeOutcome>();
    setThreadCount(QThread::idealThreadCount());
    // The window's thread stays ahead of the probes when the cores are busy.
    m_pool.setThreadPriority(QThread::LowPriority);
}

ProbeQueue::~ProbeQueue() {
    m_tasks.cancel();
    for (const auto &entry : m_results)
        DiscardOutcome(entry.second);
}

void ProbeQueue::setThreadCount(int threads) {
    m_pool.setMaxThreadCount(qMax(2, threads));
}

bool ProbeQueue::start(const QStringList &paths, bool expandFolders) {
    TV_ASSERT_OWNER_THREAD(this);
    if (m_running)
        return false;
    m_running = true;
    m_tasks.cancel(); // a new generation: nothing of an earlier run is delivered
    m_paths.clear();
    m_results.clear();
    m_scheduled = 0;
    m_next = 0;

    if (!expandFolders) {
        beginProbing(paths);
        return true;
    }
    m_tasks.start([paths](TaskControl &control,
                          const TaskProgress &) { return CollectMediaFiles(paths, control.cancelFlag()); },
                  [this](const QStringList &files) {
                      if (m_running)
                          beginProbing(files);
                  });
    return true;
}

void ProbeQueue::beginProbing(const QStringList &paths) {
    m_paths = paths;
    emit collected(total());
    if (m_paths.isEmpty()) {
        // Finished on the next turn, so callers see the same order of signals as for a real run.
        const int generation = m_tasks.generation();
        QTimer::singleShot(0, this, [this, generation]() {
            if (generation == m_tasks.generation() && m_running)
                finish(false);
        });
        return;
    }
    reportProgress();
    schedule();
}

void ProbeQueue::schedule() {
    const int lookAhead = m_pool.maxThreadCount() * kLookAheadPerThread;
    while (m_scheduled < total() && m_scheduled - m_next < lookAhead) {
        const int index = m_scheduled++;
        m_tasks.start(
            [options = m_options, path = m_paths.at(index)](TaskControl &control,
                                                            const TaskProgress &) mutable {
                options.cancel = control.cancelFlag();
                return ProbeFile(path, options);
            },
            [this, index](ProbeOutcome outcome) { onResult(index, std::move(outcome)); }, {},
            [](const ProbeOutcome &outcome) { DiscardOutcome(outcome); });
    }
}

void ProbeQueue::onResult(int index, ProbeOutcome outcome) {
    if (!m_running) {
        DiscardOutcome(outcome);
        return;
    }
    m_results.emplace(index, std::move(outcome));
    if (index == m_next)
        deliver();
}

void ProbeQueue::deliver() {
    m_deliveryPosted = false;
    if (!m_running)
        return;
    QElapsedTimer slice;
    slice.start();
    const int generation = m_tasks.generation();
    while (m_running && generation == m_tasks.generation()) {
        auto it = m_results.find(m_next);
        if (it == m_results.end())
            break;
        if (slice.elapsed() >= kDeliverySliceMs) {
            // Let the window paint and take clicks (Cancel) before handing over more rows.
            if (!m_deliveryPosted) {
                m_deliveryPosted = true;
                QTimer::singleShot(0, this, &ProbeQueue::deliver);
            }
            break;
        }
        ProbeOutcome outcome = std::move(it->second);
        m_results.erase(it);
        reportProgress();
        ++m_next;
        emit outcomeReady(outcome);
    }
    if (!m_running || generation != m_tasks.generation())
        return;
    if (m_next >= total()) {
        finish(false);
        return;
    }
    schedule();
}

void ProbeQueue::reportProgress() {
    if (m_next < total())
        emit progress(m_next + 1, total(), QFileInfo(m_paths.at(m_next)).fileName());
}

void ProbeQueue::cancel() {
    if (!m_running)
        return;
    m_tasks.cancel(); // what the workers still have in hand is dropped as it arrives
    for (const auto &entry : m_results)
        DiscardOutcome(entry.second);
    m_results.clear();
    finish(true);
}

void ProbeQueue::finish(bool canceled) {
    m_running = false;
    m_results.clear();
    emit finished(canceled);
}

} // namespace tv
