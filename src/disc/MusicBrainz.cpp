#include "MusicBrainz.h"

#include "Config.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QUrl>

namespace tv {

namespace {

QString ArtistCredit(const QJsonArray &credits) {
    QString text;
    for (const QJsonValue &credit : credits) {
        const QJsonObject object = credit.toObject();
        text += object.value(QStringLiteral("name")).toString() +
                object.value(QStringLiteral("joinphrase")).toString();
    }
    return text.trimmed();
}

// The most voted genre, with capital initials ("alternative rock" → "Alternative Rock").
QString TopGenre(const QJsonArray &genres) {
    QString best;
    int votes = -1;
    for (const QJsonValue &value : genres) {
        const QJsonObject genre = value.toObject();
        const int count = genre.value(QStringLiteral("count")).toInt();
        if (count > votes) {
            votes = count;
            best = genre.value(QStringLiteral("name")).toString();
        }
    }
    QStringList words = best.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (QString &word : words)
        word[0] = word[0].toUpper();
    return words.join(QLatin1Char(' '));
}

QString WithSlash(QString base) {
    if (!base.endsWith(QLatin1Char('/')))
        base += QLatin1Char('/');
    return base;
}

} // namespace

QString ReleaseCandidate::description() const {
    QStringList details;
    if (!year.isEmpty())
        details << year;
    if (!country.isEmpty())
        details << country;
    if (mediumCount > 1)
        details << QStringLiteral("disc %1 of %2").arg(mediumPosition).arg(mediumCount);
    QString text = artist.isEmpty() ? title : artist + QStringLiteral(" - ") + title;
    if (!details.isEmpty())
        text += QStringLiteral(" (%1)").arg(details.join(QStringLiteral(", ")));
    return text;
}

DiscText ReleaseCandidate::discText(const DiscToc &toc) const {
    DiscText text;
    text.album = title;
    text.artist = artist;
    text.genre = genre;
    text.year = year;
    const QVector<DiscTrack> audio = toc.audioTracks();
    for (int i = 0; i < audio.size() && i < trackTitles.size(); ++i) {
        if (!trackTitles.at(i).isEmpty())
            text.titles.insert(audio.at(i).number, trackTitles.at(i));
        if (i < trackArtists.size() && !trackArtists.at(i).isEmpty() && trackArtists.at(i) != artist)
            text.performers.insert(audio.at(i).number, trackArtists.at(i));
    }
    return text;
}

QVector<ReleaseCandidate> ParseDiscIdReply(const QByteArray &json, const QString &discId) {
    QVector<ReleaseCandidate> releases;
    const QJsonArray list =
        QJsonDocument::fromJson(json).object().value(QStringLiteral("releases")).toArray();
    for (const QJsonValue &value : list) {
        const QJsonObject release = value.toObject();
        ReleaseCandidate candidate;
        candidate.id = release.value(QStringLiteral("id")).toString();
        if (candidate.id.isEmpty())
            continue;
        candidate.title = release.value(QStringLiteral("title")).toString().trimmed();
        candidate.artist = ArtistCredit(release.value(QStringLiteral("artist-credit")).toArray());
        candidate.date = release.value(QStringLiteral("date")).toString();
        candidate.year = candidate.date.left(4);
        if (candidate.year.size() != 4 || candidate.year.toInt() <= 0)
            candidate.year.clear();
        candidate.country = release.value(QStringLiteral("country")).toString();
        candidate.genre = TopGenre(release.value(QStringLiteral("genres")).toArray());
        if (candidate.genre.isEmpty())
            candidate.genre = TopGenre(release.value(QStringLiteral("release-group"))
                                           .toObject()
                                           .value(QStringLiteral("genres"))
                                           .toArray());

        const QJsonArray media = release.value(QStringLiteral("media")).toArray();
        candidate.mediumCount = qMax(1, static_cast<int>(media.size()));
        QJsonObject medium = media.isEmpty() ? QJsonObject() : media.first().toObject();
        for (const QJsonValue &mediumValue : media) {
            const QJsonArray discs = mediumValue.toObject().value(QStringLiteral("discs")).toArray();
            for (const QJsonValue &disc : discs) {
                if (disc.toObject().value(QStringLiteral("id")).toString() == discId) {
                    medium = mediumValue.toObject();
                    break;
                }
            }
        }
        candidate.mediumPosition = qMax(1, medium.value(QStringLiteral("position")).toInt(1));
        const QJsonArray tracks = medium.value(QStringLiteral("tracks")).toArray();
        for (const QJsonValue &trackValue : tracks) {
            const QJsonObject track = trackValue.toObject();
            QString title = track.value(QStringLiteral("title")).toString();
            if (title.isEmpty())
                title = track.value(QStringLiteral("recording"))
                            .toObject()
                            .value(QStringLiteral("title"))
                            .toString();
            candidate.trackTitles << title.trimmed();
            candidate.trackArtists << ArtistCredit(track.value(QStringLiteral("artist-credit")).toArray());
        }
        releases.append(candidate);
    }
    return releases;
}

MusicBrainzClient::MusicBrainzClient(QObject *parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    qRegisterMetaType<tv::LookupOutcome>();
}

MusicBrainzClient::~MusicBrainzClient() {
    cancel();
}

QString MusicBrainzClient::UserAgent() {
    return QStringLiteral("%1/%2 ( %3 )")
        .arg(Config().productName, Config().productVersion, Config().linkHomepage);
}

QString MusicBrainzClient::ServiceBase() {
    return WithSlash(ConfigValue(QStringLiteral("LINK_MUSICBRAINZ")));
}

QString MusicBrainzClient::CoverArtBase() {
    return WithSlash(ConfigValue(QStringLiteral("LINK_COVERART")));
}

QNetworkReply *MusicBrainzClient::get(const QString &address) {
    QNetworkRequest request{QUrl(address)};
    request.setHeader(QNetworkRequest::UserAgentHeader, UserAgent());
    request.setRawHeader("Accept", "application/json");
    request.setTransferTimeout(m_timeLimitMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    return m_network->get(request);
}

void MusicBrainzClient::lookup(const QString &discId) {
    if (m_lookup)
        m_lookup->abort();
    QNetworkReply *reply =
        get(ServiceBase() + QStringLiteral("discid/") + discId +
            QStringLiteral("?inc=artist-credits+recordings+genres+release-groups&cdstubs=no&fmt=json"));
    m_lookup = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, discId]() {
        reply->deleteLater();
        if (m_lookup != reply)
            return;
        m_lookup = nullptr;
        LookupOutcome outcome;
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 404) {
            outcome.kind = LookupOutcome::NotFound;
        } else if (reply->error() != QNetworkReply::NoError) {
            outcome.message = reply->error() == QNetworkReply::OperationCanceledError ||
                                      reply->error() == QNetworkReply::TimeoutError
                                  ? QStringLiteral("No answer within %1 seconds.").arg(m_timeLimitMs / 1000.0)
                                  : reply->errorString();
        } else {
            outcome.releases = ParseDiscIdReply(reply->readAll(), discId);
            outcome.kind = outcome.releases.isEmpty() ? LookupOutcome::NotFound : LookupOutcome::Found;
        }
        emit lookupFinished(outcome);
    });
}

void MusicBrainzClient::fetchCover(const QString &releaseId, const QString &targetPath) {
    if (m_cover)
        m_cover->abort();
    QNetworkReply *reply =
        get(CoverArtBase() + QStringLiteral("release/") + releaseId + QStringLiteral("/front-500"));
    m_cover = reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply, targetPath]() {
        reply->deleteLater();
        if (m_cover != reply)
            return;
        m_cover = nullptr;
        if (reply->error() != QNetworkReply::NoError) {
            emit coverFinished(false, QString(), reply->errorString());
            return;
        }
        const QByteArray bytes = reply->readAll();
        // Only a picture is kept: a server's error page must not become a cover.
        if (QImage::fromData(bytes).isNull()) {
            emit coverFinished(false, QString(), QStringLiteral("The cover is not a picture."));
            return;
        }
        QSaveFile file(targetPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
            emit coverFinished(false, QString(), file.errorString());
            return;
        }
        emit coverFinished(true, targetPath, QString());
    });
}

void MusicBrainzClient::cancel() {
    // Aborting emits finished; the handlers see the reply is no longer theirs and stay silent.
    if (QNetworkReply *reply = m_lookup) {
        m_lookup = nullptr;
        reply->abort();
    }
    if (QNetworkReply *reply = m_cover) {
        m_cover = nullptr;
        reply->abort();
    }
}

} // namespace tv
