#include "DiscToc.h"

namespace tv {

const DiscTrack *DiscToc::track(int number) const {
    for (const DiscTrack &t : tracks) {
        if (t.number == number)
            return &t;
    }
    return nullptr;
}

QVector<DiscTrack> DiscToc::audioTracks() const {
    QVector<DiscTrack> audio;
    for (const DiscTrack &t : tracks) {
        if (t.audio)
            audio.append(t);
    }
    return audio;
}

int DiscToc::firstAudioTrack() const {
    for (const DiscTrack &t : tracks) {
        if (t.audio)
            return t.number;
    }
    return 0;
}

int DiscToc::lastAudioTrack() const {
    for (auto it = tracks.crbegin(); it != tracks.crend(); ++it) {
        if (it->audio)
            return it->number;
    }
    return 0;
}

void DiscText::fillFrom(const DiscText &other) {
    if (album.isEmpty())
        album = other.album;
    if (artist.isEmpty())
        artist = other.artist;
    if (genre.isEmpty())
        genre = other.genre;
    if (year.isEmpty())
        year = other.year;
    for (auto it = other.titles.cbegin(); it != other.titles.cend(); ++it) {
        if (titles.value(it.key()).isEmpty())
            titles.insert(it.key(), it.value());
    }
    for (auto it = other.performers.cbegin(); it != other.performers.cend(); ++it) {
        if (performers.value(it.key()).isEmpty())
            performers.insert(it.key(), it.value());
    }
}

QString CdTimeText(qint64 milliseconds) {
    const qint64 seconds = qMax<qint64>(0, milliseconds) / 1000;
    const qint64 hours = seconds / 3600;
    const int minutes = static_cast<int>(seconds / 60 % 60);
    const int rest = static_cast<int>(seconds % 60);
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(rest, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(minutes, 2, 10, QLatin1Char('0')).arg(rest, 2, 10, QLatin1Char('0'));
}

QString NumberedTrackName(int number) {
    return QStringLiteral("Track%1").arg(number, 2, 10, QLatin1Char('0'));
}

} // namespace tv
