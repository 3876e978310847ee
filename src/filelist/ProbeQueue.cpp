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
    if (m_cancel)
        m_cancel->store(true);
    m_pool.waitForDone();
    for (const auto &entry : m_results)
        DiscardOutcome(entry.second);
}

void ProbeQueue::setThreadCount(int threads) {
    m_pool.setMaxThreadCount(qMax(2, threads));
}

bool ProbeQueue::start(const QStringList &paths, bool expandFolders) {
    if (m_running)
        return false;
    m_running = true;
    ++m_generation;
    m_cancel = std::make_shared<std::atomic_bool>(false);
    m_paths.clear();
    m_results.clear();
    m_scheduled = 0;
    m_next = 0;

    if (!expandFolders) {
        beginProbing(paths);
        return true;
    }
    const int generation = m_generation;
    const std::shared_ptr<std::atomic_bool> cancel = m_cancel;
    m_pool.start([this, paths, generation, cancel]() {
        QStringList files = CollectMediaFiles(paths, cancel.get());
        QMetaObject::invokeMethod(
            this,
            [this, generation, files = std::move(files)]() {
                if (generation == m_generation && m_running)
                    beginProbing(files);
            },
            Qt::QueuedConnection);
    });
    return true;
}

void ProbeQueue::beginProbing(const QStringList &paths) {
    m_paths = paths;
    emit collected(total());
    if (m_paths.isEmpty()) {
        // Finished on the next turn, so callers see the same order of signals as for a real run.
        const int generation = m_generation;
        QTimer::singleShot(0, this, [this, generation]() {
            if (generation == m_generation && m_running)
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
        const int generation = m_generation;
        ProbeOptions options = m_options;
        const std::shared_ptr<std::atomic_bool> cancel = m_cancel;
        const QString path = m_paths.at(index);
        m_pool.start([this, generation, index, options, cancel, path]() mutable {
            options.cancel = cancel.get();
            ProbeOutcome outcome = ProbeFile(path, options);
            QMetaObject::invokeMethod(
                this,
                [this, generation, index, outcome = std::move(outcome)]() mutable {
                    onResult(generation, index, std::move(outcome));
                },
                Qt::QueuedConnection);
        });
    }
}

void ProbeQueue::onResult(int generation, int index, ProbeOutcome outcome) {
    if (generation != m_generation || !m_running) {
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
    const int generation = m_generation;
    while (m_running && generation == m_generation) {
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
    if (!m_running || generation != m_generation)
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
    if (m_cancel)
        m_cancel->store(true);
    for (const auto &entry : m_results)
        DiscardOutcome(entry.second);
    m_results.clear();
    ++m_generation;
    finish(true);
}

void ProbeQueue::finish(bool canceled) {
    m_running = false;
    m_results.clear();
    emit finished(canceled);
}

} // namespace tv
