#pragma once
// Pause and stop switches shared between the engine (UI thread) and its running jobs.

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace tv {

class JobControl {
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
            // Set under the lock, or a job between its check and its sleep misses the wake-up.
            std::lock_guard lock(m_mutex);
            m_cancelled.store(true);
        }
        m_wake.notify_all();
    }
    bool cancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

    // Blocks the calling job while paused; answers false when the job is to stop.
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
    std::atomic<bool> m_cancelled{false};
};

} // namespace tv
