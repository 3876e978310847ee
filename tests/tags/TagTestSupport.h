#pragma once
// Shared pieces of the tag tests: a typical tag record, small file helpers, and the rows of the tag
// editor tests (generated tagged files, probed into a file list the way the program imports them).

#include "Config.h"
#include "FileListModel.h"
#include "MediaGen.h"
#include "MediaItemTags.h"
#include "MediaProber.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagRecord.h"
#include "TestEnv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>

namespace tv::test {

// Values short enough for every block (ID3v1 keeps 30 characters, 28 for a comment).
inline TagRecord SampleRecord() {
    TagRecord r;
    r.title = "Morning Tune";
    r.artist = "The Testers";
    r.album = "Sample Album";
    r.year = "2021";
    r.track = "3/12";
    r.genre = "Jazz";
    r.copyright = "(C) 2021 Testers";
    r.composer = "Ann Composer";
    r.comment = "Recorded live";
    return r;
}

// The nine text fields of a record, in the order of the tag editor's boxes.
inline QStringList TextFields(const TagRecord &r) {
    return {r.track, r.title, r.artist, r.album, r.year, r.genre, r.copyright, r.composer, r.comment};
}

// A mono tone without any tags at path (made once), as an encoder might leave an output; "" when
// it cannot be made.
inline QString UntaggedTone(const QString &path, const QStringList &codec = {}, double seconds = 1.5) {
    if (!QFile::exists(path) &&
        !GenerateTone(path, seconds, 44100, 1, QStringList{"-map_metadata", "-1"} + codec))
        return QString();
    return path;
}

// How many pictures the tag block of a file that holds them has, and the first one's bytes.
inline QPair<int, QByteArray> EmbeddedPictures(const QString &path) {
    TagManager m;
    TagFamilies f;
    if (!m.Load(path))
        return {};
    DetectTagFamilies(m, &f);
    const int family = f.Reads(TagFamilyId3v2)  ? TagFamilyId3v2
                       : f.Reads(TagFamilyFlac) ? TagFamilyFlac
                       : f.Reads(TagFamilyMp4)  ? TagFamilyMp4
                                                : TagFamilyWma;
    return {m.PictureCount(family), m.PictureData(family, 0)};
}

inline QByteArray FileHash(const QString &path) {
    return QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256);
}

inline bool CopyTo(const QString &from, const QString &to) {
    QFile::remove(to);
    return QFile::copy(from, to);
}

// Whether ffmpeg can decode the whole file (its audio is intact).
inline bool DecodesCompletely(const QString &path) {
    QString error;
    const bool ok = RunFFmpeg({"-xerror", "-i", path, "-map", "0:a", "-f", "null", "-"}, &error);
    return ok && error.trimmed().isEmpty();
}

struct TagEditorMedia {
    QString folder;
    QString coverMp3;  // tagged, with a 64 x 64 cover (its comment is no ID3v2 comment frame)
    QString plainFlac; // tagged, no cover
    QString wav;       // a few RIFF INFO tags
    QString video;     // a film: its thumbnail is no cover
    QString picture;   // a 120 x 90 picture outside the temporary folder
};

inline bool MakeTagEditorMedia(TagEditorMedia &media) {
    ReadConfiguration();
    QDir().mkpath(Paths().tempFolder);
    InstallTagReader();
    media.folder = Home().path() + "/media/";
    media.coverMp3 = media.folder + "cover song.mp3";
    media.plainFlac = media.folder + "plain.flac";
    media.wav = media.folder + "speech.wav";
    media.video = media.folder + "film.mp4";
    media.picture = media.folder + "pictures/new cover.png";
    const QString cover = media.folder + "cover.png";
    return GeneratePicture(cover, 64, 64) && GeneratePicture(media.picture, 120, 90) &&
           GenerateTaggedTone(media.coverMp3, 2.0,
                              {"title=Morning Song", "artist=The Band", "album=First Light", "date=2021",
                               "genre=Folk", "track=3/12", "copyright=CC-BY", "comment=take two",
                               "composer=Someone"},
                              cover, {"-id3v2_version", "3"}) &&
           GenerateTaggedTone(media.plainFlac, 2.0,
                              {"title=Evening Song", "artist=Other Band", "album=Dusk", "date=2019",
                               "genre=Jazz", "track=7", "comment=calm evening"}) &&
           GenerateTaggedTone(media.wav, 2.0, {"title=Speech", "artist=Speaker"}) &&
           GenerateVideo(media.video, 2.0);
}

// Probes a file as an import does and appends its row; false when no row was added.
inline bool AddRow(FileListModel &list, const QString &path) {
    ProbeOptions options;
    options.tempFolder = Paths().tempFolder;
    const ProbeOutcome outcome = ProbeFile(path, options);
    if (!outcome.addsRow())
        return false;
    list.appendItem(outcome.item);
    return true;
}

// The usual list: the covered MP3, the plain FLAC and the WAV, in that order.
inline bool FillList(FileListModel &list, const TagEditorMedia &media) {
    return AddRow(list, media.coverMp3) && AddRow(list, media.plainFlac) && AddRow(list, media.wav);
}

} // namespace tv::test
