#pragma once
// Turns SIGTERM, SIGINT and SIGHUP into a signal on the main thread, where the program can end
// its work properly (the window unloads, the command line stops its jobs).

#include <QObject>

class QSocketNotifier;

namespace tv {

class UnixSignals : public QObject {
    Q_OBJECT
public:
    explicit UnixSignals(QObject *parent = nullptr);
    ~UnixSignals() override;

Q_SIGNALS:
    void terminateRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tv
