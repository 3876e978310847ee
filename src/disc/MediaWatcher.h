#pragma once
// Watches a drive for a disc coming or going: the drive's state is asked on a worker thread
// every couple of seconds, and mediaChanged reports each change (and the first answer). An
// image always holds its disc. Owner's thread only.

#include "Task.h"

#include <QObject>
#include <QString>
#include <QTimer>

namespace tv {

class MediaWatcher : public QObject {
    Q_OBJECT
public:
    explicit MediaWatcher(QObject *parent = nullptr);

    // Starts watching a drive (or an image); the first answer is reported either way.
    void watch(const QString &device);
    // Asks at once (the recorder's "check media"); mediaChanged follows when the state is new.
    void checkNow();
    void stop();
    void setInterval(int milliseconds) { m_timer.setInterval(milliseconds); }
    QString device() const { return m_device; }

Q_SIGNALS:
    void mediaChanged(bool present);

private:
    void poll(bool report);

    // Owner's thread only.
    TaskRunner m_runner;
    QTimer m_timer;
    QString m_device;
    int m_state = -1; // -1 not known yet, 0 no disc, 1 disc present
    bool m_polling = false;
    bool m_reportNext = false;
};

} // namespace tv
