#include "MediaWatcher.h"

#include "DiscSource.h"

namespace tv {

MediaWatcher::MediaWatcher(QObject *parent) : QObject(parent), m_runner(this) {
    m_timer.setInterval(2000);
    connect(&m_timer, &QTimer::timeout, this, [this]() { poll(false); });
}

void MediaWatcher::watch(const QString &device) {
    stop();
    m_device = device;
    m_state = -1;
    if (!device.isEmpty())
        m_timer.start();
    poll(true);
}

void MediaWatcher::checkNow() {
    poll(true);
}

void MediaWatcher::stop() {
    m_timer.stop();
    m_runner.cancel();
    m_polling = false;
    m_reportNext = false;
}

void MediaWatcher::poll(bool report) {
    if (m_device.isEmpty())
        return;
    m_reportNext = m_reportNext || report;
    // One question at a time: a drive that takes long to answer is not asked again meanwhile.
    if (m_polling)
        return;
    m_polling = true;
    const QString device = m_device;
    m_runner.start(
        [device](TaskControl &, const TaskProgress &) { return static_cast<int>(ProbeMedia(device)); },
        [this](int answer) {
            m_polling = false;
            const auto state = static_cast<MediaState>(answer);
            const bool asked = std::exchange(m_reportNext, false);
            if (state == MediaState::Unknown && !asked)
                return;
            const int present = state == MediaState::Present ? 1 : 0;
            if (present == m_state && !asked)
                return;
            m_state = present;
            emit mediaChanged(present == 1);
        });
}

} // namespace tv
