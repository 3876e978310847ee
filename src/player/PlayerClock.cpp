#include "PlayerClock.h"

#include <algorithm>
#include <chrono>

namespace tv {

qint64 PlayerClock::steadyMicroseconds() {
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 PlayerClock::nowLocked(qint64 steady) const {
    if (!m_started || m_paused)
        return m_position;
    return std::min(m_position + (steady - m_anchorTime), std::max(m_position, m_limit));
}

qint64 PlayerClock::now() const {
    std::lock_guard lock(m_mutex);
    return nowLocked(steadyMicroseconds());
}

void PlayerClock::reset(qint64 position, int epoch) {
    std::lock_guard lock(m_mutex);
    m_position = position;
    m_anchorTime = steadyMicroseconds();
    m_limit = std::numeric_limits<qint64>::max();
    m_epoch = epoch;
    m_started = false;
}

int PlayerClock::epoch() const {
    std::lock_guard lock(m_mutex);
    return m_epoch;
}

void PlayerClock::start(int epoch) {
    std::lock_guard lock(m_mutex);
    if (epoch != m_epoch || m_started)
        return;
    m_started = true;
    m_anchorTime = steadyMicroseconds();
}

void PlayerClock::anchor(qint64 position, qint64 limit, int epoch) {
    std::lock_guard lock(m_mutex);
    if (epoch != m_epoch || m_paused)
        return;
    m_position = position;
    m_limit = limit;
    m_anchorTime = steadyMicroseconds();
    m_started = true;
}

void PlayerClock::pause() {
    std::lock_guard lock(m_mutex);
    if (m_paused)
        return;
    m_position = nowLocked(steadyMicroseconds());
    m_paused = true;
}

void PlayerClock::resume() {
    std::lock_guard lock(m_mutex);
    if (!m_paused)
        return;
    m_paused = false;
    m_anchorTime = steadyMicroseconds();
}

bool PlayerClock::paused() const {
    std::lock_guard lock(m_mutex);
    return m_paused;
}

bool PlayerClock::running() const {
    std::lock_guard lock(m_mutex);
    return m_started && !m_paused;
}

} // namespace tv
