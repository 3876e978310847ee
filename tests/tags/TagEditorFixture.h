#pragma once
// Rows for the tag editor tests: generated tagged files, probed into a file list the way the
// program imports them (tags and covers from the tag reader).

#include "Config.h"
#include "FileListModel.h"
#include "MediaGen.h"
#include "MediaItemTags.h"
#include "MediaProber.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace tv::test {

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
