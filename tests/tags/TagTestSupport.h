#pragma once
// Shared pieces of the tag tests: a typical tag record and small file helpers.

#include "MediaGen.h"
#include "TagManager.h"
#include "TagMapping.h"
#include "TagRecord.h"
#include "TestEnv.h"

#include <QCryptographicHash>
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

} // namespace tv::test
