#pragma once
// The disc in the chosen drive or image and what is known about it: its table of contents and
// CD-Text (read on a worker thread), then, when online, its MusicBrainz release and front cover.
// The ripper window and `tunevane-cli rip` both follow a disc through one session. Owner's
// thread only.

#include "DiscSource.h"
#include "MusicBrainz.h"
#include "Task.h"

#include <QObject>
#include <QString>

namespace tv {

class DiscSession : public QObject {
    Q_OBJECT
public:
    explicit DiscSession(QObject *parent = nullptr);
    ~DiscSession() override;

    // Without the network only CD-Text is used.
    void setNetworkEnabled(bool enabled) { m_network = enabled; }
    bool networkEnabled() const { return m_network; }
    // Where fetched covers are saved (ending with "/"); no cover is fetched without one.
    void setCoverFolder(const QString &folder) { m_coverFolder = folder; }
    MusicBrainzClient *client() const { return m_client; }

    // Reads the source's table of contents and CD-Text; discRead follows. Forgets everything
    // known about the previous disc.
    void readDisc(const QString &source);
    QString source() const { return m_source; }
    bool isReading() const { return m_reading; }
    const DiscReading &disc() const { return m_disc; }

    // Collects the disc information: CD-Text at once, then the MusicBrainz release (the user
    // picks one through chooseRelease when several match). discInfoReady follows each time the
    // information grows, or once with false when there is none; lookupFinished ends it.
    // Answers 0, or a sound-control code when the disc has not been read (-36, -48).
    int requestDiscInfo();
    // Takes the release of that index from releasesFound (-1: none of them).
    void chooseRelease(int index);

    // Whether the information of the disc read last has been asked for already.
    bool infoRequested() const { return m_infoRequested; }
    bool infoAvailable() const { return m_infoAvailable; }
    const DiscText &info() const { return m_info; }
    QString discId() const { return m_discId; }
    QString coverPath() const { return m_coverPath; }
    bool lookingUp() const { return m_lookingUp; }
    // Stops reading and looking up; nothing more is reported about this disc.
    void cancel();

Q_SIGNALS:
    void discRead(const QString &source, int code);
    void discInfoReady(const QString &source, bool success);
    void releasesFound(const QString &source, const QVector<tv::ReleaseCandidate> &releases);
    void coverReady(const QString &source, const QString &path);
    void lookupFinished(const QString &source);

private:
    void onLookup(const LookupOutcome &outcome);
    void applyRelease(const ReleaseCandidate &release);
    void finishLookup();

    // Owner's thread only.
    TaskRunner m_runner;
    MusicBrainzClient *m_client;
    QString m_source;
    DiscReading m_disc;
    DiscText m_info;
    QString m_discId;
    QString m_coverPath;
    QString m_coverFolder;
    QVector<ReleaseCandidate> m_candidates;
    bool m_network = true;
    bool m_reading = false;
    bool m_infoAvailable = false;
    bool m_infoRequested = false;
    bool m_lookingUp = false;
    int m_generation = 0; // bumped whenever the disc changes; queued reports of older discs are dropped
};

} // namespace tv
