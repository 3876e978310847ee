#pragma once
// The media libraries' log lines, as one signal the diagnostics window can show.

#include <QObject>

namespace tv {

class FFLogger : public QObject {
    Q_OBJECT
public:
    // The one logger of the program; installs the libraries' log callback on first use.
    static FFLogger *instance();

Q_SIGNALS:
    // Emitted from whichever thread logged: connect with a queued connection to show it.
    // a is the message level, b the running job's index (-1 outside jobs).
    void LogLine(int a, int b, const QString &text);

private:
    FFLogger() = default;
};

// Marks the calling worker thread as running the given job, for the log lines it writes.
void SetLogJob(int job);

// "#" a "." b " " text, as the diagnostics log shows a line.
QString FormatLogLine(int a, int b, const QString &text);

} // namespace tv
