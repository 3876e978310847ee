#pragma once
// The update check: asks the maker's endpoint which versions exist and turns the entries newer
// than the running version into release notes. The answer comes back by a signal, within a
// time limit, so the window never waits on the network.

#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QTimer;

namespace tv {

// The request address: the template with every "PRODUCTNAME" (in any case) replaced by the
// product name, every "VERSION" by the running version and every blank by "%20".
QString UpdateUrl(const QString &urlTemplate, const QString &productName, const QString &version);

// The release notes of every line of the answer whose version is higher than the running one.
// Lines are separated by CR LF; each field but the last is shown.
QString ReleaseNotes(const QString &answer, const QString &runningVersion);

// The leading decimal number of a text, read the way the release list writes versions
// ("4.6" → 4.6, " 5.0 beta" → 5.0, "x" → 0).
double VersionNumber(const QString &text);

// What the answer means: true when it names a version newer than the running one; the notes
// are left in releaseNotes.
bool UpdateAvailable(const QString &answer, const QString &runningVersion, QString *releaseNotes);

class UpdateCheck : public QObject {
    Q_OBJECT
public:
    explicit UpdateCheck(QObject *parent = nullptr);
    ~UpdateCheck() override;

    // How long one check may take before it counts as no answer.
    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    int timeLimit() const { return m_timeLimitMs; }

    // Asks the address; finished() follows once. A check already running is dropped unseen.
    void start(const QString &url, const QString &runningVersion);
    bool isRunning() const { return m_reply != nullptr; }

    bool updateAvailable() const { return m_available; }
    QString releaseNotes() const { return m_notes; }

Q_SIGNALS:
    void finished(bool updateAvailable);

private:
    void onReplyFinished();

    // Owned by the thread that created the check (the UI thread).
    QNetworkAccessManager *m_network = nullptr;
    QNetworkReply *m_reply = nullptr;
    QTimer *m_limit = nullptr;
    QString m_runningVersion;
    int m_timeLimitMs = 10000;
    bool m_available = false;
    QString m_notes;
};

} // namespace tv
