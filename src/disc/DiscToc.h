#pragma once
// What a disc holds as the ripper sees it: the table of contents (tracks, where they start,
// how long they are, which carry audio) and the disc information (album, artist, genre, year,
// titles) from CD-Text or a look-up.

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVector>

namespace tv {

inline constexpr int kSectorBytes = 2352;     // one audio sector: 588 stereo 16-bit samples
inline constexpr int kSamplesPerSector = 588; // stereo sample pairs
inline constexpr int kSectorsPerSecond = 75;
inline constexpr int kLeadInSectors = 150; // the two seconds before LSN 0 that addresses count

struct DiscTrack {
    int number = 0;   // as the disc numbers it (1 to 99)
    int startLsn = 0; // where index 1 begins
    int sectors = 0;  // up to the next track's start, or the lead-out: the next pregap included
    bool audio = true;
    bool preemphasis = false;
    bool copyPermitted = false;

    // Whole seconds, as the track list shows them.
    int lengthSeconds() const { return sectors / kSectorsPerSecond; }
    qint64 lengthMs() const { return qint64(sectors) * 1000 / kSectorsPerSecond; }
};

struct DiscToc {
    int firstTrack = 0;
    int lastTrack = 0;
    int leadoutLsn = 0;
    QVector<DiscTrack> tracks; // in disc order
    QString mcn;               // media catalog number, "" when the disc has none

    bool isEmpty() const { return tracks.isEmpty(); }
    // The track of that number, or null.
    const DiscTrack *track(int number) const;
    QVector<DiscTrack> audioTracks() const;
    // First and last audio track numbers (0 when there is no audio track).
    int firstAudioTrack() const;
    int lastAudioTrack() const;
};

// Disc information: field texts, "" where unknown.
struct DiscText {
    QString album;
    QString artist;
    QString genre;
    QString year;                  // four digits, or "" when unknown
    QMap<int, QString> titles;     // by track number
    QMap<int, QString> performers; // by track number, where a track names its own

    bool isEmpty() const { return album.isEmpty() && artist.isEmpty() && titles.isEmpty(); }
    // Fills the fields this record lacks from other (titles track by track).
    void fillFrom(const DiscText &other);
};

// A track length or total as the ripper shows it: "mm:ss", with hours once there are any
// ("1:02:03").
QString CdTimeText(qint64 milliseconds);

// "Track01": the name of a track without disc information.
QString NumberedTrackName(int number);

} // namespace tv

Q_DECLARE_METATYPE(tv::DiscToc)
Q_DECLARE_METATYPE(tv::DiscText)
