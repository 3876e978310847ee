#pragma once
// Disc information from the MusicBrainz web service (the releases whose medium carries the disc
// id: title, artist credit, date, genre, track titles) and the front cover from the Cover Art
// Archive. Base addresses come from the configuration table ("LINK_MUSICBRAINZ",
// "LINK_COVERART"), which TUNEVANE_LINK_* variables may point at another server. Every request
// names the program in its User-Agent and ends after a time limit. Owner's thread only.

#include "DiscToc.h"

#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVector>

class QNetworkAccessManager;
class QNetworkReply;

namespace tv {

struct ReleaseCandidate {
    QString id; // MusicBrainz release id
    QString title;
    QString artist;
    QString date;
    QString year;
    QString country;
    QString genre;
    int mediumPosition = 1; // which disc of the release holds the disc id
    int mediumCount = 1;
    QStringList trackTitles; // in the medium's order: the disc's audio tracks one by one
    QStringList trackArtists;

    // What the chooser lists: "Artist - Title (1999, GB)", with the disc number when the release
    // has several.
    QString description() const;
    // The release as disc information for this disc's audio tracks.
    DiscText discText(const DiscToc &toc) const;
};

// The releases of a disc id reply ({"releases": [...]}) whose medium holds the disc id (every
// release's first medium when none names it).
QVector<ReleaseCandidate> ParseDiscIdReply(const QByteArray &json, const QString &discId);

struct LookupOutcome {
    enum Kind { Found, NotFound, Failed };
    Kind kind = Failed;
    QVector<ReleaseCandidate> releases;
    QString message; // why it failed (time limit, network, server)
};

class MusicBrainzClient : public QObject {
    Q_OBJECT
public:
    explicit MusicBrainzClient(QObject *parent = nullptr);
    ~MusicBrainzClient() override;

    void setTimeLimit(int milliseconds) { m_timeLimitMs = milliseconds; }
    int timeLimit() const { return m_timeLimitMs; }

    // Asks for the releases of a disc id; lookupFinished follows once.
    void lookup(const QString &discId);
    // Fetches a release's front cover into targetPath; coverFinished follows once.
    void fetchCover(const QString &releaseId, const QString &targetPath);
    // Drops the requests under way; their signals do not follow.
    void cancel();

    static QString UserAgent();
    static QString ServiceBase();  // ends with "/"
    static QString CoverArtBase(); // ends with "/"

Q_SIGNALS:
    void lookupFinished(const tv::LookupOutcome &outcome);
    void coverFinished(bool ok, const QString &path, const QString &message);

private:
    QNetworkReply *get(const QString &address);

    QNetworkAccessManager *m_network;
    QPointer<QNetworkReply> m_lookup;
    QPointer<QNetworkReply> m_cover;
    int m_timeLimitMs = 15000;
};

} // namespace tv

Q_DECLARE_METATYPE(tv::ReleaseCandidate)
Q_DECLARE_METATYPE(tv::LookupOutcome)
