#pragma once
// Runs the ffmpeg command-line tool as a child process (for merging outputs), follows its
// console output through a work file, and tells success, a stall or a cancel.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

class QTimer;

namespace tv {

class CMD_MediaConvert : public QObject {
    Q_OBJECT
public:
    explicit CMD_MediaConvert(QObject *parent = nullptr);
    ~CMD_MediaConvert() override;

    // The work files, in the given folder: "file.txt", "result.txt" and "run.txt" (the command
    // that ran, for diagnostics).
    void setWorkFolder(const QString &folder);
    QString listFile() const { return m_listFile; }
    QString resultFile() const { return m_resultFile; }
    QString runFile() const { return m_runFile; }

    // The ffmpeg program: beside this program first, then on the PATH; "" when there is none.
    static QString FindFFmpeg();

    // Starts ffmpeg: option text, the list file, the extra arguments, the output. Watching
    // begins at once (Timer_FFmpeg); finished() follows success, failure or cancel.
    void RunFFmpeg(const QString &outputPath, const QString &option, const QString &arguments);
    // Appends one input to the list file, quoted as the concat demuxer reads it.
    bool AddToList(const QString &path);
    // After a successful merge: deletes every listed file, empties the run description and
    // deletes the list file.
    void DeleteListedFiles();
    // Empties and deletes the work files; also deletes extraPath when it is not blank.
    void CleanUp(const QString &extraPath);
    // Reads the result file and updates the state (called by Timer_FFmpeg).
    void ParseResult();
    bool IsRunning() const;
    // The process id of the running ffmpeg (0 when none), for the diagnostics window.
    qint64 processId() const;
    // Ends the ffmpeg process this program started (never another one).
    void KillFFmpeg();
    // The wait window's Cancel while merging.
    void Cancel();

    // One line of ffmpeg's console text as ParseResult cleans it (tabs gone, "=" padding removed).
    static QString CleanLine(QString line);
    // The last line of a console text, where lines end at CR, CR LF or LF.
    static QString LastLine(const QByteArray &text);

    bool succeeded() const { return m_succeeded; }
    bool failed() const { return m_failed; }
    bool isWatching() const;
    QString errorText() const { return m_errorText; }
    QString lastLine() const { return m_lastLine; }
    QString lastTime() const { return m_lastTime; }
    int idleCount() const { return m_idleCount; }
    QStringList listedFiles() const { return m_listed; }

Q_SIGNALS:
    // The diagnostics window shows these two fields.
    void diagnosticsChanged(const QString &lastLine, const QString &lastTime);
    // Timer_FFmpeg stopped: read succeeded(), failed() and errorText().
    void finished();

private:
    void Timer_FFmpeg_Timer();
    void stopWatching();

    // All state belongs to the UI thread; the child process runs on its own.
    QString m_listFile;
    QString m_resultFile;
    QString m_runFile;
    QString m_workFolder;
    QStringList m_listed;
    QProcess *m_process = nullptr;
    bool m_startFailed = false;
    QTimer *Timer_FFmpeg = nullptr;
    QString m_lastLine;
    QString m_lastTime;
    QString m_errorText;
    bool m_succeeded = false;
    bool m_failed = false;
    int m_idleCount = 0;
    int m_linkCount = 0;
};

} // namespace tv
