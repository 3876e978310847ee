#pragma once
// The text commands other programs (and a second start of this one) send to the running window.

#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace tv {

class CommandHost;

class TextCommands : public QObject {
    Q_OBJECT
public:
    explicit TextCommands(CommandHost *host, QObject *parent = nullptr);

    // The program's command line after its path; the first argument is run by the start-up timer.
    void setArguments(const QString &programPath, const QStringList &arguments);
    QStringList arguments() const { return m_arguments; }
    int argumentCount() const { return static_cast<int>(m_arguments.size()); }
    QString programPath() const { return m_programPath; }

    // Runs one command; ignored while commands are blocked (the arguments are kept then).
    // Answers "" when it was carried out, otherwise why not, for the sender to tell its user.
    QString ExecuteTextCommand(const QString &command);

    QString exportDataPath() const { return m_exportDataPath; }
    QString exportDonePath() const { return m_exportDonePath; }
    bool activeWindowWatchRunning() const;
    // Stops Timer_GetActiveForm (the main window unloads).
    void stopActiveWindowWatch();

private:
    QString addFile(const QString &text, bool withDoneFile);
    QString createDoneFile();
    void Timer_GetActiveForm_Timer();

    // UI thread only.
    CommandHost *m_host;
    QString m_programPath;
    QStringList m_arguments;
    QString m_exportDataPath;
    QString m_exportDonePath;
    QTimer *Timer_GetActiveForm;
};

// Removes every occurrence of a keyword, ignoring letter case.
QString WithoutKeyword(QString text, const QString &keyword);

// The picture notice's four fields: picture path, animation, animation time, display time
// (fewer when the text has fewer).
QStringList OverlayFields(const QString &text);

} // namespace tv
