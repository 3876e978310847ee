#pragma once
// Background work in one pattern: a piece of work runs on a pool thread and looks at its
// TaskControl between steps (pause, stop); its progress and its result reach the owner's thread
// by queued calls. A TaskRunner gives every start a generation: once the owner cancels or starts
// a new generation, whatever older work still reports is dropped unseen, so an owner never hears
// of work it no longer waits for. Results posted to an owner that has been destroyed are dropped
// by Qt itself (the owner is the context of every queued call).

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QThreadPool>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <type_traits>
#include <utility>

// Checks that the calling code runs on the thread that owns `object` (debug builds).
#define TV_ASSERT_OWNER_THREAD(object) Q_ASSERT(QThread::currentThread() == (object)->thread())

namespace tv {

// Pause and stop switches shared between an owner (its thread) and the work it started.
class TaskControl {
public:
    void pause() {
        std::lock_guard lock(m_mutex);
        m_paused = true;
    }
    void resume() {
        {
            std::lock_guard lock(m_mutex);
            m_paused = false;
        }
        m_wake.notify_all();
    }
    void cancel() {
        {
            // Set under the lock, or work between its check and its sleep misses the wake-up.
            std::lock_guard lock(m_mutex);
            m_cancelled.store(true);
        }
        m_wake.notify_all();
    }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    // For code that takes a plain stop flag (the prober, folder searches).
    const std::atomic_bool *cancelFlag() const { return &m_cancelled; }

    // Blocks the calling work while paused; answers false when the work is to stop.
    bool proceed() {
        if (cancelled())
            return false;
        std::unique_lock lock(m_mutex);
        m_wake.wait(lock, [this] { return !m_paused || m_cancelled.load(); });
        return !m_cancelled.load();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_paused = false; // guarded by m_mutex
    std::atomic_bool m_cancelled{false};
};

// Progress as work reports it from its thread: done of total (units are the work's own).
using TaskProgress = std::function<void(qint64 done, qint64 total)>;

// Starts work for one owner object. Owned by, and called on, the owner's thread only.
class TaskRunner {
public:
    explicit TaskRunner(QObject *owner, QThreadPool *pool = nullptr)
        : m_owner(owner), m_pool(pool ? pool : QThreadPool::globalInstance()),
          m_control(std::make_shared<TaskControl>()) {}
    // Stops the work of the current generation without waiting for it: the UI thread never
    // waits on media work. Work that must be waited for lives in a pool its owner waits on.
    ~TaskRunner() {
        m_guard->forget();
        m_control->cancel();
    }
    TaskRunner(const TaskRunner &) = delete;
    TaskRunner &operator=(const TaskRunner &) = delete;

    // Runs work(control, progress) on a pool thread. Its result goes to done(result) and its
    // progress to progress(done, total) on the owner's thread, both only while the generation
    // it was started in is still the current one; any other result (an older generation, an
    // owner gone) goes to drop(result) instead, when given, so that what it holds (a file, say)
    // is cleaned up. drop may run on a worker thread.
    // Work returning void calls done().
    template <typename Work, typename Done, typename Drop = std::nullptr_t>
    void start(Work work, Done done, std::function<void(qint64, qint64)> progress = {}, Drop drop = nullptr) {
        TV_ASSERT_OWNER_THREAD(m_owner);
        const int generation = m_generation;
        const std::shared_ptr<const int> current = m_current;
        const std::shared_ptr<TaskControl> control = m_control;
        const std::shared_ptr<OwnerGuard> guard = m_guard;
        TaskProgress report;
        if (progress) {
            report = [guard, current, generation, progress](qint64 doneCount, qint64 total) {
                guard->post([current, generation, progress, doneCount, total]() {
                    if (*current == generation)
                        progress(doneCount, total);
                });
            };
        }
        m_pool->start([guard, current, generation, control, report, work = std::move(work),
                       done = std::move(done), drop = std::move(drop)]() mutable {
            using Result = std::invoke_result_t<Work &, TaskControl &, const TaskProgress &>;
            if constexpr (std::is_void_v<Result>) {
                work(*control, report);
                guard->post([current, generation, done = std::move(done)]() mutable {
                    if (*current == generation)
                        done();
                });
            } else if constexpr (std::is_null_pointer_v<Drop>) {
                guard->post(
                    [current, generation, done = std::move(done), result = work(*control, report)]() mutable {
                        if (*current == generation)
                            done(std::move(result));
                    });
            } else {
                // Whoever lets go of an untaken result last drops it: the owner for an older
                // generation, this worker when the owner is gone, the owner's end for a call it
                // discards. drop must therefore be safe on any thread.
                const auto held =
                    std::make_shared<Undelivered<Result, Drop>>(work(*control, report), std::move(drop));
                guard->post([current, generation, done = std::move(done), held]() mutable {
                    if (*current == generation)
                        done(held->take());
                });
            }
        });
    }

    // Stops the running work and begins a new generation: nothing started before is delivered.
    void cancel() {
        TV_ASSERT_OWNER_THREAD(m_owner);
        m_control->cancel();
        m_control = std::make_shared<TaskControl>();
        *m_current = ++m_generation;
    }
    void pause() { m_control->pause(); }
    void resume() { m_control->resume(); }
    // The switches of the current generation, for work that must be paused or stopped directly.
    TaskControl &control() { return *m_control; }
    int generation() const { return m_generation; }
    QThreadPool *pool() const { return m_pool; }

private:
    // A result on its way to the owner; dropped when it is destroyed without being taken.
    template <typename Result, typename Drop> struct Undelivered {
        Undelivered(Result r, Drop d) : result(std::move(r)), drop(std::move(d)) {}
        ~Undelivered() {
            if (!taken)
                drop(std::move(result));
        }
        Undelivered(const Undelivered &) = delete;
        Undelivered &operator=(const Undelivered &) = delete;
        Result take() {
            taken = true;
            return std::move(result);
        }
        Result result;
        Drop drop;
        bool taken = false;
    };

    // The owner as the workers see it. A worker posts its result while holding the lock, and the
    // runner (a member of its owner) clears the pointer under the same lock when the owner goes:
    // a QPointer checked on a worker thread could still turn dangling between check and post.
    // What was posted before is discarded by the owner's QObject destructor.
    struct OwnerGuard {
        explicit OwnerGuard(QObject *o) : owner(o) {}
        template <typename F> void post(F &&call) {
            const std::lock_guard<std::mutex> lock(mutex);
            if (owner)
                QMetaObject::invokeMethod(owner, std::forward<F>(call), Qt::QueuedConnection);
        }
        void forget() {
            const std::lock_guard<std::mutex> lock(mutex);
            owner = nullptr;
        }
        std::mutex mutex;
        QObject *owner;
    };

    QPointer<QObject> m_owner;
    std::shared_ptr<OwnerGuard> m_guard = std::make_shared<OwnerGuard>(m_owner.data());
    QThreadPool *m_pool;
    std::shared_ptr<TaskControl> m_control; // shared with the work of the current generation
    int m_generation = 0;
    // The generation that still counts, shared with the queued calls that run on the owner's
    // thread; only that thread reads or writes it.
    std::shared_ptr<int> m_current = std::make_shared<int>(0);
};

} // namespace tv
